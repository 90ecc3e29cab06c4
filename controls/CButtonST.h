// An owner-drawn push button: six state colours, an icon or a masked bitmap beside its caption,
// flat look with hover highlighting, check-box, drop-menu and link behaviour, and its own tooltip.
#pragma once

#include "framework/Framework.h"

class CButtonST : public CButton
{
public:
    CButtonST();
    ~CButtonST() override;

    // Setter results.
    enum {
        ResultOk = 0,
        ResultBadResource = 1,
        ResultMaskFailed = 2,
        ResultBadColorIndex = 3,
        ResultBadAlign = 4,
        ResultBadArgument = 5,
        ResultBadPressedStyle = 6
    };
    // State colour indices.
    enum { ColorBkHot = 0, ColorFgHot = 1, ColorBkIdle = 2, ColorFgIdle = 3, ColorBkFocus = 4, ColorFgFocus = 5 };
    // Image alignments.
    enum { AlignLeft = 0, AlignAbove = 1, AlignRight = 2, AlignNone = 3 };
    // The idle-image argument that asks for a grey copy of the active icon.
    static constexpr int GreyIconId = -2;
    static HICON GreyIcon() { return reinterpret_cast<HICON>(static_cast<INT_PTR>(GreyIconId)); }

    DWORD SetIcons(HICON hIconActive, HICON hIconIdle);
    DWORD SetIconResources(int nIconActive, int nIconIdle);
    DWORD SetBitmaps(HBITMAP hBitmapActive, COLORREF crTransActive, HBITMAP hBitmapIdle = nullptr,
                     COLORREF crTransIdle = 0);
    DWORD SetBitmapResources(int nBitmapActive, COLORREF crTransActive, int nBitmapIdle = 0, COLORREF crTransIdle = 0);
    void FreeImages(BOOL bCheckForNULL = TRUE);

    DWORD SetStateColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetStateColor(BYTE byColorIndex, COLORREF* crpColor) const;
    DWORD ShiftStateColor(BYTE byColorIndex, short shOffset, BOOL bRepaint = TRUE);
    DWORD ResetStateColors(BOOL bRepaint = TRUE);

    DWORD SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
    DWORD SetBorderOnFlat(BOOL bEnable, BOOL bRepaint = TRUE);
    DWORD SetFocusOnFlat(BOOL bEnable, BOOL bRepaint = TRUE);
    DWORD SetImageAlign(BYTE byAlign, BOOL bRepaint = TRUE);
    DWORD SetChecked(BOOL bChecked, BOOL bRepaint = TRUE);
    BOOL GetChecked() const { return m_nCheck; }
    DWORD SetPressedOffset(BYTE byStyle, BOOL bRepaint = TRUE);
    DWORD SetForcedPressed(BOOL bForced, BOOL bRepaint = TRUE);
    BOOL IsForcedPressed() const { return m_bForcedPressed; }
    DWORD SetHoverWhenInactive(BOOL bAlways);
    DWORD SetHoverCursor(int nCursorId, BOOL bRepaint = TRUE);
    DWORD SetDropMenu(int nMenuId, CWnd* pParentWnd, BOOL bRepaint = TRUE);
    DWORD SetDropMenuNotify(CWnd* pWnd, UINT nMessage, LPARAM lParam);
    DWORD SetLink(LPCWSTR lpszLink);
    void SetTipText(LPCWSTR lpszText, BOOL bActivate = TRUE);
    void SetTipText(int nText, BOOL bActivate = TRUE);
    void ActivateTip(BOOL bActivate = TRUE);
    void UseBalloonTip();
    DWORD SetTransparent(BOOL bRepaint = TRUE);
    DWORD TakeBackground(CDC* pDC);
    BOOL IsDefault() const { return m_bIsDefault; }
    BOOL IsCheckBox() const { return m_bIsCheckBox; }
    BOOL IsHot() const { return m_bMouseOnButton; }
    void FitToImage();
    // Makes the tip's window when a tip text is set and it is not made yet.
    CToolTipCtrl& GetToolTip();

