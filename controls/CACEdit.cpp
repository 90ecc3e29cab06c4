#include "controls/CACEdit.h"

#include <io.h>

#include <algorithm>
#include <vector>

BEGIN_MESSAGE_MAP(CACEdit, CWnd)
ON_CONTROL_REFLECT(EN_CHANGE, OnTextChanged)
ON_CONTROL_REFLECT(CBN_EDITCHANGE, OnTextChanged)
ON_CONTROL_REFLECT(CBN_DROPDOWN, OnCloseList)
ON_CONTROL_REFLECT_EX(EN_SETFOCUS, OnGainFocus)
ON_CONTROL_REFLECT_EX(CBN_SETFOCUS, OnGainFocus)
ON_CONTROL_REFLECT_EX(EN_KILLFOCUS, OnLoseFocus)
ON_CONTROL_REFLECT_EX(CBN_KILLFOCUS, OnLoseFocus)
ON_WM_KEYDOWN()
ON_MESSAGE(WMU_AUTOCOMPLETE, OnAutoComplete)
END_MESSAGE_MAP()

CACEdit::CACEdit() = default;

void CACEdit::Init()
{
    wchar_t className[32] = {};
    ::GetClassNameW(m_hWnd, className, 32);
    if (lstrcmpiW(className, L"Edit") == 0)
        m_iType = 1;
    else if (lstrcmpiW(className, L"ComboBox") == 0)
        m_iType = 2;
}

// The list is a window of its own (a top-level one, with its scroll bar): it is made when it is
// first asked to show, not with the control, which is made with the main window.
void CACEdit::MakeList()
{
    if (m_iType == -1 || m_Liste.GetSafeHwnd())
        return;
    LPCWSTR listClass = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_CLASSDC | CS_SAVEBITS, nullptr,
                                            reinterpret_cast<HBRUSH>(5), nullptr);
    CRect control;
    GetWindowRect(&control);
    CRect rect(control.left, control.top + 20, control.left + 200, control.top + 400);
    m_Liste.CreateEx(WS_EX_TOOLWINDOW, listClass, nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | WS_THICKFRAME, rect,
                     GetDesktopWindow(), 1000);
    m_Liste.Init(this);
}

void CACEdit::ShowMatches(LPCWSTR lpszText)
{
    MakeList();
    m_Liste.FilterAndShow(-1, lpszText);
}

void CACEdit::SetMode(DWORD dwMode)
{
    if (m_iType == -1)
        Init();
    m_iMode = dwMode;
    if (dwMode == ModeShowAllOnArrow) {
        m_iMode = ModeShowAllOnArrow | ModeWholeText;
        return;
    }
    if (dwMode & ModePath)
        m_SeparationStr = L"\\";
    if (dwMode & ModeContains)
        m_Liste.m_dwFlags |= ModeContains;
}

void CACEdit::AddWord(LPCWSTR lpszWord)
{
    if (m_iType != -1)
        m_Liste.m_SearchList.Add(lpszWord);
}

void CACEdit::SetWords(LPCWSTR const* ppszWords)
{
    if (m_iType == -1)
        return;
    m_Liste.m_SearchList.RemoveAll();
    m_Liste.m_DisplayList.RemoveAll();
    std::vector<CString> words;
    for (LPCWSTR const* word = ppszWords; word && *word; ++word)
        words.push_back(*word);
    std::sort(words.begin(), words.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    for (const CString& word : words)
        m_Liste.m_SearchList.Add(word);
}

void CACEdit::RemoveAllWords()
{
    if (m_iType == -1)
        return;
    m_Liste.m_SearchList.RemoveAll();
    m_Liste.m_DisplayList.RemoveAll();
}

void CACEdit::SetFolder(LPCWSTR lpszFolder)
{
    if (m_iType != -1 && (m_iMode & ModeFolderNames))
        ReadFolder(lpszFolder);
}

BOOL CACEdit::IsListVisible() const
{
    return m_Liste.GetSafeHwnd() && m_Liste.IsWindowVisible();
}

HWND CACEdit::EditWindow() const
{
    // A combo box's caret and selection live in its child edit.
    if (m_iType == 2)
        return ::GetWindow(m_hWnd, GW_CHILD);
    return m_hWnd;
}

int CACEdit::CaretIndex() const
{
    POINT caret = {};
    ::GetCaretPos(&caret);
    HWND edit = EditWindow();
    if (!edit)
        return 0;
    LRESULT result = ::SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(caret.x, caret.y));
    return LOWORD(result);
}

int CACEdit::WordStart(int nIndex) const
{
    if (m_EditText.IsEmpty())
        return 0;
    nIndex = std::min(nIndex, m_EditText.GetLength() - 1);
    for (int i = nIndex; i >= 0; --i) {
        if (m_SeparationStr.Find(m_EditText[i]) >= 0)
            return i + 1;
    }
    return 0;
}

