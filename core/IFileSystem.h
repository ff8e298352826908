// Hands out whole files, either from the ZIP data archive or from a folder of loose files.
#pragma once

#include <memory>
#include <string>
#include <vector>

class IFile;

class IFileSystem {
public:
    // Closes the archive if one is open.
    virtual ~IFileSystem() = default;

    // Directory mode: later names resolve against the folder name (relative to the base
    // directory unless absolute).
    virtual void UseDirectory(const std::wstring& name) = 0;
    // Archive mode: opens the ZIP file name (relative to the base directory unless absolute).
    // If it cannot be opened, logs "FAILED!" with the path and the reason and returns false;
    // every OpenFile then returns null. Never throws.
    virtual bool MountArchive(const std::wstring& fileName) = 0;
    // The whole file, cursor at its start, or null when it is missing or cannot be read in
    // full. Archive names match the stored full name exactly except for ASCII letter case;
    // "\" is not "/", and names of 256 UTF-8 bytes or more are never found. In a folder, only
    // regular files open, and names that would leave the folder (absolute, or through "..")
    // are refused with an error line.
    virtual std::unique_ptr<IFile> OpenFile(const std::wstring& name) = 0;
    // Mounts path as the data source: a folder selects directory mode, anything else is
    // mounted as an archive (relative to the base directory unless absolute). False when
    // nothing usable is mounted.
    virtual bool Mount(const std::wstring& path) = 0;
    // Every file of the mounted archive or below the directory, "/"-separated and sorted;
    // empty when nothing is mounted.
    virtual std::vector<std::wstring> ListFiles() = 0;
    // Where a name lies on disk in directory mode; empty in archive mode and for a name that
    // OpenFile would refuse (one that leaves the folder).
    virtual std::string LoosePath(const std::wstring& name) const = 0;

protected:
    IFileSystem() = default;
    IFileSystem(const IFileSystem&) = delete;
    IFileSystem& operator=(const IFileSystem&) = delete;
};
