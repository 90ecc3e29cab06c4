#include "PictureWindowTestUtil.h"
#include "image/DibCore.h"
#include "image/DibFile.h"
#include "res/resource.h"
#include "viewer/CContrastDlg.h"
#include "viewer/CSlideshowOptionDlg.h"
#include "viewer/CWallPaperDlg.h"
#include "viewer/FitOptionDlg.h"
#include "catalogue/OneViewSettings.h"

#include <gtest/gtest.h>

using namespace viewertest;

namespace {

void Notify(CWnd* dialog, UINT id, UINT code)
{
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)->m_hWnd));
}

void Click(CWnd* dialog, UINT id)
{
    dialog->CheckDlgButton(id, dialog->IsDlgButtonChecked(id) ? BST_UNCHECKED : BST_CHECKED);
    Notify(dialog, id, BN_CLICKED);
}

void Type(CWnd* dialog, UINT id, LPCWSTR text, UINT code = EN_KILLFOCUS)
{
    dialog->SetDlgItemText(id, text);
    Notify(dialog, id, code);
}

int Selection(CWnd* dialog, UINT id)
{
    return static_cast<int>(dialog->SendDlgItemMessage(id, CB_GETCURSEL, 0, 0));
}

// Moves a slider of the dialog and tells the dialog as the slider would.
void Slide(CWnd* dialog, UINT id, int pos, UINT code)
{
    CWnd* slider = dialog->GetDlgItem(id);
    slider->SendMessage(TBM_SETPOS, TRUE, pos);
    dialog->SendMessage(WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(slider->m_hWnd));
}

int Pos(CWnd* dialog, UINT id)
{
    return static_cast<int>(dialog->SendDlgItemMessage(id, TBM_GETPOS, 0, 0));
}

// The user's desktop settings, put back when the test ends: later screenshots show them.
class DesktopSettingsGuard
{
public:
    DesktopSettingsGuard()
    {
        for (int i = 0; i < 3; ++i)
            m_had[i] = Read(kNames[i], m_values[i]);
        m_fileExisted = GetFileAttributesW(CWallPaperDlg::GetWallpaperPath()) != INVALID_FILE_ATTRIBUTES;
    }
    ~DesktopSettingsGuard()
    {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            for (int i = 0; i < 3; ++i) {
                if (m_had[i])
                    RegSetValueExW(key, kNames[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(m_values[i].GetString()),
                                   (m_values[i].GetLength() + 1) * sizeof(wchar_t));
                else
                    RegDeleteValueW(key, kNames[i]);
            }
            RegCloseKey(key);
        }
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(m_values[0].GetString()),
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        if (!m_fileExisted)
            DeleteFileW(CWallPaperDlg::GetWallpaperPath());
    }
    static bool Read(LPCWSTR name, CString& value)
    {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof(text);
        bool found = RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, text,
                                  &size) == ERROR_SUCCESS;
        value = text;
        return found;
    }

private:
    static constexpr LPCWSTR kNames[3] = {L"Wallpaper", L"TileWallpaper", L"WallpaperStyle"};
    CString m_values[3];
    bool m_had[3] = {};
    bool m_fileExisted = false;
};

CString Desktop(LPCWSTR name)
{
    CString value;
    DesktopSettingsGuard::Read(name, value);
    return value;
}

} // namespace

