#include "PictureWindowTestUtil.h"
#include "catalogue/FrameMessages.h"
#include "common/RealInput.h"
#include "common/SettingsTableTestUtil.h"
#include "res/resource.h"
#include "viewer/VSlideShowDlg.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace viewertest;

namespace {

void WriteGrid(int columns, int rows, int mirrorLR = 0)
{
    WriteAppIniInt(L"SlideShow", L"ColumnCount", columns);
    WriteAppIniInt(L"SlideShow", L"LineCount", rows);
    WriteAppIniInt(L"SlideShow", L"DirectionLR", mirrorLR);
}

// The program's frame on seven pictures with the slideshow opened from the first one, on a grid
// the settings give.
struct Slideshow : PictureWindows
{
    explicit Slideshow(const std::function<void()>& settings) : PictureWindows(false, settings)
    {
        DeleteFileW(program.m_folder / L"a.jpg");
        DeleteFileW(program.m_folder / L"b.jpg");
        RemoveDirectoryW(program.m_folder / L"sub");
        WriteBmp(program.m_folder / L"g.bmp", 400, 300, RGB(255, 255, 0));
        WriteBmp(program.m_folder / L"h.bmp", 300, 400, RGB(0, 255, 255));
        WriteBmp(program.m_folder / L"i.bmp", 640, 480, RGB(255, 0, 255));
        program.Start(program.m_folder.Path());
        Frame()->StartSlideshow(0);
        EXPECT_TRUE(Show() && Show()->GetSafeHwnd());
        EXPECT_TRUE(Painted());
    }
    VSlideShowDlg* Show() const { return List().m_pSlideShow; }
    int Files() const { return Doc()->GetItemCount(); }
    // Waits until the current page is painted: its first cell holds the first file's item.
    bool Painted() const
    {
        return PumpUntil(
            [&] {
                COnePicture* engine = Show()->GetEngine(Show()->GetBank(), 0);
                VyxFile* item = engine ? engine->GetItem() : nullptr;
                return item && item->IsSameFile(Doc()->GetItem(Show()->GetIndex())->GetPath(), L"");
            },
            30000);
    }
    void Command(UINT id) const { Show()->SendMessage(WM_COMMAND, id); }
    void ClickWith(UINT down, UINT up, CPoint at) const
    {
        Show()->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        Show()->SendMessage(down, 0, MAKELPARAM(at.x, at.y));
        Show()->SendMessage(up, 0, MAKELPARAM(at.x, at.y));
    }
    int ClientWidth() const
    {
        CRect client;
        Show()->GetClientRect(&client);
        return client.Width();
    }
};

} // namespace

TEST(Slideshow, PagingArithmeticFollowsTheGridAndRepeat)
{
    // 7 files on a 2 x 2 grid: pages start at 0 and 4; the last page's cell 3 stays black.
    EXPECT_EQ(4, VSlideShowDlg::LastPageStart(4, 7));
    EXPECT_EQ(4, VSlideShowDlg::LastPageStart(4, 8));
    EXPECT_EQ(0, VSlideShowDlg::LastPageStart(4, 3));
    EXPECT_EQ(4, VSlideShowDlg::NextIndex(0, 4, 7, FALSE));
    EXPECT_EQ(4, VSlideShowDlg::NextIndex(4, 4, 7, FALSE));
    EXPECT_EQ(0, VSlideShowDlg::NextIndex(4, 4, 7, TRUE));
    EXPECT_EQ(0, VSlideShowDlg::PrevIndex(4, 4, 7, FALSE));
    EXPECT_EQ(0, VSlideShowDlg::PrevIndex(0, 4, 7, FALSE));
    EXPECT_EQ(4, VSlideShowDlg::PrevIndex(0, 4, 7, TRUE));
    EXPECT_EQ(0, VSlideShowDlg::PrevIndex(2, 4, 7, FALSE));
    // Cells split the screen by integer division, mirrored when the document says so.
    EXPECT_EQ(CRect(0, 0, 333, 384), VSlideShowDlg::CellRect(1000, 768, 3, 2, 0, 0, FALSE, FALSE));
    EXPECT_EQ(CRect(666, 384, 1000, 768), VSlideShowDlg::CellRect(1000, 768, 3, 2, 2, 1, FALSE, FALSE));
    EXPECT_EQ(CRect(666, 0, 1000, 384), VSlideShowDlg::CellRect(1000, 768, 3, 2, 0, 0, TRUE, FALSE));
    EXPECT_EQ(CRect(0, 384, 333, 768), VSlideShowDlg::CellRect(1000, 768, 3, 2, 0, 0, FALSE, TRUE));
}

