#include "catalogue/CellEdge.h"

namespace {

const COLORREF kShadow = 0x808080;
const COLORREF kShadowLight = 0xC0C0C0;
const COLORREF kRing = 0xFFFFFF;

void Line3(CDC* dc, COLORREF colour, POINT a, POINT b, POINT c)
{
    CPen pen(PS_SOLID, 1, colour);
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(a.x, a.y);
    dc->LineTo(b.x, b.y);
    dc->LineTo(c.x, c.y);
    dc->SelectObject(old);
}

void Shadow(CDC* dc, const CRect& r)
{
    Line3(dc, kShadow, {r.left + 1, r.bottom}, {r.right, r.bottom}, {r.right, r.top + 1});
    Line3(dc, kShadowLight, {r.left + 1, r.bottom + 1}, {r.right + 1, r.bottom + 1}, {r.right + 1, r.top + 1});
}

void Ring(CDC* dc, const CRect& r)
{
    CRect frame(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1);
    CBrush brush(kRing);
    dc->FrameRect(&frame, &brush);
}

} // namespace

CRect DrawCellEdge(CDC* dc, CRect rect, int style)
{
    if (!(style & CellEdgeOwn)) {
        if (dc)
            dc->DrawEdge(&rect, static_cast<UINT>(style), BF_RECT | BF_SOFT);
        int inset = ((style & (BDR_SUNKENINNER | BDR_RAISEDINNER)) ? 1 : 0) +
                    ((style & (BDR_SUNKENOUTER | BDR_RAISEDOUTER)) ? 1 : 0);
        rect.DeflateRect(inset, inset);
        return rect;
    }
    if (style == CellEdgeShadow) {
        if (dc)
            Shadow(dc, rect);
        return rect;
    }
    if (style == CellEdgeRingShadow) {
        for (int ring = 0; ring < 2; ++ring) {
            if (dc)
                Ring(dc, rect);
            rect.InflateRect(1, 1);
        }
        if (dc)
            Shadow(dc, rect);
    }
    return rect;
}
