// The plug-in page of the options sheet: which plug-ins load and judge files, the plug-in folder,
// and the file sizes from which plug-ins leave files alone.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPagePlugin : public COptPage
{
public:
    explicit COptPagePlugin(COptPageBoot::OPTIONSDATA* pData);

    enum { MaxLimit = 2048 };

protected:
    void PrepareControls() override;
    void LoadMembers() override;
    void SetAnchors() override;
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnChangeDisplayLimit();
    afx_msg void OnChangeArchiveLimit();
    DECLARE_MESSAGE_MAP()

    // A typed limit above MaxLimit (a negative one too) is ignored; another is stored and shown
    // again as "%d".
    void TakeLimit(UINT id, CString& text, int& field);

    COptPageBoot::OPTIONSDATA* m_pData;
    CEditButtonCtrl m_folder;
    CString m_displayLimit;
    CString m_archiveLimit;
};
