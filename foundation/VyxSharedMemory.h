// A named block of page-file-backed memory with its own named mutex, private to the process
// ("<name>_<process id>"); users read and write the view only between Lock and Unlock.
#pragma once

#include "framework/Framework.h"

class VyxSharedMemory
{
public:
    // A null name leaves the object empty.
    VyxSharedMemory(const wchar_t* name = nullptr, DWORD size = 0);
    ~VyxSharedMemory();

    // False, with a null view, when the mapping, its view or the mutex cannot be made.
    bool Create(const wchar_t* name, DWORD size);
    void* GetView() const { return m_view; }
    DWORD GetSize() const { return m_size; }
    // Waits without time limit; false on an empty object.
    bool Lock();
    void Unlock();

private:
    VyxSharedMemory(const VyxSharedMemory&) = delete;
    VyxSharedMemory& operator=(const VyxSharedMemory&) = delete;
    void Release();

    DWORD m_size = 0;
    HANDLE m_mapping = nullptr;
    void* m_view = nullptr;
    CMutex* m_mutex = nullptr;
};
