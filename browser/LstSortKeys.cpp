#include "browser/LstSortKeys.h"

#include "catalogue/VyxFile.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <cwctype>

namespace {

struct KeyEntry
{
    const wchar_t* title;
    const wchar_t* headers[9];
    int variants;
    int format;
};

const KeyEntry kKeys[LstSortKeys::KeyCount] = {
    {L"名前", {L" 名前", L" 名前▲", L" 名前▼"}, 3, LVCFMT_LEFT},
    {L"拡張子", {L" 拡張子", L" 拡張子▲", L" 拡張子▼"}, 3, LVCFMT_LEFT},
    {L"ｻｲｽﾞ", {L"ｻｲｽﾞ", L"ｻｲｽﾞ▲ ", L"ｻｲｽﾞ▼ "}, 3, LVCFMT_RIGHT},
    {L"更新日付", {L" 更新日付", L" 更新日付▲", L" 更新日付▼"}, 3, LVCFMT_LEFT},
    {L"画素",
     {L" 画素", L" 画素▲幅", L" 画素▼幅", L" 画素▲高さ", L" 画素▼高さ", L" 画素▲色", L" 画素▼色", L" 画素▲幅x高さ",
      L" 画素▼幅x高さ"},
     9,
     LVCFMT_LEFT},
    {L"書庫", {L" 書庫", L" 書庫▲", L" 書庫▼"}, 3, LVCFMT_LEFT},
    {L"情報", {L" 情報", L" 情報▲", L" 情報▼"}, 3, LVCFMT_LEFT},
    {L"SPI名", {L" SPI名", L" SPI名▲", L" SPI名▼"}, 3, LVCFMT_LEFT},
    {L"Note", {L"Note", L"Note▲", L"Note▼"}, 3, LVCFMT_LEFT},
    {L"ﾌｫﾙﾀﾞ名", {L"ﾌｫﾙﾀﾞ名", L"ﾌｫﾙﾀﾞ名▲", L"ﾌｫﾙﾀﾞ名▼"}, 3, LVCFMT_LEFT},
};

bool ValidKey(int key)
{
    return key >= 0 && key < LstSortKeys::KeyCount;
}

template <class T> int Order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int Sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// The keys that sort by the text their column shows.
bool IsTextKey(int key)
{
    return key == LstSortKeys::KeyExtension || key == LstSortKeys::KeyArchive || key == LstSortKeys::KeyInfo ||
           key == LstSortKeys::KeyPluginName || key == LstSortKeys::KeyNote || key == LstSortKeys::KeyFolder;
}

} // namespace

const wchar_t* LstSortKeys::GetTitle(int key)
{
    return ValidKey(key) ? kKeys[key].title : L"";
}

const wchar_t* LstSortKeys::GetHeader(int key, int direction)
{
    if (!ValidKey(key))
        return L"";
    if (direction < 0 || direction >= kKeys[key].variants)
        direction = 0;
    return kKeys[key].headers[direction];
}

int LstSortKeys::GetVariantCount(int key)
{
    return ValidKey(key) ? kKeys[key].variants : 3;
}

int LstSortKeys::GetFormat(int key)
{
    return ValidKey(key) ? kKeys[key].format : LVCFMT_LEFT;
}

CString LstSortKeys::GetText(const VyxFile& item, int key, const wchar_t* info)
{
    CString text;
    switch (key) {
    case KeyName:
        return item.ExpandMacros(L"$(Name)");
    case KeyExtension:
        return item.ExpandMacros(L"$(Ext)");
    case KeySize:
        return item.IsFolder() ? text : item.ExpandMacros(L"$(Size)");
    case KeyDate:
        return item.ExpandMacros(L"$(Date) $(Time)");
    case KeyPixels:
        if (item.GetWidth() != 0)
            text.Format(L"%ux%u %ubpp", static_cast<unsigned>(item.GetWidth()), static_cast<unsigned>(item.GetHeight()),
                        static_cast<unsigned>(item.GetBitCount()));
        return text;
    case KeyArchive:
        return item.IsArchiveMember() ? item.GetPath() : text;
    case KeyInfo:
        return item.ExpandMacros(info ? info : L"$(Info)");
    case KeyPluginName:
        return item.ExpandMacros(L"$(SpiName)");
    case KeyNote:
        return item.GetNote();
    case KeyFolder:
        return GetPathPart(text, item.GetPath(), PartFolder);
    default:
        return text;
    }
}

