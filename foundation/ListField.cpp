#include "foundation/ListField.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxStringArray.h"

#include <memory>
#include <new>
#include <string>

namespace {

// The list's fields as written: quotes and the text around them kept, escapes not decoded.
void ReadFields(const wchar_t* list, const wchar_t* separator, VyxStringArray& fields)
{
    if (!list || !*list)
        return;
    size_t length = wcslen(list), separatorLength = wcslen(separator);
    std::unique_ptr<wchar_t[]> field(new wchar_t[length + 1]);
    VyxFieldParser parser(VyxFieldParser::KeepQuotes | VyxFieldParser::KeepAroundQuotes);
    size_t start = 0;
    for (int i = 0;; ++i) {
        int result = parser.GetField(field.get(), list, i, separator);
        if (result == -2)
            break;
        if (result == -1) {
            // An unclosed quote: the rest of the list is kept as one field rather than lost.
            fields.Add(VyxString(list + start));
            break;
        }
        fields.Add(VyxString(field.get()));
        start = parser.GetPosition() + separatorLength;
        if (parser.GetPosition() >= length)
            break;
    }
}

template <typename T> int SetFormattedField(const wchar_t* format, T value, CString* list, int index)
{
    CString text;
    text.Format(format, value);
    return SetListField(text, list, index);
}

template <typename T> int SetFormattedFieldInBuffer(const wchar_t* format, T value, wchar_t* list, int index)
{
    CString text;
    text.Format(format, value);
    return SetFieldInBuffer(text, list, index);
}

} // namespace

int SetFieldInBuffer(const wchar_t* text, wchar_t* list, int index, const wchar_t* separator)
{
    if (!list)
        return 0;
    if (!text)
        text = L"";
    if (!separator || !*separator)
        separator = L",";
    if (index < 0)
        index = 0;
    VyxStringArray fields;
    ReadFields(list, separator, fields);
    int count = std::max(index + 1, fields.GetCount() + 1);
    // Every field is written with its separators, leading empty ones too, so that each value
    // keeps its column.
    std::wstring rebuilt;
    for (int i = 0, source = 0; i < count; ++i) {
        if (i > 0)
            rebuilt += separator;
        if (i == index)
            rebuilt += text;
        else if (source < fields.GetCount())
            rebuilt += fields[source++].GetText();
    }
    memcpy(list, rebuilt.c_str(), (rebuilt.size() + 1) * sizeof(wchar_t));
    return 0;
}

int SetFieldInBuffer(const wchar_t* text, wchar_t* list, int index, wchar_t separator)
{
    wchar_t separatorText[2] = {separator, L'\0'};
    return SetFieldInBuffer(text, list, index, separatorText);
}

int SetFieldInBuffer(const wchar_t* text, wchar_t* list, int index)
{
    return SetFieldInBuffer(text, list, index, L",");
}

int SetListField(const wchar_t* text, CString* list, int index)
{
    if (!list)
        return -1;
    if (!text)
        text = L"";
    if (index < 0)
        index = 0;
    size_t size = static_cast<size_t>(list->GetLength()) + wcslen(text) + static_cast<size_t>(index) + 3;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[size]);
    if (!buffer)
        return -1;
    memcpy(buffer.get(), list->GetString(), (list->GetLength() + 1) * sizeof(wchar_t));
    SetFieldInBuffer(text, buffer.get(), index, L",");
    *list = buffer.get();
    return 0;
}

int SetListField(unsigned short value, CString* list, int index)
{
    return SetFormattedField(L"%d", value, list, index);
}
int SetListFieldInt(int value, CString* list, int index)
{
    return SetFormattedField(L"%d", value, list, index);
}
int SetListField(unsigned int value, CString* list, int index)
{
    return SetFormattedField(L"%u", value, list, index);
}
int SetListField(long value, CString* list, int index)
{
    return SetFormattedField(L"%ld", value, list, index);
}
int SetListFieldULong(unsigned long value, CString* list, int index)
{
    return SetFormattedField(L"%lu", value, list, index);
}
int SetListField(double value, CString* list, int index)
{
    return SetFormattedField(L"%g", value, list, index);
}
int SetListField(long long value, CString* list, int index)
{
    return SetFormattedField(L"%lld", value, list, index);
}

int SetFieldInBuffer(unsigned short value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%d", value, list, index);
}
int SetFieldInBuffer(int value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%d", value, list, index);
}
int SetFieldInBuffer(unsigned int value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%u", value, list, index);
}
int SetFieldInBuffer(long value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%ld", value, list, index);
}
int SetFieldInBuffer(unsigned long value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%lu", value, list, index);
}
int SetFieldInBuffer(double value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%g", value, list, index);
}
int SetFieldInBuffer(long long value, wchar_t* list, int index)
{
    return SetFormattedFieldInBuffer(L"%lld", value, list, index);
}
