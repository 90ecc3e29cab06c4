// The common controls' tooltip: tools are windows or rectangles of a window; the owner relays its
// mouse messages (RelayEvent) so the tip knows when to show.
#pragma once

#include "framework/CWnd.h"

class CToolTipCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;
    // A pop-up owned by pParentWnd; dwStyle adds TTS_ styles.
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwStyle = 0, DWORD dwStyleEx = 0);

    // A tool is pWnd itself (nIDTool 0) or a rectangle of pWnd named by nIDTool (the client area
    // when lpRectTool is null). LPSTR_TEXTCALLBACK asks pWnd's parent for the text each time.
    BOOL AddTool(CWnd* pWnd, LPCWSTR lpszText = LPSTR_TEXTCALLBACKW, LPCRECT lpRectTool = nullptr,
                 UINT_PTR nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void RelayEvent(LPMSG lpMsg);
    void UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    BOOL GetToolInfo(TTTOOLINFOW& ToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolInfo(LPTTTOOLINFOW lpToolInfo);
    int GetToolCount() const;
    void Activate(BOOL bActivate);
    void Pop();
    void Update();

    // Delays in milliseconds: SetDelayTime(n) sets all three from one value; the other form
    // sets TTDT_AUTOPOP, TTDT_INITIAL or TTDT_RESHOW.
    void SetDelayTime(UINT nDelay);
    void SetDelayTime(DWORD dwDuration, int iTime);
    int GetDelayTime(DWORD dwDuration) const;
    int SetMaxTipWidth(int iWidth); // the previous width
    int GetMaxTipWidth() const;
    void SetTipBkColor(COLORREF clr);
    COLORREF GetTipBkColor() const;
    void SetTipTextColor(COLORREF clr);
    COLORREF GetTipTextColor() const;
    void SetMargin(LPRECT lprc);
    void GetMargin(LPRECT lprc) const;

    // A tool record for pWnd and nIDTool, as AddTool fills it.
    void FillInToolInfo(TTTOOLINFOW& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
