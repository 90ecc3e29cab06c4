#include "fileops/CHtmlDlg.h"

#include "OutputWindowUtil.h"

#include "common/RealInput.h"
#include "res/resource.h"

#include <atomic>

namespace {

using namespace outputtest;

using HtmlDialog = DialogTest;

TEST_F(HtmlDialog, FirstUseOffersCatalogNameAndKeepsEveryChoiceForTheNextTime)
{
    CHtmlDlg dialog(&owner);
    {
        HelperThread driver([] {
            DialogDriver d(L"HTMLの作成");
            ASSERT_NE(nullptr, d.dialog);
            EXPECT_EQ(CString(L"catalog.htm"), d.Text(IDC_HTML_FILE_NAME));
            EXPECT_EQ(CString(L"95"), d.Text(IDC_HTML_QUALITY));
            EXPECT_TRUE(d.Checked(IDC_HTML_LINK_PICTURE));
            // Links to the pictures themselves: no thumbnail options; no table: the page count.
            for (int id : {IDC_HTML_QUALITY, IDC_HTML_PROGRESSIVE, IDC_HTML_THUMBS_FOLDER, IDC_HTML_QUANT_PNG,
                           IDC_HTML_COLUMNS, IDC_HTML_ROWS})
                EXPECT_FALSE(d.Enabled(id)) << id;
            EXPECT_TRUE(d.Enabled(IDC_HTML_PAGE_COUNT));
            // Without a destination "作成" says so and the dialog stays.
            CString told;
            d.Press(IDOK);
            DismissMessageBox(&told);
            EXPECT_NE(-1, told.Find(L"保存先フォルダ")) << told.GetString();
            EXPECT_TRUE(d.IsOpen());

            d.PressButton(IDC_HTML_TABLE);
            EXPECT_FALSE(d.Enabled(IDC_HTML_PAGE_COUNT));
            EXPECT_TRUE(d.Enabled(IDC_HTML_COLUMNS));
            d.PressButton(IDC_HTML_LINK_JPEG);
            EXPECT_TRUE(d.Enabled(IDC_HTML_QUALITY));
            EXPECT_FALSE(d.Enabled(IDC_HTML_QUANT_PNG));
            d.PressButton(IDC_HTML_LINK_PNG);
            EXPECT_FALSE(d.Enabled(IDC_HTML_QUALITY));
            EXPECT_TRUE(d.Enabled(IDC_HTML_QUANT_PNG));
            EXPECT_TRUE(d.Enabled(IDC_HTML_THUMBS_FOLDER));
            d.PressButton(IDC_HTML_QUANT_PNG);
            d.SetText(IDC_HTML_COLUMNS, L"4");
            d.SetText(IDC_HTML_ROWS, L"5x");
            d.SetText(IDC_HTML_FOLDER, L"out");
            d.SetText(IDC_HTML_FILE_NAME, L"index");
            // Still no definition file: the dialog stays.
            d.Press(IDOK);
            DismissMessageBox(&told);
            EXPECT_NE(-1, told.Find(L"HTML形式定義ファイル")) << told.GetString();
            EXPECT_TRUE(d.IsOpen());
            d.SetText(IDC_HTML_DEFINITION, L"cat.kwm");
            d.Command(IDOK);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, dialog.DoModal());
    }
    EXPECT_EQ(CString(settings.Folder().Path().c_str()) + L"\\out", dialog.m_folder);
    EXPECT_EQ(CString(L"index.html"), dialog.m_fileName);
    EXPECT_EQ(CString(L"cat.kwm"), dialog.m_definitionFile);
    EXPECT_EQ(CString(L"."), dialog.m_thumbnailFolder);
    EXPECT_EQ(2, dialog.m_linkMode);
    EXPECT_EQ(8, dialog.m_reducePng);
    EXPECT_EQ(1, dialog.m_table);
    EXPECT_EQ(4, dialog.m_columns);
    EXPECT_EQ(5, dialog.m_rows);
    const wchar_t* const stored[][2] = {{L"PageCount", L"0"},     {L"Table", L"1"},           {L"WidthCount", L"4"},
                                        {L"HeightCount", L"5"},   {L"LinkFormat", L"2"},      {L"JpegQuality", L"95"},
                                        {L"Progressive", L"0"},   {L"QuantPng", L"8"},        {L"Folder0", L"out"},
                                        {L"FileName0", L"index"}, {L"HtmlFile0", L"cat.kwm"}, {L"ThumbsFolder0", L"."}};
    for (const auto& entry : stored)
        EXPECT_EQ(CString(entry[1]), ReadSettingText(L"Html", entry[0])) << entry[0];

    // The next time opens on what was chosen; a name with an extension keeps it.
    const std::wstring definition = settings.Folder() / L"chosen.kwm";
    WriteText(definition, L"*One\r\n$FILENAME$\r\n");
    CHtmlDlg again(&owner);
    {
        HelperThread driver([&definition] {
            DialogDriver d(L"HTMLの作成");
            EXPECT_EQ(CString(L"out"), d.Text(IDC_HTML_FOLDER));
            EXPECT_EQ(CString(L"index"), d.Text(IDC_HTML_FILE_NAME));
            EXPECT_TRUE(d.Checked(IDC_HTML_LINK_PNG));
            EXPECT_TRUE(d.Checked(IDC_HTML_TABLE));
            EXPECT_TRUE(d.Checked(IDC_HTML_QUANT_PNG));
            EXPECT_EQ(CString(L"5"), d.Text(IDC_HTML_ROWS));
            d.SetText(IDC_HTML_FILE_NAME, L"index.htm");
            d.Press(IDC_HTML_DEFINITION_BROWSE);
            EXPECT_TRUE(ChooseInFileDialog(definition));
            EXPECT_TRUE(WaitUntil([&] { return d.Text(IDC_HTML_DEFINITION) == definition.c_str(); }, 60000));
            d.SetText(IDC_HTML_THUMBS_FOLDER, L"thumbs");
            d.Command(IDOK);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, again.DoModal());
    }
    EXPECT_EQ(CString(L"index.htm"), again.m_fileName);
    EXPECT_EQ(CString(definition.c_str()), again.m_definitionFile);
    EXPECT_EQ(CString(L"thumbs"), again.m_thumbnailFolder);
    EXPECT_EQ(CString(L"thumbs"), ReadSettingText(L"Html", L"ThumbsFolder0"));
    EXPECT_EQ(CString(L"."), ReadSettingText(L"Html", L"ThumbsFolder1"));
    EXPECT_EQ(CString(L"index.htm"), ReadSettingText(L"Html", L"FileName0"));
    EXPECT_EQ(CString(L"index"), ReadSettingText(L"Html", L"FileName1"));
}

TEST_F(HtmlDialog, CreateWithAnEmptyBoxSaysWhatIsMissingAndPutsTheFocusThere)
{
    CHtmlDlg dialog(&owner);
    std::atomic<bool> enterTold{false};
    {
        HelperThread driver([&] {
            DialogDriver d(L"HTMLの作成");
            ASSERT_NE(nullptr, d.dialog);
            d.SetText(IDC_HTML_FOLDER, L"out");
            // The box whose edit holds the focus, or 0.
            auto focusedBox = [&] {
                const HWND focus = FocusOfThread(d.dialog);
                for (int id : {IDC_HTML_FOLDER, IDC_HTML_FILE_NAME, IDC_HTML_DEFINITION})
                    if (focus && (focus == d.Item(id) || GetParent(focus) == d.Item(id)))
                        return id;
                return 0;
            };
            // The dialog opens with the focus in its first box.
            ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == d.dialog && focusedBox() != 0; }, 30000));
            ASSERT_NE(IDC_HTML_DEFINITION, focusedBox());
            // Enter presses "作成", the default button, as a user does.
            SendKey(VK_RETURN);
            CString text;
            HWND box = WaitForMessageBox(&text, 30000);
            enterTold = box != nullptr;
            EXPECT_NE(-1, text.Find(L"HTML形式定義ファイル")) << text.GetString();
            SendMessageW(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(WaitUntil([&] { return focusedBox() == IDC_HTML_DEFINITION; }, 30000)) << focusedBox();
            EXPECT_TRUE(d.IsOpen());
            d.Command(IDCANCEL);
            EXPECT_TRUE(d.WaitClosed());
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
    EXPECT_TRUE(enterTold.load());
}

} // namespace
