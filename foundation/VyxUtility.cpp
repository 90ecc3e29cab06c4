#include "foundation/VyxUtility.h"

#include <cwchar>
#include <cwctype>
#include <climits>
#include <string>
#include <vector>

VyxUtility::~VyxUtility() = default;

namespace {

struct Segment
{
    int x1, y1, x2, y2;
};

bool Between(int value, int a, int b)
{
    return value >= (a < b ? a : b) && value <= (a < b ? b : a);
}

bool Intersect(const Segment& a, const Segment& b, POINT& out)
{
    double ca = static_cast<double>(a.x1) * a.y2 - static_cast<double>(a.x2) * a.y1;
    double cb = static_cast<double>(b.x1) * b.y2 - static_cast<double>(b.x2) * b.y1;
    double d = static_cast<double>(b.x2 - b.x1) * (a.y1 - a.y2) - static_cast<double>(b.y1 - b.y2) * (a.x2 - a.x1);
    if (d == 0)
        return false;
    double x = (cb * (a.x2 - a.x1) - (b.x2 - b.x1) * ca) / d;
    double y = (cb * (a.y1 - a.y2) - (b.y1 - b.y2) * ca) / -d;
    out.x = static_cast<int>(x);
    out.y = static_cast<int>(y);
    return Between(out.x, a.x1, a.x2) && Between(out.y, a.y1, a.y2) && Between(out.x, b.x1, b.x2) &&
           Between(out.y, b.y1, b.y2);
}

// A ray to the right meets exactly one of the two vertical edges.
bool PointInRect(const RECT& r, int x, int y)
{
    int rayEnd = (r.left > r.right ? r.left : r.right) + 100;
    Segment ray = {x, y, rayEnd, y};
    POINT hit;
    bool left = Intersect(ray, {r.left, r.top, r.left, r.bottom}, hit);
    bool right = Intersect(ray, {r.right, r.top, r.right, r.bottom}, hit);
    return left != right;
}

void Edges(const RECT& r, Segment edges[4])
{
    edges[0] = {r.left, r.top, r.right, r.top};       // top
    edges[1] = {r.right, r.top, r.right, r.bottom};   // right
    edges[2] = {r.right, r.bottom, r.left, r.bottom}; // bottom
    edges[3] = {r.left, r.bottom, r.left, r.top};     // left
}

double UnitsPerInch(int unit, int resolution)
{
    switch (unit) {
    case UnitPixel:
        return resolution;
    case UnitLoMetric:
        return 254.0;
    case UnitHiMetric:
        return 2540.0;
    case UnitLoEnglish:
        return 100.0;
    case UnitHiEnglish:
        return 1000.0;
    case UnitTwip:
        return 1440.0;
    case UnitMillimetre:
        return 25.4;
    case UnitPoint:
        return 72.0;
    default:
        return 0.0;
    }
}

struct FontSearch
{
    LOGFONTW font = {};
    bool found = false;
};

int CALLBACK KeepLastFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    FontSearch* search = reinterpret_cast<FontSearch*>(data);
    search->font = *font;
    search->found = true;
    return 1;
}

void DefaultGuiFont(LOGFONTW& out)
{
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &out);
}

class ScreenDC
{
public:
    explicit ScreenDC(HDC dc) : m_given(dc), m_dc(dc ? dc : GetDC(nullptr)) {}
    ~ScreenDC()
    {
        if (!m_given && m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    operator HDC() const { return m_dc; }

private:
    HDC m_given;
    HDC m_dc;
};

int TextLength(const wchar_t* text)
{
    return text ? static_cast<int>(wcslen(text)) : 0;
}

// Splits at the last "."; the extension excludes the dot. False when there is no dot.
bool SplitAtLastDot(const wchar_t* text, std::wstring& base, std::wstring& ext)
{
    const wchar_t* dot = wcsrchr(text, L'.');
    if (!dot) {
        base = text;
        ext.clear();
        return false;
    }
    base.assign(text, dot - text);
    ext = dot + 1;
    return true;
}

} // namespace

int GetOutCode(const RECT& rect, POINT point)
{
    int left = rect.left < rect.right ? rect.left : rect.right;
    int right = rect.left < rect.right ? rect.right : rect.left;
    int top = rect.top < rect.bottom ? rect.top : rect.bottom;
    int bottom = rect.top < rect.bottom ? rect.bottom : rect.top;
    int code = 0;
    if (point.x < left)
        code |= 1;
    else if (point.x > right)
        code |= 2;
    if (point.y > bottom)
        code |= 4;
    else if (point.y < top)
        code |= 8;
    return code;
}

bool GetRectOverlap(const RECT& a, const RECT& b, RECT* out)
{
    const int kMaxPoints = 16;
    POINT points[kMaxPoints];
    int count = 0;
    auto add = [&](int x, int y) {
        if (count < kMaxPoints)
            points[count++] = {x, y};
    };
    const RECT* pairs[2][2] = {{&b, &a}, {&a, &b}};
    for (auto& pair : pairs) {
        const RECT& c = *pair[0];
        const RECT& inside = *pair[1];
        POINT corners[4] = {{c.left, c.top}, {c.right, c.top}, {c.right, c.bottom}, {c.left, c.bottom}};
        for (const POINT& corner : corners) {
            if (PointInRect(inside, corner.x, corner.y))
                add(corner.x, corner.y);
        }
    }
    Segment edgesA[4], edgesB[4];
    Edges(a, edgesA);
    Edges(b, edgesB);
    for (const Segment& ea : edgesA) {
        for (const Segment& eb : edgesB) {
            POINT hit;
            if (Intersect(ea, eb, hit))
                add(hit.x, hit.y);
        }
    }
    if (out) {
        RECT box = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int i = 0; i < count; ++i) {
            box.left = points[i].x < box.left ? points[i].x : box.left;
            box.top = points[i].y < box.top ? points[i].y : box.top;
            box.right = points[i].x > box.right ? points[i].x : box.right;
            box.bottom = points[i].y > box.bottom ? points[i].y : box.bottom;
        }
        *out = box;
    }
    return count >= 4;
}

