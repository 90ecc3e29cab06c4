#include "controls/CButtonST.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace {

// Bit 2 of the type marks check boxes (and, as the control was designed, group boxes and
// owner-drawn buttons as they come from a template).
constexpr UINT kCheckBoxTypeBit = 0x02;

BOOL IconSize(HICON hIcon, DWORD* width, DWORD* height)
{
    ICONINFO info = {};
    if (!::GetIconInfo(hIcon, &info))
        return FALSE;
    *width = info.xHotspot * 2;
    *height = info.yHotspot * 2;
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return TRUE;
}

} // namespace

BEGIN_MESSAGE_MAP(CButtonST, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_KILLFOCUS()
ON_WM_CANCELMODE()
ON_WM_ACTIVATE()
ON_WM_ENABLE()
ON_WM_GETDLGCODE()
ON_WM_SETCURSOR()
ON_WM_RBUTTONUP()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
END_MESSAGE_MAP()

CButtonST::CButtonST()
{
    ResetStateColors(FALSE);
}

CButtonST::~CButtonST()
{
    if (m_dcBk.GetSafeHdc() && m_pbmpOldBk)
        m_dcBk.SelectObject(m_pbmpOldBk);
    FreeImages();
    if (m_hCursor)
        ::DestroyCursor(m_hCursor);
    if (m_hMenu)
        ::DestroyMenu(m_hMenu);
}

void CButtonST::PreSubclassWindow()
{
    UINT style = static_cast<UINT>(GetStyle());
    m_nTypeStyle = style & BS_TYPEMASK;
    if (m_nTypeStyle & kCheckBoxTypeBit)
        m_bIsCheckBox = TRUE;
    if (m_nTypeStyle == BS_DEFPUSHBUTTON) {
        m_bIsDefault = TRUE;
        m_nTypeStyle = BS_PUSHBUTTON;
    }
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL CButtonST::PreTranslateMessage(MSG* pMsg)
{
    // The tip's window is made when the mouse first comes to a button that has a tip.
    if (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST && m_bHasTip)
        MakeTip();
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.RelayEvent(pMsg);
    // A double click counts as two clicks.
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- images

void CButtonST::FreeImages(BOOL bCheckForNULL)
{
    (void)bCheckForNULL;
    for (IconSlot& slot : m_csIcons) {
        if (slot.hIcon)
            ::DestroyIcon(slot.hIcon);
    }
    for (BitmapSlot& slot : m_csBitmaps) {
        if (slot.hBitmap)
            ::DeleteObject(slot.hBitmap);
        if (slot.hMask)
            ::DeleteObject(slot.hMask);
    }
    ZeroMemory(m_csIcons, sizeof(m_csIcons));
    ZeroMemory(m_csBitmaps, sizeof(m_csBitmaps));
}

DWORD CButtonST::SetIcons(HICON hIconActive, HICON hIconIdle)
{
    FreeImages();
    if (hIconActive) {
        m_csIcons[0].hIcon = hIconActive;
        if (!IconSize(hIconActive, &m_csIcons[0].dwWidth, &m_csIcons[0].dwHeight)) {
            FreeImages();
            return ResultBadResource;
        }
        if (hIconIdle == GreyIcon()) {
            m_csIcons[1].hIcon = MakeGreyIcon(hIconActive);
            m_csIcons[1].dwWidth = m_csIcons[0].dwWidth;
            m_csIcons[1].dwHeight = m_csIcons[0].dwHeight;
        } else if (hIconIdle) {
            m_csIcons[1].hIcon = hIconIdle;
            if (!IconSize(hIconIdle, &m_csIcons[1].dwWidth, &m_csIcons[1].dwHeight)) {
                FreeImages();
                return ResultBadResource;
            }
        }
    }
    Repaint(TRUE);
    return ResultOk;
}

DWORD CButtonST::SetIconResources(int nIconActive, int nIconIdle)
{
    auto load = [](int id) -> HICON {
        HINSTANCE inst = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_GROUP_ICON);
        return static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0));
    };
    HICON active = load(nIconActive);
    HICON idle = nullptr;
    if (nIconIdle == GreyIconId)
        idle = GreyIcon();
    else if (nIconIdle != 0)
        idle = load(nIconIdle);
    return SetIcons(active, idle);
}

