#include "script/VyxVariantArray.h"

#include "foundation/VyxLog.h"
#include "script/VyxRegExp.h"

VyxVariantArray::~VyxVariantArray() = default;

int VyxVariantArray::CompareElements(const VyxVariant& a, const VyxVariant& b) const
{
    if (a == b)
        return 0;
    return a < b ? -1 : 1;
}

const VyxString* VyxVariantArray::KeyOf(const VyxVariant& element) const
{
    static VyxString key;
    key = element.GetString();
    return &key;
}

const VyxVariant* VyxVariantArray::ElementFromText(const wchar_t* text)
{
    static VyxVariant element;
    element = VyxVariant();
    if (!text)
        text = L"";
    VyxRegExp number;
    if (number.IsNumber(text) > 0) {
        if (wcschr(text, L'.'))
            element = _wtof(text);
        else
            element = _wtoi(text);
    } else {
        element = text;
    }
    return &element;
}

const wchar_t* VyxVariantArray::ToText()
{
    // The separator follows the work text, so leading elements with an empty display text
    // leave none behind them.
    CString work;
    for (int i = 0; i < m_count; ++i) {
        if (!work.IsEmpty())
            work += L", ";
        work += m_data[i].ToString();
    }
    m_dump = L"[" + work + L"]";
    return m_dump;
}

CString VyxVariantArray::Join(const wchar_t* separator) const
{
    CString text;
    for (int i = 0; i < m_count; ++i) {
        if (i > 0 && separator)
            text += separator;
        text += m_data[i].GetString();
    }
    return text;
}

VyxVariant* VyxVariantStack::Pop()
{
    if (m_count <= 0)
        ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("VyxVariant", 777, "VyxVariantStack::Pop"),
                                LogLevelError, -3, L"illegal stack index:");
    return &m_data[--m_count];
}

VyxVariant* VyxVariantStack::Tail() const
{
    if (m_count <= 0)
        ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("VyxVariant", 791, "VyxVariantStack::Tail"),
                                LogLevelError, -3, L"illegal stack index:");
    return &m_data[m_count - 1];
}
