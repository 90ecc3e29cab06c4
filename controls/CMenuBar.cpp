#include "controls/CMenuBar.h"
#include "controls/CFlatMenuItemPainter.h"
#include "controls/CSizableReBar.h"
#include "controls/CToolBarPopup.h"
#include "controls/UxThemeBinder.h"
#include "controls/VyxWinAppEx.h"

#include <algorithm>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CMenuBar, CToolBar)

BEGIN_MESSAGE_MAP(CMenuBar, CToolBar)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_SYSKEYDOWN()
ON_WM_KILLFOCUS()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_CAPTURECHANGED()
ON_WM_SETTINGCHANGE()
ON_WM_THEMECHANGED()
ON_MESSAGE(WM_MENUBAR_OPENPOPUP, OnOpenPopup)
ON_MESSAGE(WM_REBAR_CHILDSIZE, OnReBarChildSize)
ON_MESSAGE(WM_REBAR_CHEVRONPUSHED, OnReBarChevronPushed)
ON_NOTIFY_REFLECT(TBN_HOTITEMCHANGE, OnHotItemChange)
ON_NOTIFY_REFLECT(TBN_DROPDOWN, OnDropDown)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
ON_UPDATE_COMMAND_UI_RANGE(ID_MENUBAR_CHILDICON, ID_MENUBAR_LAST, OnUpdateMenuButton)
END_MESSAGE_MAP()

namespace {

// The bar whose popup is open, with the message-filter hook that watches the menu loop.
CMenuBar* s_pTrackingBar = nullptr;
HHOOK s_hMenuFilterHook = nullptr;

const UINT kMinimizeTipId = 61952;
const UINT kRestoreTipId = 61953;
const UINT kCloseTipId = 61954;

bool AnimatesFirstPopup(int version)
{
    return version == 1 || version == 3 || version == 4;
}

// The mnemonic of a menu text: the character after a single "&".
wchar_t MnemonicOf(const CString& text)
{
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return text[i + 1];
        ++i; // "&&" is an ampersand
    }
    return 0;
}

} // namespace

CMenuBar::CMenuBar()
    : m_cbBandInfo(CSizableReBar::GetBandInfoSize()), m_xLastMouse(-1), m_yLastMouse(-1), m_hWndMDIChild(nullptr),
      m_hWndSavedFocus(nullptr), m_hMenu(nullptr), m_hMenuOpen(nullptr), m_nCurrentIndex(-1), m_bKeyMode(FALSE),
      m_bTracking(FALSE), m_bInOwnPopup(FALSE), m_bItemHasSubmenu(FALSE), m_bEscaped(FALSE), m_bTrackAgain(FALSE),
      m_bSelectFirst(FALSE), m_bMDIButtonTracking(FALSE), m_bFrameActive(TRUE), m_hTheme(nullptr),
      m_nPendingChevron(-1), m_bChevronPending(FALSE), m_nPressedMDIButton(-1), m_dwDrawTextFlags(0)
{
    m_arrButtons.Add(new CMenuBarButtonMin);
    m_arrButtons.Add(new CMenuBarButtonMax);
    m_arrButtons.Add(new CMenuBarButtonClose);
}

CMenuBar::~CMenuBar()
{
    if (s_pTrackingBar == this)
        s_pTrackingBar = nullptr;
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
        delete m_arrButtons[i];
}

CFrameWnd* CMenuBar::GetFrame() const
{
    return GetParentFrame();
}

HWND CMenuBar::GetReBarWindow() const
{
    HWND parent = ::GetParent(m_hWnd);
    wchar_t name[32] = {};
    if (parent)
        ::GetClassNameW(parent, name, 32);
    return lstrcmpW(name, REBARCLASSNAMEW) == 0 ? parent : nullptr;
}

int CMenuBar::GetBandIndex() const
{
    HWND rebar = GetReBarWindow();
    return rebar ? static_cast<int>(::SendMessageW(rebar, RB_IDTOINDEX, static_cast<WPARAM>(GetDlgCtrlID()), 0)) : -1;
}

// ---------------------------------------------------------------- buttons and sizes

