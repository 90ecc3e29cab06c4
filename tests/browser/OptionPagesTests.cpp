// The option pages one by one in a modeless sheet on a record of the test's own: the rules each
// page adds to the shared "every control writes its field at once".
#include <gtest/gtest.h>

#include "SettingsTestUtil.h"
#include "browser/options/COptPageConfig.h"
#include "browser/options/COptPageFile.h"
#include "browser/options/COptPageFiler.h"
#include "browser/options/COptPageFolder.h"
#include "browser/options/COptPageFull.h"
#include "browser/options/COptPageList.h"
#include "browser/options/COptPageMouse.h"
#include "browser/options/COptPagePlugin.h"
#include "browser/options/COptPageThumb.h"
#include "browser/options/COptPageView.h"
#include "browser/options/COptPageWindow.h"
#include "browser/options/CTreeSheet.h"
#include "foundation/VyxSystem.h"
#include "res/resource.h"

#include <memory>
#include <vector>

using namespace settingstest;

namespace {

class OptionPages : public testing::Test
{
protected:
    void TearDown() override
    {
        if (m_sheet && m_sheet->GetSafeHwnd())
            m_sheet->DestroyWindow();
    }
    // The pages open in one sheet; the window of the first.
    template <class... Pages> HWND Open()
    {
        m_sheet = std::make_unique<CTreeSheet>(L"動作設定");
        (m_pages.push_back(std::make_unique<Pages>(&record)), ...);
        for (auto& page : m_pages)
            m_sheet->AddPage(page.get());
        m_sheet->SetTreeViewMode(TRUE, TRUE, FALSE);
        EXPECT_TRUE(m_sheet->Create());
        return Page();
    }
    HWND Page() { return reinterpret_cast<HWND>(m_sheet->SendMessage(PSM_GETCURRENTPAGEHWND)); }
    COptPage* PageObject(int index) { return m_pages[static_cast<size_t>(index)].get(); }

    ScratchSettings m_settings;
    COptPageBoot::OPTIONSDATA record;
    std::unique_ptr<CTreeSheet> m_sheet;
    std::vector<std::unique_ptr<COptPage>> m_pages;
};

} // namespace

TEST_F(OptionPages, EachPageHasItsIconAndNoHelpButTheFullScreenPageHasNoIcon)
{
    Open<COptPageBoot, COptPageFiler, COptPageFile, COptPageConfig, COptPageFolder, COptPageList, COptPageView,
         COptPageWindow, COptPageFull, COptPageMouse, COptPageThumb, COptPagePlugin>();
    for (int i = 0; i < 12; ++i) {
        const PROPSHEETPAGEW& psp = PageObject(i)->m_psp;
        EXPECT_FALSE(psp.dwFlags & PSP_HASHELP) << i;
        EXPECT_EQ(i != 8, (psp.dwFlags & PSP_USEHICON) != 0) << i;
        EXPECT_EQ(i != 8, psp.hIcon != nullptr) << i;
    }
    // The captions build the tree: two groups of pages and three pages of their own.
    CTreeCtrl* tree = m_sheet->GetPageTreeControl();
    ASSERT_NE(nullptr, tree);
    std::vector<CString> top;
    for (HTREEITEM item = tree->GetRootItem(); item; item = tree->GetNextSiblingItem(item))
        top.push_back(tree->GetItemText(item));
    EXPECT_EQ((std::vector<CString>{L"全体", L"画面", L"マウス", L"キャッシュ", L"プラグイン"}), top);
}

TEST_F(OptionPages, TheHomeFolderWaitsWhileTheLastFolderIsRestored)
{
    record.RestoreFolder = true;
    record.HomeFolder = L"C:\\pictures";
    HWND page = Open<COptPageBoot>();
    EXPECT_FALSE(Enabled(page, IDC_BOOT_HOMEFOLDER));
    EXPECT_FALSE(Enabled(page, IDC_BOOT_HOMELABEL));
    EXPECT_EQ(CString(L"C:\\pictures"), Text(page, IDC_BOOT_HOMEFOLDER));
    SetCheckAndNotify(page, IDC_BOOT_RESTOREFOLDER, false);
    EXPECT_FALSE(record.RestoreFolder);
    EXPECT_TRUE(Enabled(page, IDC_BOOT_HOMEFOLDER));
    EXPECT_TRUE(Enabled(page, IDC_BOOT_HOMELABEL));
    Type(page, IDC_BOOT_HOMEFOLDER, L"D:\\x");
    EXPECT_EQ(CString(L"D:\\x"), record.HomeFolder);
}

