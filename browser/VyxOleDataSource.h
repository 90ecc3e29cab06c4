// The data source of the program's own drags of the views' selected items: the folder they come
// from at once ("CF_VyxDROP"), and the costly formats (the file-drop list, whose archive members
// must be written out first, and the notes) made by the main frame only when a target asks
// (message 0x7FF, WMU_RENDERDATA, with this source).
#pragma once

#include "framework/Framework.h"

class CKWDoc;

class VyxOleDataSource : public COleDataSource
{
public:
    // Asks the render window for a delayed format; without one, the base class renders.
    BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium) override;

    // The drag of the document's selected items from a view, started at the point (client
    // coordinates of the view): the effect the target chose. Items whose files went (a move)
    // leave the document afterwards. The drop source is the framework's unless one is given.
    static DROPEFFECT StartViewDrag(CKWDoc* doc, CPoint start, COleDropSource* dropSource = nullptr);

    CWnd* m_pRenderWnd = nullptr;
    UINT m_nRenderMessage = 0x7FF;
    LPARAM m_lParam = 0;
    // The request being rendered, while the render window works on it.
    LPFORMATETC m_lpFormatEtc = nullptr;
    LPSTGMEDIUM m_lpStgMedium = nullptr;
    CPoint m_ptDrag;
    // The folder the drag's archive members were written into.
    CString m_strTempFolder;
};
