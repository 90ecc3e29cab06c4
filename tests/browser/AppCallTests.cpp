#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "browser/AppRunJob.h"
#include "browser/VAppCall.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

#include <memory>
#include <sstream>

namespace {

void WriteEntry(int i, const wchar_t* title, const wchar_t* command = L"cmd.exe", int dup = 0, int wait = 0,
                const wchar_t* argv = L"", const wchar_t* dir = L"")
{
    CString key;
    key.Format(L"App%d\\", i);
    WriteAppIniString(L"AppCall", key + L"Title", title);
    WriteAppIniString(L"AppCall", key + L"Cmd", command);
    WriteAppIniString(L"AppCall", key + L"Argv", argv);
    WriteAppIniString(L"AppCall", key + L"Dir", dir);
    WriteAppIniInt(L"AppCall", key + L"Dup", dup);
    WriteAppIniInt(L"AppCall", key + L"Wait", wait);
}

std::vector<CString> Titles(VAppCall& apps)
{
    std::vector<CString> titles;
    for (int i = 0; i < apps.GetCount(); ++i)
        titles.push_back(apps.m_titles[i]);
    return titles;
}

} // namespace

TEST(AppCall, LoadingStopsAtTheFirstEmptyTitle)
{
    ScratchSettings settings;
    WriteEntry(0, L"表示", L"viewer.exe", 1, 1, L"$(Path)", L"$(Dir)");
    WriteEntry(1, L"編集");
    WriteEntry(3, L"after a gap");
    VAppCall apps;
    apps.Load();
    ASSERT_EQ(2, apps.GetCount());
    EXPECT_EQ(2, apps.m_nLoaded);
    EXPECT_EQ(CString(L"viewer.exe"), apps.m_commands[0]);
    EXPECT_EQ(CString(L"$(Path)"), apps.m_arguments[0]);
    EXPECT_EQ(CString(L"$(Dir)"), apps.m_folders[0]);
    EXPECT_EQ(1u, apps.m_dup[0]);
    EXPECT_EQ(1u, apps.m_wait[0]);
    EXPECT_EQ(0u, apps.m_dup[1]);
}

TEST(AppCall, SavingAfterDeletionRemovesTheKeysPastTheNewEnd)
{
    ScratchSettings settings;
    for (int i = 0; i < 4; ++i)
        WriteEntry(i, (L"app" + std::to_wstring(i)).c_str());
    VAppCall apps;
    apps.Load();
    apps.RemoveEntry(1);
    apps.RemoveEntry(0);
    apps.Save();
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"AppCall", L"App2\\Title"));
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"AppCall", L"App3\\Cmd"));
    EXPECT_EQ(CString(L"0"), ReadSetting(L"AppCall", L"App3\\Dup"));
    VAppCall again;
    again.Load();
    EXPECT_EQ((std::vector<CString>{L"app2", L"app3"}), Titles(again));
}

TEST(AppCall, AnEntryWhoseTitleWasClearedNeverHidesTheEntriesAfterIt)
{
    ScratchSettings settings;
    VAppCall apps;
    apps.AddEntry(L"first", L"a.exe", L"", L"", FALSE, FALSE);
    apps.AddEntry(L"", L"b.exe", L"", L"", FALSE, FALSE);
    apps.AddEntry(L"third", L"c.exe", L"", L"", FALSE, FALSE);
    apps.Save();
    VAppCall again;
    again.Load();
    EXPECT_EQ((std::vector<CString>{L"first", L"third"}), Titles(again));
    EXPECT_EQ(CString(L"c.exe"), again.m_commands[1]);
}