TEST(SlidePositionBar, HasNoBarBelowTenPixelsAndNeverHitsPastTheLastFile)
{
    SlidePositionBar bar;
    bar.Update(7, 1024);
    EXPECT_EQ(70, bar.width);
    EXPECT_EQ(4, bar.height);
    EXPECT_EQ(7, bar.rangeMax);
    bar.Update(1000, 1024);
    EXPECT_EQ(1000, bar.width);
    // A screen narrower than one block: no bar, and nothing divided by zero.
    bar.Update(7, 9);
    EXPECT_EQ(0, bar.width);
    EXPECT_EQ(-1, bar.HitIndex(0, 0));

    bar.Update(7, 1024);
    EXPECT_EQ(0, bar.HitIndex(0, 0));
    EXPECT_EQ(3, bar.HitIndex(35, 2));
    // The far edge is the last file, not one past it.
    EXPECT_EQ(6, bar.HitIndex(70, 4));
    EXPECT_EQ(-1, bar.HitIndex(71, 0));
    EXPECT_EQ(-1, bar.HitIndex(10, 5));

    MemoryCanvas canvas(80, 10, RGB(255, 255, 255));
    bar.position = 3;
    bar.Draw(canvas.DC(), 0, 0, RGB(0, 128, 0), RGB(0, 0, 255));
    EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(30, 0));
    EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(38, 1));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(39, 0));
    EXPECT_EQ(RGB(0, 128, 0), canvas.Pixel(20, 1));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(20, 2));
}

TEST(Slideshow, PagesForwardAndBackReusingTheBanksItReadAhead)
{
    Slideshow s([] { WriteGrid(2, 2); });
    ASSERT_EQ(7, s.Files());
    VSlideShowDlg* show = s.Show();
    EXPECT_EQ(CRect(CPoint(0, 0), CSize(1024, 768)), show->GetScreenRect());
    // The next page is read while this one shows.
    ASSERT_TRUE(PumpUntil([&] { return show->GetEngine(1, 0)->GetSourcePage(0) != nullptr; }, 30000));
    HGLOBAL readAhead = show->GetEngine(1, 0)->GetSourcePage(0);
    HGLOBAL current = show->GetEngine(0, 0)->GetSourcePage(0);
    s.Command(ID_PICTURE_NEXT);
    EXPECT_EQ(4, show->GetIndex());
    EXPECT_EQ(1, show->GetBank());
    EXPECT_EQ(1, show->GetDirection());
    ASSERT_TRUE(s.Painted());
    EXPECT_EQ(readAhead, show->GetEngine(1, 0)->GetSourcePage(0));
    // Back again: the page left behind is still there, nothing is read again.
    s.Command(ID_PICTURE_PREVIOUS);
    EXPECT_EQ(0, show->GetIndex());
    EXPECT_EQ(0, show->GetBank());
    EXPECT_EQ(-1, show->GetDirection());
    ASSERT_TRUE(s.Painted());
    EXPECT_EQ(current, show->GetEngine(0, 0)->GetSourcePage(0));
    // The keys page through the accelerators; the last page keeps its place without repeat.
    MSG end = {};
    end.hwnd = show->m_hWnd;
    end.message = WM_KEYDOWN;
    end.wParam = VK_END;
    EXPECT_TRUE(show->PreTranslateMessage(&end));
    EXPECT_EQ(VSlideShowDlg::LastPageStart(4, s.Files()), show->GetIndex());
    s.Command(ID_PICTURE_NEXT);
    EXPECT_EQ(VSlideShowDlg::LastPageStart(4, s.Files()), show->GetIndex());
    // A grid that holds every file pages nowhere.
    s.Command(ID_SLIDESHOW_ROWS_MORE);
    s.Command(ID_SLIDESHOW_ROWS_MORE);
    ASSERT_GE(show->GetCellCount(), s.Files());
    s.Command(ID_PICTURE_FIRST);
    s.Command(ID_PICTURE_NEXT);
    EXPECT_EQ(VSlideShowDlg::LastPageStart(4, s.Files()), show->GetIndex());
}

