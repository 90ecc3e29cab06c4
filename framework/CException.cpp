#include "framework/CException.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CUserException, CSimpleException)

namespace {

const wchar_t kNoErrorMessage[] = L"エラーの詳細はありません。";

BOOL CopyMessage(LPCWSTR text, LPWSTR buffer, UINT size)
{
    if (!buffer || size == 0)
        return FALSE;
    lstrcpynW(buffer, text, static_cast<int>(size));
    return text[0] != L'\0';
}

} // namespace

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CopyMessage(L"", lpszError, nMaxError);
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    wchar_t text[1024];
    if (GetErrorMessage(text, 1024))
        return AfxMessageBox(text, nType);
    if (nMessageID != 0)
        return AfxMessageBox(nMessageID, nType);
    return AfxMessageBox(kNoErrorMessage, nType);
}

BOOL CSimpleException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    return CopyMessage(GetMessageText(), lpszError, nMaxError);
}

LPCWSTR CMemoryException::GetMessageText() const
{
    return L"メモリが不足しています。";
}

LPCWSTR CInvalidArgException::GetMessageText() const
{
    return L"無効な引数が指定されました。";
}

LPCWSTR CNotSupportedException::GetMessageText() const
{
    return L"この操作はサポートされていません。";
}

LPCWSTR CResourceException::GetMessageText() const
{
    return L"Windows のリソースが不足しています。";
}

LPCWSTR CUserException::GetMessageText() const
{
    return L"";
}

void AFXAPI AfxThrowMemoryException()
{
    // Static: throwing must not need the memory that just ran out.
    static CMemoryException s_exception(FALSE);
    throw &s_exception;
}

void AFXAPI AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}

void AFXAPI AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AFXAPI AfxThrowResourceException()
{
    throw new CResourceException;
}

void AFXAPI AfxThrowUserException()
{
    throw new CUserException;
}
