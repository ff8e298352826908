// The file system over the ZIP data archive (minizip), or over a folder of loose files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <unordered_map>
#include <vector>

#include "core/IFileSystem.h"

class IEngine;

class k_FileSystem : public IFileSystem {
public:
    // baseDirectory: the folder relative names resolve against (the executable's folder).
    // Starts in directory mode with no folder: names then resolve against the working directory.
    k_FileSystem(IEngine* engine, const std::wstring& baseDirectory);
    ~k_FileSystem() override;

    void UseDirectory(const std::wstring& name) override;
    bool MountArchive(const std::wstring& fileName) override;
    std::unique_ptr<IFile> OpenFile(const std::wstring& name) override;
    // Relative paths resolve against the base directory like every other name, so a path
    // from the command line should be made absolute first.
    bool Mount(const std::wstring& path) override;
    std::vector<std::wstring> ListFiles() override;

    // Where a name lies on disk in directory mode; empty in archive mode and for a name that
    // OpenFile would refuse (one that leaves the folder, by its parts or through a link).
    std::string LoosePath(const std::wstring& name) const override;

private:
    // Where an entry's header lies in the archive, by its name with ASCII letters folded.
    struct EntryPosition {
        uint64_t directoryOffset;
        uint64_t fileNumber;
    };

    std::unique_ptr<IFile> OpenFromArchive(const std::wstring& name);
    std::unique_ptr<IFile> OpenFromDirectory(const std::wstring& name);
    void CloseArchive();
    // LoosePath, and in real the path with its links followed (empty when it does not resolve).
    std::string Locate(const std::wstring& name, std::string& real) const;
    // Reads the central directory once, so a lookup costs the same for any number of entries.
    void IndexArchive(const std::string& path);
    // Records that an entry's packed data lies in [start, end); false, with the other entry's name,
    // when it overlaps another entry's. A real archive's entries never share bytes, and thousands
    // of entries over one deflate stream would each inflate all of it.
    bool ClaimData(uint64_t start, uint64_t end, uint64_t fileNumber, const std::wstring& name, std::wstring& other);

    IEngine* m_engine;  // not owned
    bool m_archiveMode = false;
    void* m_archive = nullptr;    // minizip's unzFile; owned
    uint64_t m_archiveBytes = 0;  // size of the archive file, the bound for any entry's data
    std::unordered_map<std::string, EntryPosition> m_entries;  // the first of equal folded names
    std::vector<std::wstring> m_entryNames;                    // files in directory order
    // The data of each entry opened so far, by where it starts.
    struct DataRange {
        uint64_t end;
        uint64_t fileNumber;
        std::wstring name;
    };
    std::map<uint64_t, DataRange> m_opened;
    std::wstring m_looseRoot;
    std::wstring m_baseDirectory;
};