// A page turned before it was read ahead answers at once: a picture whose item holds a thumbnail
// shows it, fitted, until the picture is read in a tick of its own; of the others only the first
// is read while the page paints.
TEST(Slideshow, APageNotReadYetShowsThumbnailsFittedAndReadsOnePictureAtOnce)
{
    Slideshow s([] {
        WriteGrid(2, 2);
        WriteAppIniInt(L"SlideShow", L"LookAhead", 0);
        WriteAppIniInt(L"SlideShow", L"FitSize", COnePicture::FitAspect);
    });
    VSlideShowDlg* show = s.Show();
    ASSERT_EQ(7, s.Files());
    auto read = [&](int bank, int cell) { return show->GetEngine(bank, cell)->GetSourcePage(0) != nullptr; };
    auto cellShows = [&](int cell, COLORREF colour) {
        const CRect rect = show->GetEngine(show->GetBank(), cell)->GetDisplayRect();
        MemoryCanvas canvas(rect.Width(), rect.Height());
        ::BitBlt(canvas.DC()->GetSafeHdc(), 0, 0, rect.Width(), rect.Height(), CClientDC(show).GetSafeHdc(), rect.left,
                 rect.top, SRCCOPY);
        return canvas.CountColour(CRect(0, 0, rect.Width(), rect.Height()), colour);
    };
    ASSERT_TRUE(PumpUntil([&] { return read(0, 0) && read(0, 1) && read(0, 2) && read(0, 3); }, 30000));
    EXPECT_FALSE(read(1, 0));
    // Of the next page's yellow, cyan and magenta pictures only the cyan one (300 x 400) holds a
    // thumbnail, as the view makes them.
    s.Doc()->GetItem(4)->DropThumbnail();
    ASSERT_NE(nullptr, s.Doc()->GetItem(5)->CreateThumbnail(SIZE{60, 80}));
    s.Doc()->GetItem(6)->DropThumbnail();
    s.Command(ID_PICTURE_NEXT);
    show->UpdateWindow();
    ASSERT_EQ(4, show->GetIndex());
    EXPECT_TRUE(read(1, 0));
    EXPECT_FALSE(read(1, 1));
    EXPECT_FALSE(read(1, 2));
    EXPECT_LT(0, cellShows(0, RGB(255, 255, 0)));
    // Fitted into the 512 x 384 cell: 288 x 384.
    EXPECT_EQ(288 * 384, cellShows(1, RGB(0, 255, 255)));
    EXPECT_EQ(0, cellShows(2, RGB(255, 0, 255)));
    ASSERT_TRUE(PumpUntil([&] { return read(1, 1) && read(1, 2); }, 30000));
    show->UpdateWindow();
    EXPECT_EQ(288 * 384, cellShows(1, RGB(0, 255, 255)));
    EXPECT_LT(0, cellShows(2, RGB(255, 0, 255)));
    EXPECT_EQ(COnePicture::FitAspect, show->GetEngine(1, 1)->GetFitMode());
}

TEST(Slideshow, GridIsClampedToTheOptionPagesBoundsWhateverSettingsAndKeysAsk)
{
    Slideshow s([] { WriteGrid(100, 0); });
    VSlideShowDlg* show = s.Show();
    EXPECT_GE(show->GetColumns(), 1);
    EXPECT_LE(show->GetColumns(), VSlideShowDlg::MaxColumns);
    EXPECT_EQ(1, show->GetRows());
    // A document that holds more than the page allows still gets the largest grid it offers.
    s.Command(ID_PICTURE_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return s.Show() == nullptr; }, 30000));
    s.Doc()->ColumnCount = 100;
    s.Doc()->LineCount = 0;
    s.Frame()->StartSlideshow(0);
    show = s.Show();
    ASSERT_TRUE(show && s.Painted());
    EXPECT_EQ(VSlideShowDlg::MaxColumns, show->GetColumns());
    EXPECT_EQ(1, show->GetRows());
    s.Command(ID_SLIDESHOW_COLUMNS_MORE);
    s.Command(ID_SLIDESHOW_ROWS_FEWER);
    EXPECT_EQ(VSlideShowDlg::MaxColumns, show->GetColumns());
    EXPECT_EQ(1, show->GetRows());
    EXPECT_EQ(VSlideShowDlg::MaxColumns, show->GetCellCount());
    for (int i = 0; i < 70; ++i)
        s.Command(ID_SLIDESHOW_COLUMNS_FEWER);
    EXPECT_EQ(1, show->GetColumns());
}

