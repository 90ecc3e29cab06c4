#include "browser/ShellImageList.h"

#include "foundation/VyxPath.h"

#include <objbase.h>
#include <shellapi.h>

#include <mutex>
#include <thread>

namespace {

std::once_flag s_fetched;
HIMAGELIST s_lists[2] = {}; // large, small
std::thread s_prefetch;

void FetchLists()
{
    CString probe;
    GetTempFolder(probe);
    for (BOOL small : {FALSE, TRUE}) {
        SHFILEINFOW info = {};
        UINT flags = SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
        s_lists[small ? 1 : 0] =
            reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(probe, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags));
    }
}

} // namespace

HIMAGELIST GetShellImageList(BOOL bSmall)
{
    std::call_once(s_fetched, FetchLists);
    return s_lists[bSmall ? 1 : 0];
}

void StartShellImageListPrefetch()
{
    if (s_prefetch.joinable())
        return;
    s_prefetch = std::thread([] {
        // The shell's look-ups want COM on the thread that makes them.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        GetShellImageList(TRUE);
        if (SUCCEEDED(com))
            ::CoUninitialize();
    });
}

void EndShellImageListPrefetch()
{
    if (s_prefetch.joinable())
        s_prefetch.join();
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
