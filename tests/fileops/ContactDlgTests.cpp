#include "fileops/CContactDlg.h"
#include "fileops/VCOJpg.h"

#include "OutputWindowUtil.h"

#include "res/resource.h"

namespace {

using namespace outputtest;

using ContactDialog = DialogTest;

TEST_F(ContactDialog, AsksForTheFolderThenTheNameAndKeepsTheChoices)
{
    WriteAppIniInt(L"Catalog", L"JpgQuality", 70);
    CContactDlg dialog(&owner);
    {
        HelperThread driver([&dialog] {
            DialogDriver d(L"コンタクトシートの作成");
            ASSERT_NE(nullptr, d.dialog);
            EXPECT_EQ(CString(L"sheet"), d.Text(IDC_CONTACT_FILE_NAME));
            EXPECT_EQ(CString(L"BMP ﾌｧｲﾙ形式"), d.Text(IDC_CONTACT_FILE_TYPE));
            // The JPEG page fills the frame and shows the stored quality.
            HWND page = dialog.GetJpegPage()->GetSafeHwnd();
            ASSERT_TRUE(IsWindowVisible(page));
            RECT frame, pageRect;
            GetWindowRect(d.Item(IDC_CONTACT_PAGE_FRAME), &frame);
            GetWindowRect(page, &pageRect);
            EXPECT_TRUE(pageRect.left >= frame.left && pageRect.bottom <= frame.bottom);
            EXPECT_EQ(CString(L"70"), TextOf(GetDlgItem(page, IDC_CONTACT_JPEG_QUALITY)));

            d.SetText(IDC_CONTACT_FILE_NAME, L"");
            d.Command(IDOK); // no folder, no name
            EXPECT_TRUE(d.IsOpen());
            d.SetText(IDC_CONTACT_FOLDER, L"sheets");
            d.Command(IDOK); // no name
            EXPECT_TRUE(d.IsOpen());
            EXPECT_EQ(CString(L"sheets"), ReadSettingText(L"Catalog", L"Folder0"));
            EXPECT_EQ(CString(), ReadSettingText(L"Catalog", L"Width"));
            d.SetText(IDC_CONTACT_FILE_NAME, L"contact");
            d.SetText(IDC_CONTACT_COLUMNS, L"4");
            d.SetText(IDC_CONTACT_ROWS, L"2 rows");
            SendMessageW(d.Item(IDC_CONTACT_FILE_TYPE), CB_SETCURSEL, 1, 0);
            SendMessageW(GetDlgItem(page, IDC_CONTACT_JPEG_QUALITY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"80"));
            d.Command(IDOK);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, dialog.DoModal());
    }
    // A name without an extension takes the type's.
    EXPECT_EQ(CString(L"contact.jpg"), dialog.m_fileName);
    EXPECT_EQ(CString(settings.Folder().Path().c_str()) + L"\\sheets\\contact.jpg", dialog.m_outputPath);
    EXPECT_EQ(4, dialog.m_columns);
    EXPECT_EQ(2, dialog.m_rows);
    EXPECT_EQ(CContactDlg::FileTypeJpeg, dialog.m_fileType);
    EXPECT_EQ(80, dialog.m_jpegQuality);
    const wchar_t* const stored[][2] = {{L"Width", L"4"},       {L"Height", L"2"},          {L"Filetype", L"1"},
                                        {L"JpgQuality", L"80"}, {L"FileName0", L"contact"}, {L"Folder0", L"sheets"}};
    for (const auto& entry : stored)
        EXPECT_EQ(CString(entry[1]), ReadSettingText(L"Catalog", entry[0])) << entry[0];
}

} // namespace