BOOL CMenuBar::SetMenu(HMENU hMenu)
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    for (int n = ctrl.GetButtonCount(); n > 0; --n)
        ctrl.DeleteButton(0);
    m_hMenu = hMenu;
    std::vector<TBBUTTON> buttons;
    TBBUTTON icon = {};
    icon.iBitmap = I_IMAGENONE;
    icon.idCommand = ID_MENUBAR_CHILDICON;
    icon.fsState = TBSTATE_ENABLED | (m_hWndMDIChild ? 0 : TBSTATE_HIDDEN);
    icon.fsStyle = BTNS_DROPDOWN | BTNS_NOPREFIX;
    icon.iString = -1;
    buttons.push_back(icon);
    const int count = hMenu ? ::GetMenuItemCount(hMenu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        ::GetMenuItemInfoW(hMenu, static_cast<UINT>(i), TRUE, &item);
        TBBUTTON button = {};
        button.fsState = TBSTATE_ENABLED;
        button.iString = -1;
        if (item.fType & MFT_SEPARATOR) {
            button.fsStyle = BTNS_SEP;
            buttons.push_back(button);
            continue;
        }
        wchar_t text[1025] = {};
        ::GetMenuStringW(hMenu, static_cast<UINT>(i), text, 1025, MF_BYPOSITION);
        button.iBitmap = I_IMAGENONE;
        if (item.hSubMenu) {
            button.idCommand = ID_MENUBAR_FIRSTPOPUP + i;
            button.fsStyle = BTNS_AUTOSIZE | BTNS_DROPDOWN;
        } else {
            button.idCommand = static_cast<int>(item.wID);
            button.fsStyle = BTNS_AUTOSIZE;
        }
        if (text[0]) {
            std::wstring strings(text);
            strings.push_back(L'\0');
            button.iString = ctrl.AddStrings(strings.c_str());
        }
        buttons.push_back(button);
    }
    ctrl.AddButtons(static_cast<int>(buttons.size()), buttons.data());
    UpdateFont();
    return TRUE;
}

void CMenuBar::UpdateFont()
{
    if (!m_hWnd)
        return;
    NONCLIENTMETRICSW ncm;
    VyxGetNonClientMetrics(ncm);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&ncm.lfMenuFont);
    SetFont(&m_font);
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    ctrl.SetBitmapSize(CSize(0, 0));
    ctrl.AutoSize();
    const int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    if (cyMenu > ctrl.GetButtonSize().cy)
        ctrl.SetBitmapSize(CSize(0, cyMenu - HIWORD(ctrl.GetPadding())));
    const int w = ncm.iMenuWidth;
    ctrl.HideButton(ID_MENUBAR_CHILDICON, m_hWndMDIChild == nullptr);
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(w);
    ctrl.SetButtonInfo(ID_MENUBAR_CHILDICON, &info);
    ctrl.AutoSize();

    int widths = 0;
    for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
        CRect item(0, 0, 0, 0);
        if (ctrl.GetItemRect(i, &item))
            widths += item.Width();
    }
    if (HWND rebar = GetReBarWindow())
        CSizableReBar::SetBandSizes(
            rebar, m_cbBandInfo, static_cast<UINT>(GetDlgCtrlID()), m_hWndMDIChild ? static_cast<UINT>(w) : 0,
            static_cast<UINT>(ctrl.GetButtonSize().cy), static_cast<UINT>(3 * w + widths), widths > 0);
    CRect client;
    GetClientRect(&client);
    LayoutMDIButtons(client);
}

void CMenuBar::LayoutMDIButtons(const CRect& rcChild)
{
    NONCLIENTMETRICSW ncm;
    VyxGetNonClientMetrics(ncm);
    CRect area = rcChild;
    area.OffsetRect(-area.left, -area.top);
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    int lastRight = 0;
    for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
        CRect item(0, 0, 0, 0);
        if (ctrl.GetItemRect(i, &item))
            lastRight = std::max(lastRight, static_cast<int>(item.right));
    }
    area.right = std::max(static_cast<int>(area.right), lastRight + 3 * ncm.iMenuWidth);
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i) {
        CMenuBarButton* button = m_arrButtons[i];
        button->m_hWndMDIChild = m_hWndMDIChild;
        button->m_rcArea = area;
        button->m_bHidden = m_hWndMDIChild == nullptr;
        button->m_hTheme = m_hTheme;
    }
    Invalidate();
}

BOOL CMenuBar::IsClipped(int nIndex) const
{
    CRect item(0, 0, 0, 0);
    if (!GetToolBarCtrl().GetItemRect(nIndex, &item) || item.IsRectEmpty())
        return FALSE;
    CRect client;
    GetClientRect(&client);
    return item.right > client.right;
}

LRESULT CMenuBar::OnReBarChildSize(WPARAM, LPARAM lParam)
{
    if (lParam)
        LayoutMDIButtons(*reinterpret_cast<const CRect*>(lParam));
    return 0;
}

void CMenuBar::SetActive(BOOL bActive)
{
    m_bFrameActive = bActive;
    if (m_hWnd) {
        Invalidate();
        UpdateWindow();
    }
}

