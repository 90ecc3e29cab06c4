// Holds a shown window's painting, its scroll bars included, for a scope and asks for one repaint
// of the whole window at its end: controls repaint their scroll bars at every change, and a listing
// changes them many times over.
#pragma once

#include <windows.h>

class DeferredRepaint
{
public:
    enum Settle { RepaintOnly, SettleOffScreen };
    // SettleOffScreen: before the window shows again it paints once into a one-pixel surface, for
    // controls that settle their item metrics and scroll bars at their first paint.
    explicit DeferredRepaint(HWND hWnd, Settle settle = RepaintOnly);
    ~DeferredRepaint();
    DeferredRepaint(const DeferredRepaint&) = delete;
    DeferredRepaint& operator=(const DeferredRepaint&) = delete;

private:
    HWND m_hWnd = nullptr; // held; null when the window was hidden or already held
    Settle m_settle;
};
