// The generic section reader.
#include "resources/k_CFileLoader.h"

#include <memory>

#include "core/IEngine.h"
#include "core/IFile.h"
#include "core/IFileSystem.h"

namespace {

std::vector<std::string> Split(const std::string& line, const char* separators)
{
    std::vector<std::string> tokens;
    for (size_t start = line.find_first_not_of(separators); start != std::string::npos;) {
        const size_t end = line.find_first_of(separators, start);
        tokens.push_back(line.substr(start, end - start));
        start = end == std::string::npos ? end : line.find_first_not_of(separators, end);
    }
    return tokens;
}

}  // namespace

bool k_CFileLoader::Load(const std::wstring& fileName, size_t maxSize)
{
    m_sections = 0;
    m_size = 0;
    std::unique_ptr<IFile> file = m_engine->GetFileSystem()->OpenFile(fileName);
    m_found = file != nullptr;
    if (!file) return false;
    m_size = file->GetSize();
    if (m_size > maxSize) return false;
    return Parse(std::string_view(reinterpret_cast<const char*>(file->GetData()), file->GetSize()));
}

bool k_CFileLoader::Parse(std::string_view text)
{
    m_sections = 0;
    m_sectionName.clear();
    m_lineNumber = 0;
    bool inSection = false;
    int headerLine = 0;
    // Lines as std::getline gives them: a last line without "\n" still counts.
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string line(text.substr(start, end - start));
        start = end + 1;
        ++m_lineNumber;
        if (!inSection) {
            const std::vector<std::string> header = Split(line, ", \t\r");
            if (header.empty()) continue;
            m_sectionName = header[0];
            m_endMarker = header.back() == "{{" ? "}}" : "}";
            inSection = true;
            headerLine = m_lineNumber;
            ++m_sections;
            if (!BeginSection(m_sectionName, header)) return false;
            continue;
        }
        const std::vector<std::string> tokens = Split(line, ", \t()\r");
        if (tokens.empty()) {
            if (TakesRawLines() && !ReadLine(tokens, line)) return false;
            continue;
        }
        if (tokens[0] == m_endMarker) {
            inSection = false;
            const std::string name = m_sectionName;
            m_sectionName.clear();
            if (!EndSection(name)) return false;
            continue;
        }
        if (!ReadLine(tokens, line)) return false;
    }
    if (inSection) SectionNeverClosed(m_sectionName, headerLine);
    return true;
}

bool k_CFileLoader::BeginSection(const std::string&, const std::vector<std::string>&) { return true; }

bool k_CFileLoader::ReadLine(const std::vector<std::string>&, const std::string&) { return true; }

bool k_CFileLoader::EndSection(const std::string&) { return true; }

bool k_CFileLoader::TakesRawLines() const { return false; }

void k_CFileLoader::SectionNeverClosed(const std::string&, int) {}
