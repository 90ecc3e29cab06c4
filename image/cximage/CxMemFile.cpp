#include "image/cximage/CxMemFile.h"

#include <cstring>

size_t CxMemFile::Read(void* buffer, size_t size, size_t count)
{
    if (!buffer || size == 0 || m_position >= m_size)
        return 0;
    size_t available = (m_size - m_position) / size;
    size_t items = count < available ? count : available;
    std::memcpy(buffer, m_buffer + m_position, items * size);
    m_position += static_cast<DWORD>(items * size);
    return items;
}

bool CxMemFile::Seek(long offset, int origin)
{
    long long base = origin == SEEK_CUR ? m_position : origin == SEEK_END ? m_size : 0;
    long long target = base + offset;
    if (target < 0 || target > m_size)
        return false;
    m_position = static_cast<DWORD>(target);
    return true;
}
