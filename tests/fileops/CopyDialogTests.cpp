// The copy and move dialogs and the folder prompts, driven as a user would: the history of
// destinations, quick-access folders, the option tree's choices as the engine takes them, full
// paths, and names that must not be empty.
#include "CopyTestUtil.h"
#include "../foundation/TestSettings.h"
#include "FileopsTestUtil.h"
#include "catalogue/FolderList.h"
#include "fileops/CGetFolderDlg.h"
#include "fileops/VFileCopyDlg.h"
#include "fileops/VFileMoveDlg.h"
#include "fileops/VFileMdDlg.h"
#include "fileops/VFileRnDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "common/RealInput.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

void SetHistory(int kind, std::initializer_list<LPCWSTR> entries)
{
    CStringArray list;
    for (LPCWSTR entry : entries)
        list.Add(entry);
    FolderList::SaveKind(kind, list);
}

std::vector<CString> History(int kind)
{
    CStringArray list;
    FolderList::LoadKind(kind, list);
    return std::vector<CString>(list.GetData(), list.GetData() + list.GetCount());
}

void SetComboText(HWND window, int id, LPCWSTR text)
{
    SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Command(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

int ItemImage(HWND tree, HTREEITEM item)
{
    TVITEMW data = {};
    data.mask = TVIF_IMAGE;
    data.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return data.iImage;
}

// Clicks the radio mark of the option tree's item with that text, as the user does, and waits
// until it shows checked (image 3).
void ClickOption(HWND tree, LPCWSTR text)
{
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item)) {
        wchar_t buffer[128] = {};
        TVITEMW data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = buffer;
        data.cchTextMax = 128;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        if (CString(buffer) != text)
            continue;
        // The item goes in, its text's rectangle comes back, in the same memory.
        union {
            HTREEITEM item;
            RECT rect;
        } query = {};
        query.item = item;
        SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&query));
        RECT rect = query.rect;
        LPARAM point = MAKELPARAM(rect.left - 8, (rect.top + rect.bottom) / 2);
        // Posted, as the mouse's are: the tree waits for the release inside its press.
        PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(tree, WM_LBUTTONUP, 0, point);
        EXPECT_TRUE(WaitUntil([&] { return ItemImage(tree, item) == 3; }, 30000)) << CStringA(text).GetString();
        return;
    }
    ADD_FAILURE() << "no option " << CStringA(text).GetString();
}

template <class Dialog> INT_PTR RunDialog(Dialog& dialog, LPCWSTR caption, const std::function<void(HWND)>& script)
{
    HelperThread driver([&] {
        HWND window = WaitForDialog(caption, 30000);
        if (window)
            script(window);
    });
    return dialog.DoModal();
}

TEST(CopyDialog, SameNameChoicesBecomeTheEnginesCodes)
{
    const int expected[] = {VyxFileTransfer::SameAsk,    VyxFileTransfer::SameNewer,  VyxFileTransfer::SameOverwrite,
                            VyxFileTransfer::SameIgnore, VyxFileTransfer::SameSerial, VyxFileTransfer::SameLarger};
    for (int choice = 0; choice < 6; ++choice)
        EXPECT_EQ(expected[choice], VFileCopyDlg::SameNameModeOf(choice)) << choice;
    EXPECT_EQ(VyxFileTransfer::SameAsk, VFileCopyDlg::SameNameModeOf(6));
    EXPECT_EQ(VyxFileTransfer::SameAsk, VFileCopyDlg::SameNameModeOf(-1));
}