int CACEdit::WordEnd(int nIndex) const
{
    for (int i = std::max(0, nIndex); i < m_EditText.GetLength(); ++i) {
        if (m_SeparationStr.Find(m_EditText[i]) >= 0)
            return i;
    }
    return m_EditText.GetLength();
}

void CACEdit::NotifyParent(WPARAM wParam)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WMU_AUTOCOMPLETE, wParam, GetDlgCtrlID());
}

void CACEdit::OnTextChanged()
{
    if (m_iType == -1)
        return;
    GetWindowText(m_EditText);
    if (m_CursorMode)
        return;
    const int caret = CaretIndex();
    if (m_iMode & (ModePath | ModeFolderNames)) {
        if (m_iMode & ModeFolderNames) {
            if (!m_EditText.IsEmpty())
                ShowMatches(m_EditText);
            else
                m_Liste.Hide();
        }
        if (m_iMode & ModePath) {
            if (m_EditText.GetLength() >= 3 && caret == m_EditText.GetLength()) {
                if (_waccess(m_EditText, 0) == 0)
                    ReadFolder(m_EditText);
                ShowMatches(m_EditText);
            } else {
                m_Liste.Hide();
            }
        }
    }
    if (m_iMode & ModeWord) {
        int start = WordStart(caret - 1);
        int end = WordEnd(caret);
        ShowMatches(m_EditText.Mid(start, end - start));
    }
    if (m_iMode & ModeWholeText)
        ShowMatches(m_EditText);
    NotifyParent(0x400);
}

void CACEdit::OnCloseList()
{
    m_Liste.Hide();
}

BOOL CACEdit::OnGainFocus()
{
    m_bFocus = TRUE;
    return FALSE;
}

BOOL CACEdit::OnLoseFocus()
{
    m_bFocus = FALSE;
    m_Liste.Hide();
    return FALSE;
}

void CACEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!HandleKey(nChar, FALSE))
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

LRESULT CACEdit::OnAutoComplete(WPARAM wParam, LPARAM)
{
    UpdateData(TRUE);
    if (wParam == 0x100)
        HandleKey(VK_DOWN, TRUE);
    return 0;
}

