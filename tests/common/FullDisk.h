// While alive, the C runtime's fwrite, as the project's code and the codec libraries linked into the
// test program call it, writes nothing and fails as on a full disk. One at a time.
#pragma once

#include "common/ImportPatch.h"

#include <cerrno>
#include <cstdio>

class FullDisk
{
public:
    FullDisk() : m_fwrite("msvcrt.dll", "fwrite", reinterpret_cast<void*>(&Write)) {}
    explicit operator bool() const { return static_cast<bool>(m_fwrite); }

private:
    static size_t __cdecl Write(const void*, size_t, size_t, FILE*)
    {
        errno = ENOSPC;
        return 0;
    }
    ImportPatch m_fwrite;
};