TEST(Slideshow, TwoPicturesSideBySideMeetInTheMiddleMirroredAsTheDocumentSays)
{
    Slideshow s([] { WriteGrid(2, 1, 1); });
    VSlideShowDlg* show = s.Show();
    // Mirrored: the first cell lies on the right and its picture keeps to its left edge.
    COnePicture* first = show->GetEngine(0, 0);
    ASSERT_EQ(512, first->GetDisplayRect().left);
    ASSERT_TRUE(PumpUntil([&] { return show->GetEngine(0, 1)->GetDisplayPage() != nullptr; }, 30000));
    EXPECT_EQ(512, first->GetOrigin().x);
    COnePicture* second = show->GetEngine(0, 1);
    EXPECT_EQ(0, second->GetDisplayRect().left);
    EXPECT_EQ(512, second->GetOrigin().x + second->GetDisplaySize().cx);
}

TEST(Slideshow, PointerStatesCursorsAndClicksFollowTheStripsCornersAndBar)
{
    Slideshow s([] {
        WriteGrid(1, 1);
        WriteAppIniInt(L"SlideShow", L"ContextMenuWaitTime", 100);
    });
    VSlideShowDlg* show = s.Show();
    const int width = s.ClientWidth();
    auto cursorOf = [](UINT id) { return ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)); };
    show->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 300));
    EXPECT_EQ(VSlideShowDlg::PointerLeftStrip, show->GetPointerState());
    EXPECT_EQ(cursorOf(IDC_SLIDE_LEFT_CURSOR), ::GetCursor());
    show->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(width - 10, 300));
    EXPECT_EQ(VSlideShowDlg::PointerRightStrip, show->GetPointerState());
    EXPECT_EQ(cursorOf(IDC_SLIDE_RIGHT_CURSOR), ::GetCursor());

    // The right strip pages on, the left one back, a left click elsewhere back, a right click on.
    s.ClickWith(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(width - 10, 300));
    EXPECT_EQ(1, show->GetIndex());
    s.ClickWith(WM_RBUTTONDOWN, WM_RBUTTONUP, CPoint(width / 2, 300));
    EXPECT_EQ(2, show->GetIndex());
    s.ClickWith(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(width / 2, 300));
    EXPECT_EQ(1, show->GetIndex());
    s.ClickWith(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(5, 300));
    EXPECT_EQ(0, show->GetIndex());

    // The bar jumps to the file under the pointer.
    const SlidePositionBar& bar = show->GetPositionBar();
    ASSERT_GT(bar.width, 0);
    const int x = bar.width * 5 / s.Files() + 1;
    show->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, 1));
    EXPECT_EQ(VSlideShowDlg::PointerBar, show->GetPointerState());
    EXPECT_EQ(cursorOf(IDC_SLIDE_BAR_CURSOR), ::GetCursor());
    s.ClickWith(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(x, 1));
    EXPECT_EQ(5, show->GetIndex());

    // While playing, a click of either button only stops the playing.
    s.Command(ID_PICTURE_AUTOPLAY);
    EXPECT_TRUE(show->IsPlaying());
    show->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(width / 2, 300));
    EXPECT_FALSE(show->IsPlaying());
    EXPECT_EQ(5, show->GetIndex());

    // The hot corner and a long right press open the menu; on the last file paging on is grey.
    s.Command(ID_PICTURE_LAST);
    UINT nextState = 0;
    {
        HelperThread helper([&] {
            HWND menu = WaitForMenu(30000);
            nextState = ::GetMenuState(reinterpret_cast<HMENU>(::SendMessageW(menu, 0x01E1, 0, 0)), ID_PICTURE_NEXT,
                                       MF_BYCOMMAND);
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        show->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(width - 1, 0));
    }
    EXPECT_EQ(VSlideShowDlg::PointerCorner, show->GetPointerState());
    EXPECT_TRUE(nextState & MF_GRAYED);
    std::atomic<bool> opened{false};
    {
        HelperThread helper([&] {
            HWND menu = WaitForMenu(30000);
            opened = menu != nullptr;
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        show->PostMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(width / 2, 300));
        PumpUntil([&] { return opened.load(); }, 30000);
    }
    EXPECT_TRUE(opened.load());
}

TEST(Slideshow, SwappedButtonsTurnTheLeftClickIntoNextPage)
{
    const BOOL swapped = ::GetSystemMetrics(SM_SWAPBUTTON);
    ::SwapMouseButton(TRUE);
    {
        Slideshow s([] { WriteGrid(1, 1); });
        s.ClickWith(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(s.ClientWidth() / 2, 300));
        EXPECT_EQ(1, s.Show()->GetIndex());
    }
    ::SwapMouseButton(swapped);
}

TEST(Slideshow, ALockedSlideshowDrawsZoomsAndTurnsButNeverPages)
{
    Slideshow s([] { WriteGrid(1, 1); });
    VSlideShowDlg* show = s.Show();
    show->SetLocked(TRUE);
    const int width = s.ClientWidth();
    for (UINT id : {ID_PICTURE_NEXT, ID_PICTURE_LAST, ID_PICTURE_AUTOPLAY, ID_SLIDESHOW_COLUMNS_MORE})
        s.Command(id);
    s.ClickWith(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(5, 1));
    EXPECT_EQ(0, show->GetIndex());
    EXPECT_FALSE(show->IsPlaying());
    EXPECT_EQ(1, show->GetColumns());
    // The bar ignores the pointer: what was the bar is the left strip now.
    show->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 1));
    EXPECT_EQ(VSlideShowDlg::PointerLeftStrip, show->GetPointerState());
    COnePicture* engine = show->GetEngine(show->GetBank(), 0);
    const double zoom = engine->GetZoom();
    s.Command(ID_PICTURE_ZOOM_IN);
    EXPECT_DOUBLE_EQ(zoom * 1.2, engine->GetZoom());
    s.Command(ID_PICTURE_ROTATE_RIGHT);
    EXPECT_EQ(90, engine->GetAngle());
    // "**Locked**" in red at (0, 20).
    show->UpdateWindow();
    MemoryCanvas canvas(width, 60);
    ::BitBlt(canvas.DC()->GetSafeHdc(), 0, 0, width, 60, CClientDC(show).GetSafeHdc(), 0, 0, SRCCOPY);
    int red = 0; // a smoothed face draws its strokes in shades of the colour
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF c = canvas.Pixel(x, y);
            red += GetRValue(c) > 160 && GetGValue(c) < GetRValue(c) / 2 && GetBValue(c) < GetRValue(c) / 2;
        }
    EXPECT_GT(red, 10);
    show->SetLocked(FALSE);
    s.Command(ID_PICTURE_NEXT);
    EXPECT_EQ(1, show->GetIndex());
    EXPECT_LT(0, width);
}

