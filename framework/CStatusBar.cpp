#include "framework/CStatusBar.h"
#include "framework/AfxTexts.h"
#include "framework/CCmdUI.h"
#include "framework/CDC.h"
#include "framework/CException.h"
#include "framework/CFrameWnd.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
ON_WM_SIZE()
ON_WM_DRAWITEM_REFLECT()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
END_MESSAGE_MAP()

namespace {

const int kPaneBorder = 6; // the text's margin inside a pane's border

// A pane's update: disabled panes show no text, a check pops the pane out.
class CStatusCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
        if (!bOn)
            style |= SBPS_DISABLED;
        bar->SetPaneStyle(static_cast<int>(m_nIndex), style);
    }
    void SetCheck(int nCheck) override
    {
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
        if (nCheck)
            style |= SBPS_POPOUT;
        bar->SetPaneStyle(static_cast<int>(m_nIndex), style);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCWSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};

} // namespace

CStatusBar::CStatusBar() : m_nMinHeight(0), m_pPanes(nullptr)
{
    // The control draws its own frame: the bar adds no borders.
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar()
{
    delete[] m_pPanes;
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD style = (dwStyle & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | dwCtrlStyle;
    // A sizable frame gets the size grip in its corner.
    if (pParentWnd && (pParentWnd->GetStyle() & WS_THICKFRAME))
        style |= SBARS_SIZEGRIP;
    return CWnd::Create(STATUSCLASSNAMEW, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID);
}

CStatusBar::AFX_STATUSPANE* CStatusBar::PanePtr(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount || !m_pPanes)
        AfxThrowInvalidArgException();
    return &m_pPanes[nIndex];
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    delete[] m_pPanes;
    m_pPanes = nullptr;
    m_nCount = 0;
    if (nIDCount <= 0)
        return TRUE;
    m_pPanes = new AFX_STATUSPANE[nIDCount];
    m_nCount = nIDCount;
    // Widths are measured in the bar's own font.
    HDC dc = ::GetDC(nullptr);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    BOOL ok = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        AFX_STATUSPANE& pane = m_pPanes[i];
        pane.nID = lpIDArray ? lpIDArray[i] : 0;
        pane.nStyle = SBPS_NORMAL;
        pane.cxText = 0;
        if (pane.nID != 0) {
            if (!pane.strText.LoadString(pane.nID)) {
                // The key indicators have texts of the framework's own.
                LPCWSTR standard = AfxStandardText(pane.nID);
                if (!standard) {
                    ok = FALSE;
                    continue;
                }
                pane.strText = standard;
            }
            SIZE extent = {};
            ::GetTextExtentPoint32W(dc, pane.strText, pane.strText.GetLength(), &extent);
            pane.cxText = extent.cx;
        } else {
            pane.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
        }
    }
    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::ReleaseDC(nullptr, dc);
    UpdateAllPanes(TRUE, TRUE);
    return ok;
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (!m_hWnd || m_nCount == 0)
        return;
    if (bUpdateRects) {
        CRect client;
        GetClientRect(&client);
        int borders[3] = {};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        const int gap = borders[2];
        int grip = (GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
        // What the fixed panes leave is shared by the stretching ones.
        int extra = client.Width() - grip - borders[0];
        int stretching = 0;
        for (int i = 0; i < m_nCount; ++i) {
            extra -= m_pPanes[i].cxText + kPaneBorder + (i > 0 ? gap : 0);
            if (m_pPanes[i].nStyle & SBPS_STRETCH)
                ++stretching;
        }
        std::vector<int> rights(static_cast<size_t>(m_nCount));
        int right = borders[0];
        for (int i = 0; i < m_nCount; ++i) {
            int width = m_pPanes[i].cxText + kPaneBorder;
            if ((m_pPanes[i].nStyle & SBPS_STRETCH) && extra > 0) {
                int share = extra / stretching--;
                width += share;
                extra -= share;
            }
            right += width + (i > 0 ? gap : 0);
            rights[static_cast<size_t>(i)] = right;
        }
        SendMessage(SB_SETPARTS, static_cast<WPARAM>(m_nCount), reinterpret_cast<LPARAM>(rights.data()));
    }
    if (bUpdateText) {
        for (int i = 0; i < m_nCount; ++i)
            SetPaneText(i, m_pPanes[i].strText, TRUE);
    }
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < m_nCount; ++i)
        if (m_pPanes[i].nID == nIDFind)
            return i;
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return PanePtr(nIndex)->nID;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    PanePtr(nIndex);
    if (!SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = PanePtr(nIndex)->strText;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return PanePtr(nIndex)->strText;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCWSTR lpszNewText, BOOL bUpdate)
{
    AFX_STATUSPANE* pane = PanePtr(nIndex);
    pane->strText = lpszNewText ? lpszNewText : L"";
    if (!bUpdate || !m_hWnd)
        return TRUE;
    // A disabled pane shows nothing; the text stays for when it is enabled again.
    LPCWSTR shown = (pane->nStyle & SBPS_DISABLED) ? L"" : pane->strText.GetString();
    UINT type = pane->nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    return SendMessage(SB_SETTEXTW, static_cast<WPARAM>(nIndex) | type, reinterpret_cast<LPARAM>(shown)) != 0;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    AFX_STATUSPANE* pane = PanePtr(nIndex);
    nID = pane->nID;
    nStyle = pane->nStyle;
    cxWidth = pane->cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    AFX_STATUSPANE* pane = PanePtr(nIndex);
    bool layout = pane->cxText != cxWidth || ((pane->nStyle ^ nStyle) & SBPS_STRETCH);
    pane->nID = nID;
    pane->cxText = cxWidth;
    SetPaneStyle(nIndex, nStyle);
    if (layout)
        UpdateAllPanes(TRUE, FALSE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return PanePtr(nIndex)->nStyle;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    AFX_STATUSPANE* pane = PanePtr(nIndex);
    if (pane->nStyle == nStyle)
        return;
    bool layout = (pane->nStyle ^ nStyle) & SBPS_STRETCH;
    pane->nStyle = nStyle;
    if (layout)
        UpdateAllPanes(TRUE, FALSE);
    SetPaneText(nIndex, pane->strText, TRUE); // the drawing style goes with the text
}

void CStatusBar::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CControlBar::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // The font's height and the control's own borders.
    HDC dc = ::GetDC(nullptr);
    HFONT font = m_hWnd ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) : nullptr;
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::ReleaseDC(nullptr, dc);
    int borders[3] = {};
    if (m_hWnd)
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, bHorz);
    CSize size(bStretch ? 32767 : 0, metrics.tmHeight - metrics.tmInternalLeading - 1 + borders[1] * 2 +
                                         ::GetSystemMetrics(SM_CYBORDER) * 2 - inside.Height() + 4);
    size.cy = std::max(static_cast<int>(size.cy), m_nMinHeight);
    return size;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_nCount);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_pPanes[state.m_nIndex].nID;
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        state.DoUpdate(pTarget, FALSE); // panes are never disabled for want of a handler
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The window text is the text of the ID_SEPARATOR pane (the prompt pane).
    int index = CommandToIndex(0);
    if (index < 0)
        return -1;
    return SetPaneText(index, reinterpret_cast<LPCWSTR>(lParam)) ? 0 : -1;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int index = CommandToIndex(0);
    auto* buffer = reinterpret_cast<LPWSTR>(lParam);
    if (index < 0 || !buffer || wParam == 0)
        return 0;
    lstrcpynW(buffer, m_pPanes[index].strText, static_cast<int>(wParam));
    return lstrlenW(buffer);
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    int index = CommandToIndex(0);
    return index < 0 ? 0 : m_pPanes[index].strText.GetLength();
}

LRESULT CStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM)
{
    m_nMinHeight = static_cast<int>(wParam);
    return Default();
}
