#include "PictureWindowTestUtil.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxNoteStore.h"
#include "common/ImportPatch.h"
#include "res/resource.h"
#include "viewer/COneWnd.h"
#include "viewer/COneWndList.h"
#include "viewer/VSlideShowDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace viewertest;

namespace {

HWND WINAPI NoWindow(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID)
{
    return nullptr;
}

// A stand-in owner that writes down the broadcasts picture windows post to it.
class BroadcastRecorder : public CTestHostWnd
{
public:
    std::vector<WPARAM> heard;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WMU_PICTUREWNDBROADCAST)
            heard.push_back(wParam);
        return CTestHostWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(PictureWindow, TitleTextsAndZoomStepsAreFormattedAsTheSettingsSay)
{
    struct Row
    {
        BOOL locked;
        int index, count, page, pages;
        const wchar_t* text;
    } rows[] = {
        {FALSE, 0, 5, 0, 1, L"a.jpg (1/5)"},
        {FALSE, 4, 5, 0, 3, L"a.jpg (5/5) [1/3]"},
        {TRUE, -1, 5, 1, 2, L"**locked** a.jpg [2/2]"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CString(row.text),
                  COneWnd::FormatWindowText(L"a.jpg", row.locked, row.index, row.count, row.page, row.pages));

    VyxVariantArray steps;
    int hundred = -1;
    COneWnd::ParseZoomSteps(L"0.25,0.333,0.5,0.75,1,1.5,2", steps, hundred);
    EXPECT_EQ(7, steps.GetCount());
    EXPECT_EQ(4, hundred);
    COneWnd::ParseZoomSteps(L"", steps, hundred);
    ASSERT_EQ(1, steps.GetCount());
    EXPECT_DOUBLE_EQ(1.0, steps[0].GetDouble());
    EXPECT_EQ(0, hundred);
    COneWnd::ParseZoomSteps(L"0.5,0.75", steps, hundred);
    EXPECT_EQ(0, hundred);
    COneWnd::ParseZoomSteps(L"0.5,1.5,1", steps, hundred);
    EXPECT_EQ(1, hundred);
}

TEST(PictureWindow, OpensAPictureFittedToItsWindowWithTitleAndStatus)
{
    PictureWindows w;
    int c = w.Index(L"c.bmp");
    ASSERT_GE(c, 0);
    EXPECT_EQ(0, w.Frame()->OpenPictureWindow(c, PictureWindowAsSet));
    ASSERT_EQ(1, w.Count());
    COneWnd* window = w.Window(0);
    EXPECT_TRUE(window->IsWindowVisible());
    EXPECT_EQ(c, window->GetIndex());
    EXPECT_EQ(CString(L"c.bmp"), ShownName(window));
    // "FitSize" 1: the window follows the picture, no narrower than the menu's titles need.
    CRect client, frame;
    window->GetView()->GetClientRect(&client);
    window->GetWindowRect(&frame);
    EXPECT_EQ(200, client.Height());
    const int menuWidth = window->GetMenuTitlesWidth();
    EXPECT_GT(menuWidth, 0);
    // The width is worked out while the band is short and still holds its chevron's room.
    const int least = std::max(320, menuWidth - (frame.Width() - client.Width())), chevronRoom = 16;
    EXPECT_GE(client.Width(), least);
    EXPECT_LE(client.Width(), least + chevronRoom);
    EXPECT_EQ(CString(L"320x200"), window->GetStatusBar().GetPaneText(0));
    EXPECT_EQ(CString(L"100%"), window->GetStatusBar().GetPaneText(1));
    CString expected;
    expected.Format(L" (%d/%d)", c + 1, w.Doc()->GetItemCount());
    CString caption = Caption(window);
    EXPECT_EQ(0, caption.Find(L"c.bmp 320x200 24b ")) << caption.GetString();
    EXPECT_EQ(caption.GetLength() - expected.GetLength(), caption.Find(expected)) << caption.GetString();
    // The view is the window's own: the document's announcements do not reach it.
    EXPECT_EQ(nullptr, window->GetView()->GetDocument());
}

TEST(PictureWindow, ASecondActivationReusesOrAddsAWindowAsTheModeAndSettingsSay)
{
    PictureWindows w;
    w.Open(L"c.bmp", PictureWindowAsSet);
    COneWnd* first = w.Open(L"d.bmp", PictureWindowAsSet);
    EXPECT_EQ(1, w.Count());
    EXPECT_EQ(w.Window(0), first);
    EXPECT_EQ(CString(L"d.bmp"), ShownName(first));

    w.Open(L"f.bmp", PictureNewWindow);
    EXPECT_EQ(2, w.Count());
    // Ctrl held opens another window.
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE control = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    w.Open(L"c.bmp", PictureWindowAsSet);
    keys[VK_CONTROL] = control;
    SetKeyboardState(keys);
    EXPECT_EQ(3, w.Count());
    // "MultiPicView" adds a window unless the mode says never.
    w.Doc()->MultiPicView = true;
    w.Open(L"c.bmp", PictureWindowAsSet);
    EXPECT_EQ(4, w.Count());
    w.Frame()->OpenPictureWindow(w.Index(L"f.bmp"), PictureReuseWindow);
    EXPECT_EQ(4, w.Count());
    EXPECT_EQ(CString(L"f.bmp"), ShownName(w.Window(0)));
}

TEST(PictureWindow, ADocumentOpenedOnAPictureShowsItInAPictureWindow)
{
    PictureWindows w(false);
    ASSERT_TRUE(w.program.Start(w.program.m_folder / L"d.bmp"));
    ASSERT_EQ(1, w.Count());
    EXPECT_EQ(CString(L"d.bmp"), ShownName(w.Window(0)));
    EXPECT_TRUE(w.Window(0)->IsWindowVisible());
}

TEST(PictureWindow, ReportsMinusOneWhenNoWindowCanBeMade)
{
    PictureWindows w;
    EXPECT_EQ(-1, w.Frame()->OpenPictureWindow(w.Doc()->GetItemCount(), PictureWindowAsSet));
    // A file no decoder reads asks the caller to try its other ways.
    EXPECT_EQ(1, w.Frame()->OpenPictureWindow(w.Index(L"a.jpg"), PictureWindowAsSet));
    {
        ImportPatch noWindows("user32.dll", "CreateWindowExW", reinterpret_cast<const void*>(&NoWindow));
        ASSERT_TRUE(noWindows);
        EXPECT_EQ(-1, w.Frame()->OpenPictureWindow(w.Index(L"c.bmp"), PictureWindowAsSet));
    }
    EXPECT_EQ(0, w.Count());
    // Once windows can be made again, the picture opens.
    EXPECT_EQ(0, w.Frame()->OpenPictureWindow(w.Index(L"c.bmp"), PictureWindowAsSet));
    EXPECT_EQ(1, w.Count());
}

TEST(PictureWindow, AMultiPageTiffShowsItsPageInTheTitle)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"e.tif");
    ASSERT_NE(nullptr, window);
    // The page count is known as the file opens, before any page but the first is read.
    CString caption = Caption(window);
    EXPECT_EQ(caption.GetLength() - 6, caption.Find(L" [1/3]")) << caption.GetString();
    EXPECT_EQ(1, window->GetView()->GetPageCount());
    for (const wchar_t* suffix : {L" [2/3]", L" [3/3]", L" [1/3]"}) {
        window->SendMessage(WM_COMMAND, ID_PICTURE_NEXT_PAGE);
        caption = Caption(window);
        EXPECT_EQ(caption.GetLength() - 6, caption.Find(suffix)) << caption.GetString();
    }
    for (int i = 0; i < 3; ++i)
        window->GetView()->NextPage();
    window->UpdateTitle(nullptr);
    caption = Caption(window);
    EXPECT_EQ(caption.GetLength() - 6, caption.Find(L" [1/3]")) << caption.GetString();
    // A picture of one page has no page in its title.
    window->ShowPicture(w.Index(L"c.bmp"));
    EXPECT_EQ(-1, Caption(window).Find(L" [")) << Caption(window).GetString();
}

