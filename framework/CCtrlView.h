// A view that is a common control itself (list, tree): the control paints, the view keeps the
// document glue. The control's notifications come back to it from its parent (reflection).
#pragma once

#include "framework/CView.h"

class CCtrlView : public CView
{
    DECLARE_DYNAMIC(CCtrlView)
public:
    CCtrlView(LPCWSTR lpszClass, DWORD dwStyle);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* pDC) override;

    CString m_strClass;
    DWORD m_dwDefaultStyle;

protected:
    afx_msg void OnPaint();

    DECLARE_MESSAGE_MAP()
};
