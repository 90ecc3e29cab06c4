// The file-operation progress window and its dot-matrix panel: the texts and bars drawn as the
// copier reports, the time left, cancelling, and the owner and callback given back when it goes.
#include "CopyTestUtil.h"
#include "fileops/FileCopy.h"
#include "fileops/VFileAccDlg.h"
#include "foundation/NumberFormat.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Cell = std::vector<COLORREF>;

Cell CellPixels(CMatrixStatic& panel, int column, int row)
{
    Cell pixels;
    HDC dc = panel.GetSurface().GetMemDC()->GetSafeHdc();
    for (int y = 0; y < CMatrixStatic::kCellHeight; ++y)
        for (int x = 0; x < CMatrixStatic::kCellWidth; ++x)
            pixels.push_back(
                GetPixel(dc, column * CMatrixStatic::kCellWidth + x, row * CMatrixStatic::kCellHeight + y));
    return pixels;
}

// Reads a panel back by comparing each cell with the pictures of the characters and bar states,
// drawn by a panel of its own.
class PanelReader
{
public:
    explicit PanelReader(UINT cellBitmap)
    {
        m_reference.SetCellBitmap(cellBitmap);
        m_reference.SetGrid(96, 2);
        for (int state = 0; state <= CMatrixStatic::kFillSteps; ++state)
            m_reference.SetCell(state, 1, state);
        for (int code = 32; code < 128; ++code) {
            wchar_t text[2] = {static_cast<wchar_t>(code), 0};
            m_reference.DrawText(code - 32, 0, text, 0);
        }
    }
    // A row as text: characters as themselves, a cell that is no character as '?'.
    CString Text(CMatrixStatic& panel, int row)
    {
        CString text;
        for (int column = 0; column < panel.GetColumns(); ++column) {
            Cell cell = CellPixels(panel, column, row);
            wchar_t found = L'?';
            for (int code = 32; code < 128 && found == L'?'; ++code)
                if (cell == CellPixels(m_reference, code - 32, 0))
                    found = static_cast<wchar_t>(code);
            text += found;
        }
        return text;
    }
    // A row as bar states, one digit per cell ('?' for a cell that is no bar state).
    CString Bar(CMatrixStatic& panel, int row)
    {
        CString states;
        for (int column = 0; column < panel.GetColumns(); ++column) {
            Cell cell = CellPixels(panel, column, row);
            wchar_t found = L'?';
            for (int state = 0; state <= CMatrixStatic::kFillSteps && found == L'?'; ++state)
                if (cell == CellPixels(m_reference, state, 1))
                    found = static_cast<wchar_t>(L'0' + state);
            states += found;
        }
        return states;
    }

private:
    CMatrixStatic m_reference;
};

class ProgressWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dialog = std::make_unique<VFileAccDlg>();
        ASSERT_TRUE(m_dialog->Create(&m_owner));
        m_columns = m_dialog->m_panel.GetColumns();
        ASSERT_GE(m_columns, 24);
        ASSERT_EQ(4, m_dialog->m_panel.GetRows());
    }
    // The panel as drawn at its next refresh.
    CString Row(int row)
    {
        m_dialog->DrawCounters();
        return m_reader.Text(m_dialog->m_panel, row);
    }
    CString Bar(int row)
    {
        m_dialog->DrawCounters();
        return m_reader.Bar(m_dialog->m_panel, row);
    }
    // A bar of `whole` full cells, then a cell of `part`, then empty cells.
    CString ExpectedBar(int whole, int part)
    {
        CString bar;
        for (int column = 0; column < m_columns; ++column)
            bar += column < whole ? L'5' : column == whole ? static_cast<wchar_t>(L'0' + part) : L'0';
        return bar;
    }
    CString RightAligned(const CString& text, int gapAfter)
    {
        CString row;
        for (int i = 0; i < m_columns - text.GetLength() - gapAfter; ++i)
            row += L' ';
        row += text;
        for (int i = 0; i < gapAfter; ++i)
            row += L' ';
        return row;
    }

    CTestHostWnd m_owner;
    std::unique_ptr<VFileAccDlg> m_dialog;
    PanelReader m_reader{IDB_MATRIX_CELLS_COPY};
    int m_columns = 0;
};

TEST(ProgressTimeLeft, SecondsMinutesAndHoursAsTheWindowShowsThem)
{
    EXPECT_EQ(CString(L"59s"), VFileAccDlg::FormatTimeLeft(59));
    EXPECT_EQ(CString(L"1m01s"), VFileAccDlg::FormatTimeLeft(61));
    EXPECT_EQ(CString(L"59m59s"), VFileAccDlg::FormatTimeLeft(3599));
    EXPECT_EQ(CString(L"1h01m01s"), VFileAccDlg::FormatTimeLeft(3661));
    EXPECT_EQ(CString(L"999h59m59s"), VFileAccDlg::FormatTimeLeft(1000ULL * 3600 - 1));
    EXPECT_EQ(CString(), VFileAccDlg::FormatTimeLeft(1000ULL * 3600));
    EXPECT_EQ(CString(), VFileAccDlg::FormatTimeLeft(0));
}

