#include "controls/CToolBarPopup.h"
#include "controls/CFlatMenuItemPainter.h"
#include "controls/CToolBarEx.h"
#include "controls/UxThemeBinder.h"
#include "controls/VyxWinAppEx.h"

#include <algorithm>
#include <cstdlib>
#include <string>

IMPLEMENT_DYNAMIC(CToolBarPopup, CWnd)

BEGIN_MESSAGE_MAP(CToolBarPopup, CWnd)
ON_WM_CREATE()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEACTIVATE()
ON_WM_CAPTURECHANGED()
ON_WM_NCPAINT()
ON_MESSAGE(WM_PRINT, OnPrint)
ON_MESSAGE(WM_TOOLBARPOPUP_CLOSE, OnClosePopup)
END_MESSAGE_MAP()

namespace {

// Child, visible, clipping, list, flat, tooltips, no divider, no parent alignment, no resizing.
// The rows are made with TBSTATE_WRAP, so the bar is not wrapable (it would re-wrap by width).
const DWORD kInnerBarStyle = 0x56001B4C & ~TBSTYLE_WRAPABLE;
const UINT kAnimationBits = TPM_HORPOSANIMATION | TPM_HORNEGANIMATION | TPM_VERPOSANIMATION | TPM_VERNEGANIMATION;

// One popup at a time, with the keyboard hook that drives it.
CToolBarPopup* s_pOpenPopup = nullptr;
HHOOK s_hKeyboardHook = nullptr;

bool CanBeHot(const TBBUTTON& button)
{
    return !(button.fsStyle & BTNS_SEP) && !(button.fsState & TBSTATE_HIDDEN) && (button.fsState & TBSTATE_ENABLED);
}

} // namespace

CToolBarPopup::CToolBarPopup(CToolBarEx* pToolBar)
    : m_pToolBar(pToolBar), m_bOverTbCtrl(FALSE), m_bTextLabels(FALSE), m_bFlatMenuStyle(FALSE)
{
    VyxWinAppEx* app = VyxGetAppEx();
    m_bFlatMenuStyle = VyxGetWindowsVersionClass() == 4 && app && app->IsFlatMenu();
}

