// VyxVariantMap: named variables in insertion order, looked up by the exact text of the name.
// theSharedVariables is the one process-wide table every calculator and script sees.
#pragma once

#include "foundation/VyxMap.h"
#include "script/VyxVariant.h"

class VyxVariantMap : public VyxMapT<CString, const wchar_t*, VyxVariant, VyxVariant&>
{
public:
    typedef VyxMapT<CString, const wchar_t*, VyxVariant, VyxVariant&> Base;

    VyxVariantMap() = default;
    VyxVariantMap(const VyxVariantMap& other) : Base(other) {}
    VyxVariantMap& operator=(const VyxVariantMap& other)
    {
        Base::operator=(other);
        return *this;
    }
    ~VyxVariantMap() override;

    // By unsigned 16-bit code units: 0 equal, otherwise -1 or 1.
    int CompareKeys(const wchar_t* key, const CString& entryKey) const override;
    int CompareValues(const VyxVariant& a, const VyxVariant& b) const override;
    // {{key:"a", value:1}, {key:"b", value:"x"}}
    const wchar_t* ToText() override;

    // Stores a copy: the entry of that name takes the value, or a new entry is appended.
    VyxVariant& SetAt(const wchar_t* name, const VyxVariant& value);
    // The value stored under the name, or null.
    VyxVariant* Lookup(const wchar_t* name) const;

private:
    CString m_dump;
};

extern VyxVariantMap theSharedVariables;
