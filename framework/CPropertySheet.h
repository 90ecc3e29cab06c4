// A property sheet: a frame of tabs (or wizard buttons) over CPropertyPage pages. DoModal runs
// a modeless sheet in the framework's modal loop, so pre-translation (PSM_ISDIALOGMESSAGE) and
// idle work go on as for dialogs; Create makes a modeless sheet. The sheet object is bound to its
// window from creation on, so it sees WM_CREATE and WM_INITDIALOG (OnInitDialog) itself.
#pragma once

#include "framework/CArray.h"
#include "framework/CPropertyPage.h"

#include <vector>

class CTabCtrl;

// The sheet's own buttons.
#ifndef ID_APPLY_NOW
#define ID_APPLY_NOW 0x3021
#endif
#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#endif
#ifndef ID_WIZNEXT
#define ID_WIZNEXT 0x3024
#endif
#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025
#endif

class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void Construct(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    void Construct(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // The header given to the control; flags may be changed before the sheet is created.
    PROPSHEETHEADERW m_psh;

    // IDOK (ID_WIZFINISH for a finished wizard), IDCANCEL, or -1 when the sheet could not be made.
    virtual INT_PTR DoModal();
    // Modeless; dwStyle -1 takes the usual sheet styles, visible.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);

    // Pages may be added and removed while the sheet is open.
    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const;
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // Before creation this only chooses the first page; afterwards FALSE when a page refused.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    CTabCtrl* GetTabControl() const;
    void SetTitle(LPCWSTR lpszText, UINT nStyle = 0);
    // FALSE keeps the tabs in one scrolling row instead of stacked rows.
    void EnableStackedTabs(BOOL bStacked);

    void SetWizardMode();
    BOOL IsWizard() const;
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCWSTR lpszText);
    BOOL PressButton(int nButton);
    void EndDialog(int nEndID);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL ContinueModal() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    CPtrArray m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd;
    BOOL m_bStacked;
    BOOL m_bModeless;

    DECLARE_MESSAGE_MAP()

private:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    BOOL CreateSheet(HWND hWndOwner, DWORD dwStyle, DWORD dwExStyle);
    int SheetResult() const;
    // Page creation hooks the control never used (a page that failed to be made).
    void DropStaleCreateHooks();

    std::vector<PROPSHEETPAGEW> m_pageRecords;
    DWORD m_dwCreateStyle;
    DWORD m_dwCreateExStyle;
    UINT m_nLastButton; // the last of OK, Cancel or Finish pressed
    int m_nDispatchDepth;

    friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
};

// The sheet callback: applies the creation styles to the sheet's template.
int CALLBACK AfxPropSheetCallback(HWND hWnd, UINT message, LPARAM lParam);