TEST(DisplayModeDialog, PagesWriteTheRecordAtOnceAndForceUnofferedModes)
{
    ScratchSettings scratch;
    CTestHostWnd host;
    OneViewSettings settings;
    settings.FitSize = 4;
    settings.ScaleMode = 7;
    settings.SpaceCommandID = 12345;
    FitOptionDlg dialog(&host);
    dialog.m_pSettings = &settings;
    ASSERT_TRUE(dialog.Create(IDD_FITOPTION, &host));
    // Fit mode 4 and an unknown scale mode are gone as soon as the pages open.
    EXPECT_EQ(0, settings.FitSize);
    EXPECT_EQ(0, settings.ScaleMode);
    CXPropertySheet& sheet = dialog.GetSheet();
    ASSERT_EQ(5, sheet.GetItemCount());
    EXPECT_EQ(0, sheet.GetCurSel());
    EXPECT_EQ(CString(L"ウインドウ"), sheet.GetItem(0)->m_caption);
    CXPropertyPage* window = sheet.GetPage(0);
    EXPECT_TRUE(window->IsDlgButtonChecked(IDC_COV_FIT_ASIS));
    Click(window, IDC_COV_FIT_HEIGHT);
    EXPECT_EQ(6, settings.FitSize);
    Click(window, IDC_VIEW_ZOOMUP);
    EXPECT_EQ(0, settings.ZoomUp);
    Click(sheet.GetPage(1), IDC_COV_SCALE_AVERAGE);
    EXPECT_EQ(3, settings.ScaleMode);
    // Letters as the rotation step store 0; the wait is read the same way.
    Type(sheet.GetPage(2), IDC_COV_ANGLEUNIT, L"abc");
    EXPECT_EQ(0, settings.AngleUnit);
    Type(sheet.GetPage(3), IDC_VIEW_SLEEPTIME, L"250");
    EXPECT_EQ(250, settings.SleepTime);
    Click(sheet.GetPage(3), IDC_VIEW_REPEAT);
    EXPECT_EQ(1, settings.Repeat);
    // Any other SPACE command shows as the last item; each item stands for its command.
    CXPropertyPage* other = sheet.GetPage(4);
    EXPECT_EQ(2, Selection(other, IDC_VIEW_SPACE_COMMAND));
    other->SendDlgItemMessage(IDC_VIEW_SPACE_COMMAND, CB_SETCURSEL, 1, 0);
    Notify(other, IDC_VIEW_SPACE_COMMAND, CBN_KILLFOCUS);
    EXPECT_EQ(32796, settings.SpaceCommandID);
    dialog.DestroyWindow();
}

