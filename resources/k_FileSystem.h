// The file system over the ZIP data archive (minizip), or over a folder of loose files.
#pragma once

#include <cstdint>
#include <string>

#include "resources/IFileSystem.h"

class IEngine;

class k_FileSystem : public IFileSystem {
public:
    // baseDirectory: the folder relative names resolve against (the executable's folder).
    // Starts in directory mode with no folder: names then resolve against the working directory.
    k_FileSystem(IEngine* engine, const std::wstring& baseDirectory);
    ~k_FileSystem() override;

    void UseDirectory(const std::wstring& name) override;
    void MountArchive(const std::wstring& fileName) override;
    std::unique_ptr<IFile> OpenFile(const std::wstring& name) override;
    // Relative paths resolve against the base directory like every other name, so a path
    // from the command line should be made absolute first.
    void Mount(const std::wstring& path) override;
    std::vector<std::wstring> ListFiles() override;

private:
    std::unique_ptr<IFile> OpenFromArchive(const std::wstring& name);
    std::unique_ptr<IFile> OpenFromDirectory(const std::wstring& name);
    void CloseArchive();

    IEngine* m_engine;  // not owned
    bool m_archiveMode = false;
    void* m_archive = nullptr;    // minizip's unzFile; owned
    uint64_t m_archiveBytes = 0;  // size of the archive file, the bound for any entry's data
    std::wstring m_looseRoot;
    std::wstring m_baseDirectory;
};