TEST_F(OptionPages, TheFolderButtonSitsBesideTheEditAndFollowsItsWidth)
{
    HWND page = Open<COptPageBoot>();
    HWND edit = GetDlgItem(page, IDC_BOOT_HOMEFOLDER);
    HWND button = GetDlgItem(page, 2258);
    ASSERT_NE(nullptr, button);
    EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & BS_ICON);
    CRect editRect, buttonRect;
    GetWindowRect(edit, &editRect);
    GetWindowRect(button, &buttonRect);
    EXPECT_EQ(20, buttonRect.Width());
    EXPECT_EQ(editRect.right, buttonRect.left);
    // A wider sheet widens the edit, and the button stays at its end.
    CRect sheet;
    m_sheet->GetWindowRect(&sheet);
    m_sheet->SetWindowPos(nullptr, 0, 0, sheet.Width() + 80, sheet.Height(), SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    CRect wider, moved;
    GetWindowRect(edit, &wider);
    GetWindowRect(button, &moved);
    EXPECT_GT(wider.Width(), editRect.Width());
    EXPECT_EQ(wider.right, moved.left);
}

TEST_F(OptionPages, ColoursAreTypedAsHexadecimalAndTheDefaultEntryGivesTheOpeningColour)
{
    record.colText = 0x000000;
    record.colBackground = 0xE0FFFF;
    HWND page = Open<COptPageConfig>();
    EXPECT_EQ(CString(L"000000"), Text(page, IDC_CONFIG_TEXTCOLOUR));
    EXPECT_EQ(CString(L"E0FFFF"), Text(page, IDC_CONFIG_BACKCOLOUR));
    Type(page, IDC_CONFIG_TEXTCOLOUR, L" #ff8000");
    EXPECT_EQ(0xFF8000u, record.colText);
    Type(page, IDC_CONFIG_BACKCOLOUR, L"x12");
    EXPECT_EQ(0u, record.colBackground);
    // Eight digits would reach the byte that is not part of a colour.
    Type(page, IDC_CONFIG_BACKCOLOUR, L"12345678");
    EXPECT_EQ(0x345678u, record.colBackground);

    Pick(page, IDC_CONFIG_TEXTPICKER, CLR_DEFAULT);
    EXPECT_EQ(0x000000u, record.colText);
    EXPECT_EQ(CString(L"000000"), Text(page, IDC_CONFIG_TEXTCOLOUR));
    Pick(page, IDC_CONFIG_BACKPICKER, RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), record.colBackground);
    EXPECT_EQ(CString(L"030201"), Text(page, IDC_CONFIG_BACKCOLOUR));
    SetCheckAndNotify(page, IDC_CONFIG_SYNCJUMP, false);
    EXPECT_FALSE(record.SyncJump);
}

TEST_F(OptionPages, TheTreeRootKeepsAValueWithoutARowUntilOneIsChosen)
{
    record.TreeRoot = 30;
    HWND page = Open<COptPageFolder>();
    EXPECT_EQ(0, Chosen(page, IDC_FOLDER_ROOT));
    SetCheckAndNotify(page, IDC_FOLDER_HIDDEN, true);
    EXPECT_EQ(30, record.TreeRoot);
    EXPECT_TRUE(record.HiddenFolder);
    Choose(page, IDC_FOLDER_ROOT, 1);
    EXPECT_EQ(27, record.TreeRoot);
    Choose(page, IDC_FOLDER_ROOT, 0);
    EXPECT_EQ(28, record.TreeRoot);
    Choose(page, IDC_FOLDER_CHECKSUB, 0);
    EXPECT_EQ(0, record.CheckSubFolder);
    EXPECT_EQ(2, COptPageFolder::RootToIndex(29));
}

TEST_F(OptionPages, NumbersTakeTheirLeadingDigits)
{
    HWND page = Open<COptPageList>();
    EXPECT_EQ(CString(L"30"), Text(page, IDC_LIST_NAMEMAX));
    Type(page, IDC_LIST_NAMEMAX, L"12x");
    EXPECT_EQ(12, record.NameMaxSize);
    Type(page, IDC_LIST_NAMEMAX, L"abc");
    EXPECT_EQ(0, record.NameMaxSize);
    EXPECT_NE(nullptr, GetDlgItem(page, 2258)); // the macro button of the template
}

TEST_F(OptionPages, TheCoverBoxesEachKeepTheOtherBits)
{
    record.FolderTitle = 3;
    HWND page = Open<COptPageView>();
    SetCheckAndNotify(page, IDC_VIEW_COVERFOLDER, false);
    EXPECT_EQ(1, record.FolderTitle);
    record.FolderTitle = 12;
    SetCheckAndNotify(page, IDC_VIEW_COVERARCHIVE, true);
    EXPECT_EQ(13, record.FolderTitle);
}