DWORD CButtonST::SetBitmaps(HBITMAP hBitmapActive, COLORREF crTransActive, HBITMAP hBitmapIdle, COLORREF crTransIdle)
{
    FreeImages();
    if (!hBitmapActive) {
        Repaint(TRUE);
        return ResultOk;
    }
    HBITMAP sources[2] = {hBitmapActive, hBitmapIdle};
    COLORREF colours[2] = {crTransActive, crTransIdle};
    for (int i = 0; i < 2; ++i) {
        if (!sources[i])
            continue;
        BitmapSlot& slot = m_csBitmaps[i];
        slot.hBitmap = sources[i];
        slot.crTransparent = colours[i];
        BITMAP info = {};
        if (!::GetObjectW(sources[i], sizeof(info), &info)) {
            FreeImages();
            return ResultBadResource;
        }
        slot.dwWidth = static_cast<DWORD>(info.bmWidth);
        slot.dwHeight = static_cast<DWORD>(info.bmHeight);
        slot.hMask = MakeMask(slot.hBitmap, slot.dwWidth, slot.dwHeight, slot.crTransparent);
        if (!slot.hMask) {
            FreeImages();
            return ResultMaskFailed;
        }
    }
    Repaint(TRUE);
    return ResultOk;
}

DWORD CButtonST::SetBitmapResources(int nBitmapActive, COLORREF crTransActive, int nBitmapIdle, COLORREF crTransIdle)
{
    auto load = [](int id) -> HBITMAP {
        HINSTANCE inst = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_BITMAP);
        return static_cast<HBITMAP>(::LoadImageW(inst, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    };
    HBITMAP active = load(nBitmapActive);
    if (!active)
        return ResultBadResource;
    HBITMAP idle = nBitmapIdle ? load(nBitmapIdle) : nullptr;
    return SetBitmaps(active, crTransActive, idle, crTransIdle);
}

HBITMAP CButtonST::MakeMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight, COLORREF crTransColor)
{
    HBITMAP mask = ::CreateBitmap(static_cast<int>(dwWidth), static_cast<int>(dwHeight), 1, 1, nullptr);
    if (!mask)
        return nullptr;
    HDC srcDC = ::CreateCompatibleDC(nullptr);
    HDC maskDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = ::SelectObject(srcDC, hSourceBitmap);
    HGDIOBJ oldMask = ::SelectObject(maskDC, mask);
    // Copying colour to monochrome makes the background colour's pixels 1.
    ::SetBkColor(srcDC, crTransColor);
    ::BitBlt(maskDC, 0, 0, static_cast<int>(dwWidth), static_cast<int>(dwHeight), srcDC, 0, 0, SRCCOPY);
    // Then the transparent pixels of the source become black, so SRCPAINT leaves the face there.
    ::SetTextColor(srcDC, RGB(255, 255, 255));
    ::SetBkColor(srcDC, RGB(0, 0, 0));
    ::BitBlt(srcDC, 0, 0, static_cast<int>(dwWidth), static_cast<int>(dwHeight), maskDC, 0, 0, SRCAND);
    ::SelectObject(maskDC, oldMask);
    ::SelectObject(srcDC, oldSrc);
    ::DeleteDC(maskDC);
    ::DeleteDC(srcDC);
    return mask;
}

HICON CButtonST::MakeGreyIcon(HICON hIcon) const
{
    ICONINFO info = {};
    if (!::GetIconInfo(hIcon, &info))
        return nullptr;
    int width = static_cast<int>(info.xHotspot * 2);
    int height = static_cast<int>(info.yHotspot * 2);
    HICON grey = nullptr;
    BITMAP colourInfo = {};
    if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof(colourInfo), &colourInfo)) {
        HBITMAP greyBitmap = ::CreateBitmap(width, height, colourInfo.bmPlanes, colourInfo.bmBitsPixel, nullptr);
        if (greyBitmap) {
            HDC srcDC = ::CreateCompatibleDC(nullptr);
            HDC dstDC = ::CreateCompatibleDC(nullptr);
            HGDIOBJ oldSrc = ::SelectObject(srcDC, info.hbmColor);
            HGDIOBJ oldDst = ::SelectObject(dstDC, greyBitmap);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    COLORREF pixel = ::GetPixel(srcDC, x, y);
                    if (pixel != RGB(0, 0, 0)) {
                        DWORD g = static_cast<DWORD>(0.587 * GetGValue(pixel) + 0.299 * GetRValue(pixel) +
                                                     0.114 * GetBValue(pixel)) &
                                  0xFF;
                        pixel = RGB(g, g, g);
                    }
                    ::SetPixel(dstDC, x, y, pixel);
                }
            }
            ::SelectObject(dstDC, oldDst);
            ::SelectObject(srcDC, oldSrc);
            ::DeleteDC(dstDC);
            ::DeleteDC(srcDC);
            ICONINFO greyInfo = info;
            greyInfo.hbmColor = greyBitmap;
            grey = ::CreateIconIndirect(&greyInfo);
            ::DeleteObject(greyBitmap);
        }
    }
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return grey;
}