TEST(PictureWindow, TheStatusBarTellsTheSizeAndZoomOfThePictureAfterAMaximiseOrATile)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    COneView* view = window->GetView();
    auto panes = [&] { return window->GetStatusBar().GetPaneText(0) + L" " + window->GetStatusBar().GetPaneText(1); };
    auto shown = [&] {
        CString text;
        text.Format(L"%ldx%ld %d%%", view->GetDisplaySize().cx, view->GetDisplaySize().cy,
                    static_cast<int>(view->GetShownZoom() * 100));
        return text;
    };
    window->SendMessage(WM_COMMAND, ID_PICTURE_FIT_ASPECT);
    EXPECT_EQ(CString(L"320x200 100%"), panes());
    window->ShowWindow(SW_MAXIMIZE);
    EXPECT_NE(CSize(320, 200), view->GetDisplaySize());
    EXPECT_EQ(shown(), panes());
    window->ShowWindow(SW_RESTORE);
    EXPECT_EQ(shown(), panes());
    // Tiled beside a second window by the main frame.
    w.Open(L"d.bmp", PictureNewWindow);
    ASSERT_EQ(2, w.Count());
    const CSize before = view->GetDisplaySize();
    w.Frame()->SendMessage(WMU_TILEPICTUREWND, reinterpret_cast<WPARAM>(window), window->GetFitSize());
    EXPECT_NE(before, view->GetDisplaySize());
    EXPECT_EQ(shown(), panes());
    // A bar hidden gives the view more room, and the panes say so too.
    window->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_EQ(shown(), panes());
}

