#include "controls/CShellContextMenu.h"

#include <cstring>

namespace {

// Only one menu is tracked at a time: the owner's old procedure and the menu's interfaces.
WNDPROC g_oldWndProc = nullptr;
IContextMenu2* g_pIContext2 = nullptr;
IContextMenu3* g_pIContext3 = nullptr;

const int kPathBufferLength = 520;

LRESULT CALLBACK HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_MENUCHAR:
            if (g_pIContext3) {
                LRESULT result = 0;
                g_pIContext3->HandleMenuMsg2(message, wParam, lParam, &result);
                return result;
            }
            break;
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            // A non-zero id: the message comes from a control, not from the menu.
            if (wParam)
                break;
            [[fallthrough]];
        case WM_INITMENUPOPUP:
            if (g_pIContext2)
                g_pIContext2->HandleMenuMsg(message, wParam, lParam);
            else if (g_pIContext3)
                g_pIContext3->HandleMenuMsg(message, wParam, lParam);
            return message == WM_INITMENUPOPUP ? 0 : TRUE;
        default:
            break;
        }
        return ::CallWindowProcW(g_oldWndProc, hWnd, message, wParam, lParam);
    } catch (...) {
        MSG msg = {hWnd, message, wParam, lParam, 0, {}};
        return AfxProcessDispatchException(&msg);
    }
}

// A copy of all ids of an absolute list but the last: the list of its folder.
LPITEMIDLIST CopyParent(LPCITEMIDLIST pidl)
{
    UINT count = CShellContextMenu::GetPIDLCount(pidl);
    UINT size = 0;
    if (count)
        size = static_cast<UINT>(reinterpret_cast<const BYTE*>(CShellContextMenu::GetPIDLAt(pidl, count - 1)) -
                                 reinterpret_cast<const BYTE*>(pidl));
    return CShellContextMenu::CopyPIDL(pidl, size);
}

void FreeWithShell(LPITEMIDLIST pidl)
{
    IMalloc* allocator = nullptr;
    if (pidl && SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(pidl);
        allocator->Release();
    }
}

} // namespace

CShellContextMenu::CShellContextMenu() = default;

CShellContextMenu::~CShellContextMenu()
{
    Clear();
    delete m_Menu;
}

// ---------------------------------------------------------------- id lists

UINT CShellContextMenu::GetPIDLCount(LPCITEMIDLIST pidl)
{
    UINT count = 0;
    WalkPIDL(pidl, &count);
    return count;
}

UINT CShellContextMenu::GetPIDLSize(LPCITEMIDLIST pidl)
{
    return WalkPIDL(pidl, nullptr);
}

UINT CShellContextMenu::WalkPIDL(LPCITEMIDLIST pidl, UINT* pCount)
{
    UINT size = 0;
    if (pCount)
        *pCount = 0;
    if (!pidl)
        return 0;
    const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
    USHORT cb = 0;
    // The ids may lie at any byte: their sizes are read byte-wise.
    while ((std::memcpy(&cb, p, sizeof(cb)), cb) != 0) {
        size += cb;
        if (pCount)
            ++*pCount;
        p += cb;
    }
    return size;
}

LPCITEMIDLIST CShellContextMenu::GetPIDLAt(LPCITEMIDLIST pidl, UINT nIndex)
{
    if (!pidl)
        return nullptr;
    const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
    USHORT cb = 0;
    for (UINT i = 0; i < nIndex; ++i) {
        std::memcpy(&cb, p, sizeof(cb));
        if (!cb)
            return nullptr;
        p += cb;
    }
    return reinterpret_cast<LPCITEMIDLIST>(p);
}

LPITEMIDLIST CShellContextMenu::CopyPIDL(LPCITEMIDLIST pidl, UINT cb)
{
    BYTE* copy = new BYTE[cb + 2]();
    if (pidl && cb)
        std::memcpy(copy, pidl, cb);
    return reinterpret_cast<LPITEMIDLIST>(copy);
}

