// Windows files: UTF-8 paths become UTF-16 here and only here, and every call is a wide one.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <system_error>
#include <unzip.h>
// After unzip.h, which brings the zlib types it uses.
#include <iowin32.h>

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

std::filesystem::path FromUtf8(const std::string& path) { return std::filesystem::path(Text::FromUtf8(path)); }

std::string ToUtf8(const std::filesystem::path& path) { return Text::ToUtf8(path.wstring()); }

std::vector<std::string> ListRegular(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    const fs::path root = FromUtf8(folder);
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        if (it->is_regular_file(error)) names.push_back(Text::ToUtf8(it->path().lexically_relative(root).generic_wstring()));
    return names;
}

std::string RealPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(FromUtf8(path), error);
    return error ? std::string() : Text::ToUtf8(real.generic_wstring());
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