TEST(PictureWindow, AHugePictureAsIsIsShownFittedWithTheZoomItIsShownAt)
{
    PictureWindows w(false, [] { WriteAppIniInt(L"COneView", L"FitSize", 0); });
    // 121 megapixels: too large for a display copy at 100 %.
    WriteSolidJpeg(w.program.m_folder / L"huge.jpg", 11000, 11000, RGB(200, 60, 30));
    w.program.Start(w.program.m_folder.Path());
    COneWnd* window = w.Open(L"huge.jpg");
    ASSERT_NE(nullptr, window);
    COneView* view = window->GetView();
    ASSERT_NE(nullptr, view->GetDisplayPage());
    auto fitsTheView = [&] {
        CRect client;
        view->GetClientRect(&client);
        const int side = std::min(client.Width(), client.Height());
        CString panes;
        panes.Format(L"%dx%d %d%%", side, side, static_cast<int>(side / 11000.0 * 100));
        EXPECT_EQ(panes, window->GetStatusBar().GetPaneText(0) + L" " + window->GetStatusBar().GetPaneText(1));
        EXPECT_DOUBLE_EQ(side / 11000.0, view->GetShownZoom());
        return CSize(side, side) == view->GetDisplaySize();
    };
    EXPECT_TRUE(fitsTheView());
    // A larger window shows it larger.
    const CSize before = view->GetDisplaySize();
    window->ShowWindow(SW_MAXIMIZE);
    EXPECT_TRUE(fitsTheView());
    EXPECT_GT(view->GetDisplaySize().cx, before.cx);
    const double zoom = view->GetShownZoom();
    EXPECT_LT(zoom, 1.0);
    // Zooming in starts from the zoom on screen.
    window->SendMessage(WM_COMMAND, ID_PICTURE_ZOOM_IN);
    EXPECT_DOUBLE_EQ(zoom * 2, view->GetShownZoom());
    EXPECT_NE(nullptr, view->GetDisplayPage());
}