void CShellContextMenu::FreePIDLArray(LPITEMIDLIST* pidlArray, int nCount)
{
    if (!pidlArray)
        return;
    for (int i = 0; i < nCount; ++i)
        delete[] reinterpret_cast<BYTE*>(pidlArray[i]);
    delete[] pidlArray;
}

HRESULT CShellContextMenu::BindToParent(LPCITEMIDLIST pidl, REFIID riid, void** ppv, LPITEMIDLIST* ppidlLast)
{
    if (!pidl || !ppv || GetPIDLCount(pidl) == 0)
        return E_POINTER;
    IShellFolder* desktop = nullptr;
    HRESULT hr = ::SHGetDesktopFolder(&desktop);
    if (FAILED(hr))
        return hr;
    const UINT count = GetPIDLCount(pidl);
    if (count == 1) {
        hr = desktop->QueryInterface(riid, ppv);
        if (SUCCEEDED(hr) && ppidlLast)
            *ppidlLast = CopyPIDL(pidl, GetPIDLSize(pidl));
    } else {
        LPCITEMIDLIST last = GetPIDLAt(pidl, count - 1);
        LPITEMIDLIST parent = CopyParent(pidl);
        IShellFolder* folder = nullptr;
        hr = desktop->BindToObject(parent, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
        if (SUCCEEDED(hr)) {
            hr = folder->QueryInterface(riid, ppv);
            folder->Release();
            if (SUCCEEDED(hr) && ppidlLast)
                *ppidlLast = CopyPIDL(last, GetPIDLSize(last));
        }
        delete[] reinterpret_cast<BYTE*>(parent);
    }
    desktop->Release();
    return hr;
}

// ---------------------------------------------------------------- items

void CShellContextMenu::Clear()
{
    if (m_psfFolder && m_bDelete)
        m_psfFolder->Release();
    m_psfFolder = nullptr;
    m_bDelete = FALSE;
    FreePIDLArray(m_pidlArray, m_nItems);
    m_pidlArray = nullptr;
    m_nItems = 0;
}

void CShellContextMenu::AddItem(LPITEMIDLIST pidlRelative)
{
    auto* grown = new LPITEMIDLIST[m_nItems + 1];
    for (int i = 0; i < m_nItems; ++i)
        grown[i] = m_pidlArray[i];
    grown[m_nItems] = pidlRelative;
    delete[] m_pidlArray;
    m_pidlArray = grown;
    ++m_nItems;
}

void CShellContextMenu::SetObjects(const CStringArray& strArray)
{
    Clear();
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop)))
        return;
    // The absolute id list of a path, or null when it does not parse (an over-long path does not).
    auto parse = [desktop](const CString& path) -> LPITEMIDLIST {
        if (path.IsEmpty() || path.GetLength() >= kPathBufferLength)
            return nullptr;
        wchar_t buffer[kPathBufferLength] = {};
        lstrcpynW(buffer, path, kPathBufferLength);
        LPITEMIDLIST pidl = nullptr;
        if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, buffer, nullptr, &pidl, nullptr)))
            return nullptr;
        return pidl;
    };
    LPITEMIDLIST firstParent = nullptr;
    if (strArray.GetSize() > 0) {
        if (LPITEMIDLIST first = parse(strArray[0])) {
            if (SUCCEEDED(BindToParent(first, IID_IShellFolder, reinterpret_cast<void**>(&m_psfFolder), nullptr)))
                m_bDelete = TRUE;
            firstParent = CopyParent(first);
            FreeWithShell(first);
        }
    }
    for (INT_PTR i = 0; m_psfFolder && i < strArray.GetSize(); ++i) {
        LPITEMIDLIST absolute = parse(strArray[i]);
        if (!absolute)
            continue;
        // Only items of the first path's folder: a relative id means nothing in another folder.
        LPITEMIDLIST parent = CopyParent(absolute);
        bool sameFolder = HRESULT_CODE(desktop->CompareIDs(0, parent, firstParent)) == 0;
        delete[] reinterpret_cast<BYTE*>(parent);
        IShellFolder* folder = nullptr;
        LPITEMIDLIST last = nullptr;
        if (sameFolder &&
            SUCCEEDED(BindToParent(absolute, IID_IShellFolder, reinterpret_cast<void**>(&folder), &last))) {
            AddItem(last);
            folder->Release();
        }
        FreeWithShell(absolute);
    }
    delete[] reinterpret_cast<BYTE*>(firstParent);
    desktop->Release();
}

