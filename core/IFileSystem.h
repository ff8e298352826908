// Hands out whole files, either from the ZIP data archive or from a folder of loose files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IFile;

// The most bytes one file may hold, in the archive or in a folder: twenty times the largest file
// the demo ships (its 3.3 MB tune). A larger one is refused before any of it is read.
constexpr uint64_t kMaxFileBytes = uint64_t(64) << 20;

class IFileSystem {
public:
    // Closes the archive if one is open.
    virtual ~IFileSystem() = default;

    // Directory mode: later names resolve against the folder name (relative to the base
    // directory unless absolute).
    virtual void UseDirectory(const std::wstring& name) = 0;
    // Archive mode: opens the ZIP file name (relative to the base directory unless absolute).
    // If it cannot be opened, logs "FAILED!" with the path and the reason and returns false;
    // every OpenFile then returns null. An entry whose name repeats an earlier one (ASCII case
    // ignored) is logged as a warning, since only the first can ever be opened. Never throws.
    virtual bool MountArchive(const std::wstring& fileName) = 0;
    // The whole file, cursor at its start, or null when it is missing or cannot be read in
    // full. Archive names match the stored full name exactly except for ASCII letter case;
    // "\" is not "/", and names of 256 UTF-8 bytes or more are never found. In a folder, only
    // regular files open, and names that would leave the folder (absolute, through "..", or
    // through a symbolic link whose target lies outside) are refused with an error line. A file
    // over kMaxFileBytes, or one that exists but cannot be opened, is logged with the reason;
    // only a name that is simply missing is left to the caller to report.
    virtual std::unique_ptr<IFile> OpenFile(const std::wstring& name) = 0;
    // Mounts path as the data source: a folder selects directory mode, anything else is
    // mounted as an archive (relative to the base directory unless absolute). False when
    // nothing usable is mounted.
    virtual bool Mount(const std::wstring& path) = 0;
    // Every file of the mounted archive or below the directory, "/"-separated and sorted;
    // empty when nothing is mounted. In a folder, links to files are listed as files (also
    // those OpenFile will refuse, so that it says why) and links to folders inside it are
    // walked; a folder that cannot be read, or a link to a folder outside, is logged.
    virtual std::vector<std::wstring> ListFiles() = 0;
    // Where a name lies on disk in directory mode; empty in archive mode and for a name that
    // OpenFile would refuse (one that leaves the folder).
    virtual std::string LoosePath(const std::wstring& name) const = 0;

protected:
    IFileSystem() = default;
    IFileSystem(const IFileSystem&) = delete;
    IFileSystem& operator=(const IFileSystem&) = delete;
};
