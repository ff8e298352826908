// The file system over the ZIP data archive (minizip), or over a folder of loose files.
#include "resources/k_FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unzip.h>

#include "platform/Log.h"
#include "platform/Text.h"
#include "resources/k_File.h"

namespace {

// Longest name, in UTF-8 bytes, that can be found (the lookup works in a 256-byte buffer).
constexpr size_t kMaxNameBytes = 255;
// No asset comes near this; a larger size is a damaged or hostile header, not data to allocate.
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 30;
// Deflate cannot expand data by more than 1032:1.
constexpr uint64_t kMaxDeflateRatio = 1032;
constexpr unsigned long kStored = 0;
constexpr unsigned long kDeflated = 8;
constexpr unsigned long kEncrypted = 1;  // general purpose flag bit 0

// Joins like the shell's path combination: an absolute name or an empty base stays as it is.
std::wstring Combine(const std::wstring& base, const std::wstring& name)
{
    if (base.empty() || (!name.empty() && name[0] == L'/'))
        return name;
    if (name.empty())
        return base;
    return base.back() == L'/' ? base + name : base + L'/' + name;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool SameName(const char* stored, const std::string& wanted)
{
    for (size_t i = 0; i < wanted.size(); ++i)
        if (FoldAscii(stored[i]) != FoldAscii(wanted[i]))
            return false;
    return true;
}

}  // namespace

k_FileSystem::k_FileSystem(IEngine* engine, const std::wstring& baseDirectory)
    : m_engine(engine), m_baseDirectory(baseDirectory)
{
}

k_FileSystem::~k_FileSystem()
{
    // Closed whatever the mode, so switching to a directory after mounting leaks nothing.
    CloseArchive();
}

void k_FileSystem::CloseArchive()
{
    if (m_archive)
        unzClose(m_archive);
    m_archive = nullptr;
    m_archiveBytes = 0;
}

void k_FileSystem::UseDirectory(const std::wstring& name)
{
    m_archiveMode = false;
    m_looseRoot = Combine(m_baseDirectory, name);
}

void k_FileSystem::MountArchive(const std::wstring& fileName)
{
    Log::Info() << "Initializing file system with data file: " << fileName;
    m_archiveMode = true;
    CloseArchive();
    const std::string path = Text::ToUtf8(Combine(m_baseDirectory, fileName));
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        m_archive = unzOpen64(path.c_str());
    if (!m_archive) {
        Log::Error() << "FAILED!";
        return;
    }
    m_archiveBytes = static_cast<uint64_t>(status.st_size);
}

void k_FileSystem::Mount(const std::wstring& path)
{
    struct stat status;
    const std::string resolved = Text::ToUtf8(Combine(m_baseDirectory, path));
    if (stat(resolved.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        Log::Info() << "Initializing file system with data folder: " << path;
        CloseArchive();
        UseDirectory(path);
    } else {
        MountArchive(path);
    }
}

std::vector<std::wstring> k_FileSystem::ListFiles()
{
    std::vector<std::wstring> names;
    if (m_archiveMode && m_archive) {
        unz_file_info64 info;
        std::string stored(0xFFFF, '\0');  // the longest name a ZIP header can hold
        for (int walk = unzGoToFirstFile(m_archive); walk == UNZ_OK; walk = unzGoToNextFile(m_archive)) {
            if (unzGetCurrentFileInfo64(m_archive, &info, stored.data(), stored.size(), nullptr, 0, nullptr, 0) != UNZ_OK)
                break;
            const std::string name = stored.substr(0, info.size_filename);
            if (!name.empty() && name.back() != '/')  // folders have entries of their own
                names.push_back(Text::FromUtf8(name));
        }
    } else if (!m_archiveMode && !m_looseRoot.empty()) {
        namespace fs = std::filesystem;
        const fs::path root = Text::ToUtf8(m_looseRoot);
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
             it.increment(error))
            if (it->is_regular_file(error))
                names.push_back(Text::FromUtf8(it->path().lexically_relative(root).generic_string()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<IFile> k_FileSystem::OpenFile(const std::wstring& name)
{
    return m_archiveMode ? OpenFromArchive(name) : OpenFromDirectory(name);
}

std::unique_ptr<IFile> k_FileSystem::OpenFromArchive(const std::wstring& name)
{
    if (!m_archive)
        return nullptr;
    const std::string wanted = Text::ToUtf8(name);
    if (wanted.size() > kMaxNameBytes)
        return nullptr;

    // Walked by hand: minizip's own lookup truncates long stored names, which could then match.
    unz_global_info64 global;
    if (unzGetGlobalInfo64(m_archive, &global) != UNZ_OK || global.number_entry == 0)
        return nullptr;
    unz_file_info64 info;
    char stored[kMaxNameBytes + 1];
    int walk = unzGoToFirstFile(m_archive);
    for (; walk == UNZ_OK; walk = unzGoToNextFile(m_archive)) {
        walk = unzGetCurrentFileInfo64(m_archive, &info, stored, sizeof stored, nullptr, 0, nullptr, 0);
        if (walk != UNZ_OK)
            break;
        if (info.size_filename == wanted.size() && SameName(stored, wanted))
            break;
    }
    if (walk == UNZ_END_OF_LIST_OF_FILE)
        return nullptr;
    if (walk != UNZ_OK) {
        Log::Error() << "Cannot read the archive's directory while looking for: " << name;
        return nullptr;
    }

    if ((info.flag & kEncrypted) || (info.compression_method != kStored && info.compression_method != kDeflated)) {
        Log::Error() << "Archive entry is encrypted or uses an unsupported compression method: " << name;
        return nullptr;
    }
    // Checked before allocating, so a forged header cannot make us reserve gigabytes.
    const uint64_t size = info.uncompressed_size;
    const uint64_t packed = info.compressed_size;
    const uint64_t mostPossible = info.compression_method == kStored ? packed : packed * kMaxDeflateRatio;
    if (size > kMaxFileBytes || packed > m_archiveBytes || size > mostPossible ||
        (info.compression_method == kStored && size != packed)) {
        Log::Error() << "Archive entry declares an impossible size (" << size << " bytes): " << name;
        return nullptr;
    }

    std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
    bool complete = unzOpenCurrentFile(m_archive) == UNZ_OK;
    if (complete) {
        uint64_t got = 0;
        int read = 1;
        while (got < size && read > 0) {
            read = unzReadCurrentFile(m_archive, data.get() + got, static_cast<unsigned>(size - got));
            got += read > 0 ? static_cast<uint64_t>(read) : 0;
        }
        // Only closing compares the CRC, and only once every byte has been read.
        complete = unzCloseCurrentFile(m_archive) == UNZ_OK && got == size;
    }
    if (!complete) {
        Log::Error() << "Archive entry is damaged and cannot be extracted: " << name;
        return nullptr;
    }
    return std::make_unique<k_File>(m_engine, std::move(data), static_cast<uint32_t>(size));
}

std::unique_ptr<IFile> k_FileSystem::OpenFromDirectory(const std::wstring& name)
{
    const std::string path = Text::ToUtf8(Combine(m_looseRoot, name));
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return nullptr;
    // A folder opens too, and its "size" is meaningless; only regular files are files here.
    struct stat status;
    if (fstat(fileno(in), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fclose(in);
        return nullptr;
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (size > kMaxFileBytes) {
        std::fclose(in);
        Log::Error() << "File is too large to load (" << size << " bytes): " << name;
        return nullptr;
    }
    std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
    const bool complete = std::fread(data.get(), 1, size, in) == size;
    std::fclose(in);
    if (!complete) {
        Log::Error() << "Cannot read the whole file: " << name;
        return nullptr;
    }
    return std::make_unique<k_File>(m_engine, std::move(data), static_cast<uint32_t>(size));
}
