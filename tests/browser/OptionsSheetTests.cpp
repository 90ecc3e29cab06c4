// The options sheet through the document's command on the program's own frame: every control of
// every page set, OK, the settings file read, the frame started again and the sheet opened on
// what the file holds; Cancel after the same changes; what OK does to the open windows.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "common/ImportPatch.h"
#include "common/RealInput.h"
#include "SettingsTestUtil.h"
#include "catalogue/CacheRootCheck.h"
#include "image/plugins/Spi.h"

#include <atomic>
#include <functional>
#include <vector>

using namespace settingstest;

namespace {

enum class Kind { Check, Text, Combo };

struct ControlCase
{
    int page;
    UINT id;
    Kind kind;
    int value;           // check state or combo row
    const wchar_t* text; // typed text
    const wchar_t* section;
    const wchar_t* key; // null: kept in the process only
    const wchar_t* stored;
    const wchar_t* shown; // what an edit shows when the sheet opens again (null: the text)
};

// A value other than the one the settings hold, for every control of every page in page order.
const ControlCase kCases[] = {
    {0, IDC_BOOT_MULTIPROCESS, Kind::Check, 0, nullptr, L"KWDoc", L"MultiProcess", L"0", nullptr},
    {0, IDC_BOOT_RESTOREFOLDER, Kind::Check, 0, nullptr, L"KWDoc", L"RestoreFolder", L"0", nullptr},
    {0, IDC_BOOT_HOMEFOLDER, Kind::Text, 0, L"C:\\home", L"KWDoc", L"HomeFolder", L"C:\\home", nullptr},
    {1, IDC_FILER_DELQA, Kind::Check, 1, nullptr, L"KWDoc", L"DELQA", L"1", nullptr},
    {1, IDC_FILER_TRASHCAN, Kind::Check, 0, nullptr, L"KWDoc", L"TrashCan", L"0", nullptr},
    {1, IDC_FILER_COPYDIB, Kind::Check, 0, nullptr, L"KWDoc", L"ClipboardCopyDIB", L"0", nullptr},
    {1, IDC_FILER_COPYTEXT, Kind::Check, 0, nullptr, L"KWDoc", L"ClipboardCopyTEXT", L"0", nullptr},
    {2, IDC_FILE_SCANSPI, Kind::Check, 1, nullptr, L"KWDoc", L"ScanSPI", L"1", nullptr},
    {2, IDC_FILE_EXTSPI, Kind::Check, 1, nullptr, L"KWDoc", L"ExtSPI", L"1", nullptr},
    {2, IDC_FILE_FOLDERSHOW, Kind::Check, 0, nullptr, L"KWDoc", L"FolderShow", L"0", nullptr},
    {2, IDC_FILE_HIDDENFILE, Kind::Check, 1, nullptr, L"KWDoc", L"HiddenFile", L"1", nullptr},
    {2, IDC_FILE_FOLDERMONITOR, Kind::Check, 1, nullptr, L"MainFrame", L"FolderMonitor", L"1", nullptr},
    {3, IDC_CONFIG_ENABLECONFIG, Kind::Check, 0, nullptr, L"KWDoc", L"EnableConfig", L"0", nullptr},
    {3, IDC_CONFIG_SYNCJUMP, Kind::Check, 0, nullptr, L"KWDoc", L"SyncJump", L"0", nullptr},
    {3, IDC_CONFIG_TEXTCOLOUR, Kind::Text, 0, L"#123456", L"KWDoc", L"colText", L"#00123456", L"123456"},
    {3, IDC_CONFIG_BACKCOLOUR, Kind::Text, 0, L"abcdef", L"KWDoc", L"colBackground", L"#00ABCDEF", L"ABCDEF"},
    {4, IDC_FOLDER_ROOT, Kind::Combo, 1, nullptr, L"FolderView", L"TreeRoot", L"27", nullptr},
    {4, IDC_FOLDER_ARCTREE, Kind::Check, 0, nullptr, L"FolderView", L"ArcTree", L"0", nullptr},
    {4, IDC_FOLDER_HIDDEN, Kind::Check, 1, nullptr, L"FolderView", L"HiddenFolder", L"1", nullptr},
    {4, IDC_FOLDER_ARCINARC, Kind::Check, 1, nullptr, L"FolderView", L"ArchiveInArchive", L"1", nullptr},
    {4, IDC_FOLDER_CHECKSUB, Kind::Combo, 2, nullptr, L"FolderView", L"CheckSubFolder", L"2", nullptr},
    {5, IDC_LIST_AUTOCOLUMN, Kind::Check, 0, nullptr, L"LstView", L"AutoColumnSize", L"0", nullptr},
    {5, IDC_LIST_NAMEMAX, Kind::Text, 0, L"44", L"LstView", L"NameMaxSize", L"44", nullptr},
    {5, IDC_LIST_TEMPLATE, Kind::Text, 0, L"$(Info) $(Size)", L"LstView", L"InfoColumnTemplete", L"$(Info) $(Size)",
     nullptr},
    {6, IDC_VIEW_NOTCLEAR, Kind::Check, 1, nullptr, L"KWDoc", L"NotClrCursorMove", L"1", nullptr},
    {6, IDC_VIEW_MEMDRAW, Kind::Check, 0, nullptr, L"KWView", L"MemDraw", L"0", nullptr},
    {6, IDC_VIEW_INFOVIEW, Kind::Check, 1, nullptr, L"MainFrame", L"InfoView", L"1", nullptr},
    {6, IDC_VIEW_COVERFOLDER, Kind::Check, 0, nullptr, L"KWDoc", L"FolderTitle", L"0", nullptr},
    {6, IDC_VIEW_COVERARCHIVE, Kind::Check, 0, nullptr, L"KWDoc", L"FolderTitle", L"0", nullptr},
    {7, IDC_WINDOW_TOPMOST, Kind::Check, 1, nullptr, L"OnePic", L"TopMost", L"1", nullptr},
    {7, IDC_WINDOW_MULTI, Kind::Check, 1, nullptr, L"OnePic", L"MultiPicView", L"1", nullptr},
    {7, IDC_WINDOW_STAY, Kind::Check, 1, nullptr, L"OnePic", L"Stay", L"1", nullptr},
    {7, IDC_WINDOW_CAPTION, Kind::Text, 0, L"$(Path) - $(Width)", L"OnePic", L"TitleFormat", L"$(Path) - $(Width)",
     nullptr},
    {8, IDC_FULL_COLUMNS, Kind::Text, 0, L"3", L"SlideShow", L"ColumnCount", L"3", nullptr},
    {8, IDC_FULL_LINES, Kind::Text, 0, L"4", L"SlideShow", L"LineCount", L"4", nullptr},
    {8, IDC_FULL_DIRECTIONLR, Kind::Combo, 1, nullptr, L"SlideShow", L"DirectionLR", L"1", nullptr},
    {8, IDC_FULL_DIRECTIONUD, Kind::Combo, 1, nullptr, L"SlideShow", L"DirectionUD", L"1", nullptr},
    {8, IDC_FULL_MONITOR, Kind::Combo, 0, nullptr, L"SlideShow", L"Monitor", L"0", nullptr},
    {9, IDC_MOUSE_DADMOVE, Kind::Check, 1, nullptr, L"KWDoc", L"DaDMOVE", L"1", nullptr},
    {9, IDC_MOUSE_WHEEL, Kind::Combo, 2, nullptr, L"KWView", L"WheelScrollCount", L"3", nullptr},
    {9, IDC_MOUSE_VIEWER, Kind::Combo, 3, nullptr, L"KWDoc", L"IDViewer", L"20000", nullptr},
    {9, IDC_MOUSE_EXECEXT, Kind::Text, 0, L"txt doc", L"KWDoc", L"ExecExt", L"txt doc", nullptr},
    {10, IDC_CACHE_READ, Kind::Check, 1, nullptr, L"KWDoc", L"CacheFolder", L"1", nullptr},
    {10, IDC_CACHE_AUTOSAVE, Kind::Check, 1, nullptr, L"KWDoc", L"AutoCacheFolder", L"1", nullptr},
    {10, IDC_CACHE_IDLEMAKE, Kind::Check, 1, nullptr, L"KWDoc", L"ThumbsCreate", L"1", nullptr},
    {10, IDC_CACHE_FOLDER, Kind::Text, 0, L"C:\\cache", L"KWDoc", L"CacheDataFolder", L"C:\\cache", nullptr},
    {11, IDC_OPTPLUGIN_SELECTEDONLY, Kind::Check, 1, nullptr, nullptr, nullptr, nullptr, nullptr},
    {11, IDC_OPTPLUGIN_EXTONLY, Kind::Check, 1, nullptr, nullptr, nullptr, nullptr, nullptr},
    {11, IDC_OPTPLUGIN_FOLDER, Kind::Text, 0, L"C:\\plugins", L"SPI", L"SPIDIR", L"C:\\plugins", nullptr},
    {11, IDC_OPTPLUGIN_DISPLIMIT, Kind::Text, 0, L"100", L"KWDoc", L"DispPluginLimit", L"100", nullptr},
    {11, IDC_OPTPLUGIN_ARCLIMIT, Kind::Text, 0, L"30", L"KWDoc", L"ArcDispPluginLimit", L"30", nullptr},
};

const int kPageCount = 12;

HWND WaitForSheet()
{
    return WaitForDialog(L"動作設定", 30000);
}

// Shows each page in turn and hands every control of the table on it to the action; then ends
// the sheet with the button.
void ForEachControl(const std::function<void(HWND page, const ControlCase&)>& action, int button,
                    std::vector<std::wstring>* problems)
{
    HWND sheet = WaitForSheet();
    if (!sheet) {
        problems->push_back(L"no sheet");
        return;
    }
    for (int page = 0; page < kPageCount; ++page) {
        HWND window = ShowPage(sheet, page);
        if (!window) {
            problems->push_back(L"page " + std::to_wstring(page) + L" not shown");
            continue;
        }
        for (const ControlCase& c : kCases)
            if (c.page == page)
                action(window, c);
        Shot(sheet, (L"options_page" + std::to_wstring(page) + L".bmp").c_str());
    }
    PostMessageW(sheet, PSM_PRESSBUTTON, button == IDOK ? PSBTN_OK : PSBTN_CANCEL, 0);
    // The cache folder the table types is not there: OK asks whether to make it, and is told No.
    if (button == IDOK) {
        WaitUntil([&] { return !IsWindow(sheet); }, 30000);
        CString question;
        AnswerMessageBox(&question, IDNO);
        if (question.Find(L"C:\\cache") < 0)
            problems->push_back(L"no question about the cache folder");
    }
}

// Sets every control of the table, page by page, and ends the sheet with the button.
void ChangeEverythingAndEnd(int button, std::vector<std::wstring>* problems)
{
    ForEachControl(
        [](HWND window, const ControlCase& c) {
            if (c.kind == Kind::Check) {
                SetCheckAndNotify(window, c.id, c.value != 0);
            } else if (c.kind == Kind::Text) {
                Type(window, c.id, c.text);
            } else {
                Choose(window, c.id, c.value);
            }
        },
        button, problems);
}

// Reads every control of the table back, then cancels.
void ReadEverythingAndCancel(std::vector<std::wstring>* problems)
{
    ForEachControl(
        [&](HWND window, const ControlCase& c) {
            bool same = false;
            if (c.kind == Kind::Check) {
                same = Checked(window, c.id) == (c.value != 0);
            } else if (c.kind == Kind::Text) {
                same = Text(window, c.id) == CString(c.shown ? c.shown : c.text);
            } else {
                same = Chosen(window, c.id) == c.value;
            }
            if (!same)
                problems->push_back(L"page " + std::to_wstring(c.page) + L" control " + std::to_wstring(c.id));
        },
        IDCANCEL, problems);
}

// The plug-in page's two switches live in the process only.
class PluginFlagsScope
{
public:
    ~PluginFlagsScope()
    {
        theSPImapIndex.SetDynamicLoading(0);
        theSPImapIndex.SetPluginExtensionCheck(0);
    }
};

void SeedSettings()
{
    // A monitor the system does not have, so that choosing the first one is a change.
    WriteAppIniInt(L"SlideShow", L"Monitor", 1);
    WriteAppIniString(L"AppCall", L"App0\\Title", L"ビューア");
    WriteAppIniString(L"AppCall", L"App0\\Cmd", L"viewer.exe");
}

void RunOptions(FrameProgram& program)
{
    program.Document()->OnCmdMsg(ID_DOC_OPTIONS, CN_COMMAND, nullptr, nullptr);
}

} // namespace

