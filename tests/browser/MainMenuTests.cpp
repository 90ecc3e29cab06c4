// The main menu and the main keys as the built program carries them, every entry and key with a
// handler, keys pressed in a running frame reaching their commands (and staying in the jump bar's
// entry while it has the focus), and the registered applications' marks.
#include <gtest/gtest.h>

#include "common/CommandState.h"
#include "common/FrameTestUtil.h"
#include "common/RealInput.h"
#include "ViewTestUtil.h"
#include "browser/CJumpDialogBar.h"
#include "browser/VAppCall.h"
#include "viewer/COneWnd.h"
#include "viewer/COneWndList.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxPath.h"

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace {

struct MenuItem
{
    UINT id;
    CString text;
    CString top; // the text of the menu bar's entry it is under
};

void CollectItems(HMENU menu, const CString& top, std::vector<MenuItem>& out)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 256;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
        if (info.hSubMenu)
            CollectItems(info.hSubMenu, top.IsEmpty() ? CString(text) : top, out);
        else if (!(info.fType & MFT_SEPARATOR))
            out.push_back({info.wID, text, top});
    }
}

// A key of the accelerator table: its modifier flags (FVIRTKEY, FSHIFT, FCONTROL, FALT) and key.
using Key = std::pair<BYTE, WORD>;
Key Plain(WORD vk)
{
    return {FVIRTKEY, vk};
}
Key Ctrl(WORD vk)
{
    return {FVIRTKEY | FCONTROL, vk};
}
Key Shift(WORD vk)
{
    return {FVIRTKEY | FSHIFT, vk};
}
Key Alt(WORD vk)
{
    return {FVIRTKEY | FALT, vk};
}
Key Typed(wchar_t character)
{
    return {0, character};
}

// Menu 128 and accelerator table 128 of Vyx.exe, read from the built file.
class ProgramResources
{
public:
    ProgramResources()
    {
        CString folder;
        GetModuleFolder(folder);
        m_module = LoadLibraryExW(folder + L"\\..\\bin\\Vyx.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!m_module)
            return;
        if (HMENU menu = LoadMenuW(m_module, MAKEINTRESOURCEW(128))) {
            CollectItems(menu, L"", items);
            DestroyMenu(menu);
        }
        if (HACCEL table = LoadAcceleratorsW(m_module, MAKEINTRESOURCEW(128))) {
            keys.resize(CopyAcceleratorTableW(table, nullptr, 0));
            CopyAcceleratorTableW(table, keys.data(), static_cast<int>(keys.size()));
        }
    }
    ~ProgramResources()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    bool Loaded() const { return m_module != nullptr; }
    std::vector<MenuItem> items;
    std::vector<ACCEL> keys;

private:
    HMODULE m_module = nullptr;
};

Key KeyOf(const ACCEL& accel)
{
    return {static_cast<BYTE>(accel.fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT)), accel.key};
}

struct Row
{
    UINT id;
    const wchar_t* text; // null: not in the main menu
    std::vector<Key> keys;
};

