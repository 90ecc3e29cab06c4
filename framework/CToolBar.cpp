#include "framework/CToolBar.h"
#include "framework/CCmdUI.h"
#include "framework/CDC.h"
#include "framework/CException.h"
#include "framework/CFrameWnd.h"
#include "framework/ModuleState.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

// A button's update: enable and check change the button's state bits.
class CToolCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CToolBar*>(m_pOther);
        UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
        if (!bOn)
            style = (style | TBBS_DISABLED) & ~TBBS_PRESSED; // a disabled button is never shown pressed
        bar->SetButtonStyle(static_cast<int>(m_nIndex), style);
    }
    void SetCheck(int nCheck) override
    {
        auto* bar = static_cast<CToolBar*>(m_pOther);
        UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        bar->SetButtonStyle(static_cast<int>(m_nIndex), style | TBBS_CHECKBOX);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCWSTR) override {}
};

} // namespace

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15), m_hbmImageWell(nullptr)
{
    // The control has its own margins: the bar adds little.
    m_cxLeftBorder = m_cxRightBorder = 1;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar()
{
    m_wndCtrl.m_hWnd = nullptr;
    if (m_hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder),
                    nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    SetBorders(rcBorders);
    m_dwStyle = dwStyle & CBRS_ALL;
    if (nID == 0xE800)
        m_dwStyle |= CBRS_HIDE_INPLACE;
    // The bar lays itself out: the control must not align or size itself in its parent.
    DWORD style = (dwStyle & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | dwCtrlStyle;
    if (!CWnd::Create(TOOLBARCLASSNAMEW, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (m_dwStyle & CBRS_TOOLTIPS)
        EnableToolTips(TRUE);
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const
{
    m_wndCtrl.m_hWnd = m_hWnd;
    return m_wndCtrl;
}

// ---------------------------------------------------------------- sizes and images

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (!m_hWnd)
        return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight)
{
    // The spare height goes to the borders above and below the buttons.
    int spare = std::max(cyHeight - static_cast<int>(m_sizeButton.cy), 0);
    m_cyTopBorder = spare / 2;
    m_cyBottomBorder = spare - m_cyTopBorder;
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

BOOL CToolBar::LoadToolBar(LPCWSTR lpszResourceName)
{
    const LPCWSTR type = MAKEINTRESOURCEW(241);
    HINSTANCE instance = AfxFindResourceHandle(lpszResourceName, type);
    HRSRC resource = ::FindResourceW(instance, lpszResourceName, type);
    HGLOBAL handle = resource ? ::LoadResource(instance, resource) : nullptr;
    const WORD* data = handle ? static_cast<const WORD*>(::LockResource(handle)) : nullptr;
    DWORD size = resource ? ::SizeofResource(instance, resource) : 0;
    if (!data || size < 8 || data[0] != 1)
        return FALSE;
    // version, image width, image height, count, then the ids (each within the resource).
    const WORD count = std::min<WORD>(data[3], static_cast<WORD>((size - 8) / 2));
    std::vector<UINT> ids(data + 4, data + 4 + count);
    if (!SetButtons(ids.data(), static_cast<int>(ids.size())))
        return FALSE;
    CSize image(data[1], data[2]);
    SetSizes(CSize(image.cx + 7, image.cy + 7), image);
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCWSTR lpszResourceName)
{
    HINSTANCE instance = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    // The standard button colours of the bitmap follow the system's.
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(
        ::LoadImageW(instance, lpszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS));
    return bitmap ? SetBitmap(bitmap) : FALSE;
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell)
{
    BITMAP info = {};
    if (!hbmImageWell || !::GetObjectW(hbmImageWell, sizeof(info), &info))
        return FALSE;
    int images = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
    TBADDBITMAP add = {nullptr, reinterpret_cast<UINT_PTR>(hbmImageWell)};
    if (m_hbmImageWell) {
        TBREPLACEBITMAP replace = {nullptr, reinterpret_cast<UINT_PTR>(m_hbmImageWell), nullptr,
                                   reinterpret_cast<UINT_PTR>(hbmImageWell), images};
        SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace));
        ::DeleteObject(m_hbmImageWell);
    } else if (SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&add)) == -1) {
        ::DeleteObject(hbmImageWell);
        return FALSE;
    }
    m_hbmImageWell = hbmImageWell;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    // The old buttons go first.
    for (int n = static_cast<int>(SendMessage(TB_BUTTONCOUNT)); n > 0; --n)
        SendMessage(TB_DELETEBUTTON, 0);
    if (!lpIDArray) {
        // Empty buttons to be filled by SetButtonInfo.
        std::vector<TBBUTTON> empty(static_cast<size_t>(std::max(nIDCount, 0)));
        for (TBBUTTON& button : empty)
            button.fsStyle = TBSTYLE_SEP;
        return nIDCount <= 0 || SendMessage(TB_ADDBUTTONSW, empty.size(), reinterpret_cast<LPARAM>(empty.data()));
    }
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button = {};
        button.idCommand = static_cast<int>(lpIDArray[i]);
        button.fsState = TBSTATE_ENABLED;
        if (lpIDArray[i] == 0) {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 6; // a separator's width
        } else {
            button.fsStyle = TBSTYLE_BUTTON;
            button.iBitmap = image++;
        }
        buttons.push_back(button);
    }
    if (buttons.empty())
        return TRUE;
    m_nCount = nIDCount;
    return SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

// ---------------------------------------------------------------- buttons

void CToolBar::GetButtonRaw(int nIndex, TBBUTTON* pButton) const
{
    *pButton = {};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(pButton)))
        AfxThrowInvalidArgException();
    pButton->fsState ^= TBSTATE_ENABLED; // TBBS_DISABLED is the enabled bit turned over
}

