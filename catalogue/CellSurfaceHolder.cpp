#include "catalogue/CellSurfaceHolder.h"

#include "foundation/PixelSize.h"

#include <algorithm>

namespace {

// Well above the cells one screen shows, well below the GDI objects and the address space a
// listed folder of thousands of items would take.
size_t s_limit = 128;

// Most recently used first. Never destroyed: items may outlive every other static object.
std::list<CellSurfaceHolder*>& Kept()
{
    static auto* kept = new std::list<CellSurfaceHolder*>;
    return *kept;
}

void TrimTo(size_t limit)
{
    while (Kept().size() > limit)
        Kept().back()->Release();
}

} // namespace

CDibSection* CellSurfaceHolder::Acquire()
{
    if (m_surface) {
        Touch();
        return m_surface.get();
    }
    // At the limit the least recently used surface moves over: cells of one size are only
    // refilled, without making and deleting bitmaps and device contexts for every cell.
    if (Kept().size() >= s_limit && !Kept().empty()) {
        CellSurfaceHolder* oldest = Kept().back();
        m_surface = std::move(oldest->m_surface);
        Kept().pop_back();
    } else {
        m_surface = std::make_unique<CDibSection>();
    }
    Kept().push_front(this);
    m_entry = Kept().begin();
    return m_surface.get();
}

void CellSurfaceHolder::Touch()
{
    if (m_surface)
        Kept().splice(Kept().begin(), Kept(), m_entry);
}

void CellSurfaceHolder::Release()
{
    if (!m_surface)
        return;
    Kept().erase(m_entry);
    m_surface.reset();
}

size_t CellSurfaceHolder::GetKeptCount()
{
    return Kept().size();
}

size_t CellSurfaceHolder::GetLimit()
{
    return s_limit;
}

void CellSurfaceHolder::SetLimit(size_t limit)
{
    s_limit = limit < 1 ? 1 : limit;
    TrimTo(s_limit);
}

void CellSurfaceHolder::SetLimitForCells(size_t cells, SIZE cell)
{
    // In 64 bits: a cell of 65536 x 65536 from a damaged layout is 12 GB, no zero-sized surface.
    const ULONGLONG cellBytes = PixelImageBytes(std::max(cell.cx, 1L), std::max(cell.cy, 1L), 24);
    const ULONGLONG byBytes = MaxBytes / cellBytes;
    SetLimit(std::min({cells, static_cast<size_t>(std::min<ULONGLONG>(byBytes, MaxCount)), MaxCount}));
}

void CellSurfaceHolder::ReleaseAll()
{
    TrimTo(0);
}