// The rows of the document's, the frame's and the folder pane's command tables with a main-menu
// text or a key.
const std::vector<Row>& CommandRows()
{
    static const std::vector<Row> rows = {
        {57634, L"コピー(&C)\tCtrl+C", {Ctrl('C')}},
        {57635, nullptr, {Ctrl('X')}},
        {57637, L"貼り付け(&P)\tCtrl+V", {Ctrl('V')}},
        {57643, nullptr, {Ctrl('Z')}},
        {10005, L"複写(&C)...\tC", {Plain('C')}},
        {10006, L"移動(&M)...\tM", {Plain('M')}},
        {10007, L"削除(&D)...\tDEL", {Plain(VK_DELETE), Shift(VK_DELETE)}},
        {10009, L"名前の変更(&R)...\tR", {Plain('R'), Plain(VK_F2)}},
        {10126, L"名前の編集変更(&N)...\tN", {Plain('N')}},
        {10112, L"画像形式を指定して保存(&S)...\tCtrl+S", {Ctrl('S')}},
        {10085, L"解凍(&U)\tU", {Plain('U')}},
        {57607, L"印刷(&P)...\tCtrl+P", {Ctrl('P')}},
        {10010, L"HTMLの作成(&H)...", {}},
        {10195, L"コンタクトシートの作成(&G)...", {}},
        {10170, L"レポートファイルの作成(&R)...", {}},
        {10168, L"コメント入力(&N)\tCtrl+N", {Ctrl('N')}},
        {10074, L"キャッシュ情報を保存(&W)...\tCtrl+W", {Ctrl('W')}},
        {10071, L"サムネイル再作成(&U)\tF8", {Ctrl('T'), Plain(VK_F8)}},
        {32793, L"全選択(&A)\tCtrl+A", {Ctrl('A')}},
        {10225, L"選択を反転(&I)\tCtrl+I", {Ctrl('I')}},
        {10113, L"表示フィルタ(&W)...\tW", {Plain(VK_F3), Plain('W')}},
        {32779, L"書庫ファイル内も表示対象(&U)", {}},
        {10110, L"サブフォルダのファイルも表示対象(&F)", {}},
        {10268, L"フォルダの表示", {}},
        {10048, L"表示の同期(&S)", {}},
        {10243, L"フォルダツリーのルートはデスクトップ", {}},
        {10257, nullptr, {Plain(VK_BACK)}},
        {10250, L"フォルダ環境情報を保存(&F)", {Plain(VK_F12)}},
        {10256, L"フォルダ環境情報をクリア(&C)", {}},
        {10159, L"動作設定(&V)...", {}},
        {10160, L"プラグイン設定(&P)...", {}},
        {10161, L"サムネイル設定(&O)...", {}},
        {10156, L"リスト編集(&L)...", {}},
        {10053, L"外部アプリケーション登録(&A)...", {}},
        {10217, L"キャッシュメンテナンス(&M)...", {}},
        {10115, L"ネットワークドライブの割り当て(&N)...", {}},
        {10116, L"ネットワークドライブの切断(&K)...", {}},
        {128, nullptr, {Alt(VK_UP)}},
        {129, nullptr, {Alt(VK_DOWN)}},
        {130, nullptr, {Alt(VK_LEFT)}},
        {131, nullptr, {Alt(VK_RIGHT)}},
        {10234, L"メニューバー(&M)", {}},
        {10244, L"ドライブ バー(&D)", {}},
        {10255, L"ジャンプ バー(&J)", {}},
        {10230, L"ツールバーの設定(&O)", {}},
        {10258, nullptr, {Typed(L'/')}},
        {32771, L"サムネイル拡大(&B)", {}},
        {32772, L"サムネイル縮小(&S)", {}},
        {32773, L"次頁を表示(&N)", {}},
        {32774, L"前頁を表示(&P)", {}},
        {10130, L"並べ替えしない(N)", {}},
        {10131, L"名前(&F)", {}},
        {10132, L"拡張子(&E)", {}},
        {10133, L"サイズ(&S)", {}},
        {10134, L"更新日付(&D)", {}},
        {10138, L"書庫名(&A)", {}},
        {10135, L"画素　幅(&W)", {}},
        {10136, L"画素　高さ(&H)", {}},
        {10137, L"画素　色(&C)", {}},
        {10164, L"画素　面積(&D)", {}},
        {10139, L"昇順(&A)", {}},
        {10140, L"降順(&D)", {}},
        {10165, L"再並べ替え(&R)", {Ctrl('R')}},
        {10266, L"名前並べ替えは数値順", {}},
        {10226, L"名前順", {}},
        {10227, L"更新日付順", {}},
        {10228, L"昇順", {}},
        {10229, L"降順", {}},
        {10238, L"辞書順", {}},
        {10237, L"新しい日付順", {}},
        {10189, L"フォルダの削除(&D)", {}},
        {10188, L"フォルダの新規作成(&K)", {}},
        {10187, L"フォルダの名前変更(&R)", {}},
        {10072, L"最新の情報に更新(&R)...\tF5", {Plain(VK_F5)}},
        {10240, L"サムネイル設定を保存(&T)", {}},
        {8100, L"現在値を記憶", {}},
        {10092, nullptr, {Plain('K')}},
    };
    return rows;
}

