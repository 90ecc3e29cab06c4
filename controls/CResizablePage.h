// A property page whose anchored children follow its size (the option pages of the settings
// sheet derive from it).
#pragma once

#include "controls/CResizableLayout.h"

class CResizablePage : public CPropertyPage, public CResizableLayout
{
    DECLARE_DYNCREATE(CResizablePage)
public:
    CResizablePage();
    explicit CResizablePage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CResizablePage(LPCWSTR lpszTemplateName, UINT nIDCaption = 0);

protected:
    CWnd* GetLayoutWnd() const override { return const_cast<CResizablePage*>(this); }

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    DECLARE_MESSAGE_MAP()
};