int LstSortKeys::NextDirection(int key, int current, int request)
{
    const int steps = GetVariantCount(key) - 1;
    if (request == 0)
        return 0;
    if (request > 0)
        return (request - 1) % steps + 1;
    return std::max(current, 0) % steps + 1;
}

void LstSortKeys::AddToHistory(std::vector<DWORD>& history, int key, int direction, int shownColumns)
{
    history.erase(std::remove_if(history.begin(), history.end(),
                                 [key](DWORD entry) { return static_cast<int>(LOWORD(entry)) == key; }),
                  history.end());
    history.insert(history.begin(), static_cast<DWORD>(direction) << 16 | static_cast<DWORD>(key & 0xFFFF));
    if (shownColumns >= 0 && static_cast<int>(history.size()) > shownColumns)
        history.erase(history.begin() + shownColumns);
}

LstSortKeys::NameParts LstSortKeys::SplitName(const CString& name)
{
    NameParts parts;
    int end = name.GetLength();
    while (end > 0 && !std::iswdigit(name[end - 1]))
        --end;
    if (end == 0) {
        parts.prefix = name;
        return parts;
    }
    int start = end;
    while (start > 0 && std::iswdigit(name[start - 1]))
        --start;
    parts.prefix = name.Left(start);
    parts.suffix = name.Mid(end);
    // A run too long for 64 bits counts as the largest number.
    for (int i = start; i < end; ++i) {
        const unsigned digit = static_cast<unsigned>(name[i] - L'0');
        if (parts.number > (~0ULL - digit) / 10) {
            parts.number = ~0ULL;
            break;
        }
        parts.number = parts.number * 10 + digit;
    }
    return parts;
}

int LstSortKeys::CompareNames(const CString& a, const CString& b, bool numberSort)
{
    if (!numberSort)
        return Sign(a.CollateNoCase(b));
    const NameParts left = SplitName(a), right = SplitName(b);
    if (int order = Sign(left.prefix.CollateNoCase(right.prefix)))
        return order;
    if (int order = Order(left.number, right.number))
        return order;
    return Sign(left.suffix.CollateNoCase(right.suffix));
}

void LstSortKeys::PrepareRow(Row& row, int key, const wchar_t* info)
{
    if (!row.item)
        return;
    if (key == KeyName)
        row.text = row.item->GetFileName();
    else if (IsTextKey(key))
        row.text = GetText(*row.item, key, info);
    else
        row.text.Empty();
}

int LstSortKeys::Compare(const Row& a, const Row& b, int key, int direction, bool numberSort)
{
    const bool folderA = a.item && a.item->IsFolder(), folderB = b.item && b.item->IsFolder();
    if (folderA != folderB)
        return folderA ? -1 : 1;
    if (direction == 0 || !a.item || !b.item)
        return Order(a.arrayIndex, b.arrayIndex);
    const int flip = direction == 2 ? -1 : 1;
    if (IsTextKey(key))
        return flip * Sign(a.text.Collate(b.text));
    switch (key) {
    case KeyName:
        return flip * CompareNames(a.text, b.text, numberSort);
    case KeySize:
        return flip * Order(a.item->GetFileSize(), b.item->GetFileSize());
    case KeyDate:
        return flip * Order(a.item->GetFileTime(), b.item->GetFileTime());
    case KeyPixels: {
        // Odd directions ascend, even ones descend; areas in 64 bits, far past any int.
        const int sign = direction % 2 == 1 ? 1 : -1;
        switch ((direction - 1) / 2) {
        case 0:
            return sign * Order(a.item->GetWidth(), b.item->GetWidth());
        case 1:
            return sign * Order(a.item->GetHeight(), b.item->GetHeight());
        case 2:
            return sign * Order(a.item->GetBitCount(), b.item->GetBitCount());
        default:
            return sign * Order(static_cast<long long>(a.item->GetWidth()) * a.item->GetHeight(),
                                static_cast<long long>(b.item->GetWidth()) * b.item->GetHeight());
        }
    }
    default:
        return Order(a.arrayIndex, b.arrayIndex);
    }
}
