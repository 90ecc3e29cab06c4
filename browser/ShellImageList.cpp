#include "browser/ShellImageList.h"

#include "foundation/VyxPath.h"

#include <shellapi.h>

HIMAGELIST GetShellImageList(BOOL bSmall)
{
    CString probe;
    GetTempFolder(probe);
    SHFILEINFOW info = {};
    UINT flags = SHGFI_SYSICONINDEX | (bSmall ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(probe, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags));
}

int GetShellIconIndex(LPCWSTR lpszPath, BOOL bOpen)
{
    SHFILEINFOW info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (bOpen ? SHGFI_OPENICON : 0);
    SHGetFileInfoW(lpszPath, 0, &info, sizeof(info), flags);
    return info.iIcon;
}
