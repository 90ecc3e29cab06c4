// The thumbnail settings dialog: its controls on the layout record, the clamps of its edits, the
// preview of the sample picture (the clipboard's when it holds a sound one), and the document's
// command that applies the record on OK only.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "SettingsTestUtil.h"
#include "browser/CThumbOption.h"
#include "image/DibCore.h"

using namespace settingstest;

namespace {

// A solid picture of the size and colour, 24 bits.
HGLOBAL SolidDib(LONG width, LONG height, COLORREF colour)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    BYTE* bits = DibBits(GlobalLock(dib));
    const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            BYTE* p = bits + y * row + x * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    GlobalUnlock(dib);
    return dib;
}

// The clipboard holding these bytes as CF_DIB (none: emptied), and emptied again afterwards.
class ClipboardDib
{
public:
    explicit ClipboardDib(const void* bytes = nullptr, SIZE_T size = 0) { Put(bytes, size); }
    ~ClipboardDib() { Put(nullptr, 0); }

private:
    static void Put(const void* bytes, SIZE_T size)
    {
        if (!OpenClipboard(nullptr))
            return;
        EmptyClipboard();
        if (bytes) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
            memcpy(GlobalLock(block), bytes, size);
            GlobalUnlock(block);
            SetClipboardData(CF_DIB, block);
        }
        CloseClipboard();
    }
};

class ThumbOption : public testing::Test
{
protected:
    void SetUp() override
    {
        // The layout the document starts with.
        CKWDoc* doc = new CKWDoc;
        doc->m_bAutoDelete = FALSE;
        doc->GetLayout(&layout);
        delete doc;
    }
    void TearDown() override
    {
        if (dialog.GetSafeHwnd())
            dialog.DestroyWindow();
    }
    HWND Open()
    {
        dialog.m_data = layout;
        EXPECT_TRUE(dialog.Create(CThumbOption::IDD));
        return dialog.GetSafeHwnd();
    }
    int SliderPos(UINT id) { return static_cast<int>(dialog.SendDlgItemMessage(id, TBM_GETPOS)); }
    int SliderMax(UINT id) { return static_cast<int>(dialog.SendDlgItemMessage(id, TBM_GETRANGEMAX)); }

    ScratchSettings settings;
    THUMBSDATA layout = {};
    CThumbOption dialog;
};

} // namespace

TEST_F(ThumbOption, OpensOnTheRecordWithTheSlidersWithinTheResolutionLimits)
{
    WriteAppIniInt(L"System", L"ThumbsMaxXres", 1200);
    layout.ThumbsSize = {300, 250};
    layout.ThumbsMarginSize = {-3, 4};
    layout.FrameEdge = 6;
    layout.NameFrameEdge = 3; // not in the edge table
    layout.ScaleMode = 3;
    layout.Name = 2;
    layout.UnsharpLevel = 0.3;
    wcscpy(layout.NameFormat, L"$(FileName)\\n$(Size)");
    HWND window = Open();
    EXPECT_EQ(1200, SliderMax(IDC_THUMB_WIDTHSLIDER));
    EXPECT_EQ(600, SliderMax(IDC_THUMB_HEIGHTSLIDER));
    EXPECT_EQ(300, SliderPos(IDC_THUMB_WIDTHSLIDER));
    EXPECT_EQ(250, SliderPos(IDC_THUMB_HEIGHTSLIDER));
    EXPECT_EQ(3, SliderPos(IDC_THUMB_UNSHARPLEVEL));
    EXPECT_EQ(CString(L"-3"), Text(window, IDC_THUMB_MARGINX));
    EXPECT_EQ(CString(L"300"), Text(window, IDC_THUMB_WIDTH));
    EXPECT_EQ(5, Chosen(window, IDC_THUMB_FRAMEEDGE));
    EXPECT_EQ(-1, Chosen(window, IDC_THUMB_NAMEFRAMEEDGE));
    EXPECT_TRUE(Checked(window, IDC_THUMB_QUALITY));
    EXPECT_TRUE(Checked(window, IDC_THUMB_NAMERIGHT));
    EXPECT_EQ(CString(L"$(FileName)\r\n$(Size)"), Text(window, IDC_THUMB_NAMEFORMAT));
    SetCheckAndNotify(window, IDC_THUMB_FRAME, true);
    EXPECT_EQ(3, dialog.m_data.NameFrameEdge);
    dialog.DestroyWindow();
    EXPECT_EQ(1200, GetAppIniInt(L"System", L"ThumbsMaxXres", 0));
    EXPECT_EQ(600, GetAppIniInt(L"System", L"ThumbsMaxYres", 0));
}

