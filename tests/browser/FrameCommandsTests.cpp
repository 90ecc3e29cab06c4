// The main frame's own commands: the list's sorts and their marks, the folder tree's sorts passed
// on, the thumbnail view's steps and columns, layout presets, the visited folders with the tool
// bar's drop-down menus, and the current folder made or renamed.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "browser/CLstView.h"
#include "browser/FolderCommands.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxFile.h"
#include "common/CommandState.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CString> MenuTexts(CMenu& menu)
{
    std::vector<CString> texts;
    for (int i = 0; i < static_cast<int>(menu.GetMenuItemCount()); ++i) {
        CString text;
        menu.GetMenuString(i, text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

std::vector<UINT> MenuIds(CMenu& menu)
{
    std::vector<UINT> ids;
    for (int i = 0; i < static_cast<int>(menu.GetMenuItemCount()); ++i)
        ids.push_back(menu.GetMenuItemID(i));
    return ids;
}

// Records the messages the frame sends a pane's window.
class MessageSpy
{
public:
    explicit MessageSpy(HWND window) : m_window(window)
    {
        s_spy = this;
        m_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageSpy::Proc)));
    }
    ~MessageSpy()
    {
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        s_spy = nullptr;
    }
    std::vector<std::pair<UINT, WPARAM>> heard;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message >= WMU_THUMBS_PREVPAGE && message <= WMU_THUMBS_COLUMNS) {
            s_spy->heard.emplace_back(message, wParam);
            return 0;
        }
        return CallWindowProcW(s_spy->m_previous, hWnd, message, wParam, lParam);
    }
    static MessageSpy* s_spy;
    HWND m_window;
    WNDPROC m_previous = nullptr;
};
MessageSpy* MessageSpy::s_spy = nullptr;

bool WriteBytes(const CString& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

} // namespace

TEST(FrameCommands, SortCommandsGiveTheListTheirKeyAndCodeAndPixelSortsKeepTheDirection)
{
    FrameProgram p;
    CLstView* list = p.Frame()->GetListView();
    ASSERT_NE(nullptr, list);
    struct Row
    {
        int kind, code;
        UINT command;
        int expectedKind, expectedCode;
    };
    const Row rows[] = {
        {0, 0, ID_SORT_NAME, 0, 1},       {0, 2, ID_SORT_SIZE, 2, 2},      {3, 1, ID_SORT_NONE, 0, 0},
        {4, 3, ID_SORT_DESCENDING, 4, 4}, {4, 4, ID_SORT_WIDTH, 4, 2},     {4, 4, ID_SORT_AREA, 4, 8},
        {4, 5, ID_SORT_HEIGHT, 4, 3},     {2, 2, ID_SORT_ASCENDING, 2, 1}, {0, 0, ID_SORT_DESCENDING, 0, 2},
        {4, 7, ID_SORT_COLOURS, 4, 5},    {1, 1, ID_SORT_ARCHIVE, 5, 1},   {5, 2, ID_SORT_AGAIN, 5, 2},
        {4, 8, ID_SORT_ASCENDING, 4, 7},  {3, 0, ID_SORT_EXTENSION, 1, 1},
    };
    for (const Row& row : rows) {
        list->SortBy(row.kind, row.code);
        RunCommand(*p.Frame(), row.command);
        EXPECT_EQ(row.expectedKind, list->GetSortKey()) << row.command << " from " << row.kind << "," << row.code;
        EXPECT_EQ(row.expectedCode, list->GetSortDirection()) << row.command << " from " << row.kind << "," << row.code;
    }

    // Marks: pixel height ascending.
    list->SortBy(4, 3);
    EXPECT_EQ(1, UpdateCommand(*p.Frame(), ID_SORT_HEIGHT).checked);
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_SORT_WIDTH).checked);
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_SORT_NAME).checked);
    EXPECT_EQ(1, UpdateCommand(*p.Frame(), ID_SORT_ASCENDING).checked);
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_SORT_DESCENDING).checked);
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_SORT_NONE).checked);
    list->SortBy(2, 0);
    EXPECT_EQ(1, UpdateCommand(*p.Frame(), ID_SORT_NONE).checked);
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_SORT_SIZE).checked);

    // The name-number switch is flipped, kept in the settings and sorted by.
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_SORT_NAME_NUMBERS).checked);
    RunCommand(*p.Frame(), ID_SORT_NAME_NUMBERS);
    EXPECT_TRUE(list->IsNameNumberSort());
    EXPECT_EQ(1, UpdateCommand(*p.Frame(), ID_SORT_NAME_NUMBERS).checked);
    EXPECT_EQ(CString(L"1"), ReadSetting(L"LstView", L"NameNumberSort"));
}

