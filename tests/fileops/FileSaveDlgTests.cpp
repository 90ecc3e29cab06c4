#include "fileops/CFileSaveDlg.h"

#include "OutputWindowUtil.h"

#include "res/resource.h"

namespace {

using namespace outputtest;

using FileSaveDialog = DialogTest;

TEST(FileSaveRotation, StoredAnglesChooseTheirRotation)
{
    const int cases[][2] = {{0, 0}, {360, 0}, {90, 1}, {180, 2}, {270, 3}, {45, 4}, {-90, 4}, {450, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(c[1], CFileSaveDlg::RotateChoiceOf(c[0])) << c[0];
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

} // namespace
