// A generic reader of line-based files made of sections: a header line, lines, an end line.
// Knows nothing of what sections mean; derived loaders interpret them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IEngine;

class k_CFileLoader {
public:
    explicit k_CFileLoader(IEngine* engine) : m_engine(engine) {}
    virtual ~k_CFileLoader() = default;
    k_CFileLoader(const k_CFileLoader&) = delete;
    k_CFileLoader& operator=(const k_CFileLoader&) = delete;

    // Parses the file from the file system. Header tokens are split on ", \t\r", lines inside
    // a section on ", \t()\r"; runs of separators count as one and lines without tokens are
    // skipped, except in a section that takes raw lines. A header whose last token is "{{" ends at a line starting with "}}", any other
    // at a line starting with "}". A file ending inside a section never ends it (it is reported
    // to SectionNeverClosed). False when
    // the file is missing or an operation refused (the rest of the file is then ignored).
    // A file larger than maxSize bytes is found but not read (FileSize says how large it is).
    bool Load(const std::wstring& fileName, size_t maxSize = SIZE_MAX);
    // The same for text already in memory; Load reads its file through it.
    bool Parse(std::string_view text);

protected:
    // Each returns false to stop reading. The base versions accept everything.
    virtual bool BeginSection(const std::string& name, const std::vector<std::string>& header);
    // tokens of the line and the raw line (with a carriage return that ends it).
    virtual bool ReadLine(const std::vector<std::string>& tokens, const std::string& line);
    virtual bool EndSection(const std::string& name);
    // True while the current section wants every line, blank or made only of separators, so
    // that code such as a lone ")" closing a call reaches it unchanged (tokens then empty).
    virtual bool TakesRawLines() const;

    // Called when the file ends inside a section, whose end actions then never run.
    virtual void SectionNeverClosed(const std::string& name, int headerLine);

    // Lines read so far, blank ones included: while an operation runs, the current line's number.
    int GetLineNumber() const { return m_lineNumber; }
    // Whether the last Load found its file, and how many sections it began.
    bool FileFound() const { return m_found; }
    size_t FileSize() const { return m_size; }
    int SectionCount() const { return m_sections; }

    IEngine* m_engine;  // not owned

private:
    std::string m_sectionName;
    std::string m_endMarker;
    int m_lineNumber = 0;
    bool m_found = false;
    size_t m_size = 0;
    int m_sections = 0;
};
