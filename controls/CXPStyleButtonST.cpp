#include "controls/CXPStyleButtonST.h"

CXPStyleButtonST::CXPStyleButtonST()
{
    m_bDrawBorder = FALSE;
}

void CXPStyleButtonST::SetThemeHelper(CThemeHelperST* pTheme)
{
    m_pTheme = pTheme;
    if (!m_pTheme || !m_pTheme->IsAppThemed())
        m_bDrawBorder = TRUE;
}

DWORD CXPStyleButtonST::DrawAsToolbar(BOOL bDrawAsToolbar, BOOL bRepaint)
{
    m_bDrawAsToolbar = bDrawAsToolbar;
    m_bDirectRepaint = bDrawAsToolbar;
    Repaint(bRepaint);
    return ResultOk;
}

BOOL CXPStyleButtonST::IsThemed() const
{
    return m_pTheme && m_pTheme->IsAppThemed();
}

int CXPStyleButtonST::ThemeState() const
{
    if (m_bIsDisabled)
        return 4;
    if (m_bIsPressed)
        return 3;
    if (m_bMouseOnButton)
        return 2;
    if (m_bIsDefault && (!m_bDrawAsToolbar || m_bDrawBorder))
        return 5;
    return 1;
}

void CXPStyleButtonST::PaintFace(CDC* pDC, CRect* pRect)
{
    if (IsThemed()) {
        HTHEME theme = m_pTheme->OpenThemeData(m_hWnd, m_bDrawAsToolbar ? L"TOOLBAR" : L"BUTTON");
        if (theme) {
            m_pTheme->DrawThemeBackground(theme, m_hWnd, pDC->GetSafeHdc(), 1, ThemeState(), pRect, nullptr);
            m_pTheme->CloseThemeData(theme);
            return;
        }
    }
    CButtonST::PaintFace(pDC, pRect);
}

void CXPStyleButtonST::PaintFrame(CDC* pDC, CRect* pRect)
{
    if (IsThemed())
        return;
    CButtonST::PaintFrame(pDC, pRect);
}