int IndexOf(CKWDoc* doc, LPCWSTR name)
{
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i)->GetFileName().CompareNoCase(name) == 0)
            return i;
    return -1;
}

std::vector<CString> ClipboardFiles()
{
    std::vector<CString> files;
    if (!OpenClipboard(nullptr))
        return files;
    if (HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
        UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t path[MAX_PATH] = {};
            DragQueryFileW(drop, i, path, MAX_PATH);
            files.push_back(path);
        }
    }
    CloseClipboard();
    return files;
}

// Answers the next dialog of the process (the shell's question is no message box) with the
// button; the texts it showed, one a line.
CString AnswerQuestion(int button)
{
    HWND dialog = WaitForWindow([](HWND window) { return IsClass(window, L"#32770"); }, 30000);
    if (!dialog)
        return CString();
    CString texts = TextOf(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts += L"\n" + TextOf(child);
    PostMessageW(dialog, WM_COMMAND, button, 0);
    WaitUntil([&] { return !IsWindow(dialog); }, 30000);
    return texts;
}

// The frame active, its thumbnail view holding the focus and a.jpg as the only selection.
void FocusGridWithSelection(FrameProgram& p)
{
    CKWDoc* doc = p.Document();
    doc->SelectItem(IndexOf(doc, L"a.jpg"), TRUE, nullptr);
    ASSERT_TRUE(MakeActive(*p.Frame()));
    p.Frame()->SetActiveView(p.Frame()->GetThumbPane());
    p.Frame()->GetThumbPane()->SetFocus();
}

} // namespace

TEST(MainMenu, TheProgramCarriesEveryMenuTextAndKeyOfTheCommandTables)
{
    ProgramResources program;
    ASSERT_TRUE(program.Loaded());
    ASSERT_FALSE(program.items.empty());
    std::map<Key, std::set<UINT>> commandsOfKey;
    for (const ACCEL& accel : program.keys)
        commandsOfKey[KeyOf(accel)].insert(accel.cmd);
    for (const Row& row : CommandRows()) {
        SCOPED_TRACE(testing::Message() << "command " << row.id);
        if (row.text) {
            int found = 0;
            for (const MenuItem& item : program.items) {
                if (item.id != row.id)
                    continue;
                ++found;
                EXPECT_STREQ(row.text, item.text.GetString());
            }
            EXPECT_GE(found, 1);
        }
        for (const Key& key : row.keys) {
            SCOPED_TRACE(testing::Message() << "key " << key.second << " flags " << int(key.first));
            EXPECT_EQ(std::set<UINT>{row.id}, commandsOfKey[key]);
        }
    }
    // Deleting is offered in the file and in the edit menu.
    std::set<CString> deleteMenus;
    for (const MenuItem& item : program.items)
        if (item.id == 10007)
            deleteMenus.insert(item.top);
    EXPECT_EQ((std::set<CString>{L"ファイル(&F)", L"編集(&E)"}), deleteMenus);
    // No key stands for two commands.
    for (const auto& [key, commands] : commandsOfKey)
        EXPECT_EQ(1u, commands.size()) << "key " << key.second << " flags " << int(key.first);
}

