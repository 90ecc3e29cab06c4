// Plug-in settings on the test plug-ins in the program's host: use flags, priorities, an archive
// plug-in's image plug-ins, named sets; the information dialog with the plug-in's version
// resource; the document's command around the dialog.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "SettingsTestUtil.h"
#include "browser/CSpiInfoDlg.h"
#include "browser/VPluginDlg.h"
#include "foundation/VyxFileStatus.h"

#include <memory>

using namespace settingstest;

namespace {

class PluginDlg : public testing::Test
{
protected:
    void TearDown() override
    {
        if (dialog && dialog->GetSafeHwnd())
            dialog->DestroyWindow();
    }
    void Open(const wchar_t* setName = L"")
    {
        dialog = std::make_unique<VPluginDlg>();
        dialog->m_strSetName = setName;
        ASSERT_TRUE(dialog->Create(VPluginDlg::IDD));
        dialog->ShowWindow(SW_SHOW);
    }
    CListCtrl& List(int list) { return dialog->GetList(list); }
    int RowOf(int list, const wchar_t* name)
    {
        for (int row = 0; row < List(list).GetItemCount(); ++row)
            if (List(list).GetItemText(row, list == VPluginDlg::ChildList ? 0 : 1) == name)
                return row;
        return -1;
    }
    void Select(int list, std::initializer_list<int> rows)
    {
        List(list).SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int row : rows)
            List(list).SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void Press(UINT id)
    {
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)->GetSafeHwnd()));
    }
    VyxSPI* Plugin(const wchar_t* name, int kind) { return theSPImapIndex.FindPluginByName(name, kind); }

    ScratchSettings settings;
    HostedPlugins plugins{{L"test_image", L"timage"}, {L"test_maker", L"tmaker"}, {L"test_archive", L"tarc"}};
    std::unique_ptr<VPluginDlg> dialog;
};

} // namespace

TEST_F(PluginDlg, TheListsShowEachKindWithItsUseFlagAndPriority)
{
    Plugin(L"tmaker", 0)->SetFlags(0);
    Plugin(L"tmaker", 0)->SetOrder(7);
    Open();
    ASSERT_EQ(2, List(VPluginDlg::ImageList).GetItemCount());
    ASSERT_EQ(1, List(VPluginDlg::ArchiveList).GetItemCount());
    const int maker = RowOf(VPluginDlg::ImageList, L"TMAKER");
    ASSERT_GE(maker, 0);
    EXPECT_EQ(1, maker); // by name: TIMAGE, TMAKER
    EXPECT_FALSE(List(VPluginDlg::ImageList).GetCheck(maker));
    EXPECT_EQ(CString(L"7"), List(VPluginDlg::ImageList).GetItemText(maker, 4));
    EXPECT_EQ(CString(L"VYX.KR. test picture plug-in"), List(VPluginDlg::ImageList).GetItemText(maker, 2));
    EXPECT_TRUE(List(VPluginDlg::ArchiveList).GetCheck(0));
    EXPECT_EQ(CString(L"TARC"), List(VPluginDlg::ArchiveList).GetItemText(0, 1));
    dialog->SortList(VPluginDlg::ImageList, 1); // the same column again: descending
    EXPECT_EQ(0, RowOf(VPluginDlg::ImageList, L"TMAKER"));
    Shot(dialog->GetSafeHwnd(), L"plugin_settings.bmp");
}

TEST_F(PluginDlg, CheckBoxesAndTheUseButtonSetTheInUseFlag)
{
    Open();
    const int image = RowOf(VPluginDlg::ImageList, L"TIMAGE");
    List(VPluginDlg::ImageList).SetCheck(image, FALSE);
    EXPECT_FALSE(Plugin(L"timage", 0)->IsEnabled());
    EXPECT_FALSE(dialog->GetRowUse(VPluginDlg::ImageList, image));
    Select(VPluginDlg::ImageList, {0, 1});
    Press(IDC_PLUGIN_IMAGEUSE);
    EXPECT_TRUE(Plugin(L"timage", 0)->IsEnabled());
    EXPECT_FALSE(Plugin(L"tmaker", 0)->IsEnabled());
    EXPECT_TRUE(List(VPluginDlg::ImageList).GetCheck(image));
    EXPECT_TRUE(Enabled(dialog->GetSafeHwnd(), IDC_PLUGIN_IMAGESETUP)); // the test plug-in has a setup
    EXPECT_TRUE(Enabled(dialog->GetSafeHwnd(), IDC_PLUGIN_ADD));
    EXPECT_FALSE(Enabled(dialog->GetSafeHwnd(), IDC_PLUGIN_REMOVE));
}

