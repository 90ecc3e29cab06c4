// A self-drawn strip of tabs (not the common-controls tab control) along the top or bottom edge
// of its own child window, with a raised body under it. Selection changes are reported to the
// parent as TCN_SELCHANGING, TCN_SELCHANGE and NM_CLICK notifications; every step is virtual so
// derived classes change the behaviour piece by piece.
#pragma once

#include "framework/Framework.h"

class CXTabCtrl : public CWnd
{
    DECLARE_DYNAMIC(CXTabCtrl)
public:
    class CTabItem
    {
    public:
        CTabItem(LPCWSTR caption, CXTabCtrl* owner) : m_caption(caption), m_pOwner(owner) {}
        virtual ~CTabItem() = default;
        CTabItem(const CTabItem&) = delete;
        CTabItem& operator=(const CTabItem&) = delete;

        virtual CRect GetRect();
        virtual CTabItem* SetIcon(HICON hIcon);
        virtual BOOL HitTest(int x, int y);
        virtual void DrawCaption(CDC* pDC, BOOL bSelected, BOOL bFocused);
        // The x where the caption may start.
        virtual int DrawIcon(CDC* pDC, BOOL bSelected);
        virtual void DrawBackground(CDC* pDC, BOOL bSelected);
        virtual int CalcWidth(CDC* pDC);
        virtual void Draw(CDC* pDC, BOOL bSelected, BOOL bFocused);

        // The caption as it fits a width in pDC's font: cut to its first characters and "...".
        static CString FitCaption(CDC* pDC, const CString& caption, int width);

        CString m_caption;
        DWORD m_dwItemData = 0;
        CXTabCtrl* m_pOwner;
        HICON m_hIcon = nullptr; // borrowed
        int m_nWidth = 0;
        int m_nLeft = 0;
    };

    CXTabCtrl() = default;
    ~CXTabCtrl() override;

    virtual CTabItem* GetItem(int nIndex);
    virtual int GetTabHeight();
    virtual int GetTabStyle();
    virtual int GetCurSel();
    virtual int GetItemCount();
    virtual CSize GetItemSize(int nIndex);
    virtual BOOL DeleteItem(int nIndex);
    // The new index, or -1 when the record cannot be made.
    virtual int InsertItem(LPCWSTR lpszCaption, DWORD dwItemData = 0, HICON hIcon = nullptr);
    // Style bit 1: tabs along the top edge (also when neither of the two low bits is set), bit 2: bottom.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual void OnSelChange(int nOldIndex, int nNewIndex);
    // The client area left for content.
    virtual CRect GetDisplayRect();
    virtual int HitTest(int x, int y);
    virtual void ShrinkTabs(int nNeeded, int nAvailable);
    virtual void PrepareDC(CDC* pDC);
    virtual void RestoreDC(CDC* pDC);
    virtual void RecalcLayout();

    // Selects a tab; the parent hears TCN_SELCHANGING before and TCN_SELCHANGE after.
    void SetCurSel(int nIndex);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void Notify(UINT code);
    BOOL IsTopStyle() { return (GetTabStyle() & 1) != 0; }

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);

    CArray<CTabItem*, CTabItem*> m_items;
    int m_nTabStyle = 0;
    int m_nCurSel = -1;
    CFont m_font;
    CFont* m_pSavedFont = nullptr;

    DECLARE_MESSAGE_MAP()
};
