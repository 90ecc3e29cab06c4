// The page frame window of the tree property sheet: the caption band has a gradient from the
// active caption colour, the panel is drawn with the visual-styles "Tab" pane when themes are
// active, and everything is painted off screen.
#pragma once

#include "controls/CPropPageFrame.h"
#include "controls/CThemeLibEx.h"

namespace TreePropSheet {

// Paints a horizontal gradient over a rectangle, from the left colour to the right one.
using GradientRoutine = void (*)(CDC* pDc, const CRect& rect, COLORREF clrLeft, COLORREF clrRight);

class VyxPropPageFrameEx : public CWnd, public CPropPageFrame
{
    DECLARE_DYNAMIC(VyxPropPageFrameEx)
public:
    VyxPropPageFrameEx() = default;
    ~VyxPropPageFrameEx() override;

    BOOL Create(DWORD dwWindowStyle, const RECT& rect, CWnd* pwndParent, UINT nID) override;
    CWnd* GetWnd() override { return this; }
    void SetCaption(LPCWSTR lpszCaption, HICON hIcon = nullptr) override;
    CRect CalcMsgArea() override;
    CRect CalcCaptionArea() override;
    void DrawCaption(CDC* pDc, CRect rect, LPCWSTR lpszCaption, HICON hIcon) override;

    virtual void DrawBackground(CDC* pDc);

    void SetGradientRoutine(GradientRoutine routine) { m_pfnGradient = routine; }
    // Line by line, one vertical line per column inside the rectangle; nothing for an empty one.
    static void DrawGradient(CDC* pDc, const CRect& rect, COLORREF clrLeft, COLORREF clrRight);
    int GetCaptionImageCount() const { return m_images.GetSafeHandle() ? m_images.GetImageCount() : 0; }

    // The visual-styles library of every frame: made on first use.
    static CThemeLibEx& ThemeLib();
    // Another library in its place (tests); null goes back to the program's.
    static void SetThemeLib(CThemeLibEx* pLib);
    // The library is loaded and both the theme and the application's use of it are on.
    static BOOL IsThemed();

protected:
    BOOL CreateFrameWindow(DWORD dwExStyle, LPCWSTR lpszText, DWORD dwWindowStyle, const RECT& rect, CWnd* pwndParent,
                           UINT nID);
    enum class ThemedArea { Unthemed, NoThemeData, Content };
    // The client area and, themed, the pane's content rectangle within it.
    ThemedArea GetThemedContentRect(CRect& client, CRect& content);

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();

    CImageList m_images;
    GradientRoutine m_pfnGradient = &VyxPropPageFrameEx::DrawGradient;

    DECLARE_MESSAGE_MAP()
};

} // namespace TreePropSheet
