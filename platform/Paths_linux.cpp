// Linux: the executable's folder from the kernel's link to it.
#include "platform/Paths.h"

#include <climits>
#include <string>
#include <unistd.h>

#include "platform/Text.h"

namespace Platform {

std::wstring GetExecutableDirectory()
{
    // A deep folder can make the path longer than PATH_MAX; the buffer grows until it fits.
    std::string text(PATH_MAX, '\0');
    ssize_t length;
    while ((length = readlink("/proc/self/exe", text.data(), text.size())) == static_cast<ssize_t>(text.size()))
        text.resize(text.size() * 2);
    if (length <= 0) return L".";
    text.resize(static_cast<size_t>(length));
    const size_t slash = text.find_last_of('/');
    text = slash == 0 ? "/" : text.substr(0, slash);
    // Any bytes the system allows in a folder name come back unchanged from Text::ToUtf8.
    return Text::FromUtf8(text);
}

}  // namespace Platform
