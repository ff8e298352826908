// The executable's folder from the kernel's link to it.
#include "platform/Paths.h"

#include <climits>
#include <unistd.h>

#include "platform/Text.h"

namespace Platform {

std::wstring GetExecutableDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return L".";
    std::string text(path, static_cast<size_t>(length));
    const size_t slash = text.find_last_of('/');
    text = slash == 0 ? "/" : text.substr(0, slash);
    return Text::FromUtf8(text);
}

}  // namespace Platform
