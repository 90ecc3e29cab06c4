#include "fileops/CopyTarget.h"

#include "fileops/FileIdentity.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"

#include <algorithm>

namespace {

CopyTarget::WriteFunction& WriteHook()
{
    static CopyTarget::WriteFunction hook;
    return hook;
}

// What one write call is given at most. A larger write has the host's kernel (under Wine) look
// for room for the file's cache in pieces as large as the write: on a machine whose memory is
// broken up, a 1 MB write then takes three times as long as sixteen of 64 KB.
const DWORD kWritePiece = 64 * 1024;

// Another copy (or a file of the user's) may hold a name: the next one is tried.
const int kTemporaryNameTries = 64;
const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A name no file of the folder is likely to have; the create makes sure.
CString TemporaryName(const CString& folder)
{
    static LONG serial = 0;
    CString name, path;
    name.Format(L"$%08lX", static_cast<unsigned long>(GetTickCount() ^ (GetCurrentProcessId() << 20)) +
                               static_cast<unsigned long>(InterlockedIncrement(&serial)));
    return MakePath(path, nullptr, folder, name, nullptr);
}

} // namespace

bool CopyTarget::IsReadOnlyFile(const wchar_t* path)
{
    // Windows refuses to replace such a file; Wine would replace it, so it is asked first.
    DWORD attributes = GetFileAttributesW(ExactPath(path));
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

DWORD CopyTarget::Create(const wchar_t* target, HANDLE source, bool replace)
{
    Abandon();
    m_target = target ? target : L"";
    m_written = 0;
    // No file at the target: the copy is written there at once, and deleted should it fail.
    m_file = CreateFileW(m_target, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file != INVALID_HANDLE_VALUE) {
        m_temporary = m_target;
        return 0;
    }
    DWORD refused = GetLastError();
    if (refused != ERROR_FILE_EXISTS && refused != ERROR_ALREADY_EXISTS)
        return refused ? refused : ERROR_CANNOT_MAKE;
    if (!replace)
        return ERROR_FILE_EXISTS;
    FileIdentity there, copied;
    if (source != INVALID_HANDLE_VALUE && there.Read(m_target) && copied.Read(source) && there == copied)
        return kOntoSource;
    CString folder;
    GetPathPart(folder, m_target, PartFolder);
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        m_temporary = TemporaryName(folder);
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
    const WriteFunction& hook = WriteHook();
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (DWORD done = 0, piece = 0; done < size; done += piece) {
        piece = std::min(kWritePiece, size - done);
        DWORD written = 0;
        BOOL ok = hook ? hook(m_file, bytes + done, piece, &written)
                       : ::WriteFile(m_file, bytes + done, piece, &written, nullptr);
        if (!ok) {
            DWORD error = GetLastError();
            return error ? error : ERROR_WRITE_FAULT;
        }
        m_written += written;
        // A write that took fewer bytes than it was given ran out of room.
        if (written != piece)
            return ERROR_DISK_FULL;
    }
    return 0;
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

DWORD CopyTarget::Finish(HANDLE source)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    // The times go on through the open handle (closing leaves them); a source whose facts cannot
    // be read leaves the copy with its own. Times and attributes come from one query of the open
    // source, not from a second look-up by name.
    BY_HANDLE_FILE_INFORMATION facts;
    const bool known = GetFileInformationByHandle(source, &facts) != FALSE;
    if (known)
        SetFileTime(m_file, &facts.ftCreationTime, &facts.ftLastAccessTime, &facts.ftLastWriteTime);
    LARGE_INTEGER size = {};
    DWORD error = GetFileSizeEx(m_file, &size) && static_cast<ULONGLONG>(size.QuadPart) == m_written
                      ? 0
                      : static_cast<DWORD>(ERROR_WRITE_FAULT);
    DWORD closing = Close();
    error = error ? error : closing;
    if (!error && known && (facts.dwFileAttributes & kKeptAttributes))
        SetFileAttributesW(m_temporary, facts.dwFileAttributes & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE));
    if (!error)
        error = PutInPlace();
    if (error) {
        Abandon();
        return error;
    }
    m_temporary.Empty();
    return 0;
}

DWORD CopyTarget::PutInPlace()
{
    if (m_temporary == m_target)
        return 0;
    // The usual case, no file at the target, in one step; a file there is replaced unless read-only.
    if (MoveFileExW(m_temporary, m_target, 0))
        return 0;
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        return error;
    if (IsReadOnlyFile(m_target))
        return ERROR_ACCESS_DENIED;
    return MoveFileExW(m_temporary, m_target, MOVEFILE_REPLACE_EXISTING) ? 0 : GetLastError();
}

void CopyTarget::Abandon()
{
    Close();
    if (!m_temporary.IsEmpty())
        DeleteFileForced(m_temporary);
    m_temporary.Empty();
}
