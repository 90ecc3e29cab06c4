#include "catalogue/VyxFileArray.h"

#include "catalogue/VyxFile.h"
#include "foundation/VyxPath.h"

VyxFileArray::VyxFileArray()
    : m_selectedCount(0), m_selectedOutsideArchives(0), m_lastItem(nullptr), m_lastPosition(-1), m_emptiedSlots(0)
{
    // Large folders are common: grow by whole blocks instead of an eighth at a time.
    m_items.SetSize(0, 1024);
    m_order.SetSize(0, 1024);
}

VyxFileArray::~VyxFileArray()
{
    RemoveAll(true);
}

VyxFile* VyxFileArray::Slot(DWORD index) const
{
    return index < static_cast<DWORD>(m_items.GetSize()) ? static_cast<VyxFile*>(m_items[index]) : nullptr;
}

void VyxFileArray::ForgetLookup()
{
    m_lastItem = nullptr;
    m_lastPosition = -1;
}

int VyxFileArray::Add(VyxFile* item)
{
    int index = static_cast<int>(m_items.Add(item));
    m_order.Add(static_cast<DWORD>(index));
    return index;
}

VyxFile* VyxFileArray::GetAt(int position)
{
    if (m_lastItem && position == m_lastPosition)
        return m_lastItem;
    if (position < 0 || position >= GetCount())
        return nullptr;
    VyxFile* item = Slot(m_order[position]);
    if (item) {
        m_lastItem = item;
        m_lastPosition = position;
    }
    return item;
}

VyxFile* VyxFileArray::GetItem(int index) const
{
    return index < 0 ? nullptr : Slot(static_cast<DWORD>(index));
}

int VyxFileArray::GetOrderEntry(int position) const
{
    if (position < 0 || position >= GetCount())
        return -1;
    return static_cast<int>(m_order[position]);
}

void VyxFileArray::SetOrderEntry(int position, int index)
{
    if (position < 0)
        return;
    m_order.SetAtGrow(position, static_cast<DWORD>(index));
    ForgetLookup();
}

VyxFile* VyxFileArray::Find(const wchar_t* path, const wchar_t* archivePath, int start, bool exactCase)
{
    const int count = GetCount();
    if (start < 0 || start >= count)
        start = 0;
    VyxFile* other = nullptr;
    int otherPosition = -1;
    for (int step = 0; step < count; ++step) {
        int position = (start + step) % count;
        VyxFile* item = Slot(m_order[position]);
        if (!item || !item->IsSameFile(path, archivePath))
            continue;
        if (item->IsSpelledAs(path, archivePath)) {
            m_lastItem = item;
            m_lastPosition = position;
            return item;
        }
        if (!other) {
            other = item;
            otherPosition = position;
        }
    }
    if (!other || exactCase)
        return nullptr;
    m_lastItem = other;
    m_lastPosition = otherPosition;
    return other;
}

VyxFile* VyxFileArray::FindItem(const VyxFile* item, int start)
{
    return item ? Find(item->GetPath(), item->GetArchivePath(), start) : nullptr;
}

int VyxFileArray::IndexOf(const VyxFile* item, int start)
{
    if (item && item == m_lastItem)
        return m_lastPosition;
    const int count = GetCount();
    if (start < 0 || start >= count)
        start = 0;
    for (int step = 0; step < count; ++step) {
        int position = (start + step) % count;
        if (item && Slot(m_order[position]) == item)
            return position;
    }
    return -1;
}

int VyxFileArray::GetSelectedCount(bool recount)
{
    if (recount) {
        m_selectedCount = m_selectedOutsideArchives = 0;
        for (int position = 0; position < GetCount(); ++position) {
            VyxFile* item = Slot(m_order[position]);
            if (item && item->TestFlags(VyxFilexDraw::FlagSelected)) {
                ++m_selectedCount;
                if (!item->IsArchiveMember())
                    ++m_selectedOutsideArchives;
            }
        }
    }
    return m_selectedCount;
}

int VyxFileArray::GetSelectedOutsideArchivesCount(bool recount)
{
    if (recount) {
        m_selectedOutsideArchives = 0;
        for (int position = 0; position < GetCount(); ++position) {
            VyxFile* item = Slot(m_order[position]);
            if (item && item->TestFlags(VyxFilexDraw::FlagSelected) && !item->IsArchiveMember())
                ++m_selectedOutsideArchives;
        }
    }
    return m_selectedOutsideArchives;
}

