#include "foundation/SettingsTable.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxSystem.h"

#include <cwctype>

namespace SettingsTable {

bool ReadNumber(const wchar_t* section, const wchar_t* key, int& value)
{
    CString text;
    GetAppIniString(text, section, key, L"");
    text.Trim();
    if (text.IsEmpty())
        return false;
    if (text[0] == L'#') {
        if (text.GetLength() < 2 || text.GetLength() > 9)
            return false;
        for (int i = 1; i < text.GetLength(); ++i)
            if (!iswxdigit(text[i]))
                return false;
        value = HexTextToInt(text);
        return true;
    }
    const int digit = text[0] == L'+' || text[0] == L'-' ? 1 : 0;
    if (text.GetLength() <= digit || text[digit] < L'0' || text[digit] > L'9')
        return false;
    value = DecimalTextToInt(text);
    return true;
}

CString PairText(const CSize& size)
{
    CString text;
    text.Format(L"%d,%d", size.cx, size.cy);
    return text;
}

void ReadPair(const wchar_t* section, const wchar_t* key, const CSize& defaultValue, CSize& value)
{
    CString text;
    GetAppIniString(text, section, key, PairText(defaultValue));
    int cx = 0, cy = 0;
    GetFieldInt(&cx, text, 0, L',');
    GetFieldInt(&cy, text, 1, L',');
    value = CSize(cx, cy);
}

CString RealText(double value)
{
    CString text;
    text.Format(L"%f", value);
    return text;
}

} // namespace SettingsTable