TEST(MainMenu, EveryEntryAndKeyReachesAHandlerInTheRunningFrame)
{
    ProgramResources program;
    ASSERT_TRUE(program.Loaded());
    FrameProgram p;
    std::set<UINT> ids;
    for (const MenuItem& item : program.items)
        ids.insert(item.id);
    for (const ACCEL& accel : program.keys)
        ids.insert(accel.cmd);
    // The application's own commands (the program's application object, not the tests').
    for (UINT own : std::initializer_list<UINT>{ID_APP_ABOUT, ID_HELP_ONLINE, ID_HELP_REPORT})
        ids.erase(own);
    CCmdTarget* targets[] = {p.Frame(), p.Frame()->GetFolderPane(), p.Frame()->GetThumbPane(),
                             p.Frame()->GetListPane()};
    for (UINT id : ids) {
        bool handled = false;
        for (CCmdTarget* target : targets) {
            AFX_CMDHANDLERINFO info = {};
            handled = handled || target->OnCmdMsg(id, CN_COMMAND, nullptr, &info);
        }
        EXPECT_TRUE(handled) << "command " << id;
    }
}

TEST(MainKeys, EnterOnAFileNoPluginReadsSaysSoInTheStatusBar)
{
    FrameProgram p(nullptr, false);
    p.m_folder.WriteFile(L"旅行_2024.zip", "PK\x03\x04 no plug-in reads this");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CKWDoc* doc = p.Document();
    const int zip = IndexOf(doc, L"旅行_2024.zip");
    ASSERT_GE(zip, 0);
    doc->SelectItem(zip, TRUE, nullptr);
    doc->SetCursorIndex(zip, nullptr);
    ASSERT_TRUE(MakeActive(*p.Frame()));
    p.Frame()->SetActiveView(p.Frame()->GetThumbPane());
    p.Frame()->GetThumbPane()->SetFocus();
    CMyStatusBar& bar = p.Frame()->GetStatusBar();
    EXPECT_TRUE(
        Press(VK_RETURN, 0, [&] { return bar.GetPaneText(CMyStatusBar::PaneProgress).Find(L"旅行_2024.zip") >= 0; }));
    EXPECT_NE(-1, bar.GetPaneText(CMyStatusBar::PaneProgress).Find(L"プラグイン"));
    EXPECT_EQ(0, doc->GetLocationPath().CompareNoCase(p.m_folder.Path()));
}

TEST(MainKeys, KeysPressedInTheGridReachTheirCommands)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    FocusGridWithSelection(p);
    const CString file = p.m_folder / L"a.jpg";

    // Ctrl+C puts the selected file on the clipboard.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    EXPECT_TRUE(Press('C', VK_CONTROL, [&] { return ClipboardFiles() == std::vector<CString>{file}; }));

    // F2 opens the rename dialog on it.
    std::atomic<bool> renameShown{false};
    {
        HelperThread cancel([&] {
            HWND dialog = WaitForDialog(L"名前の変更", 30000);
            renameShown = dialog != nullptr;
            if (dialog)
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_TRUE(Press(VK_F2, 0, [&] { return renameShown.load(); }));
    }

    // Delete asks whether the file goes to the recycle bin; no keeps it.
    CString question;
    std::atomic<bool> asked{false};
    {
        HelperThread answer([&] {
            question = AnswerQuestion(IDNO);
            asked = true;
        });
        EXPECT_TRUE(Press(VK_DELETE, 0, [&] { return asked.load(); }));
    }
    EXPECT_EQ(0, question.Find(L"ファイルの削除の確認")) << question.GetString();
    EXPECT_TRUE(PathExists(file, 0));
    EXPECT_GE(IndexOf(doc, L"a.jpg"), 0);

    // F5 lists a file that came since.
    p.m_folder.WriteFile(L"c.jpg", "cc");
    EXPECT_TRUE(Press(VK_F5, 0, [&] { return IndexOf(doc, L"c.jpg") >= 0; }));
}

TEST(MainKeys, TheJumpBarsEntryKeepsTypedKeysAndEnterGoesToTheTypedFolder)
{
    FrameProgram p([] { WriteAppIniInt(L"MainFrame", L"JumpBar", 1); });
    FocusGridWithSelection(p);
    CACEdit& edit = p.Frame()->GetJumpBar().GetPathEdit();
    edit.SetFocus();
    const CString start = p.m_folder / L"s";
    edit.SetWindowText(start);
    edit.SendMessage(EM_SETSEL, start.GetLength(), start.GetLength());
    auto textIs = [&](const CString& wanted) {
        return [&edit, wanted] {
            CString text;
            edit.GetWindowText(text);
            return text == wanted;
        };
    };
    // U (unpack), X and Backspace (up one folder) are keys of the frame; in the entry they type.
    EXPECT_TRUE(Press('U', 0, textIs(start + L"u")));
    EXPECT_TRUE(Press('X', 0, textIs(start + L"ux")));
    EXPECT_TRUE(Press(VK_BACK, 0, textIs(start + L"u")));
    EXPECT_TRUE(Press('B', 0, textIs(start + L"ub")));
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder.Path()));
    // Enter first closes an open completion list, as in any completing entry.
    if (edit.IsListVisible())
        Press(VK_ESCAPE, 0, [&] { return !edit.IsListVisible(); });
    EXPECT_TRUE(
        Press(VK_RETURN, 0, [&] { return p.Document()->GetLocationPath().CompareNoCase(p.m_folder / L"sub") == 0; }));
}