TEST(PictureWindow, APictureTooLargeForADisplayCopyAfterATinyOneFillsTheRoomItsWindowCanGrowTo)
{
    PictureWindows w(false);
    WriteBmp(w.program.m_folder / L"tiny.bmp", 8, 6, RGB(0, 0, 200));
    WriteSolidJpeg(w.program.m_folder / L"vast.jpg", 12000, 9000, RGB(200, 60, 30));
    w.program.Start(w.program.m_folder.Path());
    COneWnd* window = w.Open(L"tiny.bmp");
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(COnePicture::FitWindowFollows, window->GetFitSize());
    window->ShowPicture(w.Index(L"vast.jpg"));
    // The program's idle time, where the bars take their rows at the new width.
    AfxGetApp()->OnIdle(0);
    PumpPending();
    COneView* view = window->GetView();
    ASSERT_NE(nullptr, view->GetDisplayPage());
    const CSize shown = view->GetDisplaySize();
    EXPECT_NEAR(12000.0 / 9000.0, static_cast<double>(shown.cx) / shown.cy, 0.02);
    // The window followed: all of the picture is in view, and the window reaches the work area's
    // right or bottom edge.
    CRect client, rect;
    view->GetClientRect(&client);
    EXPECT_EQ(shown, client.Size());
    window->GetWindowRect(&rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
    const CRect work(monitor.rcWork);
    EXPECT_TRUE(rect.right >= work.right - 2 || rect.bottom >= work.bottom - 2)
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    EXPECT_LE(rect.right, work.right);
    EXPECT_LE(rect.bottom, work.bottom);
}

TEST(PictureWindow, PictureWindowsStayAboveOtherWindowsOnlyWhenTheSettingsSaySo)
{
    {
        PictureWindows w;
        COneWnd* window = w.Open(L"c.bmp");
        ASSERT_NE(nullptr, window);
        EXPECT_FALSE(w.Doc()->TopMost);
        EXPECT_FALSE(window->IsTopMost());
        EXPECT_FALSE(window->GetExStyle() & WS_EX_TOPMOST);
    }
    PictureWindows w(true, [] { WriteAppIniString(L"OnePic", L"TopMost", L"#00000001"); });
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(w.Doc()->TopMost);
    EXPECT_TRUE(window->IsTopMost());
    EXPECT_TRUE(window->GetExStyle() & WS_EX_TOPMOST);
}

TEST(PictureWindow, AWindowFollowsItsFileAndLocksWhenTheFileLeavesTheDocument)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"d.bmp");
    ASSERT_NE(nullptr, window);
    int d = window->GetIndex();
    // An earlier file goes: the window finds its own again one place up.
    w.Remove(w.Index(L"c.bmp"));
    EXPECT_FALSE(window->Relocate());
    EXPECT_EQ(d - 1, window->GetIndex());
    // Its own file goes: locked, and the title says so.
    w.Remove(d - 1);
    EXPECT_TRUE(window->Relocate());
    EXPECT_TRUE(window->IsLocked());
    EXPECT_EQ(0, Caption(window).Find(L"**locked** d.bmp")) << Caption(window).GetString();
    // Showing another file unlocks it.
    window->ShowPicture(w.Index(L"f.bmp"));
    EXPECT_FALSE(window->IsLocked());
    EXPECT_EQ(-1, Caption(window).Find(L"**locked**"));
}

TEST(PictureWindow, WithStayARemovedFileIsReplacedByTheNextAndLaterWindowsStepBack)
{
    PictureWindows w;
    w.Doc()->Stay = true;
    int c = w.Index(L"c.bmp");
    COneWnd* onC = w.Open(L"c.bmp");
    COneWnd* onD = w.Open(L"d.bmp");
    ASSERT_EQ(c + 1, onD->GetIndex());
    w.Remove(c);
    w.Frame()->OnItemRemoved(c);
    EXPECT_EQ(c, onC->GetIndex());
    EXPECT_EQ(CString(L"d.bmp"), ShownName(onC));
    EXPECT_EQ(c, onD->GetIndex());
    EXPECT_EQ(CString(L"d.bmp"), ShownName(onD));

    // The last file going leaves its window on the new last file; no file left closes it.
    int last = w.Doc()->GetItemCount() - 1;
    COneWnd* onLast = w.List().NewWindow(w.Doc(), w.Frame());
    onLast->ShowPicture(last);
    w.Remove(last);
    w.Frame()->OnItemRemoved(last);
    EXPECT_EQ(last - 1, onLast->GetIndex());
    while (w.Doc()->GetItemCount() > 0) {
        w.Remove(0);
        w.Frame()->OnItemRemoved(0);
    }
    EXPECT_EQ(0, w.Count());
}

