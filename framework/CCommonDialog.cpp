#include "framework/CCommonDialog.h"
#include "framework/CException.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

namespace {

// The dialog object whose system dialog is about to appear on this thread.
thread_local CCommonDialog* t_pendingDialog = nullptr;

} // namespace

CCommonDialog::CCommonDialog(CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
}

void CCommonDialog::HookCommonDialog()
{
    t_pendingDialog = this;
}

void CCommonDialog::UnhookCommonDialog()
{
    if (t_pendingDialog == this)
        t_pendingDialog = nullptr;
    // The system destroyed its dialog; an object still bound lets go of the stale handle.
    if (m_hWnd && !::IsWindow(m_hWnd))
        Detach();
}

void CCommonDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return; // the user was told; the dialog stays
    Default();
}

void CCommonDialog::OnCancel()
{
    Default();
}

UINT_PTR CALLBACK AfxCommDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    try {
        CCommonDialog* dialog = t_pendingDialog;
        if (!dialog || dialog->m_hWnd || CWnd::FromHandlePermanent(hWnd))
            return 0;
        t_pendingDialog = nullptr;
        // Bound from here on: later messages reach the object's map before the system's dialog.
        if (!dialog->SubclassWindow(hWnd))
            return 0;
        return static_cast<UINT_PTR>(dialog->OnInitDialog());
    } catch (...) {
        MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
        AfxProcessDispatchException(&msg);
        return 0;
    }
}