TEST(Slideshow, EndsCleanlyAndSavesItsSettingsHoweverItsWindowGoes)
{
    PictureWindows w;
    // Closed by its own command: the frame hears of it and forgets it.
    w.Frame()->StartSlideshow(0);
    ASSERT_NE(nullptr, w.List().m_pSlideShow);
    w.List().m_pSlideShow->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return w.List().m_pSlideShow == nullptr; }, 30000));
    EXPECT_EQ(CString(L"1200"), ReadSetting(L"SlideShow", L"ContextMenuWaitTime"));
    EXPECT_EQ(CString(L"$(FileName)"), ReadSetting(L"SlideShow", L"InfomationMacro"));

    // Opened from a picture window that then goes, by each way a window can go.
    const std::function<void(COneWnd*)> ends[] = {
        [](COneWnd* window) { window->DestroyWindow(); },
        [](COneWnd* window) { window->CFrameWnd::DestroyWindow(); },
        [](COneWnd* window) { ::DestroyWindow(window->m_hWnd); },
    };
    for (const auto& end : ends) {
        COneWnd* window = w.Open(L"d.bmp");
        ASSERT_NE(nullptr, window);
        window->SendMessage(WM_COMMAND, ID_PICTURE_FULLSCREEN);
        VSlideShowDlg* show = w.List().m_pSlideShow;
        ASSERT_NE(nullptr, show);
        EXPECT_EQ(window, show->GetOwnerWindow());
        HWND showWindow = show->m_hWnd;
        WriteAppIniString(L"SlideShow", L"LookAhead", L"");
        end(window);
        PumpPending();
        EXPECT_EQ(nullptr, w.List().m_pSlideShow);
        EXPECT_FALSE(::IsWindow(showWindow));
        EXPECT_EQ(CString(L"1"), ReadSetting(L"SlideShow", L"LookAhead"));
    }
    // A new one opens after them all, and the main window's end takes it along.
    w.Frame()->StartSlideshow(0);
    ASSERT_NE(nullptr, w.List().m_pSlideShow);
    HWND last = w.List().m_pSlideShow->m_hWnd;
    w.program.Close();
    EXPECT_FALSE(::IsWindow(last));
}