TEST_F(ThumbOption, SizesAreClampedWhenTheirEditIsLeftAndMoveTheirSlider)
{
    HWND window = Open();
    Type(window, IDC_THUMB_WIDTH, L"5");
    Leave(window, IDC_THUMB_WIDTH);
    EXPECT_EQ(10, dialog.m_data.ThumbsSize.cx);
    EXPECT_EQ(10, SliderPos(IDC_THUMB_WIDTHSLIDER));
    EXPECT_EQ(CString(L"10"), Text(window, IDC_THUMB_WIDTH));
    Type(window, IDC_THUMB_WIDTH, L"2000");
    Leave(window, IDC_THUMB_WIDTH);
    EXPECT_EQ(800, dialog.m_data.ThumbsSize.cx);
    Type(window, IDC_THUMB_HEIGHT, L"abc");
    Leave(window, IDC_THUMB_HEIGHT);
    EXPECT_EQ(10, dialog.m_data.ThumbsSize.cy);
    Type(window, IDC_THUMB_MARGINY, L"-7");
    Leave(window, IDC_THUMB_MARGINY);
    EXPECT_EQ(-7, dialog.m_data.ThumbsMarginSize.cy);
    Type(window, IDC_THUMB_LIMITY, L"9999");
    Leave(window, IDC_THUMB_LIMITY);
    EXPECT_EQ(600, dialog.m_data.ThumbsLimitSize.cy);
    Type(window, IDC_THUMB_SCALESTEP, L"0");
    Leave(window, IDC_THUMB_SCALESTEP);
    EXPECT_EQ(1, dialog.m_data.ScaleStep);

    // A slider writes its size into the edit.
    dialog.SendDlgItemMessage(IDC_THUMB_HEIGHTSLIDER, TBM_SETPOS, TRUE, 120);
    dialog.SendMessage(WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 120),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_THUMB_HEIGHTSLIDER)->GetSafeHwnd()));
    EXPECT_EQ(120, dialog.m_data.ThumbsSize.cy);
    EXPECT_EQ(CString(L"120"), Text(window, IDC_THUMB_HEIGHT));
    dialog.SendDlgItemMessage(IDC_THUMB_UNSHARPLEVEL, TBM_SETPOS, TRUE, 7);
    dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 7),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_THUMB_UNSHARPLEVEL)->GetSafeHwnd()));
    EXPECT_DOUBLE_EQ(0.7, dialog.m_data.UnsharpLevel);
}

TEST_F(ThumbOption, ResolutionLimitsTheSlidersCannotHoldAreTheDefaults)
{
    WriteAppIniString(L"System", L"ThumbsMaxXres", L"-5");
    WriteAppIniString(L"System", L"ThumbsMaxYres", L"many");
    layout.ThumbsSize = {100000, -4};
    layout.Name = 9;
    layout.Name2Per = 400;
    Open();
    EXPECT_EQ(800, SliderMax(IDC_THUMB_WIDTHSLIDER));
    EXPECT_EQ(600, SliderMax(IDC_THUMB_HEIGHTSLIDER));
    EXPECT_EQ(800, dialog.m_data.ThumbsSize.cx);
    EXPECT_EQ(10, dialog.m_data.ThumbsSize.cy);
    EXPECT_EQ(1, dialog.m_data.Name);
    EXPECT_EQ(100, dialog.m_data.Name2Per);
    dialog.DestroyWindow();
    EXPECT_EQ(800, GetAppIniInt(L"System", L"ThumbsMaxXres", 0));
    EXPECT_EQ(600, GetAppIniInt(L"System", L"ThumbsMaxYres", 0));
}

