// Files written whole or not at all.
#include "makers/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/Files.h"

OutputFile::OutputFile(std::string path) : m_path(std::move(path))
{
    const bool special = Files::Look(m_path).kind == Files::Kind::Other;
    m_written = special ? m_path : m_path + ".partial";
    m_file = Files::Create(m_written);
    if (!m_file) Fail(std::strerror(errno));
}

OutputFile::~OutputFile()
{
    if (m_file) std::fclose(m_file);
    std::error_code ignored;
    if (m_written != m_path && !m_written.empty()) std::filesystem::remove(Files::FromUtf8(m_written), ignored);
}

void OutputFile::Fail(const std::string& reason)
{
    if (m_problem.empty()) m_problem = "Cannot write " + m_path + ": " + reason;
}

bool OutputFile::Write(const void* data, size_t size)
{
    if (!m_file || !m_problem.empty()) return false;
    if (std::fwrite(data, 1, size, m_file) == size) return true;
    Fail(std::strerror(errno));  // errno now, before anything else can change it
    return false;
}

bool OutputFile::Close(bool complete)
{
    if (!m_file) return false;
    // A write that failed earlier (a full disk, a size limit) fails again in the flush, which
    // gives its reason; a flag without one is an input/output error.
    if (std::fflush(m_file) != 0) Fail(std::strerror(errno));
    if (std::ferror(m_file)) Fail(std::strerror(EIO));
    const int closed = std::fclose(m_file);
    const int closeError = errno;
    m_file = nullptr;
    if (closed != 0) Fail(std::strerror(closeError));
    if (!complete) Fail("the writer stopped before the end");
    if (m_problem.empty() && m_written != m_path) {
        std::error_code error;
        std::filesystem::rename(Files::FromUtf8(m_written), Files::FromUtf8(m_path), error);
        if (error) Fail(error.message());
        else m_written.clear();
    }
    return m_problem.empty();
}
