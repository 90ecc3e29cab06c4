// Helpers for the shell's item identifier lists: joining and copying them with the shell's task
// allocator, display names and system image-list icons. Stateless; the folder tree inherits it.
#pragma once

#include "framework/Framework.h"

#include <shlobj.h>

class CShellPidl
{
public:
    // The first list's items (none when null) followed by the whole second list; null when the
    // allocator fails. The caller frees it with the task allocator.
    LPITEMIDLIST ConcatPidls(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) const;
    // The identifier's first item and a terminator, in a block of the allocator.
    LPITEMIDLIST CopyItemId(LPMALLOC lpMalloc, LPCITEMIDLIST lpi) const;
    // The display name as the folder gives it, at most 259 characters in lpFriendlyName (260).
    BOOL GetName(LPSHELLFOLDER lpsf, LPCITEMIDLIST lpi, DWORD dwFlags, LPWSTR lpFriendlyName) const;
    int GetIconIndex(LPCITEMIDLIST lpi, UINT uFlags) const;

    // Bytes of the list's items without its terminator; 0 for null.
    static UINT GetPidlSize(LPCITEMIDLIST pidl);
};
