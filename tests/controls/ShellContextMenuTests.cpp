#include "common/ControlTestUtil.h"

#include "controls/CShellContextMenu.h"

#include <ole2.h>

#include <cstring>

namespace {

// A context menu whose newest interface the test chooses; it adds an owner-drawn item and a
// submenu and records what the menu hook passes on.
class FakeContextMenu : public IContextMenu3
{
public:
    explicit FakeContextMenu(int version) : m_version(version) {}
    std::vector<UINT> handled;  // messages given to HandleMenuMsg
    std::vector<UINT> handled2; // messages given to HandleMenuMsg2
    UINT insertedAt = 0xFFFF;
    INT_PTR invokedVerb = -1;
    DWORD invokeSize = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IContextMenu || (riid == IID_IContextMenu2 && m_version >= 2) ||
            (riid == IID_IContextMenu3 && m_version >= 3)) {
            *ppv = static_cast<IContextMenu3*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT, UINT) override
    {
        insertedAt = indexMenu;
        InsertMenuW(hmenu, indexMenu, MF_BYPOSITION | MF_OWNERDRAW, idCmdFirst, nullptr);
        HMENU sub = CreatePopupMenu();
        AppendMenuW(sub, MF_STRING, idCmdFirst + 1, L"下の項目");
        InsertMenuW(hmenu, indexMenu + 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"サブメニュー");
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override
    {
        invokeSize = info->cbSize;
        invokedVerb = reinterpret_cast<INT_PTR>(info->lpVerb);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT uMsg, WPARAM, LPARAM lParam) override
    {
        handled.push_back(uMsg);
        Measure(uMsg, lParam);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT uMsg, WPARAM, LPARAM lParam, LRESULT* result) override
    {
        handled2.push_back(uMsg);
        Measure(uMsg, lParam);
        if (result)
            *result = 0;
        return S_OK;
    }
    ULONG refs() const { return m_refs; }

private:
    static void Measure(UINT uMsg, LPARAM lParam)
    {
        if (uMsg == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measure->itemWidth = 80;
            measure->itemHeight = 18;
        }
    }
    int m_version;
    ULONG m_refs = 1;
};

// A folder whose context menu is the fake.
class FakeFolder : public IShellFolder
{
public:
    explicit FakeFolder(FakeContextMenu* menu) : m_menu(menu) {}
    UINT askedCount = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IShellFolder) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT cidl, LPCITEMIDLIST*, REFIID riid, UINT*, void** ppv) override
    {
        askedCount = cidl;
        return m_menu->QueryInterface(riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override
    {
        return E_NOTIMPL;
    }

private:
    FakeContextMenu* m_menu;
};

// Two ids of 3 and 2 bytes of data, then the terminator.
const BYTE kTwoIds[] = {5, 0, 'a', 'b', 'c', 4, 0, 'd', 'e', 0, 0};

LPITEMIDLIST TwoIds()
{
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(kTwoIds));
}

} // namespace

TEST(ShellContextMenu, ItemIdListHelpersWalkTheSizedIds)
{
    EXPECT_EQ(2u, CShellContextMenu::GetPIDLCount(TwoIds()));
    EXPECT_EQ(9u, CShellContextMenu::GetPIDLSize(TwoIds()));
    EXPECT_EQ(reinterpret_cast<const BYTE*>(TwoIds()) + 5,
              reinterpret_cast<const BYTE*>(CShellContextMenu::GetPIDLAt(TwoIds(), 1)));
    EXPECT_EQ(nullptr, CShellContextMenu::GetPIDLAt(TwoIds(), 3));
    EXPECT_EQ(0u, CShellContextMenu::GetPIDLCount(nullptr));
    LPITEMIDLIST first = CShellContextMenu::CopyPIDL(TwoIds(), 5);
    EXPECT_EQ(1u, CShellContextMenu::GetPIDLCount(first));
    EXPECT_EQ(0, std::memcmp(first, kTwoIds, 5));
    LPITEMIDLIST* array = new LPITEMIDLIST[1]{first};
    CShellContextMenu::FreePIDLArray(array, 1);
}

TEST(ShellContextMenu, OnlyPathsThatParseInTheFirstPathsFolderBecomeItems)
{
    FrameworkScratchFolder scratch;
    scratch.WriteFile(L"一.txt", "1");
    scratch.WriteFile(L"二.txt", "2");
    CreateDirectoryW(scratch / L"other", nullptr);
    scratch.WriteFile(L"other\\三.txt", "3");
    CStringArray paths;
    paths.Add(scratch / L"一.txt");
    paths.Add(scratch / L"ない.txt");
    paths.Add(scratch / L"二.txt");
    paths.Add(scratch / L"other\\三.txt");
    paths.Add(scratch.Path() + L"\\" + CString(L'x', 600));
    CShellContextMenu menu;
    menu.SetObjects(paths);
    EXPECT_EQ(2, menu.GetItemCount());
}

TEST(ShellContextMenu, ItemsThatDoNotParseShowNothingAndAskNoShell)
{
    FrameworkScratchFolder scratch;
    CString file = scratch.WriteFile(L"a.txt", "a");
    CLogHostWnd host;
    CStringArray paths;
    // Past the 520-character buffer a path is refused like one that does not parse, even where
    // its first 519 characters would name a file.
    paths.Add(file + CString(L' ', 600));
    paths.Add(L"C:\\no\\such\\file.txt");
    CShellContextMenu menu;
    menu.SetObjects(paths);
    EXPECT_EQ(0, menu.GetItemCount());
    EXPECT_EQ(0u, menu.ShowContextMenu(&host, CPoint(100, 100)));
    CShellContextMenu empty;
    EXPECT_EQ(0u, empty.ShowContextMenu(&host, CPoint(100, 100)));
}