TEST(Slideshow, GifsPlayInTheirCellsAndTheOptionsReachEveryEngine)
{
    Slideshow s([] { WriteGrid(1, 1); });
    WriteGif(s.program.m_folder / L"a0.gif", 40, 30, {RGB(255, 0, 0), RGB(0, 0, 255)},
             {SolidFrame(40, 30, 0, 0), SolidFrame(40, 30, 1, 0), SolidFrame(40, 30, 0, 0)});
    s.Doc()->Refresh(false);
    VSlideShowDlg* show = s.Show();
    show->SetIndex(s.Index(L"a0.gif"));
    show->Reload();
    // The cell's frames step on their timer.
    COnePicture* engine = show->GetEngine(show->GetBank(), 0);
    ASSERT_TRUE(PumpUntil([&] { return engine->GetPageCount() == 3 && engine->GetCurrentPage() != 0; }, 30000));
    EXPECT_NE(0u, engine->GetAnimationTimer());

    // The Space key sends its command: playing starts.
    MSG space = {};
    space.hwnd = show->m_hWnd;
    space.message = WM_KEYDOWN;
    space.wParam = VK_SPACE;
    show->PreTranslateMessage(&space);
    EXPECT_TRUE(show->IsPlaying());
    s.Command(ID_PICTURE_AUTOPLAY);
    // The options' OK hands the settings to every engine and sets them upright again.
    s.Command(ID_PICTURE_ROTATE_RIGHT);
    EXPECT_EQ(90, show->GetEngine(2, 0)->GetAngle());
    {
        HelperThread helper([] {
            HWND dialog = WaitForDialog(L"オプション設定", 30000);
            SendMessageW(GetDlgItem(dialog, IDC_SSO_SCALEMODE), CB_SETCURSEL, 1, 0);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        s.Command(ID_PICTURE_OPTIONS);
    }
    EXPECT_EQ(3, show->ScaleMode);
    EXPECT_EQ(0, show->FitSize);
    for (int bank = 0; bank < 3; ++bank)
        EXPECT_EQ(0, show->GetEngine(bank, 0)->GetAngle()) << bank;
}

TEST(Slideshow, ReadsEveryKeyOfItsTableAndWritesEachBackWhenItGoes)
{
    PictureWindows w;
    // Leaves every key unlike its default: the slideshow opens on those.
    settingstest::ExpectEveryRowRoundTrips<SlideShowSettings>(
        {{L"SlideShow",
          {L"LongClick",       L"AviShow",         L"DswShow",        L"FitSize",         L"ScaleMode",
           L"Repeat",          L"PositionBar",     L"Infomation",     L"InfomationMacro", L"ZoomUp",
           L"ZoomDw",          L"SleepTime",       L"AngleUnit",      L"AngleDir",        L"colText",
           L"colBarBase",      L"colBarPlay",      L"colBarStep",     L"colBarLock",      L"colBackground",
           L"InfomationTextX", L"InfomationTextY", L"SpaceCommandID", L"LookAhead",       L"ContextMenuWaitTime"}}});
    SlideShowSettings stored;
    stored.Load();
    w.Frame()->StartSlideshow(0);
    VSlideShowDlg* show = w.List().m_pSlideShow;
    ASSERT_NE(nullptr, show);
    SlideShowSettings changed = stored;
    settingstest::WalkRows<SlideShowSettings>([&](const wchar_t*, const wchar_t* key, auto field) {
        EXPECT_TRUE(show->*field == stored.*field) << std::wstring(key);
        changed.*field = settingstest::Unlike(stored.*field);
        show->*field = changed.*field;
    });
    show->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return w.List().m_pSlideShow == nullptr; }, 30000));
    SlideShowSettings reread;
    reread.Load();
    settingstest::WalkRows<SlideShowSettings>([&](const wchar_t*, const wchar_t* key, auto field) {
        EXPECT_TRUE(reread.*field == changed.*field) << std::wstring(key);
    });
    // The slideshow's wait is the picture windows' interval.
    OneViewSettings view;
    view.Load();
    EXPECT_EQ(changed.SleepTime, view.SleepTime);
}