TEST(OptionsSheet, EveryControlOfEveryPageComesBackFromTheSettingsFile)
{
    PluginFlagsScope flags;
    RemoveDirectoryW(L"C:\\cache");
    FrameProgram program(SeedSettings);
    ASSERT_NE(nullptr, program.Frame());
    {
        std::vector<std::wstring> problems;
        HelperThread driver([&] { ChangeEverythingAndEnd(IDOK, &problems); }, 60000);
        RunOptions(program);
        EXPECT_TRUE(problems.empty()) << Utf8(problems.empty() ? L"" : problems.front());
    }
    for (const ControlCase& c : kCases) {
        if (c.key) {
            EXPECT_EQ(CString(c.stored), ReadSetting(c.section, c.key)) << Utf8(c.key);
        }
    }

    program.Close();
    ASSERT_TRUE(program.Start(program.m_folder.Path()));
    std::vector<std::wstring> problems;
    {
        HelperThread driver([&] { ReadEverythingAndCancel(&problems); }, 60000);
        RunOptions(program);
    }
    for (const std::wstring& problem : problems)
        ADD_FAILURE() << Utf8(problem);
}

TEST(OptionsSheet, CancelAfterChangingEveryPageKeepsTheFileButThePlacement)
{
    PluginFlagsScope flags;
    FrameProgram program(SeedSettings);
    ASSERT_NE(nullptr, program.Frame());
    program.Document()->SaveSettings();
    const CString file = theAppIni.GetPath();
    const std::string before = FrameworkScratchFolder::ReadFile(file.GetString());
    const int heard = static_cast<int>(program.m_hints.heard.size());
    {
        std::vector<std::wstring> problems;
        HelperThread driver([&] { ChangeEverythingAndEnd(IDCANCEL, &problems); }, 60000);
        RunOptions(program);
        EXPECT_TRUE(problems.empty());
    }
    const std::string after = FrameworkScratchFolder::ReadFile(file.GetString());
    EXPECT_EQ(WithoutSection(before, "OptionView"), WithoutSection(after, "OptionView"));
    EXPECT_NE(std::string::npos, after.find("[OptionView]"));
    EXPECT_TRUE(program.Document()->TrashCan);
    EXPECT_FALSE(theSPImapIndex.GetDynamicLoading());
    EXPECT_EQ(heard, static_cast<int>(program.m_hints.heard.size()));
}

