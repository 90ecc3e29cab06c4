#include "controls/CResizableLayout.h"

const UINT WMU_RESIZESUPPORT = ::RegisterWindowMessageW(L"WMU_RESIZESUPPORT");

namespace {

bool IsClass(const CString& name, LPCWSTR wanted)
{
    return name.CompareNoCase(wanted) == 0;
}

// Moves a batch of children at once; should the deferred batch fail part way, the rest move one by one.
class DeferredMoves
{
public:
    explicit DeferredMoves(int count) : m_hdwp(::BeginDeferWindowPos(count > 0 ? count : 1)) {}
    ~DeferredMoves()
    {
        if (m_hdwp)
            ::EndDeferWindowPos(m_hdwp);
    }
    void Move(HWND hWnd, const RECT& rect, UINT flags)
    {
        int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
        if (m_hdwp)
            m_hdwp = ::DeferWindowPos(m_hdwp, hWnd, nullptr, rect.left, rect.top, cx, cy, flags);
        if (!m_hdwp)
            ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, cx, cy, flags);
    }

private:
    HDWP m_hdwp;
};

} // namespace

CRect CResizableLayout::ChildRect(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, GetLayoutWnd()->GetSafeHwnd(), reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

void CResizableLayout::AddAnchor(UINT nID, CSize sizeTypeTL, CSize sizeTypeBR)
{
    HWND hWnd = ::GetDlgItem(GetLayoutWnd()->GetSafeHwnd(), static_cast<int>(nID));
    if (hWnd)
        AddAnchor(hWnd, sizeTypeTL, sizeTypeBR);
}

void CResizableLayout::AddAnchor(HWND hWnd, CSize sizeTypeTL, CSize sizeTypeBR)
{
    if (!::IsWindow(hWnd))
        return;
    wchar_t className[520] = {};
    ::GetClassNameW(hWnd, className, 520);

    CRect area;
    GetLayoutClientRect(&area);
    int width = area.Width(), height = area.Height();
    CRect rect = ChildRect(hWnd);
    rect.OffsetRect(-area.left, -area.top);
    if (sizeTypeBR == NOANCHOR)
        sizeTypeBR = sizeTypeTL;

    LayoutInfo layout;
    layout.hWnd = hWnd;
    layout.sWndClass = className;
    layout.sizeTypeTL = sizeTypeTL;
    layout.sizeMarginTL = CSize(rect.left - Percent(width, sizeTypeTL.cx), rect.top - Percent(height, sizeTypeTL.cy));
    layout.sizeTypeBR = sizeTypeBR;
    layout.sizeMarginBR =
        CSize(rect.right - Percent(width, sizeTypeBR.cx), rect.bottom - Percent(height, sizeTypeBR.cy));
    QueryResizeProperties(layout);

    POSITION pos = nullptr;
    if (m_mapLayout.Lookup(hWnd, pos)) {
        m_listLayout.SetAt(pos, layout); // one record per child, or the stale one would still be laid out
        return;
    }
    m_mapLayout.SetAt(hWnd, m_listLayout.AddTail(layout));
}

void CResizableLayout::AddCallbackItem(UINT nCallbackID)
{
    LayoutInfo layout;
    layout.nCallbackID = nCallbackID;
    m_listLayoutCB.AddTail(layout);
}

BOOL CResizableLayout::GetAnchorInfo(HWND hWnd, LayoutInfo& layout) const
{
    POSITION pos = nullptr;
    if (!m_mapLayout.Lookup(hWnd, pos))
        return FALSE;
    layout = m_listLayout.GetAt(pos);
    return TRUE;
}

void CResizableLayout::QueryResizeProperties(LayoutInfo& layout)
{
    layout.bMsgSupport = ::SendMessageW(layout.hWnd, WMU_RESIZESUPPORT, RESIZESUPPORT_PROPERTIES,
                                        reinterpret_cast<LPARAM>(&layout.properties)) != 0;
    if (layout.bMsgSupport)
        return;
    // An ordinary control is asked about clipping once, about refresh on every move.
    layout.properties.bAskClipping = FALSE;
    layout.properties.bCachedLikesClipping = WantsClipping(layout);
    layout.properties.bAskRefresh = TRUE;
}

BOOL CResizableLayout::WantsClipping(const LayoutInfo& layout)
{
    if (layout.bMsgSupport) {
        BOOL likes = FALSE;
        if (::SendMessageW(layout.hWnd, WMU_RESIZESUPPORT, RESIZESUPPORT_CLIPPING, reinterpret_cast<LPARAM>(&likes)))
            return likes;
    }
    DWORD style = static_cast<DWORD>(::GetWindowLongW(layout.hWnd, GWL_STYLE));
    if (IsClass(layout.sWndClass, L"ToolbarWindow32")) {
        if (style & TBSTYLE_TRANSPARENT)
            return FALSE;
    } else if (IsClass(layout.sWndClass, L"Button")) {
        switch (style & 0xF) {
        case BS_GROUPBOX:
            return FALSE;
        case BS_OWNERDRAW: {
            CRect rect;
            ::GetWindowRect(layout.hWnd, &rect);
            if (::SendMessageW(layout.hWnd, WM_NCHITTEST, 0, MAKELPARAM(rect.left, rect.top)) == HTTRANSPARENT)
                return FALSE;
            break;
        }
        }
    } else if (IsClass(layout.sWndClass, L"Static")) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
        case SS_BITMAP:
        case SS_ETCHEDHORZ:
        case SS_ETCHEDVERT:
            return TRUE;
        case SS_ICON:
        case SS_ENHMETAFILE:
            return (style & SS_CENTERIMAGE) ? FALSE : TRUE;
        default:
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CResizableLayout::NeedsRepaint(const LayoutInfo& layout, const RECT& rectOld, const RECT& rectNew)
{
    if (layout.bMsgSupport) {
        ResizeRefreshQuery query = {TRUE, rectOld, rectNew};
        if (::SendMessageW(layout.hWnd, WMU_RESIZESUPPORT, RESIZESUPPORT_REFRESH, reinterpret_cast<LPARAM>(&query)))
            return query.bNeedsRefresh;
    }
    int dW = (rectNew.right - rectNew.left) - (rectOld.right - rectOld.left);
    int dH = (rectNew.bottom - rectNew.top) - (rectOld.bottom - rectOld.top);
    if (dW == 0 && dH == 0)
        return FALSE;

    BOOL refresh = FALSE;
    DWORD style = static_cast<DWORD>(::GetWindowLongW(layout.hWnd, GWL_STYLE));
    if (IsClass(layout.sWndClass, L"Static") && (style & SS_TYPEMASK) < 19) {
        BOOL centerImage = (style & SS_CENTERIMAGE) != 0;
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            refresh = dW != 0 || (centerImage && dH != 0);
            break;
        case SS_LEFTNOWORDWRAP:
            refresh = ((style & SS_ELLIPSISMASK) && dW != 0) || (centerImage && dH != 0);
            break;
        case SS_ICON:
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_BITMAP:
        case SS_ENHMETAFILE:
        case SS_ETCHEDFRAME:
            refresh = TRUE;
            break;
        }
    }
    if (IsClass(layout.sWndClass, L"ListBox") && dW >= 1) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (::GetScrollInfo(layout.hWnd, SB_HORZ, &info)) {
            int max = info.nMax - (static_cast<int>(info.nPage) - 1);
            if (max >= 1 && info.nPos + dW > max)
                refresh = TRUE;
        }
    }
    return refresh;
}

