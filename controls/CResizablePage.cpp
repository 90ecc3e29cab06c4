#include "controls/CResizablePage.h"

IMPLEMENT_DYNCREATE(CResizablePage, CPropertyPage)

BEGIN_MESSAGE_MAP(CResizablePage, CPropertyPage)
ON_WM_SIZE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CResizablePage::CResizablePage() = default;

CResizablePage::CResizablePage(UINT nIDTemplate, UINT nIDCaption) : CPropertyPage(nIDTemplate, nIDCaption) {}

CResizablePage::CResizablePage(LPCWSTR lpszTemplateName, UINT nIDCaption) : CPropertyPage(lpszTemplateName, nIDCaption)
{
}

void CResizablePage::OnSize(UINT nType, int cx, int cy)
{
    CPropertyPage::OnSize(nType, cx, cy);
    ArrangeLayout();
}

BOOL CResizablePage::OnEraseBkgnd(CDC* pDC)
{
    EraseUncovered(pDC);
    return TRUE;
}
