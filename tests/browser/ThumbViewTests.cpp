// The thumbnail view in the program's frame: thumbnails made in idle time, kept cells, keys and
// mouse, activation, paging and the view's size messages, hints and the context menus.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "catalogue/CVirtualFolder.h"
#include "catalogue/CellSurfaceHolder.h"
#include "catalogue/SteppedPictureLoad.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "common/Clicks.h"
#include "common/RealInput.h"

#include <algorithm>
#include <atomic>

namespace {

CString Numbered(LPCWSTR prefix, int i, LPCWSTR extension)
{
    CString name;
    name.Format(L"%s%03d%s", prefix, i, extension);
    return name;
}

// Settings of the document before the program starts.
void Write(LPCWSTR section, LPCWSTR key, LPCWSTR value)
{
    WriteAppIniString(section, key, value);
}

int IndexOf(CKWDoc* doc, LPCWSTR name)
{
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i) && doc->GetItem(i)->GetFileName() == name)
            return i;
    return -1;
}

// A point of the view's client on the item's name, or on its picture.
CPoint NamePoint(CKWView& view, int index)
{
    VyxFile* item = view.GetDocument()->GetItem(index);
    return view.GetLayout().GetCellOrigin(index) - view.GetScrollOffset() + item->GetNameRect().CenterPoint();
}

CPoint PicturePoint(CKWView& view, int index)
{
    VyxFile* item = view.GetDocument()->GetItem(index);
    return view.GetLayout().GetCellOrigin(index) - view.GetScrollOffset() + item->GetCellRect().CenterPoint();
}

bool Key(CKWView& view, UINT key)
{
    MSG msg = {};
    msg.hwnd = view.GetSafeHwnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    return CWnd::WalkPreTranslateTree(view.GetSafeHwnd(), &msg) != FALSE;
}

std::vector<int> Selected(CKWDoc* doc)
{
    std::vector<int> selected;
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i)->TestFlags(VyxFilexDraw::FlagSelected))
            selected.push_back(i);
    return selected;
}

// From a helper thread: the first entry of the next context menu, which is then closed.
CString FirstMenuTextThenEscape(HWND owner)
{
    HWND menu = WaitForMenu();
    wchar_t text[128] = {};
    if (menu)
        GetMenuStringW(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)), 0, text, 128, MF_BYPOSITION);
    DriveMenu(owner, -1);
    return text;
}

// The program on n files named f000.jpg ... of one byte (nothing to decode: their cells show
// icons), in cells of 100 x 100, with any settings of the test's own.
struct GridProgram : FrameProgram
{
    explicit GridProgram(int n, const std::function<void()>& settings = nullptr)
        : FrameProgram(
              [&] {
                  Write(L"KWDoc", L"ThumbsSize", L"100,100");
                  if (settings)
                      settings();
              },
              false)
    {
        EmptyProgramFolder(*this);
        for (int i = 0; i < n; ++i)
            m_folder.WriteFile(Numbered(L"f", i, L".jpg"), "x");
        Start(m_folder.Path());
    }
};

} // namespace

TEST(ThumbView, TheShownCellsGetTheirThumbnailsFirstAndThenTheIdleLoopRests)
{
    HostedPlugins plugin = OwnJpegPlugin();
    FrameProgram p([] { Write(L"KWDoc", L"ThumbsSize", L"100,100"); }, false);
    EmptyProgramFolder(p);
    for (int i = 0; i < 60; ++i)
        PutJpeg(p.m_folder, Numbered(L"p", i, L".jpg"), 80, 60, RGB(i * 4, 100, 200));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CKWView* view = ThumbView(p);
    ASSERT_NE(nullptr, view);
    ASSERT_GT(PaintAndIdle(p), 0);
    EXPECT_EQ(CKWView::PassNone, view->GetPassState());
    EXPECT_EQ(0u, p.Frame()->GetWorkFlags() & (WorkVisibleThumbs | WorkAllThumbs));
    CKWDoc* doc = p.Document();
    const std::pair<int, int> shown = ShownItems(*view, doc->GetItemCount());
    ASSERT_LT(shown.second, 60) << "the folder must not fit the grid";
    for (int i = 0; i < doc->GetItemCount(); ++i)
        EXPECT_EQ(i >= shown.first && i < shown.second, doc->GetItem(i)->HasThumbnail()) << i;
    EXPECT_GE(p.m_hints.Count(HintItemChanged), shown.second - shown.first);
}