BOOL CACEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && IsListVisible()) {
        UINT key = static_cast<UINT>(pMsg->wParam);
        if (key == VK_RETURN && m_bEnterGoesOn) {
            if (m_Liste.GetSelection() >= 0)
                HandleKey(VK_DOWN, TRUE);
            m_Liste.Hide();
            return CWnd::PreTranslateMessage(pMsg);
        }
        bool wanted = key == VK_ESCAPE || key == VK_RETURN || (m_iType == 2 && (key == VK_DOWN || key == VK_UP));
        // Handled here, Enter and Escape only close the list and never reach the dialog.
        if (wanted && HandleKey(key, FALSE))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CACEdit::HandleKey(UINT nChar, BOOL bFromList)
{
    if (nChar == VK_ESCAPE || nChar == VK_RETURN) {
        m_Liste.Hide();
        return TRUE;
    }
    if (nChar != VK_DOWN && nChar != VK_UP && nChar != VK_PRIOR && nChar != VK_NEXT && nChar != VK_HOME &&
        nChar != VK_END)
        return FALSE;
    if (!IsListVisible() && (m_iMode & ModeShowAllOnArrow) && GetWindowTextLength() == 0) {
        MakeList();
        m_Liste.ShowAll();
        return TRUE;
    }
    if (!IsListVisible())
        return FALSE;
    HWND edit = EditWindow();
    if (m_iMode & (ModeWholeText | ModePath | ModeFolderNames)) {
        m_CursorMode = TRUE;
        CString text = bFromList ? m_Liste.GetSelectedText() : m_Liste.MoveByKey(nChar);
        if ((m_iMode & ModePath) && !text.IsEmpty() && text[text.GetLength() - 1] == L'\\')
            text = text.Left(text.GetLength() - 1);
        m_Liste.SelectRow(-1);
        SetWindowText(text);
        int end = text.GetLength();
        ::SendMessageW(edit, EM_SETSEL, end, end);
        ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        NotifyParent(0x100);
        m_CursorMode = FALSE;
        return TRUE;
    }
    if (m_iMode & ModeWord) {
        m_CursorMode = TRUE;
        GetWindowText(m_EditText);
        int caret = CaretIndex();
        int start = WordStart(caret - 1);
        int end = WordEnd(caret);
        CString word = bFromList ? m_Liste.GetSelectedText() : m_Liste.MoveByKey(nChar);
        CString text = m_EditText.Left(start) + word + m_EditText.Mid(end);
        m_Liste.SelectRow(-1);
        SetWindowText(text);
        NotifyParent(0x100);
        ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        ::SendMessageW(edit, EM_SETSEL, start, start + word.GetLength());
        m_CursorMode = FALSE;
        return TRUE;
    }
    return FALSE;
}

BOOL CACEdit::SplitFolder(LPCWSTR lpszPath, CString& rFolder)
{
    const int kPartLimit = 255;
    CString path = lpszPath ? lpszPath : L"";
    int drive = (path.GetLength() >= 2 && path[1] == L':') ? 2 : 0;
    int lastSeparator = -1;
    for (int i = path.GetLength() - 1; i >= drive; --i) {
        if (path[i] == L'\\' || path[i] == L'/') {
            lastSeparator = i;
            break;
        }
    }
    int nameStart = lastSeparator + 1 > drive ? lastSeparator + 1 : drive;
    CString name = path.Mid(nameStart);
    int dot = name.ReverseFind(L'.');
    int nameLength = dot >= 0 ? dot : name.GetLength();
    int extLength = dot >= 0 ? name.GetLength() - dot : 0;
    int dirLength = nameStart - drive;
    if (dirLength > kPartLimit || nameLength > kPartLimit || extLength > kPartLimit)
        return FALSE;
    rFolder = path.Left(nameStart);
    return TRUE;
}

void CACEdit::ReadFolder(LPCWSTR lpszPath)
{
    CWaitCursor wait;
    CString folder = lpszPath;
    if (folder.IsEmpty())
        return;
    if (folder[folder.GetLength() - 1] != L'\\') {
        // A typed path may be far longer than a folder part can be: such a path is not read.
        if (!SplitFolder(lpszPath, folder))
            return;
    }
    if (!folder.IsEmpty())
        folder.SetAt(0, static_cast<wchar_t>(::towupper(folder[0])));
    CString base = folder;
    if (base.IsEmpty() || base[base.GetLength() - 1] != L'\\')
        base += L"\\";
    if (base.CompareNoCase(m_LastDirectory) == 0 && m_Liste.m_SearchList.GetSize() > 0)
        return;
    m_LastDirectory = base;
    CFileFind finder;
    BOOL more = finder.FindFile(base + L"*.*");
    if (!more)
        return;
    m_Liste.m_SearchList.RemoveAll();
    m_Liste.m_DisplayList.RemoveAll();
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsHidden() || finder.IsSystem())
            continue;
        CString name = finder.GetFileName();
        if (finder.IsDirectory()) {
            if ((m_iMode & ModeNoFolders) || finder.IsDots())
                continue;
            name += L"\\";
        } else if (m_iMode & ModeNoFiles) {
            continue;
        }
        m_Liste.m_SearchList.Add((m_iMode & ModeFolderNames) ? name : base + name);
    }
}

int CACEdit::AddString(LPCWSTR lpszString)
{
    return m_iType == 2 ? static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString))) : -1;
}

int CACEdit::FindString(int nStartAfter, LPCWSTR lpszString) const
{
    if (m_iType != 2)
        return -1;
    return static_cast<int>(SendMessage(CB_FINDSTRING, nStartAfter, reinterpret_cast<LPARAM>(lpszString)));
}

int CACEdit::GetCurSel() const
{
    return m_iType == 2 ? static_cast<int>(SendMessage(CB_GETCURSEL)) : -1;
}

int CACEdit::GetLBText(int nIndex, LPWSTR lpszText) const
{
    if (m_iType != 2)
        return -1;
    return static_cast<int>(SendMessage(CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(lpszText)));
}

void CACEdit::GetLBText(int nIndex, CString& rString) const
{
    if (m_iType != 2)
        return;
    int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, nIndex));
    if (length < 0)
        return;
    SendMessage(CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(rString.GetBuffer(length + 1)));
    rString.ReleaseBuffer();
}

void CACEdit::ResetContent()
{
    if (m_iType == 2)
        SendMessage(CB_RESETCONTENT);
}

int CACEdit::SelectString(int nStartAfter, LPCWSTR lpszString)
{
    if (m_iType != 2)
        return -1;
    return static_cast<int>(SendMessage(CB_SELECTSTRING, nStartAfter, reinterpret_cast<LPARAM>(lpszString)));
}

int CACEdit::SetDroppedWidth(UINT nWidth)
{
    return m_iType == 2 ? static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, nWidth)) : -1;
}

void CACEdit::ShowDropDown(BOOL bShowIt)
{
    if (m_iType == 2)
        SendMessage(CB_SHOWDROPDOWN, bShowIt);
}

int CACEdit::CharFromPos(CPoint point) const
{
    return static_cast<int>(::SendMessageW(EditWindow(), EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y)));
}