TEST(MainKeys, EnterInTheJumpBarGoesThereWhileTheListIsOpenTakingAChosenRowFirst)
{
    FrameProgram p([] { WriteAppIniInt(L"MainFrame", L"JumpBar", 1); });
    ASSERT_TRUE(CreateDirectoryW(p.m_folder / L"sub2", nullptr));
    CACEdit& edit = p.Frame()->GetJumpBar().GetPathEdit();
    CKWDoc* doc = p.Document();
    ASSERT_TRUE(MakeActive(*p.Frame()));
    CRect box;
    edit.GetWindowRect(&box);
    ASSERT_TRUE(ShowsAt(edit.GetSafeHwnd(), box.CenterPoint()));
    SendClick(box.CenterPoint(), MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(RunLoopUntil([&] { return GetFocus() == edit.GetSafeHwnd(); }));
    // The last letter typed names a folder that is there: the list opens, offering it and sub2.
    auto typeSub = [&] {
        const CString start = p.m_folder / L"su";
        edit.SetWindowText(start);
        edit.SendMessage(EM_SETSEL, start.GetLength(), start.GetLength());
        ASSERT_TRUE(Press('B', 0, [&] { return edit.IsListVisible(); }));
        ASSERT_EQ(2, edit.GetList().GetShownCount());
    };
    typeSub();
    EXPECT_TRUE(Press(VK_RETURN, 0, [&] { return doc->GetLocationPath().CompareNoCase(p.m_folder / L"sub") == 0; }));
    EXPECT_FALSE(edit.IsListVisible());

    // The row under the pointer is the one chosen: Enter goes there.
    typeSub();
    CACListWnd& list = edit.GetList();
    const int row = list.GetShown(0).Right(5).CompareNoCase(L"sub2\\") == 0 ? 0 : 1;
    CRect rows;
    list.GetClientRect(&rows);
    CPoint over(rows.left + 20, (row - list.GetTopIndex()) * list.GetRowHeight() + list.GetRowHeight() / 2);
    list.ClientToScreen(&over);
    SendMouse(over, 0);
    ASSERT_TRUE(RunLoopUntil([&] { return list.GetSelection() == row; }));
    EXPECT_TRUE(Press(VK_RETURN, 0, [&] { return doc->GetLocationPath().CompareNoCase(p.m_folder / L"sub2") == 0; }));
}

TEST(MainKeys, APictureWindowsKeysNeverActOnTheMainWindow)
{
    HostedPlugins plugin = OwnJpegPlugin();
    FrameProgram p(nullptr, false);
    PutJpeg(p.m_folder, L"p.jpg", 64, 48, RGB(200, 0, 0));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CKWDoc* doc = p.Document();
    FocusGridWithSelection(p);
    ASSERT_EQ(0, p.Frame()->OpenPictureWindow(IndexOf(doc, L"p.jpg"), PictureNewWindow));
    COneWnd* picture = p.Frame()->GetPictureWindows().GetWindow(0);
    ASSERT_NE(nullptr, picture);
    ASSERT_TRUE(MakeActive(*picture));
    // Backspace is the main window's "up one folder", A with Ctrl its "select all".
    Press(VK_BACK, 0, [] { return true; });
    Press('A', VK_CONTROL, [] { return true; });
    EXPECT_EQ(0, doc->GetLocationPath().CompareNoCase(p.m_folder.Path()));
    EXPECT_EQ(1, doc->GetSelectedCount(true));
    EXPECT_NE(nullptr, p.Frame()->GetPictureWindows().GetWindow(0));
}

TEST(MainMenu, ApplicationsShowTheirCheckOnlyWithSeveralItemsSelected)
{
    FrameProgram p;
    WriteAppIniString(L"AppCall", L"App0\\Title", L"each");
    WriteAppIniString(L"AppCall", L"App0\\Cmd", L"each.exe");
    WriteAppIniInt(L"AppCall", L"App0\\Dup", 1);
    WriteAppIniString(L"AppCall", L"App1\\Title", L"once");
    WriteAppIniString(L"AppCall", L"App1\\Cmd", L"once.exe");
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    VAppCall applications;
    applications.InsertApplicationsMenu(popup, 0);
    CMenu* entries = popup.GetSubMenu(0);
    ASSERT_NE(nullptr, entries);
    auto checks = [&] {
        p.Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(entries->GetSafeHmenu()), 0);
        return std::vector<bool>{(entries->GetMenuState(20000, MF_BYCOMMAND) & MF_CHECKED) != 0,
                                 (entries->GetMenuState(20001, MF_BYCOMMAND) & MF_CHECKED) != 0};
    };
    CKWDoc* doc = p.Document();
    doc->SelectItem(IndexOf(doc, L"a.jpg"), TRUE, nullptr);
    EXPECT_EQ((std::vector<bool>{false, false}), checks());
    doc->SelectItem(IndexOf(doc, L"b.jpg"), TRUE, nullptr);
    EXPECT_EQ((std::vector<bool>{true, false}), checks());
    doc->SelectItem(IndexOf(doc, L"b.jpg"), FALSE, nullptr);
    EXPECT_EQ((std::vector<bool>{false, false}), checks());
    // The image is the check mark only: an unchecked entry shows none.
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    ASSERT_TRUE(GetMenuItemInfoW(entries->GetSafeHmenu(), 20000, FALSE, &info));
    EXPECT_EQ(nullptr, info.hbmpUnchecked);
    EXPECT_NE(nullptr, info.hbmpChecked);
}

