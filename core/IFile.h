// A whole file in memory with a read cursor for little-endian binary values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class IFile {
public:
    // Frees the bytes: pointers from GetData and GetPosition die with the file.
    virtual ~IFile() = default;

    // The first byte of the buffer (GetSize bytes, independent of the cursor).
    virtual const unsigned char* GetData() const = 0;
    virtual uint32_t GetSize() const = 0;

    // Writes the whole buffer to path, whatever the cursor; logs an error if it cannot.
    virtual void SaveToFile(const std::wstring& path) = 0;

    // Every read below checks that its bytes lie inside the buffer first: if not it reads
    // nothing and throws L"File integrity is broken."; otherwise it advances the cursor.

    // Bytes up to the next NUL, which is consumed and not stored; a string must end inside the file.
    virtual std::string ReadString() = 0;
    // 4 bytes, little-endian IEEE single.
    virtual float ReadFloat() = 0;
    // 4 bytes, little-endian two's complement.
    virtual int32_t ReadInt() = 0;
    // A new buffer holding the next count bytes; the caller owns it.
    virtual std::unique_ptr<unsigned char[]> ReadBytes(size_t count) = 0;

    virtual void Rewind() = 0;
    // Positions are pointers into this file's buffer, not offsets.
    virtual const unsigned char* GetPosition() const = 0;
    // Accepts GetData() ... GetData() + GetSize(), both ends included; throws
    // L"File integrity is broken." for anything else.
    virtual void SetPosition(const unsigned char* position) = 0;
    virtual bool IsAtEnd() const = 0;

protected:
    IFile() = default;
    IFile(const IFile&) = delete;
    IFile& operator=(const IFile&) = delete;
};
