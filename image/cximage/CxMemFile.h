// A read-only file over a block of memory, the input of the Exif reader.
#pragma once

#include <windows.h>

#include <cstdio>

class CxMemFile
{
public:
    CxMemFile(BYTE* buffer = nullptr, DWORD size = 0) : m_buffer(buffer), m_size(buffer ? size : 0) {}

    size_t Read(void* buffer, size_t size, size_t count);
    bool Seek(long offset, int origin);
    long Tell() const { return static_cast<long>(m_position); }
    long Size() const { return static_cast<long>(m_size); }
    bool Eof() const { return m_position >= m_size; }
    BYTE* GetBuffer() const { return m_buffer; }

private:
    BYTE* m_buffer;
    DWORD m_size;
    DWORD m_position = 0;
};