TEST_F(PluginDlg, APriorityTypedInItsCellBecomesThePluginsOrder)
{
    Open();
    const int maker = RowOf(VPluginDlg::ImageList, L"TMAKER");
    dialog->EditPriority(VPluginDlg::ImageList, maker);
    HWND editor = dialog->GetDlgItem(IDC_PLUGIN_PRIORITY)->GetSafeHwnd();
    EXPECT_TRUE(IsWindowVisible(editor));
    SetWindowTextW(editor, L"1");
    dialog->EndPriorityEdit();
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(1, Plugin(L"tmaker", 0)->GetOrder());
    EXPECT_EQ(CString(L"1"), List(VPluginDlg::ImageList).GetItemText(maker, 4));
    Plugin(L"timage", 0)->SetOrder(50);
    dialog->DestroyWindow();
    // Closing and reloading sorts the host by the new priorities.
    theSPImapIndex.LoadEnabledPlugins();
    EXPECT_EQ(Plugin(L"tmaker", 0), theSPImapIndex.GetPluginAt(0, 0));
}

TEST_F(PluginDlg, AnArchivePluginTakesImagePluginsAndTheUseAllSwitchClearsThem)
{
    Open();
    Select(VPluginDlg::ArchiveList, {0});
    EXPECT_TRUE(IsDlgButtonChecked(dialog->GetSafeHwnd(), IDC_PLUGIN_USEALL));
    EXPECT_FALSE(List(VPluginDlg::ChildList).IsWindowEnabled());
    Select(VPluginDlg::ImageList, {0, 1});
    Press(IDC_PLUGIN_ADD);
    VyxSPI* archive = Plugin(L"tarc", 1);
    EXPECT_FALSE(archive->GetFlags() & VyxSPI::FlagAllImagePlugins);
    EXPECT_EQ(2, archive->GetChildren().GetSize());
    EXPECT_EQ(2, List(VPluginDlg::ChildList).GetItemCount());
    EXPECT_TRUE(List(VPluginDlg::ChildList).IsWindowEnabled());
    Press(IDC_PLUGIN_ADD); // already there: no second rows
    EXPECT_EQ(2, List(VPluginDlg::ChildList).GetItemCount());

    Select(VPluginDlg::ChildList, {RowOf(VPluginDlg::ChildList, L"TIMAGE")});
    Press(IDC_PLUGIN_REMOVE);
    ASSERT_EQ(1, archive->GetChildren().GetSize());
    EXPECT_EQ(CString(L"tmaker"), archive->GetChildren().GetAt(0)->GetFileName().MakeLower());

    Press(IDC_PLUGIN_USEALL);
    EXPECT_TRUE(archive->GetFlags() & VyxSPI::FlagAllImagePlugins);
    EXPECT_EQ(0, archive->GetChildren().GetSize());
    EXPECT_EQ(0, List(VPluginDlg::ChildList).GetItemCount());
    EXPECT_FALSE(List(VPluginDlg::ChildList).IsWindowEnabled());
}

TEST_F(PluginDlg, ANewSetIsMadeByTypingItsNameAndASetCanBeDeleted)
{
    Open();
    HWND window = dialog->GetSafeHwnd();
    Type(window, IDC_PLUGIN_SET, L"写真");
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLUGIN_SET, CBN_KILLFOCUS),
                        reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_PLUGIN_SET)));
    EXPECT_EQ(0, Chosen(window, IDC_PLUGIN_SET));
    EXPECT_NE(CString(L"<none>"), ReadSetting(L"SPISET\\写真", L"timage"));

    // Another set: the state is saved under the old one and the new one is loaded.
    Plugin(L"timage", 0)->SetFlags(0);
    WriteAppIniString(L"SPISET\\other", L"timage", L"65536,3");
    SendDlgItemMessageW(window, IDC_PLUGIN_SET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"other"));
    Choose(window, IDC_PLUGIN_SET, 1);
    EXPECT_EQ(CString(L"0,100"), ReadSetting(L"SPISET\\写真", L"timage"));
    EXPECT_TRUE(Plugin(L"timage", 0)->IsEnabled());
    EXPECT_EQ(3, Plugin(L"timage", 0)->GetOrder());
    Type(window, IDC_PLUGIN_SET, L"other");

    // "X": nothing for an empty name; a "no" keeps the set; a "yes" removes it.
    CString question;
    {
        HelperThread answer([&] {
            HWND box = WaitForMessageBox(&question, 30000);
            if (box)
                PostMessageW(box, WM_COMMAND, IDNO, 0);
        });
        Press(IDC_PLUGIN_SETDELETE);
    }
    EXPECT_EQ(CString(L"プラグインセット：[other]を削除します。よろしいですか？"), Joined(question));
    EXPECT_EQ(CString(L"65536,3"), ReadSetting(L"SPISET\\other", L"timage"));
    {
        HelperThread answer([&] {
            HWND box = WaitForMessageBox(nullptr, 30000);
            if (box)
                PostMessageW(box, WM_COMMAND, IDYES, 0);
        });
        Press(IDC_PLUGIN_SETDELETE);
    }
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"SPISET\\other", L"timage"));
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"SPISET\\other\\tarc", L"ViewSPI"));
    EXPECT_EQ(CString(L""), Text(window, IDC_PLUGIN_SET));
    EXPECT_EQ(-1, static_cast<int>(SendDlgItemMessageW(window, IDC_PLUGIN_SET, CB_FINDSTRINGEXACT, -1,
                                                       reinterpret_cast<LPARAM>(L"other"))));
    Press(IDC_PLUGIN_SETDELETE); // an empty name: no question
    dialog->DestroyWindow();
    EXPECT_EQ(CString(L"写真"), ReadSetting(L"SPI", L"SPISetList"));
    EXPECT_EQ(CString(L""), dialog->m_strSetName);
}

