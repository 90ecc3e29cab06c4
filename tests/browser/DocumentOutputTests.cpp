// The document's picture outputs: contact sheets (grid, numbering, replacing, failures, bounds, the
// items as they were), the pasted picture's file dialog, printing, and the catalog, contact-sheet,
// report and comment commands over their dialogs.
#include "DocumentCommandUtil.h"

#include "browser/CKWDocPictureOutput.h"
#include "catalogue/CExportDialog.h"
#include "common/ImportPatch.h"
#include "common/PrintedPdfs.h"
#include "common/Printers.h"
#include "common/SetUpParts.h"
#include "fileops/CPrintOutDialog.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

#include <atomic>
#include <cctype>

using namespace doccommands;

namespace {

std::atomic<int> g_sectionsMade{0};

HBITMAP WINAPI CountingCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                        DWORD offset)
{
    ++g_sectionsMade;
    return CreateDIBSection(dc, info, usage, bits, section, offset);
}

HDC WINAPI NoPrinterDC(LPCWSTR, LPCWSTR, LPCWSTR, const DEVMODEW*)
{
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return nullptr;
}

// The page count of a PDF as its page objects tell it ("/Type /Page" or "/Type/Page", not "/Pages").
int PdfPages(const std::wstring& path)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    int pages = 0;
    for (size_t at = bytes.find("/Type"); at != std::string::npos; at = bytes.find("/Type", at + 1)) {
        size_t name = bytes.find_first_not_of(" \r\n", at + 5);
        if (name != std::string::npos && bytes.compare(name, 5, "/Page") == 0 &&
            (name + 5 >= bytes.size() || !isalpha(static_cast<unsigned char>(bytes[name + 5]))))
            ++pages;
    }
    return pages;
}

} // namespace

TEST(ContactSheets, TheGridFollowsTheCountAndSeveralSheetsAreNumbered)
{
    struct Row
    {
        int count, columns, rows;
        std::vector<std::wstring> files;
        SIZE sheet;
    };
    const Row rows[] = {{10, 0, 0, {L"sheet.bmp"}, {120, 120}},
                        {10, 2, 2, {L"sheet00.bmp", L"sheet01.bmp", L"sheet02.bmp"}, {80, 60}},
                        {4, 2, 0, {L"sheet.bmp"}, {80, 60}},
                        {10, 5, 0, {L"sheet.bmp"}, {200, 60}}};
    for (const Row& row : rows) {
        PictureDocument d(row.count);
        CKWDocPictureOutput(d.Document())
            .ExportContactSheets(row.columns, row.rows, d.Out(L"sheet.bmp").c_str(), 0, 90);
        for (const std::wstring& file : row.files) {
            const SIZE made = BmpSize(d.out / file);
            EXPECT_TRUE(SameSize(row.sheet, made)) << row.count << " " << file << ": " << made.cx << "x" << made.cy;
        }
        EXPECT_FALSE(ScratchFolder::Exists(d.Out(row.files.size() > 1 ? L"sheet.bmp" : L"sheet00.bmp")));
    }
}

TEST(ContactSheets, TheLastSheetHoldsTheRestAndAFailedCellLeavesItsPlaceToTheNext)
{
    PictureDocument d(6, {40, 30});
    // An item that cannot be drawn (its file is gone) gives its place to the next picture: five
    // cells on sheets of two make three sheets, the last half full.
    DeleteFileW(d.Name(1).c_str());
    d.Document().GetItem(1)->ResetImage();
    CKWDocPictureOutput(d.Document()).ExportContactSheets(2, 1, d.Out(L"s.bmp").c_str(), 0, 90);
    EXPECT_TRUE(ScratchFolder::Exists(d.Out(L"s00.bmp")));
    EXPECT_TRUE(ScratchFolder::Exists(d.Out(L"s01.bmp")));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"s03.bmp")));
    HGLOBAL last = ReadBmpFile(d.Out(L"s02.bmp").c_str());
    ASSERT_NE(nullptr, last);
    // Cell 0 holds the sixth picture, cell 1 stays the sheet's background.
    EXPECT_EQ(d.Document().colBackGround, dibtest::Pixel24(last, 60, 15));
    EXPECT_NE(d.Document().colBackGround, dibtest::Pixel24(last, 20, 15));
    GlobalFree(last);
}