TEST(CopyDialog, OkPutsTheDestinationFirstInTheHistoryAndMakesItFull)
{
    ScratchSettings settings;
    SetHistory(FolderListFilerFolder, {L"C:\\a", L"C:\\photos", L"D:\\c"});
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(settings.Folder().Path().c_str());
    for (bool move : {false, true}) {
        std::unique_ptr<VFileCopyDlg> dialog(move ? new VFileMoveDlg : new VFileCopyDlg);
        dialog->m_initialFolder = L"C:\\今の場所";
        CString first, where;
        EXPECT_EQ(IDOK, RunDialog(*dialog, move ? L"ファイルの移動" : L"ファイルの複写", [&](HWND window) {
                      first = TextOf(GetDlgItem(window, IDC_FILECOPY_FOLDER));
                      where = TextOf(GetDlgItem(window, IDC_FILECOPY_CURRENT));
                      SetComboText(window, IDC_FILECOPY_FOLDER, move ? L"c:\\PHOTOS" : L"相対\\先");
                      Command(window, IDOK);
                  }));
        EXPECT_EQ(CString(move ? L"相対\\先" : L"C:\\a"), first);
        EXPECT_EQ(CString(L"現在の位置： C:\\今の場所"), where);
        if (!move) {
            // A relative name is taken from the current folder.
            EXPECT_EQ(CString(settings.Folder().Path().c_str()) + L"\\相対\\先", dialog->m_destination);
            EXPECT_EQ((std::vector<CString>{L"相対\\先", L"C:\\a", L"C:\\photos", L"D:\\c"}),
                      History(FolderListFilerFolder));
        } else {
            // The entry already there goes up instead of coming twice.
            EXPECT_EQ(CString(L"c:\\PHOTOS"), dialog->m_destination);
            EXPECT_EQ((std::vector<CString>{L"c:\\PHOTOS", L"相対\\先", L"C:\\a", L"D:\\c"}),
                      History(FolderListFilerFolder));
        }
    }
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(fileopstest::ReadSettingText(L"FileCopy", L"WindowPlacement\\showCmd").IsEmpty());
    EXPECT_FALSE(fileopstest::ReadSettingText(L"FileMove", L"WindowPlacement\\showCmd").IsEmpty());
}

TEST(CopyDialog, TheOptionTreesChoicesReachTheJobAndStartAgainEachTime)
{
    ScratchSettings settings;
    SetHistory(FolderListFilerFolder, {L"C:\\dest"});
    for (bool move : {false, true}) {
        std::unique_ptr<VFileCopyDlg> dialog(move ? new VFileMoveDlg : new VFileCopyDlg);
        RunDialog(*dialog, move ? L"ファイルの移動" : L"ファイルの複写", [&](HWND window) {
            HWND tree = GetDlgItem(window, IDC_FILECOPY_OPTIONS);
            ClickOption(tree, L"既存ファイル");
            ClickOption(tree, L"自動連番");
            Command(window, IDOK);
        });
        EXPECT_EQ(1, dialog->GetExistingOnly());
        EXPECT_EQ(VyxFileTransfer::SameSerial, dialog->GetSameNameMode());
        std::unique_ptr<VFileCopyDlg> again(move ? new VFileMoveDlg : new VFileCopyDlg);
        RunDialog(*again, move ? L"ファイルの移動" : L"ファイルの複写", [&](HWND window) { Command(window, IDOK); });
        EXPECT_EQ(0, again->GetExistingOnly());
        EXPECT_EQ(VyxFileTransfer::SameAsk, again->GetSameNameMode());
    }
}

TEST(CopyDialog, AQuickAccessFolderBecomesTheDestination)
{
    ScratchSettings settings;
    SetHistory(FolderListFilerFolder, {L"C:\\one", L"C:\\Two"});
    SetHistory(FolderListQuickAccess, {L"C:\\quick", L"c:\\two"});
    VFileCopyDlg dialog;
    int selected = -2;
    CString text;
    RunDialog(dialog, L"ファイルの複写", [&](HWND window) {
        SendMessageW(window, WM_COMMAND, ID_QUICK_FOLDER_FIRST + 1, 0);
        HWND combo = GetDlgItem(window, IDC_FILECOPY_FOLDER);
        // Already in the history under another case: that entry is chosen.
        selected = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
        SendMessageW(window, WM_COMMAND, ID_QUICK_FOLDER_FIRST, 0);
        text = TextOf(combo);
        Command(window, IDOK);
    });
    EXPECT_EQ(1, selected);
    EXPECT_EQ(CString(L"C:\\quick"), text);
    EXPECT_EQ(CString(L"C:\\quick"), dialog.m_destination);
}

