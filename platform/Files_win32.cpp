// Windows files: UTF-8 paths become UTF-16 here and only here, and every call is a wide one.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <set>
#include <string_view>
#include <utility>
#include <system_error>
#include <unzip.h>
// After unzip.h, which brings the zlib types it uses.
#include <iowin32.h>

#include "platform/Log.h"
#include "platform/Text.h"

namespace Files {
namespace {

constexpr size_t kMaxPartUnits = 255;
constexpr size_t kMaxPathUnits = MAX_PATH - 1;
constexpr int64_t kNanosecondsPerTick = 100;  // FILETIME counts 100 ns ticks

// The UTF-16 form of a UTF-8 name; false when the name holds bytes that are not UTF-8, which
// Text carries as lone low surrogates and which no Windows name should be made of.
bool Wide(const std::string& path, std::wstring& wide)
{
    wide = Text::FromUtf8(path);
    for (size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
            ++i;  // a pair: one character beyond U+FFFF
        else if (c >= 0xD800 && c <= 0xDFFF)
            return false;
    }
    return true;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The folder and file names along a path split at either slash, empty ones included.
std::vector<std::string_view> Parts(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) continue;
        parts.push_back(path.substr(start, i - start));
        start = i + 1;
    }
    return parts;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return upper;
}

// CON, NUL, COM1, LPT1 and the rest name devices in every folder, whatever follows a dot.
bool IsDeviceName(std::string_view part)
{
    std::string base = Upper(part.substr(0, part.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : kDevices)
        if (base == device) return true;
    // COM0..COM9, LPT0..LPT9 and the superscript digits 1, 2, 3 (UTF-8 C2 B9, C2 B2, C2 B3).
    if (base.size() < 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0)) return false;
    const std::string digit = base.substr(3);
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2" ||
           digit == "\xC2\xB3";
}

// Characters no Windows name may hold: wildcards, redirections, quotes, control codes.
bool HasForbiddenCharacter(std::string_view part)
{
    return std::any_of(part.begin(), part.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || std::string_view("<>\"|?*:").find(c) != std::string_view::npos;
    });
}

std::string NameTooLongDetail(const std::wstring& wide)
{
    size_t longest = 0, run = 0;
    for (const wchar_t c : wide) {
        run = (c == L'/' || c == L'\\') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return std::to_string(longest) + " UTF-16 units in one part, at most " + std::to_string(kMaxPartUnits) + "; " +
           std::to_string(wide.size()) + " in all, at most " + std::to_string(kMaxPathUnits);
}

int64_t Nanoseconds(const FILETIME& time)
{
    const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<int64_t>(ticks) * kNanosecondsPerTick;
}

}  // namespace

Status Look(const std::string& path)
{
    Status status;
    std::wstring wide;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Wide(path, wide)) {
        status.reason = "the name holds bytes that are not UTF-8";
        return status;
    }
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        status.reason = GetLastError() == ERROR_ACCESS_DENIED ? "Permission denied" : "No such file or directory";
        return status;
    }
    status.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder
                  : (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)  ? Kind::Other
                                                                     : Kind::Regular;
    status.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.modified = Nanoseconds(data.ftLastWriteTime);
    return status;
}

ReadResult ReadRegular(const std::string& path, uint64_t maxBytes, std::unique_ptr<unsigned char[]>& data,
                       uint64_t& size, std::string& detail)
{
    std::wstring wide;
    if (!Wide(path, wide)) {
        detail = "it holds bytes that are not UTF-8";
        return ReadResult::NotRepresentable;
    }
    if (wide.size() > kMaxPathUnits) {
        detail = NameTooLongDetail(wide);
        return ReadResult::NameTooLong;
    }
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open; a pipe or device opens but is
    // not a disk file, and nothing is read from it.
    HANDLE in = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILENAME_EXCED_RANGE) {
            detail = NameTooLongDetail(wide);
            return ReadResult::NameTooLong;
        }
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ReadResult::Folder;
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ReadResult::Missing;
        detail = std::system_category().message(static_cast<int>(error));
        return ReadResult::Unopened;
    }
    LARGE_INTEGER length;
    if (GetFileType(in) != FILE_TYPE_DISK || !GetFileSizeEx(in, &length)) {
        CloseHandle(in);
        return ReadResult::NotRegular;
    }
    size = static_cast<uint64_t>(length.QuadPart);
    if (size > maxBytes) {
        CloseHandle(in);
        return ReadResult::TooLarge;
    }
    data.reset(new unsigned char[size]);
    uint64_t got = 0;
    DWORD read = 1;
    while (got < size && read > 0) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(size - got, 1u << 30));
        if (!ReadFile(in, data.get() + got, want, &read, nullptr)) break;
        got += read;
    }
    CloseHandle(in);
    return got == size ? ReadResult::Read : ReadResult::Failed;
}

std::FILE* Create(const std::string& path)
{
    std::wstring wide;
    return Wide(path, wide) ? _wfopen(wide.c_str(), L"wb") : nullptr;
}

namespace {

class OpenedAlone : public HeldLock {
public:
    explicit OpenedAlone(HANDLE handle) : m_handle(handle) {}
    ~OpenedAlone() override { CloseHandle(m_handle); }  // deletes the file: opened to be deleted on close

private:
    HANDLE m_handle;
};

}  // namespace