TEST(ContactSheets, ItemsKeepTheirPlacesFlagsAndLooksAfterASheet)
{
    PictureDocument d(3);
    CKWDoc& doc = d.Document();
    CDibSection screen;
    ASSERT_TRUE(screen.Create24(nullptr, 200, 200, 0));
    for (int i = 0; i < 3; ++i) {
        VyxFile* item = doc.GetItem(i);
        item->SetPosition(POINT{500 + i, 700});
        item->SetScaleMode(1);
        item->Draw(screen.GetMemDC(), 0, 0, 40, 30, 3);
        ASSERT_TRUE(item->HasKeptCell());
    }
    doc.GetItem(2)->SetFlags(VyxFilexDraw::FlagMarked);
    CKWDocPictureOutput(doc).ExportContactSheets(0, 0, d.Out(L"sheet.jpg").c_str(), 1, 80);
    EXPECT_TRUE(ScratchFolder::Exists(d.Out(L"sheet.jpg")));
    for (int i = 0; i < 3; ++i) {
        VyxFile* item = doc.GetItem(i);
        EXPECT_EQ(500 + i, item->GetPosition().x) << i;
        EXPECT_EQ(700, item->GetPosition().y) << i;
        EXPECT_EQ(1, item->GetScaleMode()) << i;
        EXPECT_TRUE(item->TestFlags(VyxFilexDraw::FlagSelected)) << i;
        // No kept cell of the sheet's drawing shows in the view again.
        EXPECT_FALSE(item->HasKeptCell()) << i;
    }
    EXPECT_TRUE(doc.GetItem(2)->TestFlags(VyxFilexDraw::FlagMarked));
    // The hit test finds the items where they were.
    EXPECT_EQ(0, doc.HitTest(510, 710));
}

TEST(ContactSheets, APercentInTheNameIsTakenAsTyped)
{
    PictureDocument d(4);
    CKWDocPictureOutput(d.Document()).ExportContactSheets(1, 2, d.Out(L"100%s%n%d.bmp").c_str(), 0, 90);
    EXPECT_TRUE(ScratchFolder::Exists(d.Out(L"100%s%n%d00.bmp")));
    EXPECT_TRUE(ScratchFolder::Exists(d.Out(L"100%s%n%d01.bmp")));
}

TEST(ContactSheets, ANameHoldingAMacroWordIsDrawnAsItStands)
{
    // Two cells of the same picture, one named "$(Ext)x.bmp", one "bmpx.bmp": the names differ on
    // the sheet, so the first is not drawn as the second.
    OwnPlugins plugins;
    CommandDocumentScope scope;
    CStandInFrame frame;
    ScratchFolder out{L"docout"};
    for (const wchar_t* name : {L"$(Ext)x.bmp", L"bmpx.bmp"})
        PutPicture(scope.folder / name, 16, 12, RGB(250, 20, 0));
    CKWDoc& document = scope.Document();
    scope.Open();
    document.SetThumbsSize(80, 60);
    document.SetAllSelection(true);
    CKWDocPictureOutput(document).ExportContactSheets(2, 1, (out / L"names.bmp").c_str(), 0, 90);
    HGLOBAL sheet = ReadBmpFile((out / L"names.bmp").c_str());
    ASSERT_NE(nullptr, sheet);
    int different = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            different += dibtest::Pixel24(sheet, x, y) != dibtest::Pixel24(sheet, 80 + x, y);
    GlobalFree(sheet);
    EXPECT_GT(different, 0);
}