CToolBarPopup::~CToolBarPopup()
{
    if (s_pOpenPopup == this)
        s_pOpenPopup = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

CToolBarPopup* PASCAL CToolBarPopup::GetOpenPopup()
{
    return s_pOpenPopup;
}

// ---------------------------------------------------------------- placement

CRect PASCAL CToolBarPopup::CalcPosition(CSize size, UINT& nFlags, int x, int y, const RECT* pExclude,
                                         const RECT& rcDesktop)
{
    int left = x;
    int top = y;
    if (nFlags & TPM_CENTERALIGN)
        left = x - size.cx / 2;
    else if (nFlags & TPM_RIGHTALIGN)
        left = x - size.cx;
    if (nFlags & TPM_VCENTERALIGN)
        top = y - size.cy / 2;
    else if (nFlags & TPM_BOTTOMALIGN)
        top = y - size.cy;
    // Pulled back inside the desktop: from the right and bottom edges first.
    if (left + size.cx > rcDesktop.right)
        left = rcDesktop.right - size.cx;
    if (top + size.cy > rcDesktop.bottom)
        top = rcDesktop.bottom - size.cy;
    if (left < rcDesktop.left)
        left = rcDesktop.left;
    if (top < rcDesktop.top)
        top = rcDesktop.top;
    CRect rect(left, top, left + size.cx, top + size.cy);
    CRect overlap;
    if (!pExclude || ::IsRectEmpty(pExclude) || !overlap.IntersectRect(rect, pExclude))
        return rect;

    if (nFlags & TPM_VERTICAL) {
        CRect above = rect;
        above.OffsetRect(0, pExclude->top - rect.bottom);
        CRect below = rect;
        below.OffsetRect(0, pExclude->bottom - rect.top);
        bool takeBelow;
        if (above.top < rcDesktop.top)
            takeBelow = true;
        else if (below.bottom <= rcDesktop.bottom)
            takeBelow = std::abs(above.top - rect.top) >= std::abs(below.top - rect.top);
        else
            takeBelow = false;
        nFlags = (nFlags & ~kAnimationBits) | (takeBelow ? TPM_VERPOSANIMATION : TPM_VERNEGANIMATION);
        return takeBelow ? below : above;
    }
    CRect toLeft = rect;
    toLeft.OffsetRect(pExclude->left - rect.right, 0);
    CRect toRight = rect;
    toRight.OffsetRect(pExclude->right - rect.left, 0);
    bool takeLeft;
    if (toLeft.left < rcDesktop.left || toRight.right > rcDesktop.right)
        takeLeft = toLeft.left >= rcDesktop.left;
    else
        takeLeft = std::abs(toLeft.left - rect.left) < std::abs(toRight.left - rect.left);
    nFlags = (nFlags & ~kAnimationBits) | (takeLeft ? TPM_HORNEGANIMATION : TPM_HORPOSANIMATION);
    return takeLeft ? toLeft : toRight;
}

// ---------------------------------------------------------------- creation and the modal run

BOOL CToolBarPopup::CreatePopup()
{
    const bool dropShadow = VyxGetWindowsVersionClass() == 4;
    LPCWSTR className =
        AfxRegisterWndClass(CS_SAVEBITS | (dropShadow ? CS_DROPSHADOW : 0), ::LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_BORDER;
    if (!m_bFlatMenuStyle) {
        exStyle |= WS_EX_WINDOWEDGE;
        style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME;
    }
    CWnd* owner = m_pToolBar->GetTopLevelParent();
    return CreateEx(exStyle, className, nullptr, style, 0, 0, 0, 0, owner ? owner->m_hWnd : nullptr, nullptr);
}

int CToolBarPopup::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // With nothing clipped there is nothing to show.
    return FillInnerBar() ? 0 : -1;
}

BOOL CToolBarPopup::FillInnerBar()
{
    CToolBarCtrl& owner = m_pToolBar->GetToolBarCtrl();
    const int option = m_pToolBar->GetTextOption();
    m_bTextLabels = option == 0 || option == 1;
    if (!m_tbCtrl.Create(kInnerBarStyle, CRect(0, 0, 0, 0), this, static_cast<UINT>(m_pToolBar->GetDlgCtrlID())))
        return FALSE;
    m_tbCtrl.SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    if (VyxGetWindowsVersionClass() == 4)
        UxThemeBinder::SetWindowTheme(m_tbCtrl.m_hWnd, L"", L"");
    HIMAGELIST normal = reinterpret_cast<HIMAGELIST>(owner.SendMessage(TB_GETIMAGELIST));
    m_tbCtrl.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal));
    m_tbCtrl.SendMessage(TB_SETHOTIMAGELIST, 0, owner.SendMessage(TB_GETHOTIMAGELIST));
    m_tbCtrl.SendMessage(TB_SETDISABLEDIMAGELIST, 0, owner.SendMessage(TB_GETDISABLEDIMAGELIST));
    int cx = 16, cy = 16;
    if (normal && ImageList_GetIconSize(normal, &cx, &cy))
        m_tbCtrl.SetBitmapSize(CSize(cx, cy));

    CRect client;
    m_pToolBar->GetClientRect(&client);
    const int count = owner.GetButtonCount();
    int added = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        owner.GetButton(i, &button);
        if ((button.fsStyle & BTNS_SEP) || (button.fsState & TBSTATE_HIDDEN))
            continue;
        CRect item(0, 0, 0, 0);
        owner.GetItemRect(i, &item);
        if (item.right <= client.right && item.bottom <= client.bottom)
            continue;
        CString label;
        m_pToolBar->GetButtonText(static_cast<UINT>(button.idCommand), label);
        if (label.IsEmpty()) {
            button.iString = -1;
        } else {
            std::wstring strings(label.GetString());
            strings.push_back(L'\0');
            button.iString = m_tbCtrl.AddStrings(strings.c_str());
        }
        button.fsStyle =
            static_cast<BYTE>((button.fsStyle & ~BTNS_SHOWTEXT) | BTNS_AUTOSIZE | (m_bTextLabels ? BTNS_SHOWTEXT : 0));
        button.fsState &= ~(TBSTATE_WRAP | TBSTATE_HIDDEN);
        m_tbCtrl.AddButtons(1, &button);
        ++added;
    }
    if (added == 0)
        return FALSE;
    if (m_bTextLabels) {
        int widest = 0;
        for (int i = 0; i < added; ++i) {
            CRect item(0, 0, 0, 0);
            m_tbCtrl.GetItemRect(i, &item);
            widest = std::max(widest, static_cast<int>(item.Width()));
        }
        for (int i = 0; i < added; ++i) {
            TBBUTTONINFOW info = {};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_SIZE | TBIF_STYLE;
            m_tbCtrl.GetButtonInfo(i, &info);
            info.fsStyle &= ~BTNS_AUTOSIZE; // a fixed width from here on
            info.cx = static_cast<WORD>(widest);
            m_tbCtrl.SetButtonInfo(i, &info);
        }
    }
    if (added >= 2) {
        for (int i = 0; i < added; ++i) {
            TBBUTTONINFOW info = {};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_STATE;
            m_tbCtrl.GetButtonInfo(i, &info);
            info.fsState |= TBSTATE_WRAP;
            m_tbCtrl.SetButtonInfo(i, &info);
        }
    }
    CRect extent(0, 0, 0, 0);
    for (int i = 0; i < added; ++i) {
        CRect item(0, 0, 0, 0);
        m_tbCtrl.GetItemRect(i, &item);
        extent.UnionRect(extent, item);
    }
    m_tbCtrl.SetWindowPos(nullptr, 0, 0, extent.right, extent.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CToolBarPopup::ShowPopup(UINT nFlags, int x, int y, const RECT* pExclude)
{
    if (s_pOpenPopup || !m_pToolBar || !m_pToolBar->m_hWnd || !CreatePopup())
        return FALSE;
    CRect inner;
    m_tbCtrl.GetWindowRect(&inner);
    CRect frame(0, 0, inner.Width(), inner.Height());
    ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
    CRect desktop;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    CRect place = CalcPosition(frame.Size(), nFlags, x, y, pExclude, desktop);
    SetWindowPos(&wndTopMost, place.left, place.top, place.Width(), place.Height(), SWP_NOACTIVATE);

    const int version = VyxGetWindowsVersionClass();
    VyxWinAppEx* app = VyxGetAppEx();
    if ((version == 1 || version == 3 || version == 4) && !(nFlags & TPM_NOANIMATION) && app &&
        app->IsMenuAnimation()) {
        DWORD animation = AW_SLIDE;
        if (nFlags & TPM_HORPOSANIMATION)
            animation |= AW_HOR_POSITIVE;
        if (nFlags & TPM_HORNEGANIMATION)
            animation |= AW_HOR_NEGATIVE;
        if (nFlags & TPM_VERPOSANIMATION)
            animation |= AW_VER_POSITIVE;
        if (nFlags & TPM_VERNEGANIMATION)
            animation |= AW_VER_NEGATIVE;
        if (!(nFlags & kAnimationBits))
            animation |= AW_HOR_POSITIVE | AW_VER_POSITIVE;
        if (version != 1 && app->IsMenuFade())
            animation = AW_BLEND;
        if (!::AnimateWindow(m_hWnd, 200, animation))
            ShowWindow(SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(SW_SHOWNOACTIVATE);
    }

    s_pOpenPopup = this;
    SetCapture();
    s_hKeyboardHook = ::SetWindowsHookExW(WH_KEYBOARD, &CToolBarPopup::KeyboardProc, nullptr, ::GetCurrentThreadId());
    RunModalLoop(MLF_NOIDLEMSG);
    if (s_hKeyboardHook)
        ::UnhookWindowsHookEx(s_hKeyboardHook);
    s_hKeyboardHook = nullptr;
    s_pOpenPopup = nullptr;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_hWnd)
        DestroyWindow();
    return TRUE;
}

void CToolBarPopup::Close()
{
    if (m_nFlags & WF_CONTINUEMODAL)
        EndModalLoop(0);
    if (m_hWnd && IsWindowVisible())
        ShowWindow(SW_HIDE);
}

LRESULT CToolBarPopup::OnClosePopup(WPARAM, LPARAM)
{
    Close();
    return 0;
}

// ---------------------------------------------------------------- keyboard

void CToolBarPopup::MoveHotItem(int nStep)
{
    const int count = m_tbCtrl.GetButtonCount();
    if (count == 0)
        return;
    int current = m_tbCtrl.GetHotItem();
    if (current < 0)
        current = nStep > 0 ? -1 : count;
    for (int i = 1; i <= count; ++i) {
        int index = ((current + nStep * i) % count + count) % count;
        TBBUTTON button = {};
        m_tbCtrl.GetButton(index, &button);
        if (CanBeHot(button)) {
            m_tbCtrl.SetHotItem(index);
            return;
        }
    }
}

LRESULT CALLBACK CToolBarPopup::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CToolBarPopup* popup = s_pOpenPopup;
    try {
        HWND capture = ::GetCapture();
        if (nCode == HC_ACTION && popup && popup->m_hWnd && (capture == popup->m_hWnd || popup->IsInnerBar(capture))) {
            if (!(lParam & 0x80000000)) { // a key going down
                switch (wParam) {
                case VK_RETURN: {
                    int hot = popup->m_tbCtrl.GetHotItem();
                    TBBUTTON button = {};
                    if (hot >= 0 && popup->m_tbCtrl.GetButton(hot, &button))
                        popup->SendMessage(WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                                           reinterpret_cast<LPARAM>(popup->m_tbCtrl.m_hWnd));
                    else
                        popup->Close();
                    break;
                }
                case VK_MENU:
                case VK_ESCAPE:
                    popup->Close();
                    break;
                case VK_UP:
                    popup->MoveHotItem(-1);
                    break;
                case VK_DOWN:
                    popup->MoveHotItem(1);
                    break;
                default:
                    break;
                }
            }
            return 1; // the popup has every key while it is open
        }
    } catch (...) {
        return 1;
    }
    return ::CallNextHookEx(s_hKeyboardHook, nCode, wParam, lParam);
}

