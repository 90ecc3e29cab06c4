#include "controls/CXDriveBar.h"

#include <shellapi.h>

const UINT WM_DRIVE_SELECTED = ::RegisterWindowMessageW(L"WM_DRIVE_SELECTED");

namespace {

const UINT kFirstDriveId = 1000;
const int kDriveCount = 26;

} // namespace

BEGIN_MESSAGE_MAP(CXDriveBar, CXToolBar)
ON_COMMAND_RANGE(kFirstDriveId, kFirstDriveId + kDriveCount, OnDriveCommand)
ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

CXDriveBar::CXDriveBar() = default;

BOOL CXDriveBar::CreateDriveButtons(BOOL bWithDetails)
{
    DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < kDriveCount; ++i) {
        if (!(drives & (1u << i)))
            continue;
        CString caption(static_cast<wchar_t>(L'A' + i));
        CXPStyleButtonST* button = AddButton(kFirstDriveId + i, caption);
        if (!button)
            continue;
        if (m_pFont)
            button->SetFont(m_pFont);
        if (m_pTheme)
            button->SetThemeHelper(m_pTheme);
        if (bWithDetails) {
            CString root = GetRootPath(i);
            button->SetTipText(GetDisplayName(root), TRUE);
            button->SetIcons(GetDriveIcon(root), nullptr);
        }
    }
    return TRUE;
}

CString CXDriveBar::GetRootPath(int nDriveIndex)
{
    CString root;
    root.Format(L"%c:\\", L'A' + nDriveIndex);
    return root;
}

CXPStyleButtonST* CXDriveBar::FindButton(UINT nID) const
{
    for (int i = 0; i < m_nCount && i < m_Ids.GetSize(); ++i) {
        if (m_Ids[i] == nID)
            return GetButton(i);
    }
    return nullptr;
}

BOOL CXDriveBar::SetDriveDetails(int nDriveIndex, LPCWSTR lpszDisplayName, HICON hIcon)
{
    CXPStyleButtonST* button = nDriveIndex >= 0 && nDriveIndex < kDriveCount
                                   ? FindButton(kFirstDriveId + static_cast<UINT>(nDriveIndex))
                                   : nullptr;
    if (!button || !button->GetSafeHwnd()) {
        if (hIcon)
            ::DestroyIcon(hIcon);
        return FALSE;
    }
    button->SetTipText(lpszDisplayName, TRUE);
    if (hIcon)
        button->SetIcons(hIcon, nullptr);
    return TRUE;
}

CString CXDriveBar::GetDisplayName(LPCWSTR lpszRootPath)
{
    SHFILEINFOW info = {};
    if (::SHGetFileInfoW(lpszRootPath, 0, &info, sizeof(info), SHGFI_DISPLAYNAME) && info.szDisplayName[0])
        return info.szDisplayName;
    return lpszRootPath;
}

HICON CXDriveBar::GetDriveIcon(LPCWSTR lpszRootPath) const
{
    if (!m_pImageList || !m_pImageList->GetSafeHandle())
        return nullptr;
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(lpszRootPath, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return nullptr;
    return m_pImageList->ExtractIcon(info.iIcon);
}

void CXDriveBar::PressOnly(UINT nID)
{
    for (int i = 0; i < m_nCount; ++i) {
        CXPStyleButtonST* button = GetButton(i);
        if (!button)
            continue;
        if (m_Ids[i] == nID)
            button->SetForcedPressed(TRUE, TRUE);
        else if (button->IsForcedPressed())
            button->SetForcedPressed(FALSE, TRUE);
    }
}

void CXDriveBar::OnDriveCommand(UINT nID)
{
    OnButtonCommand(nID);
}

LRESULT CXDriveBar::OnButtonCommand(UINT nID)
{
    // Only the ids of drive A to Z.
    if (nID < kFirstDriveId || nID >= kFirstDriveId + kDriveCount)
        return 0;
    PressOnly(nID);
    CWnd* parent = GetParent();
    if (!parent)
        return 0;
    return parent->SendMessage(WM_DRIVE_SELECTED, nID - kFirstDriveId, 0);
}

void CXDriveBar::SetCurrentDrive(int nDriveIndex)
{
    PressOnly(kFirstDriveId + static_cast<UINT>(nDriveIndex));
}

void CXDriveBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    DWORD pos = ::GetMessagePos();
    CPoint screen(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
    for (int i = 0; i < m_nCount; ++i) {
        CXPStyleButtonST* button = GetButton(i);
        if (!button || !button->GetSafeHwnd())
            continue;
        CRect window;
        button->GetWindowRect(&window);
        if (window.PtInRect(screen)) {
            m_strRightClicked = GetButtonText(i);
            break;
        }
    }
    CXToolBar::OnRButtonUp(nFlags, point);
}
