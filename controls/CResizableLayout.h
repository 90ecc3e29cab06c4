// The layout engine of resizable dialogs, pages and sheets: each child is anchored to two points
// of the layout area given in percent, and ArrangeLayout moves all children to the places their
// anchors give in one deferred batch. Only the background no clipping child covers is erased;
// children that answer the registered message "WMU_RESIZESUPPORT" say how they want to be
// clipped and repainted.
#pragma once

#include "framework/Framework.h"

// Anchor points, in percent of the layout area's width and height.
inline const CSize TOP_LEFT(0, 0);
inline const CSize TOP_CENTER(50, 0);
inline const CSize TOP_RIGHT(100, 0);
inline const CSize MIDDLE_LEFT(0, 50);
inline const CSize MIDDLE_CENTER(50, 50);
inline const CSize MIDDLE_RIGHT(100, 50);
inline const CSize BOTTOM_LEFT(0, 100);
inline const CSize BOTTOM_CENTER(50, 100);
inline const CSize BOTTOM_RIGHT(100, 100);
inline const CSize NOANCHOR(-1, -1);

// Registered once at start-up. wParam selects the query, lParam points at the answer, and a
// nonzero result means the child answered.
extern const UINT WMU_RESIZESUPPORT;
enum : WPARAM {
    RESIZESUPPORT_PROPERTIES = 101, // lParam: ResizeProperties*
    RESIZESUPPORT_CLIPPING = 102,   // lParam: BOOL*, preset FALSE
    RESIZESUPPORT_REFRESH = 103,    // lParam: ResizeRefreshQuery*, needs refresh preset TRUE
};

struct ResizeProperties
{
    BOOL bAskClipping;         // ask the child on each use whether it wants clipping
    BOOL bAskRefresh;          // ask on each move whether it needs a repaint
    BOOL bCachedLikesClipping; // the answers kept when the child is not asked
    BOOL bCachedNeedsRefresh;
};

struct ResizeRefreshQuery
{
    BOOL bNeedsRefresh;
    RECT rcOld;
    RECT rcNew;
};

class CResizableLayout
{
public:
    struct LayoutInfo
    {
        HWND hWnd = nullptr;
        UINT nCallbackID = 0;
        CString sWndClass;
        CSize sizeTypeTL;
        CSize sizeMarginTL;
        CSize sizeTypeBR;
        CSize sizeMarginBR;
        BOOL bMsgSupport = FALSE;
        ResizeProperties properties = {TRUE, TRUE, FALSE, FALSE};
    };

    CResizableLayout() = default;
    CResizableLayout(const CResizableLayout&) = delete;
    CResizableLayout& operator=(const CResizableLayout&) = delete;

    // Anchors a child where the window template placed it. Anchoring it again replaces its record.
    void AddAnchor(HWND hWnd, CSize sizeTypeTL, CSize sizeTypeBR = NOANCHOR);
    void AddAnchor(UINT nID, CSize sizeTypeTL, CSize sizeTypeBR = NOANCHOR);
    // An item whose window, anchors and margins ArrangeCallbackItem fills just before each use.
    void AddCallbackItem(UINT nCallbackID);
    void ArrangeLayout();
    void CalcChildRect(const LayoutInfo& layout, const RECT& area, RECT* pNewRect, UINT* pFlags);
    // The client area less the children that want clipping.
    void BuildClipRegion(CRgn* pRegion);
    void ClipToChildren(CDC* pDC);
    void EraseUncovered(HDC hDC);
    void EraseUncovered(CDC* pDC);
    void ClearLayout();

    INT_PTR GetAnchorCount() const { return m_listLayout.GetCount(); }
    INT_PTR GetCallbackCount() const { return m_listLayoutCB.GetCount(); }
    // The record of an anchored child; FALSE when the child is not anchored.
    BOOL GetAnchorInfo(HWND hWnd, LayoutInfo& layout) const;

    // a percent of d, truncated toward zero.
    static int Percent(int d, int a) { return d * a / 100; }

protected:
    virtual void QueryResizeProperties(LayoutInfo& layout);
    virtual BOOL WantsClipping(const LayoutInfo& layout);
    virtual BOOL NeedsRepaint(const LayoutInfo& layout, const RECT& rectOld, const RECT& rectNew);
    virtual void GetLayoutClientRect(RECT* pRect);
    virtual BOOL ArrangeCallbackItem(LayoutInfo& layout);
    virtual CWnd* GetLayoutWnd() const = 0;

public:
    virtual ~CResizableLayout() = default;

private:
    // The child's window rectangle in the layout window's client coordinates.
    CRect ChildRect(HWND hWnd);
    void AddChildRegion(CRgn* pRegion, const LayoutInfo& layout);

    CList<LayoutInfo> m_listLayout{10};
    CMap<HWND, HWND, POSITION, POSITION> m_mapLayout{10};
    CList<LayoutInfo> m_listLayoutCB{10};
};
