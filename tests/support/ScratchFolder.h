// A temporary folder for files that tests make with independent tools; removed with its content.
// Under Wine the folder lies below Z:\tmp, so the tools run as Linux programs on the same files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <random>
#include <string>
#include <system_error>
#ifdef _WIN32
#include <chrono>
#include <thread>

#include "platform/Process.h"
#else
#include <sys/wait.h>
#endif

// Whether the tests run as a Windows program (under Wine): a few cases differ by system.
#ifdef _WIN32
inline constexpr bool kOnWindows = true;
#else
inline constexpr bool kOnWindows = false;
#endif

class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        m_unixPath = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvanta-test-";
#ifdef _WIN32
        std::random_device random;
        for (int tries = 0; tries < 100 && m_path.empty(); ++tries) {
            const std::string name = m_unixPath + std::to_string(random());
            if (std::filesystem::create_directory("Z:" + name)) m_path = "Z:" + name, m_unixPath = name;
        }
        if (m_path.empty()) throw std::runtime_error("cannot create a scratch folder");
#else
        std::string pattern = m_unixPath + "XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch folder");
        m_path = m_unixPath = pattern;
#endif
    }
    ~ScratchFolder()
    {
#ifdef _WIN32
        // Wine shows Unix links as plain folders: one leading back up would never end a walk.
        Shell("rm -rf '" + m_unixPath + "'");
#else
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
#endif
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    // Writes bytes to name below the folder, creating the folders on the way.
    void Write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Runs a shell command inside the folder; returns its exit status.
    int Run(const std::string& command) const { return Shell("cd '" + m_unixPath + "' && " + command); }
    // Runs a Python script (written to name first) inside the folder; returns its exit status.
    int Python(const std::string& name, const std::string& script) const
    {
        Write(name, script);
        return Run("python3 " + name);
    }

    // Encodes a tune of sine tones, one per channel, with oggenc into ogg (a path in the folder);
    // returns the exit status.
    int EncodeTune(const std::string& ogg, int channels, int rate, double seconds) const
    {
        const std::string script =
            "import math, struct, wave\n"
            "n, rate = " + std::to_string(channels) + ", " + std::to_string(rate) + "\n"
            "w = wave.open('tune.wav', 'wb')\n"
            "w.setnchannels(n); w.setsampwidth(2); w.setframerate(rate)\n"
            "w.writeframes(b''.join(struct.pack('<' + 'h' * n, *[int(8000 * math.sin(\n"
            "    2 * math.pi * (440 + 20 * c) * i / rate)) for c in range(n)]) for i in range(int(rate * " +
            std::to_string(seconds) + "))))\n"
            "w.close()\n";
        const int status = Python("tune.py", script);
        if (status != 0) return status;
        return Run("oggenc -Q -o '" + ogg + "' tune.wav && rm tune.wav tune.py");
    }

private:
    // Runs a shell command line; returns its exit status.
    int Shell(const std::string& line) const
    {
#ifdef _WIN32
        // Wine starts a Linux program without waiting for it or passing its exit code back (the
        // start reads as failed): a file beside the folder carries the code, and its arrival
        // says the command is done.
        const std::string status = m_unixPath + ".exit-status";
        const std::filesystem::path done = "Z:" + status;
        Process::Run({"/bin/sh", "-c", "(" + line + "); echo $? > '" + status + ".part' && mv '" + status + ".part' '" +
                                           status + "'"});
        std::error_code ignored;
        for (int waited = 0; !std::filesystem::exists(done, ignored) && waited < kMostShellMilliseconds; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(done);
        int code = -1;
        in >> code;
        in.close();
        std::filesystem::remove(done, ignored);
        return code;
#else
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }

#ifdef _WIN32
    static constexpr int kMostShellMilliseconds = 300000;
#endif
    std::filesystem::path m_path;
    std::string m_unixPath;  // the same folder for the shell
};