void CToolBar::SetButtonRaw(int nIndex, TBBUTTON* pButton)
{
    TBBUTTON current;
    GetButtonRaw(nIndex, &current);
    pButton->fsState ^= TBSTATE_ENABLED;
    current.fsState ^= TBSTATE_ENABLED;
    if (current.idCommand == pButton->idCommand && current.iBitmap == pButton->iBitmap &&
        current.fsStyle == pButton->fsStyle && current.fsState == pButton->fsState)
        return; // unchanged: no repaint
    // Only state changes need no rebuild of the button. Set by command where the command names
    // this button: the control measures every button again when a button's information is set.
    if (current.idCommand == pButton->idCommand && current.iBitmap == pButton->iBitmap &&
        current.fsStyle == pButton->fsStyle) {
        if (SendMessage(TB_COMMANDTOINDEX, static_cast<WPARAM>(pButton->idCommand)) == nIndex &&
            SendMessage(TB_SETSTATE, static_cast<WPARAM>(pButton->idCommand), MAKELONG(pButton->fsState, 0)))
            return;
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = pButton->fsState;
        SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
        return;
    }
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_IMAGE | TBIF_STATE | TBIF_STYLE;
    info.idCommand = pButton->idCommand;
    info.iImage = pButton->iBitmap;
    info.fsState = pButton->fsState;
    info.fsStyle = pButton->fsStyle;
    if (pButton->fsStyle & TBSTYLE_SEP) {
        info.dwMask |= TBIF_SIZE;
        info.cx = static_cast<WORD>(pButton->iBitmap); // a separator's image is its width
    }
    SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        if (static_cast<UINT>(button.idCommand) == nIDFind)
            return i;
    }
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button;
    GetButtonRaw(nIndex, &button);
    return static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button;
    GetButtonRaw(nIndex, &button);
    return MAKELONG(button.fsStyle, button.fsState);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTON button;
    GetButtonRaw(nIndex, &button);
    button.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    button.fsState = static_cast<BYTE>(HIWORD(nStyle));
    SetButtonRaw(nIndex, &button);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON button;
    GetButtonRaw(nIndex, &button);
    nID = static_cast<UINT>(button.idCommand);
    nStyle = MAKELONG(button.fsStyle, button.fsState);
    iImage = button.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    TBBUTTON button;
    GetButtonRaw(nIndex, &button);
    button.idCommand = static_cast<int>(nID);
    button.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    button.fsState = static_cast<BYTE>(HIWORD(nStyle));
    button.iBitmap = iImage;
    SetButtonRaw(nIndex, &button);
}

