// VyxVariantMap: named variables in insertion order, looked up by the exact text of the name.
// theSharedVariables is the one process-wide table every calculator and script sees.
// A script names every array element as a variable of its own ("a[123]"), so names are found
// through a hash index beside the entries, and the entry block grows by half when full.
#pragma once

#include "foundation/VyxMap.h"
#include "script/VyxVariant.h"

#include <vector>

class VyxVariantMap : public VyxMapT<CString, const wchar_t*, VyxVariant, VyxVariant&>
{
public:
    typedef VyxMapT<CString, const wchar_t*, VyxVariant, VyxVariant&> Base;

    VyxVariantMap() = default;
    VyxVariantMap(const VyxVariantMap& other) : Base(other) {}
    VyxVariantMap& operator=(const VyxVariantMap& other);
    Base& operator=(const Base& other) override;
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
    // The entry's index, -1 when there is none; in constant time.
    int Find(const wchar_t* name) const;

private:
    static unsigned Hash(const wchar_t* name);
    // Indexes the entries appended since the last call (all of them after an assignment).
    void IndexNewEntries() const;
    void Reindex(size_t slots) const;

    CString m_dump;
    // Open addressing: entry index + 1 per slot, 0 free; a power of two, at most half full.
    mutable std::vector<int> m_slots;
    mutable int m_indexed = 0; // entries [0, m_indexed) are in the slots
};

extern VyxVariantMap theSharedVariables;
