#include "controls/CMenuButton.h"

#include "controls/ControlDrawing.h"

#include "foundation/VyxFileUtil.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

IMPLEMENT_DYNCREATE(CMenuButton, CButton)

BEGIN_MESSAGE_MAP(CMenuButton, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CMenuButton::CMenuButton()
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    SHFILEINFOW info = {};
    m_hSystemImages = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(windows, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    m_nFolderIcon = info.iIcon;
}

CMenuButton::~CMenuButton() = default;

BOOL CMenuButton::IsBrowseMode() const
{
    return GetSafeHwnd() && (GetStyle() & BS_ICON);
}

void CMenuButton::ResetMenu(UINT nFirstId)
{
    m_nFirstId = nFirstId;
    m_nLastId = nFirstId - 1;
    m_menu.DestroyMenu();
    m_menu.CreatePopupMenu();
}

UINT CMenuButton::AddMenuItem(LPCWSTR lpszLabel)
{
    if (!m_menu.GetSafeHmenu())
        m_menu.CreatePopupMenu();
    if (!lpszLabel) {
        m_menu.AppendMenu(MF_SEPARATOR);
        return 0;
    }
    ++m_nLastId;
    m_menu.AppendMenu(MF_STRING, m_nLastId, lpszLabel);
    return m_nLastId;
}

void CMenuButton::AppendSubMenu(CMenu* pSubMenu, LPCWSTR lpszLabel)
{
    if (!m_menu.GetSafeHmenu())
        m_menu.CreatePopupMenu();
    HMENU sub = pSubMenu->Detach();
    m_menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub), lpszLabel);
}

CWnd* CMenuButton::MenuOwner() const
{
    if (m_pCommandTarget)
        return m_pCommandTarget;
    CWnd* owner = GetParent();
    while (owner && (owner->GetStyle() & WS_CHILD))
        owner = owner->GetParent();
    return owner;
}

void CMenuButton::DropMenu()
{
    if (!m_menu.GetSafeHmenu())
        return;
    CRect window;
    GetWindowRect(&window);
    m_bShowing = TRUE;
    m_menu.TrackPopupMenu(0, window.right, window.top, MenuOwner());
    m_bShowing = FALSE;
    // The button was pressed when the menu took the mouse: draw it released.
    SendMessage(WM_LBUTTONUP, 0, 0x10001);
}

BOOL CMenuButton::OnClicked()
{
    if (IsBrowseMode()) {
        CWnd* target = m_pCommandTarget ? m_pCommandTarget : MenuOwner();
        if (!target)
            return FALSE;
        CString start, chosen;
        target->GetWindowText(start);
        BrowseForFolder(chosen, m_hWnd, L"フォルダの選択", start);
        if (!chosen.IsEmpty()) {
            target->SetWindowText(chosen);
            target->SetFocus();
        }
    } else {
        DropMenu();
    }
    return FALSE;
}

void CMenuButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* dc = CDC::FromHandle(lpDIS->hDC);
    CRect rect = lpDIS->rcItem;
    const BOOL pressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
    if (pressed) {
        CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
        dc->FrameRect(&rect, &shadow);
    } else {
        dc->DrawEdge(&rect, EDGE_ETCHED, BF_RECT | BF_SOFT);
    }

    if (IsBrowseMode()) {
        if (m_hSystemImages)
            ::ImageList_Draw(m_hSystemImages, m_nFolderIcon, dc->GetSafeHdc(), rect.left + (rect.Width() - 16) / 2,
                             rect.top + (rect.Height() - 16) / 2, ILD_TRANSPARENT);
        return;
    }
    CString caption;
    GetWindowText(caption);
    CSize text = caption.IsEmpty() ? CSize(0, 0) : dc->GetTextExtent(caption);
    CSize arrow = dc->GetTextExtent(L"x", 1);
    int height = std::max(text.cy, arrow.cy);
    int left = rect.left + (rect.Width() - (text.cx + arrow.cx)) / 2;
    int top = rect.top + (rect.Height() - height) / 2;
    if (pressed) {
        ++left;
        ++top;
    }
    CRect captionRect(left, top, left + text.cx, top + height);
    CRect arrowBox(captionRect.right, top, captionRect.right + arrow.cx, top + height);
    if (!caption.IsEmpty()) {
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
        dc->DrawText(caption, &captionRect, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    }
    int s = std::min(arrowBox.Width(), arrowBox.Height());
    s -= s % 2;
    int x = arrowBox.left + (arrowBox.Width() - s) / 2;
    int y = arrowBox.top + (arrowBox.Height() - s) / 2;
    POINT points[3] = {{x, y}, {x + s / 2, y + s / 2}, {x, y + s}};
    FillSolidPolygon(dc, points, 3, ::GetSysColor(COLOR_BTNTEXT));
}
