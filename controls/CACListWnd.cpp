#include "controls/CACListWnd.h"

#include "controls/CACEdit.h"

#include <algorithm>
#include <vector>

namespace {

const UINT_PTR kWatchTimer = 10;
const int kMaxRows = 32;

} // namespace

BEGIN_MESSAGE_MAP(CACListWnd, CWnd)
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONDOWN()
ON_WM_SIZE()
ON_WM_SETCURSOR()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SHOWWINDOW()
ON_WM_TIMER()
ON_WM_ACTIVATEAPP()
ON_WM_RBUTTONDOWN()
ON_WM_KEYDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_VSCROLL()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

CACListWnd::CACListWnd()
{
    m_LastSize.SetRectEmpty();
    m_ParentRect.SetRectEmpty();
}

void CACListWnd::Init(CACEdit* pOwner)
{
    m_VertBar.Create(WS_VISIBLE | SBS_VERT | SBS_RIGHTALIGN, CRect(0, 0, ::GetSystemMetrics(SM_CYVSCROLL), 100), this,
                     0);
    PlaceScrollBar();
    m_pEditParent = pOwner;
    m_lCount = static_cast<int>(m_SearchList.GetSize());
    m_VertBar.SetScrollPos(0, FALSE);
    UpdateScroll();
    CClientDC dc(this);
    CFont* old = static_cast<CFont*>(dc.SelectStockObject(DEFAULT_GUI_FONT));
    m_ItemHeight = dc.GetTextExtent(L"Hg", 2).cy;
    dc.SelectObject(old);
    if (m_ItemHeight <= 0)
        m_ItemHeight = 16;
}

CString CACListWnd::GetShown(int nRow) const
{
    if (nRow < 0 || nRow >= m_DisplayList.GetSize())
        return CString();
    return m_DisplayList[nRow];
}

void CACListWnd::Hide()
{
    if (GetSafeHwnd() && IsWindowVisible())
        ShowWindow(SW_HIDE);
}

