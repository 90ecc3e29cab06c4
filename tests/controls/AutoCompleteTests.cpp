#include "common/ControlTestUtil.h"

#include "controls/CACEdit.h"

namespace {

// A scratch tree: three visible folders, a hidden one and a file.
struct Tree
{
    FrameworkScratchFolder scratch;
    CString base;
    Tree()
    {
        for (LPCWSTR name : {L"alpha", L"Alpine", L"beta", L"hid"})
            CreateDirectoryW(scratch / name, nullptr);
        SetFileAttributesW(scratch / L"hid", FILE_ATTRIBUTE_HIDDEN);
        scratch.WriteFile(L"afile.txt", "x");
        base = scratch.Path() + L"\\";
    }
};

// An edit in a host window with completion attached.
struct Fixture
{
    CLogHostWnd host;
    CACEdit edit;
    explicit Fixture(DWORD mode)
    {
        host.SetWindowPos(nullptr, 60, 60, 500, 300, SWP_NOZORDER);
        HWND hwnd =
            CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 400, 24,
                            host.GetSafeHwnd(), reinterpret_cast<HMENU>(1072), AfxGetInstanceHandle(), nullptr);
        edit.SubclassWindow(hwnd);
        edit.SetMode(mode);
        edit.SetFocus();
    }
    // As if typed: inserted at the caret at the end.
    void Type(LPCWSTR text)
    {
        int end = edit.GetWindowTextLength();
        edit.SendMessage(EM_SETSEL, end, end);
        edit.SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    }
    std::vector<CString> Shown()
    {
        std::vector<CString> rows;
        if (!edit.IsListVisible())
            return rows;
        for (int i = 0; i < edit.GetList().GetShownCount(); ++i)
            rows.push_back(edit.GetList().GetShown(i));
        return rows;
    }
    CString Text() { return TextOf(edit.GetSafeHwnd()); }
};

const DWORD kJumpBarMode = CACEdit::ModePath | CACEdit::ModeNoFiles;

} // namespace

TEST(AutoComplete, TypedFolderListsItsVisibleSubfoldersAsFullPathsAndALetterNarrowsThem)
{
    Tree tree;
    Fixture f(kJumpBarMode);
    EXPECT_EQ(1, f.edit.GetKind());
    // The list's window is made when suggestions first show, not with the control.
    EXPECT_EQ(nullptr, f.edit.GetList().GetSafeHwnd());
    f.Type(L"C");
    EXPECT_EQ(nullptr, f.edit.GetList().GetSafeHwnd());
    f.edit.SetWindowText(L"");
    CString typed = tree.base;
    typed.SetAt(0, static_cast<wchar_t>(towlower(typed[0])));
    f.Type(typed);
    CString upper = tree.base;
    upper.SetAt(0, static_cast<wchar_t>(towupper(upper[0])));
    EXPECT_EQ((std::vector<CString>{upper + L"alpha\\", upper + L"Alpine\\", upper + L"beta\\"}), f.Shown());
    ASSERT_NE(nullptr, f.host.Last(WMU_AUTOCOMPLETE));
    EXPECT_EQ(0x400u, f.host.Last(WMU_AUTOCOMPLETE)->wParam);
    EXPECT_EQ(1072, f.host.Last(WMU_AUTOCOMPLETE)->lParam);

    f.Type(L"AL");
    EXPECT_EQ((std::vector<CString>{upper + L"alpha\\", upper + L"Alpine\\"}), f.Shown());
    f.Type(L"Z");
    EXPECT_TRUE(f.Shown().empty());
    EXPECT_FALSE(f.edit.IsListVisible());
}

TEST(AutoComplete, ArrowKeysPutEntriesIntoTheEditAndWrapAround)
{
    Tree tree;
    Fixture f(kJumpBarMode);
    f.Type(tree.base);
    ASSERT_EQ(3u, f.Shown().size());
    std::vector<CString> rows = f.Shown();
    auto without = [](CString s) { return s.Left(s.GetLength() - 1); };
    for (int i : {0, 1, 2, 0}) {
        f.edit.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(without(rows[i]), f.Text());
        DWORD start = 0, end = 0;
        f.edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(static_cast<DWORD>(f.Text().GetLength()), start);
        EXPECT_EQ(start, end);
    }
    f.edit.SendMessage(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(without(rows[2]), f.Text());
    EXPECT_EQ(0x100u, f.host.Last(WMU_AUTOCOMPLETE)->wParam);
    // The edit's own changes while it fills itself do not refilter the list.
    EXPECT_EQ(3, f.edit.GetList().GetShownCount());
}

TEST(AutoComplete, EnterWhileTheListIsOpenOnlyClosesIt)
{
    Tree tree;
    Fixture f(kJumpBarMode);
    f.Type(tree.base);
    ASSERT_TRUE(f.edit.IsListVisible());
    MSG enter = {f.edit.GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(f.host.GetSafeHwnd(), &enter));
    EXPECT_FALSE(f.edit.IsListVisible());
    // Closed, the list no longer takes the key.
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(f.host.GetSafeHwnd(), &enter));
}

TEST(AutoComplete, MovingTheHostWindowClosesTheList)
{
    Tree tree;
    Fixture f(kJumpBarMode);
    f.Type(tree.base);
    ASSERT_TRUE(f.edit.IsListVisible());
    CRect list;
    f.edit.GetList().GetWindowRect(&list);
    CRect control;
    f.edit.GetWindowRect(&control);
    EXPECT_EQ(control.left, list.left);
    EXPECT_EQ(control.bottom, list.top);
    EXPECT_EQ(control.Width(), list.Width());
    f.host.SetWindowPos(nullptr, 90, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(PumpUntil([&] { return !f.edit.IsListVisible(); }));
}

TEST(AutoComplete, ClickedEntryIsTakenAndTheListCloses)
{
    Fixture f(CACEdit::ModeWholeText);
    LPCWSTR words[] = {L"リンゴ", L"りんご飴", L"みかん", L"Apple", L"apricot", nullptr};
    f.edit.SetWords(words);
    f.Type(L"ap");
    ASSERT_EQ((std::vector<CString>{L"Apple", L"apricot"}), f.Shown());
    int row = f.edit.GetList().GetRowHeight();
    f.edit.GetList().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, row + row / 2));
    EXPECT_EQ(CString(L"apricot"), f.Text());
    EXPECT_FALSE(f.edit.IsListVisible());
}

