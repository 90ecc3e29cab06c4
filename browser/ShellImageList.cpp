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

int GetShellIconIndex(LPCWSTR lpszPath, BOOL bOpen, BOOL bPlainFolder)
{
    SHFILEINFOW info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (bOpen ? SHGFI_OPENICON : 0);
    // A plain folder's icon is the folder icon: asking by its attributes spares a look at the disk
    // for every folder listed.
    if (bPlainFolder)
        flags |= SHGFI_USEFILEATTRIBUTES;
    SHGetFileInfoW(lpszPath, bPlainFolder ? FILE_ATTRIBUTE_DIRECTORY : 0, &info, sizeof(info), flags);
    return info.iIcon;
}