TEST(ShellContextMenu, CallerItemIsReturnedAndDismissingRestoresTheOwnersProcedure)
{
    FrameworkScratchFolder scratch;
    CString file = scratch.WriteFile(L"写真.txt", "x");
    CLogHostWnd host;
    LONG_PTR procedure = GetWindowLongPtrW(host.GetSafeHwnd(), GWLP_WNDPROC);
    for (int pick : {1, -1}) {
        CShellContextMenu menu;
        menu.SetObject(file);
        ASSERT_EQ(1, menu.GetItemCount());
        menu.GetMenu()->AppendMenu(MF_STRING, 30000, L"私の項目");
        UINT result = 0;
        {
            ASSERT_TRUE(MakeActive(host));
            HelperThread driver([&] { DriveMenu(host.GetSafeHwnd(), pick); });
            result = menu.ShowContextMenu(&host, CPoint(120, 120));
        }
        EXPECT_EQ(pick > 0 ? 30000u : 0u, result);
        EXPECT_EQ(procedure, GetWindowLongPtrW(host.GetSafeHwnd(), GWLP_WNDPROC));
        // The caller's item stays first; the shell's follow it.
        EXPECT_EQ(30000u, menu.GetMenu()->GetMenuItemID(0));
        EXPECT_GT(menu.GetMenu()->GetMenuItemCount(), 1u);
    }
}

TEST(ShellContextMenu, PickedShellCommandRunsAndAnswersZero)
{
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    FrameworkScratchFolder scratch;
    CString first = scratch.WriteFile(L"a.txt", "a");
    CString second = scratch.WriteFile(L"b.txt", "b");
    CLogHostWnd host;
    CStringArray paths;
    paths.Add(first);
    paths.Add(second);
    CShellContextMenu menu;
    menu.SetObjects(paths);
    ASSERT_EQ(2, menu.GetItemCount());
    UINT result = 1;
    {
        // "Copy" by its text, counted among the items a key press can reach.
        ASSERT_TRUE(MakeActive(host));
        HelperThread driver([&] {
            HWND window = WaitForMenu();
            if (!window) {
                ADD_FAILURE() << "no menu opened";
                PostMessageW(host.GetSafeHwnd(), WM_CANCELMODE, 0, 0);
                return;
            }
            HMENU popup = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
            int steps = 0, found = -1;
            for (int i = 0; i < GetMenuItemCount(popup) && found < 0; ++i) {
                if (GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR)
                    continue;
                ++steps;
                wchar_t text[128] = {};
                GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
                if (wcsstr(text, L"コピー") || wcsstr(text, L"Copy"))
                    found = steps;
            }
            EXPECT_GT(found, 0);
            DriveMenu(host.GetSafeHwnd(), found > 0 ? found : -1);
        });
        result = menu.ShowContextMenu(&host, CPoint(120, 120));
    }
    EXPECT_EQ(0u, result);
    ASSERT_TRUE(OpenClipboard(host.GetSafeHwnd()));
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    UINT count = drop ? DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    CloseClipboard();
    EXPECT_EQ(2u, count);
    OleSetClipboard(nullptr);
    OleUninitialize();
}

TEST(ShellContextMenu, MenuHookPassesOwnerDrawMessagesToTheNewestInterface)
{
    for (int version : {3, 2, 1}) {
        SCOPED_TRACE(version);
        FakeContextMenu fake(version);
        FakeFolder folder(&fake);
        CLogHostWnd host;
        LONG_PTR procedure = GetWindowLongPtrW(host.GetSafeHwnd(), GWLP_WNDPROC);
        CShellContextMenu menu;
        LPITEMIDLIST ids[2] = {TwoIds(), TwoIds()};
        EXPECT_EQ(2, menu.SetObjects(&folder, ids, 2));
        menu.GetMenu()->AppendMenu(MF_STRING, 30000, L"私の項目");
        LONG_PTR during = 0;
        UINT result = 1;
        {
            ASSERT_TRUE(MakeActive(host));
            HelperThread driver([&] {
                WaitForMenu();
                during = GetWindowLongPtrW(host.GetSafeHwnd(), GWLP_WNDPROC);
                DriveMenu(host.GetSafeHwnd(), 2);
            });
            result = menu.ShowContextMenu(&host, CPoint(120, 120));
        }
        EXPECT_EQ(2u, folder.askedCount);
        EXPECT_EQ(1u, fake.insertedAt);
        EXPECT_EQ(0u, result);
        EXPECT_EQ(0, fake.invokedVerb);
        EXPECT_EQ(sizeof(CMINVOKECOMMANDINFO), fake.invokeSize);
        EXPECT_EQ(procedure, GetWindowLongPtrW(host.GetSafeHwnd(), GWLP_WNDPROC));
        auto has = [](const std::vector<UINT>& v, UINT m) { return std::find(v.begin(), v.end(), m) != v.end(); };
        if (version == 1) {
            EXPECT_EQ(procedure, during);
            EXPECT_TRUE(fake.handled.empty());
        } else {
            EXPECT_NE(procedure, during);
            EXPECT_TRUE(has(fake.handled, WM_MEASUREITEM));
            EXPECT_TRUE(has(fake.handled, WM_DRAWITEM));
            EXPECT_TRUE(has(fake.handled, WM_INITMENUPOPUP));
        }
        EXPECT_TRUE(fake.handled2.empty());
        EXPECT_EQ(1u, fake.refs());
    }
}
