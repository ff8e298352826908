// The operating system's files behind UTF-8 paths: what a name is, reading a regular file whole
// without blocking, writing, listing a folder, and where a name given to a data folder may lead.
// Files.cpp is the POSIX side, Files_win32.cpp the Windows side (wide names).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace Files {

enum class Kind { Missing, Regular, Folder, Other };

struct Status {
    Kind kind = Kind::Missing;
    uint64_t size = 0;
    int64_t modified = 0;  // nanoseconds since the system's epoch; only compared, never shown
    std::string reason;    // why the name could not be looked at (Missing only)
};

// Looks at a name without opening it, so a FIFO or device never blocks.
Status Look(const std::string& path);

enum class ReadResult {
    Read,
    Missing,
    LinkToNothing,
    Folder,
    NotRegular,
    TooLarge,
    NameTooLong,
    NotRepresentable,
    Unopened,  // detail: the system's reason
    Failed
};

// Reads a regular file whole, refusing anything else (FIFO, device, folder) without blocking.
// maxBytes bounds the allocation. detail says more for NameTooLong, NotRepresentable and Unopened.
ReadResult ReadRegular(const std::string& path, uint64_t maxBytes, std::unique_ptr<unsigned char[]>& data,
                       uint64_t& size, std::string& detail);

// A new file (or one emptied) for writing bytes: binary mode everywhere. Null on failure; the
// caller closes it with std::fclose.
std::FILE* Create(const std::string& path);

// An exclusive lock on a file, held while the object lives. The system lets go of it when the
// process ends however it ends, so a run that died leaves nothing that blocks the next.
class HeldLock {
public:
    virtual ~HeldLock() = default;
};
// Takes the lock on the file at path (made when missing; removed when let go of). Null when
// another process holds it (heldElsewhere) or it cannot be made (reason: the system's).
std::unique_ptr<HeldLock> LockFile(const std::string& path, bool& heldElsewhere, std::string& reason);

// The path object for a UTF-8 path, for std::filesystem calls, and back.
std::filesystem::path FromUtf8(const std::string& path);
std::string ToUtf8(const std::filesystem::path& path);

// The regular files under a folder, as UTF-8 paths relative to it with '/' between folders.
// Linked folders are walked only where they lead inside the folder (one leading out is refused
// with an error line), each folder once; links to nothing are listed, for opening to say why
// (Windows shows none).
std::vector<std::string> ListRegular(const std::string& folder);

// The path with every link followed, as an absolute UTF-8 path with '/' between folders; empty
// when it does not resolve.
std::string RealPath(const std::string& path);

// Whether a path names its place without a base folder: "/x"; on Windows also "\x", "C:\x" and "C:x".
bool IsAbsolute(const std::string& path);

// Whether a relative name given to a data folder stays inside it: not absolute, no ".." part,
// and on Windows no drive, server, backslash, stream or device name (CON, NUL, COM1, LPT1...).
bool StaysInside(const std::string& name);

// Opens a ZIP archive through minizip by its UTF-8 path; minizip's unzFile, null on failure.
void* OpenZip(const std::string& path);

}  // namespace Files
