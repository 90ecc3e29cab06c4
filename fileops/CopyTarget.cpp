#include "fileops/CopyTarget.h"

#include "foundation/VyxFileStatus.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"

namespace {

CopyTarget::WriteFunction& WriteHook()
{
    static CopyTarget::WriteFunction hook;
    return hook;
}

// Another copy may take the free name between the look and the create.
const int kTemporaryNameTries = 16;

// A status that cannot be read or applied leaves the copy with its own times; the copy stands.
void ApplyStatus(const wchar_t* source, const wchar_t* path)
{
    VyxFileStatus status;
    if (!status.GetStatus(source))
        return;
    try {
        status.SetStatus(path);
    } catch (CException* e) {
        e->Delete();
    }
}

} // namespace

bool CopyTarget::IsReadOnlyFile(const wchar_t* path)
{
    // Windows refuses to replace such a file; Wine would replace it, so it is asked first.
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyTarget::SetWriteFunction(WriteFunction write)
{
    WriteHook() = std::move(write);
}

CopyTarget::~CopyTarget()
{
    Abandon();
}

DWORD CopyTarget::Create(const wchar_t* target)
{
    Abandon();
    m_target = target ? target : L"";
    m_written = 0;
    CString folder;
    GetPathPart(folder, m_target, 3);
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        MakeTempName(m_temporary, folder);
        m_file = CreateFileW(m_temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file != INVALID_HANDLE_VALUE)
            return 0;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            m_temporary.Empty();
            return error ? error : ERROR_CANNOT_MAKE;
        }
    }
    m_temporary.Empty();
    return ERROR_CANNOT_MAKE;
}

DWORD CopyTarget::Write(const void* data, DWORD size)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    DWORD written = 0;
    const WriteFunction& hook = WriteHook();
    BOOL ok = hook ? hook(m_file, data, size, &written) : ::WriteFile(m_file, data, size, &written, nullptr);
    if (!ok) {
        DWORD error = GetLastError();
        return error ? error : ERROR_WRITE_FAULT;
    }
    m_written += written;
    // A write that took fewer bytes than it was given ran out of room.
    return written == size ? 0 : ERROR_DISK_FULL;
}

DWORD CopyTarget::Close()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return 0;
    BOOL closed = CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    // A volume that defers its writes reports their failure only here.
    return closed ? 0 : GetLastError();
}

DWORD CopyTarget::Finish(const wchar_t* source)
{
    if (m_temporary.IsEmpty())
        return ERROR_INVALID_HANDLE;
    DWORD error = Close();
    if (!error) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(m_temporary, GetFileExInfoStandard, &data))
            error = GetLastError();
        else if ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) != m_written)
            error = ERROR_WRITE_FAULT;
    }
    if (!error && source)
        ApplyStatus(source, m_temporary);
    if (!error && IsReadOnlyFile(m_target))
        error = ERROR_ACCESS_DENIED;
    if (!error && !MoveFileExW(m_temporary, m_target, MOVEFILE_REPLACE_EXISTING))
        error = GetLastError();
    if (error) {
        Abandon();
        return error;
    }
    m_temporary.Empty();
    return 0;
}

void CopyTarget::Abandon()
{
    Close();
    if (!m_temporary.IsEmpty())
        DeleteFileForced(m_temporary);
    m_temporary.Empty();
}
