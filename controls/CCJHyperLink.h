// A static text made into a clickable link: underlined in the link colour, the hover colour under
// the mouse and the visited colour after a successful open, with a hand cursor and the link as
// tooltip. A click opens the link with the shell, else with the handler of ".htm" files.
#pragma once

#include "framework/Framework.h"

class CCJHyperLink : public CStatic
{
public:
    CCJHyperLink();
    ~CCJHyperLink() override;

    virtual void SetLink(LPCWSTR lpszLink);
    virtual CString GetLink() const;
    virtual void SetLinkColours(COLORREF crLinkColour, COLORREF crVisitedColour, COLORREF crHoverColour,
                                BOOL bRepaint = TRUE);
    virtual COLORREF GetLinkColour() const;
    virtual COLORREF GetVisitedColour() const;
    virtual COLORREF GetHoverColour() const;
    virtual void SetVisited(BOOL bVisited = TRUE);
    virtual BOOL IsVisited() const;
    // A null cursor loads the hand cursor.
    virtual void SetLinkCursor(HCURSOR hCursor);
    virtual HCURSOR GetLinkCursor() const;
    virtual void SetUnderlined(BOOL bUnderline = TRUE);
    virtual BOOL IsUnderlined() const;
    virtual void SetFitToText(BOOL bFitToText = TRUE);
    virtual BOOL IsFitToText() const;
    // Above 32 on success, else the error code of the shell.
    virtual INT_PTR OpenLink(LPCWSTR lpszLink, int nShowCmd);
    virtual void ShowOpenError(int nError);
    // The default value of a key, at most 259 characters; 0 or the registry's error.
    virtual LONG ReadRegDefault(HKEY hKey, LPCWSTR lpszSubKey, LPWSTR lpszValue);
    virtual void FitToText();
    virtual void LoadHandCursor();

    BOOL IsOver() const { return m_bOverControl; }
    CToolTipCtrl& GetToolTip() { return m_ToolTip; }
    // The handler's command line cut before its "%1" placeholder, then a blank and the link.
    static CString BuildHandlerCommand(const CString& strCommand, LPCWSTR lpszLink);
    // The text the open-error message box shows for a shell error code.
    static CString OpenErrorText(int nError);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;

    afx_msg void OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

    COLORREF m_crLinkColour = RGB(0, 0, 0xEE);
    COLORREF m_crVisitedColour = RGB(0x55, 0x1A, 0x8B);
    COLORREF m_crHoverColour;
    BOOL m_bOverControl = FALSE;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bAdjustToFit = TRUE;
    CString m_strLink;
    CFont m_linkFont;
    HCURSOR m_hLinkCursor = nullptr;
    CToolTipCtrl m_ToolTip;
};
