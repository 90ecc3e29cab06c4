// The shell's context menu for files or folders shown in the program's own windows: a picked
// shell command runs and answers 0, any other pick is handed back to the caller, whose own items
// (ids outside 1..10000) may stand in the same menu before the shell's.
#pragma once

#include "framework/Framework.h"

#include <shlobj.h>

class CShellContextMenu
{
public:
    CShellContextMenu();
    ~CShellContextMenu();
    CShellContextMenu(const CShellContextMenu&) = delete;
    CShellContextMenu& operator=(const CShellContextMenu&) = delete;

    // The items are the paths that parse and lie in the first path's folder.
    void SetObjects(const CStringArray& strArray);
    void SetObject(const CString& strObject);
    // Copies of relative ids in a folder the caller keeps; the number of items.
    int SetObjects(IShellFolder* psfFolder, LPITEMIDLIST* pidlArray, int nItemCount);
    void SetObject(IShellFolder* psfFolder, LPITEMIDLIST pidlItem);
    void SetObject(LPITEMIDLIST pidl);

    // The popup menu, for the caller's own items.
    CMenu* GetMenu();
    // The id the user picked, or 0 (nothing picked, or a shell command ran).
    UINT ShowContextMenu(CWnd* pWnd, CPoint pt);

    int GetItemCount() const { return m_nItems; }

    // The shell's item id lists: each id led by its 16-bit size, the list ended by a 16-bit zero.
    static UINT GetPIDLCount(LPCITEMIDLIST pidl);
    // Bytes without the terminator.
    static UINT GetPIDLSize(LPCITEMIDLIST pidl);
    static LPCITEMIDLIST GetPIDLAt(LPCITEMIDLIST pidl, UINT nIndex);
    // The first cb bytes, zero-filled to a terminated list; free with FreePIDLArray or delete[].
    static LPITEMIDLIST CopyPIDL(LPCITEMIDLIST pidl, UINT cb);
    static void FreePIDLArray(LPITEMIDLIST* pidlArray, int nCount);

    static constexpr UINT FirstShellId = 1;
    static constexpr UINT LastShellId = 10000;

private:
    // The bytes of the ids without the terminator, and their number in *pCount when asked.
    static UINT WalkPIDL(LPCITEMIDLIST pidl, UINT* pCount);
    // The folder holding an absolute id list, and a copy of its last id.
    static HRESULT BindToParent(LPCITEMIDLIST pidl, REFIID riid, void** ppv, LPITEMIDLIST* ppidlLast);
    void Clear();
    void AddItem(LPITEMIDLIST pidlRelative);

    int m_nItems = 0;
    BOOL m_bDelete = FALSE;
    CMenu* m_Menu = nullptr;
    IShellFolder* m_psfFolder = nullptr;
    LPITEMIDLIST* m_pidlArray = nullptr;
};
