#include <gtest/gtest.h>

#include "catalogue/FolderList.h"
#include "catalogue/VyxConfig.h"
#include "BrowserTestUtil.h"
#include "foundation/VyxPath.h"

TEST(FolderList, KindTableGivesSectionsPatternsAndLimits)
{
    struct Row
    {
        int kind;
        const wchar_t* section;
        const wchar_t* pattern;
        int limit;
    };
    const Row rows[] = {{0, L"FolderView", L"QuickAccess%d", 20},
                        {1, L"Filer", L"Folder%d", 20},
                        {2, L"Filter", L"Filter%d", 10},
                        {4, L"Print", L"File%d", 10},
                        {5, L"ReplaceFormat", L"%d", 20},
                        {9, L"Html", L"Folder%d", 10},
                        {14, L"Filter", L"SizeEnd%d", 10},
                        {15, L"ReportFile", L"%d", 20},
                        {16, L"", L"", 0},
                        {17, L"", L"", 0},
                        {-1, L"", L"", 0}};
    for (const Row& row : rows) {
        EXPECT_STREQ(row.section, FolderList::GetSection(row.kind)) << row.kind;
        EXPECT_STREQ(row.pattern, FolderList::GetKeyPattern(row.kind)) << row.kind;
        EXPECT_EQ(row.limit, FolderList::GetLimit(row.kind)) << row.kind;
    }
}

TEST(FolderList, LoadSkipsGapsAndSaveRenumbersAndDeletesUpToTheLimit)
{
    ScratchSettings settings;
    WriteAppIniString(L"Filter", L"Filter0", L"*.jpg");
    WriteAppIniString(L"Filter", L"Filter2", L"*.png");
    WriteAppIniString(L"Filter", L"Filter10", L"beyond the limit");
    FolderList list(FolderListFilter);
    list.Load();
    ASSERT_EQ(2, list.GetCount());
    EXPECT_EQ(CString(L"*.jpg"), list[0]);
    EXPECT_EQ(CString(L"*.png"), list[1]);

    list.Save();
    EXPECT_EQ(CString(L"*.jpg"), ReadSetting(L"Filter", L"Filter0"));
    EXPECT_EQ(CString(L"*.png"), ReadSetting(L"Filter", L"Filter1"));
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"Filter", L"Filter2"));
    // Keys past the limit are never read, and never deleted.
    EXPECT_EQ(CString(L"beyond the limit"), ReadSetting(L"Filter", L"Filter10"));
}

TEST(FolderList, SavingAnEmptyListDeletesEveryKeyAndTheEmptyKindTouchesNothing)
{
    ScratchSettings settings;
    for (int i = 0; i < 20; ++i) {
        CString key;
        key.Format(L"QuickAccess%d", i);
        WriteAppIniString(L"FolderView", key, L"C:\\x");
    }
    FolderList list(FolderListQuickAccess);
    list.Load();
    EXPECT_EQ(20, list.GetCount());
    list.RemoveAll();
    list.Save();
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"FolderView", L"QuickAccess0"));
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"FolderView", L"QuickAccess19"));

    FolderList none(FolderListEmpty);
    none.Load();
    EXPECT_EQ(0, none.GetCount());
    none.Add(L"ignored");
    none.Save();
    FolderList unbound;
    unbound.Add(L"also ignored");
    unbound.Save();
    EXPECT_EQ(FolderListNone, unbound.GetKind());
    unbound.SetKind(FolderListFilter);
    EXPECT_EQ(0, unbound.GetCount());
}

TEST(FolderList, LayoutPresetsListInReverseFileOrderWithTheirCellAndNamePlacement)
{
    ScratchLayoutFile layouts;
    layouts.Add(L"first", 110, 120, 0, L"x");
    layouts.Add(L"second", 96, 72, 1, L"$(FileName)\t$(Size)");
    layouts.Add(L"third", 64, 64, 2, L"$(W)");
    FolderList list(FolderListThumbLayout);
    list.Load();
    ASSERT_EQ(3, list.GetCount());
    EXPECT_EQ(CString(L"third:64x64 右 $(W)"), list[0]);
    EXPECT_EQ(CString(L"second:96x72 下 $(FileName) $(Size)"), list[1]);
    EXPECT_EQ(CString(L"first:110x120 "), list[2]);
}

