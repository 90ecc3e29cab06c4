// The tab strip as a sheet of pages that lives as a child control inside an ordinary dialog: each
// tab stands for one CXPropertyPage and only the selected tab's page is visible. The host dialog
// owns the sheet; pages delete themselves with their windows.
#pragma once

#include "controls/CXPropertyPage.h"
#include "controls/CXTabCtrl.h"

class CXPropertySheet : public CXTabCtrl
{
    DECLARE_DYNAMIC(CXPropertySheet)
public:
    CXPropertySheet() = default;
    ~CXPropertySheet() override = default;

    // Adds a tab, creates the page in it and selects it; the sheet window must exist. Null when
    // the page cannot be created: its tab is removed and the page deleted.
    CTabItem* AddPage(CXPropertyPage* pPage, HICON hIcon = nullptr, DWORD dwItemData = 0);

    // Tabs come only with pages: -1, nothing added.
    int InsertItem(LPCWSTR lpszCaption, DWORD dwItemData = 0, HICON hIcon = nullptr) override;
    void OnSelChange(int nOldIndex, int nNewIndex) override;
    virtual CXPropertyPage* GetPage(int nIndex);

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);

    CArray<CXPropertyPage*, CXPropertyPage*> m_pages;

    DECLARE_MESSAGE_MAP()
};