namespace {

// Thumbnails of 100x100 made and cached in a cache folder of the test's own, and the program's
// folder emptied for the test's pictures.
void TurnTheCacheOn(FrameProgram& p)
{
    const CString cacheRoot = p.m_settings.Folder() / L"cache";
    CreateDirectoryW(cacheRoot, nullptr);
    Write(L"KWDoc", L"CacheDataFolder", cacheRoot);
    Write(L"KWDoc", L"ThumbsSize", L"100,100");
    Write(L"KWDoc", L"ThumbsCreate", L"1");
    Write(L"KWDoc", L"CacheFolder", L"1");
    Write(L"KWDoc", L"AutoCacheFolder", L"1");
    EmptyProgramFolder(p);
}

// The cache on, and the program's folder holding count pictures of 40 x 30, each of its own
// colour, named prefix000.jpg ...
void TurnTheCacheOn(FrameProgram& p, LPCWSTR prefix, int count)
{
    TurnTheCacheOn(p);
    for (int i = 0; i < count; ++i)
        PutJpeg(p.m_folder, Numbered(prefix, i, L".jpg"), 40, 30, RGB(200, i, 50));
}

// The item's thumbnail was made from its picture, not taken from the cache: its record holds an
// image of its own (in memory or moved out), not a place in a cache file.
bool MadeAnew(VyxFile& item)
{
    VyxCacheFolder* cache = theCacheList.FindFolder(item.GetResolvedFolder(), item.GetArchiveFileName());
    const VyxCacheThumbs* record = cache ? cache->FindRecord(item) : nullptr;
    return record && (record->HasImageBytes() || record->m_place == VyxCacheThumbs::PlaceSpill);
}

} // namespace

TEST(ThumbView, TheWholeListPassMakesEveryThumbnailAndTheCacheGivesThemBack)
{
    HostedPlugins plugin = OwnJpegPlugin();
    FrameProgram p(nullptr, false);
    TurnTheCacheOn(p);
    for (int i = 0; i < 40; ++i)
        PutJpeg(p.m_folder, Numbered(L"p", i, L".jpg"), 80, 60, RGB(200, i * 5, 50));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    ASSERT_GT(PaintAndIdle(p), 0);
    CKWDoc* doc = p.Document();
    ASSERT_EQ(40, doc->GetItemCount());
    for (int i = 0; i < 40; ++i)
        EXPECT_TRUE(doc->GetItem(i)->HasThumbnail()) << i;
    EXPECT_EQ(100, p.Frame()->GetStatusBar().GetLastProgress());

    // Listed again, every thumbnail comes back from the cache the program wrote on leaving.
    doc->OpenFolder(CVirtualFolder(p.m_folder.Path(), p.m_folder.Path(), CVirtualFolder::KindPlainFolder), nullptr);
    ASSERT_GT(PaintAndIdle(p), 0);
    ASSERT_EQ(40, doc->GetItemCount());
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(doc->GetItem(i)->HasThumbnail()) << i;
        EXPECT_TRUE(doc->GetItem(i)->IsCached()) << i;
    }
}

// The whole-list pass takes its cached thumbnails a screen's worth at a time: read in one pass
// over the cache file before the items ask one by one. The file gone after the first of them
// came, the rest of that screen's worth still come from the cache; those after it are made anew.
TEST(ThumbView, TheWholeListPassReadsTheCacheAheadAScreensWorthAtATime)
{
    HostedPlugins plugin = OwnJpegPlugin();
    FrameProgram p(nullptr, false);
    const int count = 240;
    TurnTheCacheOn(p, L"写真_", count);
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    ASSERT_GT(PaintAndIdle(p), 0);
    CKWDoc* doc = p.Document();
    doc->OpenFolder(CVirtualFolder(p.m_folder.Path(), p.m_folder.Path(), CVirtualFolder::KindPlainFolder), nullptr);
    ASSERT_EQ(count, doc->GetItemCount());
    CKWView* view = ThumbView(p);
    view->Invalidate(FALSE);
    view->UpdateWindow();
    const std::pair<int, int> shown = ShownItems(*view, count);
    const CSize client = view->GetLayout().GetClient();
    const int screen = view->GetLayout().GetColumns() * (client.cy / view->GetLayout().GetCell().cy + 2);
    ASSERT_LT(shown.second + screen, count) << "the folder must hold more than two screens";

    // Steps until the first item after the shown ones came from the cache.
    int steps = 0;
    while (steps < 4000 && !doc->GetItem(shown.second)->IsCached())
        p.Frame()->SendMessage(WMU_IDLESTEP, steps++, 0);
    ASSERT_TRUE(doc->GetItem(shown.second)->IsCached());
    ASSERT_FALSE(doc->GetItem(shown.second + 1)->HasThumbnail());
    CString file;
    ASSERT_TRUE(theCacheList.GetIndex().FindThumbsFile(file, p.m_folder.Path(), L""));
    ASSERT_TRUE(DeleteFileW(file));
    ASSERT_GT(p.RunIdle(20000), 0);

    // Read with the first: the rest of the shown cells' next screen's worth.
    for (int i = shown.second; i < screen && i < count; ++i)
        EXPECT_TRUE(doc->GetItem(i)->IsCached()) << i;
    // Read after the file went: made from the pictures.
    for (int i = screen; i < count; ++i) {
        EXPECT_TRUE(doc->GetItem(i)->HasThumbnail()) << i;
        EXPECT_TRUE(MadeAnew(*doc->GetItem(i))) << i;
    }
}

