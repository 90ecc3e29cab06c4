#include "controls/CResizableDialog.h"

IMPLEMENT_DYNAMIC(CResizableDialog, CDialog)

BEGIN_MESSAGE_MAP(CResizableDialog, CDialog)
ON_WM_CREATE()
ON_WM_GETMINMAXINFO()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CResizableDialog::CResizableDialog() = default;

CResizableDialog::CResizableDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

CResizableDialog::CResizableDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd) : CDialog(lpszTemplateName, pParentWnd)
{
}

int CResizableDialog::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    BOOL child = (GetStyle() & WS_CHILD) != 0;
    if (!child) {
        // A sizing frame around the same client area; that size is the smallest the dialog gets.
        CRect rect;
        GetClientRect(&rect);
        ModifyStyle(DS_MODALFRAME, WS_POPUP | WS_THICKFRAME);
        ::AdjustWindowRectEx(&rect, GetStyle(), ::GetMenu(m_hWnd) != nullptr, GetExStyle());
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        SetMinTrackSize(rect.Size());
    }
    return CreateGrip(!child, TRUE, FALSE) ? 0 : -1;
}

void CResizableDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    ApplyMinMaxInfo(lpMMI);
}

void CResizableDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (nType == SIZE_MAXSHOW || nType == SIZE_MAXHIDE)
        return;
    if (nType == SIZE_MAXIMIZED)
        HideGrip(&m_dwGripTempState);
    else
        ShowGrip(&m_dwGripTempState);
    UpdateGripPos();
    ArrangeLayout();
}

BOOL CResizableDialog::OnEraseBkgnd(CDC* pDC)
{
    EraseUncovered(pDC);
    return TRUE;
}

void CResizableDialog::OnDestroy()
{
    if (m_bEnableSaveRestore)
        SavePlacement(m_sSection, m_bRectOnly);
    ClearLayout();
    CDialog::OnDestroy();
}

BOOL CResizableDialog::EnablePlacementSaving(LPCWSTR pszSection, BOOL bRectOnly)
{
    m_sSection = pszSection;
    m_bRectOnly = bRectOnly;
    m_bEnableSaveRestore = TRUE;
    return LoadPlacement(m_sSection, m_bRectOnly);
}
