// The highlighted item of the flat menu look (the menu bar's hot or open title, the chevron
// popup's hot button), drawn whole by the kit: the common-controls tool bar of Wine paints its
// own hot face over a highlight colour laid under its default drawing, which left white text on a
// white face. One painter serves both bars, so they look alike.
#pragma once

#include "framework/Framework.h"

#include <commctrl.h>

class CFlatMenuItemPainter
{
public:
    struct Item
    {
        HDC hdc = nullptr;
        CRect rect;
        COLORREF fill = 0;
        COLORREF text = 0;
        HFONT font = nullptr;
        CString label;
        UINT textFormat = DT_SINGLELINE | DT_VCENTER;
        HIMAGELIST images = nullptr; // the image drawn at the left, when set
        int image = -1;
        bool indentText = false; // the label starts after the image place (a popup's rows)
        bool dropDown = false;   // an arrow at the right
    };

    // The fill, then the image, the arrow and the label in the text colour.
    static void Draw(const Item& item);
};
