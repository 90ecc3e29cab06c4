// The tool bar of every rebar band: a table of all the buttons it can show, rearranged by the user
// in the customise dialog, three text-label options and two icon sizes, its band kept in step, its
// layout kept in the profile, and the buttons that do not fit shown in the chevron popup. A
// derived bar supplies the bitmaps and the table in Init.
#pragma once

#include "framework/Framework.h"

#include <vector>

class CCustomizeDialog;

// A button of the table: whether it is on the bar in the default layout follows the record.
struct TBBUTTONEX
{
    TBBUTTON tbinfo;
    BOOL bInitiallyVisible;
};

// The command that opens the customise dialog (added to the rebar's context menu).
#define ID_CUSTOMIZE_TOOLBAR 57855

class CToolBarEx : public CToolBar
{
    DECLARE_DYNAMIC(CToolBarEx)
public:
    CToolBarEx();
    ~CToolBarEx() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR) override;

    virtual LRESULT OnCustomDraw(NMTBCUSTOMDRAW* pCustomDraw);
    virtual BOOL HasButtonText(UINT nID) const;
    virtual BOOL HasButtonTip(UINT nID) const;
    // The tooltip part (after the first "\n") of the command's string.
    virtual void GetButtonText(UINT nID, CString& strText) const;
    virtual void GetButtonTip(UINT nID, CString& strTip) const;
    // Where a derived bar calls SetBitmaps and SetButtons; run by Create.
    virtual void Init();
    virtual BOOL IsTextOptionAvailable(int nTextOption) const;
    virtual BOOL IsIconOptionAvailable(int nIconOption) const;

    // Bitmap ids of small and large normal, hot and disabled images (-1 = none).
    void SetBitmaps(UINT nSmallNormal, UINT nSmallHot, UINT nSmallDisabled, UINT nLargeNormal, UINT nLargeHot,
                    UINT nLargeDisabled, int nDefaultIconOption, COLORREF crMask);
    void SetButtons(int nCount, TBBUTTONEX* pButtons, int nDefaultTextOption);
    // 0 small icons, 1 large icons.
    void SetIconOption(int nIconOption, BOOL bRefresh = TRUE);
    // 0 text labels under the icons, 1 selective text on the right, 2 no text labels.
    void SetTextOption(int nTextOption, BOOL bRefresh = TRUE);
    int GetTextOption() const { return m_nTextOption; }
    int GetIconOption() const { return m_nIconOption; }
    // A separator passed in stays as it is; FALSE when the table has no such command.
    BOOL GetButtonInfo(int nID, TBBUTTON* pButton) const;
    using CToolBar::GetButtonInfo;
    // Every button refreshed from its record, in place.
    void RefreshButtons();
    // The band takes the bar's ideal width and height.
    void UpdateBand();
    void LoadState(LPCWSTR lpszProfileName);
    void SaveState(LPCWSTR lpszProfileName);

    int GetTableSize() const { return static_cast<int>(m_aButtons.GetSize()); }
    const TBBUTTONEX& GetTableButton(int nIndex) const { return m_aButtons[nIndex]; }
    CImageList* GetNormalImageList() { return &m_imlNormal; }
    CImageList* GetHotImageList() { return &m_imlHot; }
    CImageList* GetDisabledImageList() { return &m_imlDisabled; }

    // The open customise dialog's options follow a reset.
    static CCustomizeDialog* PASCAL GetCustomizeDialog();
    static void PASCAL OnCustomizeDialogGone(CCustomizeDialog* pDialog);

    static const CSize sizeSmallIcon;
    static const CSize sizeLargeIcon;

protected:
    // The bar shows these buttons, in this order.
    void ReplaceButtons(std::vector<TBBUTTON> buttons);
    std::vector<TBBUTTON> InitiallyVisibleRecords() const;
    // Whether the bar holds exactly these buttons, in this order.
    bool HoldsButtons(const std::vector<TBBUTTON>& buttons);
    void LoadImageList(CImageList& list, UINT nBitmapID, int cx, UINT nMessage);
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    CArray<TBBUTTONEX, TBBUTTONEX&> m_aButtons;
    UINT m_cbBandInfo;
    int m_nTextOption;
    int m_nIconOption;
    int m_nDefaultTextOption;
    int m_nDefaultIconOption;
    UINT m_nIDSmallNormal;
    UINT m_nIDSmallHot;
    UINT m_nIDSmallDisabled;
    UINT m_nIDLargeNormal;
    UINT m_nIDLargeHot;
    UINT m_nIDLargeDisabled;
    CImageList m_imlNormal;
    CImageList m_imlHot;
    CImageList m_imlDisabled;
    COLORREF m_crMask;
    HGLOBAL m_hSavedState;

    afx_msg void OnBeginAdjust(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndAdjust(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnInitCustomize(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnQueryInsertOrDelete(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnGetButtonInfo(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnReset(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnToolBarChange(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSave(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRestore(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnGetInfoTip(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCustomDrawNotify(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnReBarContextMenu(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReBarChevronPushed(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCustomize();

    DECLARE_MESSAGE_MAP()
};
