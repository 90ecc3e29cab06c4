// The bitmap of an item's last drawn cell, kept so the cell can be shown again without drawing
// it. Every kept surface costs a bitmap, a memory device context and its pixels, so only the
// most recently used ones are kept; an item whose surface went draws its cell again.
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

private:
    std::unique_ptr<CDibSection> m_surface;
    std::list<CellSurfaceHolder*>::iterator m_entry;
};
