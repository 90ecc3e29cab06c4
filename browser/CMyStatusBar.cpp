#include "browser/CMyStatusBar.h"

namespace {

const COLORREF kBarColour = 0x800000;
// With a white brush selected: destination OR inverted source, so dark text shows light on the bar.
const DWORD kInvertOntoBar = 0x00BA0B09;

} // namespace

BEGIN_MESSAGE_MAP(CMyStatusBar, CStatusBar)
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CMyStatusBar::CMyStatusBar()
{
    memset(m_font, 0, sizeof(m_font));
}

CMyStatusBar::~CMyStatusBar() {}

LRESULT CMyStatusBar::OnSetText(WPARAM, LPARAM)
{
    return 0;
}

void CMyStatusBar::RenderText(int nPane, const CSize& size, LPCWSTR lpszText)
{
    CDibSection& surface = m_surface[nPane];
    if (!surface.Recreate(nullptr, size.cx, size.cy, 24, ::GetSysColor(COLOR_3DFACE)))
        return;
    surface.Fill(nullptr, ::GetSysColor(COLOR_3DFACE));
    CDC* dc = surface.GetMemDC();
    HFONT font = ::CreateFontIndirectW(&m_font[nPane]);
    HGDIOBJ oldFont = font ? dc->SelectObject(font) : nullptr;
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    CRect clip(0, 0, size.cx, size.cy);
    dc->ExtTextOut(1, 2, ETO_CLIPPED, &clip, lpszText, lstrlenW(lpszText), nullptr);
    if (oldFont)
        dc->SelectObject(oldFont);
    if (font)
        ::DeleteObject(font);
}

void CMyStatusBar::DrawPaneText(CDC* pDC, int nPane, LPCWSTR lpszText)
{
    (void)pDC;
    if (!IsSlot(nPane) || !m_hWnd)
        return;
    CRect rect;
    GetItemRect(nPane, &rect);
    rect.DeflateRect(1, 1);
    RenderText(nPane, rect.Size(), lpszText ? lpszText : L"");
}

void CMyStatusBar::SetProgress(int nPane, int nPercent)
{
    if (nPercent == m_nLastPercent)
        return;
    m_nLastPercent = nPercent;
    if (!m_hWnd || !IsSlot(nPane))
        return;
    CRect rect;
    GetItemRect(nPane, &rect);
    if (nPercent == 0) {
        InvalidateRect(&rect);
        return;
    }
    rect.DeflateRect(1, 1);
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    int barWidth = rect.Width() * nPercent / 100;
    CDibSection bar;
    if (barWidth > 0 && !bar.Create24(nullptr, barWidth, rect.Height(), kBarColour))
        return;
    if (barWidth > 0) {
        bar.Fill(nullptr, kBarColour);
        ::SelectObject(bar.GetMemDC()->GetSafeHdc(), ::GetStockObject(WHITE_BRUSH));
    }
    CClientDC dc(this);
    if (nPane == PaneProgress) {
        CString text;
        if (nPercent < 100)
            text.Format(L"processing %3d%%", nPercent);
        else
            text.Format(L"completed  100%%");
        DrawPaneText(&dc, nPane, text);
        CDibSection whole;
        if (!m_surface[nPane].IsCreated() || !whole.Create24(nullptr, rect.Width(), rect.Height(), RGB(255, 255, 255)))
            return;
        m_surface[nPane].Draw(whole.GetMemDC(), 0, 0);
        if (barWidth > 0) {
            m_surface[nPane].Draw(bar.GetMemDC(), 0, 0, kInvertOntoBar);
            bar.Draw(whole.GetMemDC(), 0, 0);
        }
        whole.Draw(&dc, rect.left, rect.top);
    } else if (barWidth > 0) {
        if (m_surface[nPane].IsCreated())
            m_surface[nPane].Draw(bar.GetMemDC(), 0, 0, kInvertOntoBar);
        bar.Draw(&dc, rect.left, rect.top);
    }
}

void CMyStatusBar::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    int nPane = static_cast<int>(lpDrawItemStruct->itemID);
    if (!IsSlot(nPane))
        return;
    CRect rect(lpDrawItemStruct->rcItem);
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    // The font the control draws with becomes the pane's, so progress texts match it.
    HGDIOBJ font = ::GetCurrentObject(lpDrawItemStruct->hDC, OBJ_FONT);
    if (font)
        ::GetObjectW(font, sizeof(LOGFONTW), &m_font[nPane]);
    RenderText(nPane, rect.Size(), GetPaneText(nPane));
    if (m_surface[nPane].IsCreated())
        m_surface[nPane].Draw(CDC::FromHandle(lpDrawItemStruct->hDC), rect.left, rect.top);
}
