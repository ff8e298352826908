// A file held whole in memory: the buffer from the file system plus a bounds-checked cursor.
#pragma once

#include "core/IFile.h"

class IEngine;

class k_File : public IFile {
public:
    // Takes ownership of size bytes at data; the cursor starts at data.
    k_File(IEngine* engine, std::unique_ptr<unsigned char[]> data, uint32_t size);
    ~k_File() override;

    const unsigned char* GetData() const override;
    uint32_t GetSize() const override;
    void SaveToFile(const std::wstring& path) override;
    std::string ReadString() override;
    float ReadFloat() override;
    int32_t ReadInt() override;
    std::unique_ptr<unsigned char[]> ReadBytes(size_t count) override;
    void Rewind() override;
    const unsigned char* GetPosition() const override;
    void SetPosition(const unsigned char* position) override;
    bool IsAtEnd() const override;

private:
    // Throws unless count more bytes lie between the cursor and the end.
    void Require(size_t count) const;

    std::unique_ptr<unsigned char[]> m_data;
    const unsigned char* m_cursor;
    uint32_t m_size;
};
