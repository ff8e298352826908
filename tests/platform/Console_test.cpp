// The POSIX console: colours only on a terminal, and a reset after every line.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

#include "platform/Log.h"

namespace {

// What standard output receives from three log lines written by a child process whose
// standard output is a terminal (a pseudo-terminal) or a pipe.
std::string ConsoleOutput(bool terminal)
{
    std::fflush(stdout);
    int fd = -1;
    pid_t pid;
    if (terminal) {
        pid = forkpty(&fd, nullptr, nullptr, nullptr);
    } else {
        int ends[2];
        if (pipe(ends) != 0) return "no pipe";
        pid = fork();
        if (pid == 0) dup2(ends[1], STDOUT_FILENO);
        close(pid == 0 ? ends[0] : ends[1]);
        fd = ends[0];
    }
    if (pid < 0) return "no fork";
    if (pid == 0) {
        Log::Error() << "red";
        Log::Info() << "plain";
        Log::Warning() << L"yellow";
        _exit(0);
    }
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(n));
    close(fd);
    waitpid(pid, nullptr, 0);
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());  // the terminal's CR LF
    return out;
}

TEST(Log, ColoursOnlyOnATerminalAndResetsAfterEveryLine)
{
    EXPECT_EQ(ConsoleOutput(true), "\x1b[91mred\x1b[0m\nplain\x1b[0m\n\x1b[93myellow\x1b[0m\n");
    EXPECT_EQ(ConsoleOutput(false), "red\nplain\nyellow\n");
}

}  // namespace
