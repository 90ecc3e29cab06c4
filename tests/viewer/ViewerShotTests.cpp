// Pictures of a picture window zoomed and turned, of a full-screen 2 x 2 slideshow with its
// position bar and of each viewer dialog, saved when VYX_VIEWER_SHOT names a folder; the checks
// run every time.
#include "PictureWindowTestUtil.h"
#include "res/resource.h"
#include "viewer/CContrastDlg.h"
#include "viewer/CSlideshowOptionDlg.h"
#include "viewer/CWallPaperDlg.h"
#include "viewer/FitOptionDlg.h"
#include "catalogue/OneViewSettings.h"
#include "viewer/VSlideShowDlg.h"

#include <gtest/gtest.h>

using namespace viewertest;

namespace {

void Shoot(CWnd& wnd, LPCWSTR name)
{
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VYX_VIEWER_SHOT", folder, MAX_PATH))
        return;
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    // Wine copies window surfaces to the screen from its idle pump: the picture is taken after
    // the pump has run dry for a while (nothing is checked on it).
    PumpUntil([] { return false; }, 300);
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_TRUE(SaveScreenBitmap(rect, CString(folder) + L"\\" + name));
}

// A picture with something to see: a colour wash with a dark frame.
void WriteWash(const CString& path, LONG width, LONG height)
{
    HGLOBAL dib = MakeDib(width, height, [=](LONG x, LONG y) {
        if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4)
            return RGB(20, 20, 60);
        return RGB(x * 255 / width, y * 255 / height, 160);
    });
    WriteBmpFile(path, dib);
    GlobalFree(dib);
}

} // namespace

TEST(ViewerShot, PictureWindowZoomedAndTurned)
{
    PictureWindows w;
    WriteWash(w.program.m_folder / L"wash.bmp", 240, 160);
    w.Doc()->Refresh(false);
    COneWnd* window = w.Open(L"wash.bmp");
    ASSERT_NE(nullptr, window);
    window->SendMessage(WM_COMMAND, ID_PICTURE_ZOOM_IN);
    window->SendMessage(WM_COMMAND, ID_PICTURE_ROTATE_RIGHT);
    EXPECT_EQ(CSize(240, 360), window->GetView()->GetDisplaySize());
    EXPECT_NE(-1, window->GetStatusBar().GetPaneText(1).Find(L"150%"));
    Shoot(*window, L"viewer_window_zoomed_turned.bmp");
}

TEST(ViewerShot, FullScreenTwoByTwoSlideshowWithItsPositionBar)
{
    PictureWindows w(false, [] {
        WriteAppIniInt(L"SlideShow", L"ColumnCount", 2);
        WriteAppIniInt(L"SlideShow", L"LineCount", 2);
    });
    for (int i = 0; i < 5; ++i)
        WriteWash(w.program.m_folder / CString(static_cast<wchar_t>(L'g' + i)) + L".bmp", 320 + i * 40, 240);
    w.program.Start(w.program.m_folder.Path());
    w.Frame()->StartSlideshow(0);
    VSlideShowDlg* show = w.List().m_pSlideShow;
    ASSERT_NE(nullptr, show);
    show->SendMessage(WM_COMMAND, ID_PICTURE_NEXT);
    EXPECT_EQ(4, show->GetIndex());
    ASSERT_TRUE(PumpUntil([&] { return show->GetEngine(show->GetBank(), 3)->GetDisplayPage() != nullptr; }, 30000));
    EXPECT_GT(show->GetPositionBar().width, 0);
    Shoot(*show, L"viewer_slideshow_2x2.bmp");
}

TEST(ViewerShot, EachViewerDialog)
{
    ScratchSettings scratch;
    CTestHostWnd host;
    OneViewSettings settings;
    FitOptionDlg fit(&host);
    fit.m_pSettings = &settings;
    ASSERT_TRUE(fit.Create(IDD_FITOPTION, &host));
    fit.ShowWindow(SW_SHOW);
    Shoot(fit, L"viewer_display_mode.bmp");
    fit.GetSheet().SetCurSel(1);
    Shoot(fit, L"viewer_display_mode_scale.bmp");
    fit.DestroyWindow();

    CSlideshowOptionDlg options(&host);
    options.InfomationMacro = L"$(FileName) $(Width)x$(Height)";
    ASSERT_TRUE(options.Create(IDD_SLIDESHOW_OPTIONS, &host));
    options.ShowWindow(SW_SHOW);
    Shoot(options, L"viewer_slideshow_options.bmp");
    options.DestroyWindow();

    OwnedDib picture(MakeDib(320, 200, [](LONG x, LONG y) { return RGB(x * 255 / 320, y * 255 / 200, 128); }));
    CLogHostWnd window;
    window.onLogged = [](const LoggedMessage& m) {
        if (m.message == WMU_CONTRASTRESULT)
            GlobalFree(reinterpret_cast<HGLOBAL>(m.wParam));
    };
    CContrastDlg colour(&window);
    colour.SetSource(picture);
    ASSERT_TRUE(colour.Create(IDD_CONTRAST, &window));
    colour.ShowWindow(SW_SHOW);
    Shoot(colour, L"viewer_colour.bmp");
    colour.DestroyWindow();

    WriteAppIniInt(L"WallPaper", L"Preview", 1);
    WriteAppIniInt(L"WallPaper", L"Mode", 1);
    CWallPaperDlg wallpaper(&host);
    wallpaper.SetSource(picture);
    ASSERT_TRUE(wallpaper.Create(IDD_WALLPAPER, &host));
    wallpaper.ShowWindow(SW_SHOW);
    EXPECT_FALSE(wallpaper.GetPreviewFrame().IsRectEmpty());
    Shoot(wallpaper, L"viewer_wallpaper.bmp");
    wallpaper.DestroyWindow();
}
