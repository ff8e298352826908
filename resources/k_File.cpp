// A file held whole in memory: the buffer from the file system plus a bounds-checked cursor.
#include "resources/k_File.h"

#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Text.h"

k_File::k_File(IEngine* /*engine*/, std::unique_ptr<unsigned char[]> data, uint32_t size)
    : m_data(std::move(data)), m_cursor(m_data.get()), m_size(size)
{
}

k_File::~k_File() = default;

const unsigned char* k_File::GetData() const { return m_data.get(); }

uint32_t k_File::GetSize() const { return m_size; }

void k_File::SaveToFile(const std::wstring& path)
{
    std::FILE* out = Files::Create(Text::ToUtf8(path));
    if (!out) {
        Log::Error() << "Cannot write file: " << path;
        return;
    }
    const bool written = std::fwrite(m_data.get(), 1, m_size, out) == m_size;
    // A full disk often shows only when the buffered bytes are flushed.
    if (std::fclose(out) != 0 || !written)
        Log::Error() << "Cannot write file: " << path;
}

void k_File::Require(size_t count) const
{
    // Measured as a distance so a huge count cannot wrap the pointer arithmetic.
    const size_t left = static_cast<size_t>(m_data.get() + m_size - m_cursor);
    if (count > left)
        throw L"File integrity is broken.";
}

std::string k_File::ReadString()
{
    const unsigned char* end = m_data.get() + m_size;
    const void* nul = m_cursor == end ? nullptr : std::memchr(m_cursor, 0, static_cast<size_t>(end - m_cursor));
    if (!nul)
        throw L"File integrity is broken.";
    const unsigned char* stop = static_cast<const unsigned char*>(nul);
    std::string text(reinterpret_cast<const char*>(m_cursor), static_cast<size_t>(stop - m_cursor));
    m_cursor = stop + 1;
    return text;
}

float k_File::ReadFloat()
{
    Require(4);
    float value;
    std::memcpy(&value, m_cursor, 4);  // the file's byte order is the machine's (little-endian)
    m_cursor += 4;
    return value;
}

int32_t k_File::ReadInt()
{
    Require(4);
    const uint32_t bits = uint32_t(m_cursor[0]) | uint32_t(m_cursor[1]) << 8 |
                          uint32_t(m_cursor[2]) << 16 | uint32_t(m_cursor[3]) << 24;
    m_cursor += 4;
    return static_cast<int32_t>(bits);
}

std::unique_ptr<unsigned char[]> k_File::ReadBytes(size_t count)
{
    Require(count);
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[count]);
    if (count)
        std::memcpy(bytes.get(), m_cursor, count);
    m_cursor += count;
    return bytes;
}

void k_File::Rewind() { m_cursor = m_data.get(); }

const unsigned char* k_File::GetPosition() const { return m_cursor; }

void k_File::SetPosition(const unsigned char* position)
{
    // std::less gives a total order even for pointers into other objects.
    const std::less<const unsigned char*> before;
    if (before(position, m_data.get()) || before(m_data.get() + m_size, position))
        throw L"File integrity is broken.";
    m_cursor = position;
}

bool k_File::IsAtEnd() const { return m_cursor == m_data.get() + m_size; }