TEST(AutoComplete, ContainsModeMatchesAnywhereAndEmptyControlShowsAllOnArrow)
{
    Fixture contains(CACEdit::ModeWholeText | CACEdit::ModeContains);
    LPCWSTR words[] = {L"赤い傘", L"青い傘", L"傘立て", L"長靴", nullptr};
    contains.edit.SetWords(words);
    contains.Type(L"傘");
    EXPECT_EQ(3u, contains.Shown().size());

    Fixture all(CACEdit::ModeShowAllOnArrow);
    EXPECT_EQ(static_cast<DWORD>(CACEdit::ModeShowAllOnArrow | CACEdit::ModeWholeText), all.edit.GetMode());
    all.edit.SetWords(words);
    EXPECT_EQ(nullptr, all.edit.GetList().GetSafeHwnd());
    all.edit.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(4u, all.Shown().size());
}

TEST(AutoComplete, FolderNamesModeListsNamesOfTheOwnersFolder)
{
    Tree tree;
    Fixture f(CACEdit::ModeFolderNames);
    f.edit.SetFolder(tree.base);
    f.Type(L"a");
    EXPECT_EQ((std::vector<CString>{L"afile.txt", L"alpha\\", L"Alpine\\"}), f.Shown());
}

TEST(AutoComplete, OverlongFolderPartsAreRefusedInsteadOfSplitIntoFixedBuffers)
{
    const CString longPart(L'x', 300);
    struct Case
    {
        CString path;
        BOOL ok;
        CString folder;
    };
    const Case cases[] = {
        {L"C:\\dir\\name.ext", TRUE, L"C:\\dir\\"},
        {L"C:\\dir\\sub", TRUE, L"C:\\dir\\"},
        {L"C:name", TRUE, L"C:"},
        {L"name", TRUE, L""},
        {L"\\\\?\\C:\\x\\y", TRUE, L"\\\\?\\C:\\x\\"},
        {L"C:\\" + longPart + L"\\y", FALSE, L""},
        {L"C:\\dir\\" + longPart, FALSE, L""},
        {L"C:\\dir\\name." + longPart, FALSE, L""},
    };
    for (const Case& c : cases) {
        CString folder = L"unchanged";
        EXPECT_EQ(c.ok, CACEdit::SplitFolder(c.path, folder)) << CStringA(c.path).Left(40).GetString();
        if (c.ok) {
            EXPECT_EQ(c.folder, folder);
        }
    }

    // Typed, such a path lists nothing and leaves the control working.
    Tree tree;
    const CString half(L'y', 150);
    CString outer = L"\\\\?\\" + tree.scratch.Path() + L"\\" + half;
    CString deep = outer + L"\\" + half;
    ASSERT_TRUE(CreateDirectoryW(outer, nullptr));
    ASSERT_TRUE(CreateDirectoryW(deep, nullptr));
    ASSERT_TRUE(CreateDirectoryW(deep + L"\\sub", nullptr));
    Fixture f(kJumpBarMode);
    f.Type(deep + L"\\sub");
    EXPECT_TRUE(f.Shown().empty());
    RemoveDirectoryW(deep + L"\\sub");
    RemoveDirectoryW(deep);
    RemoveDirectoryW(outer);
    f.edit.SetWindowText(L"");
    f.Type(tree.base);
    EXPECT_EQ(3u, f.Shown().size());
}

TEST(AutoComplete, DraggedCornerSizeIsKeptForLaterLists)
{
    Tree tree;
    Fixture f(kJumpBarMode);
    f.Type(tree.base);
    ASSERT_TRUE(f.edit.IsListVisible());
    CRect before;
    f.edit.GetList().GetWindowRect(&before);
    CPoint corner(before.right - 3, before.bottom - 3);
    {
        HelperThread mouse([&] {
            // Absolute moves only: a cursor warped by SetCursorPos and relative input can disagree
            // under Wine once an earlier test has moved the cursor.
            auto send = [](int x, int y, DWORD flags) {
                INPUT in = {};
                in.type = INPUT_MOUSE;
                in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
                in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
                in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
                SendInput(1, &in, sizeof(in));
            };
            send(corner.x, corner.y, 0);
            send(corner.x, corner.y, MOUSEEVENTF_LEFTDOWN);
            for (int step = 1; step <= 5; ++step) {
                Sleep(30);
                send(corner.x + 12 * step, corner.y + 10 * step, 0);
            }
            Sleep(30);
            send(corner.x + 60, corner.y + 50, MOUSEEVENTF_LEFTUP);
        });
        PumpUntil([&] {
            CRect now;
            f.edit.GetList().GetWindowRect(&now);
            return now.Width() >= before.Width() + 50 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
        });
    }
    CRect dragged;
    f.edit.GetList().GetWindowRect(&dragged);
    EXPECT_GT(dragged.Width(), before.Width());
    f.edit.GetList().Hide();
    f.Type(L"a");
    ASSERT_TRUE(f.edit.IsListVisible());
    CRect later;
    f.edit.GetList().GetWindowRect(&later);
    EXPECT_EQ(dragged.Size(), later.Size());
}
