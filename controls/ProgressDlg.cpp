#include "controls/ProgressDlg.h"

#include "res/resource.h"

#include <commctrl.h>

CProgressDlgCore::CProgressDlgCore(UINT templateId, int barId, int percentId, int textId, UINT titleId)
    : m_titleId(titleId), m_templateId(templateId), m_barId(barId), m_percentId(percentId), m_textId(textId)
{
}

CProgressDlgCore::~CProgressDlgCore()
{
    // Also when the job ended by an exception: the owner must not stay disabled.
    DestroyWindow();
}

BOOL CProgressDlgCore::CreateFor(CWnd* parent)
{
    m_owner = CWnd::GetSafeOwner(parent);
    if (m_owner && m_owner->IsWindowEnabled()) {
        m_owner->EnableWindow(FALSE);
        m_ownerDisabled = TRUE;
    }
    if (!CDialog::Create(m_templateId, m_owner)) {
        EnableOwnerAgain();
        return FALSE;
    }
    return TRUE;
}

void CProgressDlgCore::EnableOwnerAgain()
{
    if (m_ownerDisabled && m_owner && ::IsWindow(m_owner->GetSafeHwnd()))
        m_owner->EnableWindow(TRUE);
    m_ownerDisabled = FALSE;
}

BOOL CProgressDlgCore::DestroyWindow()
{
    EnableOwnerAgain();
    if (!GetSafeHwnd())
        return FALSE;
    return CDialog::DestroyWindow();
}

void CProgressDlgCore::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, m_barId, m_bar);
}

void CProgressDlgCore::OnOK()
{
    // Enter does not close the dialog.
}

void CProgressDlgCore::OnCancel()
{
    // The abort button only raises the flag; the job closes the dialog.
    m_cancel = TRUE;
}

void CProgressDlgCore::InitBarAndTitle()
{
    if (m_bar.GetSafeHwnd()) {
        m_bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(m_lower, m_upper));
        m_bar.SendMessage(PBM_SETSTEP, static_cast<WPARAM>(m_step));
        m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_lower));
    }
    CString title;
    if (title.LoadString(m_titleId))
        SetWindowText(title);
}

void PumpProgressMessages(CWnd* dialog)
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (dialog && dialog->GetSafeHwnd() && ::IsDialogMessageW(dialog->GetSafeHwnd(), &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CProgressDlgCore::PumpMessages()
{
    PumpProgressMessages(this);
}

int CProgressDlgCore::Percentage(int pos, int lower, int upper)
{
    if (upper == lower)
        return pos >= upper ? 100 : 0;
    int p = static_cast<int>(static_cast<LONGLONG>(pos - lower) * 100 / (upper - lower));
    return p == 100 ? 100 : p % 100;
}

void CProgressDlgCore::ShowPercentage(int pos)
{
    if (!GetSafeHwnd())
        return;
    CString text;
    text.Format(L"%d%c", Percentage(pos, m_lower, m_upper), L'%');
    CString shown;
    GetDlgItemText(m_percentId, shown);
    if (shown != text)
        SetDlgItemText(m_percentId, text);
}

int CProgressDlgCore::SetPos(int pos)
{
    PumpMessages();
    int previous = 0;
    if (m_bar.GetSafeHwnd())
        previous = static_cast<int>(m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos)));
    ShowPercentage(pos);
    return previous;
}

void CProgressDlgCore::ShowPosition(int pos)
{
    if (m_bar.GetSafeHwnd())
        m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos));
    ShowPercentage(pos);
}

int CProgressDlgCore::OffsetPos(int delta)
{
    PumpMessages();
    int previous = 0;
    if (m_bar.GetSafeHwnd())
        previous = static_cast<int>(m_bar.SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(delta)));
    ShowPercentage(previous + delta);
    return previous;
}

void CProgressDlgCore::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    if (m_bar.GetSafeHwnd())
        m_bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

void CProgressDlgCore::SetText(LPCWSTR text)
{
    if (GetSafeHwnd())
        SetDlgItemText(m_textId, text);
}

int CProgressDlgCore::CheckCancel()
{
    PumpMessages();
    int cancel = m_cancel;
    m_cancel = 0;
    return cancel;
}

BOOL CProgressDlgCore::Create(CWnd* parent)
{
    return CreateFor(parent ? parent : m_parent);
}

BOOL CProgressDlgCore::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A dialog without a title string keeps its template's title and the bar's own range.
    if (m_titleId)
        InitBarAndTitle();
    return TRUE;
}

// ---- the three dialogs

CProgressDlg::CProgressDlg(UINT titleId)
    : CProgressDlgCore(IDD_PROGRESS, IDC_PROGRESS_BAR, IDC_PROGRESS_PERCENT, IDC_PROGRESS_TEXT,
                       titleId ? titleId : IDS_PROGRESS_TITLE)
{
}

CProgDlg::CProgDlg(UINT titleId)
    : CProgressDlgCore(IDD_PROGRESS_LINES, IDC_PROGRESS_BAR, IDC_PROGRESS_PERCENT, IDC_PROGRESS_TEXT,
                       titleId ? titleId : IDS_PROGRESS_TITLE)
{
}

BOOL CProgDlg::OnInitDialog()
{
    SendDlgItemMessage(IDC_PROGRESS_ICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_INFORMATION)));
    m_cancel = 0;
    return CProgressDlgCore::OnInitDialog();
}

int CProgDlg::IsCanceled()
{
    PumpMessages();
    return m_cancel;
}

VCopyFileDlg::VCopyFileDlg(CWnd* parent)
    : CProgressDlgCore(IDD_COPY_PROGRESS, IDC_COPY_PROGRESS_BAR, IDC_COPY_PROGRESS_PERCENT, IDC_COPY_PROGRESS_TEXT, 0)
{
    m_parent = parent;
}
