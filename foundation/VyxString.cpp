#include "foundation/VyxString.h"

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

const int kDefaultCapacity = 32;

int TextLength(const wchar_t* text)
{
    return text ? static_cast<int>(wcslen(text)) : 0;
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

} // namespace

VyxString::VyxString() : VyxMemoryT<wchar_t>(kDefaultCapacity) {}

VyxString::VyxString(const VyxString& other) : VyxMemoryT<wchar_t>()
{
    if (other.m_data)
        AssignText(other.m_data, other.GetLength());
}

VyxString::VyxString(const wchar_t* text) : VyxMemoryT<wchar_t>()
{
    if (text)
        AssignText(text, TextLength(text));
}

VyxString::VyxString(const wchar_t* text, int length) : VyxMemoryT<wchar_t>()
{
    if (text)
        Assign(text, length);
}

VyxString::VyxString(const char* text) : VyxMemoryT<wchar_t>()
{
    operator=(text);
}

VyxString::VyxString(wchar_t ch) : VyxMemoryT<wchar_t>(2)
{
    m_data[0] = ch;
}

VyxString::~VyxString() = default;

// Copies length characters and a terminator. The text may lie inside this string's own block
// (TrimLeft, Mid of itself): then no growth is needed and memmove handles the overlap.
void VyxString::AssignText(const wchar_t* text, int length)
{
    if (m_data && text >= m_data && text < m_data + m_capacity) {
        memmove(m_data, text, sizeof(wchar_t) * length);
        m_data[length] = 0;
        return;
    }
    if (m_capacity < length + 1)
        Alloc(length + 1);
    memcpy(m_data, text, sizeof(wchar_t) * length);
    m_data[length] = 0;
}

VyxString& VyxString::operator=(const VyxString& other)
{
    if (this != &other && other.m_data)
        AssignText(other.m_data, other.GetLength());
    return *this;
}

VyxString& VyxString::operator=(const wchar_t* text)
{
    if (text)
        AssignText(text, TextLength(text));
    return *this;
}

VyxString& VyxString::operator=(const char* text)
{
    if (!text)
        return *this;
    int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (count <= 0)
        return *this;
    wchar_t* converted = new (std::nothrow) wchar_t[count];
    if (!converted)
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxMemory", 117, "VyxMemoryT<wchar_t>::Alloc"), -2,
                         L"out of memory: %d", count);
    MultiByteToWideChar(CP_ACP, 0, text, -1, converted, count);
    converted[count - 1] = 0;
    AssignText(converted, count - 1);
    delete[] converted;
    return *this;
}

VyxString& VyxString::operator=(wchar_t ch)
{
    wchar_t text[2] = {ch, 0};
    AssignText(text, 1);
    return *this;
}

VyxString VyxString::operator+(wchar_t ch) const
{
    VyxString result(*this);
    result += ch;
    return result;
}

VyxString VyxString::operator+(const wchar_t* text) const
{
    VyxString result(*this);
    result += text;
    return result;
}

VyxString& VyxString::operator+=(wchar_t ch)
{
    int length = GetLength();
    ReAlloc(length + 2);
    m_data[length] = ch;
    m_data[length + 1] = 0;
    return *this;
}

VyxString& VyxString::operator+=(const wchar_t* text)
{
    int added = TextLength(text);
    if (added == 0)
        return *this;
    int length = GetLength();
    if (m_data && text >= m_data && text < m_data + m_capacity) {
        VyxString copy(text); // appending a part of itself: the block may move
        return operator+=(copy.m_data);
    }
    ReAlloc(length + added + 1);
    memcpy(m_data + length, text, sizeof(wchar_t) * added);
    m_data[length + added] = 0;
    return *this;
}