std::unique_ptr<HeldLock> LockFile(const std::string& path, bool& heldElsewhere, std::string& reason)
{
    heldElsewhere = false;
    std::wstring wide;
    if (!Wide(path, wide)) {
        reason = "the name is not UTF-8";
        return nullptr;
    }
    // Shared with nobody: a second opening fails for as long as this handle lives.
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        heldElsewhere = error == ERROR_SHARING_VIOLATION;
        reason = std::system_category().message(static_cast<int>(error));
        return nullptr;
    }
    return std::make_unique<OpenedAlone>(handle);
}

std::filesystem::path FromUtf8(const std::string& path) { return std::filesystem::path(Text::FromUtf8(path)); }

std::string ToUtf8(const std::filesystem::path& path) { return Text::ToUtf8(path.wstring()); }

namespace {

using Identity = std::pair<uint64_t, uint64_t>;  // volume, file index
using Links = std::deque<std::pair<std::filesystem::path, std::string>>;

// A folder's identity: links and junctions, and under Wine the Unix links it shows as plain
// folders, reach one folder by many names.
bool FolderIdentity(const std::filesystem::path& folder, Identity& identity)
{
    const HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (known)
        identity = {information.dwVolumeSerialNumber,
                    uint64_t(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
    return known;
}

// Whether two names are one: Windows names ignore case.
bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether a resolved path is the resolved folder root or lies below it.
bool Within(const std::string& root, const std::string& path)
{
    const std::wstring wideRoot = Text::FromUtf8(root), widePath = Text::FromUtf8(path);
    if (wideRoot.empty() || widePath.size() < wideRoot.size() ||
        !SameName(wideRoot, std::wstring_view(widePath).substr(0, wideRoot.size())))
        return false;
    return widePath.size() == wideRoot.size() || wideRoot.back() == L'/' || widePath[wideRoot.size()] == L'/';
}

// Adds the files below folder (prefix: its name inside the listed folder, root: that folder
// resolved) and walks its real subfolders; a folder whose resolved path is not its own name is
// reached through a link, and waits in links for later, so that real folders keep their names.
void ListFolder(const std::filesystem::path& folder, const std::string& prefix, const std::string& root,
                std::set<Identity>& walked, Links& links, std::vector<std::string>& names)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        const std::string shown = prefix.empty() ? "." : prefix.substr(0, prefix.size() - 1);
        Log::Error() << "Cannot read the folder " << Text::FromUtf8(shown) << ": " << error.message();
        return;
    }
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path path = it->path();
        const std::string name = prefix + Text::ToUtf8(path.filename().wstring());
        std::error_code ignored;
        if (it->is_directory(ignored)) {
            const std::string real = RealPath(Text::ToUtf8(path.wstring()));
            Identity identity;
            if (!Within(root, real))
                Log::Error() << "Refused a name outside the data folder: " << Text::FromUtf8(name);
            else if (!SameName(Text::FromUtf8(real), Text::FromUtf8(root + "/" + name)))
                links.emplace_back(path, name);
            else if (FolderIdentity(path, identity) && walked.insert(identity).second)
                ListFolder(path, name + "/", root, walked, links, names);
        } else if (it->is_regular_file(ignored)) {
            names.push_back(name);
        }
    }
}

}  // namespace

std::vector<std::string> ListRegular(const std::string& folder)
{
    std::vector<std::string> names;
    const std::string root = RealPath(folder);
    Identity identity;
    if (root.empty() || !FolderIdentity(FromUtf8(folder), identity)) return names;
    std::set<Identity> walked{identity};
    Links links;
    ListFolder(FromUtf8(folder), std::string(), root, walked, links, names);
    // Linked folders come after the real ones, so a folder reached both ways is listed under its
    // own name, and one reached only through links is listed once.
    for (; !links.empty(); links.pop_front()) {
        const auto& [path, name] = links.front();
        if (FolderIdentity(path, identity) && walked.insert(identity).second)
            ListFolder(path, name + "/", root, walked, links, names);
    }
    return names;
}

std::string RealPath(const std::string& path)
{
    // The name the system resolves the open file to follows links and junctions all the way.
    std::wstring wide;
    if (!Wide(path, wide)) return std::string();
    const HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::string();
    std::wstring real(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, real.data(), DWORD(real.size()), FILE_NAME_NORMALIZED);
    if (length >= real.size()) {
        real.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, real.data(), DWORD(real.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(handle);
    if (length == 0 || length >= real.size()) return std::string();
    real.resize(length);
    // "\\?\C:\x" for a drive, "\\?\UNC\server\x" for a share.
    if (real.rfind(L"\\\\?\\UNC\\", 0) == 0)
        real = L"\\\\" + real.substr(8);
    else if (real.rfind(L"\\\\?\\", 0) == 0)
        real = real.substr(4);
    return Text::ToUtf8(std::filesystem::path(real).generic_wstring());
}

bool IsAbsolute(const std::string& path)
{
    const bool drive = path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
    return drive || (!path.empty() && IsSeparator(path[0]));
}

bool StaysInside(const std::string& name)
{
    // A leading slash is the drive's root, two name a server; a colon names a drive or a stream.
    if (name.empty() || IsSeparator(name[0])) return false;
    for (std::string_view part : Parts(name)) {
        if (part == ".") continue;
        // Windows drops trailing dots and spaces, so ".. " would be "..".
        if (part == ".." || HasForbiddenCharacter(part) || IsDeviceName(part)) return false;
        if (!part.empty() && (part.back() == '.' || part.back() == ' ')) return false;
    }
    return true;
}

void* OpenZip(const std::string& path)
{
    std::wstring wide;
    if (!Wide(path, wide)) return nullptr;
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    return unzOpen2_64(wide.c_str(), &functions);
}

}  // namespace Files