TEST(ContactSheets, AWordBrokenNameTooLongToShowWrappedIsCutOnOneLine)
{
    // As in the grid: the name runs from the left of its area to an ellipsis at the right, not
    // its first wrapped line alone, centred.
    OwnPlugins plugins;
    CommandDocumentScope scope;
    CStandInFrame frame;
    ScratchFolder out{L"docout"};
    PutPicture(scope.folder / L"奈良_東大寺_大仏殿_2024_0412.bmp", 16, 12, RGB(250, 20, 0));
    CKWDoc& document = scope.Document();
    scope.Open();
    document.SetThumbsSize(150, 140);
    document.SetAllSelection(true);
    VyxFile* item = document.GetItem(0);
    ASSERT_NE(nullptr, item);
    item->SetWordBreak(TRUE);
    CKWDocPictureOutput(document).ExportContactSheets(1, 1, (out / L"names.bmp").c_str(), 0, 90);
    HGLOBAL sheet = ReadBmpFile((out / L"names.bmp").c_str());
    ASSERT_NE(nullptr, sheet);
    CRect inside = item->GetNameRect();
    inside.DeflateRect(2, 2);
    ASSERT_FALSE(inside.IsRectEmpty());
    CRect text(inside.right, inside.bottom, inside.left, inside.top);
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            if (dibtest::Pixel24(sheet, x, y) != document.colNormalDraw)
                text.SetRect(std::min<LONG>(text.left, x), std::min<LONG>(text.top, y),
                             std::max<LONG>(text.right, x + 1), std::max<LONG>(text.bottom, y + 1));
    GlobalFree(sheet);
    EXPECT_LE(text.left - inside.left, 2);
    EXPECT_LE(inside.right - text.right, 8);
}

TEST(ContactSheets, AnExistingSheetIsReplacedOnlyWhenTheUserSaysSo)
{
    PictureDocument d(3);
    for (const wchar_t* name : {L"s00.bmp", L"s01.bmp"})
        ASSERT_TRUE(ScratchFolder::WriteFile(d.Out(name), "old"));
    std::vector<CString> asked;
    {
        HelperThread answers([&] {
            for (int button : {IDNO, IDYES}) {
                CString text;
                AnswerMessageBox(&text, button);
                asked.push_back(text);
            }
        });
        CKWDocPictureOutput(d.Document()).ExportContactSheets(1, 1, d.Out(L"s.bmp").c_str(), 0, 90);
    }
    ASSERT_EQ(2u, asked.size());
    EXPECT_NE(-1, Joined(asked[0]).Find(d.Out(L"s00.bmp").c_str()));
    EXPECT_EQ("old", ScratchFolder::ReadFile(d.Out(L"s00.bmp")));
    EXPECT_TRUE(SameSize(SIZE{40, 30}, BmpSize(d.Out(L"s01.bmp"))));
    EXPECT_TRUE(ScratchFolder::Exists(d.Out(L"s02.bmp")));

    // Cancel stops: the sheets after it are not made.
    DeleteFileW(d.Out(L"s02.bmp").c_str());
    ASSERT_TRUE(ScratchFolder::WriteFile(d.Out(L"s01.bmp"), "old"));
    {
        HelperThread answer([&] { AnswerMessageBox(nullptr, IDCANCEL); });
        CKWDocPictureOutput(d.Document()).ExportContactSheets(1, 1, d.Out(L"s.bmp").c_str(), 0, 90);
    }
    EXPECT_EQ("old", ScratchFolder::ReadFile(d.Out(L"s00.bmp")));
    EXPECT_EQ("old", ScratchFolder::ReadFile(d.Out(L"s01.bmp")));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"s02.bmp")));
}

TEST(ContactSheets, ASheetThatCannotBeWrittenIsReportedOnce)
{
    PictureDocument d(4);
    std::vector<CString> reports;
    {
        HelperThread answer([&] {
            CString text;
            AnswerMessageBox(&text, IDOK);
            reports.push_back(text);
            // No second report follows.
            if (WaitForMessageBox(&text, 2000))
                reports.push_back(text);
        });
        CKWDocPictureOutput(d.Document()).ExportContactSheets(1, 1, d.Out(L"missing\\s.bmp").c_str(), 0, 90);
    }
    ASSERT_EQ(1u, reports.size());
    EXPECT_NE(-1, reports[0].Find(L"s00.bmp"));
    EXPECT_NE(-1, reports[0].Find(L"ファイルの保存に失敗しました"));
}