TEST(AppCall, TwentyEntriesAtMostAndMovesCarryEveryField)
{
    VAppCall apps;
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(apps.AddEntry(L"t", L"c", L"a", L"d", i == 0, i == 1));
    EXPECT_FALSE(apps.AddEntry(L"t21", L"c", L"a", L"d", FALSE, FALSE));
    apps.m_titles[0] = L"zero";
    apps.MoveEntry(0, 19);
    EXPECT_EQ(CString(L"zero"), apps.m_titles[19]);
    EXPECT_EQ(1u, apps.m_dup[19]);
    EXPECT_EQ(1u, apps.m_wait[0]);
}

TEST(AppCall, JobsQuoteExpandedFieldsWithSpacesAndTakeFolders)
{
    FrameworkScratchFolder folder;
    folder.WriteFile(L"a b.jpg", "x");
    folder.WriteFile(L"c.jpg", "x");
    VyxFile spaced(folder / L"a b.jpg");
    VyxFile plain(folder / L"c.jpg");
    VyxFile subfolder(folder.Path());
    const VyxFile* items[] = {&spaced, &subfolder, &plain};

    VAppCall apps;
    apps.AddEntry(L"view", L"C:\\Program Files\\v.exe", L"-x $(FileName)", L"", FALSE, FALSE);
    apps.AddEntry(L"noargs", L"C:\\tools\\n.exe", L"", L"D:\\never", FALSE, FALSE);
    apps.AddEntry(L"dir", L"\"C:\\a b\\d.exe\" -q", L"$(FileName)", L"$(Dir)", TRUE, TRUE);

    CString start;
    std::unique_ptr<AppRunJob> job(apps.MakeJob(0, L"C:\\shown", items, 3, &start));
    ASSERT_TRUE(job);
    EXPECT_EQ(CString(L"\"C:\\Program Files\\v.exe\""), job->head);
    ASSERT_EQ(3, job->arguments.GetCount());
    EXPECT_STREQ(L" -x \"a b.jpg\"", job->arguments[0].GetText());
    EXPECT_STREQ(L" -x c.jpg", job->arguments[2].GetText());
    EXPECT_STREQ(L"C:\\Program Files", job->folders[0].GetText());
    EXPECT_EQ(CString(L"C:\\Program Files"), start);

    job.reset(apps.MakeJob(1, L"C:\\shown", items, 3, &start));
    EXPECT_EQ(0, job->arguments.GetCount());
    EXPECT_EQ(CString(L"C:\\shown"), start);

    job.reset(apps.MakeJob(2, L"C:\\shown", items, 3, &start));
    EXPECT_EQ(CString(L"\"C:\\a b\\d.exe\" -q"), job->head);
    EXPECT_TRUE(job->wait);
    CString expanded = spaced.ExpandMacros(L"$(Dir)");
    EXPECT_STREQ(expanded, job->folders[0].GetText());

    // No files among the selection: no arguments at all.
    const VyxFile* onlyFolder[] = {&subfolder};
    job.reset(apps.MakeJob(0, L"C:\\shown", onlyFolder, 1, &start));
    EXPECT_EQ(0, job->arguments.GetCount());
    EXPECT_EQ(nullptr, apps.MakeJob(3, L"C:\\shown", items, 3, &start));
}

TEST(AppCall, WithoutDupOneProcessGetsEveryFileInTheDisplayFolder)
{
    Probe probe;
    FrameworkScratchFolder files;
    files.WriteFile(L"x y.jpg", "x");
    files.WriteFile(L"z.jpg", "x");
    VyxFile first(files / L"x y.jpg");
    VyxFile second(files / L"z.jpg");
    const VyxFile* items[] = {&first, &second};
    VAppCall apps;
    apps.AddEntry(L"probe", apps.QuoteIfSpaced(probe.exe), L"$(FileName)", L"", FALSE, FALSE);
    apps.Launch(0, files.Path(), items, 2, nullptr);
    ASSERT_TRUE(probe.WaitForLines(1));
    CString exeFolder;
    GetModuleFolder(exeFolder);
    // Without a folder template each file's folder is the program's, and the process starts in
    // the last one.
    EXPECT_EQ(Utf8(static_cast<LPCWSTR>(exeFolder)) + "|[x y.jpg]|[z.jpg]", probe.Lines()[0]);
}

