// The main frame's status bar: selection, all items, the drive, and an owner-drawn pane in which
// long jobs show their percentage as a bar with inverted text. The framework's prompts never
// reach it (WM_SETTEXT is swallowed).
#pragma once

#include "image/DibSection.h"

class CMyStatusBar : public CStatusBar
{
public:
    enum { PaneSelection = 0, PaneAllItems = 1, PaneDrive = 2, PaneProgress = 3, SlotCount = 10 };

    CMyStatusBar();
    ~CMyStatusBar() override;

    // Draws at once, without waiting for a repaint; an unchanged percentage draws nothing.
    void SetProgress(int nPane, int nPercent);
    int GetLastProgress() const { return m_nLastPercent; }
    // Renders the text into the pane's surface (made anew with the pane's size).
    void DrawPaneText(CDC* pDC, int nPane, LPCWSTR lpszText);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    bool IsSlot(int nPane) const { return nPane >= 0 && nPane < SlotCount && nPane < m_nCount; }
    void RenderText(int nPane, const CSize& size, LPCWSTR lpszText);

    CDibSection m_surface[SlotCount];
    LOGFONTW m_font[SlotCount];
    int m_nLastPercent = 0;
};
