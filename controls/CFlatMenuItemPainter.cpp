#include "controls/CFlatMenuItemPainter.h"

void CFlatMenuItemPainter::Draw(const Item& item)
{
    HDC hdc = item.hdc;
    if (!hdc)
        return;
    CRect rect = item.rect;
    ::SetBkColor(hdc, item.fill);
    ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    int cx = 0, cy = 0;
    if (item.images && item.image >= 0 && ImageList_GetIconSize(item.images, &cx, &cy))
        ImageList_Draw(item.images, item.image, hdc, rect.left + 3, rect.top + (rect.Height() - cy) / 2,
                       ILD_TRANSPARENT);
    if (item.indentText)
        rect.left += 3 + cx + 4;
    if (item.dropDown) {
        const int arrowLeft = rect.right - 12;
        rect.right = arrowLeft;
        const int x = arrowLeft + 3, y = rect.top + rect.Height() / 2 - 1;
        POINT triangle[3] = {{x, y}, {x + 5, y}, {x + 2, y + 3}};
        CBrush brush(item.text);
        CPen pen(PS_SOLID, 1, item.text);
        HGDIOBJ oldBrush = ::SelectObject(hdc, brush.GetSafeHandle());
        HGDIOBJ oldPen = ::SelectObject(hdc, pen.GetSafeHandle());
        ::Polygon(hdc, triangle, 3);
        ::SelectObject(hdc, oldPen);
        ::SelectObject(hdc, oldBrush);
    }
    if (item.label.IsEmpty())
        return;
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(hdc, item.text);
    HGDIOBJ oldFont = item.font ? ::SelectObject(hdc, item.font) : nullptr;
    ::DrawTextW(hdc, item.label, item.label.GetLength(), &rect, item.textFormat);
    if (oldFont)
        ::SelectObject(hdc, oldFont);
    ::SetTextColor(hdc, oldColour);
    ::SetBkMode(hdc, oldMode);
}
