// The file system over the ZIP data archive (minizip), or over a folder of loose files.
#include "resources/k_FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <vector>

#include "platform/Log.h"
#include "platform/Text.h"
#include "resources/k_File.h"

namespace {

// Longest name, in UTF-8 bytes, that can be found (the lookup works in a 256-byte buffer).
constexpr size_t kMaxNameBytes = 255;
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

// Archive names match regardless of ASCII letter case.
std::string FoldAscii(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return name;
}

// The folder and file names along a slash-separated path, empty ones included.
std::vector<std::string_view> Parts(std::string_view path)
{
    std::vector<std::string_view> parts;
    for (size_t start = 0; start <= path.size();) {
        const size_t end = std::min(path.find('/', start), path.size());
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Whether a name given to the data folder stays inside it: not absolute, no ".." part.
bool StaysInside(const std::string& name)
{
    if (name.empty() || name[0] == '/')
        return false;
    const std::vector<std::string_view> parts = Parts(name);
    return std::find(parts.begin(), parts.end(), "..") == parts.end();
}

// The length in bytes of the longest folder or file name along a path.
size_t LongestPart(const std::string& path)
{
    size_t longest = 0;
    for (std::string_view part : Parts(path)) longest = std::max(longest, part.size());
    return longest;
}

// The path with every link followed, or empty when it does not resolve.
std::string RealPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// Whether a resolved path is the resolved folder root or lies below it.
bool Within(const std::string& root, const std::string& path)
{
    if (root.empty() || path.compare(0, root.size(), root) != 0)
        return false;
    return path.size() == root.size() || root.back() == '/' || path[root.size()] == '/';
}

void LogTooLarge(const std::wstring& name, uint64_t size)
{
    Log::Error() << "File is too large to load (" << size << " bytes, at most " << kMaxFileBytes << "): " << name;
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
    m_entries.clear();
    m_entryNames.clear();
}

void k_FileSystem::UseDirectory(const std::wstring& name)
{
    m_archiveMode = false;
    m_looseRoot = Combine(m_baseDirectory, name);
}

bool k_FileSystem::MountArchive(const std::wstring& fileName)
{
    Log::Info() << "Initializing file system with data file: " << fileName;
    m_archiveMode = true;
    CloseArchive();
    const std::string path = Text::ToUtf8(Combine(m_baseDirectory, fileName));
    // Checked first: opening a FIFO would block, and a folder or an empty file is no archive.
    struct stat status;
    const char* reason = nullptr;
    if (stat(path.c_str(), &status) != 0)
        reason = std::strerror(errno);
    else if (S_ISDIR(status.st_mode))
        reason = "it is a folder";
    else if (!S_ISREG(status.st_mode))
        reason = "not a regular file";
    else if (status.st_size == 0)
        reason = "the file is empty";
    else if (!(m_archive = unzOpen64(path.c_str())))
        reason = "not a ZIP archive, or cut short before its directory";
    if (reason) {
        Log::Error() << "FAILED! " << Combine(m_baseDirectory, fileName) << ": " << reason;
        return false;
    }
    m_archiveBytes = static_cast<uint64_t>(status.st_size);
    IndexArchive(path);
    return true;
}

void k_FileSystem::IndexArchive(const std::string& path)
{
    unz_global_info64 global;
    if (unzGetGlobalInfo64(m_archive, &global) != UNZ_OK)
        global.number_entry = 0;
    unz_file_info64 info;
    std::string stored(0xFFFF, '\0');  // the longest name a ZIP header can hold
    uint64_t read = 0;
    int walk = unzGoToFirstFile(m_archive);
    for (; walk == UNZ_OK; walk = unzGoToNextFile(m_archive)) {
        walk = unzGetCurrentFileInfo64(m_archive, &info, stored.data(), stored.size(), nullptr, 0, nullptr, 0);
        unz64_file_pos position;
        if (walk != UNZ_OK || (walk = unzGetFilePos64(m_archive, &position)) != UNZ_OK)
            break;
        ++read;
        const std::string name = stored.substr(0, info.size_filename);
        if (name.empty() || name.back() == '/')  // folders have entries of their own
            continue;
        m_entryNames.push_back(Text::FromUtf8(name));
        if (name.size() <= kMaxNameBytes &&
            !m_entries.emplace(FoldAscii(name), EntryPosition{position.pos_in_zip_directory, position.num_of_file})
                 .second)
            Log::Warning() << "The archive holds a second entry named " << Text::FromUtf8(name)
                           << "; only the first can be opened";
    }
    if ((walk != UNZ_OK && walk != UNZ_END_OF_LIST_OF_FILE) || read != global.number_entry)
        Log::Error() << "The archive's directory is damaged: " << read << " of its " << global.number_entry
                     << " entries can be read: " << Text::FromUtf8(path);
}

bool k_FileSystem::Mount(const std::wstring& path)
{
    struct stat status;
    const std::string resolved = Text::ToUtf8(Combine(m_baseDirectory, path));
    if (stat(resolved.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        Log::Info() << "Initializing file system with data folder: " << path;
        CloseArchive();
        UseDirectory(path);
        return true;
    }
    return MountArchive(path);
}

std::vector<std::wstring> k_FileSystem::ListFiles()
{
    std::vector<std::wstring> names;
    if (m_archiveMode) {
        names = m_entryNames;
    } else if (!m_looseRoot.empty()) {
        const std::string root = Text::ToUtf8(m_looseRoot);
        const std::string real = RealPath(root);
        struct stat status;
        if (!real.empty() && stat(real.c_str(), &status) == 0) {
            std::set<std::pair<dev_t, ino_t>> walked{{status.st_dev, status.st_ino}};
            std::deque<std::pair<std::string, std::string>> links;
            ListFolder(root, std::string(), real, walked, links, names);
            // Linked folders come after the real ones, so a folder reached both ways is listed
            // under its own name, and one reached only through links is listed once.
            for (; !links.empty(); links.pop_front()) {
                const auto& [path, name] = links.front();
                if (stat(path.c_str(), &status) == 0 && walked.insert({status.st_dev, status.st_ino}).second)
                    ListFolder(path, name + "/", real, walked, links, names);
            }
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void k_FileSystem::ListFolder(const std::string& folder, const std::string& prefix, const std::string& root,
                              std::set<std::pair<dev_t, ino_t>>& walked,
                              std::deque<std::pair<std::string, std::string>>& links,
                              std::vector<std::wstring>& names) const
{
    DIR* listing = opendir(folder.c_str());
    if (!listing) {
        // The demo may still open names inside it, so the check must not pass it over silently.
        const int error = errno;
        const std::string shown = prefix.empty() ? "." : prefix.substr(0, prefix.size() - 1);
        Log::Error() << "Cannot read the folder " << Text::FromUtf8(shown) << ": " << std::strerror(error);
        return;
    }
    std::vector<std::string> entries;
    while (const dirent* entry = readdir(listing))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back(entry->d_name);
    closedir(listing);
    for (const std::string& entry : entries) {
        const std::string path = folder + "/" + entry;
        const std::string name = prefix + entry;
        struct stat status;
        if (lstat(path.c_str(), &status) != 0)
            continue;
        const bool link = S_ISLNK(status.st_mode);
        if (link && stat(path.c_str(), &status) != 0) {
            names.push_back(Text::FromUtf8(name));  // a link to nothing, or a loop: OpenFile says which
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            if (link && !Within(root, RealPath(path)))
                Log::Error() << "Refused a name outside the data folder: " << Text::FromUtf8(name);
            else if (link)
                links.emplace_back(path, name);
            else if (walked.insert({status.st_dev, status.st_ino}).second)
                ListFolder(path, name + "/", root, walked, links, names);
        } else if (S_ISREG(status.st_mode)) {
            names.push_back(Text::FromUtf8(name));
        }
    }
}

std::string k_FileSystem::Locate(const std::wstring& name, std::string& real) const
{
    real.clear();
    if (m_archiveMode || !StaysInside(Text::ToUtf8(name)))
        return std::string();
    const std::string path = Text::ToUtf8(Combine(m_looseRoot, name));
    // A link may point anywhere: where it leads must lie in the folder too. A name that does not
    // resolve (missing, a link to nothing, a loop) keeps its own path, for open to tell why.
    real = RealPath(path);
    if (real.empty())
        return path;
    const std::string root = RealPath(m_looseRoot.empty() ? std::string(".") : Text::ToUtf8(m_looseRoot));
    if (root.empty() || !Within(root, real)) {
        real.clear();
        return std::string();
    }
    return path;
}

std::string k_FileSystem::LoosePath(const std::wstring& name) const
{
    std::string real;
    return Locate(name, real);
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
    if (wanted.size() > kMaxNameBytes) {
        Log::Error() << "Name is too long to be found in the archive (" << wanted.size() << " bytes, at most "
                     << kMaxNameBytes << "): " << name;
        return nullptr;
    }
    const auto found = m_entries.find(FoldAscii(wanted));
    if (found == m_entries.end())
        return nullptr;
    unz64_file_pos position{found->second.directoryOffset, found->second.fileNumber};
    unz_file_info64 info;
    if (unzGoToFilePos64(m_archive, &position) != UNZ_OK ||
        unzGetCurrentFileInfo64(m_archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
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
    if (size > mostPossible || (info.compression_method == kStored && size != packed)) {
        Log::Error() << "Archive entry declares an impossible size (" << size << " bytes): " << name;
        return nullptr;
    }
    if (size > kMaxFileBytes) {
        LogTooLarge(name, size);
        return nullptr;
    }
    const bool opened = packed <= m_archiveBytes && unzOpenCurrentFile(m_archive) == UNZ_OK;
    const uint64_t dataStart = opened ? static_cast<uint64_t>(unzGetCurrentFileZStreamPos64(m_archive)) : 0;
    if (packed > m_archiveBytes || dataStart > m_archiveBytes - packed) {
        if (opened)
            unzCloseCurrentFile(m_archive);
        Log::Error() << "The archive is shorter than its directory claims: " << name << " needs "
                     << dataStart + packed << " bytes or more, the file has " << m_archiveBytes;
        return nullptr;
    }
    if (!opened) {
        Log::Error() << "Archive entry is damaged and cannot be extracted: " << name;
        return nullptr;
    }

    std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
    uint64_t got = 0;
    int read = 1;
    while (got < size && read > 0) {
        read = unzReadCurrentFile(m_archive, data.get() + got, static_cast<unsigned>(size - got));
        got += read > 0 ? static_cast<uint64_t>(read) : 0;
    }
    // Only closing compares the CRC, and only once every byte has been read.
    if (unzCloseCurrentFile(m_archive) != UNZ_OK || got != size) {
        Log::Error() << "Archive entry is damaged and cannot be extracted: " << name;
        return nullptr;
    }
    return std::make_unique<k_File>(m_engine, std::move(data), static_cast<uint32_t>(size));
}

std::unique_ptr<IFile> k_FileSystem::OpenFromDirectory(const std::wstring& name)
{
    std::string real;
    const std::string path = Locate(name, real);
    if (path.empty()) {
        Log::Error() << "Refused a name outside the data folder: " << name;
        return nullptr;
    }
    // The resolved path is opened, so what is read is what was checked to lie inside.
    // Without O_NONBLOCK, opening a FIFO would wait forever for a writer.
    const int in = open((real.empty() ? path : real).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (in < 0) {
        const int error = errno;
        struct stat status;
        if (error == ENAMETOOLONG)
            Log::Error() << "Name is too long for the file system (" << LongestPart(path) << " bytes in one part, at most "
                         << NAME_MAX << "; " << path.size() << " in all, at most " << PATH_MAX - 1 << "): " << name;
        else if (error == ENOENT && lstat(path.c_str(), &status) == 0)
            Log::Error() << "Cannot open " << name << ": it is a link to a file that does not exist";
        else if (error != ENOENT)  // a name that is simply missing is the caller's to report
            Log::Error() << "Cannot open " << name << ": " << std::strerror(error);
        return nullptr;
    }
    struct stat status;
    const bool known = fstat(in, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        // A folder opens too, and its "size" is meaningless; only regular files are files here.
        if (!known || !S_ISDIR(status.st_mode))
            Log::Error() << "Not a regular file, not read: " << name;
        close(in);
        return nullptr;
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (size > kMaxFileBytes) {
        close(in);
        LogTooLarge(name, size);
        return nullptr;
    }
    std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
    uint64_t got = 0;
    for (ssize_t read = 1; got < size && read > 0; got += read > 0 ? static_cast<uint64_t>(read) : 0)
        read = ::read(in, data.get() + got, size - got);
    close(in);
    if (got != size) {
        Log::Error() << "Cannot read the whole file: " << name;
        return nullptr;
    }
    return std::make_unique<k_File>(m_engine, std::move(data), static_cast<uint32_t>(size));
}