TEST_F(ThumbOption, TheInformationTextKeepsItsLineBreaksAsBackslashNAndIsCut)
{
    EXPECT_EQ(CString(L"a\r\nb"), CThumbOption::FormatToEdit(L"a\\nb"));
    HWND window = Open();
    Type(window, IDC_THUMB_NAMEFORMAT, L"$(Dir)\r\n$(Name)");
    Leave(window, IDC_THUMB_NAMEFORMAT);
    EXPECT_STREQ(L"$(Dir)\\n$(Name)", dialog.m_data.NameFormat);
    CString longText(L'x', 400);
    Type(window, IDC_THUMB_NAMEFORMAT, longText);
    Leave(window, IDC_THUMB_NAMEFORMAT);
    EXPECT_EQ(255u, wcslen(dialog.m_data.NameFormat));
}

TEST_F(ThumbOption, ChecksCombosRadiosAndPickersWriteTheirFields)
{
    layout.colSelectText = RGB(1, 2, 3);
    HWND window = Open();
    SetCheckAndNotify(window, IDC_THUMB_QUALITY, false);
    EXPECT_EQ(0, dialog.m_data.ScaleMode);
    SetCheckAndNotify(window, IDC_THUMB_QUALITY, true);
    EXPECT_EQ(10, dialog.m_data.ScaleMode);
    SetCheckAndNotify(window, IDC_THUMB_LIMITCHECK, false);
    EXPECT_FALSE(dialog.m_data.LimitCheck);
    Choose(window, IDC_THUMB_NAMEFRAMEEDGE, 7);
    EXPECT_EQ(10, dialog.m_data.NameFrameEdge);
    SetCheckAndNotify(window, IDC_THUMB_NAMENONE, true);
    EXPECT_EQ(0, dialog.m_data.Name);
    Pick(window, IDC_THUMB_COLARC, RGB(9, 8, 7));
    EXPECT_EQ(RGB(9, 8, 7), dialog.m_data.colArcDraw);
    Pick(window, IDC_THUMB_COLSELTEXT, RGB(200, 0, 0));
    Pick(window, IDC_THUMB_COLSELTEXT, CLR_DEFAULT);
    EXPECT_EQ(RGB(1, 2, 3), dialog.m_data.colSelectText);
}

TEST_F(ThumbOption, TheFontDialogSetsTheFontAndTheTextColour)
{
    layout.colText = RGB(0, 0, 0);
    HWND window = Open();
    CString face;
    {
        HelperThread answer([&] {
            HWND font = WaitForWindow(
                [&](HWND hWnd) { return hWnd != window && IsClass(hWnd, L"#32770") && GetDlgItem(hWnd, 0x473); },
                30000);
            if (!font)
                return;
            // The colour list's red entry (the font dialog's colours are COLORREFs in the items).
            HWND colours = GetDlgItem(font, 0x473);
            for (int i = 0; i < static_cast<int>(SendMessageW(colours, CB_GETCOUNT, 0, 0)); ++i)
                if (SendMessageW(colours, CB_GETITEMDATA, i, 0) == RGB(255, 0, 0))
                    SendMessageW(colours, CB_SETCURSEL, i, 0);
            SendMessageW(font, WM_COMMAND, MAKEWPARAM(0x473, CBN_SELCHANGE), reinterpret_cast<LPARAM>(colours));
            face = TextOf(GetDlgItem(font, 0x470)); // the face-name box
            PostMessageW(font, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_THUMB_FONT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_THUMB_FONT)));
    }
    EXPECT_EQ(RGB(255, 0, 0), dialog.m_data.colText);
    EXPECT_FALSE(face.IsEmpty());
    EXPECT_EQ(face, CString(dialog.m_data.font.lfFaceName));
}

