// POSIX files: names are bytes, passed through as they are.
#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <utility>

#include "platform/Log.h"
#include "platform/Text.h"

namespace Files {
namespace {

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

// The length in bytes of the longest folder or file name along a path.
size_t LongestPart(const std::string& path)
{
    size_t longest = 0;
    for (std::string_view part : Parts(path)) longest = std::max(longest, part.size());
    return longest;
}

// Whether a resolved path is the resolved folder root or lies below it.
bool Within(const std::string& root, const std::string& path)
{
    if (root.empty() || path.compare(0, root.size(), root) != 0) return false;
    return path.size() == root.size() || root.back() == '/' || path[root.size()] == '/';
}

using Walked = std::set<std::pair<dev_t, ino_t>>;
using Links = std::deque<std::pair<std::string, std::string>>;

// Adds the files below folder (prefix: its name inside the listed folder, root: that folder
// resolved) and walks its real subfolders; links to folders inside are left in links (path, name)
// for later. walked holds the folders seen, so each is listed once.
void ListFolder(const std::string& folder, const std::string& prefix, const std::string& root, Walked& walked,
                Links& links, std::vector<std::string>& names)
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
        if (lstat(path.c_str(), &status) != 0) continue;
        const bool link = S_ISLNK(status.st_mode);
        if (link && stat(path.c_str(), &status) != 0) {
            names.push_back(name);  // a link to nothing, or a loop: opening it says which
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
            names.push_back(name);
        }
    }
}

}  // namespace

std::string RealPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

Status Look(const std::string& path)
{
    Status status;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        status.reason = std::strerror(errno);
        return status;
    }
    status.kind = S_ISREG(info.st_mode) ? Kind::Regular : S_ISDIR(info.st_mode) ? Kind::Folder : Kind::Other;
    status.size = static_cast<uint64_t>(info.st_size);
    status.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return status;
}

ReadResult ReadRegular(const std::string& path, uint64_t maxBytes, std::unique_ptr<unsigned char[]>& data,
                       uint64_t& size, std::string& detail)
{
    // Without O_NONBLOCK, opening a FIFO would wait forever for a writer.
    const int in = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (in < 0) {
        const int error = errno;
        struct stat status;
        if (error == ENOENT) return lstat(path.c_str(), &status) == 0 ? ReadResult::LinkToNothing : ReadResult::Missing;
        if (error != ENAMETOOLONG) {
            detail = std::strerror(error);
            return ReadResult::Unopened;
        }
        detail = std::to_string(LongestPart(path)) + " bytes in one part, at most " + std::to_string(NAME_MAX) + "; " +
                 std::to_string(path.size()) + " in all, at most " + std::to_string(PATH_MAX - 1);
        return ReadResult::NameTooLong;
    }
    struct stat status;
    const bool known = fstat(in, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        // A folder opens too, and its "size" is meaningless; only regular files are files here.
        close(in);
        return known && S_ISDIR(status.st_mode) ? ReadResult::Folder : ReadResult::NotRegular;
    }
    size = static_cast<uint64_t>(status.st_size);
    if (size > maxBytes) {
        close(in);
        return ReadResult::TooLarge;
    }
    data.reset(new unsigned char[size]);
    uint64_t got = 0;
    for (ssize_t read = 1; got < size && read > 0; got += read > 0 ? static_cast<uint64_t>(read) : 0)
        read = ::read(in, data.get() + got, size - got);
    close(in);
    return got == size ? ReadResult::Read : ReadResult::Failed;
}

std::FILE* Create(const std::string& path) { return std::fopen(path.c_str(), "wb"); }

namespace {

class FlockedFile : public HeldLock {
public:
    FlockedFile(int descriptor, std::string path) : m_descriptor(descriptor), m_path(std::move(path)) {}
    ~FlockedFile() override
    {
        // Removed while still held, so that no other run takes a name about to go.
        unlink(m_path.c_str());
        close(m_descriptor);
    }

private:
    int m_descriptor;
    std::string m_path;
};

}  // namespace

std::unique_ptr<HeldLock> LockFile(const std::string& path, bool& heldElsewhere, std::string& reason)
{
    heldElsewhere = false;
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        heldElsewhere = errno == EWOULDBLOCK;
        reason = std::strerror(errno);
        close(descriptor);
        return nullptr;
    }
    return std::make_unique<FlockedFile>(descriptor, path);
}

std::filesystem::path FromUtf8(const std::string& path) { return std::filesystem::path(path); }

std::string ToUtf8(const std::filesystem::path& path) { return path.string(); }

std::vector<std::string> ListRegular(const std::string& folder)
{
    std::vector<std::string> names;
    const std::string real = RealPath(folder);
    struct stat status;
    if (real.empty() || stat(real.c_str(), &status) != 0) return names;
    Walked walked{{status.st_dev, status.st_ino}};
    Links links;
    ListFolder(folder, std::string(), real, walked, links, names);
    // Linked folders come after the real ones, so a folder reached both ways is listed under its
    // own name, and one reached only through links is listed once.
    for (; !links.empty(); links.pop_front()) {
        const auto& [path, name] = links.front();
        if (stat(path.c_str(), &status) == 0 && walked.insert({status.st_dev, status.st_ino}).second)
            ListFolder(path, name + "/", real, walked, links, names);
    }
    return names;
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

bool StaysInside(const std::string& name)
{
    if (name.empty() || name[0] == '/') return false;
    const std::vector<std::string_view> parts = Parts(name);
    return std::find(parts.begin(), parts.end(), "..") == parts.end();
}

void* OpenZip(const std::string& path) { return unzOpen64(path.c_str()); }

}  // namespace Files
