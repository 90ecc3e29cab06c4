// The file dialog the option tree's edit opens; its OK button reads "OK".
#pragma once

#include "framework/Framework.h"

class CTreeOptionsFileDialog : public CFileDialog
{
    DECLARE_DYNAMIC(CTreeOptionsFileDialog)
public:
    CTreeOptionsFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr, LPCWSTR lpszFileName = nullptr,
                           DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR lpszFilter = nullptr,
                           CWnd* pParentWnd = nullptr);

protected:
    void OnInitDone() override;
};
