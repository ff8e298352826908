// Windows processes: the parent's console, the wide command line, CreateProcessW.
#include "platform/Process.h"

#include <windows.h>

#include <cstdio>
#include <shellapi.h>

#include "platform/Text.h"

namespace Process {
namespace {

// One argument quoted the way CommandLineToArgvW and the C runtime read it back: backslashes
// double only before a quote.
std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// A standard stream with no handle of its own (a GUI program started from a console) goes to
// the console; one redirected to a file or pipe stays where it is.
void ToConsole(DWORD stream, const char* mode, std::FILE* file)
{
    const HANDLE handle = GetStdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) (void)std::freopen("CONOUT$", mode, file);
}

}  // namespace

void Start()
{
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        ToConsole(STD_OUTPUT_HANDLE, "w", stdout);
        ToConsole(STD_ERROR_HANDLE, "w", stderr);
        SetConsoleOutputCP(CP_UTF8);
    }
}

std::vector<std::string> Arguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Text::ToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    // Both in units of 100 ns.
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return 1e-7 * (ticks(kernel) + ticks(user));
}

bool OnPath(const std::string& program)
{
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, Text::FromUtf8(program).c_str(), L".exe", MAX_PATH, found, nullptr) > 0;
}

int Run(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) return -1;
    std::wstring line;
    for (const std::string& argument : arguments) line += (line.empty() ? L"" : L" ") + Quoted(Text::FromUtf8(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &code) != 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return known ? static_cast<int>(code) : -1;
}

}  // namespace Process
