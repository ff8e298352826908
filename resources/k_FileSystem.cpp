// The file system over the ZIP data archive (minizip), or over a folder of loose files.
#include "resources/k_FileSystem.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <unzip.h>
#include <vector>

#include "platform/Files.h"
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
constexpr uint64_t kCountThatMayWrap = 0xFFFF;  // the largest count the 16-bit end record holds

// Joins like the shell's path combination: an absolute name or an empty base stays as it is.
std::wstring Combine(const std::wstring& base, const std::wstring& name)
{
    if (base.empty() || Files::IsAbsolute(Text::ToUtf8(name)))
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
    m_opened.clear();
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
    const Files::Status status = Files::Look(path);
    std::string reason;
    if (status.kind == Files::Kind::Missing)
        reason = status.reason;
    else if (status.kind == Files::Kind::Folder)
        reason = "it is a folder";
    else if (status.kind != Files::Kind::Regular)
        reason = "not a regular file";
    else if (status.size == 0)
        reason = "the file is empty";
    else if (!(m_archive = Files::OpenZip(path)))
        reason = "not a ZIP archive, or cut short before its directory";
    if (!reason.empty()) {
        Log::Error() << "FAILED! " << Combine(m_baseDirectory, fileName) << ": " << reason;
        return false;
    }
    m_archiveBytes = status.size;
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
    // minizip takes a count of 65535 for one that wrapped and reads on past it, into the end record.
    const auto allRead = [&] { return global.number_entry == kCountThatMayWrap && read == kCountThatMayWrap; };
    for (; walk == UNZ_OK; walk = allRead() ? UNZ_END_OF_LIST_OF_FILE : unzGoToNextFile(m_archive)) {
        walk = unzGetCurrentFileInfo64(m_archive, &info, stored.data(), stored.size(), nullptr, 0, nullptr, 0);
        unz64_file_pos position;
        if (walk != UNZ_OK || (walk = unzGetFilePos64(m_archive, &position)) != UNZ_OK)
            break;
        ++read;
        const std::string name = stored.substr(0, info.size_filename);
        if (name.empty() || name.back() == '/')  // folders have entries of their own
            continue;
        if (name.find('\0') != std::string::npos) {
            // Logged as bytes: a wide name would end at the NUL, and the log shows it escaped.
            Log::Warning() << "The archive holds an entry whose name holds a NUL byte, which no name can open: "
                           << name;
            continue;
        }
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
    if (Files::Look(Text::ToUtf8(Combine(m_baseDirectory, path))).kind == Files::Kind::Folder) {
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
        for (const std::string& name : Files::ListRegular(Text::ToUtf8(m_looseRoot)))
            names.push_back(Text::FromUtf8(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string k_FileSystem::Locate(const std::wstring& name, std::string& real) const
{
    real.clear();
    if (m_archiveMode || !Files::StaysInside(Text::ToUtf8(name)))
        return std::string();
    const std::string path = Text::ToUtf8(Combine(m_looseRoot, name));
    // A link may point anywhere: where it leads must lie in the folder too. A name that does not
    // resolve (missing, a link to nothing, a loop) keeps its own path, for open to tell why.
    real = Files::RealPath(path);
    if (real.empty())
        return path;
    const std::string root = Files::RealPath(m_looseRoot.empty() ? std::string(".") : Text::ToUtf8(m_looseRoot));
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
    std::wstring other;
    if (!ClaimData(dataStart, dataStart + packed, position.num_of_file, name, other)) {
        unzCloseCurrentFile(m_archive);
        Log::Error() << "Archive entry shares its data with the entry " << other << ", not read: " << name;
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

bool k_FileSystem::ClaimData(uint64_t start, uint64_t end, uint64_t fileNumber, const std::wstring& name,
                            std::wstring& other)
{
    if (start == end)
        return true;
    // Claimed ranges never overlap one another, so only the neighbours of this one can overlap it.
    auto next = m_opened.lower_bound(start);
    if (next != m_opened.end() && next->first < end && next->second.fileNumber != fileNumber) {
        other = next->second.name;
        return false;
    }
    if (next != m_opened.begin()) {
        const auto before = std::prev(next);
        if (before->second.end > start && before->second.fileNumber != fileNumber) {
            other = before->second.name;
            return false;
        }
    }
    m_opened.emplace(start, DataRange{end, fileNumber, name});
    return true;
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
    std::unique_ptr<unsigned char[]> data;
    uint64_t size = 0;
    std::string detail;
    switch (Files::ReadRegular(real.empty() ? path : real, kMaxFileBytes, data, size, detail)) {
    case Files::ReadResult::Read:
        break;
    case Files::ReadResult::Missing:  // a name that is simply missing is the caller's to report
    case Files::ReadResult::Folder:   // a folder is not a file, and not worth a line either
        return nullptr;
    case Files::ReadResult::NameTooLong:
        Log::Error() << "Name is too long for the file system (" << detail << "): " << name;
        return nullptr;
    case Files::ReadResult::NotRepresentable:
        Log::Error() << "Name cannot be a file name on this system (" << detail << "): " << name;
        return nullptr;
    case Files::ReadResult::LinkToNothing:
        Log::Error() << "Cannot open " << name << ": it is a link to a file that does not exist";
        return nullptr;
    case Files::ReadResult::Unopened:
        Log::Error() << "Cannot open " << name << ": " << detail;
        return nullptr;
    case Files::ReadResult::NotRegular:
        Log::Error() << "Not a regular file, not read: " << name;
        return nullptr;
    case Files::ReadResult::TooLarge:
        LogTooLarge(name, size);
        return nullptr;
    case Files::ReadResult::Failed:
        Log::Error() << "Cannot read the whole file: " << name;
        return nullptr;
    }
    return std::make_unique<k_File>(m_engine, std::move(data), static_cast<uint32_t>(size));
}