// Each thumbnail the pass makes goes to the cache at once, and the location's new records are
// written to its file on a thread while the folder is still shown: a close or a leaving after a
// long pass has no more than the last run to write.
TEST(ThumbView, TheWholeListPassCachesEachThumbnailAsItIsMadeAndWritesTheRecordsAhead)
{
    CKWView::SetWriteAheadRecords(10);
    HostedPlugins plugin = OwnJpegPlugin();
    FrameProgram p(nullptr, false);
    const int count = 45;
    TurnTheCacheOn(p, L"p", count);
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    const int steps = PaintAndIdle(p);
    CKWView::SetWriteAheadRecords(2000);
    ASSERT_GT(steps, 0);
    CKWDoc* doc = p.Document();
    ASSERT_EQ(count, doc->GetItemCount());
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(doc->GetItem(i)->IsCached()) << i;
    for (int i = 0; i < 6000 && theCacheList.IsWriting(); ++i)
        theCacheList.WaitForReading(10);
    ASSERT_FALSE(theCacheList.IsWriting());
    // Written ahead, and the location's records still at hand for its look-ups.
    VyxCacheFolder* cache = theCacheList.FindFolder(p.m_folder.Path(), L"");
    ASSERT_NE(nullptr, cache);
    EXPECT_LT(cache->GetUnwrittenCount(), 10);
    CString file;
    ASSERT_TRUE(theCacheList.GetIndex().FindThumbsFile(file, p.m_folder.Path(), L""));
    VyxCacheFolder written;
    ASSERT_EQ(VyxCacheFolder::LoadDone, written.Load(file));
    EXPECT_EQ(count - cache->GetUnwrittenCount(), written.GetCount());
}

namespace {

// The time a pass step may run before a decode gives way, the test's own while it lives.
struct StepAllowance
{
    explicit StepAllowance(DWORD ms) : previous(CKWView::s_stepAllowance) { CKWView::s_stepAllowance = ms; }
    ~StepAllowance() { CKWView::s_stepAllowance = previous; }
    DWORD previous;
};

// Counts the progress messages that reach the frame while it lives.
class ProgressCounter
{
public:
    explicit ProgressCounter(CWnd* frame) : m_hWnd(frame->GetSafeHwnd())
    {
        s_count = 0;
        s_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressCounter::Proc)));
    }
    ~ProgressCounter() { SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_previous)); }
    static int Count() { return s_count; }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WMU_PROGRESS)
            ++s_count;
        return CallWindowProcW(s_previous, hWnd, message, wParam, lParam);
    }
    HWND m_hWnd;
    static inline int s_count = 0;
    static inline WNDPROC s_previous = nullptr;
};

} // namespace

TEST(ThumbView, APicturesDecodeIsSpreadOverIdleStepsAndTheNextFolderGivesUpTheOneThatWaits)
{
    HostedPlugins plugin = OwnJpegPlugin();
    // Every decode gives way at its first report: each picture takes several steps.
    StepAllowance none(0);
    FrameProgram p([] { Write(L"KWDoc", L"ThumbsSize", L"100,100"); }, false);
    EmptyProgramFolder(p);
    for (int i = 0; i < 4; ++i)
        PutJpeg(p.m_folder, Numbered(L"p", i, L".jpg"), 800, 600, RGB(i * 40, 90, 200));
    FrameworkScratchFolder other;
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    view->Invalidate(FALSE);
    view->UpdateWindow();
    int steps = 0, waiting = 0;
    while (steps < 2000 && p.Frame()->SendMessage(WMU_IDLESTEP, steps, 0)) {
        ++steps;
        waiting += SteppedPictureLoad::IsPending() ? 1 : 0;
    }
    ASSERT_LT(steps, 2000);
    EXPECT_GE(waiting, 4) << "every picture waited at least once";
    EXPECT_FALSE(SteppedPictureLoad::IsPending());
    ASSERT_EQ(4, doc->GetItemCount());
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(doc->GetItem(i)->HasThumbnail()) << i;
        EXPECT_FALSE(doc->GetItem(i)->IsCannotDraw()) << i;
    }
    EXPECT_GE(p.m_hints.Count(HintItemChanged), 4);

    // Listed again, a picture waits half decoded when the user goes to another folder.
    doc->OpenFolder(CVirtualFolder(p.m_folder.Path(), p.m_folder.Path(), CVirtualFolder::KindPlainFolder), nullptr);
    view->Invalidate(FALSE);
    view->UpdateWindow();
    for (int i = 0; i < 50 && !SteppedPictureLoad::IsPending(); ++i)
        p.Frame()->SendMessage(WMU_IDLESTEP, i, 0);
    ASSERT_TRUE(SteppedPictureLoad::IsPending());
    doc->OpenFolder(CVirtualFolder(other.Path(), other.Path(), CVirtualFolder::KindPlainFolder), nullptr);
    EXPECT_FALSE(SteppedPictureLoad::IsPending());
    EXPECT_GT(PaintAndIdle(p), 0);
    EXPECT_EQ(0, doc->GetItemCount());
}

