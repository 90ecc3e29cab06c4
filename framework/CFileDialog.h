// The open and save file dialogs (Explorer style). Filters are written "Text|*.txt|All|*.*||".
// With OFN_ALLOWMULTISELECT, GetStartPosition/GetNextPathName walk the chosen files.
#pragma once

#include "framework/CCommonDialog.h"

#include <string>

class CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr, LPCWSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);

    // The system's record; lpstrFile may point at a larger buffer for many files.
    OPENFILENAMEW m_ofn;
    OPENFILENAMEW& GetOFN() { return m_ofn; }

    // IDOK or IDCANCEL (CommDlgExtendedError tells a failure from a cancel).
    INT_PTR DoModal() override;

    // The chosen file (while the dialog is open: the one in its name box).
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const;
    // Only while the dialog is open.
    CString GetFolderPath() const;
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    // Only while the dialog is open (from OnInitDone on).
    void SetControlText(int nID, LPCWSTR lpsz);
    void HideControl(int nID);
    void SetDefExt(LPCWSTR lpsz);

protected:
    // TRUE refuses the name: the dialog stays open.
    virtual BOOL OnFileNameOK();
    virtual void OnInitDone();
    virtual void OnFileNameChange();
    virtual void OnFolderChange();
    virtual void OnTypeChange();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    std::wstring m_strFilter; // the filter with its bars turned into NULs
    wchar_t m_szFileTitle[64];
    wchar_t m_szFileName[MAX_PATH];

private:
    CString SendToDialog(UINT message) const;
};
