#include "browser/CShellPidl.h"

#include <cstring>
#include <vector>

namespace {

const int kNameSize = 260;

LPCITEMIDLIST NextItem(LPCITEMIDLIST pidl)
{
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + pidl->mkid.cb);
}

// Converts with the ANSI code page and keeps at most kNameSize - 1 characters.
void AnsiToName(const char* text, int length, LPWSTR name)
{
    name[0] = 0;
    if (length <= 0)
        return;
    int needed = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (needed <= 0)
        return;
    std::vector<wchar_t> wide(needed);
    MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), needed);
    int kept = needed < kNameSize - 1 ? needed : kNameSize - 1;
    memcpy(name, wide.data(), kept * sizeof(wchar_t));
    name[kept] = 0;
}

} // namespace

UINT CShellPidl::GetPidlSize(LPCITEMIDLIST pidl)
{
    UINT size = 0;
    if (!pidl)
        return 0;
    for (; pidl->mkid.cb; pidl = NextItem(pidl))
        size += pidl->mkid.cb;
    return size;
}

LPITEMIDLIST CShellPidl::ConcatPidls(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) const
{
    LPMALLOC lpMalloc = nullptr;
    if (FAILED(SHGetMalloc(&lpMalloc)) || !lpMalloc)
        return nullptr;
    UINT cb1 = GetPidlSize(pidl1);
    UINT cb2 = GetPidlSize(pidl2) + sizeof(USHORT);
    auto* pidlNew = static_cast<LPITEMIDLIST>(lpMalloc->Alloc(cb1 + cb2));
    if (pidlNew) {
        memset(pidlNew, 0, cb1 + cb2);
        if (cb1)
            memcpy(pidlNew, pidl1, cb1);
        memcpy(reinterpret_cast<BYTE*>(pidlNew) + cb1, pidl2, cb2);
    }
    lpMalloc->Release();
    return pidlNew;
}

LPITEMIDLIST CShellPidl::CopyItemId(LPMALLOC lpMalloc, LPCITEMIDLIST lpi) const
{
    // The two bytes behind the first item belong to the next item in a longer list, so the
    // terminator is written rather than copied.
    if (!lpMalloc || !lpi)
        return nullptr;
    UINT cb = lpi->mkid.cb;
    auto* lpiTemp = static_cast<LPITEMIDLIST>(lpMalloc->Alloc(cb + sizeof(USHORT)));
    if (!lpiTemp)
        return nullptr;
    memcpy(lpiTemp, lpi, cb);
    *reinterpret_cast<USHORT*>(reinterpret_cast<BYTE*>(lpiTemp) + cb) = 0;
    return lpiTemp;
}

BOOL CShellPidl::GetName(LPSHELLFOLDER lpsf, LPCITEMIDLIST lpi, DWORD dwFlags, LPWSTR lpFriendlyName) const
{
    if (!lpsf || !lpFriendlyName)
        return FALSE;
    STRRET str = {};
    if (FAILED(lpsf->GetDisplayNameOf(lpi, dwFlags, &str)))
        return FALSE;
    switch (str.uType) {
    case STRRET_WSTR:
        lstrcpynW(lpFriendlyName, str.pOleStr ? str.pOleStr : L"", kNameSize);
        CoTaskMemFree(str.pOleStr);
        return TRUE;
    case STRRET_OFFSET: {
        // The offset names an ANSI string inside the identifier, as the platform defines it; it
        // is read no further than the identifier's first item reaches.
        UINT cb = lpi ? lpi->mkid.cb : 0;
        if (str.uOffset >= cb)
            return FALSE;
        const char* text = reinterpret_cast<const char*>(lpi) + str.uOffset;
        AnsiToName(text, static_cast<int>(strnlen(text, cb - str.uOffset)), lpFriendlyName);
        return TRUE;
    }
    case STRRET_CSTR:
        AnsiToName(str.cStr, static_cast<int>(strnlen(str.cStr, MAX_PATH)), lpFriendlyName);
        return TRUE;
    default:
        return FALSE;
    }
}

int CShellPidl::GetIconIndex(LPCITEMIDLIST lpi, UINT uFlags) const
{
    SHFILEINFOW sfi = {};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(lpi), 0, &sfi, sizeof(sfi), uFlags);
    return sfi.iIcon;
}