TEST(ThumbView, TheWholeListPassTellsItsProgressAFewTimesASecond)
{
    GridProgram p(400, [] { Write(L"KWDoc", L"ThumbsCreate", L"1"); });
    ProgressCounter counter(p.Frame());
    const DWORD start = GetTickCount();
    ASSERT_GT(PaintAndIdle(p), 0);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(100, p.Frame()->GetStatusBar().GetLastProgress());
    // The pass's start, then at most one a quarter of a second, and the end.
    EXPECT_LE(ProgressCounter::Count(), static_cast<int>(3 + elapsed / 250)) << elapsed << " ms";
}

TEST(ThumbView, EveryCellItShowsIsKeptEvenWhenThereAreHundreds)
{
    const size_t previous = CellSurfaceHolder::GetLimit();
    GridProgram p(700, [] {
        Write(L"KWDoc", L"ThumbsLimitSize", L"10,10");
        Write(L"KWDoc", L"ThumbsSize", L"20,20");
    });
    CKWView* view = ThumbView(p);
    ASSERT_GT(PaintAndIdle(p), 0);
    const std::pair<int, int> shown = ShownItems(*view, p.Document()->GetItemCount());
    ASSERT_GT(shown.second - shown.first, 128);
    for (int i = shown.first; i < shown.second; ++i)
        EXPECT_TRUE(p.Document()->GetItem(i)->HasKeptCell()) << i;
    CellSurfaceHolder::SetLimit(previous);
}

TEST(ThumbView, WithoutMemDrawTheGridIsKeptWholeAndARepaintOfDrawnCellsIsACopy)
{
    GridProgram p(30, [] { Write(L"KWView", L"MemDraw", L"0"); });
    CKWView* view = ThumbView(p);
    ASSERT_GT(PaintAndIdle(p), 0);
    ASSERT_TRUE(view->HasWholeViewBitmap());
    const std::pair<int, int> shown = ShownItems(*view, 30);
    for (int i = shown.first; i < shown.second; ++i)
        EXPECT_EQ(CKWView::DrawnVisible | CKWView::DrawnLater | CKWView::DrawnAny, view->GetDrawnFlags(i)) << i;
    EXPECT_EQ(0, view->GetDrawnFlags(shown.second));
    // Everything shown is drawn: the paint copies and goes straight on to the second pass.
    view->Invalidate(FALSE);
    view->UpdateWindow();
    EXPECT_EQ(CKWView::PassSecond, view->GetPassState());
    // With "MemDraw" (the default) no whole bitmap is made.
    p.Document()->MemDraw = true;
    p.Document()->UpdateAllViews(nullptr, HintRedraw, nullptr);
    EXPECT_FALSE(view->HasWholeViewBitmap());
}

TEST(ThumbView, ArrowKeysSelectTheCursorItemAndSpaceTogglesAndMovesOn)
{
    GridProgram p(30);
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    const int columns = view->GetLayout().GetColumns();
    ASSERT_GT(columns, 1);
    EXPECT_TRUE(Key(*view, VK_RIGHT));
    EXPECT_EQ(0, doc->GetCursorIndex());
    EXPECT_TRUE(Key(*view, VK_RIGHT));
    EXPECT_TRUE(Key(*view, VK_DOWN));
    EXPECT_EQ(1 + columns, doc->GetCursorIndex());
    EXPECT_EQ(std::vector<int>{1 + columns}, Selected(doc));
    // Space on the anchor only moves on; on the next item it inverts it and moves on again.
    EXPECT_TRUE(Key(*view, VK_SPACE));
    EXPECT_EQ(2 + columns, doc->GetCursorIndex());
    EXPECT_EQ(std::vector<int>{1 + columns}, Selected(doc));
    EXPECT_TRUE(Key(*view, VK_SPACE));
    EXPECT_EQ((std::vector<int>{1 + columns, 2 + columns}), Selected(doc));
    EXPECT_EQ(3 + columns, doc->GetCursorIndex());
    // Past the first item nothing moves.
    view->KeySelect(0, 0, false);
    EXPECT_TRUE(Key(*view, VK_LEFT));
    EXPECT_EQ(0, doc->GetCursorIndex());
    // With "NotClrCursorMove" the selection stays as it is.
    doc->NotClrCursorMove = true;
    EXPECT_TRUE(Key(*view, VK_RIGHT));
    EXPECT_EQ(std::vector<int>{0}, Selected(doc));
    EXPECT_EQ(1, doc->GetCursorIndex());
    EXPECT_FALSE(Key(*view, 'Q'));
}

TEST(ThumbView, ShiftSelectsFromTheAnchorAndCtrlOnlyMovesTheCursor)
{
    GridProgram p(20);
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    view->KeySelect(2, 0, false);
    view->KeySelect(5, CKWView::SelectShift, false);
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), Selected(doc));
    EXPECT_EQ(2, view->GetAnchor());
    view->KeySelect(0, CKWView::SelectCtrl, false);
    EXPECT_EQ(0, doc->GetCursorIndex());
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), Selected(doc));
    // Shift with Ctrl adds to what is selected and moves the anchor.
    view->KeySelect(8, CKWView::SelectShift | CKWView::SelectCtrl, false);
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5, 6, 7, 8}), Selected(doc));
    EXPECT_EQ(8, view->GetAnchor());
    view->KeySelect(25, 0, false);
    EXPECT_EQ(8, view->GetAnchor());
}

