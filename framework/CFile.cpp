#include "framework/CFile.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

bool FullPath(CString& result, LPCWSTR path)
{
    if (!path || !*path)
        return false;
    DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    DWORD n = GetFullPathNameW(path, needed, result.GetBuffer(static_cast<int>(needed)), nullptr);
    result.ReleaseBuffer(n < needed ? static_cast<int>(n) : 0);
    return n > 0 && n < needed;
}

[[noreturn]] void ThrowLastError(LPCWSTR fileName)
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
}

CTime TimeOrZero(const FILETIME& ft)
{
    return CTime(ft); // the zero file time gives the zero time
}

void FillStatus(CFileStatus& status, DWORD attributes, const FILETIME& created, const FILETIME& accessed,
                const FILETIME& written, ULONGLONG size)
{
    status.m_attribute = static_cast<BYTE>(attributes & ~FILE_ATTRIBUTE_NORMAL);
    status.m_ctime = TimeOrZero(created);
    status.m_atime = TimeOrZero(accessed);
    status.m_mtime = TimeOrZero(written);
    status.m_size = size;
}

} // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCWSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    OpenOrThrow(lpszFileName, nOpenFlags);
}

void CFile::OpenOrThrow(LPCWSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Abort();
}

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != hFileNull)
        Abort();
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();

    auto fail = [&](int cause, LONG error) {
        if (pError) {
            pError->m_cause = cause;
            pError->m_lOsError = error;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    };
    CString fullPath;
    if (!FullPath(fullPath, lpszFileName))
        return fail(CFileException::badPath,
                    lpszFileName && *lpszFileName ? static_cast<LONG>(GetLastError()) : ERROR_INVALID_NAME);

    DWORD access = 0;
    switch (nOpenFlags & 3) {
    case modeRead:
        access = GENERIC_READ;
        break;
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    default:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default: // shareCompat and shareExclusive
        share = 0;
        break;
    }
    DWORD creation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        creation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & osNoBuffer)
        flags |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & osWriteThrough)
        flags |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & osRandomAccess)
        flags |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & osSequentialScan)
        flags |= FILE_FLAG_SEQUENTIAL_SCAN;
    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, (nOpenFlags & modeNoInherit) == 0};

    HANDLE file = CreateFileW(fullPath, access, share, &security, creation, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        auto error = static_cast<LONG>(GetLastError());
        return fail(CFileException::OsErrorToException(error), error);
    }
    m_hFile = file;
    m_bCloseOnDelete = TRUE;
    m_strFileName = fullPath;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    if (!lpBuf)
        AfxThrowInvalidArgException();
    DWORD read = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
        ThrowLastError(m_strFileName);
    return read;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (!lpBuf)
        AfxThrowInvalidArgException();
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError(m_strFileName);
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (nFrom > end)
        AfxThrowInvalidArgException();
    LARGE_INTEGER distance, position;
    distance.QuadPart = lOff;
    if (!SetFilePointerEx(m_hFile, distance, &position, nFrom))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero = {}, position;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError(m_strFileName);
}

void CFile::LockRange(ULONGLONG dwPos, ULONGLONG dwCount)
{
    if (!LockFile(m_hFile, static_cast<DWORD>(dwPos), static_cast<DWORD>(dwPos >> 32), static_cast<DWORD>(dwCount),
                  static_cast<DWORD>(dwCount >> 32)))
        ThrowLastError(m_strFileName);
}

void CFile::UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount)
{
    if (!UnlockFile(m_hFile, static_cast<DWORD>(dwPos), static_cast<DWORD>(dwPos >> 32), static_cast<DWORD>(dwCount),
                    static_cast<DWORD>(dwCount >> 32)))
        ThrowLastError(m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile))
        ThrowLastError(m_strFileName);
}

void CFile::Close()
{
    BOOL ok = TRUE;
    if (m_hFile != hFileNull)
        ok = CloseHandle(m_hFile);
    DWORD error = GetLastError();
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (!ok)
        CFileException::ThrowOsError(static_cast<LONG>(error), name);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CFile* CFile::Duplicate() const
{
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), m_hFile, GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        ThrowLastError(m_strFileName);
    auto* file = new CFile(duplicate);
    file->m_bCloseOnDelete = m_bCloseOnDelete;
    file->m_strFileName = m_strFileName;
    return file;
}

CString CFile::GetFileName() const
{
    int slash = std::max(m_strFileName.ReverseFind(L'\\'), m_strFileName.ReverseFind(L'/'));
    int colon = m_strFileName.ReverseFind(L':');
    return m_strFileName.Mid(std::max(slash, colon) + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

void CFile::SetFilePath(LPCWSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    lstrcpynW(rStatus.m_szFullName, m_strFileName, MAX_PATH);
    BY_HANDLE_FILE_INFORMATION info;
    if (m_hFile == hFileNull || !GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    FillStatus(rStatus, info.dwFileAttributes, info.ftCreationTime, info.ftLastAccessTime, info.ftLastWriteTime,
               (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    return TRUE;
}

BOOL PASCAL CFile::GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    CString fullPath;
    if (!FullPath(fullPath, lpszFileName))
        return FALSE;
    lstrcpynW(rStatus.m_szFullName, fullPath, MAX_PATH);
    // A wildcard would report some other file that happens to match.
    if (wcspbrk(lpszFileName, L"*?"))
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(fullPath, GetFileExInfoStandard, &data))
        return FALSE;
    FillStatus(rStatus, data.dwFileAttributes, data.ftCreationTime, data.ftLastAccessTime, data.ftLastWriteTime,
               (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    return TRUE;
}

void PASCAL CFile::SetStatus(LPCWSTR lpszFileName, const CFileStatus& status)
{
    DWORD current = GetFileAttributesW(lpszFileName);
    if (current == INVALID_FILE_ATTRIBUTES)
        ThrowLastError(lpszFileName);
    DWORD wanted = status.m_attribute;
    bool change = (current & 0xFF & ~FILE_ATTRIBUTE_NORMAL) != wanted;
    bool wasReadOnly = (current & FILE_ATTRIBUTE_READONLY) != 0;
    // A read-only file first loses the attribute so that its times can be written.
    if (change && wasReadOnly && !SetFileAttributesW(lpszFileName, wanted ? wanted : FILE_ATTRIBUTE_NORMAL))
        ThrowLastError(lpszFileName);
    if (status.m_mtime.GetTime() != 0) {
        HANDLE file = CreateFileW(lpszFileName, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            ThrowLastError(lpszFileName);
        FILETIME written = status.m_mtime.GetAsFileTime();
        FILETIME accessed = status.m_atime.GetAsFileTime();
        FILETIME created = status.m_ctime.GetAsFileTime();
        BOOL ok = SetFileTime(file, status.m_ctime.GetTime() ? &created : nullptr,
                              status.m_atime.GetTime() ? &accessed : nullptr, &written);
        DWORD error = GetLastError();
        CloseHandle(file);
        if (!ok)
            CFileException::ThrowOsError(static_cast<LONG>(error), lpszFileName);
    }
    if (change && !wasReadOnly && !SetFileAttributesW(lpszFileName, wanted ? wanted : FILE_ATTRIBUTE_NORMAL))
        ThrowLastError(lpszFileName);
}

void PASCAL CFile::Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName)
{
    if (!MoveFileW(lpszOldName, lpszNewName))
        ThrowLastError(lpszOldName);
}

void PASCAL CFile::Remove(LPCWSTR lpszFileName)
{
    if (!DeleteFileW(lpszFileName))
        ThrowLastError(lpszFileName);
}
