#include "framework/CPrintDialog.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd), m_pd()
{
    m_pd.lStructSize = sizeof(m_pd);
    // Wine calls only the print hook, even for the set-up form: both hooks are the same one.
    m_pd.Flags = dwFlags | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
    if (bPrintSetupOnly)
        m_pd.Flags |= PD_PRINTSETUP;
    m_pd.lpfnPrintHook = reinterpret_cast<LPPRINTHOOKPROC>(&AfxCommDlgProc);
    m_pd.lpfnSetupHook = reinterpret_cast<LPSETUPHOOKPROC>(&AfxCommDlgProc);
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDevMode)
        ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames)
        ::GlobalFree(m_pd.hDevNames);
}

INT_PTR CPrintDialog::DoModal()
{
    m_pd.Flags |= PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
    m_pd.lpfnPrintHook = reinterpret_cast<LPPRINTHOOKPROC>(&AfxCommDlgProc);
    m_pd.lpfnSetupHook = reinterpret_cast<LPSETUPHOOKPROC>(&AfxCommDlgProc);
    if (!m_pd.hInstance && (m_pd.Flags & (PD_ENABLEPRINTTEMPLATE | PD_ENABLESETUPTEMPLATE)))
        m_pd.hInstance = AfxGetResourceHandle();
    m_pd.hwndOwner = PreModal();
    HookCommonDialog();
    BOOL chosen = ::PrintDlgW(&m_pd);
    UnhookCommonDialog();
    PostModal();
    return chosen ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    // The system fills fresh settings: earlier ones go first.
    if (m_pd.hDevMode) {
        ::GlobalFree(m_pd.hDevMode);
        m_pd.hDevMode = nullptr;
    }
    if (m_pd.hDevNames) {
        ::GlobalFree(m_pd.hDevNames);
        m_pd.hDevNames = nullptr;
    }
    DWORD flags = m_pd.Flags;
    // Nothing is shown, not even the system's warning that there is no printer.
    m_pd.Flags = (flags | PD_RETURNDEFAULT | PD_NOWARNING) & ~(PD_RETURNDC | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK);
    BOOL found = ::PrintDlgW(&m_pd);
    m_pd.Flags = flags;
    return found;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (!m_pd.hDevNames)
        return nullptr;
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(m_pd.hDevNames));
    if (!names)
        return nullptr;
    auto* mode = m_pd.hDevMode ? static_cast<DEVMODEW*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
    LPCWSTR base = reinterpret_cast<LPCWSTR>(names);
    m_pd.hDC = ::CreateDCW(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode);
    if (mode)
        ::GlobalUnlock(m_pd.hDevMode);
    ::GlobalUnlock(m_pd.hDevNames);
    return m_pd.hDC;
}

CString CPrintDialog::DevNamesField(WORD DEVNAMES::*offset) const
{
    CString field;
    if (!m_pd.hDevNames)
        return field;
    if (auto* names = static_cast<DEVNAMES*>(::GlobalLock(m_pd.hDevNames))) {
        field = reinterpret_cast<LPCWSTR>(names) + names->*offset;
        ::GlobalUnlock(m_pd.hDevNames);
    }
    return field;
}

CString CPrintDialog::GetDeviceName() const
{
    CString name = DevNamesField(&DEVNAMES::wDeviceOffset);
    if (name.IsEmpty()) {
        if (LPDEVMODEW mode = GetDevMode()) {
            name = CString(mode->dmDeviceName, static_cast<int>(wcsnlen(mode->dmDeviceName, CCHDEVICENAME)));
            ::GlobalUnlock(m_pd.hDevMode);
        }
    }
    return name;
}

CString CPrintDialog::GetDriverName() const
{
    return DevNamesField(&DEVNAMES::wDriverOffset);
}

CString CPrintDialog::GetPortName() const
{
    return DevNamesField(&DEVNAMES::wOutputOffset);
}

LPDEVMODEW CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode ? static_cast<LPDEVMODEW>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        if (LPDEVMODEW mode = GetDevMode()) {
            int copies = mode->dmCopies;
            ::GlobalUnlock(m_pd.hDevMode);
            return copies;
        }
    }
    return m_pd.nCopies;
}
