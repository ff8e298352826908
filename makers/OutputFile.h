// A file the user asked for (a picture, a capture's sound, frame times, a benchmark's table),
// written whole or not at all: the bytes go to a temporary name beside it and take its name only
// once every one of them is written, so a failed write leaves no partial file. A device or pipe
// named as the file (/dev/stdout) is written in place.
#pragma once

#include <cstdio>
#include <string>

class OutputFile {
public:
    // Opens for writing; when that fails, Write refuses and Close says why.
    explicit OutputFile(std::string path);
    // Removes the temporary file unless Close gave it its name.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes size bytes; false (the reason kept for Close) when they could not all be written or
    // the file is not open.
    bool Write(const void* data, size_t size);
    // Flushes, closes and gives the file its name. False, with "Cannot write PATH: reason" in
    // GetProblem(), when any write, the close or the rename failed, or the writer says the bytes
    // are not complete (an encoder that stopped); nothing is left at the temporary name then.
    bool Close(bool complete = true);
    const std::string& GetProblem() const { return m_problem; }

private:
    void Fail(const std::string& reason);

    std::string m_path;
    std::string m_written;  // the name the bytes go to: a temporary one, or m_path itself
    FILE* m_file = nullptr;
    std::string m_problem;
};