void CACListWnd::PlaceScrollBar()
{
    if (!m_VertBar.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    int width = ::GetSystemMetrics(SM_CYVSCROLL);
    // The square below the bar holds the size grip.
    int height = std::max(0, client.Height() - ::GetSystemMetrics(SM_CXHSCROLL));
    m_VertBar.MoveWindow(client.right - width, 0, width, height);
}

void CACListWnd::UpdateScroll()
{
    if (!GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    m_VisibleItems = m_ItemHeight > 0 ? client.Height() / m_ItemHeight : 0;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(0, m_lCount - 1);
    info.nPage = static_cast<UINT>(std::max(0, m_VisibleItems));
    m_VertBar.SetScrollInfo(&info, TRUE);
    m_VertBar.ShowWindow(m_VisibleItems <= m_lCount - 1 ? SW_SHOW : SW_HIDE);
    if (m_lTopIndex + m_VisibleItems > m_lCount)
        m_lTopIndex = std::max(0, m_lCount - m_VisibleItems);
}

int CACListWnd::FilterAndShow(int nStartIndex, LPCWSTR lpszText, BOOL bShowAll)
{
    const int before = static_cast<int>(m_DisplayList.GetSize());
    CString text = lpszText ? lpszText : L"";
    if (!bShowAll) {
        if (!m_pEditParent || nStartIndex >= m_SearchList.GetSize() || text.IsEmpty()) {
            Hide();
            return -1;
        }
        m_DisplayList.RemoveAll();
        text.MakeUpper();
        for (INT_PTR i = nStartIndex + 1; i < m_SearchList.GetSize(); ++i) {
            CString word = m_SearchList[i];
            word.MakeUpper();
            bool match = (m_dwFlags & 0x20) ? word.Find(text) >= 0 : word.Find(text) == 0;
            if (match)
                m_DisplayList.Add(m_SearchList[i]);
        }
    } else {
        m_DisplayList.Copy(m_SearchList);
    }
    m_lCount = static_cast<int>(m_DisplayList.GetSize());
    if (m_lCount == 0) {
        Hide();
        return 1;
    }

    CRect control;
    if (m_pEditParent && m_pEditParent->GetSafeHwnd())
        m_pEditParent->GetWindowRect(&control);
    int height = m_lCount > kMaxRows ? 2 * (::GetSystemMetrics(SM_CYBORDER) + 16 * m_ItemHeight)
                                     : m_ItemHeight * m_lCount + 2 * ::GetSystemMetrics(SM_CYBORDER);
    int width = control.Width();
    if (!m_LastSize.IsRectEmpty()) {
        width = m_LastSize.Width();
        height = m_LastSize.Height();
    }
    SetWindowPos(&wndTopMost, control.left, control.bottom, width, height, SWP_NOACTIVATE);
    PlaceScrollBar();
    UpdateScroll();
    if (!IsWindowVisible())
        ShowWindow(SW_SHOWNOACTIVATE);
    Invalidate();

    if (m_lCount != before)
        m_lSelItem = -1;
    if (m_lCount >= 2) {
        std::vector<CString> rows;
        for (INT_PTR i = 0; i < m_DisplayList.GetSize(); ++i)
            rows.push_back(m_DisplayList[i]);
        std::stable_sort(rows.begin(), rows.end(),
                         [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
        for (size_t i = 0; i < rows.size(); ++i)
            m_DisplayList[static_cast<INT_PTR>(i)] = rows[i];
    }
    return 1;
}

void CACListWnd::ShowAll()
{
    FilterAndShow(-1, L"", TRUE);
}

CString CACListWnd::GetSelectedText() const
{
    return GetShown(m_lSelItem);
}

CString CACListWnd::MoveByKey(UINT nKey)
{
    if (m_lCount <= 0)
        return CString();
    int sel = m_lSelItem;
    switch (nKey) {
    case VK_PRIOR:
        sel = std::max(0, sel - m_VisibleItems);
        break;
    case VK_NEXT:
        sel = std::min(m_lCount - 1, sel + m_VisibleItems);
        break;
    case VK_END:
        sel = m_lCount - 1;
        break;
    case VK_HOME:
        sel = 0;
        break;
    case VK_UP:
        sel = sel - 1;
        break;
    case VK_DOWN:
        sel = sel + 1;
        break;
    default:
        break;
    }
    if (sel < 0)
        sel = m_lCount - 1;
    if (sel >= m_lCount)
        sel = 0;
    m_lSelItem = sel;
    if (EnsureVisible(m_lSelItem, m_lCount < 51)) {
        m_VertBar.SetScrollPos(m_lTopIndex, TRUE);
        Invalidate();
        UpdateWindow();
    } else {
        Invalidate();
    }
    return GetShown(m_lSelItem >= 0 ? m_lSelItem : 0);
}

BOOL CACListWnd::EnsureVisible(int nRow, BOOL bAnimate)
{
    if (nRow < 0)
        return FALSE;
    BOOL scrolled = FALSE;
    auto step = [&](int delta) {
        m_lTopIndex += delta;
        scrolled = TRUE;
        if (bAnimate && GetSafeHwnd()) {
            m_VertBar.SetScrollPos(m_lTopIndex, TRUE);
            Invalidate();
            MSG msg;
            while (::PeekMessageW(&msg, m_hWnd, WM_PAINT, WM_PAINT, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::Sleep(10);
            while (::PeekMessageW(&msg, m_hWnd, WM_PAINT, WM_PAINT, PM_REMOVE))
                ::DispatchMessageW(&msg);
        }
    };
    while (nRow < m_lTopIndex)
        step(-1);
    while (m_VisibleItems > 0 && nRow >= m_lTopIndex + m_VisibleItems && m_lTopIndex < m_lCount - m_VisibleItems)
        step(+1);
    return scrolled;
}

void CACListWnd::SelectRow(int nRow)
{
    if (nRow >= 0 && nRow < m_lCount)
        m_lSelItem = nRow;
    if (EnsureVisible(m_lSelItem, FALSE))
        m_VertBar.SetScrollPos(m_lTopIndex, TRUE);
    if (GetSafeHwnd())
        Invalidate();
}

int CACListWnd::FindExact(int nStartAfter, LPCWSTR lpszText) const
{
    for (INT_PTR i = nStartAfter + 1; i < m_SearchList.GetSize(); ++i) {
        if (m_SearchList[i] == lpszText)
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CACListWnd::GetWord(int nIndex, CString& rWord) const
{
    if (nIndex < 0 || nIndex >= m_SearchList.GetSize())
        return FALSE;
    rWord = m_SearchList[nIndex];
    return TRUE;
}

int CACListWnd::FindAndSelect(LPCWSTR lpszText)
{
    int result = FilterAndShow(-1, lpszText);
    SelectRow(result);
    return result;
}

int CACListWnd::HitRow(CPoint point) const
{
    if (m_ItemHeight <= 0 || point.y < 0)
        return -1;
    int row = m_lTopIndex + point.y / m_ItemHeight;
    return row < m_lCount ? row : -1;
}

BOOL CACListWnd::InCorner(CPoint screenPoint) const
{
    CRect window;
    GetWindowRect(&window);
    CRect corner(window.right - ::GetSystemMetrics(SM_CYVSCROLL), window.bottom - ::GetSystemMetrics(SM_CXVSCROLL),
                 window.right, window.bottom);
    return corner.PtInRect(screenPoint);
}

// ---------------------------------------------------------------- painting

void CACListWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    ::InflateRect(&lpncsp->rgrc[0], -::GetSystemMetrics(SM_CXBORDER), -::GetSystemMetrics(SM_CYBORDER));
}

void CACListWnd::OnNcPaint()
{
    CWindowDC dc(this);
    CRect window, client;
    GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    client = window;
    client.DeflateRect(::GetSystemMetrics(SM_CXBORDER), ::GetSystemMetrics(SM_CYBORDER));
    dc.ExcludeClipRect(&client);
    dc.FillSolidRect(&window, ::GetSysColor(COLOR_WINDOWFRAME));
}

BOOL CACListWnd::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

void CACListWnd::PaintRow(CDC* pDC, int nRow, int nWidth)
{
    CRect rect(2, (nRow - m_lTopIndex) * m_ItemHeight, nWidth, (nRow - m_lTopIndex + 1) * m_ItemHeight);
    pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    if (nRow == m_lSelItem) {
        CRect fill = rect;
        fill.left = 0;
        pDC->FillSolidRect(&fill, ::GetSysColor(COLOR_HIGHLIGHT));
        pDC->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    pDC->DrawText(m_DisplayList[nRow], &rect, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
}

void CACListWnd::PaintGrip(CDC* pDC, const CRect& client)
{
    const int size = ::GetSystemMetrics(SM_CXHSCROLL);
    CRect grip(client.right - size, client.bottom - size, client.right, client.bottom);
    if (m_VertBar.GetSafeHwnd() && m_VertBar.IsWindowVisible())
        pDC->FillSolidRect(&grip, ::GetSysColor(COLOR_BTNFACE));
    const int colours[4] = {COLOR_WINDOW, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNSHADOW};
    CPen pens[4];
    for (int i = 0; i < 4; ++i)
        pens[i].CreatePen(PS_SOLID, 1, ::GetSysColor(colours[i]));
    CPen* old = pDC->SelectObject(&pens[0]);
    for (int k = 1; k <= 20; ++k) {
        pDC->SelectObject(&pens[(k - 1) % 4]);
        pDC->MoveTo(grip.left + k - 1, client.bottom);
        pDC->LineTo(grip.left + k + size, client.bottom - size - 1);
    }
    pDC->SelectObject(old);
}

void CACListWnd::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    int width = client.Width();
    if (m_VertBar.GetSafeHwnd() && m_VertBar.IsWindowVisible())
        width -= ::GetSystemMetrics(SM_CYVSCROLL);
    if (width <= 0 || client.Height() <= 0)
        return;
    CDC memory;
    memory.CreateCompatibleDC(&paint);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&paint, width, client.Height());
    CBitmap* oldBitmap = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, width, client.Height(), ::GetSysColor(COLOR_WINDOW));
    CFont* oldFont = static_cast<CFont*>(memory.SelectStockObject(DEFAULT_GUI_FONT));
    memory.SetBkMode(TRANSPARENT);
    for (int row = m_lTopIndex; row < m_lCount; ++row) {
        if ((row - m_lTopIndex) * m_ItemHeight > client.Height())
            break;
        PaintRow(&memory, row, width);
    }
    CRect area(0, 0, width, client.Height());
    PaintGrip(&memory, area);
    paint.BitBlt(0, 0, width, client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(oldFont);
    memory.SelectObject(oldBitmap);
}

// ---------------------------------------------------------------- messages

LRESULT CACListWnd::OnNcHitTest(CPoint point)
{
    return InCorner(point) ? HTBOTTOMRIGHT : HTCLIENT;
}

void CACListWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (InCorner(point))
        GetWindowRect(&m_LastSize);
    CWnd::OnNcLButtonDown(nHitTest, point);
}

void CACListWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    PlaceScrollBar();
    UpdateScroll();
    if (!m_LastSize.IsRectEmpty())
        GetWindowRect(&m_LastSize);
}

BOOL CACListWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    if (!InCorner(cursor)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CACListWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWnd::OnShowWindow(bShow, nStatus);
    if (bShow) {
        m_lTimer = SetTimer(kWatchTimer, 200, nullptr);
        if (m_pEditParent && m_pEditParent->GetParent())
            m_pEditParent->GetParent()->GetWindowRect(&m_ParentRect);
    } else {
        if (m_lTimer)
            KillTimer(kWatchTimer);
        m_lTimer = 0;
        m_lSelItem = -1;
        m_lTopIndex = 0;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

void CACListWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kWatchTimer) {
        CWnd::OnTimer(nIDEvent);
        return;
    }
    if (!m_pEditParent || !m_pEditParent->GetParent())
        return;
    CRect now;
    m_pEditParent->GetParent()->GetWindowRect(&now);
    if (now != m_ParentRect)
        Hide();
}

void CACListWnd::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    CWnd::OnActivateApp(bActive, dwThreadID);
    Hide();
}

void CACListWnd::OnRButtonDown(UINT nFlags, CPoint point)
{
    CWnd::OnRButtonDown(nFlags, point);
    Hide();
}

void CACListWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    if (nChar == VK_ESCAPE)
        Hide();
}

void CACListWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    CWnd::OnMouseMove(nFlags, point);
    int row = HitRow(point);
    if (row >= 0 && row != m_lSelItem) {
        m_lSelItem = row;
        Invalidate();
    }
}

void CACListWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonDown(nFlags, point);
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        Hide();
        return;
    }
    int row = HitRow(point);
    if (row < 0)
        return;
    EnsureVisible(row, FALSE);
    m_lSelItem = row;
    if (m_pEditParent)
        m_pEditParent->SendMessage(WMU_AUTOCOMPLETE, 0x100, GetDlgCtrlID());
    Invalidate();
    UpdateWindow();
    // The chosen row stays highlighted for a moment before the list closes.
    ::Sleep(500);
    Hide();
}

void CACListWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    int top = m_lTopIndex;
    switch (nSBCode) {
    case SB_LINEUP:
        --top;
        break;
    case SB_LINEDOWN:
        ++top;
        break;
    case SB_PAGEUP:
        top -= m_VisibleItems;
        break;
    case SB_PAGEDOWN:
        top += m_VisibleItems;
        break;
    case SB_THUMBTRACK:
        top = static_cast<int>(nPos);
        break;
    default:
        CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    top = std::max(0, std::min(top, m_lCount - m_VisibleItems));
    if (top != m_lTopIndex) {
        m_lTopIndex = top;
        m_VertBar.SetScrollPos(m_lTopIndex, TRUE);
        Invalidate();
    }
}

void CACListWnd::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CWnd::OnGetMinMaxInfo(lpMMI);
    int minHeight =
        2 * ::GetSystemMetrics(SM_CYHSCROLL) + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CXHTHUMB);
    int allRows = m_ItemHeight * m_lCount + 2 * ::GetSystemMetrics(SM_CYBORDER);
    if (allRows < minHeight && m_lCount > 0)
        minHeight = allRows;
    lpMMI->ptMinTrackSize.y = minHeight;
    if (m_pEditParent && m_pEditParent->GetSafeHwnd()) {
        CRect control;
        m_pEditParent->GetWindowRect(&control);
        lpMMI->ptMinTrackSize.x = control.Width();
    } else {
        lpMMI->ptMinTrackSize.x = 4 * ::GetSystemMetrics(SM_CXHSCROLL);
    }
}