TEST(PictureWindow, WithoutStayEveryWindowOnARemovedFileClosesWhateverTheListOrder)
{
    PictureWindows w;
    COneWnd* onD = w.Open(L"d.bmp");
    w.Open(L"c.bmp");
    w.Frame()->OpenPictureWindow(w.Index(L"c.bmp"), PictureNewWindow);
    ASSERT_EQ(3, w.Count());
    w.Frame()->OnItemRemoved(w.Index(L"c.bmp"));
    ASSERT_EQ(1, w.Count());
    EXPECT_EQ(onD, w.Window(0));
}

TEST(PictureWindow, ARebuiltListClosesTheWindowsOrWithStayRelocatesThem)
{
    PictureWindows w;
    w.Open(L"c.bmp");
    w.Open(L"d.bmp");
    w.Frame()->OnListRebuilding();
    EXPECT_EQ(0, w.Count());

    w.Doc()->Stay = true;
    COneWnd* onC = w.Open(L"c.bmp");
    COneWnd* onD = w.Open(L"d.bmp");
    w.Remove(w.Index(L"c.bmp"));
    w.Frame()->OnListRebuilding();
    EXPECT_EQ(2, w.Count());
    EXPECT_TRUE(onC->IsLocked());
    EXPECT_FALSE(onD->IsLocked());
    EXPECT_EQ(w.Index(L"d.bmp"), onD->GetIndex());
}

TEST(PictureWindow, TheCursorIsFollowedByTheLastPictureWindowWhenSynchronous)
{
    PictureWindows w;
    COneWnd* first = w.Open(L"c.bmp");
    COneWnd* second = w.Open(L"d.bmp");
    w.Frame()->SendMessage(WMU_LASTPICTUREWND, reinterpret_cast<WPARAM>(second));
    w.Frame()->SyncPictureWindow(w.Index(L"f.bmp"));
    EXPECT_EQ(CString(L"f.bmp"), ShownName(second));
    EXPECT_EQ(CString(L"c.bmp"), ShownName(first));
    // The last window gone, the first follows.
    w.Frame()->SendMessage(WMU_CLOSEPICTUREWND, reinterpret_cast<WPARAM>(second));
    ASSERT_EQ(1, w.Count());
    w.Frame()->SyncPictureWindow(w.Index(L"e.tif"));
    EXPECT_EQ(CString(L"e.tif"), ShownName(first));
    w.Doc()->Synchronous = false;
    w.Frame()->SyncPictureWindow(w.Index(L"d.bmp"));
    EXPECT_EQ(CString(L"e.tif"), ShownName(first));
}

TEST(PictureWindow, ClosingTheMainWindowClosesItsPictureWindows)
{
    PictureWindows w;
    HWND one = w.Open(L"c.bmp")->m_hWnd;
    HWND two = w.Open(L"d.bmp")->m_hWnd;
    w.program.Close();
    EXPECT_FALSE(::IsWindow(one));
    EXPECT_FALSE(::IsWindow(two));
}

TEST(PictureWindow, AClosedWindowLeavesTheListAndKeepsItsSettings)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    window->GetSettings().ScaleMode = 3;
    window->GetSettings().AngleUnit = 45;
    w.Frame()->SendMessage(WMU_CLOSEPICTUREWND, reinterpret_cast<WPARAM>(window));
    EXPECT_EQ(0, w.Count());
    EXPECT_EQ(CString(L"3"), ReadSetting(L"COneView", L"ScaleMode"));
    EXPECT_EQ(CString(L"45"), ReadSetting(L"COneView", L"AngleUnit"));
    EXPECT_EQ(CString(L"0.25,0.333,0.5,0.75,1,1.5,2"), ReadSetting(L"COneView", L"ZoomSteps"));
    EXPECT_EQ(CString(L"$(FileName) $(Width)x$(Height) $(Color)b $(Length)"), ReadSetting(L"OnePic", L"TitleFormat"));
    EXPECT_EQ(CString(L"1"), ReadSetting(L"OnePic", L"StatusBar"));
    // The next window starts from them.
    EXPECT_EQ(45, w.Open(L"d.bmp")->GetSettings().AngleUnit);
    // A window destroyed by other means leaves the list all the same.
    w.Window(0)->CFrameWnd::DestroyWindow();
    EXPECT_EQ(0, w.Count());
}