TEST(ThumbView, APressOnASelectedItemKeepsTheSelectionUntilReleaseAndThePictureToggles)
{
    GridProgram p(20);
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    ClickAt(view->GetSafeHwnd(), NamePoint(*view, 3));
    EXPECT_EQ(std::vector<int>{3}, Selected(doc));
    EXPECT_EQ(3, doc->GetCursorIndex());
    ClickAt(view->GetSafeHwnd(), NamePoint(*view, 5), MK_CONTROL);
    EXPECT_EQ((std::vector<int>{3, 5}), Selected(doc));
    // Pressed on a selected item (as a drag would start), the selection holds until release.
    const CPoint three = NamePoint(*view, 3);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(three.x, three.y));
    EXPECT_EQ((std::vector<int>{3, 5}), Selected(doc));
    view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(three.x, three.y));
    EXPECT_EQ(std::vector<int>{3}, Selected(doc));
    // Off the name, a click toggles as with Ctrl; the middle button extends from the anchor.
    ClickAt(view->GetSafeHwnd(), PicturePoint(*view, 6));
    EXPECT_EQ((std::vector<int>{3, 6}), Selected(doc));
    const CPoint nine = NamePoint(*view, 9);
    view->SendMessage(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(nine.x, nine.y));
    view->SendMessage(WM_MBUTTONUP, 0, MAKELPARAM(nine.x, nine.y));
    EXPECT_EQ((std::vector<int>{6, 7, 8, 9}), Selected(doc));
    // A press beside every cell keeps the selection.
    const CRect client = [&] {
        CRect rect;
        view->GetClientRect(&rect);
        return rect;
    }();
    const int count = doc->GetItemCount();
    const CPoint empty = view->GetLayout().GetCellOrigin(count) + CPoint(5, 5) - view->GetScrollOffset();
    if (client.PtInRect(empty)) {
        ClickAt(view->GetSafeHwnd(), empty);
        EXPECT_EQ((std::vector<int>{6, 7, 8, 9}), Selected(doc));
    }
}

TEST(ThumbView, ARightPressOnAChosenItemKeepsTheChoiceForTheMenu)
{
    GridProgram p(12);
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    for (int i : {3, 5, 7})
        doc->SelectItem(i, true, nullptr);
    // Off the name a left click toggles; the right button must not, on any part of the cell.
    for (CPoint point : {PicturePoint(*view, 5), NamePoint(*view, 7)}) {
        view->ClientToScreen(&point);
        ASSERT_TRUE(ShowsAt(view->GetSafeHwnd(), point));
        CString first;
        std::atomic<bool> shown{false};
        {
            HelperThread driver([&] {
                first = FirstMenuTextThenEscape(p.Frame()->GetSafeHwnd());
                shown = true;
            });
            SendClick(point, MOUSEEVENTF_RIGHTDOWN);
            EXPECT_TRUE(RunLoopUntil([&] { return shown.load(); }));
        }
        EXPECT_EQ(CString(L"選択 3ﾌｧｲﾙ"), first);
        EXPECT_EQ((std::vector<int>{3, 5, 7}), Selected(doc));
    }
}

TEST(ThumbView, ActivationEntersFoldersAndArchivesOrHandsTheItemToTheViewerCommand)
{
    HostedPlugins plugin({{L"test_archive", L"arc"}});
    struct Case
    {
        bool arcTree;
        LPCWSTR name;
        bool entered;
    };
    for (const Case& c : {Case{true, L"sub", true}, Case{true, L"box.tarc", true}, Case{false, L"box.tarc", false},
                          Case{true, L"a.jpg", false}}) {
        FrameProgram p(
            [&] {
                Write(L"FolderView", L"ArcTree", c.arcTree ? L"1" : L"0");
                // The viewer command of the test: one whose hint shows that it ran.
                WriteAppIniInt(L"KWDoc", L"IDViewer", ID_PICTURE_RELOAD);
            },
            false);
        p.m_folder.WriteFile(L"box.tarc", std::string("TARC") + std::string(12, '\0'));
        ASSERT_TRUE(p.Start(p.m_folder.Path()));
        CKWView* view = ThumbView(p);
        PaintAndIdle(p);
        const int index = IndexOf(p.Document(), c.name);
        ASSERT_GE(index, 0) << c.name;
        const CString path = p.Document()->GetItem(index)->GetPath();
        const int redraws = p.m_hints.Count(HintRedraw);
        const CPoint point = NamePoint(*view, index);
        view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        const std::wstring expected = L"10 " + std::wstring(path.GetString());
        const bool entered =
            std::find(p.m_hints.heard.begin(), p.m_hints.heard.end(), expected) != p.m_hints.heard.end();
        EXPECT_EQ(c.entered, entered) << c.name;
        EXPECT_EQ(c.entered ? redraws : redraws + 1, p.m_hints.Count(HintRedraw)) << c.name;
    }
}

