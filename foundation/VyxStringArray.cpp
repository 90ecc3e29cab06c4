#include "foundation/VyxStringArray.h"

#include <vector>

VyxStringArray::VyxStringArray(const wchar_t* text, wchar_t separator)
{
    if (!text || !*text)
        return;
    std::vector<wchar_t> field(wcslen(text) + 1);
    VyxFieldParser parser;
    // Field by field from where the last one ended, so that a long text splits in linear time.
    for (const wchar_t* rest = text; parser.GetFieldByChar(field.data(), rest, 0, separator) >= 0;) {
        if (const VyxString* element = ElementFromText(field.data()))
            AddGrowing(*element);
        rest += parser.GetPosition();
        if (*rest == 0)
            break;
        ++rest;
    }
}

VyxStringArray::~VyxStringArray() = default;

VyxStringArray& VyxStringArray::operator=(const VyxStringArray& other)
{
    VyxArrayT<VyxString>::operator=(other);
    return *this;
}

int VyxStringArray::CompareElements(const VyxString& a, const VyxString& b) const
{
    return a.Compare(b);
}

const VyxString* VyxStringArray::KeyOf(const VyxString& element) const
{
    return &element;
}

const VyxString* VyxStringArray::ElementFromText(const wchar_t* text)
{
    static VyxString element;
    element = text ? text : L"";
    return &element;
}

const wchar_t* VyxStringArray::ToText()
{
    VyxString dump(L"[");
    for (int i = 0; i < m_count; ++i) {
        if (i > 0)
            dump += L", ";
        dump += L"\"";
        dump += m_data[i];
        dump += L"\"";
    }
    dump += L"]";
    m_dump = dump;
    return m_dump;
}

void VyxStringArray::Copy(const VyxArrayT<VyxString>& source)
{
    if (&source == this)
        return;
    m_count = 0;
    Append(source);
}

void VyxStringArray::CopyFrom(const CStringArray& source)
{
    m_count = 0;
    for (INT_PTR i = 0; i < source.GetSize(); ++i)
        Add(VyxString(static_cast<const wchar_t*>(source.GetAt(i))));
}

void VyxStringArray::Append(const VyxArrayT<VyxString>& source)
{
    int count = source.GetCount(); // appending to itself copies the original elements once
    for (int i = 0; i < count; ++i)
        Add(source.GetData()[i]);
}

int VyxStringArray::Find(const wchar_t* text) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_data[i] == text)
            return i;
    }
    return -1;
}