TEST(FrameCommands, FolderSortsArePassedToTheTreeAndShowItsOrder)
{
    FrameProgram p;
    CFolderView* pane = p.Pane();
    RunCommand(*p.Frame(), ID_FOLDER_SORT_NEWEST);
    EXPECT_EQ(1, pane->m_nSortKind);
    EXPECT_EQ(1, pane->m_nSortDirection);
    for (UINT id : {ID_FOLDER_SORT_NEWEST, ID_FOLDER_SORT_DATE, ID_FOLDER_SORT_DESCENDING})
        EXPECT_EQ(1, UpdateCommand(*p.Frame(), id).checked) << id;
    for (UINT id : {ID_FOLDER_SORT_DICTIONARY, ID_FOLDER_SORT_NAME, ID_FOLDER_SORT_ASCENDING})
        EXPECT_EQ(0, UpdateCommand(*p.Frame(), id).checked) << id;
    RunCommand(*p.Frame(), ID_FOLDER_SORT_ASCENDING);
    EXPECT_EQ(1, pane->m_nSortKind);
    EXPECT_EQ(0, pane->m_nSortDirection);
    EXPECT_EQ(0, UpdateCommand(*p.Frame(), ID_FOLDER_SORT_NEWEST).checked);
    RunCommand(*p.Frame(), ID_FOLDER_SORT_DICTIONARY);
    EXPECT_EQ(0, pane->m_nSortKind);
    EXPECT_EQ(1, UpdateCommand(*p.Frame(), ID_FOLDER_SORT_DICTIONARY).checked);
}

TEST(FrameCommands, ThumbnailStepsAndColumnsAreSentToTheThumbnailView)
{
    FrameProgram p;
    MessageSpy spy(p.Frame()->GetThumbPane()->GetSafeHwnd());
    for (UINT id : {UINT(ID_THUMBS_LARGER), UINT(ID_THUMBS_SMALLER), UINT(ID_THUMBS_NEXTPAGE), UINT(ID_THUMBS_PREVPAGE),
                    8005u, 8000u})
        RunCommand(*p.Frame(), id);
    const std::vector<std::pair<UINT, WPARAM>> expected = {{WMU_THUMBS_LARGER, 0},   {WMU_THUMBS_SMALLER, 0},
                                                           {WMU_THUMBS_NEXTPAGE, 0}, {WMU_THUMBS_PREVPAGE, 0},
                                                           {WMU_THUMBS_COLUMNS, 5},  {WMU_THUMBS_COLUMNS, 0}};
    EXPECT_EQ(expected, spy.heard);
}

TEST(FrameCommands, TheColumnsMenuListsTheStoreEntryAndOnlyTheLayoutsThatLoad)
{
    ScratchLayoutFile layouts;
    FrameProgram p([] {
        WriteAppIniInt(L"MainFrame", L"ThumbsFirst", 3);
        WriteAppIniInt(L"MainFrame", L"ThumbsLast", 3);
    });
    WritePrivateProfileStringW(L"junk", L"Other", L"1", layouts.m_path);
    layouts.Add(L"wide", 120, 90, 1, L"$(Name)\t$(Size)");
    layouts.Add(L"side", 80, 60, 2, L"x");
    layouts.Add(L"bare", 64, 48, 0, L"ignored");
    CMenu popup;
    popup.CreatePopupMenu();
    ASSERT_TRUE(p.Frame()->BuildDropDownMenu(ID_THUMBS_SMALLER, popup));
    EXPECT_EQ((std::vector<CString>{L"分割", L"", L"現在値を記憶", L"120x90\t下 $(Name) $(Size)", L"80x60\t右 x",
                                    L"64x48\t"}),
              MenuTexts(popup));
    EXPECT_EQ((std::vector<UINT>{0xFFFFFFFFu, 0u, 8100u, 8101u, 8102u, 8103u}), MenuIds(popup));
    CMenu* columns = popup.GetSubMenu(0);
    ASSERT_NE(nullptr, columns);
    EXPECT_EQ((std::vector<CString>{L"&3 分割"}), MenuTexts(*columns));
    EXPECT_EQ((std::vector<UINT>{8003u}), MenuIds(*columns));

    // Each entry applies the layout it names, the section that is no layout counting for none.
    RunCommand(*p.Frame(), 8102);
    EXPECT_EQ(CSize(80, 60), p.Document()->GetThumbsSize());
    RunCommand(*p.Frame(), 8103);
    EXPECT_EQ(CSize(64, 48), p.Document()->GetThumbsSize());
    RunCommand(*p.Frame(), 8104);
    EXPECT_EQ(CSize(64, 48), p.Document()->GetThumbsSize());
}

