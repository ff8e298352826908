// The executable's folder from the loader's wide module name.
#include "platform/Paths.h"

#include <windows.h>

namespace Platform {

std::wstring GetExecutableDirectory()
{
    // A deep folder can make the path longer than MAX_PATH; the buffer grows until it fits.
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    if (length == 0) return L".";
    path.resize(length);
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

}  // namespace Platform