// ---------------------------------------------------------------- key mode

void CMenuBar::EnterKeyMode(int nIndex)
{
    if (!m_bKeyMode) {
        m_bKeyMode = TRUE;
        HWND previous = ::SetFocus(m_hWnd);
        if (previous != m_hWnd)
            m_hWndSavedFocus = previous;
    }
    SetCapture();
    SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    m_nCurrentIndex = nIndex;
    GetToolBarCtrl().SetHotItem(nIndex);
}

void CMenuBar::LeaveKeyMode()
{
    if (!m_bKeyMode)
        return;
    m_bKeyMode = FALSE;
    GetToolBarCtrl().SetHotItem(-1);
    HWND saved = m_hWndSavedFocus;
    m_hWndSavedFocus = nullptr;
    if (saved && ::IsWindow(saved))
        ::SetFocus(saved);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

BOOL CMenuBar::HandleKeyMenu(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) != SC_KEYMENU || lParam != 0 || !m_hWnd || !IsWindowVisible())
        return FALSE;
    if (GetToolBarCtrl().GetButtonCount() > 1 && !IsClipped(1))
        EnterKeyMode(1);
    else
        PushChevron(-1);
    return TRUE;
}

BOOL CMenuBar::OnMenuChar(UINT nChar, UINT nFlags, CMenu*)
{
    if (!m_hWnd || !IsWindowVisible() || !(nFlags & MF_SYSMENU))
        return FALSE;
    UINT id = 0;
    if (!GetToolBarCtrl().MapAccelerator(static_cast<wchar_t>(nChar), &id))
        return FALSE;
    PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(CommandToIndex(id)), MAKELPARAM(1, 1));
    return TRUE;
}

UINT CMenuBar::OnGetDlgCode()
{
    UINT code = static_cast<UINT>(Default());
    return m_bKeyMode ? code | DLGC_WANTALLKEYS : code;
}

int CMenuBar::NextMenuButton(int nFrom, int nStep) const
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    const int count = ctrl.GetButtonCount();
    for (int i = 1; i <= count; ++i) {
        int index = ((nFrom + nStep * i) % count + count) % count;
        TBBUTTON button = {};
        ctrl.GetButton(index, &button);
        if (!(button.fsStyle & BTNS_SEP) && !(button.fsState & TBSTATE_HIDDEN))
            return index;
    }
    return -1;
}

void CMenuBar::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!m_bKeyMode) {
        Default();
        return;
    }
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    switch (nChar) {
    case VK_ESCAPE:
        if (!m_bTracking)
            LeaveKeyMode();
        return;
    case VK_SPACE:
        LeaveKeyMode();
        if (CFrameWnd* frame = GetFrame())
            frame->PostMessage(WM_SYSCOMMAND, SC_KEYMENU, L' ');
        return;
    case VK_LEFT:
    case VK_RIGHT: {
        int next = NextMenuButton(m_nCurrentIndex, nChar == VK_LEFT ? -1 : 1);
        if (next >= 0 && next != m_nCurrentIndex && OnHotChange(next, FALSE))
            ctrl.SetHotItem(next);
        return;
    }
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN: {
        if (m_bTracking)
            return;
        const int hot = ctrl.GetHotItem();
        TBBUTTON button = {};
        if (hot < 0 || !ctrl.GetButton(hot, &button))
            return;
        if (button.fsStyle & BTNS_DROPDOWN) {
            PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(hot), MAKELPARAM(1, 1));
        } else if (nChar == VK_RETURN) {
            LeaveKeyMode();
            if (CFrameWnd* frame = GetFrame())
                frame->PostMessage(WM_COMMAND, MAKEWPARAM(button.idCommand, 0), 0);
        }
        return;
    }
    default:
        Default();
        return;
    }
}

void CMenuBar::OnChar(UINT nChar, UINT, UINT)
{
    if (!m_bKeyMode || m_bTracking) {
        Default();
        return;
    }
    // A mnemonic in key mode opens its menu with the first item selected.
    UINT id = 0;
    if (GetToolBarCtrl().MapAccelerator(static_cast<wchar_t>(nChar), &id))
        PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(CommandToIndex(id)), MAKELPARAM(1, 1));
}

void CMenuBar::OnSysKeyDown(UINT, UINT, UINT)
{
    if (!m_bKeyMode) {
        Default();
        return;
    }
    // Alt again ends key mode; passed on, its release would start it again.
    LeaveKeyMode();
}