TEST_F(ProgressWindow, BytesBarsAndCountFollowTheCopiersReports)
{
    VFileAccDlg& dialog = *m_dialog;
    dialog.SetFileRange(0, 3);
    dialog.SetTotalBytes(4000);
    // No bytes done yet: no rate and no time left, only the count.
    dialog.FileDone(0);
    EXPECT_EQ(RightAligned(L"0/3", 1), Row(3));

    // A file of 1000 bytes, half of it done.
    VFileAccDlg::CopyCallback(1, 0, 1000, 0);
    VFileAccDlg::CopyCallback(1, 500, 1000, 0);
    CString done, all, bytes;
    FormatNumberEx(done, 500, TRUE, 1, 0, -1);
    FormatNumberEx(all, 4000, TRUE, 1, 0, -1);
    bytes.Format(L"%7s/%7s", done.GetString(), all.GetString());
    EXPECT_EQ(RightAligned(bytes, 0), Row(0));
    const int cells = m_columns * CMatrixStatic::kFillSteps;
    EXPECT_EQ(ExpectedBar(cells / 2 / 5, cells / 2 % 5), Bar(1));
    EXPECT_EQ(ExpectedBar(cells * 500 / 4000 / 5, cells * 500 / 4000 % 5), Bar(2));
    // The end call adds nothing; the next file starts its bar again.
    VFileAccDlg::CopyCallback(1, kCopyEndCall, 0, 0);
    VFileAccDlg::CopyCallback(1, 0, 3000, 0);
    EXPECT_EQ(ExpectedBar(0, 0), Bar(1));
    VFileAccDlg::CopyCallback(1, 3000, 3000, 0);
    EXPECT_EQ(ExpectedBar(m_columns, 0), Bar(1));
    EXPECT_EQ(ExpectedBar(cells * 3500 / 4000 / 5, cells * 3500 / 4000 % 5), Bar(2));
    // A second has passed since the job began.
    dialog.m_startTick -= 1000;
    dialog.FileDone(2);
    CString status = Row(3);
    EXPECT_EQ(RightAligned(L"2/3", 1).Right(5), status.Right(5));
    // Once bytes are done, the rate shows from column 1.
    EXPECT_EQ(L' ', status[0]);
    EXPECT_NE(-1, status.Find(L"/s"));
}

TEST_F(ProgressWindow, EmptyFilesAndAnEmptyJobDrawFullBarsWithoutDividingByZero)
{
    m_dialog->SetFileRange(0, 1);
    m_dialog->SetTotalBytes(0);
    VFileAccDlg::CopyCallback(1, 0, 0, 0);
    VFileAccDlg::CopyCallback(1, kCopyEndCall, 0, 0);
    EXPECT_EQ(ExpectedBar(m_columns, 0), Bar(1));
    EXPECT_EQ(ExpectedBar(m_columns, 0), Bar(2));
}

TEST_F(ProgressWindow, CancelRaisesTheFlagAndTheButtonWaitsUntilTheJobAnswers)
{
    HWND button = ::GetDlgItem(m_dialog->GetSafeHwnd(), IDCANCEL);
    EXPECT_EQ(CString(L"中止"), TextOf(button));
    // Enter does nothing.
    ::PostMessageW(m_dialog->GetSafeHwnd(), WM_COMMAND, IDOK, 0);
    m_dialog->PumpMessages();
    EXPECT_EQ(0, m_dialog->IsCancelled());
    ::PostMessageW(m_dialog->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    m_dialog->PumpMessages();
    EXPECT_TRUE(::IsWindow(m_dialog->GetSafeHwnd()));
    EXPECT_EQ(CString(L"中断待機"), TextOf(button));
    // The copier is told to stop, again and again, until the job reads the flag.
    EXPECT_EQ(1u, VFileAccDlg::CopyCallback(1, 0, 10, 0));
    EXPECT_EQ(1u, VFileAccDlg::CopyCallback(1, 5, 10, 0));
    EXPECT_EQ(1, m_dialog->CheckCancel());
    EXPECT_EQ(0, m_dialog->CheckCancel());
    m_dialog->ClearCancel();
    EXPECT_EQ(CString(L"中止"), TextOf(button));
}

TEST_F(ProgressWindow, TheOwnerAndTheCallbackAreGivenBackWhenAWindowGoes)
{
    EXPECT_FALSE(m_owner.IsWindowEnabled());
    EXPECT_EQ(m_dialog.get(), VFileAccDlg::GetActive());
    {
        // A second job's window while the first runs: the first gets the callback back after.
        VFileAccDlg inner;
        ASSERT_TRUE(inner.Create(&m_owner));
        EXPECT_EQ(&inner, VFileAccDlg::GetActive());
        inner.DestroyWindow();
        EXPECT_EQ(m_dialog.get(), VFileAccDlg::GetActive());
        EXPECT_FALSE(m_owner.IsWindowEnabled());
    }
    m_dialog.reset();
    EXPECT_EQ(nullptr, VFileAccDlg::GetActive());
    EXPECT_TRUE(m_owner.IsWindowEnabled());
    // With no window the copier is told to stop.
    EXPECT_EQ(1u, VFileAccDlg::CopyCallback(1, 0, 10, 0));
}

TEST_F(ProgressWindow, PanelColoursAreReadAndWrittenBack)
{
    WriteAppIniInt(L"Filer", L"colBackCopyFile", 0x102030);
    VFileAccDlg coloured;
    ASSERT_TRUE(coloured.Create(&m_owner));
    // The panel's background takes the colour; the dots keep the bitmap's own.
    HDC dc = coloured.m_panel.GetSurface().GetMemDC()->GetSafeHdc();
    EXPECT_EQ(COLORREF(0x102030), GetPixel(dc, CMatrixStatic::kCellWidth - 1, CMatrixStatic::kCellHeight - 1));
    EXPECT_EQ(COLORREF(RGB(23, 63, 103)), GetPixel(dc, 0, 0));
    coloured.DestroyWindow();
    EXPECT_EQ(0x102030, GetAppIniInt(L"Filer", L"colBackCopyFile", -1));
    EXPECT_EQ(16751466, GetAppIniInt(L"Filer", L"colOnCopyFile", -1));
    WriteAppIniInt(L"Filer", L"colBackCopyFile", 0);
}

} // namespace