void CButtonST::FitToImage()
{
    DWORD width = 0, height = 0;
    if (m_csIcons[0].hIcon) {
        width = m_csIcons[0].dwWidth;
        height = m_csIcons[0].dwHeight;
    } else if (m_csBitmaps[0].hBitmap) {
        width = m_csBitmaps[0].dwWidth;
        height = m_csBitmaps[0].dwHeight;
    } else {
        return;
    }
    m_ptImageOrg.x = 0;
    m_ptImageOrg.y = 0;
    SetWindowPos(nullptr, -1, -1, static_cast<int>(width), static_cast<int>(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- colours and flags

DWORD CButtonST::SetStateColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint)
{
    if (byColorIndex >= 6)
        return ResultBadColorIndex;
    m_crColors[byColorIndex] = crColor;
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::GetStateColor(BYTE byColorIndex, COLORREF* crpColor) const
{
    if (byColorIndex >= 6)
        return ResultBadColorIndex;
    *crpColor = m_crColors[byColorIndex];
    return ResultOk;
}

COLORREF CButtonST::ShiftColor(COLORREF crColor, short shOffset)
{
    int channels[3] = {GetRValue(crColor), GetGValue(crColor), GetBValue(crColor)};
    int shift = 0;
    if (shOffset > 0) {
        shift = shOffset;
        for (int c : channels)
            shift = std::min(shift, 255 - c);
    } else {
        shift = -255;
        for (int c : channels)
            shift = std::max(shift, std::max<int>(shOffset, -c));
    }
    return RGB(channels[0] + shift, channels[1] + shift, channels[2] + shift);
}

DWORD CButtonST::ShiftStateColor(BYTE byColorIndex, short shOffset, BOOL bRepaint)
{
    if (byColorIndex >= 6)
        return ResultBadColorIndex;
    if (shOffset < -255 || shOffset > 255)
        return ResultBadArgument;
    m_crColors[byColorIndex] = ShiftColor(m_crColors[byColorIndex], shOffset);
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::ResetStateColors(BOOL bRepaint)
{
    for (int i = 0; i < 6; ++i)
        m_crColors[i] = ::GetSysColor((i % 2) ? COLOR_BTNTEXT : COLOR_BTNFACE);
    Repaint(bRepaint);
    return ResultOk;
}

void CButtonST::Repaint(BOOL bRepaint)
{
    if (bRepaint && GetSafeHwnd())
        InvalidateRect(nullptr, TRUE);
}

DWORD CButtonST::SetFlat(BOOL bFlat, BOOL bRepaint)
{
    m_bIsFlat = bFlat;
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::SetBorderOnFlat(BOOL bEnable, BOOL bRepaint)
{
    m_bDrawBorder = bEnable;
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::SetFocusOnFlat(BOOL bEnable, BOOL bRepaint)
{
    m_bDrawFlatFocus = bEnable;
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::SetImageAlign(BYTE byAlign, BOOL bRepaint)
{
    if (byAlign > AlignNone)
        return ResultBadAlign;
    m_byAlign = byAlign;
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::SetChecked(BOOL bChecked, BOOL bRepaint)
{
    if (m_bIsCheckBox) {
        m_nCheck = bChecked ? 1 : 0;
        Repaint(bRepaint);
    }
    return ResultOk;
}

DWORD CButtonST::SetPressedOffset(BYTE byStyle, BOOL bRepaint)
{
    if (byStyle == 0)
        m_ptPressedOffset = {1, 1};
    else if (byStyle == 1)
        m_ptPressedOffset = {0, 2};
    else
        return ResultBadPressedStyle;
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::SetForcedPressed(BOOL bForced, BOOL bRepaint)
{
    m_bForcedPressed = bForced;
    if (bRepaint && GetSafeHwnd()) {
        if (m_bDirectRepaint) {
            CRect client;
            GetClientRect(&client);
            PaintButton(nullptr, 0, client, TRUE);
        } else {
            InvalidateRect(nullptr, TRUE);
        }
    }
    return ResultOk;
}

DWORD CButtonST::SetHoverWhenInactive(BOOL bAlways)
{
    m_bAlwaysTrack = bAlways;
    return ResultOk;
}

DWORD CButtonST::SetHoverCursor(int nCursorId, BOOL bRepaint)
{
    if (m_hCursor) {
        ::DestroyCursor(m_hCursor);
        m_hCursor = nullptr;
    }
    if (nCursorId == 0) {
        Repaint(bRepaint);
        return ResultOk;
    }
    HINSTANCE inst = AfxFindResourceHandle(MAKEINTRESOURCEW(nCursorId), RT_GROUP_CURSOR);
    m_hCursor = static_cast<HCURSOR>(::LoadImageW(inst, MAKEINTRESOURCEW(nCursorId), IMAGE_CURSOR, 0, 0, 0));
    Repaint(bRepaint);
    return m_hCursor ? ResultOk : ResultBadResource;
}

DWORD CButtonST::SetDropMenu(int nMenuId, CWnd* pParentWnd, BOOL bRepaint)
{
    if (m_hMenu) {
        ::DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        m_hParentWndMenu = nullptr;
        m_bMenuDisplayed = FALSE;
    }
    if (nMenuId) {
        HINSTANCE inst = AfxFindResourceHandle(MAKEINTRESOURCEW(nMenuId), RT_MENU);
        m_hMenu = ::LoadMenuW(inst, MAKEINTRESOURCEW(nMenuId));
        m_hParentWndMenu = pParentWnd->GetSafeHwnd();
        if (!m_hMenu) {
            m_hParentWndMenu = nullptr;
            Repaint(bRepaint);
            return ResultBadResource;
        }
    }
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::SetDropMenuNotify(CWnd* pWnd, UINT nMessage, LPARAM lParam)
{
    m_hMenuNotifyWnd = pWnd->GetSafeHwnd();
    m_nMenuNotifyMessage = nMessage;
    m_lMenuNotifyParam = lParam;
    return ResultOk;
}

DWORD CButtonST::SetLink(LPCWSTR lpszLink)
{
    ZeroMemory(m_szURL, sizeof(m_szURL));
    if (lpszLink)
        lstrcpynW(m_szURL, lpszLink, _countof(m_szURL));
    return ResultOk;
}

DWORD CButtonST::SetTransparent(BOOL bRepaint)
{
    m_bDrawTransparent = TRUE;
    if (m_dcBk.GetSafeHdc() && m_pbmpOldBk)
        m_dcBk.SelectObject(m_pbmpOldBk);
    m_pbmpOldBk = nullptr;
    m_bmpBk.DeleteObject();
    m_dcBk.DeleteDC();
    Repaint(bRepaint);
    return ResultOk;
}

DWORD CButtonST::TakeBackground(CDC* pDC)
{
    if (!m_bDrawTransparent || !pDC)
        return ResultBadArgument;
    CRect client, window;
    GetClientRect(&client);
    GetWindowRect(&window);
    GetParent()->ScreenToClient(&window);
    if (m_dcBk.GetSafeHdc() && m_pbmpOldBk)
        m_dcBk.SelectObject(m_pbmpOldBk);
    m_pbmpOldBk = nullptr;
    m_bmpBk.DeleteObject();
    m_dcBk.DeleteDC();
    m_dcBk.CreateCompatibleDC(pDC);
    m_bmpBk.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
    m_pbmpOldBk = m_dcBk.SelectObject(&m_bmpBk);
    m_dcBk.BitBlt(0, 0, client.Width(), client.Height(), pDC, window.left, window.top, SRCCOPY);
    return ResultOk;
}

// ---------------------------------------------------------------- tooltip

void CButtonST::MakeTip()
{
    if (m_ToolTip.GetSafeHwnd() || !GetSafeHwnd())
        return;
    if (!m_ToolTip.Create(this, m_dwToolTipStyle))
        return;
    m_ToolTip.Activate(FALSE);
    m_ToolTip.SetMaxTipWidth(400);
    if (m_bHasTip)
        ApplyTip();
}

void CButtonST::ApplyTip()
{
    if (m_ToolTip.GetToolCount() == 0) {
        CRect client;
        GetClientRect(&client);
        m_ToolTip.AddTool(this, m_strTip, &client, 1);
    }
    m_ToolTip.UpdateTipText(m_strTip, this, 1);
    m_ToolTip.Activate(m_bTipActive);
}

// The text is kept until the tip's window is made: a tip window is a top-level window of its own,
// and a bar of buttons would make one per button before any is pointed at.
void CButtonST::SetTipText(LPCWSTR lpszText, BOOL bActivate)
{
    if (!lpszText)
        return;
    m_strTip = lpszText;
    m_bTipActive = bActivate;
    m_bHasTip = TRUE;
    if (m_ToolTip.GetSafeHwnd())
        ApplyTip();
}

CToolTipCtrl& CButtonST::GetToolTip()
{
    if (m_bHasTip)
        MakeTip();
    return m_ToolTip;
}

void CButtonST::SetTipText(int nText, BOOL bActivate)
{
    CString text;
    text.LoadString(static_cast<UINT>(nText));
    if (text.IsEmpty())
        return;
    SetTipText(static_cast<LPCWSTR>(text), bActivate);
}

void CButtonST::ActivateTip(BOOL bActivate)
{
    if (!m_bHasTip)
        return;
    m_bTipActive = bActivate;
    if (m_ToolTip.GetSafeHwnd() && m_ToolTip.GetToolCount() != 0)
        m_ToolTip.Activate(bActivate);
}

void CButtonST::UseBalloonTip()
{
    m_dwToolTipStyle |= TTS_BALLOON;
}

// ---------------------------------------------------------------- messages

BOOL CButtonST::OnClicked()
{
    SetFocus();
    if (m_bIsCheckBox) {
        m_nCheck = !m_nCheck;
        Invalidate();
    } else if (m_hMenu) {
        m_bMenuDisplayed = TRUE;
        Invalidate();
        UpdateWindow();
        HMENU sub = ::GetSubMenu(m_hMenu, 0);
        if (m_hMenuNotifyWnd)
            ::SendMessageW(m_hMenuNotifyWnd, m_nMenuNotifyMessage, reinterpret_cast<WPARAM>(sub), m_lMenuNotifyParam);
        CRect window;
        GetWindowRect(&window);
        // A missing owner would make the menu refuse to open; the parent stands in.
        HWND owner = m_hParentWndMenu ? m_hParentWndMenu : ::GetParent(m_hWnd);
        UINT command = static_cast<UINT>(::TrackPopupMenuEx(sub, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                                            window.left, window.bottom, owner, nullptr));
        m_bMenuDisplayed = FALSE;
        Invalidate();
        if (command)
            ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else if (m_szURL[0]) {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = m_szURL;
        info.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExW(&info);
    }
    // The parent still receives BN_CLICKED.
    return FALSE;
}

HBRUSH CButtonST::CtlColor(CDC*, UINT)
{
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CButtonST::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    if (!m_bIsFlat)
        return;
    CPoint screen = point;
    ClientToScreen(&screen);
    HWND under = ::WindowFromPoint(screen);
    if ((nFlags & MK_LBUTTON) && !m_bMouseOnButton)
        return;
    if (!m_bAlwaysTrack && !::GetActiveWindow())
        return;
    if (under == m_hWnd) {
        if (!m_bMouseOnButton) {
            m_bMouseOnButton = TRUE;
            Invalidate();
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof(track);
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = m_hWnd;
            ::TrackMouseEvent(&track);
        }
    } else {
        EndHover();
    }
}

void CButtonST::EndHover(BOOL bRepaint)
{
    if (!m_bIsFlat || !m_bMouseOnButton)
        return;
    m_bMouseOnButton = FALSE;
    if (!bRepaint || !GetSafeHwnd())
        return;
    if (m_bDirectRepaint) {
        CRect client;
        GetClientRect(&client);
        PaintButton(nullptr, 0, client, TRUE);
    } else {
        InvalidateRect(nullptr, TRUE);
    }
}

void CButtonST::OnMouseLeave()
{
    CButton::OnMouseLeave();
    EndHover();
}

void CButtonST::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    EndHover();
}

void CButtonST::OnCancelMode()
{
    CButton::OnCancelMode();
    EndHover();
}

void CButtonST::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        EndHover();
}

void CButtonST::OnEnable(BOOL bEnable)
{
    CButton::OnEnable(bEnable);
    // Only a button that held the focus hands it on; others leave the focus where it is.
    if (!bEnable && ::GetFocus() == m_hWnd) {
        CWnd* parent = GetParent();
        if (parent) {
            CWnd* next = parent->GetNextDlgTabItem(this, FALSE);
            if (next && next != this)
                next->SetFocus();
            else
                parent->SetFocus();
        }
    }
    EndHover();
}

UINT CButtonST::OnGetDlgCode()
{
    UINT code = CButton::OnGetDlgCode();
    code |= m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}

BOOL CButtonST::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CButtonST::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_RBUTTONUP, nFlags, MAKELPARAM(point.x, point.y));
}

void CButtonST::OnSysColorChange()
{
    CButton::OnSysColorChange();
    if (m_dcBk.GetSafeHdc() && m_pbmpOldBk)
        m_dcBk.SelectObject(m_pbmpOldBk);
    m_pbmpOldBk = nullptr;
    m_bmpBk.DeleteObject();
    m_dcBk.DeleteDC();
    ResetStateColors(TRUE);
}

LRESULT CButtonST::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    UINT newType = static_cast<UINT>(wParam) & BS_TYPEMASK;
    if (newType == BS_DEFPUSHBUTTON)
        m_bIsDefault = TRUE;
    else if (newType == BS_PUSHBUTTON)
        m_bIsDefault = FALSE;
    return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CButtonST::OnGetCheck(WPARAM, LPARAM)
{
    return m_nCheck;
}

LRESULT CButtonST::OnSetCheck(WPARAM wParam, LPARAM)
{
    if (m_bIsCheckBox) {
        m_nCheck = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? 1 : 0;
        Invalidate();
    }
    return 0;
}

// ---------------------------------------------------------------- painting

void CButtonST::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* dc = CDC::FromHandle(lpDIS->hDC);
    PaintButton(dc, lpDIS->itemState, lpDIS->rcItem, FALSE);
}

void CButtonST::PaintButton(CDC* pDC, UINT nState, CRect rcItem, BOOL bDirect)
{
    CDC* ownDC = nullptr;
    if (!pDC) {
        ownDC = GetDC();
        if (!ownDC)
            return;
        pDC = ownDC;
    }
    if (m_bIsCheckBox)
        m_bIsPressed = (nState & ODS_SELECTED) || m_nCheck == 1;
    else
        m_bIsPressed = (nState & ODS_SELECTED) || m_bMenuDisplayed || m_bForcedPressed;
    m_bIsFocused = (nState & ODS_FOCUS) != 0;
    m_bIsDisabled = (nState & ODS_DISABLED) != 0;

    pDC->SetBkMode(TRANSPARENT);
    CRect itemRect = rcItem;
    CRect faceRect = rcItem;
    if (m_bDrawTransparent) {
        PaintBackgroundSnapshot(pDC);
    } else if (!bDirect || m_bForcedPressed) {
        PaintFace(pDC, &faceRect);
    } else {
        pDC->FillSolidRect(&faceRect, m_crColors[ColorBkIdle]);
    }
    PaintFrame(pDC, &faceRect);

    CString title;
    GetWindowText(title);
    BOOL hasTitle = !title.IsEmpty();
    CRect captionRect = itemRect;
    if (m_csIcons[0].hIcon)
        PaintIcon(pDC, hasTitle, &itemRect, &captionRect, m_bIsPressed, m_bIsDisabled);
    if (m_csBitmaps[0].hBitmap) {
        pDC->SetBkColor(RGB(255, 255, 255));
        PaintBitmap(pDC, hasTitle, &itemRect, &captionRect, m_bIsPressed, m_bIsDisabled);
    }
    if (hasTitle) {
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        HGDIOBJ oldFont = font ? ::SelectObject(pDC->GetSafeHdc(), font) : nullptr;
        PaintCaption(pDC, title, &itemRect, &captionRect, m_bIsPressed, m_bIsDisabled);
        if (oldFont)
            ::SelectObject(pDC->GetSafeHdc(), oldFont);
    }
    if ((!m_bIsFlat || m_bDrawFlatFocus) && m_bIsFocused) {
        CRect focus = itemRect;
        focus.DeflateRect(3, 3);
        pDC->DrawFocusRect(&focus);
    }
    if (ownDC)
        ReleaseDC(ownDC);
}

void CButtonST::PaintBackgroundSnapshot(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (!m_dcBk.GetSafeHdc()) {
        CWnd* parent = GetParent();
        if (parent) {
            CRect window;
            GetWindowRect(&window);
            parent->ScreenToClient(&window);
            CClientDC parentDC(parent);
            m_dcBk.CreateCompatibleDC(&parentDC);
            m_bmpBk.CreateCompatibleBitmap(&parentDC, client.Width(), client.Height());
            m_pbmpOldBk = m_dcBk.SelectObject(&m_bmpBk);
            m_dcBk.BitBlt(0, 0, client.Width(), client.Height(), &parentDC, window.left, window.top, SRCCOPY);
        }
    }
    if (m_dcBk.GetSafeHdc())
        pDC->BitBlt(0, 0, client.Width(), client.Height(), &m_dcBk, 0, 0, SRCCOPY);
}

void CButtonST::PaintFace(CDC* pDC, CRect* pRect)
{
    if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
        CBrush black(RGB(0, 0, 0));
        pDC->FrameRect(pRect, &black);
        pRect->DeflateRect(1, 1);
    }
    COLORREF colour = m_crColors[ColorBkIdle];
    if (m_bMouseOnButton || m_bIsPressed)
        colour = m_crColors[ColorBkHot];
    else if (m_bIsFocused)
        colour = m_crColors[ColorBkFocus];
    pDC->FillSolidRect(pRect, colour);
}

void CButtonST::PaintFrame(CDC* pDC, CRect* pRect)
{
    if (m_bIsPressed) {
        if (m_bIsFlat) {
            if (m_bDrawBorder)
                pDC->Draw3dRect(pRect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHILIGHT));
        } else {
            CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
            pDC->FrameRect(pRect, &shadow);
        }
        return;
    }
    if (!m_bIsFlat) {
        const CRect& r = *pRect;
        struct Line
        {
            int colour;
            POINT points[3];
        };
        const Line lines[4] = {
            {COLOR_BTNHILIGHT, {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}}},
            {COLOR_3DLIGHT, {{r.left + 1, r.bottom - 1}, {r.left + 1, r.top + 1}, {r.right, r.top + 1}}},
            {COLOR_3DDKSHADOW, {{r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}}},
            {COLOR_BTNSHADOW, {{r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top}}},
        };
        for (const Line& line : lines) {
            CPen pen(PS_SOLID, 1, ::GetSysColor(line.colour));
            CPen* old = pDC->SelectObject(&pen);
            pDC->MoveTo(line.points[0]);
            pDC->LineTo(line.points[1]);
            pDC->LineTo(line.points[2]);
            pDC->SelectObject(old);
        }
    } else if (m_bMouseOnButton && m_bDrawBorder) {
        pDC->Draw3dRect(pRect, ::GetSysColor(COLOR_BTNHILIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
}

CRect CButtonST::PlaceImage(BOOL bHasTitle, const RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, DWORD dwWidth,
                            DWORD dwHeight) const
{
    CRect image = *rpItem;
    const CRect item = *rpItem;
    const int w = static_cast<int>(dwWidth);
    const int h = static_cast<int>(dwHeight);
    switch (m_byAlign) {
    case AlignLeft:
        if (bHasTitle) {
            image.left += m_ptImageOrg.x;
            rpTitle->left += m_ptImageOrg.x + w;
        } else {
            image.left += (item.Width() - w) / 2;
        }
        image.top += (item.Height() - h) / 2;
        break;
    case AlignAbove:
        image.left += (item.Width() - w) / 2;
        if (bHasTitle) {
            image.top = m_ptImageOrg.y;
            rpTitle->top += h;
        } else {
            image.top += (item.Height() - h) / 2;
        }
        break;
    case AlignRight:
        if (!bHasTitle) {
            image.left += (item.Width() - w) / 2;
        } else {
            rpTitle->right -= m_ptImageOrg.x + rpTitle->left + w;
            rpTitle->left = m_ptImageOrg.x;
            CRect client;
            if (GetSafeHwnd())
                const_cast<CButtonST*>(this)->GetClientRect(&client);
            else
                client = item;
            image.left = client.right - m_ptImageOrg.x - w;
            image.top += (item.Height() - h) / 2;
        }
        break;
    default:
        break;
    }
    if (bIsPressed && !m_bIsCheckBox)
        image.OffsetRect(m_ptPressedOffset.x, m_ptPressedOffset.y);
    return image;
}

int CButtonST::ImageSlot(bool bIdleSet, BOOL bIsPressed) const
{
    return (!bIsPressed && (m_bIsCheckBox || !m_bMouseOnButton) && bIdleSet) ? 1 : 0;
}

void CButtonST::PaintIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, BOOL bIsDisabled)
{
    const IconSlot& slot = m_csIcons[ImageSlot(m_csIcons[1].hIcon != nullptr, bIsPressed)];
    CRect image = PlaceImage(bHasTitle, rpItem, rpTitle, bIsPressed, slot.dwWidth, slot.dwHeight);
    pDC->DrawState(image.TopLeft(), image.Size(), slot.hIcon, bIsDisabled ? DSS_DISABLED : DSS_NORMAL,
                   static_cast<HBRUSH>(nullptr));
}

void CButtonST::PaintBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, BOOL bIsDisabled)
{
    const BitmapSlot& slot = m_csBitmaps[ImageSlot(m_csBitmaps[1].hBitmap != nullptr, bIsPressed)];
    CRect image = PlaceImage(bHasTitle, rpItem, rpTitle, bIsPressed, slot.dwWidth, slot.dwHeight);
    const int w = static_cast<int>(slot.dwWidth);
    const int h = static_cast<int>(slot.dwHeight);

    CDC bitmapDC, maskDC;
    bitmapDC.CreateCompatibleDC(pDC);
    maskDC.CreateCompatibleDC(pDC);
    HGDIOBJ oldBitmap = ::SelectObject(bitmapDC, slot.hBitmap);
    HGDIOBJ oldMask = ::SelectObject(maskDC, slot.hMask);
    if (!bIsDisabled || !m_bShowDisabledBitmap) {
        pDC->BitBlt(image.left, image.top, w, h, &maskDC, 0, 0, SRCAND);
        pDC->BitBlt(image.left, image.top, w, h, &bitmapDC, 0, 0, SRCPAINT);
    } else {
        CDC combinedDC;
        combinedDC.CreateCompatibleDC(pDC);
        CBitmap combined;
        combined.CreateCompatibleBitmap(pDC, w, h);
        CBitmap* old = combinedDC.SelectObject(&combined);
        combinedDC.FillSolidRect(0, 0, w, h, RGB(255, 255, 255));
        combinedDC.BitBlt(0, 0, w, h, &maskDC, 0, 0, SRCAND);
        combinedDC.BitBlt(0, 0, w, h, &bitmapDC, 0, 0, SRCPAINT);
        combinedDC.SelectObject(old);
        pDC->DrawState(image.TopLeft(), CSize(w, h), static_cast<HBITMAP>(combined.GetSafeHandle()), DSS_DISABLED,
                       static_cast<HBRUSH>(nullptr));
    }
    ::SelectObject(maskDC, oldMask);
    ::SelectObject(bitmapDC, oldBitmap);
}

void CButtonST::PaintCaption(CDC* pDC, LPCWSTR lpszText, RECT*, CRect* rpTitle, BOOL bIsPressed, BOOL bIsDisabled)
{
    if (bIsPressed && !m_bIsCheckBox)
        rpTitle->OffsetRect(m_ptPressedOffset.x, m_ptPressedOffset.y);
    CRect centred = *rpTitle;
    pDC->DrawText(lpszText, -1, &centred, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    centred.OffsetRect((rpTitle->Width() - centred.Width()) / 2, (rpTitle->Height() - centred.Height()) / 2);
    pDC->SetBkMode(TRANSPARENT);
    if (bIsDisabled) {
        centred.OffsetRect(1, 1);
        pDC->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
        pDC->DrawText(lpszText, -1, &centred, DT_WORDBREAK | DT_CENTER);
        centred.OffsetRect(-1, -1);
        pDC->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
        pDC->DrawText(lpszText, -1, &centred, DT_WORDBREAK | DT_CENTER);
        return;
    }
    int fg = ColorFgIdle, bk = ColorBkIdle;
    if (m_bMouseOnButton || bIsPressed) {
        fg = ColorFgHot;
        bk = ColorBkHot;
    } else if (m_bIsFocused) {
        fg = ColorFgFocus;
        bk = ColorBkFocus;
    }
    pDC->SetTextColor(m_crColors[fg]);
    pDC->SetBkColor(m_crColors[bk]);
    pDC->DrawText(lpszText, -1, &centred, DT_WORDBREAK | DT_CENTER);
}
