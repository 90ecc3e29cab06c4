// A dialog box from a template: modal through DoModal (the framework's modal loop, the owner
// disabled meanwhile) or modeless through Create. OnInitDialog fills the controls from the
// member variables (UpdateData(FALSE)); OnOK reads and checks them back before closing.
#pragma once

#include "framework/CWnd.h"

class CFont;

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modeless. Without a parent the dialog is owned by the main window, when there is one.
    virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                                void* lpDialogInit = nullptr);
    virtual BOOL CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);

    // Modal: the template set here (or by the constructor) is used by DoModal.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, void* lpDialogInit = nullptr);
    BOOL InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);
    // The EndDialog result, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();

    void EndDialog(int nResult);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const;

    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont* pFont);
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Commands the dialog does not handle go to its owner, then to the thread.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    LPCWSTR m_lpszTemplateName;
    HGLOBAL m_hDialogTemplate;
    LPCDLGTEMPLATE m_lpDialogTemplate;
    void* m_lpDialogInit;
    CWnd* m_pParentWnd;
    HWND m_hWndTop; // the top-level window DoModal disabled besides the owner
    UINT m_nIDHelp;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    virtual void PreInitDialog();
    HWND PreModal();
    void PostModal();

    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);

    friend INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The dialog procedure of framework dialogs (the window procedure is AfxWndProc).
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
