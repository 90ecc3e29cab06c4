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

BOOL CTreeSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CWnd* button = GetDlgItem(ID_APPLY_NOW);
    if (LOWORD(wParam) != ID_APPLY_NOW || HIWORD(wParam) != BN_CLICKED || !m_apply || !button)
        return CTreePropSheetEx::OnCommand(wParam, lParam);
    const bool pending = button->IsWindowEnabled() != FALSE;
    Default(); // the pages hear the Apply; the button goes grey once all of them took it
    if (pending && !button->IsWindowEnabled())
        m_apply();
    return TRUE;
}

void CTreeSheet::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, kSection);
    CTreePropSheetEx::OnDestroy();
}
