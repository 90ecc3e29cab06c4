#include "fileops/VFileAccDlg.h"

#include "controls/ProgressDlg.h"
#include "fileops/FileCopy.h"
#include "foundation/NumberFormat.h"
#include "res/resource.h"

#include <algorithm>

VFileAccDlg* VFileAccDlg::s_active = nullptr;

namespace {

const int kBytesRow = 0;
const int kFileBarRow = 1;
const int kJobBarRow = 2;
const int kStatusRow = 3;
// A copy reports many times a second (three times for each small file); the panel is drawn and
// the screen follows a few times a second.
const DWORD kRefreshInterval = 200;
const UINT_PTR kRefreshTimer = 1;

CString ByteText(ULONGLONG bytes)
{
    CString text;
    return FormatNumberEx(text, bytes, TRUE, 1, 0, -1);
}

} // namespace

BEGIN_MESSAGE_MAP(VFileAccDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

VFileAccDlg::VFileAccDlg(CWnd* parent) : CDialog(IDD_FILE_ACCESS, parent) {}

VFileAccDlg::~VFileAccDlg()
{
    // Also when the job ended by an exception: the owner must not stay disabled.
    DestroyWindow();
}

BOOL VFileAccDlg::Create(CWnd* parent)
{
    m_owner = CWnd::GetSafeOwner(parent);
    if (m_owner && m_owner->IsWindowEnabled()) {
        m_owner->EnableWindow(FALSE);
        m_ownerDisabled = TRUE;
    }
    if (!CDialog::Create(IDD_FILE_ACCESS, m_owner)) {
        if (m_ownerDisabled && m_owner && ::IsWindow(m_owner->GetSafeHwnd()))
            m_owner->EnableWindow(TRUE);
        m_ownerDisabled = FALSE;
        return FALSE;
    }
    m_previousActive = s_active;
    s_active = this;
    return TRUE;
}

BOOL VFileAccDlg::DestroyWindow()
{
    m_perFileDone.clear();
    if (s_active == this)
        s_active = m_previousActive;
    m_previousActive = nullptr;
    if (m_ownerDisabled && m_owner && ::IsWindow(m_owner->GetSafeHwnd()))
        m_owner->EnableWindow(TRUE);
    m_ownerDisabled = FALSE;
    if (!GetSafeHwnd())
        return FALSE;
    return CDialog::DestroyWindow();
}

void VFileAccDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILEACC_PANEL, m_panel);
}

BOOL VFileAccDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_panel.SetCellBitmap(IDB_MATRIX_CELLS_COPY);
    // Its four rows whatever the dialog's font makes of the panel's height.
    m_panel.SetGrid(-1, kStatusRow + 1);
    m_panel.SetPaintInterval(kRefreshInterval);
    SetTimer(kRefreshTimer, kRefreshInterval, nullptr);
    m_perFileDone.assign(static_cast<size_t>(std::max(m_panel.GetRows(), m_panel.GetColumns())), 0);
    return TRUE;
}

void VFileAccDlg::OnOK()
{
    // Enter does not close the window.
}

void VFileAccDlg::OnCancel()
{
    m_cancel = 1;
    SetDlgItemText(IDCANCEL, L"中断待機");
}

void VFileAccDlg::ClearCancel()
{
    m_cancel = 0;
    if (GetSafeHwnd())
        SetDlgItemText(IDCANCEL, L"中止");
}

void VFileAccDlg::PumpMessages()
{
    const DWORD start = GetTickCount();
    PumpProgressMessages(this);
    m_lastPump = GetTickCount();
    // On a starved machine a pump (and the painting it lets through) can take longer than the
    // copying between two pumps: the next one waits four times as long as this one took.
    m_pumpPause = std::min(kLongestPumpPause, std::max(kPumpInterval, 4 * (m_lastPump - start)));
}

bool VFileAccDlg::IsPumpDue() const
{
    return GetTickCount() - m_lastPump >= m_pumpPause;
}

int VFileAccDlg::CheckCancel()
{
    if (IsPumpDue())
        PumpMessages();
    int cancel = m_cancel;
    m_cancel = 0;
    return cancel;
}

void VFileAccDlg::SetFileName(LPCWSTR name)
{
    m_fileName = name ? name : L"";
    if (GetTickCount() - m_nameShown >= kRefreshInterval)
        ShowPending();
}

void VFileAccDlg::ShowPending()
{
    if (!GetSafeHwnd())
        return;
    CString shown;
    GetDlgItemText(IDC_FILEACC_NAME, shown);
    if (shown != m_fileName)
        SetDlgItemText(IDC_FILEACC_NAME, m_fileName);
    m_nameShown = GetTickCount();
    m_panel.PaintChanged();
}

void VFileAccDlg::ShowFinished()
{
    DrawCounters();
    ShowPending();
    if (GetSafeHwnd())
        UpdateWindow();
}

void VFileAccDlg::OnTimer(UINT_PTR id)
{
    if (id == kRefreshTimer) {
        DrawCounters();
        ShowPending();
    } else {
        CDialog::OnTimer(id);
    }
}

