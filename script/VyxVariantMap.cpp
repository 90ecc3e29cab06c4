#include "script/VyxVariantMap.h"

VyxVariantMap theSharedVariables;

VyxVariantMap::~VyxVariantMap() = default;

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
    return Base::SetAt(name, copy);
}

VyxVariant* VyxVariantMap::Lookup(const wchar_t* name) const
{
    int index = Find(name);
    return index < 0 ? nullptr : &GetAtIndex(index).value;
}