TEST(ContactSheets, ASheetTooLargeForTheImageLibraryIsRefusedBeforeAnythingIsMade)
{
    PictureDocument d(1, {10000, 10000});
    CString text;
    g_sectionsMade = 0;
    {
        ImportPatch count("gdi32.dll", "CreateDIBSection", reinterpret_cast<const void*>(&CountingCreateDIBSection));
        HelperThread answer([&] { AnswerMessageBox(&text, IDOK); });
        CKWDocPictureOutput(d.Document()).ExportContactSheets(10, 10, d.Out(L"huge.bmp").c_str(), 0, 90);
    }
    EXPECT_EQ(0, g_sectionsMade.load());
    EXPECT_NE(-1, text.Find(L"100000 x 100000"));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"huge.bmp")));
}

TEST(ContactSheets, TheCommandUsesTheSheetsOwnScaleModeAndRedrawsAfterwards)
{
    PictureDocument d(2);
    CKWDoc& doc = d.Document();
    doc.ScaleMode = 1;
    {
        HelperThread driver([&] {
            DialogDriver dialog(L"コンタクトシートの作成");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.SetText(IDC_CONTACT_FOLDER, d.out.Path().c_str());
            dialog.SetText(IDC_CONTACT_FILE_NAME, L"made");
            dialog.SetText(IDC_CONTACT_COLUMNS, L"2");
            dialog.SetText(IDC_CONTACT_ROWS, L"1");
            dialog.Command(IDOK);
        });
        RunCommand(doc, ID_TOOL_CONTACT_SHEET);
    }
    EXPECT_TRUE(SameSize(SIZE{80, 30}, BmpSize(d.Out(L"made.bmp"))));
    EXPECT_EQ(1, doc.ScaleMode);
    EXPECT_EQ(10, doc.m_sheetScaleMode);
    EXPECT_EQ(std::vector<std::wstring>{L"0"}, HintsOf(d.scope.Heard(), HintRedraw));
}

TEST(PastedPictures, ANameWithoutExtensionTakesTheExtensionOfTheChosenType)
{
    struct Row
    {
        const wchar_t* typed;
        WORD extension; // offset as the dialog gives it
        DWORD type;
        BOOL staysOpen;
        const wchar_t* path;
    };
    const Row rows[] = {
        {L"C:\\p\\shot", 0, CExportDialog::TypeJpeg, FALSE, L"C:\\p\\shot.jpg"},
        {L"C:\\p\\shot", 0, CExportDialog::TypeGif, FALSE, L"C:\\p\\shot.gif"},
        {L"C:\\p\\shot.png", 10, CExportDialog::TypeJpeg, FALSE, L"C:\\p\\shot.png"},
        {L"C:\\p\\shot.", 0, CExportDialog::TypeJpeg, TRUE, L"C:\\p\\shot."},
        {L"C:\\p\\shot", 0, 0, TRUE, L"C:\\p\\shot"},
    };
    for (const Row& row : rows) {
        CExportDialog dialog(L"C:\\");
        wchar_t file[MAX_PATH] = {};
        wchar_t title[MAX_PATH] = {};
        wcscpy(file, row.typed);
        wcscpy(title, L"shot");
        dialog.m_ofn.lpstrFile = file;
        dialog.m_ofn.nMaxFile = MAX_PATH;
        dialog.m_ofn.lpstrFileTitle = title;
        dialog.m_ofn.nMaxFileTitle = MAX_PATH;
        dialog.m_ofn.nFileExtension = row.extension;
        dialog.m_ofn.nFilterIndex = row.type;
        EXPECT_EQ(row.staysOpen, CExportDialog::CheckFileName(dialog.m_ofn)) << row.typed << " " << row.type;
        EXPECT_STREQ(row.path, file) << row.typed << " " << row.type;
    }
}