void VFileAccDlg::SetFileRange(int lower, int upper)
{
    m_fileLower = lower;
    m_fileUpper = upper;
    m_filePos = lower;
}

void VFileAccDlg::SetTotalBytes(ULONGLONG total)
{
    m_bytesTotal = total;
    m_startTick = GetTickCount();
    m_bytesDone = 0;
}

void VFileAccDlg::FileDone(int count)
{
    m_filePos += count;
    if (GetTickCount() - m_countersDrawn >= kRefreshInterval)
        DrawCounters();
}

DWORD VFileAccDlg::CopyCallback(DWORD, DWORD bytes, DWORD totalLow, DWORD totalHigh)
{
    if (!s_active || !s_active->GetSafeHwnd())
        return 1;
    s_active->Report(bytes, static_cast<ULONGLONG>(totalHigh) << 32 | totalLow);
    return static_cast<DWORD>(s_active ? s_active->m_cancel : 1);
}

void VFileAccDlg::Report(DWORD bytes, ULONGLONG total)
{
    if (m_perFileDone.empty())
        m_perFileDone.assign(1, 0);
    m_reported = true;
    if (bytes == 0) {
        m_fileTotal = total;
        m_perFileDone[0] = 0;
    }
    if (bytes != 0 && bytes != kCopyEndCall) {
        m_bytesDone += bytes;
        m_perFileDone[0] += bytes;
    }
    // The pump is what a report costs most (a round trip to the system each time): the window
    // answers at its own pace, not once per block or per small file, and the panel is drawn at
    // its own pace too.
    if (IsPumpDue()) {
        VFileAccDlg* self = this;
        PumpMessages();
        // The window may go while the pump runs (the owner closed it).
        if (s_active != self || !GetSafeHwnd())
            return;
    }
    if (GetTickCount() - m_countersDrawn >= kRefreshInterval)
        DrawCounters();
}

void VFileAccDlg::DrawCounters()
{
    m_countersDrawn = GetTickCount();
    // The bytes and the bars once the copier has reported; the count from the start.
    if (m_reported && !m_perFileDone.empty()) {
        CString done = ByteText(m_bytesDone), all = ByteText(m_bytesTotal), line;
        line.Format(L"%7s/%7s", done.GetString(), all.GetString());
        m_panel.DrawText(0, kBytesRow, line, CMatrixStatic::AlignRight);
        DrawBar(kJobBarRow, m_bytesDone, m_bytesTotal);
        DrawBar(kFileBarRow, m_perFileDone[0], m_fileTotal);
    }
    DrawStatus();
}

void VFileAccDlg::DrawBar(int row, ULONGLONG done, ULONGLONG total)
{
    const int columns = m_panel.GetColumns();
    const ULONGLONG full = static_cast<ULONGLONG>(columns) * CMatrixStatic::kFillSteps;
    // Nothing to do counts as done.
    ULONGLONG value = total ? std::min(full, full * std::min(done, total) / total) : full;
    int whole = static_cast<int>(value / CMatrixStatic::kFillSteps);
    for (int column = 0; column < columns; ++column) {
        int state = 0;
        if (column < whole)
            state = CMatrixStatic::kFillSteps;
        else if (column == whole)
            state = static_cast<int>(value % CMatrixStatic::kFillSteps);
        m_panel.SetCell(column, row, state);
    }
}

CString VFileAccDlg::FormatTimeLeft(ULONGLONG seconds)
{
    CString text;
    if (seconds == 0 || seconds >= 1000ULL * 3600)
        return text;
    unsigned s = static_cast<unsigned>(seconds);
    if (s < 60)
        text.Format(L"%ds", s);
    else if (s < 3600)
        text.Format(L"%dm%02ds", s / 60, s % 60);
    else
        text.Format(L"%dh%02dm%02ds", s / 3600, s / 60 % 60, s % 60);
    return text;
}

void VFileAccDlg::DrawStatus()
{
    const int columns = m_panel.GetColumns();
    if (!m_panel.GetSafeHwnd() || columns == 0)
        return;
    // The whole row as one text, so that only the characters that changed are drawn again.
    CString row(L' ', columns), count;
    count.Format(L"%d/%d", m_filePos, m_fileUpper);
    auto put = [&row, columns](int column, const CString& text) {
        for (int i = 0; i < text.GetLength(); ++i)
            if (column + i >= 0 && column + i < columns)
                row.SetAt(column + i, text[i]);
    };
    put(columns - 1 - count.GetLength(), count);
    DWORD elapsed = GetTickCount() - m_startTick;
    ULONGLONG rate = elapsed ? m_bytesDone * 1000 / elapsed : 0;
    if (rate != 0) {
        CString rateText = ByteText(rate) + L"/s", line;
        CString left = FormatTimeLeft((m_bytesTotal > m_bytesDone ? m_bytesTotal - m_bytesDone : 0) / rate);
        line.Format(L"%8s %10s", rateText.GetString(), left.GetString());
        put(1, line);
    }
    m_panel.DrawText(0, kStatusRow, row, 0);
}
