// The document's command table: which commands it handles, when each is enabled or checked, and
// the small commands that need no dialog; the options sheet's OK processing on a record.
#include "DocumentCommandUtil.h"
#include "common/CommandState.h"
#include "common/SetUpParts.h"

#include "res/resource.h"

#include <vector>

using namespace doccommands;

namespace {

CommandState Update(CKWDoc& doc, UINT id)
{
    return UpdateCommand(doc, id);
}

void Command(CKWDoc& doc, UINT id)
{
    RunCommand(doc, id);
}

std::wstring Read(const wchar_t* section, const wchar_t* key)
{
    CString value;
    GetAppIniString(value, section, key, L"<none>");
    return value.GetString();
}

// Commands without an update handler of their own, or with one that does nothing: enabled
// whatever the list holds.
const UINT kAlwaysEnabled[] = {ID_EDIT_UNDO,
                               ID_DOC_APPCALL,
                               ID_DOC_LIST_EDIT,
                               ID_DOC_OPTIONS,
                               ID_DOC_PLUGINS,
                               ID_DOC_THUMB_SETTINGS,
                               ID_DOC_SAVE_FOLDER_SETTINGS,
                               ID_DOC_UP_FOLDER,
                               ID_DOC_NET_CONNECT,
                               ID_DOC_NET_DISCONNECT,
                               ID_DOC_NEXT_UP,
                               ID_DOC_NEXT_DOWN,
                               ID_DOC_NEXT_LEFT,
                               ID_DOC_NEXT_RIGHT,
                               ID_DOC_FILTER,
                               ID_DOC_TOGGLE_ARCHIVE,
                               ID_DOC_TOGGLE_DOWNSCAN,
                               ID_DOC_TOGGLE_FOLDERSHOW,
                               ID_DOC_TOGGLE_SYNCHRONOUS,
                               ID_DOC_TREE_ROOT};
const UINT kNeedItems[] = {ID_DOC_SAVE_CACHE, ID_THUMBS_REMAKE, ID_DOC_SELECT_ALL};

} // namespace

TEST(DocumentCommands, EachCommandIsEnabledByItsRule)
{
    CommandDocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    PutFile(scope.folder, L"b.txt", "b");
    CKWDoc& doc = scope.Document();
    for (UINT id : kAlwaysEnabled)
        EXPECT_TRUE(Update(doc, id).enabled) << id;
    for (UINT id : kNeedItems)
        EXPECT_FALSE(Update(doc, id).enabled) << id;
    EXPECT_FALSE(Update(doc, ID_DOC_INVERT_SELECTION).enabled);
    EXPECT_FALSE(Update(doc, ID_DOC_MAINT_CACHE).enabled);

    scope.Open();
    for (UINT id : kNeedItems)
        EXPECT_TRUE(Update(doc, id).enabled) << id;
    EXPECT_FALSE(Update(doc, ID_DOC_INVERT_SELECTION).enabled);
    doc.SelectItem(0, true, nullptr);
    EXPECT_TRUE(Update(doc, ID_DOC_INVERT_SELECTION).enabled);
    doc.CacheDataFolder = scope.folder.Path().c_str();
    EXPECT_TRUE(Update(doc, ID_DOC_MAINT_CACHE).enabled);
}

TEST(DocumentCommands, TogglesAreCheckedByTheirSettings)
{
    CommandDocumentScope scope;
    CKWDoc& doc = scope.Document();
    EXPECT_EQ(0, Update(doc, ID_DOC_FILTER).checked);
    doc.FilterSize = true;
    EXPECT_EQ(1, Update(doc, ID_DOC_FILTER).checked);
    const std::pair<UINT, bool*> toggles[] = {{ID_DOC_TOGGLE_ARCHIVE, &doc.Archive},
                                              {ID_DOC_TOGGLE_DOWNSCAN, &doc.DownScan},
                                              {ID_DOC_TOGGLE_FOLDERSHOW, &doc.FolderShow},
                                              {ID_DOC_TOGGLE_SYNCHRONOUS, &doc.Synchronous}};
    for (const auto& [id, setting] : toggles) {
        const bool before = *setting;
        EXPECT_EQ(before ? 1 : 0, Update(doc, id).checked) << id;
        Command(doc, id);
        EXPECT_NE(before, *setting) << id;
        EXPECT_EQ(before ? 0 : 1, Update(doc, id).checked) << id;
    }
}