// ---------------------------------------------------------------- mouse

void CToolBarPopup::OnMouseMove(UINT nFlags, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    CRect inner;
    m_tbCtrl.GetWindowRect(&inner);
    m_bOverTbCtrl = inner.PtInRect(screen);
    if (!m_bOverTbCtrl)
        return;
    CPoint local = screen;
    m_tbCtrl.ScreenToClient(&local);
    int hit = m_tbCtrl.HitTest(&local);
    TBBUTTON button = {};
    if (hit >= 0 && m_tbCtrl.GetButton(hit, &button) && CanBeHot(button) && m_tbCtrl.GetHotItem() != hit)
        m_tbCtrl.SetHotItem(hit);
    if (HWND tip = m_tbCtrl.GetToolTips()) {
        MSG msg = {m_tbCtrl.m_hWnd, WM_MOUSEMOVE, nFlags, MAKELPARAM(local.x, local.y), 0, {screen.x, screen.y}};
        ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
}

void CToolBarPopup::OnLButtonDown(UINT nFlags, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(screen)) {
        // Closed, and the press goes on to the window it was meant for.
        Close();
        RepostButtonPress(WM_LBUTTONDOWN, nFlags | MK_LBUTTON, screen);
        return;
    }
    CRect inner;
    m_tbCtrl.GetWindowRect(&inner);
    if (inner.PtInRect(screen)) {
        // The inner bar presses the button itself (it takes the capture until the release).
        CPoint local = screen;
        m_tbCtrl.ScreenToClient(&local);
        m_tbCtrl.SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(local.x, local.y));
    }
}