// What acts at once does so on the windows that are open: the thumbnail view's colour, the folder
// tree's root and the folder watcher.
TEST(OptionsSheet, OkActsAtOnceOnTheOpenWindows)
{
    FrameProgram program;
    ASSERT_NE(nullptr, program.Frame());
    CMainFrame* frame = program.Frame();
    CTreeCtrl& tree = program.Pane()->GetTreeCtrl();
    const CString rootBefore = tree.GetItemText(tree.GetRootItem());
    EXPECT_FALSE(frame->GetWatcher(FolderChangeInFolder).IsStarted());
    program.m_hints.heard.clear();
    {
        HelperThread driver([] {
            HWND sheet = WaitForSheet();
            if (!sheet)
                return;
            Type(ShowPage(sheet, 3), IDC_CONFIG_BACKCOLOUR, L"0000FF");
            SetCheckAndNotify(ShowPage(sheet, 2), IDC_FILE_FOLDERMONITOR, true);
            Choose(ShowPage(sheet, 4), IDC_FOLDER_ROOT, 0);
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        RunOptions(program);
    }
    // The colours first, then the tree.
    std::vector<std::wstring> told;
    for (const std::wstring& hint : program.m_hints.heard)
        if (hint == L"13" || hint == L"14")
            told.push_back(hint);
    EXPECT_EQ((std::vector<std::wstring>{L"14", L"13"}), told);
    EXPECT_NE(rootBefore, tree.GetItemText(tree.GetRootItem()));
    EXPECT_TRUE(frame->GetWatcher(FolderChangeInFolder).IsStarted());

    // The file list paints the options' background; the thumbnail grid keeps its own colour.
    CWnd* view = frame->GetListPane();
    view->UpdateWindow();
    CRect client;
    view->GetClientRect(&client);
    HDC dc = ::GetDC(view->GetSafeHwnd());
    const COLORREF shown = GetPixel(dc, client.right - 2, client.bottom - 2);
    ::ReleaseDC(view->GetSafeHwnd(), dc);
    EXPECT_EQ(RGB(255, 0, 0), shown);
}

namespace {

// Every message box text, answered at once with OK, while alive.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder() : m_patch("user32.dll", "MessageBoxW", reinterpret_cast<const void*>(&Record))
    {
        s_texts.clear();
    }
    static const std::vector<CString>& Texts() { return s_texts; }
    explicit operator bool() const { return static_cast<bool>(m_patch); }

private:
    static int WINAPI Record(HWND, LPCWSTR text, LPCWSTR, UINT)
    {
        s_texts.emplace_back(text);
        return IDOK;
    }
    ImportPatch m_patch;
    static std::vector<CString> s_texts;
};
std::vector<CString> MessageBoxRecorder::s_texts;

// The cache page's folder typed, automatic saving on, OK; the question that follows answered.
void AcceptCacheFolder(const CString& folder, int answer, CString* question)
{
    HWND sheet = WaitForSheet();
    if (!sheet)
        return;
    HWND page = ShowPage(sheet, 10);
    SetCheckAndNotify(page, IDC_CACHE_AUTOSAVE, true);
    Type(page, IDC_CACHE_FOLDER, folder);
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    // The sheet's own labels would pass for a message box's text.
    WaitUntil([&] { return !IsWindow(sheet); }, 30000);
    AnswerMessageBox(question, answer);
}

} // namespace

TEST(OptionsSheet, AMissingCacheFolderIsMadeWhenTheUserSaysSoAndOtherwiseEverySaveSaysItCannotBeWritten)
{
    FrameProgram program(nullptr, false);
    ASSERT_TRUE(program.m_folder.WriteFile(L"photo.bmp", "BM"));
    ASSERT_TRUE(CreateDirectoryW(program.m_folder / L"another", nullptr));
    ASSERT_TRUE(program.Start(program.m_folder.Path()));
    CacheRootCheck::ForgetTold();

    // Yes: the folder is made with its missing parent.
    const CString made = program.m_folder / L"cache\\thumbs";
    CString question;
    {
        HelperThread driver([&] { AcceptCacheFolder(made, IDYES, &question); }, 60000);
        RunOptions(program);
    }
    EXPECT_NE(-1, Joined(question).Find(L"「" + made + L"」")) << question.GetString();
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesW(made) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(made, program.Document()->CacheDataFolder);

    // No: nothing is made, and Ctrl+W, pressed as the user does, says the cache cannot go there.
    const CString declined = program.m_folder / L"nowhere";
    {
        HelperThread driver([&] { AcceptCacheFolder(declined, IDNO, &question); }, 60000);
        RunOptions(program);
    }
    EXPECT_NE(-1, Joined(question).Find(L"「" + declined + L"」")) << question.GetString();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(declined));
    EXPECT_EQ(declined, program.Document()->CacheDataFolder);
    ASSERT_TRUE(MakeActive(*program.Frame()));
    CString told;
    std::atomic<bool> answered{false};
    {
        HelperThread driver([&] {
            AnswerMessageBox(&told, IDOK);
            answered = true;
        });
        EXPECT_TRUE(Press('W', VK_CONTROL, [&] { return answered.load(); }));
    }
    EXPECT_NE(-1, Joined(told).Find(L"「" + declined + L"」")) << told.GetString();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(declined));

    // A folder that goes away later: the first automatic save that cannot write says so, once.
    ASSERT_TRUE(RemoveDirectoryW(made));
    program.Document()->CacheDataFolder = made;
    {
        MessageBoxRecorder boxes;
        ASSERT_TRUE(boxes);
        ASSERT_TRUE(program.Pane()->GoToPath(program.m_folder / L"another", FALSE));
        ASSERT_TRUE(program.Pane()->GoToPath(program.m_folder.Path(), FALSE));
        ASSERT_EQ(1u, MessageBoxRecorder::Texts().size());
        EXPECT_NE(-1, Joined(MessageBoxRecorder::Texts()[0]).Find(L"「" + made + L"」"));
    }
}