TEST(FolderList, SavingLayoutPresetsDeletesOnlyTheRemovedOnesEvenWithColonsInNames)
{
    ScratchLayoutFile layouts;
    layouts.Add(L"keep", 110, 110, 0, L"");
    layouts.Add(L"a:b", 80, 80, 0, L"");
    layouts.Add(L"gone", 90, 90, 0, L"");
    // A section that is not a layout was never listed, so it cannot have been removed.
    VyxConfig config;
    config.WriteString(L"notes", L"any", L"1");

    FolderList list(FolderListThumbLayout);
    list.Load();
    ASSERT_EQ(3, list.GetCount());
    for (INT_PTR i = list.GetCount() - 1; i >= 0; --i)
        if (list[i].Left(5) == L"gone:")
            list.RemoveAt(i);
    list.Save();

    THUMBSDATA data = {};
    EXPECT_TRUE(config.Load(data, L"keep"));
    EXPECT_TRUE(config.Load(data, L"a:b"));
    EXPECT_FALSE(config.Load(data, L"gone"));
    CString notes;
    config.GetString(notes, L"notes", L"any", L"");
    EXPECT_EQ(CString(L"1"), notes);
}

TEST(FolderList, ARemovedPresetGoesEvenWhenAKeptOnesNameStartsWithItsName)
{
    ScratchLayoutFile layouts;
    layouts.Add(L"a", 80, 80, 0, L"");
    layouts.Add(L"a:b", 80, 80, 0, L"");
    layouts.Add(L"a:80x80 ", 90, 90, 0, L"");
    FolderList list(FolderListThumbLayout);
    list.Load();
    ASSERT_EQ(3, list.GetCount());
    for (INT_PTR i = list.GetCount() - 1; i >= 0; --i)
        if (list[i] == L"a:80x80 ")
            list.RemoveAt(i);
    list.Save();

    VyxConfig config;
    THUMBSDATA data = {};
    EXPECT_FALSE(config.Load(data, L"a"));
    EXPECT_TRUE(config.Load(data, L"a:b"));
    EXPECT_TRUE(config.Load(data, L"a:80x80 "));
}

TEST(FolderList, ComboBoxAndListControlRoundTripInOrder)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWN, CRect(0, 0, 200, 100), &host, 1));
    CListCtrl listCtrl;
    ASSERT_TRUE(listCtrl.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 200, 100), &host, 2));
    listCtrl.InsertColumn(0, L"c", LVCFMT_LEFT, 100);

    FolderList list(FolderListFilerFolder);
    list.Add(L"C:\\b");
    list.Add(L"C:\\a");
    list.FillComboBox(combo);
    list.FillListCtrl(listCtrl);

    FolderList fromCombo(FolderListFilerFolder);
    fromCombo.ReadComboBox(combo);
    FolderList fromList(FolderListFilerFolder);
    fromList.Add(L"kept");
    fromList.ReadListCtrl(listCtrl);
    ASSERT_EQ(2, fromCombo.GetCount());
    EXPECT_EQ(CString(L"C:\\b"), fromCombo[0]);
    EXPECT_EQ(CString(L"C:\\a"), fromCombo[1]);
    ASSERT_EQ(3, fromList.GetCount());
    EXPECT_EQ(CString(L"kept"), fromList[0]);
    EXPECT_EQ(CString(L"C:\\a"), fromList[2]);
    host.DestroyWindow();
}

TEST(FolderList, ChosenTextsGoFirstAndOnlyAnExactEntryIsSelected)
{
    ScratchSettings settings;
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWN, CRect(0, 0, 200, 100), &host, 1));
    WriteAppIniString(L"Filer", L"Folder0", L"C:\\a");
    WriteAppIniString(L"Filer", L"Folder1", L"C:\\B");
    FolderList history(FolderListFilerFolder);
    CString value;
    history.LoadIntoComboBox(combo, value);
    EXPECT_EQ(CString(L"C:\\a"), value); // an empty value takes the first entry

    // Another case is another folder text: it goes into the edit field, nothing is selected.
    FolderList::ShowInComboBox(combo, L"C:\\b");
    EXPECT_EQ(-1, combo.GetCurSel());
    CString shown;
    combo.GetWindowText(shown);
    EXPECT_EQ(CString(L"C:\\b"), shown);
    FolderList::ShowInComboBox(combo, L"C:\\B");
    EXPECT_EQ(1, combo.GetCurSel());

    // Taken: the equal entry (ignoring case) leaves its place for the top, and the list is saved.
    combo.SetWindowText(L"c:\\b");
    ASSERT_TRUE(history.TakeFromComboBox(combo, value));
    EXPECT_EQ(2, combo.GetCount());
    EXPECT_EQ(CString(L"c:\\b"), ReadSetting(L"Filer", L"Folder0"));
    EXPECT_EQ(CString(L"C:\\a"), ReadSetting(L"Filer", L"Folder1"));
    combo.SetWindowText(L"");
    EXPECT_FALSE(history.TakeFromComboBox(combo, value));
    EXPECT_EQ(CString(L"C:\\a"), ReadSetting(L"Filer", L"Folder1"));
    host.DestroyWindow();
}
