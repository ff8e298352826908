// The process itself and the programs it starts. Process_linux.cpp is the Linux side,
// Process_win32.cpp the Windows side.
#pragma once

#include <string>
#include <vector>

namespace Process {

// Called first in main. Linux: keeps the driver's large per-frame buffers off mmap/munmap.
// Windows: a GUI program started from a console writes to that console (UTF-8, colours); its
// manifest (app/meridian.manifest) declares it DPI-aware.
void Start();

// The command line as UTF-8 arguments, the program's name first. Windows: from the wide command
// line, since argv arrives in the ANSI code page.
std::vector<std::string> Arguments(int argc, char** argv);

// The processor time the whole process has used so far (every thread, user and system), in
// seconds. It stands still while the process is stopped or the machine sleeps.
double CpuSeconds();

// Whether a program of that name can be started from the PATH.
bool OnPath(const std::string& program);

// Starts a program found on the PATH with these arguments (the program's name first), and waits
// for it. Its exit code; -1 when it could not be started. No shell sees the arguments.
int Run(const std::vector<std::string>& arguments);

}  // namespace Process