TEST(MainMenu, TheViewMenuChecksTheBarsThatShow)
{
    FrameProgram p;
    PaintAndIdle(p);
    ASSERT_TRUE(MakeActive(*p.Frame()));
    // The check of each bar's item in 表示 as the menu, opened with Alt+V, shows it.
    auto checks = [&] {
        std::vector<bool> checked;
        std::atomic<bool> done{false};
        {
            HelperThread user([&] {
                SendKey('V', VK_MENU);
                if (HWND menu = WaitForMenu()) {
                    HMENU items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                    for (UINT id : {UINT(ID_VIEW_TOOLBAR), UINT(ID_VIEW_DRIVEBAR), UINT(ID_VIEW_STATUS_BAR)})
                        checked.push_back((GetMenuState(items, id, MF_BYCOMMAND) & MF_CHECKED) != 0);
                }
                SendKey(VK_ESCAPE);
                SendKey(VK_ESCAPE);
                done = true;
            });
            EXPECT_TRUE(RunLoopUntil([&] { return done.load(); }));
        }
        return checked;
    };
    EXPECT_EQ((std::vector<bool>{true, true, true}), checks());
    RunCommand(*p.Frame(), ID_VIEW_TOOLBAR);
    EXPECT_EQ((std::vector<bool>{false, true, true}), checks());
}