BOOL CToolBar::SetButtonText(int nIndex, LPCWSTR lpszText)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<LPWSTR>(lpszText ? lpszText : L"");
    return SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info)) != 0;
}

CString CToolBar::GetButtonText(int nIndex) const
{
    CString text;
    GetButtonText(nIndex, text);
    return text;
}

void CToolBar::GetButtonText(int nIndex, CString& rString) const
{
    wchar_t text[256] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = text;
    info.cchText = 256;
    SendMessage(TB_GETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
    rString = text;
}

// ---------------------------------------------------------------- layout and painting

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // The buttons as the control lays them out, plus the bar's borders.
    CRect items(0, 0, 0, 0);
    int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        if (button.fsState & TBSTATE_HIDDEN)
            continue;
        CRect rect;
        GetItemRect(i, &rect);
        items.UnionRect(items, rect);
    }
    CRect border(0, 0, 0, 0);
    CalcInsideRect(border, bHorz);
    // The inside rectangle of an empty client is the borders turned inside out.
    CSize size(items.right - border.Width(), items.bottom - border.Height());
    if (count == 0)
        size = CSize(-border.Width(), m_sizeButton.cy - border.Height());
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CToolBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    // The bar's borders are the control's non-client area.
    CRect rect(0, 0, 0, 0);
    CalcInsideRect(rect, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    lpncsp->rgrc[0].left += rect.left;
    lpncsp->rgrc[0].top += rect.top;
    lpncsp->rgrc[0].right += rect.right;
    lpncsp->rgrc[0].bottom += rect.bottom;
    if (lpncsp->rgrc[0].right < lpncsp->rgrc[0].left)
        lpncsp->rgrc[0].right = lpncsp->rgrc[0].left;
    if (lpncsp->rgrc[0].bottom < lpncsp->rgrc[0].top)
        lpncsp->rgrc[0].bottom = lpncsp->rgrc[0].top;
}

void CToolBar::OnNcPaint()
{
    // The borders in the button face, with the lines the style asks for.
    HDC hdc = ::GetWindowDC(m_hWnd);
    CDC* dc = CDC::FromHandle(hdc);
    CRect window;
    GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    CRect screen;
    GetWindowRect(&screen);
    client.OffsetRect(-screen.left, -screen.top);
    dc->ExcludeClipRect(client);
    dc->FillSolidRect(window, ::GetSysColor(COLOR_BTNFACE));
    DrawBorders(dc, window);
    ::ReleaseDC(m_hWnd, hdc);
}

BOOL CToolBar::OnEraseBkgnd(CDC* pDC)
{
    (void)pDC;
    return static_cast<BOOL>(Default());
}

// ---------------------------------------------------------------- updates and tips

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(SendMessage(TB_BUTTONCOUNT));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, state.m_nIndex, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = static_cast<UINT>(button.idCommand);
        // The bar's own handlers first (reflected, then its map), then the frame's route.
        if (CWnd::OnCmdMsg(0, MAKELONG(0xFFFF, WM_COMMAND + WM_REFLECT_BASE), &state, nullptr))
            continue;
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFOW* pTI) const
{
    // A button: its command id, its rectangle the tool.
    int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & TBSTYLE_SEP || button.fsState & TBSTATE_HIDDEN)
            continue;
        CRect rect;
        GetItemRect(i, &rect);
        if (!rect.PtInRect(point))
            continue;
        if (pTI) {
            pTI->hwnd = m_hWnd;
            pTI->rect = rect;
            pTI->uId = static_cast<UINT_PTR>(button.idCommand);
            pTI->lpszText = LPSTR_TEXTCALLBACKW;
        }
        return button.idCommand;
    }
    return CControlBar::OnToolHitTest(point, pTI);
}
