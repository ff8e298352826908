// A temporary folder for files that tests make with independent tools; removed with its content.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <system_error>

class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvanta-test-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch folder");
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
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
    int Run(const std::string& command) const
    {
        const int status = std::system(("cd '" + m_path.string() + "' && " + command).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
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
    std::filesystem::path m_path;
};