TEST(AppCall, WithDupAndWaitEachFileGetsItsOwnProcessInTurn)
{
    Probe probe;
    FrameworkScratchFolder files;
    std::vector<std::unique_ptr<VyxFile>> owned;
    std::vector<const VyxFile*> items;
    for (const wchar_t* name : {L"1.jpg", L"2.jpg", L"3.jpg"}) {
        files.WriteFile(name, "x");
        owned.emplace_back(new VyxFile(files / name));
        items.push_back(owned.back().get());
    }
    VAppCall apps;
    apps.AddEntry(L"probe", apps.QuoteIfSpaced(probe.exe), L"$(FileName)", L"$(Dir)", TRUE, TRUE);
    apps.Launch(0, L"C:\\", items.data(), 3, nullptr);
    ASSERT_TRUE(probe.WaitForLines(3));
    std::vector<std::string> lines = probe.Lines();
    CString dir = owned[0]->ExpandMacros(L"$(Dir)");
    EXPECT_EQ(Utf8(static_cast<LPCWSTR>(dir)) + "|[1.jpg]", lines[0]);
    EXPECT_EQ(Utf8(static_cast<LPCWSTR>(dir)) + "|[2.jpg]", lines[1]);
    EXPECT_EQ(Utf8(static_cast<LPCWSTR>(dir)) + "|[3.jpg]", lines[2]);
}

TEST(AppCall, AProgramThatCannotStartIsReportedWithItsCommandLine)
{
    VAppCall apps;
    apps.AddEntry(L"none", L"C:\\no such\\program.exe", L"", L"", FALSE, FALSE);
    CString text;
    HelperThread driver([&] { DismissMessageBox(&text); });
    apps.Launch(0, L"C:\\", nullptr, 0, nullptr);
    EXPECT_NE(-1, text.Find(L"[\"C:\\no such\\program.exe\"]"));
}

TEST(AppCall, ClosingTheDialogNeedsATitleAndACommandOnEveryEntry)
{
    ScratchSettings settings;
    WriteEntry(0, L"one", L"one.exe");
    WriteEntry(1, L"two", L"two.exe");
    std::vector<CString> messages;
    VAppCall dialog;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"外部アプリケーション登録");
        if (!window)
            return;
        // The last entry is on show: clear another entry's title through the list.
        SendMessageW(GetDlgItem(window, IDC_APP_LIST), LB_SETCURSEL, 0, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_APP_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_APP_LIST)));
        SetDlgItemTextW(window, IDC_APP_TITLE, L"");
        SendMessageW(GetDlgItem(window, IDC_APP_LIST), LB_SETCURSEL, 1, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_APP_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_APP_LIST)));
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        CString text;
        DismissMessageBox(&text);
        messages.push_back(text);
        // The entry without a title is on show again.
        messages.push_back(TextOf(GetDlgItem(window, IDC_APP_COMMAND)));
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ(CString(L"タイトルを設定してください"), messages[0]);
    EXPECT_EQ(CString(L"one.exe"), messages[1]);
    EXPECT_EQ(CString(L"one"), ReadSetting(L"AppCall", L"App0\\Title"));
}

TEST(AppCall, TheTwentyFirstAddIsRefused)
{
    ScratchSettings settings;
    for (int i = 0; i < 20; ++i)
        WriteEntry(i, (L"app" + std::to_wstring(i)).c_str());
    CString text;
    VAppCall dialog;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"外部アプリケーション登録");
        if (!window)
            return;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_APP_ADD, BN_CLICKED), 0);
        DismissMessageBox(&text);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal();
    EXPECT_EQ(CString(L"外部アプリケーションの登録は最大 20個までです"), text);
    EXPECT_EQ(20, dialog.GetCount());
}
