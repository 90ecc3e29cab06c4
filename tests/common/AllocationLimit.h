// While alive, the C runtime's malloc and realloc, as the project's code calls them, refuse
// requests above a limit (as they would once the address space runs out) and record the largest
// request seen. One at a time.
#pragma once

#include "common/ImportPatch.h"

#include <cstdlib>

class AllocationLimit
{
public:
    explicit AllocationLimit(size_t limit)
        : m_malloc("msvcrt.dll", "malloc", reinterpret_cast<void*>(&Malloc)),
          m_realloc("msvcrt.dll", "realloc", reinterpret_cast<void*>(&Realloc))
    {
        s_limit = limit;
        s_largest = 0;
        s_originalMalloc = reinterpret_cast<decltype(s_originalMalloc)>(m_malloc.Original());
        s_originalRealloc = reinterpret_cast<decltype(s_originalRealloc)>(m_realloc.Original());
    }

    explicit operator bool() const { return m_malloc && m_realloc; }
    static size_t Largest() { return s_largest; }

private:
    static void* __cdecl Malloc(size_t bytes)
    {
        s_largest = bytes > s_largest ? bytes : s_largest;
        return bytes > s_limit ? nullptr : s_originalMalloc(bytes);
    }
    static void* __cdecl Realloc(void* block, size_t bytes)
    {
        s_largest = bytes > s_largest ? bytes : s_largest;
        return bytes > s_limit ? nullptr : s_originalRealloc(block, bytes);
    }

    static inline size_t s_limit = 0;
    static inline size_t s_largest = 0;
    static inline void*(__cdecl* s_originalMalloc)(size_t) = nullptr;
    static inline void*(__cdecl* s_originalRealloc)(void*, size_t) = nullptr;
    ImportPatch m_malloc;
    ImportPatch m_realloc;
};
