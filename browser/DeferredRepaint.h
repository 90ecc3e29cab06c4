// Holds a shown window's painting, its scroll bars included, for a scope and asks for one repaint
// of the whole window at its end: controls repaint their scroll bars at every change, and a listing
// changes them many times over.
#pragma once

#include <windows.h>

#include <string>

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
    // A list's column header, its place and items: a refill seldom changes it, and a themed
    // header costs as much to draw as the rows.
    std::wstring HeaderLook() const;
    RECT HeaderPlace() const; // in the window's client coordinates
    bool HeaderUnchanged() const;
    HRGN RegionBesideHeader() const;

    HWND m_hWnd = nullptr; // held; null when the window was hidden or already held
    Settle m_settle;
    HWND m_hHeader = nullptr;
    std::wstring m_headerLook;
    RECT m_headerPlace = {};
};
