// The file a copy writes. It is made under a temporary name in the target's folder and put in
// place only once every byte is written, the handle closed cleanly, the size checked and the
// source's status applied, so a failed or stopped copy leaves no partial file and a file already
// at the target stays whole until the complete copy replaces it.
#pragma once

#include "framework/Framework.h"

#include <functional>

class CopyTarget
{
public:
    // Writes a block; FALSE with the thread's last error set on failure.
    using WriteFunction = std::function<BOOL(HANDLE file, const void* data, DWORD size, DWORD* written)>;

    CopyTarget() = default;
    // An unfinished file is deleted.
    ~CopyTarget();
    CopyTarget(const CopyTarget&) = delete;
    CopyTarget& operator=(const CopyTarget&) = delete;

    // 0, or the system's error code.
    DWORD Create(const wchar_t* target);
    DWORD Write(const void* data, DWORD size);
    // Closes the file, checks its size, gives it the source's attributes and times (null: none)
    // and puts it in place of the target. 0, or the system's error code (the file then gone).
    DWORD Finish(const wchar_t* source);
    void Abandon();
    ULONGLONG GetWritten() const { return m_written; }
    const CString& GetTemporaryPath() const { return m_temporary; }

    // A read-only file, which no copy or move replaces.
    static bool IsReadOnlyFile(const wchar_t* path);
    // Every copy writes through this; tests put one in that fails. Null puts WriteFile back.
    static void SetWriteFunction(WriteFunction write);

private:
    DWORD Close();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    CString m_target;
    CString m_temporary;
    ULONGLONG m_written = 0;
};