TEST(FrameCommands, StoringAPresetSavesTheCurrentLayoutUnderTheTime)
{
    ScratchLayoutFile layouts;
    FrameProgram p;
    p.Document()->SetThumbsSize(150, 100);
    CString section = p.Frame()->StorePreset();
    ASSERT_EQ(12, section.GetLength());
    EXPECT_EQ(section.SpanIncluding(L"0123456789"), section);
    THUMBSDATA stored = {};
    ASSERT_TRUE(CMainFrame::LoadPreset(0, stored));
    EXPECT_EQ(150, stored.ThumbsSize.cx);
    EXPECT_EQ(100, stored.ThumbsSize.cy);
    // 10240 does the same.
    DeleteFileW(layouts.m_path);
    RunCommand(*p.Frame(), ID_THUMB_PRESET_SAVE);
    EXPECT_TRUE(CMainFrame::LoadPreset(0, stored));
}

TEST(FrameCommands, TheHistoryMenusListEarlierAndLaterFoldersAndGoWhereTheyName)
{
    FrameProgram p;
    CString a = p.m_folder / L"a", b = p.m_folder / L"b";
    CreateDirectoryW(a, nullptr);
    CreateDirectoryW(b, nullptr);
    CFolderView* pane = p.Pane();
    ASSERT_TRUE(pane->GoToPath(a, FALSE));
    ASSERT_TRUE(pane->GoToPath(b, FALSE));
    ASSERT_EQ(2, pane->GetHistoryPosition());
    CMenu back, forward;
    back.CreatePopupMenu();
    forward.CreatePopupMenu();
    ASSERT_TRUE(p.Frame()->BuildDropDownMenu(ID_FOLDER_BACK, back));
    ASSERT_TRUE(p.Frame()->BuildDropDownMenu(ID_FOLDER_FORWARD, forward));
    EXPECT_EQ((std::vector<CString>{a, p.m_folder.Path()}), MenuTexts(back));
    EXPECT_EQ((std::vector<UINT>{7001u, 7000u}), MenuIds(back));
    EXPECT_EQ(0, forward.GetMenuItemCount());
    EXPECT_FALSE(UpdateCommand(*p.Frame(), ID_FOLDER_FORWARD).enabled);

    RunCommand(*p.Frame(), 7000);
    EXPECT_EQ(0, pane->GetHistoryPosition());
    EXPECT_EQ(p.m_folder.Path(), p.Document()->GetLocationPath());
    EXPECT_FALSE(UpdateCommand(*p.Frame(), ID_FOLDER_BACK).enabled);
    EXPECT_TRUE(UpdateCommand(*p.Frame(), ID_FOLDER_FORWARD).enabled);
    CMenu later;
    later.CreatePopupMenu();
    p.Frame()->BuildDropDownMenu(ID_FOLDER_FORWARD, later);
    EXPECT_EQ((std::vector<UINT>{7101u, 7102u}), MenuIds(later));
    RunCommand(*p.Frame(), 7102);
    EXPECT_EQ(b, p.Document()->GetLocationPath());
    RunCommand(*p.Frame(), ID_FOLDER_BACK);
    EXPECT_EQ(a, p.Document()->GetLocationPath());
    // Positions outside the history are ignored.
    RunCommand(*p.Frame(), 7150);
    EXPECT_EQ(a, p.Document()->GetLocationPath());
}

