#include "fileops/CopyTarget.h"

#include "fileops/FileIdentity.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <string>

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

// Another copy, or a file or folder of the user's, may hold a name: the next one is tried.
const int kTemporaryNameTries = 64;
const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const wchar_t kTemporaryPattern[] = L"$*.tmp";
// "$", the process id and a serial of eight hexadecimal digits each, ".tmp".
const int kTemporaryNameLength = 21;

// The id of the process that made a temporary folder of that name; false for any other name.
bool ParseTemporaryName(const wchar_t* name, DWORD& process)
{
    if (!name || wcslen(name) != kTemporaryNameLength || name[0] != L'$' || _wcsicmp(name + 17, L".tmp") != 0)
        return false;
    process = 0;
    for (int i = 1; i < 17; ++i) {
        if (!iswxdigit(name[i]))
            return false;
        if (i < 9)
            process =
                process << 4 | static_cast<DWORD>(iswdigit(name[i]) ? name[i] - L'0' : (towupper(name[i]) - L'A' + 10));
    }
    return true;
}

// The temporary folders this process holds now: an earlier process of the same id left the others.
std::mutex s_heldLock;
std::set<std::wstring> s_held;

void Hold(const CString& path, bool held)
{
    CString name;
    GetPathPart(name, path, PartFileName);
    name.MakeLower();
    std::lock_guard<std::mutex> lock(s_heldLock);
    if (held)
        s_held.insert(std::wstring(name));
    else
        s_held.erase(std::wstring(name));
}

bool IsHeld(const wchar_t* name)
{
    CString folded(name);
    folded.MakeLower();
    std::lock_guard<std::mutex> lock(s_heldLock);
    return s_held.count(std::wstring(folded)) != 0;
}

CString TemporaryName(const wchar_t* folder)
{
    // Starting from the clock: an earlier process of the same id may have left names behind.
    static LONG serial = static_cast<LONG>(GetTickCount());
    CString name, path;
    name.Format(L"$%08lX%08lX.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                static_cast<unsigned long>(InterlockedIncrement(&serial)));
    return MakePath(path, nullptr, folder, name, nullptr);
}

thread_local CopyTarget::Batch* t_batch = nullptr;

// A temporary folder with whatever a crash left in it. None (one that could not be made) is no
// folder: its "*" would be every file of the current directory.
bool RemoveTemporaryFolder(const CString& path)
{
    if (path.IsEmpty())
        return false;
    if (RemoveDirectoryW(path))
        return true;
    CString inside;
    DeleteFiles(MakePath(inside, nullptr, path, L"*", nullptr));
    return RemoveDirectoryW(path) != FALSE;
}

bool IsRunning(DWORD process)
{
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (!handle)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return running;
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

CString CopyTarget::MakeTemporaryFolder(const wchar_t* folder)
{
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        CString path = TemporaryName(folder);
        if (CreateDirectoryW(path, nullptr)) {
            Hold(path, true);
            return path;
        }
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return CString();
    }
    SetLastError(ERROR_CANNOT_MAKE);
    return CString();
}

void CopyTarget::ReleaseTemporaryFolder(const wchar_t* path)
{
    RemoveDirectoryW(path);
    Hold(path, false);
}

int CopyTarget::RemoveLeftovers(const wchar_t* folder)
{
    CString pattern;
    MakePath(pattern, nullptr, folder, kTemporaryPattern, nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int removed = 0;
    do {
        DWORD process = 0;
        // Another process still running may be writing into its own.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ParseTemporaryName(data.cFileName, process) ||
            (process == GetCurrentProcessId() ? IsHeld(data.cFileName) : IsRunning(process)))
            continue;
        CString path;
        if (RemoveTemporaryFolder(MakePath(path, nullptr, folder, data.cFileName, nullptr)))
            ++removed;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return removed;
}

CopyTarget::Batch::Batch() : m_outer(t_batch)
{
    t_batch = this;
}

CopyTarget::Batch::~Batch()
{
    for (const auto& entry : m_folders) {
        RemoveTemporaryFolder(entry.second);
        Hold(entry.second, false);
    }
    t_batch = m_outer;
}

CopyTarget::~CopyTarget()
{
    Abandon();
}

CString CopyTarget::TemporaryFolderFor(const CString& folder)
{
    m_ownsFolder = t_batch == nullptr;
    if (m_ownsFolder)
        return MakeTemporaryFolder(folder);
    CString key(folder);
    key.MakeLower();
    CString& shared = t_batch->m_folders[std::wstring(key)];
    // Made again should something have taken it away since.
    if (shared.IsEmpty() || GetFileAttributesW(shared) == INVALID_FILE_ATTRIBUTES) {
        if (!shared.IsEmpty())
            Hold(shared, false);
        shared = MakeTemporaryFolder(folder);
    }
    return shared;
}

void CopyTarget::ReleaseOwnFolder()
{
    if (m_ownsFolder && !m_folder.IsEmpty())
        ReleaseTemporaryFolder(m_folder);
    m_folder.Empty();
    m_ownsFolder = false;
}

DWORD CopyTarget::Create(const wchar_t* target, bool replace)
{
    Abandon();
    m_target = target ? target : L"";
    m_written = 0;
    m_replace = replace;
    CString folder;
    GetPathPart(folder, m_target, PartFolder);
    // A bare "X:" would name the drive's current directory.
    if (folder.GetLength() == 2 && folder[1] == L':')
        folder += L'\\';
    m_folder = TemporaryFolderFor(folder);
    if (m_folder.IsEmpty()) {
        DWORD error = GetLastError();
        return error ? error : ERROR_CANNOT_MAKE;
    }
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        m_temporary = TemporaryName(m_folder);
        m_file = CreateFileW(m_temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file != INVALID_HANDLE_VALUE)
            return 0;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            m_temporary.Empty();
            ReleaseOwnFolder();
            return error ? error : ERROR_CANNOT_MAKE;
        }
    }
    m_temporary.Empty();
    ReleaseOwnFolder();
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
        error = PutInPlace(source);
    if (error) {
        Abandon();
        return error;
    }
    m_temporary.Empty();
    ReleaseOwnFolder();
    return 0;
}

DWORD CopyTarget::PutInPlace(HANDLE source)
{
    // The usual case, no file at the target, in one step; a file there is replaced unless it is
    // read-only or the source itself, or the copy was not to replace anything.
    if (MoveFileExW(m_temporary, m_target, 0))
        return 0;
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        return error;
    if (!m_replace)
        return ERROR_FILE_EXISTS;
    FileIdentity there, copied;
    if (there.Read(m_target) && copied.Read(source) && there == copied)
        return kOntoSource;
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
    ReleaseOwnFolder();
}