TEST_F(ThumbOption, ThePreviewShowsTheClipboardPictureInTheCell)
{
    HGLOBAL red = SolidDib(40, 30, RGB(255, 0, 0));
    {
        ClipboardDib clip(GlobalLock(red), GlobalSize(red));
        GlobalUnlock(red);
        layout.colBackGround = RGB(0, 0, 255);
        Open();
    }
    GlobalFree(red);
    EXPECT_EQ(40, GetDibWidth(dialog.GetSample()));
    CRect client;
    dialog.GetClientRect(&client);
    MemoryCanvas canvas(client.Width(), client.Height(), RGB(0, 255, 0));
    dialog.DrawPreview(canvas.DC());
    const CRect cell = dialog.GetPreviewCell();
    EXPECT_GT(canvas.CountColour(cell, RGB(255, 0, 0)), 0);
    EXPECT_GT(canvas.CountColour(cell, RGB(0, 0, 255)), 0);
    // Outside the scaled cell the preview is the button face.
    const CRect area = dialog.GetPreviewRect();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), canvas.Pixel(area.left, area.top));
}

// A CF_DIB from another program is checked like any picture from outside: one the image library
// refuses is not drawn (the built-in sample is).
TEST_F(ThumbOption, ABadClipboardPictureGivesTheBuiltInSample)
{
    BITMAPINFOHEADER header = {sizeof(header), 0x40000000, 0x40000000, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> bytes(sizeof(header) + 64);
    memcpy(bytes.data(), &header, sizeof(header));
    {
        ClipboardDib clip(bytes.data(), bytes.size());
        Open();
    }
    ASSERT_NE(nullptr, dialog.GetSample());
    EXPECT_EQ(400, GetDibWidth(dialog.GetSample()));
    EXPECT_EQ(267, GetDibHeight(dialog.GetSample()));
    EXPECT_EQ(8, GetDibBitCount(dialog.GetSample()));
}

TEST(ThumbOptionCommand, OkAppliesTheLayoutAndCancelLeavesTheFileByteForByte)
{
    FrameProgram program([] {
        WriteAppIniInt(L"System", L"ThumbsMaxXres", 800);
        WriteAppIniInt(L"System", L"ThumbsMaxYres", 600);
    });
    ASSERT_NE(nullptr, program.Frame());
    CKWDoc* doc = program.Document();
    doc->SaveSettings();
    const CString file = theAppIni.GetPath();
    const std::string before = FrameworkScratchFolder::ReadFile(file);
    auto run = [&](int button) {
        HelperThread driver([&] {
            HWND window = WaitForDialog(L"サムネイル設定", 30000);
            if (!window)
                return;
            Type(window, IDC_THUMB_WIDTH, L"150");
            Leave(window, IDC_THUMB_WIDTH);
            SetCheckAndNotify(window, IDC_THUMB_FRAME, true);
            Shot(window, L"thumb_settings.bmp");
            PostMessageW(window, WM_COMMAND, button, 0);
        });
        doc->OnCmdMsg(ID_DOC_THUMB_SETTINGS, CN_COMMAND, nullptr, nullptr);
    };
    run(IDCANCEL);
    EXPECT_EQ(before, FrameworkScratchFolder::ReadFile(file));
    EXPECT_NE(150, doc->GetThumbsSize().cx);
    const int repaints = program.m_hints.Count(HintRedraw);
    run(IDOK);
    EXPECT_EQ(150, doc->GetThumbsSize().cx);
    EXPECT_TRUE(doc->Frame);
    EXPECT_EQ(CString(L"150,300"), ReadSetting(L"KWDoc", L"ThumbsSize"));
    EXPECT_EQ(repaints + 1, program.m_hints.Count(HintRedraw));
}
