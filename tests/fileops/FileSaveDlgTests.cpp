#include "fileops/CFileSaveDlg.h"

#include "OutputWindowUtil.h"
#include "common/RealInput.h"
#include "common/SettingsTableTestUtil.h"

#include "res/resource.h"

namespace {

using namespace outputtest;

using FileSaveDialog = DialogTest;

POINT CentreOnScreen(HWND window, RECT rect)
{
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &centre);
    return centre;
}

// The bound of a helper that types a value: its clicks wait for their outcome up to a minute each.
const DWORD kTypingBound = 300000;

// Clicks the scale's item, then into its editor, types the text over it and presses Enter; the
// text the item holds afterwards comes back.
CString TypeScale(HWND dialog, CTreeCtrl& options, HTREEITEM item, const wchar_t* text)
{
    const HWND tree = options.GetSafeHwnd();
    SetForegroundWindow(dialog);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 30000));
    options.EnsureVisible(item);
    CRect label;
    options.GetItemRect(item, &label, TRUE);
    // The tree may still be finishing the label's click when its editor shows, and may close or
    // make the editor again: a click is given again only when the editor it went to has gone. Each
    // click's outcome is waited for however long a loaded machine takes: a second click into an
    // editor that already has the focus would put the caret into the value, and the text typed
    // would join it.
    const auto findEditor = [&] { return FindWindowExW(tree, nullptr, L"Edit", nullptr); };
    HWND editor = nullptr;
    bool focused = false;
    for (int click = 0; click < 3 && !focused; ++click) {
        if (!findEditor()) {
            // Never where the last label click fell: two would make a double click.
            POINT at = CentreOnScreen(tree, label);
            at.x += 4 * click;
            SendClick(at, MOUSEEVENTF_LEFTDOWN);
        }
        if (!WaitUntil([&] { return (editor = findEditor()) != nullptr; }, 60000))
            continue;
        RECT box = {};
        GetClientRect(editor, &box);
        // Away from the label's centre: a click where the last one fell (this editor's centre, in
        // the dialog before) would make a double click of the next label click.
        box.right = box.left + (box.right - box.left) / 2;
        SendClick(CentreOnScreen(editor, box), MOUSEEVENTF_LEFTDOWN);
        WaitUntil(
            [&] {
                focused = FocusOfThread(dialog) == editor && findEditor() == editor;
                return focused || findEditor() != editor;
            },
            60000);
    }
    EXPECT_TRUE(focused);
    if (!focused)
        return CString();
    SendText(text);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(editor) == text; })) << CStringA(TextOf(editor)).GetString();
    SendKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
    return options.GetItemText(item);
}

