#include "controls/CResizableState.h"

#include <cwchar>

namespace {

const wchar_t kPlacementEntry[] = L"WindowPlacement";

} // namespace

BOOL CResizableState::LoadPlacement(LPCWSTR pszSection, BOOL bRectOnly)
{
    CString data = AfxGetApp()->GetProfileString(pszSection, kPlacementEntry, L"");
    if (data.IsEmpty())
        return FALSE;
    CWnd* wnd = GetLayoutWnd();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!wnd->GetWindowPlacement(&placement))
        return FALSE;
    int left = 0, top = 0, right = 0, bottom = 0, showCmd = 0, flags = 0;
    if (std::swscanf(data, L"%d,%d,%d,%d,%d,%d", &left, &top, &right, &bottom, &showCmd, &flags) != 6)
        return FALSE;
    RECT& rect = placement.rcNormalPosition;
    rect = {left, top, right, bottom};
    if (bRectOnly) {
        return ::SetWindowPos(wnd->GetSafeHwnd(), nullptr, rect.left, rect.top, rect.right - rect.left,
                              rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    placement.showCmd = static_cast<UINT>(showCmd);
    placement.flags = static_cast<UINT>(flags);
    return wnd->SetWindowPlacement(&placement);
}

BOOL CResizableState::SavePlacement(LPCWSTR pszSection, BOOL bRectOnly)
{
    CWnd* wnd = GetLayoutWnd();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!wnd->GetWindowPlacement(&placement))
        return FALSE;
    RECT rect = placement.rcNormalPosition;
    UINT showCmd = placement.showCmd, flags = placement.flags;
    if (bRectOnly) {
        wnd->GetWindowRect(&rect);
        showCmd = SW_SHOWNORMAL;
        flags = 0;
    }
    CString data;
    data.Format(L"%d,%d,%d,%d,%d,%d", rect.left, rect.top, rect.right, rect.bottom, showCmd, flags);
    return AfxGetApp()->WriteProfileString(pszSection, kPlacementEntry, data);
}
