// The data source of the program's own drags, whose costly formats the main frame renders when a
// target asks (WMU_RENDERDATA). Only the members the frame reads stand here yet.
#pragma once

#include "framework/Framework.h"

class VyxOleDataSource : public COleDataSource
{
public:
    CWnd* m_pRenderWnd = nullptr;
    UINT m_nRenderMessage = 0x7FF;
    LPARAM m_lParam = 0;
    LPFORMATETC m_lpFormatEtc = nullptr;
    LPSTGMEDIUM m_lpStgMedium = nullptr;
    CPoint m_ptDrag;
    CString m_strTempFolder;
};
