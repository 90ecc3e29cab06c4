// A tooltip window of the program's own (not the common-controls tooltip): a top-most pop-up
// showing a multi-line text for a tool (a child window of its parent, or a rectangle of one),
// driven by two timers and by the messages its owner relays. A text with a carriage return has
// a longer second part; a click on the tip switches between the two.
#pragma once

#include "framework/Framework.h"

class COXToolTipInfo : public CObject
{
    DECLARE_DYNAMIC(COXToolTipInfo)
public:
    COXToolTipInfo() = default;

    UINT uFlags = 0;
    HWND hWnd = nullptr;
    UINT nIDTool = 0;
    CRect rectBounds;    // in the parent's client coordinates
    int nTextSource = 0; // -1: asked for with TTN_NEEDTEXTW each time
    CString strText;
    int nWidth = 0;                     // 0: as wide as the widest line
    COLORREF clrTextColor = 0xFF000000; // 0xFF000000: the system tooltip colours
    COLORREF clrBackColor = 0xFF000000;
    DWORD dwReserved = 0;
};

// A tool's fields as GetToolInfo and SetToolInfo exchange them.
struct OXTOOLINFO : TOOLINFOW
{
    int nWidth;
    COLORREF clrTextColor;
    COLORREF clrBackColor;
};

class COXToolTipCtrl : public CWnd
{
    DECLARE_DYNAMIC(COXToolTipCtrl)
public:
    COXToolTipCtrl();
    ~COXToolTipCtrl() override;

    BOOL Create(CWnd* pParentWnd);
    // lpszText may be LPSTR_TEXTCALLBACK; pRect is in the tool's client coordinates (null: the
    // whole tool window).
    BOOL AddTool(CWnd* pWnd, LPCWSTR lpszText, const RECT* pRect = nullptr, UINT nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, const RECT* pRect = nullptr, UINT nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT nIDTool = 0);
    int GetToolCount() const { return static_cast<int>(m_arrTools.GetSize()); }
    // To be called by the owner with every message before it is dispatched.
    void RelayEvent(MSG* pMsg);

    void GetText(CString& str, CWnd* pWnd, UINT nIDTool = 0);
    BOOL GetToolInfo(OXTOOLINFO& info, CWnd* pWnd, UINT nIDTool = 0);
    void SetToolInfo(const OXTOOLINFO& info);

    void SetDelayTime(DWORD dwDuration, int nTime);
    int GetDelayTime(DWORD dwDuration) const;
    void GetMargin(LPRECT lpRect) const { *lpRect = m_rectMargin; }
    void SetMaxTipWidth(int nWidth);
    int GetMaxTipWidth() const { return m_nMaxWidth; }
    void SetTipBkColor(COLORREF clr);
    COLORREF GetTipBkColor() const { return m_crBackColor; }
    void SetTipTextColor(COLORREF clr);
    COLORREF GetTipTextColor() const { return m_crTextColor; }
    BOOL SetLogFont(const LOGFONTW* pLogFont, BOOL bRedraw = TRUE);
    void Activate(BOOL bActivate) { m_bActivated = bActivate; }
    BOOL IsActivated() const { return m_bActivated; }

    // The text shown now (empty when hidden), and whether the long part is shown.
    const CString& GetDisplayedText() const { return m_strDisplayed; }
    BOOL IsShowingLongText() const { return m_bExtended; }

    virtual void CalcTipPosition(RECT* pRect, POINT pt, COXToolTipInfo* pInfo, const RECT& rectBounds);
    virtual void CalcTextRect(RECT* pRect, const CString& strText, int nWidth);

    static const LOGFONTW& SystemToolTipFont();

protected:
    COXToolTipInfo* FindToolAtPoint(CPoint point);
    // The tool under the cursor, in the parent's client coordinates.
    COXToolTipInfo* ToolUnderCursor();
    BOOL IsCursorInToolTip() const;
    CString GetToolText(COXToolTipInfo* pInfo);
    void SplitText(const CString& text);
    void DisplayToolTip(CPoint pt, BOOL bExtended);
    void Hide();
    void StopTimers();
    COLORREF TextColor() const;
    COLORREF BackColor() const;

    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnDestroy();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);

    CWnd* m_pParentWnd = nullptr;
    CRect m_rectMargin;
    int m_nMaxWidth = 0;
    CPoint m_ptOffset;
    CFont m_font;
    LOGFONTW m_logFont = {};
    BOOL m_bUsingSystemFont = TRUE;
    UINT m_dwTextStyle;
    COXToolTipInfo* m_pCurrTool = nullptr;
    int m_nCheckInterval = 500;
    int m_nDisplayDelay = 15000;
    int m_nElapsedTime = 0;
    int m_nInitDelay = 500;
    BOOL m_bActivated = TRUE;
    BOOL m_bTipCancelled = FALSE;
    BOOL m_bHasExtendedText = FALSE;
    BOOL m_bExtended = FALSE;
    COLORREF m_crTextColor = 0xFF000000;
    COLORREF m_crBackColor = 0xFF000000;
    HWND m_hOldFocusWnd = nullptr;
    CObArray m_arrTools;

    CString m_strShort;
    CString m_strLong;
    CString m_strDisplayed;

    DECLARE_MESSAGE_MAP()
};
