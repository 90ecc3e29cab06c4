#include "controls/VyxFrameWndEx.h"

IMPLEMENT_DYNCREATE(VyxFrameWndEx, CFrameWnd)

void VyxFrameWndEx::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (!hMenuAlt) {
        if (CDocument* document = GetActiveDocument())
            hMenuAlt = document->GetDefaultMenu();
        if (!hMenuAlt)
            hMenuAlt = m_hMenuDefault;
    }
    if (m_bPrintPreview)
        ::SetMenu(m_hWnd, hMenuAlt);
    else
        m_wndMenuBar.SetMenu(hMenuAlt);
}
