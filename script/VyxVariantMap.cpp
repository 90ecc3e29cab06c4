#include "script/VyxVariantMap.h"

VyxVariantMap theSharedVariables;

VyxVariantMap::~VyxVariantMap() = default;

VyxVariantMap& VyxVariantMap::operator=(const VyxVariantMap& other)
{
    operator=(static_cast<const Base&>(other));
    return *this;
}

VyxVariantMap::Base& VyxVariantMap::operator=(const Base& other)
{
    if (this != &other) {
        Base::operator=(other);
        m_slots.clear();
        m_indexed = 0;
        IndexNewEntries();
    }
    return *this;
}

unsigned VyxVariantMap::Hash(const wchar_t* name)
{
    unsigned hash = 2166136261u;
    for (const wchar_t* p = name ? name : L""; *p; ++p)
        hash = (hash ^ static_cast<unsigned>(*p)) * 16777619u;
    return hash;
}

void VyxVariantMap::Reindex(size_t slots) const
{
    m_slots.assign(slots, 0);
    m_indexed = 0;
    IndexNewEntries();
}

void VyxVariantMap::IndexNewEntries() const
{
    const int count = GetCount();
    if (m_indexed == count)
        return;
    if (m_indexed > count || static_cast<size_t>(count) * 2 >= m_slots.size()) {
        size_t slots = 16;
        while (slots <= static_cast<size_t>(count) * 2)
            slots *= 2;
        Reindex(slots);
        return;
    }
    const size_t mask = m_slots.size() - 1;
    for (; m_indexed < count; ++m_indexed) {
        size_t slot = Hash(m_entries.GetData()[m_indexed].key) & mask;
        while (m_slots[slot] != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = m_indexed + 1;
    }
}

int VyxVariantMap::Find(const wchar_t* name) const
{
    IndexNewEntries();
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = Hash(name) & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const int index = m_slots[slot] - 1;
        if (CompareKeys(name, m_entries.GetData()[index].key) == 0)
            return index;
    }
    return -1;
}

int VyxVariantMap::CompareKeys(const wchar_t* key, const CString& entryKey) const
{
    return VyxString::CompareTexts(key, entryKey);
}

int VyxVariantMap::CompareValues(const VyxVariant& a, const VyxVariant& b) const
{
    if (a == b)
        return 0;
    return a < b ? -1 : 1;
}

const wchar_t* VyxVariantMap::ToText()
{
    CString work;
    CString entry;
    for (int i = 0; i < GetCount(); ++i) {
        KEYVALUE& record = GetAtIndex(i);
        if (!work.IsEmpty())
            work += L", ";
        entry.Format(L"{key:\"%s\", value:%s}", static_cast<const wchar_t*>(record.key), record.value.ToString());
        work += entry;
    }
    m_dump = L"{" + work + L"}";
    return m_dump;
}

VyxVariant& VyxVariantMap::SetAt(const wchar_t* name, const VyxVariant& value)
{
    VyxVariant copy(value); // the value may live in this map, whose block can move
    const int index = Find(name);
    if (index >= 0)
        return m_entries.GetData()[index].value = copy;
    KEYVALUE entry;
    entry.key = name;
    entry.value = copy;
    VyxVariant& stored = m_entries.AddGrowing(entry)->value;
    // Kept up to date here, so that lookups only read (the shared table is read by every script).
    IndexNewEntries();
    return stored;
}

VyxVariant* VyxVariantMap::Lookup(const wchar_t* name) const
{
    int index = Find(name);
    return index < 0 ? nullptr : &GetAtIndex(index).value;
}
