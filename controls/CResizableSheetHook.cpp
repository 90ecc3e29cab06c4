#include "controls/CResizableSheetHook.h"

namespace TreePropSheet {

namespace {

const UINT kTabControlId = 0x3020;
const UINT kWizardLineId = 0x3026;
const UINT kStandardButtons[] = {IDOK, IDCANCEL, IDHELP, 0x3021, 0x3023, 0x3024, 0x3025};
const wchar_t kActivePageEntry[] = L"ActivePage";

} // namespace

CResizableSheetHook::CResizableSheetHook(CPropertySheet* pSheet) : m_pSheet(pSheet) {}

CResizableSheetHook::~CResizableSheetHook() = default;

BOOL CResizableSheetHook::IsWizardSheet(BOOL bAcceptWizard97) const
{
    DWORD flags = m_pSheet->m_psh.dwFlags;
    return (flags & PSH_WIZARD) || (bAcceptWizard97 && (flags & PSH_WIZARD97));
}

HWND CResizableSheetHook::CurrentPage() const
{
    return reinterpret_cast<HWND>(::SendMessageW(m_pSheet->GetSafeHwnd(), PSM_GETCURRENTPAGEHWND, 0, 0));
}

CRect CResizableSheetHook::ChildInSheet(HWND hWnd) const
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, m_pSheet->GetSafeHwnd(), reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

BOOL CResizableSheetHook::InstallHook()
{
    if (!HookWindow(m_pSheet))
        return FALSE;
    if (m_pSheet->GetStyle() & WS_POPUP)
        CreateGrip(TRUE, TRUE, FALSE);
    CRect window;
    m_pSheet->GetWindowRect(&window);
    SetMinTrackSize(window.Size());
    InitLayout();
    if (CWnd* tab = m_pSheet->GetDlgItem(kTabControlId))
        tab->ModifyStyle(0, WS_CLIPSIBLINGS);
    return TRUE;
}

void CResizableSheetHook::EnableSaveRestore(LPCWSTR pszSection, BOOL bRectOnly, BOOL bWithPage)
{
    m_sSection = pszSection;
    m_bRectOnly = bRectOnly;
    m_bSavePage = bWithPage;
    m_bEnableSaveRestore = TRUE;
    LoadPlacement(m_sSection, m_bRectOnly);
    int page = static_cast<int>(AfxGetApp()->GetProfileInt(m_sSection, kActivePageEntry, 0));
    if (bWithPage) {
        m_pSheet->SetActivePage(page);
        ArrangeLayout();
    }
}

void CResizableSheetHook::MeasurePageMargins()
{
    CRect client;
    GetLayoutClientRect(&client);
    HWND page = CurrentPage();
    if (!page)
        return;
    CRect rect = ChildInSheet(page);
    m_rectPageMargins.SetRect(rect.left - client.left, rect.top - client.top, rect.right - client.right,
                              rect.bottom - client.bottom);
}

void CResizableSheetHook::AnchorStandardButtons()
{
    for (UINT id : kStandardButtons) {
        if (HWND button = ::GetDlgItem(m_pSheet->GetSafeHwnd(), static_cast<int>(id)))
            AddAnchor(button, BOTTOM_RIGHT, NOANCHOR);
    }
}

void CResizableSheetHook::InitLayout()
{
    HWND sheet = m_pSheet->GetSafeHwnd();
    HWND tab = ::GetDlgItem(sheet, kTabControlId);
    if (IsWizardSheet(FALSE)) {
        if (tab)
            ::ShowWindow(tab, SW_HIDE);
        if (HWND line = ::GetDlgItem(sheet, kWizardLineId))
            AddAnchor(line, BOTTOM_LEFT, BOTTOM_RIGHT);
    } else if (tab) {
        AddAnchor(tab, TOP_LEFT, BOTTOM_RIGHT);
    }
    AddCallbackItem(1);
    MeasurePageMargins();
    AnchorStandardButtons();
}

void CResizableSheetHook::PlaceAt(LayoutInfo& layout, const CRect& rect)
{
    CRect client;
    GetLayoutClientRect(&client);
    layout.sizeTypeTL = TOP_LEFT;
    layout.sizeTypeBR = BOTTOM_RIGHT;
    layout.sizeMarginTL = CSize(rect.left - client.left, rect.top - client.top);
    layout.sizeMarginBR = CSize(rect.right - client.right, rect.bottom - client.bottom);
}

BOOL CResizableSheetHook::ArrangeCallbackItem(LayoutInfo& layout)
{
    if (layout.nCallbackID != 1)
        return CResizableLayout::ArrangeCallbackItem(layout);
    HWND page = CurrentPage();
    if (!page)
        return FALSE;
    layout.hWnd = page;
    if (IsWizardSheet(FALSE)) {
        layout.sizeTypeTL = TOP_LEFT;
        layout.sizeTypeBR = BOTTOM_RIGHT;
        layout.sizeMarginTL = CSize(m_rectPageMargins.left, m_rectPageMargins.top);
        layout.sizeMarginBR = CSize(m_rectPageMargins.right, m_rectPageMargins.bottom);
        return TRUE;
    }
    HWND tab = ::GetDlgItem(m_pSheet->GetSafeHwnd(), kTabControlId);
    LayoutInfo tabLayout;
    if (!tab || !GetAnchorInfo(tab, tabLayout))
        return FALSE;
    CRect client, rect;
    GetLayoutClientRect(&client);
    UINT flags = 0;
    CalcChildRect(tabLayout, client, &rect, &flags);
    ::SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    PlaceAt(layout, rect);
    return TRUE;
}

LRESULT CResizableSheetHook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        LRESULT result = CHookWnd::WindowProc(message, wParam, lParam);
        if (wParam == SIZE_MAXSHOW || wParam == SIZE_MAXHIDE)
            return result;
        if (wParam == SIZE_MAXIMIZED)
            HideGrip(&m_dwGripTempState);
        else
            ShowGrip(&m_dwGripTempState);
        UpdateGripPos();
        ArrangeLayout();
        // Callback items follow windows the batch itself moved (the page inside its frame): once more.
        ArrangeLayout();
        return result;
    }
    case WM_ERASEBKGND:
        EraseUncovered(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_GETMINMAXINFO:
        ApplyMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return CHookWnd::WindowProc(message, wParam, lParam);
    case WM_DESTROY:
        if (m_bEnableSaveRestore) {
            SavePlacement(m_sSection, m_bRectOnly);
            if (m_bSavePage) {
                int index = 0;
                if (HWND tab = ::GetDlgItem(m_pSheet->GetSafeHwnd(), kTabControlId)) {
                    index = static_cast<int>(::SendMessageW(tab, TCM_GETCURSEL, 0, 0));
                    if (index < 0)
                        index = 0;
                }
                AfxGetApp()->WriteProfileInt(m_sSection, kActivePageEntry, index);
            }
        }
        ClearLayout();
        return CHookWnd::WindowProc(message, wParam, lParam);
    }
    return CHookWnd::WindowProc(message, wParam, lParam);
}

} // namespace TreePropSheet