TEST(Slideshow, TheOptionsDialogTakesTabAndEscapeAtOnceFromItsFirstBox)
{
    Slideshow s([] { WriteGrid(1, 1); });
    VSlideShowDlg* show = s.Show();
    const int fitSize = show->FitSize, scaleMode = show->ScaleMode;
    ASSERT_TRUE(MakeActive(*show));
    std::atomic<HWND> dialog{nullptr};
    std::atomic<int> first{0}, afterTab{0};
    std::atomic<bool> closedByEscape{false}, arrowMoved{false};
    {
        HelperThread helper([&] {
            const HWND shown = WaitForDialog(L"オプション設定", 30000);
            dialog = shown;
            auto focusedId = [&] {
                const HWND focus = FocusOfThread(shown);
                return focus && GetParent(focus) == shown ? GetDlgCtrlID(focus) : 0;
            };
            WaitUntil([&] { return focusedId() != 0; }, 30000);
            first = focusedId();
            SendKey(VK_TAB);
            WaitUntil([&] { return focusedId() != first; }, 10000);
            afterTab = focusedId();
            // An arrow moves the choice of the box the focus is in.
            const HWND scale = GetDlgItem(shown, IDC_SSO_SCALEMODE);
            const LRESULT before = SendMessageW(scale, CB_GETCURSEL, 0, 0);
            SendKey(before > 0 ? VK_UP : VK_DOWN);
            arrowMoved = WaitUntil([&] { return SendMessageW(scale, CB_GETCURSEL, 0, 0) != before; }, 10000);
            SendKey(VK_ESCAPE);
            closedByEscape = WaitUntil([&] { return !IsWindow(shown); }, 10000);
            // Left open, the dialog would hold the slideshow's loop.
            if (!closedByEscape)
                PostMessageW(shown, WM_COMMAND, IDCANCEL, 0);
        });
        // Ctrl+O through the slideshow's own accelerators opens the dialog in its modal loop.
        EXPECT_TRUE(Press('O', VK_CONTROL, [&] { return dialog.load() != nullptr && !IsWindow(dialog.load()); }));
    }
    EXPECT_EQ(IDC_SSO_FITSIZE, first.load());
    EXPECT_EQ(IDC_SSO_SCALEMODE, afterTab.load()) << "Tab stayed in the first box";
    EXPECT_TRUE(arrowMoved.load());
    EXPECT_TRUE(closedByEscape.load()) << "Escape did not close the dialog";
    // Cancelled: nothing the keys chose was taken.
    EXPECT_EQ(fitSize, show->FitSize);
    EXPECT_EQ(scaleMode, show->ScaleMode);
    EXPECT_TRUE(IsWindow(show->GetSafeHwnd()));
}

TEST(Slideshow, TheMenusKeysKeepClearOfTheirLabels)
{
    Slideshow s([] { WriteGrid(1, 1); });
    VSlideShowDlg* show = s.Show();
    std::vector<CString> keyed;
    {
        HelperThread helper([&] {
            HWND menu = WaitForMenu(30000);
            HMENU items = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
            for (int i = 0; i < ::GetMenuItemCount(items); ++i) {
                wchar_t text[128] = {};
                ::GetMenuStringW(items, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
                if (wcschr(text, L'\t'))
                    keyed.push_back(text);
            }
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        show->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(s.ClientWidth() - 1, 0));
    }
    // The widest label, "オプション設定(&O)", among them.
    ASSERT_EQ(6u, keyed.size());
    for (const CString& text : keyed)
        EXPECT_NE(-1, text.Find(L"\x3000\t")) << static_cast<LPCWSTR>(text);
}
