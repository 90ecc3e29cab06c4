#include "browser/CAboutDlg.h"

#include "browser/CKWApp.h"
#include "foundation/NumberFormat.h"
#include "foundation/VyxSystem.h"
#include "res/resource.h"

namespace {

CString MemoryText(ULONGLONG value)
{
    CString text;
    FormatNumberEx(text, value, 1, 1, 0, 2);
    return text;
}

void SetBar(CWnd* dialog, int id, int low, int high, int position)
{
    // Only changes are sent: an update before every message must not make messages of its own.
    CWnd* bar = dialog->GetDlgItem(id);
    if (!bar)
        return;
    if (bar->SendMessage(PBM_GETRANGE, TRUE) != low || bar->SendMessage(PBM_GETRANGE, FALSE) != high)
        bar->SendMessage(PBM_SETRANGE32, low, high);
    if (bar->SendMessage(PBM_GETPOS) != position)
        bar->SendMessage(PBM_SETPOS, position);
}

void SetFigure(CWnd* dialog, int id, LPCWSTR format, ULONGLONG value)
{
    CString text;
    text.Format(format, static_cast<LPCWSTR>(MemoryText(value)));
    CString shown;
    dialog->GetDlgItemText(id, shown);
    if (shown != text)
        dialog->SetDlgItemText(id, text);
}

} // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString version;
    GetVersionInfoString(version, nullptr, L"FileVersion");
    CString text;
    text.Format(L"Version %s", static_cast<LPCWSTR>(version));
    SetDlgItemText(IDC_ABOUT_VERSION, text);
    CString windows;
    GetWindowsVersionText(windows);
    SetDlgItemText(IDC_ABOUT_WINDOWS, windows);
    UpdateMemoryFigures();
    if (m_link.SubclassDlgItem(IDC_ABOUT_HOMEPAGE, this))
        m_link.SetLink(CKWApp::GetHomePage());
    return TRUE;
}

void CAboutDlg::UpdateMemoryFigures()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (::GlobalMemoryStatusEx(&status)) {
        SetBar(this, IDC_ABOUT_PHYSICAL_BAR, 0, 100, static_cast<int>(status.dwMemoryLoad));
        SetFigure(this, IDC_ABOUT_PHYSICAL, L"物理メモリ %s", status.ullTotalPhys);
        SetFigure(this, IDC_ABOUT_PHYSICAL_FREE, L"空きメモリ %s", status.ullAvailPhys);
        ULONGLONG total = status.ullTotalPageFile;
        int used = total ? static_cast<int>((total - status.ullAvailPageFile) * 100 / total) : 0;
        SetBar(this, IDC_ABOUT_PAGEFILE_BAR, 0, 100, used);
        SetFigure(this, IDC_ABOUT_PAGEFILE, L"仮想メモリ %s", total);
        SetFigure(this, IDC_ABOUT_PAGEFILE_FREE, L"空きメモリ %s", status.ullAvailPageFile);
        return;
    }
    MEMORYSTATUS classic = {};
    classic.dwLength = sizeof(classic);
    ::GlobalMemoryStatus(&classic);
    SetBar(this, IDC_ABOUT_PHYSICAL_BAR, 0, static_cast<int>(classic.dwTotalPhys),
           static_cast<int>(classic.dwTotalPhys - classic.dwAvailPhys));
    SetFigure(this, IDC_ABOUT_PHYSICAL, L"物理メモリ %s", classic.dwTotalPhys);
    SetFigure(this, IDC_ABOUT_PHYSICAL_FREE, L"空きメモリ %s", classic.dwAvailPhys);
    SetBar(this, IDC_ABOUT_PAGEFILE_BAR, 0, static_cast<int>(classic.dwTotalPageFile),
           static_cast<int>(classic.dwTotalPageFile - classic.dwAvailPageFile));
    SetFigure(this, IDC_ABOUT_PAGEFILE, L"仮想メモリ %s", classic.dwTotalPageFile);
    SetFigure(this, IDC_ABOUT_PAGEFILE_FREE, L"空きメモリ %s", classic.dwAvailPageFile);
}

BOOL CAboutDlg::PreTranslateMessage(MSG* pMsg)
{
    // The figures follow the system while the box is open.
    if (m_hWnd)
        UpdateMemoryFigures();
    return CDialog::PreTranslateMessage(pMsg);
}
