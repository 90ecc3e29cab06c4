// VyxMapT: a small map over an array of {key, value} records in insertion order, looked up by a
// linear scan. The template compares key pointers; instances that look up by text override CompareKeys.
#pragma once

#include "foundation/VyxArray.h"

#include <cstdint>

template <class K, class ARG_K, class V, class ARG_V> class VyxMapT
{
public:
    struct KEYVALUE
    {
        K key{};
        V value{};

        static std::string VyxTypeName()
        {
            return "struct VyxMapT<" + VyxTypeText<K>::Get() + "," + VyxTypeText<ARG_K>::Get() + "," +
                   VyxTypeText<V>::Get() + "," + VyxTypeText<ARG_V>::Get() + ">::KEYVALUE";
        }
    };

    VyxMapT() = default;
    VyxMapT(const VyxMapT& other) : m_entries(other.m_entries) {}
    virtual ~VyxMapT() = default;
    virtual VyxMapT& operator=(const VyxMapT& other)
    {
        m_entries = other.m_entries;
        return *this;
    }

    // -1, 0, 1; the template compares the two pointers as unsigned numbers.
    virtual int CompareKeys(ARG_K key, const K& entryKey) const
    {
        uintptr_t a = reinterpret_cast<uintptr_t>(static_cast<const void*>(key));
        uintptr_t b = reinterpret_cast<uintptr_t>(static_cast<const void*>(static_cast<ARG_K>(entryKey)));
        return a == b ? 0 : (a < b ? -1 : 1);
    }
    virtual int CompareValues(const V&, const V&) const { return -2; }
    virtual const wchar_t* ToText() { return L""; }

    int GetCount() const { return m_entries.GetCount(); }

    int Find(ARG_K key) const
    {
        for (int i = 0; i < m_entries.GetCount(); ++i) {
            if (CompareKeys(key, m_entries.GetData()[i].key) == 0)
                return i;
        }
        return -1;
    }

    // Replaces the value of an existing key in place; otherwise appends {key, value}.
    V& SetAt(ARG_K key, ARG_V value)
    {
        int index = Find(key);
        if (index >= 0) {
            m_entries.GetData()[index].value = value;
            return m_entries.GetData()[index].value;
        }
        KEYVALUE entry;
        entry.key = key;
        entry.value = value;
        return m_entries.Add(entry)->value;
    }

    KEYVALUE& GetAtIndex(int index) const
    {
        if (index < 0)
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxMap", 77, FunctionText("GetAtIndex").c_str()), -1,
                             L"illegal index");
        return m_entries.GetAt(index);
    }

    // The entry's value; its key is copied to keyOut.
    V* GetAtIndex(int index, K& keyOut) const
    {
        KEYVALUE& entry = GetAtIndex(index);
        keyOut = entry.key;
        return &entry.value;
    }

protected:
    static std::string FunctionText(const char* member)
    {
        return "VyxMapT<" + VyxTypeText<K>::Get() + "," + VyxTypeText<ARG_K>::Get() + "," + VyxTypeText<V>::Get() +
               "," + VyxTypeText<ARG_V>::Get() + ">::" + member;
    }

    VyxArrayT<KEYVALUE> m_entries;
};