void CShellContextMenu::SetObject(const CString& strObject)
{
    CStringArray paths;
    paths.Add(strObject);
    SetObjects(paths);
}

int CShellContextMenu::SetObjects(IShellFolder* psfFolder, LPITEMIDLIST* pidlArray, int nItemCount)
{
    Clear();
    m_psfFolder = psfFolder;
    m_bDelete = FALSE;
    for (int i = 0; pidlArray && i < nItemCount; ++i) {
        if (pidlArray[i])
            AddItem(CopyPIDL(pidlArray[i], GetPIDLSize(pidlArray[i])));
    }
    return m_nItems;
}

void CShellContextMenu::SetObject(IShellFolder* psfFolder, LPITEMIDLIST pidlItem)
{
    SetObjects(psfFolder, &pidlItem, 1);
}

void CShellContextMenu::SetObject(LPITEMIDLIST pidl)
{
    Clear();
    LPITEMIDLIST last = nullptr;
    if (SUCCEEDED(BindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&m_psfFolder), &last))) {
        m_bDelete = TRUE;
        AddItem(last);
    }
}

CMenu* CShellContextMenu::GetMenu()
{
    if (!m_Menu) {
        m_Menu = new CMenu;
        m_Menu->CreatePopupMenu();
    }
    return m_Menu;
}

UINT CShellContextMenu::ShowContextMenu(CWnd* pWnd, CPoint pt)
{
    // Without a folder or items the shell is not asked at all.
    if (!m_psfFolder || m_nItems == 0)
        return 0;
    IContextMenu* plain = nullptr;
    if (FAILED(m_psfFolder->GetUIObjectOf(nullptr, static_cast<UINT>(m_nItems),
                                          const_cast<LPCITEMIDLIST*>(reinterpret_cast<LPITEMIDLIST*>(m_pidlArray)),
                                          IID_IContextMenu, nullptr, reinterpret_cast<void**>(&plain))) ||
        !plain)
        return 0;
    IContextMenu* menu = plain;
    int version = 1;
    IContextMenu3* menu3 = nullptr;
    IContextMenu2* menu2 = nullptr;
    if (SUCCEEDED(plain->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&menu3))) && menu3) {
        version = 3;
        menu = menu3;
    } else if (SUCCEEDED(plain->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&menu2))) && menu2) {
        version = 2;
        menu = menu2;
    }
    if (version > 1)
        plain->Release();

    CMenu* popup = GetMenu();
    menu->QueryContextMenu(popup->GetSafeHmenu(), popup->GetMenuItemCount(), FirstShellId, LastShellId, CMF_EXPLORE);

    HWND owner = pWnd->GetSafeHwnd();
    WNDPROC replaced = nullptr;
    if (version > 1 && owner) {
        g_pIContext3 = menu3;
        g_pIContext2 = menu2;
        replaced = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWndProc)));
        g_oldWndProc = replaced;
    }
    UINT id = static_cast<UINT>(::TrackPopupMenu(popup->GetSafeHmenu(), TPM_RETURNCMD, pt.x, pt.y, 0, owner, nullptr));
    if (replaced)
        ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced));

    if (id >= FirstShellId && id <= LastShellId) {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = MAKEINTRESOURCEA(id - FirstShellId);
        info.nShow = SW_SHOWNORMAL;
        menu->InvokeCommand(&info);
        id = 0;
    }
    menu->Release();
    g_pIContext2 = nullptr;
    g_pIContext3 = nullptr;
    g_oldWndProc = nullptr;
    return id;
}