TEST(ThumbView, ExtensionsOfExecExtOpenByAssociation)
{
    CString opened;
    CKWView::ShellOpen = [&](const CString& path) { opened = path; };
    FrameProgram p([] { Write(L"KWDoc", L"ExecExt", L"*.txt *.doc"); }, false);
    p.m_folder.WriteFile(L"notes.txt", "x");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    const int index = IndexOf(p.Document(), L"notes.txt");
    ASSERT_GE(index, 0);
    p.Document()->UpdateAllViews(nullptr, HintItemActivated, HintValue(index));
    EXPECT_EQ(p.m_folder / L"notes.txt", opened);
    EXPECT_EQ(0, p.m_hints.Count(HintGoToPath));
    CKWView::ShellOpen = nullptr;
}

TEST(ThumbView, ColumnsSizeTheCellsToTheClientAndNeverDivideByZero)
{
    FrameProgram p;
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    view->MoveWindow(0, 0, 800, 600);
    ASSERT_EQ(CSize(200, 300), doc->GetDefaultThumbsSize());
    view->SendMessage(WMU_THUMBS_COLUMNS, 4);
    EXPECT_EQ(CSize(200, 300), doc->GetThumbsSize());
    view->SendMessage(WMU_THUMBS_LARGER);
    EXPECT_EQ(CSize(225, 338), doc->GetThumbsSize());
    view->SendMessage(WMU_THUMBS_SMALLER);
    EXPECT_EQ(CSize(200, 300), doc->GetThumbsSize());
    // One column (a negative count counts as one) is as wide as the client and no higher.
    view->SendMessage(WMU_THUMBS_COLUMNS, static_cast<WPARAM>(-3));
    EXPECT_EQ(CSize(800, 600), doc->GetThumbsSize());
    // More columns than pixels: one pixel each, raised to the smallest size.
    view->SendMessage(WMU_THUMBS_COLUMNS, 5000);
    EXPECT_EQ(CSize(40, 40), doc->GetThumbsSize());
    view->SendMessage(WMU_THUMBS_COLUMNS, 0);
    EXPECT_EQ(CSize(200, 300), doc->GetThumbsSize());
    // A default ratio that rounds a row to nothing, and an empty client: no division by zero.
    doc->SetDefaultThumbsSize(1000, 1);
    view->SendMessage(WMU_THUMBS_COLUMNS, 4);
    EXPECT_EQ(CSize(200, 40), doc->GetThumbsSize());
    view->MoveWindow(0, 0, 0, 0);
    view->SendMessage(WMU_THUMBS_COLUMNS, 3);
    EXPECT_EQ(CSize(200, 40), doc->GetThumbsSize());
}

TEST(ThumbView, PagesWheelAndScrollBarMoveTheViewAndAnnounceItsTopItem)
{
    GridProgram p(100, [] { Write(L"KWView", L"WheelScrollCount", L"1"); });
    CKWView* view = ThumbView(p);
    view->MoveWindow(0, 0, 400 + GetSystemMetrics(SM_CXVSCROLL), 320);
    PaintAndIdle(p);
    const ThumbGridLayout& layout = view->GetLayout();
    ASSERT_EQ(4, layout.GetColumns());
    ASSERT_EQ(3, layout.GetClient().cy / 100);
    const int last = layout.GetMaxPosition();
    ASSERT_EQ(2500 - layout.GetClient().cy, last);
    view->KeySelect(1, 0, false);
    const int announced = p.m_hints.Count(HintScrolled);
    view->SendMessage(WMU_THUMBS_PREVPAGE);
    EXPECT_EQ(0, view->GetPosition());
    // A page is three rows: the cursor moves on by three rows too.
    view->SendMessage(WMU_THUMBS_NEXTPAGE);
    EXPECT_EQ(300, view->GetPosition());
    EXPECT_EQ(13, p.Document()->GetCursorIndex());
    EXPECT_EQ(announced + 1, p.m_hints.Count(HintScrolled));
    view->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(400, view->GetPosition());
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(500, view->GetPosition());
    view->SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(last, view->GetPosition());
    view->SendMessage(WMU_THUMBS_NEXTPAGE);
    EXPECT_EQ(last, view->GetPosition());
    view->SendMessage(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(0, view->GetPosition());
    EXPECT_EQ(announced + 5, p.m_hints.Count(HintScrolled));
    // The cursor moved past the shown rows by the keys brings its row into view at the bottom.
    view->KeySelect(95, 0, false);
    EXPECT_EQ(2400 - layout.GetClient().cy, view->GetPosition());
}

TEST(ThumbView, AChangeOfTheShownFolderReadsItAgainAndOthersAreIgnored)
{
    FrameProgram p;
    const int listings = p.m_hints.Count(HintListRebuilt);
    CString other = p.m_settings.Folder().Path();
    p.Document()->UpdateAllViews(nullptr, HintFolderChanged, reinterpret_cast<CObject*>(other.GetBuffer()));
    EXPECT_EQ(listings, p.m_hints.Count(HintListRebuilt));
    p.m_folder.WriteFile(L"c.jpg", "c");
    CString shown = p.m_folder.Path();
    p.Document()->UpdateAllViews(nullptr, HintFolderChanged, reinterpret_cast<CObject*>(shown.GetBuffer()));
    EXPECT_EQ(listings + 1, p.m_hints.Count(HintListRebuilt));
    EXPECT_GE(IndexOf(p.Document(), L"c.jpg"), 0);
}

TEST(ThumbView, TheShellMenuPutsTheWatchersBackWhenItCloses)
{
    FrameProgram p;
    CKWView* view = ThumbView(p);
    PaintAndIdle(p);
    const int index = IndexOf(p.Document(), L"a.jpg");
    ASSERT_GE(index, 0);
    const CPoint point = NamePoint(*view, index);
    // Both buttons down: the next menu is the shell's, for the selected file.
    view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(point.x, point.y));
    view->SendMessage(WM_LBUTTONUP, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    ASSERT_EQ(std::vector<int>{index}, Selected(p.Document()));
    CPoint screen = point;
    view->ClientToScreen(&screen);
    MakeActive(*p.Frame());
    {
        HelperThread driver([&] { DriveMenu(p.Frame()->GetSafeHwnd(), -1); });
        view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->GetSafeHwnd()),
                          MAKELPARAM(screen.x, screen.y));
    }
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());
}