void PASCAL CToolBarPopup::RepostButtonPress(UINT nMsg, UINT nFlags, POINT ptScreen)
{
    HWND target = ::WindowFromPoint(ptScreen);
    if (!target)
        return;
    LRESULT hit = ::SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y));
    if (hit == HTCLIENT) {
        POINT local = ptScreen;
        ::ScreenToClient(target, &local);
        ::PostMessageW(target, nMsg, nFlags, MAKELPARAM(local.x, local.y));
        return;
    }
    const UINT ncMsg = nMsg == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN : WM_NCLBUTTONDOWN;
    ::PostMessageW(target, ncMsg, static_cast<WPARAM>(hit), MAKELPARAM(ptScreen.x, ptScreen.y));
}

void CToolBarPopup::OnRButtonDown(UINT, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(screen))
        Close();
}

int CToolBarPopup::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATEANDEAT;
}

void CToolBarPopup::OnCaptureChanged(CWnd* pWnd)
{
    HWND next = pWnd ? pWnd->m_hWnd : nullptr;
    if (IsWindowVisible() && next != m_hWnd && !IsInnerBar(next))
        Close();
}

// ---------------------------------------------------------------- commands and notifications

BOOL CToolBarPopup::OnCommand(WPARAM wParam, LPARAM)
{
    const UINT id = LOWORD(wParam);
    Close();
    if (m_pToolBar && m_pToolBar->m_hWnd)
        m_pToolBar->PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return TRUE;
}