int VyxFileArray::SetSelected(int position, bool select)
{
    VyxFile* item = GetAt(position);
    if (!item || item->TestFlags(VyxFilexDraw::FlagSelected) == select)
        return 0;
    int step = select ? 1 : -1;
    m_selectedCount += step;
    if (!item->IsArchiveMember())
        m_selectedOutsideArchives += step;
    if (select)
        item->SetFlags(VyxFilexDraw::FlagSelected);
    else
        item->ClearFlags(VyxFilexDraw::FlagSelected);
    return 1;
}

bool VyxFileArray::IsSelected(const VyxFile* item, SelectedFilter filter)
{
    if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected))
        return false;
    if (filter == SelectedFilter::Any)
        return true;
    if (item->IsArchiveMember())
        return false;
    if (filter == SelectedFilter::OnDisk)
        return true;
    return (LookUpExactName(item->GetPath()) == NameLookup::Exact) == (filter == SelectedFilter::Existing);
}

VyxFileArray::SelectedRange::Iterator::Iterator(VyxFileArray* array, SelectedFilter filter, int position)
    : m_array(array), m_filter(filter), m_position(position < 0 ? 0 : position), m_item(nullptr)
{
    Settle();
}

VyxFileArray::SelectedRange::Iterator& VyxFileArray::SelectedRange::Iterator::operator++()
{
    ++m_position;
    Settle();
    return *this;
}

void VyxFileArray::SelectedRange::Iterator::Settle()
{
    m_item = nullptr;
    if (!m_array)
        return;
    for (; m_position < m_array->GetCount(); ++m_position) {
        VyxFile* item = m_array->GetAt(m_position);
        if (IsSelected(item, m_filter)) {
            m_item = item;
            return;
        }
    }
}

void VyxFileArray::SetFlagsAll(DWORD mask)
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        if (VyxFile* item = Slot(static_cast<DWORD>(i)))
            item->SetFlags(mask);
}

void VyxFileArray::RemoveItem(int position)
{
    DWORD index = m_order[position];
    if (VyxFile* item = Slot(index)) {
        if (item->TestFlags(VyxFilexDraw::FlagSelected)) {
            --m_selectedCount;
            if (!item->IsArchiveMember())
                --m_selectedOutsideArchives;
        }
        item->RemoveFromCache();
        delete item;
        m_items[index] = nullptr;
        ++m_emptiedSlots;
    }
    m_order.RemoveAt(position);
    ForgetLookup();
}

int VyxFileArray::RemoveAt(int position)
{
    if (position < 0 || position >= GetCount() || m_order[position] >= static_cast<DWORD>(m_items.GetSize()))
        return 0;
    RemoveItem(position);
    return 1;
}

void VyxFileArray::RemoveMarked()
{
    for (int position = 0; position < GetCount();) {
        VyxFile* item = Slot(m_order[position]);
        if (item && item->TestFlags(VyxFilexDraw::FlagMarked))
            RemoveItem(position);
        else
            ++position;
    }
    if (m_emptiedSlots < 1)
        return;
    INT_PTR kept = 0;
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        if (m_items[i])
            m_items[kept++] = m_items[i];
    m_items.SetSize(kept);
    m_order.SetSize(kept);
    for (INT_PTR i = 0; i < kept; ++i)
        m_order[i] = static_cast<DWORD>(i);
    m_emptiedSlots = 0;
    ForgetLookup();
}

void VyxFileArray::RemoveAll(bool deleteItems)
{
    if (deleteItems)
        for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
            delete static_cast<VyxFile*>(m_items[i]);
    m_items.RemoveAll();
    m_order.RemoveAll();
    m_selectedCount = m_selectedOutsideArchives = 0;
    m_emptiedSlots = 0;
    ForgetLookup();
}

void VyxFileArray::ResetCantDrawAll()
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        if (VyxFile* item = Slot(static_cast<DWORD>(i)))
            item->ResetCantDraw();
}

void VyxFileArray::ResetImageAll()
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        if (VyxFile* item = Slot(static_cast<DWORD>(i)))
            item->ResetImage();
}