void CMenuBar::OnKillFocus(CWnd* pNewWnd)
{
    if (m_bKeyMode && !m_bTracking) {
        // The focus has gone somewhere on purpose: it is not taken back.
        m_hWndSavedFocus = nullptr;
        LeaveKeyMode();
    }
    CToolBar::OnKillFocus(pNewWnd);
}

// ---------------------------------------------------------------- popups

void CMenuBar::OnDropDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = TBDDRET_DEFAULT;
    if (m_bTracking)
        return;
    auto* info = reinterpret_cast<NMTOOLBARW*>(pNMHDR);
    const int index = CommandToIndex(static_cast<UINT>(info->iItem));
    // Button up: the drop-down came from the keyboard, so the first item is selected.
    const WORD keyboard = (::GetKeyState(VK_LBUTTON) & 0x8000) ? 0 : 1;
    PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(index), MAKELPARAM(keyboard, keyboard));
}

LRESULT CMenuBar::OnOpenPopup(WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(wParam);
    if (m_bTracking || index < 0 || index >= GetToolBarCtrl().GetButtonCount())
        return 0;
    if (HIWORD(lParam) && IsClipped(index)) {
        PushChevron(index);
        return 0;
    }
    EnterKeyMode(index);
    m_nCurrentIndex = index;
    m_bSelectFirst = LOWORD(lParam) != 0;
    m_bTrackAgain = TRUE;
    m_bEscaped = FALSE;
    TrackPopups();
    if (m_bChevronPending) {
        m_bChevronPending = FALSE;
        LeaveKeyMode();
        PushChevron(m_nPendingChevron);
        return 0;
    }
    if (m_bEscaped && m_bKeyMode) {
        // Esc on the popup's own level: back to key mode on the same button.
        SetCapture();
        GetToolBarCtrl().SetHotItem(m_nCurrentIndex);
    } else {
        LeaveKeyMode();
    }
    return 0;
}

void CMenuBar::TrackPopups()
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    const int version = VyxGetWindowsVersionClass();
    bool first = true;
    while (m_bTrackAgain) {
        m_bTrackAgain = FALSE;
        const int index = m_nCurrentIndex;
        HMENU popup = nullptr;
        if (index == 0)
            popup = m_hWndMDIChild ? ::GetSystemMenu(m_hWndMDIChild, FALSE) : nullptr;
        else if (index > 0 && m_hMenu)
            popup = ::GetSubMenu(m_hMenu, index - 1);
        if (!popup)
            break;
        TBBUTTON button = {};
        ctrl.GetButton(index, &button);
        ctrl.PressButton(button.idCommand, TRUE);
        if (m_bSelectFirst) {
            // The menu loop takes these from the queue: the popup opens on its first item.
            PostMessage(WM_KEYDOWN, VK_DOWN, 0x00500001);
            PostMessage(WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC0500001));
        }
        m_hMenuOpen = popup;
        m_bTracking = TRUE;
        m_bInOwnPopup = TRUE;
        m_bItemHasSubmenu = FALSE;
        s_pTrackingBar = this;
        s_hMenuFilterHook =
            ::SetWindowsHookExW(WH_MSGFILTER, &CMenuBar::MenuFilterProc, nullptr, ::GetCurrentThreadId());
        CRect rect;
        ctrl.GetItemRect(index, &rect);
        ClientToScreen(&rect);
        TPMPARAMS params = {sizeof(TPMPARAMS), rect};
        UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL;
        if (first) {
            if (AnimatesFirstPopup(version))
                flags |= TPM_VERPOSANIMATION;
        } else if (version == 3 || version == 4) {
            flags |= TPM_NOANIMATION;
        }
        CFrameWnd* frame = GetFrame();
        CWnd* owner = frame ? static_cast<CWnd*>(frame) : this;
        if (VyxWinAppEx* app = VyxGetAppEx())
            app->TrackMenu(popup, flags, rect.left, rect.bottom, owner, &params);
        else
            ::TrackPopupMenuEx(popup, flags, rect.left, rect.bottom, owner->m_hWnd, &params);
        if (s_hMenuFilterHook)
            ::UnhookWindowsHookEx(s_hMenuFilterHook);
        s_hMenuFilterHook = nullptr;
        s_pTrackingBar = nullptr;
        m_hMenuOpen = nullptr;
        m_bTracking = FALSE;
        if (!m_hWnd)
            return;
        ctrl.PressButton(button.idCommand, FALSE);
        first = false;
        if (m_bChevronPending)
            break;
    }
}

