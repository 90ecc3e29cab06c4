#include "foundation/NumberFormat.h"

#include <cmath>
#include <string>

namespace {

const wchar_t* const kUnitTexts[5] = {L"B", L"KB", L"MB", L"GB", L"TB"};

CString& GroupWithPlatform(CString& out, LPCWSTR numberText, int decimals, UINT negativeOrder, int size)
{
    NUMBERFMTW format = {};
    format.NumDigits = decimals < 0 ? 0 : decimals;
    format.LeadingZero = 0;
    format.Grouping = 3;
    format.lpDecimalSep = const_cast<LPWSTR>(L".");
    format.lpThousandSep = const_cast<LPWSTR>(L",");
    format.NegativeOrder = negativeOrder;
    wchar_t buffer[100];
    int n = numberText ? GetNumberFormatW(LOCALE_USER_DEFAULT, 0, numberText, &format, buffer, size) : 0;
    out = n > 0 ? buffer : L"";
    // Wine drops a zero integer part entirely when leading zeros are off ("0" gives "", "-0.4"
    // gives "-"); the number itself is still 0.
    if (n > 0 && format.NumDigits == 0 && (out.IsEmpty() || out == L"-"))
        out = L"0";
    return out;
}

} // namespace

CString& GroupNumberText(CString& out, LPCWSTR numberText, int decimals)
{
    return GroupWithPlatform(out, numberText, decimals, 1, 64);
}

CString& GroupUnsignedNumberText(CString& out, unsigned long long value)
{
    CString text;
    text.Format(L"%I64u", value);
    return GroupWithPlatform(out, text, 0, 0, 100);
}

CString& FormatIntGrouped(CString& out, int value)
{
    CString text;
    text.Format(L"%d", value);
    return GroupNumberText(out, text, 0);
}

CString& FormatInt64Grouped(CString& out, long long value)
{
    CString text;
    text.Format(L"%I64d", value);
    return GroupNumberText(out, text, 0);
}

CString& FormatUInt64Grouped(CString& out, unsigned long long value)
{
    CString text;
    text.Format(L"%I64u", value);
    return GroupNumberText(out, text, 0);
}

CString& FormatDoubleGrouped(CString& out, double value)
{
    CString text;
    text.Format(L"%f", value);
    return GroupNumberText(out, text, 0);
}

wchar_t* FormatDouble10g(double value, wchar_t* buffer, int size)
{
    if (!buffer || size < 1)
        return buffer;
    if (std::fabs(value) < 1e-10)
        value = 0;
    CString formatted;
    formatted.Format(L"%.10g", value);
    std::wstring text = formatted.GetString();
    size_t e = text.find(L'e');
    if (e != std::wstring::npos) {
        int exponent = _wtoi(text.c_str() + e + 1);
        if (exponent > -10 && exponent < 10) {
            std::wstring sign, digits;
            for (size_t i = 0; i < e; ++i) {
                if (text[i] == L'-')
                    sign = L"-";
                else if (text[i] != L'.')
                    digits += text[i];
            }
            if (exponent < 1) {
                text = sign + L"0." + std::wstring(-exponent - 1, L'0') + digits;
            } else {
                size_t point = static_cast<size_t>(exponent) + 1;
                if (digits.size() < point)
                    digits.append(point - digits.size(), L'0');
                else if (digits.size() > point)
                    digits.insert(point, L".");
                text = sign + digits;
            }
        }
    }
    if (!text.empty() && text.back() == L'.')
        text.pop_back();
    CopyStringN(buffer, text.c_str(), size);
    return buffer;
}

CString& FormatDoubleGroupedTrim(CString& out, double value, LPCWSTR format)
{
    std::wstring text;
    if (format) {
        CString first, second;
        first.Format(format, value);
        second.Format(format, _wtof(first));
        text = second.GetString();
    } else {
        wchar_t buffer[64];
        text = FormatDouble10g(value, buffer, 64);
    }
    size_t point = text.find(L'.');
    std::wstring whole = text.substr(0, point);
    std::wstring fraction = point == std::wstring::npos ? L"" : text.substr(point);
    // A sign stays in front of the groups.
    std::wstring sign;
    if (!whole.empty() && whole[0] == L'-') {
        sign = L"-";
        whole.erase(0, 1);
    }
    std::wstring grouped;
    if (whole.size() < 4) {
        grouped = whole;
    } else {
        size_t first = whole.size() % 3;
        grouped = whole.substr(0, first);
        for (size_t i = first; i < whole.size(); i += 3) {
            if (!grouped.empty())
                grouped += L",";
            grouped += whole.substr(i, 3);
        }
    }
    out = (sign + grouped + fraction).c_str();
    return out;
}

CString& FormatNumberText(CString& out, const NumberFormatRecord& record)
{
    double v = static_cast<double>(record.value);
    int unit = record.startUnit < 0 ? 0 : record.startUnit > 4 ? 4 : record.startUnit;
    while (v >= 1000.0 && unit < 4 && (record.maximumUnit == -1 || unit < record.maximumUnit)) {
        v /= 1024;
        ++unit;
    }
    CString integer;
    integer.Format(L"%I64u", static_cast<unsigned long long>(v));
    int digits = integer == L"0" ? 0 : integer.GetLength() > 4 ? 4 : integer.GetLength();
    int decimals = record.decimals[digits];
    CString text;
    if (decimals < 0) {
        text.Format(L"%.0f", v);
    } else {
        if (record.truncate) {
            // Cut by flooring the scaled value: subtracting half a unit before rounding would turn
            // 0 into -0.1 and round exact values down.
            double scale = std::pow(10.0, decimals);
            v = std::floor(v * scale) / scale;
            if (v < 0)
                v = 0;
        }
        CString format;
        format.Format(L"%%.%df", decimals);
        text.Format(format, v);
    }
    FormatDoubleGroupedTrim(out, _wtof(text));
    if (record.withUnit)
        out += kUnitTexts[unit];
    return out;
}

CString& FormatNumberEx(CString& out, unsigned long long value, BOOL withUnit, int decimals, int startUnit,
                        int maximumUnit)
{
    NumberFormatRecord record = {};
    record.value = value;
    record.withUnit = withUnit;
    for (int& d : record.decimals)
        d = decimals;
    record.truncate = FALSE;
    record.startUnit = startUnit;
    record.maximumUnit = maximumUnit;
    return FormatNumberText(out, record);
}

wchar_t* CopyStringN(wchar_t* destination, const wchar_t* source, int size)
{
    if (!destination || size < 1)
        return destination;
    if (!source)
        source = L"";
    size_t length = wcslen(source);
    size_t count = length + 1 <= static_cast<size_t>(size) ? length : static_cast<size_t>(size) - 1;
    memmove(destination, source, count * sizeof(wchar_t));
    destination[count] = L'\0';
    return destination;
}

wchar_t* CopyToFixedBuffer(wchar_t* destination, const wchar_t* source)
{
    // Checked before copying: the runtime's checked copy may end the process on a bad argument.
    if (!destination || !source || wcslen(source) >= static_cast<size_t>(kFixedBufferSize))
        return nullptr;
    memcpy(destination, source, (wcslen(source) + 1) * sizeof(wchar_t));
    return destination;
}
