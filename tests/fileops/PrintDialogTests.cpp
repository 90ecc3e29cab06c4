#include "common/Printers.h"
#include "common/SetUpParts.h"
#include "fileops/CMyPrintDialog.h"
#include "fileops/CPrintOutDialog.h"

#include "OutputWindowUtil.h"

#include "res/resource.h"

namespace {

using namespace outputtest;

// How the document opens it: set-up only, no selection, no page numbers, copies by the device.
const DWORD kDocumentFlags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;

class PrintSetup : public DialogTest
{
protected:
    void SetUp() override { VYX_NEEDS_SETUP_PART(PrinterInstalled(), "a printer"); }
};

TEST_F(PrintSetup, OffersTheDefinitionHistoryAndKeepsTheChoices)
{
    WriteAppIniString(L"Print", L"File0", L"C:\\layouts\\a.dps");
    WriteAppIniString(L"Print", L"File1", L"C:\\layouts\\b.dps");
    WriteAppIniString(L"Print", L"Raster", L"0");
    const std::wstring mine = settings.Folder() / L"mine.dps";
    WriteText(mine, L"DRAWIMAGE (0,0)-(100,100), 5\n");
    wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    CMyPrintDialog first(TRUE, kDocumentFlags, &owner);
    {
        HelperThread driver([&mine] {
            DialogDriver d(L"印刷");
            ASSERT_NE(nullptr, d.dialog);
            // An empty entry (no file) first, then the history; the newest is chosen.
            EXPECT_EQ(3, SendMessageW(d.Item(IDC_PRINT_DEFINITION), CB_GETCOUNT, 0, 0));
            EXPECT_EQ(CString(L"C:\\layouts\\a.dps"), d.Text(IDC_PRINT_DEFINITION));
            EXPECT_EQ(CString(L"500"), d.Text(IDC_PRINT_BAND_HEIGHT)); // a stored 0 is no height
            EXPECT_FALSE(d.Text(IDC_PRINT_PRINTER_NAME).IsEmpty());
            // A file chosen with "参照" joins the list at the top and is chosen.
            d.Press(IDC_PRINT_DEFINITION_BROWSE);
            EXPECT_TRUE(ChooseInFileDialog(mine));
            EXPECT_TRUE(WaitUntil([&] { return d.Text(IDC_PRINT_DEFINITION) == mine.c_str(); }, 60000));
            EXPECT_EQ(4, SendMessageW(d.Item(IDC_PRINT_DEFINITION), CB_GETCOUNT, 0, 0));
            d.SetText(IDC_PRINT_BAND_HEIGHT, L"rows");
            d.Command(IDOK);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, first.DoModal());
    }
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(CString(mine.c_str()), first.m_definitionFile);
    EXPECT_EQ(CString(mine.c_str()), ReadSettingText(L"Print", L"File0"));
    EXPECT_EQ(CString(L"C:\\layouts\\a.dps"), ReadSettingText(L"Print", L"File1"));
    EXPECT_EQ(500, first.m_bandHeight);
    EXPECT_EQ(CString(L"500"), ReadSettingText(L"Print", L"Raster"));
    const CString printer = ReadSettingText(L"Print", L"name");
    EXPECT_EQ(first.GetDeviceName(), printer);
    HDC dc = first.CreatePrinterDC();
    EXPECT_NE(nullptr, dc);
    DeleteDC(dc);

    // Choosing the older file puts it first; the printer last chosen is chosen again.
    CMyPrintDialog second(TRUE, kDocumentFlags, &owner);
    {
        HelperThread driver([printer] {
            DialogDriver d(L"印刷");
            EXPECT_EQ(printer, d.Text(IDC_PRINT_PRINTER_NAME));
            SendMessageW(d.Item(IDC_PRINT_DEFINITION), CB_SETCURSEL, 3, 0);
            SendMessageW(d.dialog, WM_COMMAND, MAKEWPARAM(IDC_PRINT_DEFINITION, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(d.Item(IDC_PRINT_DEFINITION)));
            d.SetText(IDC_PRINT_BAND_HEIGHT, L"250");
            d.Command(IDOK);
            EXPECT_TRUE(d.WaitClosed());
        });
        ASSERT_EQ(IDOK, second.DoModal());
    }
    EXPECT_EQ(CString(L"C:\\layouts\\b.dps"), second.m_definitionFile);
    EXPECT_EQ(250, second.m_bandHeight);
    EXPECT_EQ(CString(L"C:\\layouts\\b.dps"), ReadSettingText(L"Print", L"File0"));
    EXPECT_EQ(CString(mine.c_str()), ReadSettingText(L"Print", L"File1"));
    EXPECT_EQ(CString(L"C:\\layouts\\a.dps"), ReadSettingText(L"Print", L"File2"));
    EXPECT_EQ(CString(), ReadSettingText(L"Print", L"File3"));
}

// Run by the test run once more with the printer daemon out of reach (CUPS_SERVER set to nowhere).
TEST(NoPrinter, TheSetupDialogSaysSoAndNoDocumentStarts)
{
    VYX_NEEDS_SETUP_PART(!PrinterInstalled(), "a session whose printer is out of reach");
    ScratchSettings settings;
    CTestHostWnd owner;
    CMyPrintDialog setup(TRUE, kDocumentFlags, &owner);
    CString warning;
    INT_PTR result = 0;
    {
        HelperThread driver([&warning] { DismissMessageBox(&warning); });
        result = setup.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_NE(-1, warning.Find(L"プリンター"));
    EXPECT_EQ(nullptr, setup.CreatePrinterDC());
    CPrintOutDialog job(&owner);
    EXPECT_EQ(IDS_PRINT_FAILED, job.Print(nullptr, L""));
    EXPECT_EQ(CString(), ReadSettingText(L"Print", L"Raster"));
}

} // namespace