void CResizableLayout::GetLayoutClientRect(RECT* pRect)
{
    GetLayoutWnd()->GetClientRect(pRect);
}

BOOL CResizableLayout::ArrangeCallbackItem(LayoutInfo& /*layout*/)
{
    return FALSE;
}

void CResizableLayout::CalcChildRect(const LayoutInfo& layout, const RECT& area, RECT* pNewRect, UINT* pFlags)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    CRect rect(Percent(width, layout.sizeTypeTL.cx) + layout.sizeMarginTL.cx,
               Percent(height, layout.sizeTypeTL.cy) + layout.sizeMarginTL.cy,
               Percent(width, layout.sizeTypeBR.cx) + layout.sizeMarginBR.cx,
               Percent(height, layout.sizeTypeBR.cy) + layout.sizeMarginBR.cy);
    rect.OffsetRect(area.left, area.top);
    CRect old = ChildRect(layout.hWnd);

    BOOL refresh =
        layout.properties.bAskRefresh ? NeedsRepaint(layout, old, rect) : layout.properties.bCachedNeedsRefresh;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (refresh)
        flags |= SWP_NOCOPYBITS;
    if (rect.TopLeft() == old.TopLeft())
        flags |= SWP_NOMOVE;
    if (rect.Size() == old.Size())
        flags |= SWP_NOSIZE;
    *pNewRect = rect;
    *pFlags = flags;
}