LRESULT CALLBACK CMenuBar::MenuFilterProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    try {
        CMenuBar* bar = s_pTrackingBar;
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (nCode == MSGF_MENU && bar && bar->m_hWnd && msg) {
            switch (msg->message) {
            case WM_MOUSEMOVE:
            case WM_LBUTTONDBLCLK: {
                // In the bar's own coordinates, so that its hot-item logic can switch menus.
                POINT point = {static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
                ::ClientToScreen(msg->hwnd, &point);
                ::ScreenToClient(bar->m_hWnd, &point);
                bar->SendMessage(msg->message, msg->wParam, MAKELPARAM(point.x, point.y));
                break;
            }
            case WM_KEYDOWN:
                if (msg->wParam == VK_ESCAPE && bar->m_bInOwnPopup) {
                    bar->m_bEscaped = TRUE;
                } else if (msg->wParam == VK_LEFT && bar->m_bInOwnPopup) {
                    bar->SendMessage(WM_KEYDOWN, VK_LEFT, msg->lParam);
                    return TRUE;
                } else if (msg->wParam == VK_RIGHT && !bar->m_bItemHasSubmenu) {
                    bar->SendMessage(WM_KEYDOWN, VK_RIGHT, msg->lParam);
                    return TRUE;
                }
                break;
            default:
                break;
            }
        }
    } catch (...) {
        // The menu goes on as the system runs it.
    }
    return ::CallNextHookEx(s_hMenuFilterHook, nCode, wParam, lParam);
}

void CMenuBar::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL)
{
    if (!m_bTracking || !pPopupMenu)
        return;
    m_bInOwnPopup = pPopupMenu->m_hMenu == m_hMenuOpen;
    m_bItemHasSubmenu = ::GetSubMenu(pPopupMenu->m_hMenu, static_cast<int>(nIndex)) != nullptr;
}

void CMenuBar::OnMenuSelect(UINT, UINT nFlags, HMENU hSysMenu)
{
    if (!m_bTracking)
        return;
    m_bInOwnPopup = hSysMenu == m_hMenuOpen;
    m_bItemHasSubmenu = nFlags != 0xFFFF && (nFlags & MF_POPUP) != 0;
}

BOOL CMenuBar::OnHotChange(int nNewIndex, BOOL bByMouse)
{
    if (nNewIndex == m_nCurrentIndex)
        return TRUE;
    if (nNewIndex < 0)
        return FALSE; // the bar keeps a hot button while it has the keyboard
    if (IsClipped(nNewIndex)) {
        PushChevron(nNewIndex);
    } else if (m_bTracking) {
        if (CFrameWnd* frame = GetFrame())
            frame->SendMessage(WM_CANCELMODE);
        m_bSelectFirst = !bByMouse;
        m_bTrackAgain = TRUE;
    }
    m_nCurrentIndex = nNewIndex;
    return TRUE;
}

void CMenuBar::OnHotItemChange(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (!m_bKeyMode)
        return;
    auto* info = reinterpret_cast<NMTBHOTITEM*>(pNMHDR);
    const int index = (info->dwFlags & HICF_LEAVING) ? -1 : CommandToIndex(static_cast<UINT>(info->idNew));
    if (info->dwFlags & (HICF_MOUSE | HICF_ARROWKEYS | HICF_ACCELERATOR)) {
        if (!OnHotChange(index, (info->dwFlags & HICF_MOUSE) != 0))
            *pResult = 1;
    } else if (index >= 0) {
        m_nCurrentIndex = index;
    }
}

// ---------------------------------------------------------------- chevron

void CMenuBar::PushChevron(int nIndex)
{
    if (m_bTracking) {
        // One menu at a time: the popup closes first, the chevron opens after it.
        m_nPendingChevron = nIndex;
        m_bChevronPending = TRUE;
        m_bTrackAgain = FALSE;
        if (CFrameWnd* frame = GetFrame())
            frame->SendMessage(WM_CANCELMODE);
        return;
    }
    HWND rebar = GetReBarWindow();
    const int band = GetBandIndex();
    if (rebar && band >= 0)
        ::SendMessageW(rebar, RB_PUSHCHEVRON, static_cast<WPARAM>(band), static_cast<LPARAM>(nIndex + 1));
}

LRESULT CMenuBar::OnReBarChevronPushed(WPARAM wParam, LPARAM lParam)
{
    if (wParam)
        ShowChevronMenu(*reinterpret_cast<const RECT*>(wParam), static_cast<int>(lParam) - 1);
    return 0;
}

