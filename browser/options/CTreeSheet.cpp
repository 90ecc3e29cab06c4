#include "browser/options/CTreeSheet.h"

#include "foundation/WindowPlacement.h"

namespace {

const wchar_t kSection[] = L"OptionView";

} // namespace

BEGIN_MESSAGE_MAP(CTreeSheet, TreePropSheet::CTreePropSheetEx)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CTreeSheet::CTreeSheet(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CTreePropSheetEx(pszCaption, pParentWnd, iSelectPage)
{
}

BOOL CTreeSheet::OnInitDialog()
{
    CTreePropSheetEx::OnInitDialog();
    RestoreWindowPlacement(m_hWnd, kSection);
    return TRUE;
}

void CTreeSheet::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, kSection);
    CTreePropSheetEx::OnDestroy();
}
