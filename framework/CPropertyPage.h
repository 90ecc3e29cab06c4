// One page of a property sheet: a child dialog from a template that the sheet creates when the
// page is first shown. The sheet's notifications (PSN_*) arrive as the virtuals below; leaving a
// page runs its data exchange, and a failed check keeps the page (and the sheet) open.
#pragma once

#include "framework/CDialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0, DWORD dwSize = sizeof(PROPSHEETPAGEW));
    explicit CPropertyPage(LPCWSTR lpszTemplateName, UINT nIDCaption = 0, DWORD dwSize = sizeof(PROPSHEETPAGEW));
    ~CPropertyPage() override;

    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
    void Construct(LPCWSTR lpszTemplateName, UINT nIDCaption = 0);

    // The page record given to the control; flags, icon and title may be changed before the
    // page is added to an open sheet or the sheet is created.
    PROPSHEETPAGEW m_psp;

    // Turns the sheet's Apply button on (or off while nothing else changed).
    void SetModified(BOOL bChanged = TRUE);
    void CancelToClose();
    LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);

    // Activation: the default shows the members again after the first time. Deactivation: the
    // default reads and checks the controls; FALSE keeps the page.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    // OK or Apply: the default calls OnOK and accepts.
    virtual BOOL OnApply();
    void OnOK() override;
    void OnCancel() override;
    // Cancel: the default calls OnCancel.
    virtual void OnReset();
    virtual BOOL OnQueryCancel();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();

    // Keys go to the sheet, which handles tabbing across pages and its buttons.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The record the control is given for this page (callback and back pointer filled in).
    void BuildPageRecord(PROPSHEETPAGEW& psp) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void PreInitDialog() override;

    CString m_strCaption;
    BOOL m_bFirstSetActive;

private:
    void CommonConstruct(LPCWSTR lpszTemplateName, UINT nIDCaption);
    // Set between the page callback's creation hook and the page window's first message.
    BOOL m_bCreateHookPending;

    friend class CPropertySheet;
    friend UINT CALLBACK AfxPropPageCallback(HWND, UINT, LPPROPSHEETPAGEW);
};

// The page callback: attaches each page object to its window as the control creates it.
UINT CALLBACK AfxPropPageCallback(HWND hWnd, UINT message, LPPROPSHEETPAGEW pPropPage);