double ConvertUnit(double value, int fromUnit, int toUnit, int resolution)
{
    if (fromUnit == toUnit)
        return value;
    double from = UnitsPerInch(fromUnit, resolution);
    double to = UnitsPerInch(toUnit, resolution);
    if (from <= 0.0 || to <= 0.0) // units 7, 8, unknown codes, or pixels without a resolution
        return value;
    return value * to / from;
}

// Both fall back to the GUI font also when the enumeration reported nothing (Wine then answers
// non-zero while leaving the record empty).
void GetDefaultFontFamily(HDC dc, LOGFONTW& out)
{
    ScreenDC screen(dc);
    FontSearch search;
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    if (EnumFontFamiliesExW(screen, &query, reinterpret_cast<FONTENUMPROCW>(KeepLastFont),
                            reinterpret_cast<LPARAM>(&search), 0) == 0 ||
        !search.found)
        DefaultGuiFont(search.font);
    out = search.font;
}

void FindFontFamily(HDC dc, const wchar_t* faceName, LOGFONTW& out)
{
    ScreenDC screen(dc);
    FontSearch search;
    if (!faceName || !*faceName ||
        EnumFontFamiliesW(screen, faceName, reinterpret_cast<FONTENUMPROCW>(KeepLastFont),
                          reinterpret_cast<LPARAM>(&search)) == 0 ||
        !search.found)
        DefaultGuiFont(search.font);
    out = search.font;
}

CString MenuItemText(const wchar_t* text)
{
    CString shown(text ? text : L"");
    shown.Replace(L"&", L"&&");
    return shown;
}

wchar_t MenuMnemonic(const wchar_t* text)
{
    for (const wchar_t* at = text; at && *at; ++at) {
        if (*at != L'&')
            continue;
        if (at[1] != L'&')
            return static_cast<wchar_t>(std::towupper(at[1]));
        ++at; // "&&" is an ampersand shown
    }
    return 0;
}

namespace {

bool MnemonicTaken(HMENU menu, wchar_t mnemonic)
{
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    wchar_t text[256];
    for (int i = 0; i < count; ++i)
        if (::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0 &&
            MenuMnemonic(text) == static_cast<wchar_t>(std::towupper(mnemonic)))
            return true;
    return false;
}

bool IsMnemonicCharacter(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

wchar_t FreeMenuMnemonic(HMENU menu, wchar_t preferred)
{
    if (preferred && !MnemonicTaken(menu, preferred))
        return static_cast<wchar_t>(std::towupper(preferred));
    const wchar_t candidates[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (const wchar_t* c = candidates; *c; ++c)
        if (!MnemonicTaken(menu, *c))
            return *c;
    return 0;
}

CString WithFreeMnemonic(HMENU menu, const wchar_t* text)
{
    CString marked(text ? text : L"");
    for (int i = 0; i < marked.GetLength(); ++i)
        if (IsMnemonicCharacter(marked[i]) && !MnemonicTaken(menu, marked[i])) {
            marked.Insert(i, L'&');
            break;
        }
    return marked;
}

void SpaceMenuKeys(HMENU menu)
{
    // Wine starts the key column one average character past the widest label, which reads as
    // the label running into its key. It measures a label without its trailing blanks: the gap
    // is an ideographic space.
    const wchar_t kKeyGap = L'\x3000';
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 255;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item))
            continue;
        CString spaced(text);
        const int tab = spaced.Find(L'\t');
        if (tab < 0 || (tab > 0 && spaced[tab - 1] == kKeyGap))
            continue;
        spaced.Insert(tab, kKeyGap);
        item.fMask = MIIM_STRING;
        item.dwTypeData = spaced.GetBuffer();
        ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
        spaced.ReleaseBuffer();
    }
}

