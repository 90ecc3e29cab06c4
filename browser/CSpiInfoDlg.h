// What is known of one plug-in: its own information texts and file patterns, its file's name, size
// and date, and the values of its version resource.
#pragma once

#include "framework/Framework.h"

class CSpiInfoDlg : public CDialog
{
public:
    enum { IDD = 167, VersionFields = 8 };

    explicit CSpiInfoDlg(CWnd* pParent = nullptr);

    // Before DoModal: the plug-in by its file name (without extension) and kind (0 image,
    // 1 archive); one that is not loaded leaves every field empty.
    void SetPlugin(const wchar_t* fileName, int kind);

    CString m_name;
    CString m_apiVersion;
    CString m_open;
    CString m_extensions;
    CString m_fileInfo;
    // CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, OriginalFilename,
    // ProductName, ProductVersion.
    CString m_version[VersionFields];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
