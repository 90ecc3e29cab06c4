#include "controls/VyxWinAppEx.h"
#include "controls/CRecentFileListEx.h"
#include "foundation/MessageBoxes.h"

#include <shellapi.h>

IMPLEMENT_DYNAMIC(VyxWinAppEx, CWinApp)

namespace {

// Reads the metrics in the long form first; older systems know only the short one.
void ReadNonClientMetrics(NONCLIENTMETRICSW& ncm, UINT longSize)
{
    ncm.cbSize = longSize;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, longSize, &ncm, 0))
        return;
    ncm.cbSize = sizeof(NONCLIENTMETRICSW);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(NONCLIENTMETRICSW), &ncm, 0);
}

BOOL ReadFlag(UINT action)
{
    BOOL value = FALSE;
    return ::SystemParametersInfoW(action, 0, &value, 0) ? value : FALSE;
}

int CurrentWindowsVersionClass()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExW(&version))
        return 0;
    return VyxWinAppEx::ClassifyWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

} // namespace

VyxWinAppEx::VyxWinAppEx(LPCWSTR lpszAppName) : CWinApp(lpszAppName), m_mapMenuImages(10), m_mapShellIcons(10)
{
    m_nWinVerClass = CurrentWindowsVersionClass();
    m_bMenuImages = m_nWinVerClass == 1 || m_nWinVerClass == 3 || m_nWinVerClass == 4;
    ReadSystemSettings();
}

VyxWinAppEx::~VyxWinAppEx() = default;

int PASCAL VyxWinAppEx::ClassifyWindowsVersion(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor)
{
    switch (dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        return dwMajor < 5 && !(dwMajor == 4 && dwMinor > 0) ? 0 : 1;
    case VER_PLATFORM_WIN32_NT:
        if (dwMajor <= 4)
            return 2;
        if (dwMajor == 5 && dwMinor == 0)
            return 3;
        // Every later NT (Wine may report 6.x or 10.0) has what XP has.
        return 4;
    default:
        return 5;
    }
}

void VyxWinAppEx::ReadSystemSettings()
{
    ReadNonClientMetrics(m_ncm.metrics, sizeof(m_ncm));
    const int v = m_nWinVerClass;
    m_bMenuAnimation = (v == 1 || v == 3 || v == 4) ? ReadFlag(SPI_GETMENUANIMATION) : FALSE;
    const bool modern = v == 3 || v == 4;
    m_bKeyboardCues = modern ? ReadFlag(SPI_GETKEYBOARDCUES) : FALSE;
    m_bUIEffects = modern ? ReadFlag(SPI_GETUIEFFECTS) : FALSE;
    m_bMenuFade = modern ? ReadFlag(SPI_GETMENUFADE) : FALSE;
    m_bFlatMenu = v == 4 ? ReadFlag(SPI_GETFLATMENU) : FALSE;
}

void VyxWinAppEx::UpdateSystemSettings()
{
    ReadSystemSettings();
}

BOOL VyxWinAppEx::IsMenuAnimation() const
{
    if (m_nWinVerClass == 3 || m_nWinVerClass == 4)
        return m_bUIEffects && m_bMenuAnimation;
    return m_bMenuAnimation;
}

// ---------------------------------------------------------------- menu images

void VyxWinAppEx::EnsureMenuImages() const
{
    if (m_bMenuImagesLoaded)
        return;
    // Marked first: the images added now ask for the list themselves.
    m_bMenuImagesLoaded = true;
    const_cast<VyxWinAppEx*>(this)->LoadMenuImages();
}

CImageList* VyxWinAppEx::GetMenuImageList()
{
    if (!m_imlMenu.GetSafeHandle())
        m_imlMenu.Create(16, 16, ILC_MASK | ILC_COLOR8, 1, 0);
    EnsureMenuImages();
    return &m_imlMenu;
}

int VyxWinAppEx::GetMenuImage(UINT nID) const
{
    EnsureMenuImages();
    int index = -1;
    return m_mapMenuImages.Lookup(nID, index) ? index : -1;
}

void VyxWinAppEx::AddMenuImages(const CMap<UINT, UINT, int, int>& idToIndex, UINT nBitmapID, COLORREF crMask)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nBitmapID))
        return;
    int first = GetMenuImageList()->Add(&bitmap, crMask);
    if (first < 0)
        return;
    for (POSITION pos = idToIndex.GetStartPosition(); pos;) {
        UINT id = 0;
        int index = 0;
        idToIndex.GetNextAssoc(pos, id, index);
        m_mapMenuImages.SetAt(id, first + index);
    }
}

void VyxWinAppEx::AddMenuIcon(UINT nID, HICON hIcon)
{
    int index = GetMenuImageList()->Add(hIcon);
    if (index >= 0)
        m_mapMenuImages.SetAt(nID, index);
}

