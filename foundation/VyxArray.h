// VyxArrayT: a growable array whose every slot holds a constructed element; grows by a fixed 100
// slots. Virtual hooks let an instance compare, key, parse and print its elements.
#pragma once

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxString.h"

#include <climits>
#include <cwchar>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// The type texts of the raise sites' function texts ("VyxArrayT<class VyxString>::GetAt").
// A type supplies its own with a static VyxTypeName(); the common ones are listed here.
template <class T, class = void> struct VyxTypeText
{
    static std::string Get() { return "T"; }
};
template <class T> struct VyxTypeText<T, std::void_t<decltype(T::VyxTypeName())>>
{
    static std::string Get() { return T::VyxTypeName(); }
};
template <class T> struct VyxTypeText<T&>
{
    static std::string Get() { return VyxTypeText<T>::Get() + " &"; }
};
template <> struct VyxTypeText<int>
{
    static std::string Get() { return "int"; }
};
template <> struct VyxTypeText<const wchar_t*>
{
    static std::string Get() { return "wchar_t const *"; }
};
template <> struct VyxTypeText<VyxString>
{
    static std::string Get() { return "class VyxString"; }
};
template <> struct VyxTypeText<CString>
{
    static std::string Get()
    {
        return "class ATL::CStringT<wchar_t,class StrTraitMFC_DLL<wchar_t,class ATL::ChTraitsCRT<wchar_t> > >";
    }
};

template <class T> class VyxArrayT
{
public:
    VyxArrayT() = default;
    VyxArrayT(const VyxArrayT& other) { VyxArrayT::operator=(other); }
    virtual ~VyxArrayT()
    {
        delete[] m_data;
        m_data = nullptr;
        m_count = m_capacity = 0;
    }

    virtual VyxArrayT& operator=(const VyxArrayT& other)
    {
        if (this == &other)
            return *this;
        T* block = other.m_capacity > 0 ? NewBlock(other.m_capacity) : nullptr;
        for (int i = 0; i < other.m_count; ++i)
            block[i] = other.m_data[i];
        delete[] m_data;
        m_data = block;
        m_count = other.m_count;
        m_capacity = other.m_capacity;
        return *this;
    }

    // -1, 0, 1; the template has no order (0), so Sort leaves it as it is.
    virtual int CompareElements(const T&, const T&) const { return 0; }
    virtual const VyxString* KeyOf(const T&) const
    {
        static VyxString empty;
        return &empty;
    }
    // The element a text stands for, or null; the result is valid until the next call.
    virtual const T* ElementFromText(const wchar_t*) { return nullptr; }
    virtual const wchar_t* ToText() { return L""; }

    int GetCount() const { return m_count; }
    int GetSize() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_count == 0; }
    T* GetData() const { return m_data; }

    // Capacity becomes n + 100 when it is below n; the elements are assigned across.
    void Reserve(int n)
    {
        if (m_capacity >= n)
            return;
        if (n > INT_MAX - 100)
            ThrowOutOfMemory(n);
        int capacity = n + 100;
        T* block = NewBlock(capacity);
        for (int i = 0; i < m_count; ++i)
            block[i] = std::move(m_data[i]);
        delete[] m_data;
        m_data = block;
        m_capacity = capacity;
    }

    // Appends a copy; returns the new element.
    T* Add(const T& element)
    {
        if (m_count >= m_capacity && &element >= m_data && &element < m_data + m_capacity) {
            T copy(element); // an element of this array: the block moves as it grows
            return Add(copy);
        }
        Reserve(m_count + 1);
        m_data[m_count] = element;
        return &m_data[m_count++];
    }

    // Appends a copy (the element may be one of this array's); a full block grows by half, so a
    // long list fills in linear time (Add alone grows it by 100 at a time).
    T* AddGrowing(const T& element)
    {
        if (m_count < m_capacity)
            return Add(element);
        T copy(element);
        Reserve(m_capacity < INT_MAX / 3 ? m_capacity + m_capacity / 2 : INT_MAX - 100);
        return Add(copy);
    }

    T& GetAt(int index) const
    {
        if (index < 0 || index >= m_count)
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxArray", 111, FunctionText("GetAt").c_str()), -1,
                             L"illegal index");
        return m_data[index];
    }
    T& operator[](int index) const { return GetAt(index); }

    void SetAt(int index, const T& element)
    {
        if (index < 0 || index >= m_count)
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxArray", 129, FunctionText("SetAt").c_str()), -1,
                             L"illegal index");
        m_data[index] = element;
    }

    // Later elements move down one place.
    void RemoveAt(int index)
    {
        GetAt(index);
        for (int i = index; i + 1 < m_count; ++i)
            m_data[i] = m_data[i + 1];
        m_data[--m_count] = T();
    }

    // Count becomes 0; the block stays.
    void RemoveAll() { m_count = 0; }

    // Stable insertion sort by CompareElements.
    void Sort(bool descending = false)
    {
        int factor = descending ? -1 : 1;
        for (int i = 1; i < m_count; ++i) {
            T current(m_data[i]);
            int j = i - 1;
            for (; j >= 0 && CompareElements(current, m_data[j]) * factor < 0; --j)
                m_data[j + 1] = m_data[j];
            m_data[j + 1] = current;
        }
    }

    // Sorted ascending, each run of equal elements collapsed to its first.
    void SortUnique()
    {
        if (m_count < 2)
            return;
        Sort(false);
        int reference = 0;
        for (int i = 1; i < m_count;) {
            if (CompareElements(m_data[reference], m_data[i]) != 0)
                reference = i++;
            else
                RemoveAt(i);
        }
    }

    // Replaces the contents with one element per field (ElementFromText of each; quotes and the
    // text around them kept). A null text changes nothing. Returns the count.
    int Split(const wchar_t* text, const wchar_t* separator)
    {
        if (!text)
            return 0;
        m_count = 0;
        if (!*text)
            return 0;
        std::vector<wchar_t> field(wcslen(text) + 1);
        VyxFieldParser parser(VyxFieldParser::KeepQuotes | VyxFieldParser::KeepAroundQuotes);
        for (int index = 0; parser.GetField(field.data(), text, index, separator) >= 0; ++index) {
            if (const T* element = ElementFromText(field.data()))
                Add(*element);
        }
        return m_count;
    }

protected:
    static std::string FunctionText(const char* member)
    {
        return "VyxArrayT<" + VyxTypeText<T>::Get() + ">::" + member;
    }

    [[noreturn]] static void ThrowOutOfMemory(int n)
    {
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxArray", 0, FunctionText("Reserve").c_str()), -2,
                         L"out of memory: %d", n);
    }

    static T* NewBlock(int capacity)
    {
        T* block = nullptr;
        if (capacity > 0 && static_cast<unsigned>(capacity) <= INT_MAX / sizeof(T))
            block = new (std::nothrow) T[capacity];
        if (!block)
            ThrowOutOfMemory(capacity);
        return block;
    }

    T* m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
    VyxString m_text; // for the instances' own use
};
