#include "controls/ControlDrawing.h"

void FillSolidPolygon(CDC* pDC, const POINT* pPoints, int nCount, COLORREF crColour)
{
    CBrush brush(crColour);
    CPen pen(PS_SOLID, 1, crColour);
    CBrush* oldBrush = pDC->SelectObject(&brush);
    CPen* oldPen = pDC->SelectObject(&pen);
    pDC->Polygon(pPoints, nCount);
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);
}
