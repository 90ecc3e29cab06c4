// The bitmap of an item's last drawn cell, kept so the cell can be shown again without drawing
// it. Every kept surface costs a bitmap, a memory device context and its pixels, so only the
// most recently used ones are kept, as many as the view shows cells, within a bound in bytes
// and in GDI objects; an item whose surface went draws its cell again.
#pragma once

#include "image/DibSection.h"

#include <list>
#include <memory>

class CellSurfaceHolder
{
public:
    CellSurfaceHolder() = default;
    ~CellSurfaceHolder() { Release(); }
    // A copy or an assigned holder keeps no surface: the bitmap shows another item's cell.
    CellSurfaceHolder(const CellSurfaceHolder&) {}
    CellSurfaceHolder& operator=(const CellSurfaceHolder&)
    {
        Release();
        return *this;
    }

    // The kept surface, or null.
    CDibSection* Get() const { return m_surface.get(); }
    // The kept surface, made when there is none; the most recently used from now on. The
    // least recently used surface beyond the limit goes.
    CDibSection* Acquire();
    // Marks the kept surface as the most recently used.
    void Touch();
    void Release();

    static size_t GetKeptCount();
    static size_t GetLimit();
    static void SetLimit(size_t limit);
    // As many surfaces as the cells a view shows, as far as the bounds allow.
    static void SetLimitForCells(size_t cells, SIZE cell);
    // The bounds: the pixels of all kept surfaces, and their number (two GDI objects each).
    static constexpr size_t MaxBytes = 64u << 20;
    static constexpr size_t MaxCount = 3000;
    // Every kept surface goes (the cells' layout changed).
    static void ReleaseAll();

private:
    std::unique_ptr<CDibSection> m_surface;
    std::list<CellSurfaceHolder*>::iterator m_entry;
};