TEST(DisplayModeDialog, CancelKeepsWhatThePagesWroteAndOkReshowsTheWindow)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    window->GetSettings().FitSize = 4;
    {
        HelperThread helper([] {
            HWND dialog = WaitForDialog(L"表示モード設定", 30000);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        window->SendMessage(WM_COMMAND, ID_PICTURE_OPTIONS);
    }
    EXPECT_EQ(0, window->GetSettings().FitSize);
}

TEST(SlideshowOptionsDialog, CombosSelectByValueAndOkTakesTheirValues)
{
    ScratchSettings scratch;
    CTestHostWnd host;
    CSlideshowOptionDlg dialog(&host);
    dialog.FitSize = 1;
    dialog.ScaleMode = 10;
    dialog.SpaceCommandID = 10076;
    dialog.SleepTime = 100;
    dialog.InfomationMacro = L"[$(Path)]";
    dialog.Repeat = 0;
    ASSERT_TRUE(dialog.Create(IDD_SLIDESHOW_OPTIONS, &host));
    // The lists come from the template's initial data.
    EXPECT_EQ(5, dialog.SendDlgItemMessage(IDC_SSO_FITSIZE, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, Selection(&dialog, IDC_SSO_FITSIZE));
    EXPECT_EQ(2, Selection(&dialog, IDC_SSO_SCALEMODE));
    // A value the list knows but offers no item for leaves the box without a selection.
    EXPECT_EQ(CB_ERR, Selection(&dialog, IDC_VIEW_SPACE_COMMAND));
    Click(&dialog, IDC_VIEW_REPEAT);
    EXPECT_EQ(1, dialog.Repeat);
    // A macro replaces the selected text of the template.
    dialog.SendDlgItemMessage(IDC_SSO_MACRO, EM_SETSEL, 1, 8);
    dialog.SendMessage(WM_COMMAND, ID_MACRO_WIDTH);
    EXPECT_EQ(CString(L"[$(Width)]"), dialog.InfomationMacro);
    dialog.SetDlgItemText(IDC_VIEW_SLEEPTIME, L"fast");
    dialog.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(0, dialog.FitSize);
    EXPECT_EQ(10, dialog.ScaleMode);
    EXPECT_EQ(10076, dialog.SpaceCommandID);
    EXPECT_EQ(0, dialog.SleepTime);
    dialog.DestroyWindow();

    // Any other SPACE command opens as "次の画像" and becomes its command.
    CSlideshowOptionDlg second(&host);
    second.SpaceCommandID = 12345;
    ASSERT_TRUE(second.Create(IDD_SLIDESHOW_OPTIONS, &host));
    EXPECT_EQ(0, Selection(&second, IDC_VIEW_SPACE_COMMAND));
    second.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(32789, second.SpaceCommandID);
    second.DestroyWindow();
}

TEST(ColourDialog, LevelsFollowTheContrastAndRgbSyncMovesTheOtherColours)
{
    EXPECT_EQ(0, CContrastDlg::ContrastLevels(-100));
    EXPECT_EQ(256, CContrastDlg::ContrastLevels(0));
    EXPECT_EQ(512, CContrastDlg::ContrastLevels(100));
    EXPECT_EQ(254, CContrastDlg::ContrastLevels(-1));

    ScratchSettings scratch;
    CLogHostWnd window;
    // The window owns every picture it is sent; the last one is kept to look at.
    GlobalBlock last;
    window.onLogged = [&](const LoggedMessage& m) {
        if (m.message == WMU_CONTRASTRESULT)
            last.reset(reinterpret_cast<HGLOBAL>(m.wParam));
    };
    OwnedDib picture(MakeDib(8, 8, [](LONG x, LONG y) { return RGB(x * 30, y * 30, 100); }));
    CContrastDlg dialog(&window);
    dialog.SetSource(picture);
    ASSERT_TRUE(dialog.Create(IDD_CONTRAST, &window));
    EXPECT_EQ(1, window.Count(WMU_CONTRASTRESULT));
    // Without "Drag同期" the picture follows only when the slider is let go.
    Slide(&dialog, IDC_GREEN_SLIDER, 90, TB_THUMBTRACK);
    EXPECT_EQ(1, window.Count(WMU_CONTRASTRESULT));
    Slide(&dialog, IDC_GREEN_SLIDER, 90, TB_ENDTRACK);
    EXPECT_EQ(2, window.Count(WMU_CONTRASTRESULT));
    // With "RGB同期" red moving by 30 takes blue along and green to its end.
    Click(&dialog, IDC_RGB_SYNC);
    Slide(&dialog, IDC_RED_SLIDER, 30, TB_THUMBTRACK);
    EXPECT_EQ(30, Pos(&dialog, IDC_BLUE_SLIDER));
    EXPECT_EQ(100, Pos(&dialog, IDC_GREEN_SLIDER));
    CString blue;
    dialog.GetDlgItemText(IDC_BLUE_EDIT, blue);
    EXPECT_EQ(CString(L"30"), blue);
    // An edit left sets its slider and the picture.
    Type(&dialog, IDC_RED_EDIT, L"-10");
    EXPECT_EQ(-10, Pos(&dialog, IDC_RED_SLIDER));
    EXPECT_EQ(-10, Pos(&dialog, IDC_BLUE_SLIDER));
    EXPECT_EQ(3, window.Count(WMU_CONTRASTRESULT));
    // Contrast -100 leaves no levels: one colour everywhere.
    Click(&dialog, IDC_DRAG_SYNC);
    Slide(&dialog, IDC_CONTRAST_SLIDER, -100, TB_THUMBTRACK);
    ASSERT_EQ(4, window.Count(WMU_CONTRASTRESULT));
    EXPECT_EQ(PixelOf(last.get(), 0, 0), PixelOf(last.get(), 7, 7));
    // Reset, and Cancel sends the unchanged picture back.
    dialog.SendMessage(WM_COMMAND, IDC_COLOUR_RESET);
    EXPECT_EQ(0, Pos(&dialog, IDC_GREEN_SLIDER));
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(BlockBytes(picture), BlockBytes(last.get()));
    dialog.DestroyWindow();
    EXPECT_EQ(CString(L"1"), ReadSetting(L"ColorBalance", L"Synchronous"));
    EXPECT_EQ(CString(L"1"), ReadSetting(L"ColorBalance", L"SynchronousRGB"));
}

TEST(ColourDialog, NeverFreesAPictureItHandedOnAndManyPreviewsLeakNothing)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    window->SendMessage(WM_COMMAND, ID_PICTURE_FIT_ASPECT);
    ASSERT_NE(window->GetView()->GetDisplayPage(), window->GetView()->GetPicture().GetSourcePage(0));
    GlobalBlockWatch blocks;
    {
        CContrastDlg dialog(window);
        dialog.SetSource(window->GetView()->GetDisplayPage());
        ASSERT_TRUE(dialog.Create(IDD_CONTRAST, window));
        for (int i = 0; i < 100; ++i)
            Slide(&dialog, IDC_RED_SLIDER, i % 50, TB_ENDTRACK);
        dialog.SendMessage(WM_COMMAND, IDOK);
        EXPECT_EQ(CString(L"49"), ReadSetting(L"ColorBalance", L"BrightRed"));
        dialog.DestroyWindow();
    }
    // The window holds the last preview in place of its display copy: nothing more, nothing less.
    EXPECT_EQ(0, GlobalBlockWatch::Live());
    EXPECT_TRUE(window->GetView()->GetDisplayPage() != nullptr);
}

TEST(ColourDialog, RunsFromThePictureWindowAndKeepsTheResultOnOk)
{
    PictureWindows w;
    COneWnd* window = w.Open(L"c.bmp");
    ASSERT_NE(nullptr, window);
    WriteAppIniInt(L"ColorBalance", L"BrightRed", -100);
    {
        HelperThread helper([] {
            HWND dialog = WaitForDialog(L"色調節", 30000);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        window->SendMessage(WM_COMMAND, ID_PICTURE_CONTRAST);
    }
    // The red picture lost its red.
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(window->GetView()->GetDisplayPage(), 5, 5));
}

TEST(WallpaperDialog, PreviewAndWallpaperSizesFollowThePlacement)
{
    // The frame takes the screen's shape.
    EXPECT_EQ(CRect(0, 10, 160, 100), CWallPaperDlg::FitFrameToScreen(CRect(0, 0, 160, 110), CSize(1600, 900)));
    EXPECT_EQ(CRect(20, 0, 140, 90), CWallPaperDlg::FitFrameToScreen(CRect(0, 0, 160, 90), CSize(1200, 900)));
    // Centred and tiled at the screen's scale; a tiny picture still keeps a pixel a side.
    EXPECT_EQ(CSize(16, 9), CWallPaperDlg::PreviewSize(0, CSize(160, 90), CSize(160, 90), CSize(1600, 900)));
    EXPECT_EQ(CSize(1, 1), CWallPaperDlg::PreviewSize(1, CSize(3, 2), CSize(160, 90), CSize(1600, 900)));
    EXPECT_EQ(CSize(160, 90), CWallPaperDlg::PreviewSize(2, CSize(3, 2), CSize(160, 90), CSize(1600, 900)));
    EXPECT_EQ(CSize(90, 90), CWallPaperDlg::PreviewSize(3, CSize(960, 960), CSize(160, 90), CSize(1600, 900)));
    EXPECT_EQ(CSize(1080, 1080), CWallPaperDlg::ScreenFitSize(CSize(960, 960), CSize(1920, 1080)));
    EXPECT_EQ(0, CWallPaperDlg::WallpaperStyle(0));
    EXPECT_EQ(1, CWallPaperDlg::WallpaperStyle(1));
    EXPECT_EQ(2, CWallPaperDlg::WallpaperStyle(2));
    EXPECT_EQ(0, CWallPaperDlg::WallpaperStyle(3));
}

TEST(WallpaperDialog, WritesTheBitmapIntoTheWindowsFolderAndSetsItsStyle)
{
    ScratchSettings scratch;
    DesktopSettingsGuard desktop;
    CTestHostWnd host;
    OwnedDib picture(SolidDib(960, 960, RGB(10, 20, 30)));
    const CString path = CWallPaperDlg::GetWallpaperPath();
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(CString(windows) + L"\\KWV_WALL.BMP", path);
    struct Case
    {
        int mode;
        CSize size;
        LPCWSTR tile, style;
    } cases[] = {{0, CSize(960, 960), L"0", L"0"},
                 {1, CSize(960, 960), L"1", L"0"},
                 // The stretch is in the registry only (Wine shows it centred).
                 {2, CSize(960, 960), L"0", L"2"},
                 // Enlarged to the screen keeping its shape, and centred.
                 {3, CSize(768, 768), L"0", L"0"}};
    for (const Case& c : cases) {
        WriteAppIniInt(L"WallPaper", L"Mode", c.mode);
        WriteAppIniInt(L"WallPaper", L"Preview", 1);
        CWallPaperDlg dialog(&host);
        dialog.SetSource(picture);
        ASSERT_TRUE(dialog.Create(IDD_WALLPAPER, &host));
        EXPECT_GE(GetDibWidth(dialog.GetPreviewPicture()), 1);
        dialog.SendMessage(WM_COMMAND, IDOK);
        dialog.DestroyWindow();
        GlobalBlock written(ReadBmpFile(path));
        ASSERT_TRUE(written.get()) << c.mode;
        EXPECT_EQ(c.size.cx, GetDibWidth(written.get())) << c.mode;
        EXPECT_EQ(c.size.cy, GetDibHeight(written.get())) << c.mode;
        // No brightness and no offsets: the picture as it was.
        EXPECT_EQ(RGB(10, 20, 30), PixelOf(written.get(), 5, 5));
        EXPECT_EQ(CString(c.tile), Desktop(L"TileWallpaper")) << c.mode;
        EXPECT_EQ(CString(c.style), Desktop(L"WallpaperStyle")) << c.mode;
        EXPECT_EQ(0, Desktop(L"Wallpaper").CompareNoCase(path));
    }
    EXPECT_EQ(CString(L"3"), ReadSetting(L"WallPaper", L"Mode"));
}

TEST(WallpaperDialog, AFailedSaveShowsTheFailureEvenWhereTheSystemAnswersSuccess)
{
    ScratchSettings scratch;
    DesktopSettingsGuard desktop;
    CTestHostWnd host;
    OwnedDib picture(SolidDib(40, 30, RGB(200, 10, 10)));
    // A folder that does not exist: nothing can be saved there.
    WriteAppIniString(L"WallPaper", L"FileName", L"no such folder\\wall.bmp");
    CWallPaperDlg dialog(&host);
    dialog.SetSource(picture);
    ASSERT_TRUE(dialog.Create(IDD_WALLPAPER, &host));
    dialog.SetDlgItemText(IDC_WALL_BRIGHT_EDIT, L"20");
    CString shown;
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&shown, 30000);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        dialog.SendMessage(WM_COMMAND, IDOK);
    }
    dialog.DestroyWindow();
    EXPECT_EQ(CString(L"壁紙の変更に失敗しました.[ErrCode=0]"), shown.Trim());
    // The settings were written before.
    EXPECT_EQ(CString(L"20"), ReadSetting(L"WallPaper", L"Bright"));
}

TEST(ColourDialog, TheOnePassPreviewMatchesTheLibrarysContrastAndColour)
{
    // Channels that use only part of their range, so the contrast has something to stretch.
    OwnedDib picture(MakeDib(37, 11, [](LONG x, LONG y) { return RGB(40 + x * 4, 90 + y * 9, 200 - x * 3); }));
    CContrastDlg dialog(nullptr);
    dialog.SetSource(picture);
    struct Setting
    {
        int contrast, red, green, blue;
    } settings[] = {{0, 0, 0, 0}, {50, 0, 0, 0}, {-40, 20, -30, 0}, {100, 100, -100, 55}, {-100, 5, 5, 5}};
    for (const Setting& s : settings) {
        OwnedDib expected(CopyGlobal(picture));
        AdjustDibContrast(expected, CContrastDlg::ContrastLevels(s.contrast));
        AdjustDibRgb(expected, s.red, s.green, s.blue);
        OwnedDib actual(dialog.AdjustedCopy(CContrastDlg::ContrastLevels(s.contrast), s.red, s.green, s.blue));
        EXPECT_EQ(BlockBytes(expected), BlockBytes(actual)) << s.contrast << " " << s.red;
    }
}