CString& AbbreviateMiddle(CString& out, const wchar_t* text, int maxLength, int headCount, int tailCount)
{
    int length = TextLength(text);
    if (length <= maxLength) {
        out = text ? text : L"";
        return out;
    }
    CString result;
    int head = maxLength < headCount + 3 ? maxLength - 3 : headCount;
    if (head > 0)
        result = CString(text, head < length ? head : length);
    result += L"...";
    int tail = maxLength < result.GetLength() + tailCount ? maxLength - result.GetLength() : tailCount;
    if (tail > length)
        tail = length;
    if (tail > 0)
        result += text + length - tail;
    out = result;
    return out;
}

int FindSubstring(const wchar_t* text, const wchar_t* pattern, int limit)
{
    int length = TextLength(text);
    int patternLength = TextLength(pattern);
    if (patternLength == 0)
        return -1;
    int range = limit > 0 && limit < length ? limit : length;
    for (int i = 0; i + patternLength <= range; ++i) {
        if (wmemcmp(text + i, pattern, patternLength) == 0)
            return i;
    }
    return -1;
}

// Backtracks to the last "*" on a mismatch, so "aab" matches "*ab".
bool WildcardMatch(const wchar_t* name, const wchar_t* pattern)
{
    if (!name || !pattern)
        return false;
    const wchar_t* starPattern = nullptr;
    const wchar_t* starName = nullptr;
    while (*name) {
        wchar_t p = static_cast<wchar_t>(towupper(*pattern));
        if (p == L'*') {
            starPattern = ++pattern;
            starName = name;
        } else if (p && (p == L'?' || p == towupper(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == L'*')
        ++pattern;
    return *pattern == 0;
}

bool MatchFileSpecs(const wchar_t* name, const wchar_t* specs)
{
    if (!name || !specs)
        return false;
    std::wstring nameBase, nameExt;
    bool nameHasDot = SplitAtLastDot(name, nameBase, nameExt);
    for (const wchar_t* spec = specs; *spec; spec += wcslen(spec) + 1) {
        std::wstring specBase, specExt;
        bool specHasDot = SplitAtLastDot(spec, specBase, specExt);
        if (!specHasDot)
            specExt = L"*";
        if (!nameHasDot && specHasDot)
            continue;
        if (WildcardMatch(nameBase.c_str(), specBase.c_str()) && WildcardMatch(nameExt.c_str(), specExt.c_str()))
            return true;
    }
    return false;
}

bool MatchFileSpecList(const wchar_t* name, const wchar_t* list, wchar_t separator)
{
    if (!list)
        return false;
    if (separator == 0)
        return MatchFileSpecs(name, list);
    int length = TextLength(list);
    std::vector<wchar_t> buffer(list, list + length);
    buffer.push_back(0);
    buffer.push_back(0);
    for (wchar_t& ch : buffer) {
        if (ch == separator)
            ch = 0;
    }
    return MatchFileSpecs(name, buffer.data());
}

int CommonPrefixLengthNoCase(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return 0;
    int count = 0;
    while (a[count] && b[count] && towupper(a[count]) == towupper(b[count]))
        ++count;
    return count;
}

int CompareLengthFirst(const wchar_t* a, const wchar_t* b)
{
    int la = TextLength(a), lb = TextLength(b);
    if (la != lb)
        return la > lb ? 2 : -2;
    for (int i = 0; i < la; ++i) {
        unsigned ca = static_cast<unsigned short>(a[i]), cb = static_cast<unsigned short>(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

int CompareLengthFirstNoCase(const wchar_t* a, const wchar_t* b)
{
    int la = TextLength(a), lb = TextLength(b);
    if (la != lb)
        return la > lb ? 2 : -2;
    for (int i = 0; i < la; ++i) {
        unsigned ca = static_cast<unsigned short>(towupper(a[i]));
        unsigned cb = static_cast<unsigned short>(towupper(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

void WrapTextToWidth(HDC dc, const wchar_t* text, int width, CStringArray& lines)
{
    lines.RemoveAll();
    if (!text)
        return;
    ScreenDC screen(dc);
    const wchar_t* line = text;
    for (;;) {
        const wchar_t* end = wcschr(line, L'\n');
        int lineLength = end ? static_cast<int>(end - line) : TextLength(line);
        if (lineLength == 0)
            lines.Add(CString());
        for (int start = 0; start < lineLength;) {
            int fit = 0;
            SIZE size;
            GetTextExtentExPointW(screen, line + start, lineLength - start, width, &fit, nullptr, &size);
            if (fit < 1)
                fit = 1; // a character wider than the line still takes a line of its own
            lines.Add(CString(line + start, fit));
            start += fit;
        }
        if (!end)
            break;
        line = end + 1;
    }
}