void CResizableLayout::ArrangeLayout()
{
    CRect area;
    GetLayoutClientRect(&area);
    // Where moved children were and now are: not every platform repaints either by itself, and
    // a dialog would show a button twice or not at all.
    CRgn moved;
    moved.CreateRectRgn(0, 0, 0, 0);
    {
        DeferredMoves moves(static_cast<int>(m_listLayout.GetCount() + m_listLayoutCB.GetCount()));
        auto arrange = [&](const LayoutInfo& layout) {
            CRect rect;
            UINT flags = 0;
            CalcChildRect(layout, area, &rect, &flags);
            if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE))
                return;
            const CRect old = ChildRect(layout.hWnd);
            moves.Move(layout.hWnd, rect, flags);
            for (const CRect& place : {old, rect}) {
                CRgn part;
                part.CreateRectRgnIndirect(&place);
                moved.CombineRgn(&moved, &part, RGN_OR);
            }
        };
        for (POSITION pos = m_listLayout.GetHeadPosition(); pos;)
            arrange(m_listLayout.GetNext(pos));
        for (POSITION pos = m_listLayoutCB.GetHeadPosition(); pos;) {
            LayoutInfo layout = m_listLayoutCB.GetNext(pos);
            if (ArrangeCallbackItem(layout))
                arrange(layout);
        }
    }
    ::RedrawWindow(GetLayoutWnd()->GetSafeHwnd(), nullptr, static_cast<HRGN>(moved.GetSafeHandle()),
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CResizableLayout::AddChildRegion(CRgn* pRegion, const LayoutInfo& layout)
{
    CRect rect = ChildRect(layout.hWnd);
    CRgn child;
    child.CreateRectRgn(0, 0, 0, 0);
    int kind = ::GetWindowRgn(layout.hWnd, static_cast<HRGN>(child.GetSafeHandle()));
    if (kind == SIMPLEREGION || kind == COMPLEXREGION)
        child.OffsetRgn(rect.left, rect.top);
    else
        child.SetRectRgn(&rect);
    BOOL wants = layout.properties.bAskClipping ? WantsClipping(layout) : layout.properties.bCachedLikesClipping;
    pRegion->CombineRgn(pRegion, &child, wants ? RGN_DIFF : RGN_OR);
}

void CResizableLayout::BuildClipRegion(CRgn* pRegion)
{
    CWnd* wnd = GetLayoutWnd();
    CRect client;
    wnd->GetClientRect(&client);
    if (pRegion->GetSafeHandle())
        pRegion->SetRectRgn(&client);
    else
        pRegion->CreateRectRgnIndirect(&client);

    for (POSITION pos = m_listLayout.GetHeadPosition(); pos;) {
        const LayoutInfo& layout = m_listLayout.GetNext(pos);
        if (::IsWindowVisible(layout.hWnd))
            AddChildRegion(pRegion, layout);
    }
    for (POSITION pos = m_listLayoutCB.GetHeadPosition(); pos;) {
        LayoutInfo layout = m_listLayoutCB.GetNext(pos);
        if (ArrangeCallbackItem(layout) && ::IsWindowVisible(layout.hWnd))
            AddChildRegion(pRegion, layout);
    }
    if (wnd->GetExStyle() & WS_EX_LAYOUTRTL)
        pRegion->OffsetRgn(-1, 0);
}

void CResizableLayout::ClipToChildren(CDC* pDC)
{
    CRgn region;
    BuildClipRegion(&region);
    POINT origin = {};
    ::GetWindowOrgEx(pDC->GetSafeHdc(), &origin);
    region.OffsetRgn(-origin.x, -origin.y);
    pDC->SelectClipRgn(&region);
}

void CResizableLayout::EraseUncovered(CDC* pDC)
{
    EraseUncovered(pDC->GetSafeHdc());
}

void CResizableLayout::EraseUncovered(HDC hDC)
{
    HWND hWnd = GetLayoutWnd()->GetSafeHwnd();
    HBRUSH brush = nullptr;
    const ATOM dialogClass = 0x8002;
    if (static_cast<ATOM>(::GetClassLongW(hWnd, GCW_ATOM)) == dialogClass)
        brush = reinterpret_cast<HBRUSH>(
            ::SendMessageW(hWnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hWnd)));
    else
        brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(hWnd, GCLP_HBRBACKGROUND));
    // A class brush may be a system colour index plus one, which FillRgn does not take.
    UINT_PTR value = reinterpret_cast<UINT_PTR>(brush);
    if (value > 0 && value <= COLOR_MENUBAR + 1)
        brush = ::GetSysColorBrush(static_cast<int>(value - 1));
    if (!brush || !hDC)
        return;
    CRgn region;
    BuildClipRegion(&region);
    ::FillRgn(hDC, static_cast<HRGN>(region.GetSafeHandle()), brush);
}

void CResizableLayout::ClearLayout()
{
    m_mapLayout.RemoveAll();
    m_listLayout.RemoveAll();
    m_listLayoutCB.RemoveAll();
}
