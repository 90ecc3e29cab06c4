#include "browser/DeferredRepaint.h"

DeferredRepaint::DeferredRepaint(HWND hWnd, Settle settle) : m_settle(settle)
{
    if (!hWnd || !(::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE))
        return;
    // The system's own handling, not the control's: a list or tree told to stop drawing still sets
    // its scroll bars, and each themed bar drawn costs milliseconds.
    ::DefWindowProcW(hWnd, WM_SETREDRAW, FALSE, 0);
    m_hWnd = hWnd;
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
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}