TEST_F(PluginDlg, EnterNeverClosesTheDialogAndClosingKeepsTheColumns)
{
    Open();
    MSG msg = {};
    msg.hwnd = GetDlgItem(dialog->GetSafeHwnd(), IDC_PLUGIN_SET);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_RETURN;
    EXPECT_TRUE(static_cast<CWnd*>(dialog.get())->PreTranslateMessage(&msg));
    EXPECT_TRUE(dialog->IsWindowVisible());
    List(VPluginDlg::ImageList).SetColumnWidth(2, 400);
    dialog->DestroyWindow();
    EXPECT_EQ(CString(L"20,85,400,100,80"), ReadSetting(L"SPI", L"SPIColumn"));
    EXPECT_EQ(CString(L"20,85,270,100,80"), ReadSetting(L"SPI", L"ARCSPIColumn"));
    EXPECT_NE(CString(L"<none>"), ReadSetting(L"SPI", L"USESPIColumn"));
}

TEST_F(PluginDlg, TheInformationDialogShowsThePluginsTextsFileAndVersion)
{
    CSpiInfoDlg info;
    info.SetPlugin(L"timage", 0);
    EXPECT_EQ(CString(L"Test picture plug-in"), info.m_name);
    EXPECT_EQ(CString(L"00IN"), info.m_apiVersion);
    EXPECT_EQ(CString(L"Test pictures"), info.m_open);
    EXPECT_EQ(Plugin(L"timage", 0)->GetFilePatterns(), info.m_extensions);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExW(plugins.Path(L"timage"), GetFileExInfoStandard, &data));
    CString expected;
    expected.Format(L"timage %10lu %s", static_cast<unsigned long>(data.nFileSizeLow),
                    CTime(FileTimeToUnixTime(data.ftLastWriteTime)).Format(L"%Y/%m/%d %H:%M:%S").GetString());
    EXPECT_EQ(expected, info.m_fileInfo);
    const wchar_t* const versions[] = {L"Vyx test company", L"Vyx test plug-in", L"1.2.3.4",           L"testplugin",
                                       L"(c) Vyx tests",    L"testplugin.spi",   L"Vyx test plug-ins", L"1.2"};
    for (int i = 0; i < CSpiInfoDlg::VersionFields; ++i)
        EXPECT_EQ(CString(versions[i]), info.m_version[i]) << i;

    CSpiInfoDlg none;
    none.SetPlugin(L"missing", 0);
    EXPECT_TRUE(none.m_name.IsEmpty());
    EXPECT_TRUE(none.m_fileInfo.IsEmpty());
}

TEST_F(PluginDlg, ThePropertyButtonOpensTheInformationOfTheFocusedPlugin)
{
    Open();
    Select(VPluginDlg::ArchiveList, {0});
    CString company;
    {
        HelperThread answer([&] {
            HWND window = WaitForDialog(L"プラグイン情報", 30000);
            if (!window)
                return;
            company = TextOf(GetDlgItem(window, IDC_SPIINFO_COMPANY));
            Shot(window, L"plugin_info.bmp");
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        });
        Press(IDC_PLUGIN_ARCINFO);
    }
    EXPECT_EQ(CString(L"Vyx test company"), company);
}

TEST(PluginCommand, ClosingSavesTheSetReloadsThePluginsAndRepaintsWhenTheSetChanged)
{
    FrameProgram program;
    ASSERT_NE(nullptr, program.Frame());
    HostedPlugins plugins{{L"test_image", L"timage"}};
    CKWDoc* doc = program.Document();
    auto run = [&](const wchar_t* typed) {
        HelperThread driver([&] {
            HWND window = WaitForDialog(L"プラグイン設定", 30000);
            if (!window)
                return;
            if (typed) {
                Type(window, IDC_PLUGIN_SET, typed);
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PLUGIN_SET, CBN_KILLFOCUS),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_PLUGIN_SET)));
            }
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        });
        doc->OnCmdMsg(ID_DOC_PLUGINS, CN_COMMAND, nullptr, nullptr);
    };
    const int repaints = program.m_hints.Count(HintRedraw);
    run(nullptr);
    EXPECT_EQ(repaints, program.m_hints.Count(HintRedraw));
    EXPECT_NE(CString(L"<none>"), ReadSetting(L"SPISET\\_Default", L"timage"));
    run(L"set2");
    EXPECT_EQ(CString(L"set2"), doc->SPISet);
    EXPECT_EQ(CString(L"set2"), ReadSetting(L"SPI", L"SPISet"));
    EXPECT_EQ(repaints + 1, program.m_hints.Count(HintRedraw));
}