TEST(ThumbView, TheItemMenuOffersToOpenTheCursorItemAndSelectsOnlyIt)
{
    FrameProgram p;
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    doc->SelectItem(IndexOf(doc, L"a.jpg"), true, nullptr);
    view->KeySelect(IndexOf(doc, L"b.jpg"), CKWView::SelectCtrl, false);
    MakeActive(*p.Frame());
    CString first;
    {
        HelperThread driver([&] { first = FirstMenuTextThenEscape(p.Frame()->GetSafeHwnd()); });
        view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->GetSafeHwnd()), MAKELPARAM(-1, -1));
    }
    EXPECT_EQ(CString(L"b.jpg を開く"), first);
    EXPECT_EQ(std::vector<int>{IndexOf(doc, L"b.jpg")}, Selected(doc));
    EXPECT_EQ(CString(L"0123456789ab...789abcdef.jpg"), CKWView::ShortenName(L"0123456789abcdef0123456789abcdef.jpg"));
    EXPECT_EQ(CString(L"short.jpg"), CKWView::ShortenName(L"short.jpg"));
}

TEST(ThumbView, ItsWindowAndBackgroundAreWrittenWhenItCloses)
{
    FrameProgram p;
    CKWView* view = ThumbView(p);
    // The view takes the cells' background from the document's layout.
    view->SetBackColor(RGB(0x56, 0x34, 0x12));
    p.Close();
    CString window = ReadSetting(L"KWView", L"Window");
    int fields[4] = {};
    EXPECT_EQ(4, swscanf(window, L"%d,%d,%d,%d", &fields[0], &fields[1], &fields[2], &fields[3])) << window.GetString();
    EXPECT_GT(fields[2], 0);
    EXPECT_GT(fields[3], 0);
    EXPECT_EQ(CString(L"#00123456"), ReadSetting(L"KWView", L"colBackground"));
}

namespace {

// The screen's colour on the top line of the item's picture area, where the cursor frame runs.
COLORREF FrameLinePixel(CKWView& view, int index)
{
    VyxFile* item = view.GetDocument()->GetItem(index);
    const CPoint at =
        view.GetLayout().GetCellOrigin(index) - view.GetScrollOffset() + item->GetCellRect().TopLeft() + CPoint(3, 0);
    CClientDC dc(&view);
    return dc.GetPixel(at);
}

// The shown items whose cells show the cursor frame.
std::vector<int> Framed(CKWView& view)
{
    CKWDoc* doc = view.GetDocument();
    const COLORREF frame = doc->GetItem(0)->colSelectCheck;
    const std::pair<int, int> shown = ShownItems(view, doc->GetItemCount());
    std::vector<int> framed;
    for (int i = shown.first; i < shown.second; ++i)
        if (FrameLinePixel(view, i) == frame)
            framed.push_back(i);
    return framed;
}

// Whether the scroll bar shows the grid's own position.
bool BarAgrees(CKWView& view)
{
    return view.GetScrollPos(SB_VERT) == view.GetLayout().ToUnits(view.GetPosition());
}

} // namespace

