#include "foundation/VyxFieldParser.h"

#include "script/VyxRegExp.h"
#include "script/VyxVariant.h"

#include <cwchar>
#include <vector>

void VyxFieldParser::Append(wchar_t ch)
{
    if (m_output)
        m_output[m_outputLength] = ch;
    ++m_outputLength;
}

bool VyxFieldParser::SeparatorAt(unsigned position) const
{
    int length = m_separator.GetLength();
    return length > 0 && wcsncmp(m_text + position, m_separator, length) == 0;
}

// At a backslash: consumes it and the character after it (not a terminator or a separator).
void VyxFieldParser::EscapeStep()
{
    wchar_t next = m_text[m_position + 1];
    if (next == 0 || SeparatorAt(m_position + 1)) {
        Append(L'\\');
        ++m_position;
        return;
    }
    bool decode = (m_flags & DecodeEscapes) != 0;
    switch (next) {
    case L't':
    case L'r':
    case L'n':
        if (decode) {
            Append(next == L't' ? L'\t' : (next == L'r' ? L'\r' : L'\n'));
        } else {
            Append(L'\\');
            Append(next);
        }
        break;
    case L'\\':
    case L'"':
    case L'\'':
        if (!decode)
            Append(L'\\');
        Append(next);
        break;
    default:
        Append(L'\\');
        Append(next);
        break;
    }
    m_position += 2;
}

// At an opening quote: collects up to the closing one; -1 when the text ends first.
int VyxFieldParser::QuoteStep(wchar_t quote)
{
    if (!(m_flags & KeepAroundQuotes))
        m_outputLength = 0;
    if (m_flags & KeepQuotes)
        Append(quote);
    ++m_position;
    for (;;) {
        wchar_t ch = m_text[m_position];
        if (ch == 0)
            return -1;
        if (ch == quote)
            break;
        if (ch == L'\\')
            EscapeStep();
        else {
            Append(ch);
            ++m_position;
        }
    }
    if (m_flags & KeepQuotes)
        Append(quote);
    ++m_position;
    return 0;
}

int VyxFieldParser::GetField(wchar_t* output, const wchar_t* text, int fieldIndex, const wchar_t* separator)
{
    m_text = text ? text : L"";
    m_position = 0;
    m_output = output;
    m_outputLength = 0;
    m_separator = separator ? separator : L"";
    bool quoted = false;
    int remaining = fieldIndex;
    int result = 0;
    for (;;) {
        wchar_t ch = m_text[m_position];
        if (ch == 0)
            break;
        if (SeparatorAt(m_position)) {
            if (remaining == 0)
                break;
            --remaining;
            m_position += m_separator.GetLength();
            m_outputLength = 0;
            quoted = false;
            continue;
        }
        if (ch == L'\\') {
            EscapeStep();
        } else if (ch == L'"' || ch == L'\'') {
            if (QuoteStep(ch) < 0) {
                result = -1;
                break;
            }
            quoted = true;
        } else {
            if (!quoted || (m_flags & KeepAroundQuotes))
                Append(ch);
            ++m_position;
        }
    }
    if (remaining > 0)
        result = -2;
    if (result < 0)
        m_outputLength = 0;
    if (m_output)
        m_output[m_outputLength] = 0;
    return result < 0 ? result : static_cast<int>(m_outputLength);
}

int VyxFieldParser::GetFieldByChar(wchar_t* output, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    wchar_t separatorText[2] = {separator, 0};
    return GetField(output, text, fieldIndex, separatorText);
}

namespace {

size_t TextLength(const wchar_t* text)
{
    return text ? wcslen(text) : 0;
}

} // namespace

int GetFieldString(CString* out, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    std::vector<wchar_t> buffer(TextLength(text) + 1);
    VyxFieldParser parser;
    int result = parser.GetFieldByChar(buffer.data(), text, fieldIndex, separator);
    if (out)
        *out = buffer.data();
    return result;
}

CString GetFieldString(const wchar_t* text, int fieldIndex, wchar_t separator)
{
    CString field;
    GetFieldString(&field, text, fieldIndex, separator);
    return field;
}

int GetFieldString(wchar_t* buffer, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    VyxFieldParser parser;
    return parser.GetFieldByChar(buffer, text, fieldIndex, separator);
}

int GetFieldVariant(VyxVariant* out, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    CString field;
    if (GetFieldString(&field, text, fieldIndex, separator) < 0)
        return 0;
    VyxRegExp number;
    if (number.IsNumber(field) <= 0)
        return 0;
    if (!out)
        return field.GetLength();
    *out = static_cast<const wchar_t*>(field);
    return static_cast<int>(wcslen(out->GetString()));
}

int GetFieldInt(int* out, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    VyxVariant value;
    int result = GetFieldVariant(&value, text, fieldIndex, separator);
    if (out)
        *out = value.GetInt();
    return result;
}

int GetFieldInt64(long long* out, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    VyxVariant value;
    int result = GetFieldVariant(&value, text, fieldIndex, separator);
    if (out)
        *out = value.GetInt64();
    return result;
}

int GetFieldDouble(double* out, const wchar_t* text, int fieldIndex, wchar_t separator)
{
    VyxVariant value;
    int result = GetFieldVariant(&value, text, fieldIndex, separator);
    if (out)
        *out = value.GetDouble();
    return result;
}

int FindFieldEnd(const wchar_t* text, wchar_t character, const wchar_t* separator)
{
    if (!text)
        return 0;
    int separatorLength = static_cast<int>(TextLength(separator));
    VyxFieldParser parser;
    int offset = 0;
    int fields = 0;
    int count = 0;
    do {
        if (fields > 0 && text[offset] == 0)
            break;
        if (parser.GetField(nullptr, text + offset, 0, separator) < 0)
            break;
        int consumed = static_cast<int>(parser.GetPosition());
        if (text[offset + consumed] != 0)
            consumed += separatorLength;
        for (int i = 0; i < consumed; ++i) {
            if (text[offset + i] == character)
                ++count;
        }
        offset += consumed;
        ++fields;
    } while (fields < count);
    return fields == count ? offset : 0;
}

const wchar_t* SkipBlanks(const wchar_t* text)
{
    if (!text)
        return text;
    while (*text == L' ' || *text == L'\t')
        ++text;
    return text;
}
