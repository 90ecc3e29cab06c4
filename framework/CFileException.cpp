#include "framework/CFileException.h"

IMPLEMENT_DYNAMIC(CFileException, CException)

namespace {

struct ErrorCause
{
    LONG error;
    int cause;
};

const ErrorCause kCauses[] = {
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::invalidFile},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_WRITE_FAULT, CFileException::hardIO},
    {ERROR_READ_FAULT, CFileException::hardIO},
    {ERROR_GEN_FAILURE, CFileException::hardIO},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_SHARING_BUFFER_EXCEEDED, CFileException::lockViolation},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_BAD_NETPATH, CFileException::badPath},
    {ERROR_BAD_NET_NAME, CFileException::badPath},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_FILE_EXISTS, CFileException::accessDenied},
    {ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    {ERROR_CANNOT_MAKE, CFileException::directoryFull},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_DIR_NOT_EMPTY, CFileException::accessDenied},
};

// One text per cause; %1 is the file's name.
const wchar_t* const kMessages[] = {
    L"エラーは発生していません。",
    L"%1 へのアクセス中に予期しないエラーが発生しました。",
    L"%1 が見つかりません。",
    L"%1 のパスが正しくありません。",
    L"開いているファイルが多すぎるため、%1 を開けません。",
    L"%1 へのアクセスが拒否されました。",
    L"%1 のファイル ハンドルが正しくありません。",
    L"%1 は現在のフォルダーのため削除できません。",
    L"フォルダーがいっぱいのため、%1 を作成できません。",
    L"%1 の読み書き位置を設定できません。",
    L"%1 へのアクセス中にハードウェアの入出力エラーが発生しました。",
    L"%1 は別のプロセスが使用中のため、アクセスできません。",
    L"%1 はロックされているため、アクセスできません。",
    L"ディスクがいっぱいのため、%1 に書き込めません。",
    L"%1 の終わりを越えて読み込もうとしました。",
};

} // namespace

CFileException::CFileException(int cause, LONG lOsError, LPCWSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

int PASCAL CFileException::OsErrorToException(LONG lOsError)
{
    for (const ErrorCause& entry : kCauses)
        if (entry.error == lOsError)
            return entry.cause;
    return lOsError == 0 ? none : genericException;
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCWSTR lpszFileName)
{
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    int cause = m_cause >= none && m_cause <= endOfFile ? m_cause : genericException;
    CString text = kMessages[cause];
    text.Replace(L"%1", m_strFileName.IsEmpty() ? L"ファイル" : m_strFileName.GetString());
    lstrcpynW(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCWSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}