TEST(CopyDialog, TheQuickAccessMenuShowsAFoldersAmpersand)
{
    ScratchSettings settings;
    SetHistory(FolderListQuickAccess, {L"C:\\R&D", L"C:\\quick"});
    VFileCopyDlg dialog;
    CString first;
    RunDialog(dialog, L"ファイルの複写", [&](HWND window) {
        // The menu button pressed as the user presses it.
        RECT rect = {};
        GetWindowRect(GetDlgItem(window, IDC_FILECOPY_QUICK), &rect);
        const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        if (ShowsAt(GetDlgItem(window, IDC_FILECOPY_QUICK), centre))
            SendClick(centre, MOUSEEVENTF_LEFTDOWN);
        if (HWND menu = WaitForMenu(30000)) {
            wchar_t text[256] = {};
            GetMenuStringW(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)), 0, text, 256, MF_BYPOSITION);
            // "&&" shows one "&"; a single one marks the mnemonic and is not shown.
            for (int i = 0; text[i]; ++i) {
                if (text[i] == L'&' && !text[++i])
                    break;
                first += text[i];
            }
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 30000);
        }
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(CString(L"C:\\R&D"), first);
}

TEST(FolderPrompts, OkTakesOnlyANonEmptyName)
{
    VFileMdDlg create;
    create.m_folder = L"C:\\写真";
    CString prompt;
    bool openWhenEmpty = false;
    EXPECT_EQ(IDOK, RunDialog(create, L"フォルダの新規作成", [&](HWND window) {
                  prompt = TextOf(GetDlgItem(window, IDC_FOLDER_PROMPT));
                  Command(window, IDOK);
                  openWhenEmpty = IsWindowVisible(window) != FALSE;
                  SetComboText(window, IDC_FOLDER_NAME, L"新しいフォルダ");
                  Command(window, IDOK);
              }));
    EXPECT_TRUE(openWhenEmpty);
    EXPECT_EQ(CString(L"\"C:\\写真\"にフォルダを新規作成します"), prompt);
    EXPECT_EQ(CString(L"新しいフォルダ"), create.m_name);

    VFileRnDlg rename;
    rename.m_folder = L"旧名";
    CString first;
    EXPECT_EQ(IDOK, RunDialog(rename, L"フォルダの名前変更", [&](HWND window) {
                  prompt = TextOf(GetDlgItem(window, IDC_FOLDER_PROMPT));
                  first = TextOf(GetDlgItem(window, IDC_FOLDER_NAME));
                  SetComboText(window, IDC_FOLDER_NAME, L"新名");
                  Command(window, IDOK);
              }));
    EXPECT_EQ(CString(L"\"旧名\"のフォルダを名前変更します"), prompt);
    EXPECT_EQ(CString(L"旧名"), first);
    EXPECT_EQ(CString(L"新名"), rename.m_name);
}

TEST(FolderPrompts, TheExtractionFolderIsTakenAsTypedAndKeptInTheHistory)
{
    ScratchSettings settings;
    SetHistory(FolderListFilerFolder, {L"C:\\earlier"});
    CGetFolderDlg dialog;
    dialog.m_prompt = L"展開先を選んでください";
    CString first, prompt;
    EXPECT_EQ(IDOK, RunDialog(dialog, L"フォルダ", [&](HWND window) {
                  first = TextOf(GetDlgItem(window, IDC_GETFOLDER_FOLDER));
                  prompt = TextOf(GetDlgItem(window, IDC_GETFOLDER_PROMPT));
                  SetComboText(window, IDC_GETFOLDER_FOLDER, L"relative\\out");
                  Command(window, IDOK);
              }));
    EXPECT_EQ(CString(L"C:\\earlier"), first);
    EXPECT_EQ(CString(L"展開先を選んでください"), prompt);
    EXPECT_EQ(CString(L"relative\\out"), dialog.m_folder);
    EXPECT_EQ((std::vector<CString>{L"relative\\out", L"C:\\earlier"}), History(FolderListFilerFolder));
}

} // namespace