TEST(FrameCommands, RenamingTheCurrentFolderMovesItsCacheEntriesAndOpensTheNewPath)
{
    FrameworkScratchFolder cacheRoot;
    FrameProgram p([&] { WriteAppIniString(L"KWDoc", L"CacheDataFolder", cacheRoot.Path()); }, false);
    CString old = p.m_folder / L"before";
    CreateDirectoryW(old, nullptr);
    p.m_folder.WriteFile(L"before\\x.jpg", "x");
    ASSERT_TRUE(p.Start(old));
    VyxCacheIndex index;
    index.SetCacheFolder(cacheRoot.Path());
    ASSERT_TRUE(WriteBytes(index.GetThumbsFileName(old, L""), "cache"));
    ASSERT_TRUE(index.HasThumbsFile(old, L""));
    p.m_hints.heard.clear();

    EXPECT_TRUE(UpdateCommand(*p.Frame(), ID_CURRENT_FOLDER_RENAME).enabled);
    ASSERT_TRUE(p.Frame()->RenameCurrentFolder(L"after"));
    CString renamed = p.m_folder / L"after";
    EXPECT_TRUE(PathExists(renamed + L"\\x.jpg", 0));
    EXPECT_EQ(renamed, p.Document()->GetLocationPath());
    const std::vector<std::wstring> expected = {std::wstring(L"21 ") + p.m_folder.Path().GetString(),
                                                std::wstring(L"10 ") + renamed.GetString()};
    std::vector<std::wstring> announced;
    for (const std::wstring& hint : p.m_hints.heard)
        if (hint.rfind(L"21 ", 0) == 0 || hint.rfind(L"10 ", 0) == 0)
            announced.push_back(hint);
    EXPECT_EQ(expected, std::vector<std::wstring>(announced.begin(), announced.begin() + 2));
    CString moved;
    EXPECT_TRUE(index.FindThumbsFile(moved, renamed, L""));
    EXPECT_FALSE(index.FindThumbsFile(moved, old, L""));
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());

    // A name that is taken: the message names the new path, nothing moves.
    CreateDirectoryW(p.m_folder / L"taken", nullptr);
    CString text;
    {
        HelperThread answer([&] { DismissMessageBox(&text); });
        EXPECT_FALSE(p.Frame()->RenameCurrentFolder(L"taken"));
    }
    EXPECT_NE(-1, text.Find(p.m_folder / L"taken"));
    EXPECT_NE(-1, text.Find(L"フォルダの名前変更に失敗しました"));
    EXPECT_EQ(renamed, p.Document()->GetLocationPath());
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());
}

TEST(FrameCommands, MakingAFolderThatCannotBeMadeShowsTheSystemsReason)
{
    FrameworkScratchFolder scratch;
    CString made;
    EXPECT_TRUE(FolderCommands::CreateFolder(scratch.Path(), L"new", &made));
    EXPECT_TRUE(PathExists(made, FILE_ATTRIBUTE_DIRECTORY));
    scratch.WriteFile(L"file", "x");
    CString text;
    {
        HelperThread answer([&] { DismissMessageBox(&text); });
        EXPECT_FALSE(FolderCommands::CreateFolder(scratch / L"file", L"below"));
    }
    EXPECT_FALSE(text.IsEmpty());
}

TEST(FrameCommands, RefreshingClearsTheCannotDrawMarksAndAnnouncesTheFolder)
{
    FrameProgram p;
    p.Document()->GetItem(0)->MarkCannotDraw();
    // The folder pane refreshes its tree on the same command while it is the active view.
    p.Frame()->SetActiveView(p.Frame()->GetThumbPane());
    p.m_hints.heard.clear();
    RunCommand(*p.Frame(), ID_REFRESH_FOLDER);
    EXPECT_FALSE(p.Document()->GetItem(0)->IsCannotDraw());
    // The thumbnail view answers the announcement of its own folder by listing it again.
    const std::wstring announced = std::wstring(L"21 ") + p.m_folder.Path().GetString();
    const bool heard = std::find(p.m_hints.heard.begin(), p.m_hints.heard.end(), announced) != p.m_hints.heard.end();
    EXPECT_TRUE(heard || p.m_hints.Count(HintListRebuilding) == 1);
}

TEST(FrameCommands, FolderCommandsAreEnabledByWhatTheLocationIs)
{
    FrameProgram p;
    EXPECT_TRUE(UpdateCommand(*p.Frame(), ID_CURRENT_FOLDER_NEW).enabled);
    EXPECT_TRUE(UpdateCommand(*p.Frame(), ID_CURRENT_FOLDER_RENAME).enabled);
    EXPECT_TRUE(UpdateCommand(*p.Frame(), ID_CURRENT_FOLDER_DELETE).enabled);
}