void CMenuBar::ShowChevronMenu(const RECT& rcChevron, int nIndex)
{
    LeaveKeyMode();
    CMenu menu;
    if (!m_hMenu || !menu.CreatePopupMenu())
        return;
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    const int count = ctrl.GetButtonCount();
    for (int i = 1; i < count; ++i) {
        if (!IsClipped(i))
            continue;
        wchar_t text[1025] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 1025;
        if (!::GetMenuItemInfoW(m_hMenu, static_cast<UINT>(i - 1), TRUE, &item))
            continue;
        if ((item.fType & MFT_SEPARATOR) && menu.GetMenuItemCount() == 0)
            continue;
        item.fMask =
            MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | ((item.fType & MFT_SEPARATOR) ? 0 : MIIM_STRING);
        menu.InsertMenuItem(menu.GetMenuItemCount(), &item, TRUE);
    }
    if (m_hWndMDIChild) {
        CRect client;
        GetClientRect(&client);
        HMENU system = ::GetSystemMenu(m_hWndMDIChild, FALSE);
        bool separated = false;
        for (INT_PTR i = 0; i < m_arrButtons.GetSize() && system; ++i) {
            const CMenuBarButton* button = m_arrButtons[i];
            CRect rect;
            button->GetRect(&rect);
            if (!button->IsVisible() || rect.right <= client.right)
                continue;
            wchar_t text[256] = {};
            MENUITEMINFOW item = {};
            item.cbSize = sizeof(item);
            item.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_FTYPE;
            item.dwTypeData = text;
            item.cch = 256;
            if (!::GetMenuItemInfoW(system, button->GetCommand(), FALSE, &item))
                continue;
            if (!separated) {
                menu.AppendMenu(MF_SEPARATOR);
                separated = true;
            }
            item.fState &= ~MFS_DEFAULT;
            menu.InsertMenuItem(menu.GetMenuItemCount(), &item, TRUE);
        }
    }
    if (menu.GetMenuItemCount() > 0) {
        if (nIndex >= 0) {
            // The button's mnemonic, typed for the user: its menu opens inside the chevron menu.
            CString text;
            TBBUTTON button = {};
            ctrl.GetButton(nIndex, &button);
            ctrl.GetButtonText(button.idCommand, text);
            if (wchar_t mnemonic = MnemonicOf(text))
                PostMessage(WM_CHAR, mnemonic, 0);
        }
        UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL;
        if (AnimatesFirstPopup(VyxGetWindowsVersionClass()))
            flags |= TPM_VERPOSANIMATION;
        TPMPARAMS params = {sizeof(TPMPARAMS), rcChevron};
        CFrameWnd* frame = GetFrame();
        CWnd* owner = frame ? static_cast<CWnd*>(frame) : this;
        if (VyxWinAppEx* app = VyxGetAppEx())
            app->TrackMenu(menu.m_hMenu, flags, rcChevron.left, rcChevron.bottom, owner, &params);
        else
            ::TrackPopupMenuEx(menu.m_hMenu, flags, rcChevron.left, rcChevron.bottom, owner->m_hWnd, &params);
    }
    // The submenus belong to the frame's menu: the items are taken out, not destroyed.
    for (int n = static_cast<int>(menu.GetMenuItemCount()) - 1; n >= 0; --n)
        menu.RemoveMenu(static_cast<UINT>(n), MF_BYPOSITION);
}

// ---------------------------------------------------------------- mouse

void CMenuBar::RepostButtonPress(UINT message, UINT nFlags, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    CToolBarPopup::RepostButtonPress(message, nFlags, screen);
}

void CMenuBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bMDIButtonTracking) {
        if (m_nPressedMDIButton >= 0) {
            CMenuBarButton* button = m_arrButtons[m_nPressedMDIButton];
            RECT rect;
            button->GetRect(&rect);
            const BOOL inside = ::PtInRect(&rect, point);
            if (inside != button->m_bPushed) {
                button->m_bPushed = inside;
                InvalidateRect(&rect);
            }
        }
        return;
    }
    if (m_bKeyMode) {
        if (point.x == m_xLastMouse && point.y == m_yLastMouse)
            return;
        m_xLastMouse = point.x;
        m_yLastMouse = point.y;
        // Over this band's chevron: the hidden menus open.
        if (HWND rebar = GetReBarWindow()) {
            RBHITTESTINFO hit = {};
            hit.pt = point;
            ClientToScreen(&hit.pt);
            ::ScreenToClient(rebar, &hit.pt);
            int band = static_cast<int>(::SendMessageW(rebar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (band >= 0 && band == GetBandIndex() && (hit.flags & RBHT_CHEVRON)) {
                PushChevron(-1);
                return;
            }
        }
    }
    CToolBar::OnMouseMove(nFlags, point);
}

void CMenuBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i) {
        CMenuBarButton* button = m_arrButtons[i];
        RECT rect;
        button->GetRect(&rect);
        if (button->m_bHidden || !button->IsVisible() || !button->IsEnabled() || !::PtInRect(&rect, point))
            continue;
        LeaveKeyMode();
        button->m_bPushed = TRUE;
        m_nPressedMDIButton = static_cast<int>(i);
        m_bMDIButtonTracking = TRUE;
        InvalidateRect(&rect);
        UpdateWindow();
        SetCapture();
        return;
    }
    if (m_bKeyMode && !m_bTracking) {
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(point)) {
            LeaveKeyMode();
            RepostButtonPress(WM_LBUTTONDOWN, nFlags, point);
            return;
        }
    }
    Default();
}

