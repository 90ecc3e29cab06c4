// A copy of some data placed so that it ends exactly where a no-access page begins: reading one
// element past the end faults at once instead of reading neighbouring memory.
#pragma once

#include <windows.h>

#include <cstring>

template <class T> class PageEdge
{
public:
    PageEdge(const T* data, size_t count)
    {
        SIZE_T bytes = count * sizeof(T);
        SIZE_T pages = (bytes + 4095) / 4096 + 1;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, pages * 4096, MEM_RESERVE, PAGE_NOACCESS));
        if (!m_base)
            return;
        VirtualAlloc(m_base, (pages - 1) * 4096, MEM_COMMIT, PAGE_READWRITE);
        m_data = reinterpret_cast<T*>(m_base + (pages - 1) * 4096 - bytes);
        std::memcpy(m_data, data, bytes);
    }
    ~PageEdge()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    PageEdge(const PageEdge&) = delete;
    PageEdge& operator=(const PageEdge&) = delete;

    T* get() const { return m_data; }

private:
    BYTE* m_base = nullptr;
    T* m_data = nullptr;
};
