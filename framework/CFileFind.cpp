#include "framework/CFileFind.h"

IMPLEMENT_DYNAMIC(CFileFind, CObject)

CFileFind::CFileFind() : m_pFoundInfo(nullptr), m_pNextInfo(nullptr), m_hContext(nullptr), m_chDirSeparator(L'\\') {}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    delete m_pFoundInfo;
    delete m_pNextInfo;
    m_pFoundInfo = m_pNextInfo = nullptr;
    if (m_hContext) {
        CloseContext();
        m_hContext = nullptr;
    }
    m_strRoot.Empty();
}

void CFileFind::CloseContext()
{
    if (m_hContext && m_hContext != INVALID_HANDLE_VALUE)
        FindClose(m_hContext);
}

BOOL CFileFind::FindFile(LPCWSTR pstrName, DWORD dwUnused)
{
    (void)dwUnused;
    Close();
    if (!pstrName || !*pstrName)
        pstrName = L"*.*";
    m_pNextInfo = new WIN32_FIND_DATAW;
    HANDLE find = FindFirstFileW(pstrName, m_pNextInfo);
    if (find == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return FALSE;
    }
    m_hContext = find;

    // The root is the folder part of the full search path, separator included.
    DWORD needed = GetFullPathNameW(pstrName, 0, nullptr, nullptr);
    LPWSTR filePart = nullptr;
    DWORD n = needed ? GetFullPathNameW(pstrName, needed, m_strRoot.GetBuffer(static_cast<int>(needed)), &filePart) : 0;
    int rootLength = n > 0 && n < needed ? static_cast<int>(n) : 0;
    if (filePart && rootLength > 0)
        rootLength = static_cast<int>(filePart - m_strRoot.GetString());
    m_strRoot.ReleaseBuffer(rootLength);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hContext || !m_pNextInfo)
        return FALSE;
    if (!m_pFoundInfo)
        m_pFoundInfo = new WIN32_FIND_DATAW;
    std::swap(m_pFoundInfo, m_pNextInfo);
    return ::FindNextFileW(m_hContext, m_pNextInfo);
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_pFoundInfo)
        return 0;
    return (static_cast<ULONGLONG>(m_pFoundInfo->nFileSizeHigh) << 32) | m_pFoundInfo->nFileSizeLow;
}

CString CFileFind::GetFileName() const
{
    return m_pFoundInfo ? CString(m_pFoundInfo->cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    CString path = GetRoot();
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\' && path[path.GetLength() - 1] != L'/')
        path += m_chDirSeparator;
    return path + GetFileName();
}

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFileFind::GetFileURL() const
{
    return L"file://" + GetFilePath();
}

CString CFileFind::GetRoot() const
{
    return m_strRoot;
}

BOOL CFileFind::GetFoundTime(FILETIME WIN32_FIND_DATAW::*field, FILETIME* pTimeStamp) const
{
    if (!m_pFoundInfo || !pTimeStamp)
        return FALSE;
    *pTimeStamp = m_pFoundInfo->*field;
    return TRUE;
}

BOOL CFileFind::GetFoundTime(FILETIME WIN32_FIND_DATAW::*field, CTime& refTime) const
{
    FILETIME ft;
    if (!GetFoundTime(field, &ft))
        return FALSE;
    refTime = CTime(ft);
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    return GetFoundTime(&WIN32_FIND_DATAW::ftLastWriteTime, pTimeStamp);
}

BOOL CFileFind::GetLastAccessTime(FILETIME* pTimeStamp) const
{
    return GetFoundTime(&WIN32_FIND_DATAW::ftLastAccessTime, pTimeStamp);
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const
{
    return GetFoundTime(&WIN32_FIND_DATAW::ftCreationTime, pTimeStamp);
}

BOOL CFileFind::GetLastWriteTime(CTime& refTime) const
{
    return GetFoundTime(&WIN32_FIND_DATAW::ftLastWriteTime, refTime);
}

BOOL CFileFind::GetLastAccessTime(CTime& refTime) const
{
    return GetFoundTime(&WIN32_FIND_DATAW::ftLastAccessTime, refTime);
}

BOOL CFileFind::GetCreationTime(CTime& refTime) const
{
    return GetFoundTime(&WIN32_FIND_DATAW::ftCreationTime, refTime);
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_pFoundInfo && (m_pFoundInfo->dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDots() const
{
    if (!m_pFoundInfo || !IsDirectory())
        return FALSE;
    const wchar_t* name = m_pFoundInfo->cFileName;
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}