TEST(OptionsSheet, AListingToggleWithTheCacheFolderGoneSaysSoOnce)
{
    FrameProgram program(nullptr, false);
    ASSERT_TRUE(program.m_folder.WriteFile(L"photo.bmp", "BM"));
    ASSERT_TRUE(program.Start(program.m_folder.Path()));
    const CString gone = program.m_folder / L"gone";
    program.Document()->AutoCacheFolder = true;
    program.Document()->CacheDataFolder = gone;
    CacheRootCheck::ForgetTold();
    MessageBoxRecorder boxes;
    ASSERT_TRUE(boxes);
    // Archives shown and hidden again, then the sub-folders' files: each saves the cache first.
    for (UINT command : {ID_DOC_TOGGLE_ARCHIVE, ID_DOC_TOGGLE_ARCHIVE, ID_DOC_TOGGLE_DOWNSCAN, ID_DOC_TOGGLE_DOWNSCAN})
        program.Document()->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr);
    ASSERT_EQ(1u, MessageBoxRecorder::Texts().size());
    EXPECT_NE(-1, Joined(MessageBoxRecorder::Texts()[0]).Find(L"「" + gone + L"」"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(gone));
}

namespace {

// Clicks the middle of the control with the mouse, once it shows there.
bool ClickControl(HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    const POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!ShowsAt(control, point))
        return false;
    SendClick(point, MOUSEEVENTF_LEFTDOWN);
    return true;
}

} // namespace