int VyxString::CompareTexts(const wchar_t* a, const wchar_t* b)
{
    if (!a)
        a = L"";
    if (!b)
        b = L"";
    for (;; ++a, ++b) {
        unsigned ca = static_cast<unsigned short>(*a);
        unsigned cb = static_cast<unsigned short>(*b);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

bool VyxString::operator!=(const wchar_t* text) const
{
    return CompareTexts(m_data, text) != 0;
}

bool VyxString::operator==(const wchar_t* text) const
{
    return CompareTexts(m_data, text) == 0;
}

bool VyxString::operator<(const wchar_t* text) const
{
    return CompareTexts(m_data, text) < 0;
}

bool VyxString::operator<=(const wchar_t* text) const
{
    return CompareTexts(m_data, text) <= 0;
}

bool VyxString::operator>(const wchar_t* text) const
{
    return CompareTexts(m_data, text) > 0;
}

bool VyxString::operator>=(const wchar_t* text) const
{
    return CompareTexts(m_data, text) >= 0;
}

wchar_t& VyxString::operator[](int index)
{
    return m_data[index];
}

VyxString& VyxString::Assign(const wchar_t* text, int length)
{
    if (!text)
        return *this;
    // Never read past the text's own terminator, whatever length the caller gave.
    int available = length < 0 ? TextLength(text) : static_cast<int>(wcsnlen(text, length));
    AssignText(text, available);
    return *this;
}

int VyxString::GetLength() const
{
    return m_data ? static_cast<int>(wcsnlen(m_data, m_capacity)) : 0;
}

bool VyxString::IsEmpty() const
{
    return !m_data || m_capacity == 0 || m_data[0] == 0;
}

int VyxString::Compare(const wchar_t* text) const
{
    return CompareTexts(m_data, text);
}

int VyxString::CompareNoCase(const wchar_t* text) const
{
    int result = _wcsicmp(GetText(), text ? text : L"");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int VyxString::Find(const wchar_t* text, int start) const
{
    int length = GetLength();
    if (!text || start > length)
        return -1;
    if (start < 0)
        start = 0;
    const wchar_t* found = wcsstr(GetText() + start, text);
    return found ? static_cast<int>(found - GetText()) : -1;
}

int VyxString::FindChar(wchar_t ch, int start) const
{
    int length = GetLength();
    if (start < 0)
        start = 0;
    for (int i = start; i < length; ++i) {
        if (GetAt(i) == ch)
            return i;
    }
    return -1;
}

int VyxString::ReverseFind(wchar_t ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (GetAt(i) == ch)
            return i;
    }
    return -1;
}

void VyxString::SetAt(int index, wchar_t ch)
{
    if (index >= 0 && index < m_capacity)
        m_data[index] = ch;
}

VyxString& VyxString::ReplaceChar(wchar_t oldChar, wchar_t newChar)
{
    int length = GetLength();
    for (int i = 0; i < length; ++i) {
        if (m_data[i] == oldChar)
            m_data[i] = newChar;
    }
    return *this;
}

VyxString& VyxString::TrimLeft(const wchar_t* text)
{
    const wchar_t* source = text ? text : m_data;
    if (!source)
        return *this;
    while (IsBlank(*source))
        ++source;
    return operator=(source);
}

VyxString& VyxString::TrimRight(const wchar_t* text)
{
    if (text)
        operator=(text);
    for (int i = GetLength() - 1; i >= 0 && IsBlank(GetAt(i)); --i)
        m_data[i] = 0;
    return *this;
}

VyxString VyxString::MakeUpper(bool inPlace)
{
    VyxString copy;
    VyxString& target = inPlace ? *this : (copy = *this);
    int length = target.GetLength();
    for (int i = 0; i < length; ++i)
        target.GetAt(i) = static_cast<wchar_t>(towupper(target.GetAt(i)));
    return target;
}

VyxString VyxString::Left(int count) const
{
    int length = GetLength();
    if (count < 0)
        count = 0;
    if (count > length)
        count = length;
    VyxString result;
    result.Assign(GetText(), count);
    return result;
}

VyxString VyxString::Mid(int start, int count) const
{
    int length = GetLength();
    if (start < 0)
        start = 0;
    if (start > length)
        start = length;
    if (count < 0 || count > length - start)
        count = length - start;
    VyxString result;
    result.Assign(GetText() + start, count);
    return result;
}

// Each occurrence in the text as it stood before the call is replaced once: the search resumes
// after the inserted text, so a replacement containing the searched text cannot loop.
VyxString& VyxString::Replace(const wchar_t* find, const wchar_t* with)
{
    int findLength = TextLength(find);
    if (findLength == 0 || !m_data)
        return *this;
    const wchar_t* source = GetText();
    if (!wcsstr(source, find))
        return *this;
    VyxString result(L"");
    const wchar_t* cursor = source;
    for (const wchar_t* hit = wcsstr(cursor, find); hit; hit = wcsstr(cursor, find)) {
        result += VyxString(cursor, static_cast<int>(hit - cursor)).GetText();
        result += with;
        cursor = hit + findLength;
    }
    result += cursor;
    return operator=(result);
}

const wchar_t* VyxFormatArg(const VyxString& text)
{
    return text.GetText();
}

VyxString& VyxString::FormatArgs(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
    return *this;
}

// Capacity after a format is the text length + 128, as callers measure it.
VyxString& VyxString::FormatV(const wchar_t* format, va_list args)
{
    std::wstring text;
    if (format)
        AfxAppendFormatV(text, format, args);
    int length = static_cast<int>(text.size());
    Zero();
    Alloc(length + 128);
    wmemcpy(m_data, text.data(), length);
    return *this;
}

const wchar_t* FormatStaticStringArgs(const wchar_t* format, ...)
{
    static VyxString result;
    result.Alloc(128);
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result.GetText();
}