TEST(DocumentCommands, TheTreeRootSwitchesBetweenDrivesAndDesktopAndTellsTheTree)
{
    CommandDocumentScope scope;
    CKWDoc& doc = scope.Document();
    doc.TreeRoot = 30;
    EXPECT_EQ(1, Update(doc, ID_DOC_TREE_ROOT).checked);
    Command(doc, ID_DOC_TREE_ROOT);
    EXPECT_EQ(29, doc.TreeRoot);
    EXPECT_EQ(0, Update(doc, ID_DOC_TREE_ROOT).checked);
    Command(doc, ID_DOC_TREE_ROOT);
    EXPECT_EQ(28, doc.TreeRoot);
    Command(doc, ID_DOC_TOGGLE_FOLDERSHOW);
    EXPECT_EQ((std::vector<std::wstring>{L"13 29", L"13 28", L"13 28"}), scope.Heard());
    Command(doc, ID_DOC_TOGGLE_SYNCHRONOUS);
    EXPECT_TRUE(scope.Heard().empty());
}

TEST(DocumentCommands, SelectAllSelectsUntilTwoAreSelectedThenClearsAndInvertFlipsEach)
{
    CommandDocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    PutFile(scope.folder, L"b.txt", "b");
    CKWDoc& doc = scope.Document();
    scope.Open();
    doc.SelectItem(1, true, nullptr);
    scope.Heard();
    Command(doc, ID_DOC_SELECT_ALL);
    EXPECT_EQ((std::vector<std::wstring>{L"4 1,0"}), scope.Heard());
    EXPECT_EQ(2, doc.GetSelectedCount(true));
    Command(doc, ID_DOC_SELECT_ALL);
    EXPECT_EQ((std::vector<std::wstring>{L"4 0,0", L"4 0,1"}), scope.Heard());
    EXPECT_EQ(0, doc.GetSelectedCount(true));
    doc.SelectItem(0, true, nullptr);
    scope.Heard();
    Command(doc, ID_DOC_INVERT_SELECTION);
    EXPECT_EQ((std::vector<std::wstring>{L"4 0,0", L"4 1,1"}), scope.Heard());
}

TEST(DocumentCommands, SelectAllWithTheOnlyItemSelectedChangesNothing)
{
    CommandDocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    CKWDoc& doc = scope.Document();
    scope.Open();
    doc.SelectItem(0, true, nullptr);
    scope.Heard();
    Command(doc, ID_DOC_SELECT_ALL);
    EXPECT_TRUE(scope.Heard().empty());
    EXPECT_EQ(1, doc.GetSelectedCount(true));
}

TEST(DocumentCommands, MakingThumbnailsAgainDropsTheKeptSizeAndTheCacheLookup)
{
    CommandDocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    CKWDoc& doc = scope.Document();
    scope.Open();
    doc.GetItem(0)->SetThumbFixed(TRUE);
    doc.GetItem(0)->SetCacheLookup(TRUE);
    Command(doc, ID_THUMBS_REMAKE);
    EXPECT_FALSE(doc.GetItem(0)->GetThumbFixed());
    EXPECT_FALSE(doc.GetItem(0)->GetCacheLookup());
    EXPECT_EQ((std::vector<std::wstring>{L"0"}), scope.Heard());
}

TEST(DocumentCommands, UpOneFolderGoesToTheParentAndNowhereFromARoot)
{
    CommandDocumentScope scope;
    CreateDirectoryW((scope.folder / L"sub").c_str(), nullptr);
    CKWDoc& doc = scope.Document();
    const std::wstring sub = scope.folder / L"sub";
    scope.Open(CVirtualFolder(sub.c_str(), sub.c_str(), 1));
    Command(doc, ID_DOC_UP_FOLDER);
    EXPECT_EQ((std::vector<std::wstring>{L"10 " + scope.folder.Path()}), scope.Heard());

    scope.Open(CVirtualFolder(L"C:\\windows", L"C:\\windows", 1));
    Command(doc, ID_DOC_UP_FOLDER);
    EXPECT_EQ((std::vector<std::wstring>{L"10 C:\\"}), scope.Heard());
    scope.Open(CVirtualFolder(L"C:\\", L"C:\\", 1));
    Command(doc, ID_DOC_UP_FOLDER);
    EXPECT_TRUE(scope.Heard().empty());
}

TEST(DocumentCommands, TheAltArrowsTellTheViewsTheirDirection)
{
    CommandDocumentScope scope;
    CKWDoc& doc = scope.Document();
    for (UINT id : {ID_DOC_NEXT_UP, ID_DOC_NEXT_DOWN, ID_DOC_NEXT_LEFT, ID_DOC_NEXT_RIGHT})
        Command(doc, id);
    EXPECT_EQ((std::vector<std::wstring>{L"19 0", L"19 1", L"19 2", L"19 3"}), scope.Heard());
}