TEST(PictureWindow, SystemMenuCarriesTheBarTogglesAndCloseAll)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    CMenu* system = window->GetSystemMenu(FALSE);
    ASSERT_NE(nullptr, system);
    const wchar_t* texts[] = {L"メニューバーのOn/Off", L"ツールバーのOn/Off", L"ステータスバーのOn/Off", L"",
                              L"全て閉じる(&A)"};
    for (int i = 0; i < 5; ++i) {
        CString text;
        system->GetMenuString(i, text, MF_BYPOSITION);
        EXPECT_EQ(CString(texts[i]), text) << i;
    }
    window->SendMessage(WM_SYSCOMMAND, 0x30);
    EXPECT_FALSE(window->GetStatusBar().GetStyle() & WS_VISIBLE);
    window->SendMessage(WM_SYSCOMMAND, 0x30);
    EXPECT_TRUE(window->GetStatusBar().GetStyle() & WS_VISIBLE);
    // "Close all" reaches the main frame, which closes every picture window.
    w.Open(L"d.bmp");
    window->SendMessage(WM_SYSCOMMAND, ID_PICTURE_CLOSE_ALL);
    EXPECT_TRUE(PumpUntil([&] { return w.Count() == 0; }, 30000));
}

TEST(PictureWindow, ASynchronisedWindowPassesItsNavigationOnToTheOwner)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    BroadcastRecorder owner;
    CWnd* frame = window->m_pOwner;
    window->m_pOwner = &owner;
    window->SendMessage(WM_COMMAND, 10100);
    window->SendMessage(WM_COMMAND, ID_PICTURE_SYNCHRONIZE);
    EXPECT_TRUE(window->IsSynchronized());
    window->SendMessage(WM_COMMAND, 10100);
    {
        // The copy command is the window's own: it asks here, and is not passed on.
        HelperThread helper([] { PostMessageW(WaitForDialog(L"ファイルの複写", 30000), WM_COMMAND, IDCANCEL, 0); });
        window->SendMessage(WM_COMMAND, 10104);
    }
    window->SendMessage(WM_COMMAND, 32789);
    PumpPending();
    EXPECT_EQ((std::vector<WPARAM>{10100, 32789}), owner.heard);
    // The leading window ignores the broadcast coming back; the others run it.
    window->SendMessage(WMU_PICTUREWNDBROADCAST, ID_PICTURE_SYNCHRONIZE);
    EXPECT_TRUE(window->IsSynchronized());
    COneWnd* other = w.Open(L"d.bmp");
    other->SendMessage(WMU_PICTUREWNDBROADCAST, ID_PICTURE_SYNCHRONIZE);
    EXPECT_TRUE(other->IsSynchronized());
    window->m_pOwner = frame;
}

TEST(PictureWindow, SlideshowEndAndColourResultsArriveAsMessages)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    auto* show = new VSlideShowDlg;
    w.List().m_pSlideShow = show;
    window->SendMessage(WMU_SLIDESHOWENDED, 1, w.Index(L"d.bmp"));
    EXPECT_EQ(show, w.List().m_pSlideShow);
    EXPECT_EQ(CString(L"d.bmp"), ShownName(window));
    window->SendMessage(WMU_SLIDESHOWENDED, 0, w.Index(L"f.bmp"));
    EXPECT_EQ(nullptr, w.List().m_pSlideShow);
    EXPECT_EQ(CString(L"f.bmp"), ShownName(window));

    HGLOBAL adjusted = SolidDib(20, 10, RGB(1, 2, 3));
    window->SendMessage(WMU_CONTRASTRESULT, reinterpret_cast<WPARAM>(adjusted));
    EXPECT_EQ(adjusted, window->GetView()->GetDisplayPage());
}

TEST(PictureWindow, TheStatusBarShowsATwoLineNoteOnOneLine)
{
    PictureWindows w;
    const int c = w.Index(L"c.bmp");
    ASSERT_GE(c, 0);
    // Typed: three lines, the last a path holding "\n".
    ASSERT_EQ(VyxNoteStore::NoteWritten, w.Doc()->GetItem(c)->SetNote(L"一行目\\n二行目 \\n三 D:\\\\nikon"));
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(CString(L"一行目 二行目  三 D:\\nikon"), window->GetStatusBar().GetPaneText(2));
}
