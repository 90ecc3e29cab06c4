#include "browser/DeferredRepaint.h"

#include <commctrl.h>

DeferredRepaint::DeferredRepaint(HWND hWnd, Settle settle) : m_settle(settle)
{
    if (!hWnd || !(::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE))
        return;
    // The system's own handling, not the control's: a list or tree told to stop drawing still sets
    // its scroll bars, and each themed bar drawn costs milliseconds.
    ::DefWindowProcW(hWnd, WM_SETREDRAW, FALSE, 0);
    m_hWnd = hWnd;
    m_hHeader = ::FindWindowExW(hWnd, nullptr, WC_HEADERW, nullptr);
    if (m_hHeader) {
        m_headerLook = HeaderLook();
        m_headerPlace = HeaderPlace();
    }
}

RECT DeferredRepaint::HeaderPlace() const
{
    RECT place = {};
    ::GetWindowRect(m_hHeader, &place);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

bool DeferredRepaint::HeaderUnchanged() const
{
    if (!m_hHeader || m_headerLook.empty() || HeaderLook() != m_headerLook)
        return false;
    // A header that only lost width to a scroll bar that came shows on what is left of it what it
    // would draw there; one that moved or grew is drawn again.
    const RECT place = HeaderPlace();
    return place.left == m_headerPlace.left && place.top == m_headerPlace.top && place.bottom == m_headerPlace.bottom &&
           place.right <= m_headerPlace.right;
}

std::wstring DeferredRepaint::HeaderLook() const
{
    if (!::IsWindow(m_hHeader) || !(::GetWindowLongW(m_hHeader, GWL_STYLE) & WS_VISIBLE))
        return std::wstring();
    wchar_t line[96];
    std::wstring look = L"items:";
    const int count = static_cast<int>(::SendMessageW(m_hHeader, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        HDITEMW item = {};
        item.mask = HDI_WIDTH | HDI_FORMAT | HDI_TEXT | HDI_IMAGE | HDI_ORDER | HDI_BITMAP;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        if (!::SendMessageW(m_hHeader, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)))
            return std::wstring(); // unknown: drawn again
        wsprintfW(line, L"%d,%d,%d,%d,%p:", item.cxy, item.fmt, item.iImage, item.iOrder, item.hbm);
        look += line;
        look += text;
        look += L'\n';
    }
    return look;
}

DeferredRepaint::~DeferredRepaint()
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    if (m_settle == SettleOffScreen) {
        // The list and tree controls set their scroll bars at their first paint after a refill:
        // set while the window is held, they are not drawn each time.
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP pixel = ::CreateCompatibleBitmap(screen, 1, 1);
        ::ReleaseDC(nullptr, screen);
        if (memory && pixel) {
            HGDIOBJ old = ::SelectObject(memory, pixel);
            ::SendMessageW(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
            ::SelectObject(memory, old);
        }
        if (pixel)
            ::DeleteObject(pixel);
        if (memory)
            ::DeleteDC(memory);
    }
    ::DefWindowProcW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    HRGN beside = HeaderUnchanged() ? RegionBesideHeader() : nullptr;
    if (beside) {
        ::RedrawWindow(m_hWnd, nullptr, beside, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_NOCHILDREN);
        ::DeleteObject(beside);
        return;
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

// The whole window, its frame included (a region to redraw is in client coordinates), but the
// header, which still shows what it would draw.
HRGN DeferredRepaint::RegionBesideHeader() const
{
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&window), 2);
    const RECT header = HeaderPlace();
    HRGN region = ::CreateRectRgnIndirect(&window);
    HRGN headerRegion = ::CreateRectRgnIndirect(&header);
    const bool made = region && headerRegion && ::CombineRgn(region, region, headerRegion, RGN_DIFF) != ERROR;
    if (headerRegion)
        ::DeleteObject(headerRegion);
    if (!made && region) {
        ::DeleteObject(region);
        region = nullptr;
    }
    return region;
}
