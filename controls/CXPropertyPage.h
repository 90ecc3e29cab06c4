// One page of the tabbed sheet: a modeless child dialog from a template, laid over the sheet's
// display area. Its caption (the tab's text) is the string-table entry with the template's id.
// Enter and Escape never end a page; once in a sheet, a page deletes itself with its window.
#pragma once

#include "framework/Framework.h"

class CXPropertySheet;

class CXPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CXPropertyPage)
public:
    explicit CXPropertyPage(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CXPropertyPage() override;

    // Creates the window inside the sheet, over its display area.
    virtual BOOL Create(CXPropertySheet* pSheet);
    // The first child window then always covers the whole page.
    CXPropertyPage* SetFitFirstChild(BOOL bFit);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CString m_strCaption;
    UINT m_nTemplateID;
    BOOL m_bCreated = FALSE;
    BOOL m_bFitFirstChild = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;
    afx_msg void OnSize(UINT nType, int cx, int cy);

    using CDialog::Create;

    DECLARE_MESSAGE_MAP()
};