TEST(ThumbView, OnlyTheCursorCellShowsTheCursorFrame)
{
    // With kept cells drawn on the screen, and with the whole grid kept in one bitmap.
    for (LPCWSTR memDraw : {L"1", L"0"}) {
        GridProgram p(30, [&] {
            Write(L"KWView", L"MemDraw", memDraw);
            WriteAppIniInt(L"KWDoc", L"IDViewer", ID_PICTURE_RELOAD);
        });
        CKWView* view = ThumbView(p);
        CKWDoc* doc = p.Document();
        PaintAndIdle(p);
        ASSERT_GT(view->GetLayout().GetColumns(), 2);
        view->KeySelect(2, 0, false);
        EXPECT_EQ(std::vector<int>{2}, Framed(*view)) << memDraw;
        EXPECT_TRUE(Key(*view, VK_RIGHT));
        EXPECT_EQ(std::vector<int>{3}, Framed(*view)) << memDraw;
        view->KeySelect(5, CKWView::SelectShift, false);
        EXPECT_EQ(std::vector<int>{5}, Framed(*view)) << memDraw;
        view->KeySelect(7, CKWView::SelectCtrl, false);
        EXPECT_EQ(std::vector<int>{7}, Framed(*view)) << memDraw;
        // A double-click makes its item the cursor (the viewer command of the test repaints all).
        const CPoint nine = NamePoint(*view, 9);
        view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(nine.x, nine.y));
        PaintAndIdle(p);
        EXPECT_EQ(9, doc->GetCursorIndex());
        EXPECT_EQ(std::vector<int>{9}, Framed(*view)) << memDraw;
        // Read again, the folder keeps its cursor, and the cursor leaves no frame behind.
        view->SendMessage(WM_COMMAND, ID_REFRESH_FOLDER);
        PaintAndIdle(p);
        EXPECT_EQ(std::vector<int>{9}, Framed(*view)) << memDraw;
        EXPECT_TRUE(Key(*view, VK_LEFT));
        EXPECT_EQ(std::vector<int>{8}, Framed(*view)) << memDraw;
        PaintAndIdle(p);
        EXPECT_EQ(std::vector<int>{8}, Framed(*view)) << memDraw;
    }
}

TEST(ThumbView, HomeEndAndThePageKeysScrollTheGridItselfAndTakeTheCursorAlong)
{
    // Taller than the scroll bar's range: the bar counts in units of several pixels.
    const int count = 1300;
    GridProgram p(count);
    CKWView* view = ThumbView(p);
    CKWDoc* doc = p.Document();
    view->MoveWindow(0, 0, 400 + GetSystemMetrics(SM_CXVSCROLL), 320);
    PaintAndIdle(p);
    const ThumbGridLayout& layout = view->GetLayout();
    ASSERT_EQ(4, layout.GetColumns());
    ASSERT_EQ(3, layout.GetPage().cy / 100);
    ASSERT_GT(layout.GetScale(), 1.0);
    // The last position, as the scroll bars now leave the client.
    auto last = [&] { return layout.GetMaxPosition(); };
    const COLORREF frame = doc->GetItem(0)->colSelectCheck;

    EXPECT_TRUE(Key(*view, VK_END));
    EXPECT_EQ(last(), view->GetPosition());
    EXPECT_EQ(count - 1, doc->GetCursorIndex());
    EXPECT_EQ(std::vector<int>{count - 1}, Selected(doc));
    EXPECT_TRUE(BarAgrees(*view));
    // What the screen shows is the grid at that position: the last cell with the cursor frame.
    view->UpdateWindow();
    EXPECT_EQ(last(), view->GetPosition());
    EXPECT_EQ(frame, FrameLinePixel(*view, count - 1));

    // A page up moves the grid and the cursor three rows; a page down brings both back.
    EXPECT_TRUE(Key(*view, VK_PRIOR));
    EXPECT_EQ(last() - 300, view->GetPosition());
    EXPECT_EQ(count - 13, doc->GetCursorIndex());
    EXPECT_TRUE(BarAgrees(*view));
    EXPECT_TRUE(Key(*view, VK_NEXT));
    EXPECT_EQ(last(), view->GetPosition());
    EXPECT_EQ(count - 1, doc->GetCursorIndex());
    // At the end nothing moves further.
    EXPECT_TRUE(Key(*view, VK_NEXT));
    EXPECT_EQ(last(), view->GetPosition());
    EXPECT_EQ(count - 1, doc->GetCursorIndex());

    EXPECT_TRUE(Key(*view, VK_HOME));
    EXPECT_EQ(0, view->GetPosition());
    EXPECT_EQ(0, doc->GetCursorIndex());
    EXPECT_TRUE(BarAgrees(*view));
    view->UpdateWindow();
    EXPECT_EQ(frame, FrameLinePixel(*view, 0));
    // At the top a page up goes to the first row, in the cursor's column.
    view->KeySelect(6, 0, false);
    EXPECT_TRUE(Key(*view, VK_PRIOR));
    EXPECT_EQ(2, doc->GetCursorIndex());
    EXPECT_TRUE(Key(*view, VK_NEXT));
    EXPECT_EQ(300, view->GetPosition());
    EXPECT_EQ(14, doc->GetCursorIndex());

    // The keys sent to the window rather than typed take the same road.
    view->SendMessage(WM_KEYDOWN, VK_END);
    EXPECT_EQ(last(), view->GetPosition());
    EXPECT_EQ(count - 1, doc->GetCursorIndex());
    EXPECT_TRUE(BarAgrees(*view));
}
