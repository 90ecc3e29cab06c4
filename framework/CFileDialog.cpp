#include "framework/CFileDialog.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName, DWORD dwFlags,
                         LPCWSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize, BOOL)
    : CCommonDialog(pParentWnd), m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_szFileTitle(), m_szFileName()
{
    m_ofn.lStructSize = dwSize ? dwSize : sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = 64;
    m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpfnHook = &AfxCommDlgProc;
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName)
        lstrcpynW(m_szFileName, lpszFileName, MAX_PATH);
    if (lpszFilter) {
        m_strFilter = lpszFilter;
        for (wchar_t& ch : m_strFilter) {
            if (ch == L'|')
                ch = L'\0';
        }
        // The list ends with an empty string whether or not the text had its closing bars.
        m_strFilter.append(2, L'\0');
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.Flags |= OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.lpfnHook = &AfxCommDlgProc;
    m_ofn.hwndOwner = PreModal();
    // Multiple names come back NUL-separated after the folder: no stale tail may follow them.
    if (m_ofn.lpstrFile && m_ofn.nMaxFile > 1 && (m_ofn.Flags & OFN_ALLOWMULTISELECT)) {
        size_t used = wcslen(m_ofn.lpstrFile);
        if (used + 1 < m_ofn.nMaxFile)
            m_ofn.lpstrFile[used + 1] = L'\0';
    }
    HookCommonDialog();
    BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    UnhookCommonDialog();
    PostModal();
    return chosen ? IDOK : IDCANCEL;
}

// ---------------------------------------------------------------- notifications

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    LRESULT result = 0;
    switch (header->code) {
    case CDN_INITDONE:
        OnInitDone();
        break;
    case CDN_FILEOK:
        result = OnFileNameOK() ? 1 : 0;
        break;
    case CDN_SELCHANGE:
        OnFileNameChange();
        break;
    case CDN_FOLDERCHANGE:
        OnFolderChange();
        break;
    case CDN_TYPECHANGE:
        OnTypeChange();
        break;
    default:
        return CCommonDialog::OnNotify(wParam, lParam, pResult);
    }
    // The system's dialog reads the answer from the result slot of the hooked dialog.
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    *pResult = result;
    return TRUE;
}

BOOL CFileDialog::OnFileNameOK()
{
    return FALSE;
}

void CFileDialog::OnInitDone() {}

void CFileDialog::OnFileNameChange() {}

void CFileDialog::OnFolderChange() {}

void CFileDialog::OnTypeChange() {}

// ---------------------------------------------------------------- the chosen files

CString CFileDialog::SendToDialog(UINT message) const
{
    // The Explorer dialog is the parent of the hooked one.
    HWND dialog = ::GetParent(m_hWnd);
    CString text;
    LRESULT length = ::SendMessageW(dialog, message, 0, 0);
    if (length <= 0)
        return text;
    LPWSTR buffer = text.GetBuffer(static_cast<int>(length) + 1);
    ::SendMessageW(dialog, message, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
    return text;
}

CString CFileDialog::GetPathName() const
{
    if (m_hWnd)
        return SendToDialog(CDM_GETFILEPATH);
    if (!m_ofn.lpstrFile)
        return CString();
    // A multiple choice of one file is its whole path; of several, the first.
    POSITION pos = GetStartPosition();
    return pos ? GetNextPathName(pos) : CString();
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int slash = path.ReverseFind(L'\\');
    return slash >= 0 ? path.Mid(slash + 1) : path;
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot >= 0 ? name.Left(dot) : name;
}

BOOL CFileDialog::GetReadOnlyPref() const
{
    return (m_ofn.Flags & OFN_READONLY) != 0;
}

CString CFileDialog::GetFolderPath() const
{
    return m_hWnd ? SendToDialog(CDM_GETFOLDERPATH) : CString();
}

POSITION CFileDialog::GetStartPosition() const
{
    if (!m_ofn.lpstrFile || !m_ofn.lpstrFile[0])
        return nullptr;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPCWSTR item = reinterpret_cast<LPCWSTR>(pos);
    if (!item)
        return CString();
    LPCWSTR buffer = m_ofn.lpstrFile;
    if (item == buffer) {
        // "folder\0name\0name\0\0" for several files, "path\0\0" for one.
        LPCWSTR next = buffer + wcslen(buffer) + 1;
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || *next == L'\0') {
            pos = nullptr;
            return CString(buffer);
        }
        item = next;
    }
    LPCWSTR after = item + wcslen(item) + 1;
    pos = *after ? reinterpret_cast<POSITION>(const_cast<LPWSTR>(after)) : nullptr;
    CString path(buffer);
    if (path.IsEmpty() || path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    return path + item;
}

// ---------------------------------------------------------------- while open

void CFileDialog::SetControlText(int nID, LPCWSTR lpsz)
{
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), CDM_SETCONTROLTEXT, static_cast<WPARAM>(nID),
                       reinterpret_cast<LPARAM>(lpsz));
}

void CFileDialog::HideControl(int nID)
{
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), CDM_HIDECONTROL, static_cast<WPARAM>(nID), 0);
}

void CFileDialog::SetDefExt(LPCWSTR lpsz)
{
    m_strDefExt = lpsz;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : static_cast<LPCWSTR>(m_strDefExt);
    if (m_hWnd)
        ::SendMessageW(::GetParent(m_hWnd), CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(lpsz));
}