TEST(FileSaveRotation, StoredAnglesChooseTheirRotation)
{
    const int cases[][2] = {{0, 0}, {360, 0}, {90, 1}, {180, 2}, {270, 3}, {45, 4}, {-90, 4}, {450, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(c[1], CFileSaveDlg::RotateChoiceOf(c[0])) << c[0];
}

TEST_F(FileSaveDialog, ItsSettingsTableGoesBothWays)
{
    settingstest::ExpectEveryRowRoundTrips<FileSaveSettings>(
        {{L"FileSave",
          {L"Format", L"SizeMode", L"Width", L"Height", L"Aspect", L"Scale", L"ScaleMode", L"Unsharp", L"JpegQuality",
           L"JpegProgressive", L"JpegGrayscale", L"Jpeg2000Quality", L"BmpQuant", L"PngQuant", L"PngInterlace",
           L"PngCodec", L"RotateAngle", L"TifCodec", L"TifMultiPage", L"GifCodec"}}});
}

TEST_F(FileSaveDialog, OpensOnTheStoredChoicesAndClosesOnlyOnAValidRun)
{
    WriteAppIniInt(L"FileSave", L"RotateAngle", 45);
    WriteAppIniInt(L"FileSave", L"Format", CFileSaveDlg::FormatPng);
    WriteAppIniInt(L"FileSave", L"TifCodec", 5);
    WriteAppIniInt(L"FileSave", L"ScaleMode", 10);
    CFileSaveDlg dialog(&owner);
    {
        HelperThread driver([&dialog] {
            DialogDriver d(L"画像形式を指定してファイル保存");
            ASSERT_NE(nullptr, d.dialog);
            CTreeOptionsCtrl& tree = dialog.GetOptionTree();
            int choice = -1;
            tree.GetRadioButton(dialog.GetRotateGroup(), &choice, nullptr);
            EXPECT_EQ(4, choice);
            EXPECT_EQ(CString(L"45"), tree.GetEditText(dialog.GetAngleItem()));
            tree.GetRadioButton(dialog.GetFormatGroup(), &choice, nullptr);
            EXPECT_EQ(CFileSaveDlg::FormatPng, choice);
            // PNG's stored 0 is none of its values: its box opens empty.
            EXPECT_EQ(CString(), tree.GetEditText(dialog.GetPngCodecItem()));
            EXPECT_EQ(CString(L"LZW"), tree.GetEditText(dialog.GetTifCodecItem()));

            d.Command(IDOK); // Enter
            EXPECT_TRUE(d.IsOpen());
            tree.SetRadioButton(dialog.GetRotateGroup(), 3);
            tree.SetRadioButton(dialog.GetSizeGroup(), CFileSaveDlg::SizeGiven);
            tree.SetEditText(dialog.GetWidthItem(), L"0");
            // No destination: nothing is taken.
            d.Command(IDC_SAVE_RUN);
            EXPECT_TRUE(d.IsOpen());
            EXPECT_EQ(CString(), ReadSettingText(L"FileSave", L"SizeMode"));
            // A size of 0: the choices are kept, the dialog stays.
            d.SetText(IDC_SAVE_FOLDER, L"conv");
            d.Command(IDC_SAVE_RUN);
            EXPECT_TRUE(d.IsOpen());
            EXPECT_EQ(CString(L"270"), ReadSettingText(L"FileSave", L"RotateAngle"));
            EXPECT_EQ(CString(L"1"), ReadSettingText(L"FileSave", L"SizeMode"));
            EXPECT_EQ(CString(L"0"), ReadSettingText(L"FileSave", L"PngCodec"));
            tree.SetEditText(dialog.GetWidthItem(), L"640");
            tree.SetEditText(dialog.GetHeightItem(), L"480");
            tree.SetEditText(dialog.GetPngCodecItem(), L"最適圧縮");
            d.Command(IDC_SAVE_RUN);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, dialog.DoModal());
    }
    EXPECT_EQ(CString(settings.Folder().Path().c_str()) + L"\\conv", dialog.m_folder);
    EXPECT_EQ(270, dialog.RotateAngle);
    EXPECT_EQ(640, dialog.Width);
    EXPECT_EQ(6, dialog.PngCodec);
    EXPECT_EQ(5, dialog.TifCodec);
    EXPECT_EQ(10, dialog.ScaleMode);
    EXPECT_EQ(CString(L"6"), ReadSettingText(L"FileSave", L"PngCodec"));
    EXPECT_EQ(CString(L"conv"), ReadSettingText(L"Filer", L"Folder0"));
    // The placement is kept for the next time.
    EXPECT_NE(CString(), ReadSettingText(L"FileSave", L"WindowPlacement\\showCmd"));
}

TEST_F(FileSaveDialog, QuickAccessAndHistoryFoldersBecomeTheDestination)
{
    WriteAppIniString(L"FolderView", L"QuickAccess0", L"C:\\quick\\one");
    WriteAppIniString(L"FolderView", L"QuickAccess1", L"C:\\quick\\two");
    WriteAppIniString(L"Filer", L"Folder0", L"C:\\first");
    WriteAppIniString(L"Filer", L"Folder1", L"C:\\second");
    WriteAppIniInt(L"FileSave", L"SizeMode", CFileSaveDlg::SizeScaled);
    WriteAppIniDouble(L"FileSave", L"Scale", 0.0);
    CFileSaveDlg dialog(&owner);
    {
        HelperThread driver([&dialog] {
            DialogDriver d(L"画像形式を指定してファイル保存");
            EXPECT_EQ(CString(L"C:\\first"), d.Text(IDC_SAVE_FOLDER));
            SendMessageW(d.dialog, WM_COMMAND, ID_SAVE_QUICK_ACCESS_FIRST + 1, 0);
            EXPECT_EQ(CString(L"C:\\quick\\two"), d.Text(IDC_SAVE_FOLDER));
            d.SetText(IDC_SAVE_FOLDER, L"C:\\second");
            // A scale of 0 keeps the dialog open.
            d.Command(IDC_SAVE_RUN);
            EXPECT_TRUE(d.IsOpen());
            dialog.GetOptionTree().SetRadioButton(dialog.GetSizeGroup(), CFileSaveDlg::SizeKeep);
            d.Command(IDC_SAVE_RUN);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, dialog.DoModal());
    }
    EXPECT_EQ(CString(L"C:\\second"), ReadSettingText(L"Filer", L"Folder0"));
    EXPECT_EQ(CString(L"C:\\first"), ReadSettingText(L"Filer", L"Folder1"));
    EXPECT_EQ(2, dialog.m_quickAccess.GetSize());
}

TEST_F(FileSaveDialog, TheScaleIsTypedOverWholeEnterTakesItAndAValueNotWhollyANumberIsRefused)
{
    WriteAppIniInt(L"FileSave", L"SizeMode", CFileSaveDlg::SizeScaled);
    WriteAppIniDouble(L"FileSave", L"Scale", 1.0);
    {
        CFileSaveDlg dialog(&owner);
        CString shown;
        {
            HelperThread user(
                [&] {
                    DialogDriver d(L"画像形式を指定してファイル保存");
                    ASSERT_NE(nullptr, d.dialog);
                    d.SetText(IDC_SAVE_FOLDER, L"conv");
                    shown = TypeScale(d.dialog, dialog.GetOptionTree(), dialog.GetScaleItem(), L"0.5");
                    d.Command(IDC_SAVE_RUN);
                    EXPECT_TRUE(d.WaitClosed());
                    if (d.IsOpen())
                        d.Command(IDCANCEL);
                },
                kTypingBound);
            EXPECT_EQ(IDOK, dialog.DoModal());
        }
        EXPECT_EQ(CString(L"倍率: 0.5"), shown);
        EXPECT_DOUBLE_EQ(0.5, dialog.Scale);
    }
    // A value that is a number only by its beginning keeps the dialog open and the scale before.
    CFileSaveDlg dialog(&owner);
    {
        HelperThread user(
            [&] {
                DialogDriver d(L"画像形式を指定してファイル保存");
                ASSERT_NE(nullptr, d.dialog);
                d.SetText(IDC_SAVE_FOLDER, L"conv");
                TypeScale(d.dialog, dialog.GetOptionTree(), dialog.GetScaleItem(), L"0.25.5");
                d.Command(IDC_SAVE_RUN);
                EXPECT_TRUE(d.IsOpen());
                d.Command(IDCANCEL);
            },
            kTypingBound);
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
    EXPECT_DOUBLE_EQ(0.5, GetAppIniDouble(L"FileSave", L"Scale", 0.0));
}

} // namespace