TEST_F(OptionPages, ASplitOutOfRangeIsRefusedAndThePageCannotBeLeft)
{
    record.Monitor = 5;
    HWND page = Open<COptPageFull, COptPageFiler>();
    EXPECT_EQ(-1, Chosen(page, IDC_FULL_MONITOR));
    EXPECT_EQ(GetMonitorCount(), static_cast<int>(SendDlgItemMessageW(page, IDC_FULL_MONITOR, CB_GETCOUNT, 0, 0)));
    Type(page, IDC_FULL_COLUMNS, L"12");
    EXPECT_EQ(12, record.ColumnCount);

    // Every range message is answered; each action must give exactly one. (The sheet has a
    // child with the message box's text id: it is not one.)
    std::vector<CString> messages;
    volatile bool done = false;
    HWND sheet = m_sheet->GetSafeHwnd();
    HelperThread answer([&] {
        while (!done) {
            HWND box = WaitForWindow(
                [&](HWND hWnd) { return hWnd != sheet && IsClass(hWnd, L"#32770") && GetDlgItem(hWnd, 0xFFFF); }, 200);
            if (!box)
                continue;
            CString text = TextOf(GetDlgItem(box, 0xFFFF));
            messages.push_back(text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            WaitUntil([&] { return !IsWindow(box); });
        }
    });
    Type(page, IDC_FULL_COLUMNS, L"65");
    EXPECT_EQ(1u, messages.size());
    EXPECT_EQ(12, record.ColumnCount);
    EXPECT_EQ(nullptr, ShowPage(m_sheet->GetSafeHwnd(), 1));
    EXPECT_EQ(2u, messages.size());
    EXPECT_EQ(page, Page());
    done = true;
    Type(page, IDC_FULL_COLUMNS, L"64");
    EXPECT_EQ(64, record.ColumnCount);
    EXPECT_NE(nullptr, ShowPage(m_sheet->GetSafeHwnd(), 1));
    EXPECT_EQ(2u, messages.size());
}

TEST_F(OptionPages, WheelAndDoubleClickRowsMapToTheirValues)
{
    for (int i = 0; i < 20; ++i) {
        CString key;
        key.Format(L"App%d\\Title", i);
        WriteAppIniString(L"AppCall", key, L"app");
    }
    record.IDViewer = 20019;
    record.WheelScrollCount = 2;
    HWND page = Open<COptPageMouse>();
    EXPECT_EQ(22, Chosen(page, IDC_MOUSE_VIEWER));
    EXPECT_EQ(-1, Chosen(page, IDC_MOUSE_WHEEL));
    SetCheckAndNotify(page, IDC_MOUSE_DADMOVE, true);
    EXPECT_EQ(2, record.WheelScrollCount);
    Choose(page, IDC_MOUSE_WHEEL, 4);
    EXPECT_EQ(-1, record.WheelScrollCount);
    Choose(page, IDC_MOUSE_VIEWER, 3);
    EXPECT_EQ(20000, record.IDViewer);
    Choose(page, IDC_MOUSE_VIEWER, 2);
    EXPECT_EQ(10078, record.IDViewer);
    EXPECT_EQ(-1, COptPageMouse::ViewerToIndex(10000));
}

TEST_F(OptionPages, AnApplicationBeyondTheRegisteredOnesSelectsNothing)
{
    WriteAppIniString(L"AppCall", L"App0\\Title", L"app");
    record.IDViewer = 20019;
    HWND page = Open<COptPageMouse>();
    EXPECT_EQ(-1, Chosen(page, IDC_MOUSE_VIEWER));
    EXPECT_EQ(4, static_cast<int>(SendDlgItemMessageW(page, IDC_MOUSE_VIEWER, CB_GETCOUNT, 0, 0)));
}

TEST_F(OptionPages, ASizeLimitAbove2048IsIgnoredAndTextWithoutDigitsIsZero)
{
    HWND page = Open<COptPagePlugin>();
    EXPECT_EQ(CString(L"2048"), Text(page, IDC_OPTPLUGIN_DISPLIMIT));
    Type(page, IDC_OPTPLUGIN_DISPLIMIT, L"3000");
    EXPECT_EQ(2048, record.DispPluginLimit);
    EXPECT_EQ(CString(L"3000"), Text(page, IDC_OPTPLUGIN_DISPLIMIT));
    Type(page, IDC_OPTPLUGIN_DISPLIMIT, L"-1");
    EXPECT_EQ(2048, record.DispPluginLimit);
    Type(page, IDC_OPTPLUGIN_ARCLIMIT, L"abc");
    EXPECT_EQ(0, record.ArcDispPluginLimit);
    EXPECT_EQ(CString(L"0"), Text(page, IDC_OPTPLUGIN_ARCLIMIT));
    Type(page, IDC_OPTPLUGIN_DISPLIMIT, L"2048");
    EXPECT_EQ(2048, record.DispPluginLimit);
    Type(page, IDC_OPTPLUGIN_DISPLIMIT, L"07");
    EXPECT_EQ(7, record.DispPluginLimit);
    EXPECT_EQ(CString(L"7"), Text(page, IDC_OPTPLUGIN_DISPLIMIT));
}

TEST_F(OptionPages, AWhiteBackgroundIsAskedOfThePageAndAnsweredForItsControls)
{
    HWND page = Open<COptPageFiler>();
    HWND box = GetDlgItem(page, IDC_FILER_DELQA);
    HDC dc = GetDC(box);
    auto brush = [&] {
        return reinterpret_cast<HBRUSH>(
            SendMessageW(page, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box)));
    };
    PageObject(0)->SetHasWhiteBackground(false);
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), brush());
    PageObject(0)->SetHasWhiteBackground(true);
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), brush());
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    ReleaseDC(box, dc);
}