void CMenuBar::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (m_bKeyMode && !m_bTracking) {
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(point)) {
            LeaveKeyMode();
            RepostButtonPress(WM_RBUTTONDOWN, nFlags, point);
            return;
        }
    }
    Default();
}

void CMenuBar::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bMDIButtonTracking) {
        Default();
        return;
    }
    m_bMDIButtonTracking = FALSE;
    const int pressed = m_nPressedMDIButton;
    m_nPressedMDIButton = -1;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
        m_arrButtons[i]->m_bPushed = FALSE;
    Invalidate();
    if (pressed < 0)
        return;
    const CMenuBarButton* button = m_arrButtons[pressed];
    RECT rect;
    button->GetRect(&rect);
    if (button->IsVisible() && button->IsEnabled() && ::PtInRect(&rect, point))
        ::PostMessageW(m_hWndMDIChild, WM_SYSCOMMAND, button->GetCommand(), 0);
}

void CMenuBar::OnLButtonDblClk(UINT, CPoint point)
{
    CRect icon(0, 0, 0, 0);
    if (m_hWndMDIChild && GetToolBarCtrl().GetItemRect(0, &icon) && icon.PtInRect(point)) {
        ::PostMessageW(m_hWndMDIChild, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    Default();
}

void CMenuBar::OnCaptureChanged(CWnd* pWnd)
{
    bool repaint = false;
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i) {
        repaint = repaint || m_arrButtons[i]->m_bPushed;
        m_arrButtons[i]->m_bPushed = FALSE;
    }
    if (pWnd == nullptr || pWnd->m_hWnd != m_hWnd)
        m_bMDIButtonTracking = FALSE;
    if (repaint)
        Invalidate();
    Default();
}

// ---------------------------------------------------------------- idle, tips, drawing

void CMenuBar::OnUpdateMenuButton(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CMenuBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (auto* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, GetFrame())) {
        BOOL maximized = FALSE;
        CMDIChildWnd* active = mdi->MDIGetActive(&maximized);
        HWND child = active && maximized && (active->GetStyle() & WS_SYSMENU) ? active->m_hWnd : nullptr;
        if (child != m_hWndMDIChild) {
            m_hWndMDIChild = child;
            for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
                m_arrButtons[i]->m_hWndMDIChild = child;
            UpdateFont();
        }
    }
    const int version = VyxGetWindowsVersionClass();
    if ((version == 3 || version == 4) && !m_bKeyMode) {
        VyxWinAppEx* app = VyxGetAppEx();
        const bool show = ::GetKeyState(VK_MENU) < 0 || ::GetKeyState(VK_F10) < 0 || (app && app->IsKeyboardCues());
        const DWORD flags = show ? 0 : DT_HIDEPREFIX;
        if (flags != m_dwDrawTextFlags) {
            m_dwDrawTextFlags = flags;
            GetToolBarCtrl().SetDrawTextFlags(DT_HIDEPREFIX, flags);
            Invalidate();
        }
    }
    CToolBar::OnUpdateCmdUI(pTarget, bDisableIfNoHndler);
}

INT_PTR CMenuBar::OnToolHitTest(CPoint point, TOOLINFOW* pTI) const
{
    const int version = VyxGetWindowsVersionClass();
    if (version == 1 || version == 3 || version == 4) {
        for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i) {
            const CMenuBarButton* button = m_arrButtons[i];
            RECT rect;
            button->GetRect(&rect);
            if (button->m_bHidden || !button->IsVisible() || !::PtInRect(&rect, point))
                continue;
            const UINT command = button->GetCommand();
            const UINT tip = command == SC_CLOSE ? kCloseTipId : command == SC_RESTORE ? kRestoreTipId : kMinimizeTipId;
            if (pTI) {
                pTI->hwnd = m_hWnd;
                pTI->rect = rect;
                pTI->uId = tip;
                pTI->lpszText = LPSTR_TEXTCALLBACKW;
            }
            return static_cast<INT_PTR>(tip);
        }
    }
    return CToolBar::OnToolHitTest(point, pTI);
}