BOOL CToolBarPopup::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    *pResult = 0;
    if (header->hwndFrom == m_tbCtrl.m_hWnd) {
        switch (header->code) {
        case NM_RELEASEDCAPTURE:
            if (IsWindowVisible() && (m_nFlags & WF_CONTINUEMODAL))
                SetCapture();
            return TRUE;
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
            *pResult = m_bFlatMenuStyle ? OnFlatCustomDraw(draw) : m_pToolBar->OnCustomDraw(draw);
            return TRUE;
        }
        default:
            break;
        }
    }
    if (header->code == TTN_NEEDTEXTW) {
        auto* text = reinterpret_cast<TOOLTIPTEXTW*>(lParam);
        CString tip;
        if (!m_bTextLabels)
            m_pToolBar->GetButtonTip(static_cast<UINT>(header->idFrom), tip);
        lstrcpynW(text->szText, tip, static_cast<int>(std::size(text->szText)));
        text->lpszText = text->szText;
        return TRUE;
    }
    if (CWnd* parent = m_pToolBar->GetParent())
        *pResult = parent->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}

LRESULT CToolBarPopup::OnFlatCustomDraw(NMTBCUSTOMDRAW* pDraw)
{
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const UINT state = pDraw->nmcd.uItemState;
        const bool disabled = (state & CDIS_DISABLED) != 0;
        const bool hot = (state & (CDIS_HOT | CDIS_SELECTED)) != 0;
        VyxWinAppEx* app = VyxGetAppEx();
        const COLORREF highlight = ::GetSysColor(app && app->IsFlatMenu() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
        if ((hot && !disabled) || (state & CDIS_CHECKED)) {
            // Drawn here whole: the control would paint its own hot face over the colour.
            DrawHighlightedItem(pDraw, highlight);
            return CDRF_SKIPDEFAULT;
        }
        pDraw->clrText = ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
        return CDRF_DODEFAULT | TBCDRF_NOEDGES | TBCDRF_NOOFFSET;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void CToolBarPopup::DrawHighlightedItem(NMTBCUSTOMDRAW* pDraw, COLORREF crHighlight)
{
    CFlatMenuItemPainter::Item item;
    item.hdc = pDraw->nmcd.hdc;
    item.rect = pDraw->nmcd.rc;
    item.fill = crHighlight;
    item.text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_IMAGE | TBIF_STYLE;
    m_tbCtrl.GetButtonInfo(static_cast<int>(pDraw->nmcd.dwItemSpec), &info);
    item.images = reinterpret_cast<HIMAGELIST>(m_tbCtrl.SendMessage(TB_GETHOTIMAGELIST));
    if (!item.images)
        item.images = reinterpret_cast<HIMAGELIST>(m_tbCtrl.SendMessage(TB_GETIMAGELIST));
    item.image = info.iImage;
    item.indentText = true;
    item.dropDown = (info.fsStyle & BTNS_DROPDOWN) != 0;
    if (m_bTextLabels)
        m_pToolBar->GetButtonText(static_cast<UINT>(pDraw->nmcd.dwItemSpec), item.label);
    item.font = reinterpret_cast<HFONT>(m_tbCtrl.SendMessage(WM_GETFONT));
    item.textFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    CFlatMenuItemPainter::Draw(item);
}

// ---------------------------------------------------------------- the flat border

void CToolBarPopup::DrawFlatBorder(CDC* pDC)
{
    CRect window;
    GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
    pDC->FrameRect(window, &shadow);
}

void CToolBarPopup::OnNcPaint()
{
    if (!m_bFlatMenuStyle) {
        Default();
        return;
    }
    CWindowDC dc(this);
    DrawFlatBorder(&dc);
}

LRESULT CToolBarPopup::OnPrint(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default();
    if (m_bFlatMenuStyle && (lParam & PRF_NONCLIENT))
        DrawFlatBorder(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return result;
}