TEST(PastedPictures, APastedPictureIsSavedWhereTheUserSays)
{
    PictureDocument d(0);
    dibtest::Dib picture(dibtest::Make24(8, 6, [](LONG x, LONG) { return RGB(10 * x, 0, 0); }));
    int result = -2;
    {
        HelperThread chooser([&] { outputtest::ChooseInFileDialog(d.Out(L"pasted")); });
        result = CKWDocPictureOutput(d.Document()).SavePastedPicture(picture);
    }
    EXPECT_EQ(0, result);
    EXPECT_TRUE(SameSize(SIZE{8, 6}, BmpSize(d.Out(L"pasted.bmp"))));
}

TEST(DocumentPrinting, WithoutAPrinterDeviceContextTheUserIsToldAndNothingStarts)
{
    VYX_NEEDS_SETUP_PART(PrinterInstalled(), "a printer");
    PictureDocument d(2);
    const std::wstring pdfs = printed::PdfOutFolder();
    const std::set<std::wstring> before = printed::PdfFiles(pdfs);
    CString text;
    {
        ImportPatch noDC("gdi32.dll", "CreateDCW", reinterpret_cast<const void*>(&NoPrinterDC));
        HelperThread driver([&] {
            DialogDriver dialog(L"印刷");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.Command(IDOK);
            AnswerMessageBox(&text, IDOK);
        });
        RunCommand(d.Document(), ID_FILE_PRINT);
    }
    EXPECT_NE(-1, text.Find(L"デバイス コンテキスト"));
    EXPECT_EQ(before, printed::PdfFiles(pdfs));
}

TEST(DocumentPrinting, TheSelectedItemsArePrintedOnePerPage)
{
    const std::wstring pdfs = printed::PdfOutFolder();
    VYX_NEEDS_SETUP_PART(PrinterInstalled() && !pdfs.empty(), "a PDF printer");
    PictureDocument d(3);
    d.Document().SelectItem(1, false, nullptr);
    const std::set<std::wstring> before = printed::PdfFiles(pdfs);
    wchar_t printer[256] = {};
    DWORD length = 256;
    ASSERT_TRUE(GetDefaultPrinterW(printer, &length));
    CDC dc;
    ASSERT_TRUE(dc.Attach(CreateDCW(L"WINSPOOL", printer, nullptr, nullptr)));
    EXPECT_EQ(0, CKWDocPictureOutput(d.Document()).PrintSelected(&dc, L""));
    dc.DeleteDC();
    const std::wstring pdf = printed::WaitForNewPdf(pdfs, before, 90000);
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(2, PdfPages(pdf));
    EXPECT_FALSE(d.Document().IsUpdating());
}

TEST(DocumentCatalog, TheCatalogPutsATablesCellsOnEachPageAndAnnouncesItsFolder)
{
    PictureDocument d(13);
    outputtest::WriteText(d.Out(L"def.kwm"),
                          L"*HEADER\r\n<p>\r\n*ONE\r\n<img src=\"$PICTURE_FILE$\">\r\n*FOOTER\r\n</p>\r\n");
    {
        HelperThread driver([&] {
            DialogDriver dialog(L"HTMLの作成");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.SetText(IDC_HTML_FOLDER, d.out.Path().c_str());
            dialog.SetText(IDC_HTML_FILE_NAME, L"catalog.htm");
            dialog.SetText(IDC_HTML_DEFINITION, d.Out(L"def.kwm").c_str());
            dialog.PressButton(IDC_HTML_TABLE);
            dialog.SetText(IDC_HTML_COLUMNS, L"4");
            dialog.SetText(IDC_HTML_ROWS, L"3");
            dialog.Command(IDOK);
        });
        RunCommand(d.Document(), ID_TOOL_HTML_CATALOG);
    }
    const std::wstring first = outputtest::ReadText(d.Out(L"catalog.htm"));
    const std::wstring second = outputtest::ReadText(d.Out(L"catalog_002.htm"));
    EXPECT_EQ(12, outputtest::Occurrences(first, L"<img"));
    EXPECT_EQ(1, outputtest::Occurrences(second, L"<img"));
    EXPECT_EQ(std::vector<std::wstring>{L"21 " + d.out.Path()}, HintsOf(d.scope.Heard(), HintFolderChanged));
    EXPECT_EQ(CString(L"$file_$page#3"), fileopstest::ReadSettingText(L"Html", L"HtmlFormat"));
    EXPECT_EQ(CString(L"Ve_$file"), fileopstest::ReadSettingText(L"Html", L"ThumbFormat"));
}

