// Base of the common dialogs (file, colour, font, print). The system makes and runs the dialog;
// the framework's hook binds the C++ object to it at WM_INITDIALOG, so the object's message map,
// OnInitDialog, DoDataExchange and OnOK run inside the system's dialog.
#pragma once

#include "framework/CDialog.h"

class CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd);

protected:
    // Reads the controls back, then lets the system's dialog close.
    void OnOK() override;
    void OnCancel() override;

    // Around the system call that shows the dialog: the next common dialog made on this thread
    // is bound to this object.
    void HookCommonDialog();
    void UnhookCommonDialog();

    friend UINT_PTR CALLBACK AfxCommDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The hook procedure of every framework common dialog.
UINT_PTR CALLBACK AfxCommDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