// A change turns Apply on; Apply puts the change into effect and saves it with the sheet still
// open, and turns itself off again.
TEST(OptionsSheet, AChangeTurnsApplyOnAndApplyPutsItIntoEffectWithTheSheetOpen)
{
    FrameProgram program;
    ASSERT_NE(nullptr, program.Frame());
    bool offAtFirst = false, onAfterChange = false, offAfterApply = false, savedWhileOpen = false;
    {
        HelperThread driver([&] {
            HWND sheet = WaitForSheet();
            if (!sheet)
                return;
            HWND apply = GetDlgItem(sheet, ID_APPLY_NOW);
            HWND page = ShowPage(sheet, 0);
            offAtFirst = !IsWindowEnabled(apply);
            if (ClickControl(GetDlgItem(page, IDC_BOOT_MULTIPROCESS)))
                onAfterChange = WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 10000);
            if (onAfterChange && ClickControl(apply)) {
                offAfterApply = WaitUntil([&] { return !IsWindowEnabled(apply); }, 10000);
                savedWhileOpen = WaitUntil([&] { return ReadSetting(L"KWDoc", L"MultiProcess") == L"0"; }, 10000) &&
                                 IsWindowVisible(sheet);
            }
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        RunOptions(program);
    }
    EXPECT_TRUE(offAtFirst);
    EXPECT_TRUE(onAfterChange);
    EXPECT_TRUE(offAfterApply);
    EXPECT_TRUE(savedWhileOpen);
    // Cancel takes back nothing that was applied.
    EXPECT_EQ(CString(L"0"), ReadSetting(L"KWDoc", L"MultiProcess"));
}