TEST(DocumentCatalog, ADefinitionThatCannotBeReadEndsTheCommandWithAMessage)
{
    PictureDocument d(1);
    CString text;
    {
        HelperThread driver([&] {
            DialogDriver dialog(L"HTMLの作成");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.SetText(IDC_HTML_FOLDER, d.out.Path().c_str());
            dialog.SetText(IDC_HTML_DEFINITION, d.Out(L"none.kwm").c_str());
            dialog.Command(IDOK);
            AnswerMessageBox(&text, IDOK);
        });
        RunCommand(d.Document(), ID_TOOL_HTML_CATALOG);
    }
    EXPECT_EQ(CString(L"HTML定義ファイルの読み込みに失敗しました"), text);
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"catalog.htm")));
}

TEST(DocumentUnpack, AnArchiveNoPluginReadsFailsByNameAndLeavesNoFolderBehind)
{
    PictureDocument d(1);
    ASSERT_TRUE(ScratchFolder::WriteFile(d.scope.folder / L"旅行_2024.zip", "PK\x03\x04 no plug-in reads this"));
    d.scope.Open();
    CKWDoc& doc = d.Document();
    // Beside it a picture whose decoder the listing has not looked for yet: it is left alone.
    ASSERT_EQ(2, doc.GetItemCount());
    ASSERT_EQ(CString(L"p00.bmp"), doc.GetItem(0)->GetFileName());
    ASSERT_LT(doc.GetItem(0)->GetLoaderId(), 0);
    doc.SetAllSelection(true);
    CString text;
    {
        HelperThread driver([&] {
            DialogDriver prompt(L"書庫解凍");
            ASSERT_NE(nullptr, prompt.dialog);
            prompt.SetText(IDC_GETFOLDER_FOLDER, d.Out(L"展開\\旅行").c_str());
            prompt.Command(IDOK);
            AnswerMessageBox(&text, IDOK);
        });
        RunCommand(doc, ID_FILE_EXTRACT);
    }
    EXPECT_NE(-1, text.Find(L"旅行_2024.zip"));
    EXPECT_NE(-1, text.Find(L"解凍に失敗しました"));
    EXPECT_FALSE(ScratchFolder::Exists(d.Out(L"展開")));
}

TEST(DocumentReport, ATemplateWithoutMacrosIsWrittenOncePerSelectedItem)
{
    PictureDocument d(3);
    d.Document().SelectItem(0, false, nullptr);
    {
        HelperThread driver([&] {
            DialogDriver dialog(L"レポートファイルの作成");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.SetText(IDC_REPORT_FILE_NAME, d.Out(L"report.txt").c_str());
            dialog.SetText(IDC_REPORT_FILE_TEMPLATE, L"line");
            dialog.Command(IDOK);
        });
        RunCommand(d.Document(), ID_TOOL_REPORT);
    }
    EXPECT_EQ("line\r\nline\r\n", ScratchFolder::ReadFile(d.Out(L"report.txt")));
}

TEST(DocumentComments, EachSelectedItemIsAskedUntilOneIsCancelled)
{
    PictureDocument d(3);
    {
        HelperThread driver([&] {
            DialogDriver first(L"コメント入力");
            ASSERT_NE(nullptr, first.dialog);
            first.SetText(IDC_COMMENT_EDIT, L"最初");
            first.Command(IDOK);
            ASSERT_TRUE(first.WaitClosed());
            DialogDriver second(L"コメント入力");
            ASSERT_NE(nullptr, second.dialog);
            second.Command(IDCANCEL);
        });
        RunCommand(d.Document(), ID_EDIT_COMMENT);
    }
    EXPECT_EQ(CString(L"最初"), d.Document().GetItem(0)->GetNote());
    EXPECT_TRUE(d.Document().GetItem(1)->GetNote().IsEmpty());
    EXPECT_EQ(std::vector<std::wstring>{L"8 0"}, HintsOf(d.scope.Heard(), HintItemChanged));
}