void CMenuBar::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_PREERASE:
        *pResult = CDRF_NOTIFYPOSTERASE;
        return;
    case CDDS_POSTERASE: {
        CDC* dc = CDC::FromHandle(draw->nmcd.hdc);
        for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i) {
            if (!m_arrButtons[i]->m_bHidden && m_arrButtons[i]->IsVisible())
                m_arrButtons[i]->Draw(dc, m_bFrameActive);
        }
        return;
    }
    case CDDS_ITEMPREPAINT:
        break;
    default:
        return;
    }
    const RECT& rect = draw->nmcd.rc;
    if (draw->nmcd.dwItemSpec == ID_MENUBAR_CHILDICON) {
        if (m_hWndMDIChild) {
            NONCLIENTMETRICSW ncm;
            VyxGetNonClientMetrics(ncm);
            auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(m_hWndMDIChild, GCLP_HICONSM));
            const int size = ncm.iMenuHeight - 2;
            if (icon)
                ::DrawIconEx(draw->nmcd.hdc, rect.left + 2, rect.top + (rect.bottom - rect.top - size) / 2, icon,
                             ncm.iMenuWidth - 2, size, 0, nullptr, DI_NORMAL);
        }
        *pResult = CDRF_SKIPDEFAULT;
        return;
    }
    const UINT state = draw->nmcd.uItemState;
    VyxWinAppEx* app = VyxGetAppEx();
    if (VyxGetWindowsVersionClass() == 4 && app && app->IsFlatMenu()) {
        *pResult = CDRF_DODEFAULT | TBCDRF_NOEDGES | TBCDRF_NOOFFSET;
        const UINT id = static_cast<UINT>(draw->nmcd.dwItemSpec);
        const bool pressed = GetToolBarCtrl().IsButtonPressed(static_cast<int>(id));
        if (state & CDIS_DISABLED) {
            draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        } else if ((state & (CDIS_HOT | CDIS_SELECTED)) || pressed) {
            // Drawn here whole, as the chevron popup draws its hot item: the control would paint
            // its own hot face over the highlight.
            CFlatMenuItemPainter::Item item;
            item.hdc = draw->nmcd.hdc;
            item.rect = rect;
            item.fill = ::GetSysColor(COLOR_MENUHILIGHT);
            item.text = ::GetSysColor(m_bFrameActive ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT);
            item.font = static_cast<HFONT>(m_font.GetSafeHandle());
            GetToolBarCtrl().GetButtonText(static_cast<int>(id), item.label);
            item.textFormat = DT_CENTER | DT_SINGLELINE | DT_VCENTER | (m_dwDrawTextFlags & DT_HIDEPREFIX);
            CFlatMenuItemPainter::Draw(item);
            *pResult = CDRF_SKIPDEFAULT;
        }
        return;
    }
    if (!m_bFrameActive)
        draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
}

// ---------------------------------------------------------------- life

void CMenuBar::OpenTheme()
{
    if (VyxGetWindowsVersionClass() == 4 && UxThemeBinder::IsThemeActive())
        m_hTheme = UxThemeBinder::OpenThemeData(m_hWnd, L"Window");
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
        m_arrButtons[i]->m_hTheme = m_hTheme;
}

void CMenuBar::CloseTheme()
{
    if (m_hTheme)
        UxThemeBinder::CloseThemeData(m_hTheme);
    m_hTheme = nullptr;
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
        m_arrButtons[i]->m_hTheme = nullptr;
}

int CMenuBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CToolBar::OnCreate(lpcs) == -1)
        return -1;
    // A title the band cuts is left out, as the kit's tool bar leaves its buttons out: the
    // chevron offers it whole.
    GetToolBarCtrl().SetExtendedStyle(GetToolBarCtrl().GetExtendedStyle() | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    if (VyxGetWindowsVersionClass() == 4) {
        OpenTheme();
        // The caption buttons follow the theme; the menu texts are drawn plain.
        UxThemeBinder::SetWindowTheme(m_hWnd, L"", L"");
    }
    return 0;
}

void CMenuBar::OnDestroy()
{
    LeaveKeyMode();
    CloseTheme();
    CToolBar::OnDestroy();
}

void CMenuBar::OnSettingChange(UINT, LPCTSTR)
{
    Default();
    UpdateFont();
}

LRESULT CMenuBar::OnThemeChanged()
{
    CloseTheme();
    OpenTheme();
    Invalidate();
    return Default();
}
