#include "framework/CRecentFileList.h"
#include "framework/CCmdUI.h"
#include "framework/CException.h"
#include "framework/CMenu.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

namespace {

CString FullPath(LPCWSTR path)
{
    wchar_t full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    return (n > 0 && n < MAX_PATH * 2) ? CString(full) : CString(path);
}

// A path shortened to at most maxLength characters: the root, "...", then as many trailing
// components as fit; the file name alone (or cut) when not even that fits.
CString AbbreviatePath(const CString& path, int maxLength, BOOL bAtLeastName)
{
    if (path.GetLength() <= maxLength)
        return path;
    int nameStart = path.ReverseFind(L'\\') + 1;
    CString name = path.Mid(nameStart);
    // The root: "C:\" or "\\server\share\".
    int rootEnd = 0;
    if (path.GetLength() > 2 && path[1] == L':')
        rootEnd = 3;
    else if (path.Left(2) == L"\\\\") {
        int server = path.Find(L'\\', 2);
        int share = server >= 0 ? path.Find(L'\\', server + 1) : -1;
        rootEnd = share >= 0 ? share + 1 : 0;
    }
    CString root = path.Left(rootEnd);
    if (root.GetLength() + 4 + name.GetLength() > maxLength)
        return bAtLeastName ? name : CString();
    // Add components from the end while they fit.
    int start = nameStart - 1;
    while (start > rootEnd) {
        int previous = path.Left(start).ReverseFind(L'\\');
        if (previous < rootEnd - 1)
            break;
        CString candidate = root + L"...\\" + path.Mid(previous + 1);
        if (candidate.GetLength() > maxLength)
            break;
        start = previous;
    }
    return root + L"...\\" + path.Mid(start + 1);
}

} // namespace

CRecentFileList::CRecentFileList(UINT nStart, LPCWSTR lpszSection, LPCWSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_nSize(nSize > 0 ? nSize : 1), m_arrNames(new CString[nSize > 0 ? nSize : 1]), m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat), m_nStart(nStart), m_nMaxDisplayLength(nMaxDispLen)
{
}

CRecentFileList::~CRecentFileList()
{
    delete[] m_arrNames;
}

CString& CRecentFileList::operator[](int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    return m_arrNames[nIndex];
}

void CRecentFileList::Add(LPCWSTR lpszPathName)
{
    if (!lpszPathName || !*lpszPathName)
        return;
    CString path = FullPath(lpszPathName);
    // Where it is listed already (or the last place), everything above moves down one.
    int at = m_nSize - 1;
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].CompareNoCase(path) == 0) {
            at = i;
            break;
        }
    }
    for (int i = at; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = path;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    for (int i = nIndex; i < m_nSize - 1; ++i)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCWSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty())
        return FALSE;
    const CString& path = m_arrNames[nIndex];
    // A file of the current folder is shown by its name.
    if (lpszCurDir && nCurDir > 0 && path.GetLength() > nCurDir &&
        path.Left(nCurDir).CompareNoCase(CString(lpszCurDir).Left(nCurDir)) == 0 && path.Mid(nCurDir).Find(L'\\') < 0) {
        strName = path.Mid(nCurDir);
        return TRUE;
    }
    strName = m_nMaxDisplayLength > 0 ? AbbreviatePath(path, m_nMaxDisplayLength, bAtLeastName) : path;
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    if (m_strOriginal.IsEmpty() && pCmdUI->m_pMenu)
        pCmdUI->m_pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
    if (m_arrNames[0].IsEmpty()) {
        // Nothing recent: the placeholder item, disabled.
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }
    if (!pCmdUI->m_pMenu)
        return;
    for (int i = 0; i < m_nSize; ++i)
        pCmdUI->m_pMenu->DeleteMenu(pCmdUI->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);
    wchar_t currentDir[MAX_PATH + 2] = {};
    int nCurDir = static_cast<int>(::GetCurrentDirectoryW(MAX_PATH, currentDir));
    if (nCurDir > 0 && currentDir[nCurDir - 1] != L'\\')
        currentDir[nCurDir++] = L'\\';
    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, currentDir, nCurDir))
            break;
        name.Replace(L"&", L"&&"); // an ampersand of the path is not a mnemonic
        int number = static_cast<int>((static_cast<UINT>(i) + m_nStart) % 16) + 1;
        CString text;
        if (number < 10)
            text.Format(L"&%d %s", number, name.GetString());
        else if (number == 10)
            text.Format(L"1&0 %s", name.GetString());
        else
            text.Format(L"%d %s", number, name.GetString());
        pCmdUI->m_pMenu->InsertMenu(pCmdUI->m_nIndex++, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID++, text);
    }
    // The update loop goes on after the items just added.
    pCmdUI->m_nIndex--;
    pCmdUI->m_nIndexMax = pCmdUI->m_pMenu->GetMenuItemCount();
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = app->GetProfileString(m_strSectionName, entry, L"");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    // The section is written afresh, so entries of a longer list do not linger.
    app->WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (int i = 0; i < m_nSize && !m_arrNames[i].IsEmpty(); ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        app->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}