TEST(DocumentCommands, ListingTogglesReadTheLocationAgain)
{
    CommandDocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    CKWDoc& doc = scope.Document();
    scope.Open();
    Command(doc, ID_DOC_TOGGLE_DOWNSCAN);
    std::vector<std::wstring> heard = scope.Heard();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(L"1 " + scope.folder.Path(), heard.front());
    EXPECT_EQ(L"2 " + scope.folder.Path(), heard.back());
    EXPECT_FALSE(doc.IsUpdating());
}

TEST(DocumentCommands, TheFolderOwnSettingsAreSavedAndClearedAndTheClearWaitsForThem)
{
    CommandDocumentScope scope;
    CKWDoc& doc = scope.Document();
    scope.Open();
    EXPECT_FALSE(Update(doc, ID_DOC_CLEAR_FOLDER_SETTINGS).enabled);
    Command(doc, ID_DOC_SAVE_FOLDER_SETTINGS);
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"_CONFIG_.KWI"));
    EXPECT_TRUE(Update(doc, ID_DOC_CLEAR_FOLDER_SETTINGS).enabled);
    Command(doc, ID_DOC_CLEAR_FOLDER_SETTINGS);
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"_CONFIG_.KWI"));
    EXPECT_FALSE(Update(doc, ID_DOC_CLEAR_FOLDER_SETTINGS).enabled);
}

TEST(DocumentCommands, ANetworkDialogThatCannotOpenIsReportedNotSwallowed)
{
    CommandDocumentScope scope;
    CStandInFrame frame;
    CKWDoc& doc = scope.Document();
    for (UINT id : {ID_DOC_NET_CONNECT, ID_DOC_NET_DISCONNECT}) {
        // Under Wine there is no network: the dialogs answer at once without opening.
        const DWORD result = id == ID_DOC_NET_CONNECT ? WNetConnectionDialog(nullptr, RESOURCETYPE_DISK)
                                                      : WNetDisconnectDialog(nullptr, RESOURCETYPE_DISK);
        VYX_NEEDS_SETUP_PART(result != NO_ERROR && result != static_cast<DWORD>(-1),
                             "a system without network places, whose network dialogs cannot open");
        CString text;
        {
            HelperThread answer([&] {
                HWND box = WaitForMessageBox(&text, 30000);
                if (box)
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
            });
            Command(doc, id);
        }
        EXPECT_NE(-1, text.Find(L"ネットワークドライブ"));
        EXPECT_TRUE(scope.Heard().empty());
    }
}

TEST(DocumentCommands, OptionsOkTellsColoursBeforeTheTreeAndSavesEverything)
{
    CommandDocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    CKWDoc& doc = scope.Document();
    scope.Open();
    OPTIONSDATA options;
    doc.FillOptions(options);
    options.colText = 0x102030;
    options.HiddenFile = true;
    options.AutoCacheFolder = true;
    doc.TakeOptions(options);
    EXPECT_EQ((std::vector<std::wstring>{L"14", L"13 29"}), scope.Heard());
    EXPECT_TRUE(doc.GetItem(0)->GetAutoCache());
    EXPECT_EQ(L"1", Read(L"KWDoc", L"HiddenFile"));
    EXPECT_EQ(L"#00102030", Read(L"KWDoc", L"colText"));
}

TEST(DocumentCommands, OptionsOkWithoutChangesWritesTheListKeysAndTellsNobody)
{
    CommandDocumentScope scope;
    CKWDoc& doc = scope.Document();
    OPTIONSDATA options;
    doc.FillOptions(options);
    doc.TakeOptions(options);
    EXPECT_TRUE(scope.Heard().empty());
    EXPECT_EQ(L"$(Info)", Read(L"LstView", L"InfoColumnTemplete"));
    EXPECT_EQ(L"30", Read(L"LstView", L"NameMaxSize"));
    EXPECT_EQ(L"1", Read(L"LstView", L"AutoColumnSize"));
    EXPECT_EQ(L"$(FileName) $(Width)x$(Height) $(Color)b $(Length)", Read(L"OnePic", L"TitleFormat"));
    EXPECT_EQ(L"1", Read(L"KWDoc", L"TrashCan"));

    // Settings the tree does not show by itself change nothing it would hear of.
    options.CheckSubFolder = 2;
    options.ArcTree = false;
    options.ArchiveInArchive = true;
    doc.TakeOptions(options);
    EXPECT_TRUE(scope.Heard().empty());
}

TEST(DocumentCommands, TheSameColourForTextAndBackgroundMeansTheSystemColours)
{
    CommandDocumentScope scope;
    CKWDoc& doc = scope.Document();
    OPTIONSDATA options;
    doc.FillOptions(options);
    options.colText = options.colBackground = 0x445566;
    doc.TakeOptions(options);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), doc.GetBackColor());
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), doc.GetTextColor());
    OPTIONSDATA again;
    doc.FillOptions(again);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), again.colBackground);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), again.colText);
}
