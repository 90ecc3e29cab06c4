// The owner-drawn button drawn with the visual-styles theme of a push button or a tool-bar button
// when the application is themed; otherwise it paints as the plain owner-drawn button.
#pragma once

#include "controls/CButtonST.h"
#include "controls/CThemeHelperST.h"

class CXPStyleButtonST : public CButtonST
{
public:
    CXPStyleButtonST();

    // Not owned; null paints the plain way.
    void SetThemeHelper(CThemeHelperST* pTheme);
    CThemeHelperST* GetThemeHelper() const { return m_pTheme; }
    DWORD DrawAsToolbar(BOOL bDrawAsToolbar, BOOL bRepaint = TRUE);
    BOOL IsDrawnAsToolbar() const { return m_bDrawAsToolbar; }

    // The theme state of the button's part: 4 disabled, 3 pressed, 2 hot, 5 default, 1 normal.
    int ThemeState() const;

protected:
    void PaintFace(CDC* pDC, CRect* pRect) override;
    void PaintFrame(CDC* pDC, CRect* pRect) override;

private:
    BOOL IsThemed() const;

    CThemeHelperST* m_pTheme = nullptr;
    BOOL m_bDrawAsToolbar = FALSE;
};