void VyxWinAppEx::SetMenuIcon(UINT nID, HICON hIcon)
{
    int index = GetMenuImage(nID);
    if (index < 0) {
        AddMenuIcon(nID, hIcon);
        return;
    }
    if (GetMenuImageList()->Replace(index, hIcon) >= 0)
        m_mapMenuImages.SetAt(nID, index);
}

void VyxWinAppEx::AddMenuFileIcon(UINT nID, LPCWSTR lpszPath)
{
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(lpszPath, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                     SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON);
    if (!info.hIcon) {
        m_mapMenuImages.RemoveKey(nID);
        return;
    }
    int index = -1;
    if (!m_mapShellIcons.Lookup(info.iIcon, index)) {
        index = GetMenuImageList()->Add(info.hIcon);
        if (index >= 0)
            m_mapShellIcons.SetAt(info.iIcon, index);
    }
    if (index >= 0)
        m_mapMenuImages.SetAt(nID, index);
    else
        m_mapMenuImages.RemoveKey(nID);
    ::DestroyIcon(info.hIcon);
}

void VyxWinAppEx::RemoveMenuImage(UINT nID)
{
    m_mapMenuImages.RemoveKey(nID);
}

void VyxWinAppEx::PrepareMenuImages(CMenu* pMenu, BOOL bRecurse)
{
    HMENU menu = pMenu ? pMenu->GetSafeHmenu() : nullptr;
    if (!m_bMenuImages || !menu)
        return;
    bool imaged = false;
    bool imagedChecked = false;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item))
            continue;
        if (item.hSubMenu) {
            if (bRecurse)
                PrepareMenuImages(CMenu::FromHandle(item.hSubMenu), TRUE);
            continue;
        }
        if ((item.fType & MFT_SEPARATOR) || GetMenuImage(item.wID) < 0)
            continue; // its own bitmap, if any, stays
        MENUITEMINFOW bitmap = {};
        bitmap.cbSize = sizeof(bitmap);
        bitmap.fMask = MIIM_BITMAP;
        bitmap.hbmpItem = HBMMENU_CALLBACK;
        ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &bitmap);
        imaged = true;
        if (item.fState & MFS_CHECKED)
            imagedChecked = true;
    }
    // Without a check mark to show, the images take the check-mark column.
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    ::GetMenuInfo(menu, &info);
    if (imaged && !imagedChecked)
        info.dwStyle |= MNS_CHECKORBMP;
    else
        info.dwStyle &= ~MNS_CHECKORBMP;
    info.fMask = MIM_STYLE;
    ::SetMenuInfo(menu, &info);
}

BOOL VyxWinAppEx::TrackMenu(HMENU hMenu, UINT nFlags, int x, int y, CWnd* pOwner, LPTPMPARAMS lpParams)
{
    // The framework's tracking record routes the pop-up's updates to the owner meanwhile.
    return CMenu::FromHandle(hMenu)->TrackPopupMenuEx(nFlags, x, y, pOwner, lpParams);
}

void VyxWinAppEx::LoadStdProfileSettings(UINT nMaxMRU)
{
    CWinApp::LoadStdProfileSettings(nMaxMRU);
    CRecentFileList* old = m_pRecentFileList;
    if (!old)
        return;
    auto* list = new CRecentFileListEx(old->m_nStart, old->m_strSectionName, old->m_strEntryFormat, old->m_nSize,
                                       old->m_nMaxDisplayLength);
    for (int i = 0; i < old->m_nSize; ++i)
        list->m_arrNames[i] = old->m_arrNames[i];
    m_pRecentFileList = list;
    delete old;
}

int VyxWinAppEx::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    return CWinApp::DoMessageBox(FitMessageText(lpszPrompt ? lpszPrompt : L""), nType, nIDPrompt);
}

// ---------------------------------------------------------------- for the kit's classes

VyxWinAppEx* VyxGetAppEx()
{
    return DYNAMIC_DOWNCAST(VyxWinAppEx, AfxGetApp());
}

void VyxGetNonClientMetrics(NONCLIENTMETRICSW& ncm)
{
    if (VyxWinAppEx* app = VyxGetAppEx()) {
        ncm = app->GetNonClientMetrics();
        return;
    }
    struct
    {
        NONCLIENTMETRICSW metrics;
        int padded;
    } record = {};
    ReadNonClientMetrics(record.metrics, sizeof(record));
    ncm = record.metrics;
}

int VyxGetWindowsVersionClass()
{
    VyxWinAppEx* app = VyxGetAppEx();
    return app ? app->GetWindowsVersionClass() : CurrentWindowsVersionClass();
}