    // Paints the button; without a DC on the button's own. bDirect marks a repaint outside WM_DRAWITEM.
    void PaintButton(CDC* pDC, UINT nState, CRect rcItem, BOOL bDirect);
    // Where the image goes for the current alignment; may move the caption rectangle.
    CRect PlaceImage(BOOL bHasTitle, const RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, DWORD dwWidth,
                     DWORD dwHeight) const;

    // The state colour that a shift by shOffset gives (every channel moved alike, none clipping).
    static COLORREF ShiftColor(COLORREF crColor, short shOffset);

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;

    virtual void PaintFace(CDC* pDC, CRect* pRect);
    virtual void PaintFrame(CDC* pDC, CRect* pRect);
    virtual void PaintIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, BOOL bIsDisabled);
    virtual void PaintBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, BOOL bIsDisabled);
    virtual void PaintCaption(CDC* pDC, LPCWSTR lpszText, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed,
                              BOOL bIsDisabled);

    // Slot 1 (idle) when set and the button is neither pressed nor hot (check boxes: not pressed).
    int ImageSlot(bool bIdleSet, BOOL bIsPressed) const;
    void EndHover(BOOL bRepaint = TRUE);
    void Repaint(BOOL bRepaint);
    void PaintBackgroundSnapshot(CDC* pDC);
    void MakeTip();
    void ApplyTip();
    HICON MakeGreyIcon(HICON hIcon) const;
    static HBITMAP MakeMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight, COLORREF crTransColor);

    afx_msg BOOL OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnCancelMode();
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg UINT OnGetDlgCode();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    struct IconSlot
    {
        HICON hIcon;
        DWORD dwWidth;
        DWORD dwHeight;
    };
    struct BitmapSlot
    {
        HBITMAP hBitmap;
        DWORD dwWidth;
        DWORD dwHeight;
        HBITMAP hMask;
        COLORREF crTransparent;
    };

    BOOL m_bShowDisabledBitmap = TRUE;
    POINT m_ptImageOrg = {3, 3};
    POINT m_ptPressedOffset = {1, 1};
    BOOL m_bDirectRepaint = FALSE;
    BOOL m_bIsFlat = TRUE;
    BOOL m_bMouseOnButton = FALSE;
    BOOL m_bDrawTransparent = FALSE;
    BOOL m_bIsPressed = FALSE;
    BOOL m_bForcedPressed = FALSE;
    BOOL m_bIsFocused = FALSE;
    BOOL m_bIsDisabled = FALSE;
    BOOL m_bIsDefault = FALSE;
    BOOL m_bIsCheckBox = FALSE;
    BYTE m_byAlign = AlignLeft;
    BOOL m_bDrawBorder = TRUE;
    BOOL m_bDrawFlatFocus = FALSE;
    COLORREF m_crColors[6] = {};
    HWND m_hParentWndMenu = nullptr;
    BOOL m_bMenuDisplayed = FALSE;
    HMENU m_hMenu = nullptr;
    HCURSOR m_hCursor = nullptr;
    CToolTipCtrl m_ToolTip;
    CString m_strTip;
    BOOL m_bHasTip = FALSE;
    BOOL m_bTipActive = FALSE;
    CDC m_dcBk;
    CBitmap m_bmpBk;
    CBitmap* m_pbmpOldBk = nullptr;
    BOOL m_bAlwaysTrack = TRUE;
    int m_nCheck = 0;
    UINT m_nTypeStyle = 0x0F;
    DWORD m_dwToolTipStyle = 0;
    wchar_t m_szURL[260] = {};
    IconSlot m_csIcons[2] = {};
    BitmapSlot m_csBitmaps[2] = {};
    HWND m_hMenuNotifyWnd = nullptr;
    UINT m_nMenuNotifyMessage = 0;
    LPARAM m_lMenuNotifyParam = 0;
};
