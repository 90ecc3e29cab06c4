// The panel the tree property sheet shows where a standard sheet shows its tabs: the current
// page lies over it, an optional caption band runs along its top (text and icon of the selected
// tree node), and a message shows while no page covers it. This is the interface with the
// shared state and drawing rules; a window class implements it.
#pragma once

#include "framework/Framework.h"

namespace TreePropSheet {

class CPropPageFrame
{
public:
    CPropPageFrame() = default;
    virtual ~CPropPageFrame() = default;
    CPropPageFrame(const CPropPageFrame&) = delete;
    CPropPageFrame& operator=(const CPropPageFrame&) = delete;

    virtual BOOL Create(DWORD dwWindowStyle, const RECT& rect, CWnd* pwndParent, UINT nID) = 0;
    // The window that shows the frame.
    virtual CWnd* GetWnd() = 0;
    virtual void ShowCaption(BOOL bEnable);
    virtual void SetCaptionHeight(int nCaptionHeight);
    virtual void SetCaption(LPCWSTR lpszCaption, HICON hIcon = nullptr);
    virtual void SetMsgText(LPCWSTR lpszMsg);
    virtual void SetMsgFormat(DWORD dwFormat);
    virtual void Draw(CDC* pDc);
    virtual CRect CalcMsgArea();
    virtual void DrawMsg(CDC* pDc, CRect rect, LPCWSTR lpszMsg, DWORD dwFormat);
    virtual CRect CalcCaptionArea();
    virtual void DrawCaption(CDC* pDc, CRect rect, LPCWSTR lpszCaption, HICON hIcon);

    BOOL GetShowCaption() const { return m_bShowCaption; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    CString GetCaption(HICON* pIcon = nullptr) const;
    CString GetMsgText() const { return m_strMsg; }
    DWORD GetMsgFormat() const { return m_dwMsgFormat; }

protected:
    // Only once the window exists; before, a setting is just kept.
    void SafeInvalidateRect(const CRect& rect);

    BOOL m_bShowCaption = FALSE;
    int m_nCaptionHeight = 0;
    CString m_strCaption;
    HICON m_hCaptionIcon = nullptr; // borrowed
    CString m_strMsg;
    DWORD m_dwMsgFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
};

} // namespace TreePropSheet
