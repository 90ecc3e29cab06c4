// The file a copy writes. Where no file is at the target it is written there; otherwise under a
// temporary name in the target's folder, put in place only once every byte is written, the size
// checked, the source's times and attributes given and the handle closed cleanly. Either way a
// failed or stopped copy leaves no partial file, and a file already at the target stays whole
// until the complete copy replaces it.
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

    // 0, or the system's error code; kOntoSource when the file at the target is the open source
    // itself under another name. Without replace, a file at the target is left alone and the
    // answer is ERROR_FILE_EXISTS.
    DWORD Create(const wchar_t* target, HANDLE source = INVALID_HANDLE_VALUE, bool replace = true);
    static const DWORD kOntoSource = ERROR_ALREADY_EXISTS;
    DWORD Write(const void* data, DWORD size);
    // Gives the file the times and attributes of the open source (none when they cannot be read),
    // checks its size, closes it and puts it in place of the target, never over a read-only file.
    // 0, or the system's error code (the file then gone).
    DWORD Finish(HANDLE source);
    void Abandon();
    ULONGLONG GetWritten() const { return m_written; }

    // A read-only file, which no copy or move replaces.
    static bool IsReadOnlyFile(const wchar_t* path);
    // Every copy writes through this; tests put one in that fails. Null puts WriteFile back.
    static void SetWriteFunction(WriteFunction write);

private:
    DWORD Close();
    DWORD PutInPlace();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    CString m_target;
    // The file being written: the target itself, or a temporary name beside it.
    CString m_temporary;
    ULONGLONG m_written = 0;
};
