#include "catalogue/VyxConfig.h"

#include "foundation/VyxUtility.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

const int kMissing = -9821;
const wchar_t* const kSplitFontKeys[] = {L"fontFaceName", L"fontWidth", L"fontHeight", L"fontItalic", L"fontWeight"};

void CopyText(wchar_t* field, size_t capacity, const CString& text)
{
    // A text longer than its field keeps what fits.
    lstrcpynW(field, text, static_cast<int>(capacity));
}

} // namespace

VyxConfig::VyxConfig()
{
    SetPath(L"ThumbData.ini");
}

VyxConfig::VyxConfig(const wchar_t* fileName)
{
    SetPath(fileName);
}

VyxConfig::~VyxConfig() {}

int VyxConfig::Load(THUMBSDATA& data, const wchar_t* section) const
{
    if (GetInt(section, L"ThumbsSizeWidth", kMissing) == kMissing)
        return 0;
    data.Frame = GetBool(section, L"Frame", false);
    data.FrameEdge = GetInt(section, L"FrameEdge", 1);
    data.NameFrame = GetBool(section, L"NameFrame", true);
    data.NameFrameEdge = GetInt(section, L"NameFrameEdge", 2);
    data.Unsharp = GetBool(section, L"Unsharp", true);
    data.LimitCheck = GetBool(section, L"LimitCheck", true);
    data.Name = GetInt(section, L"Name", 1);
    data.Name2Per = GetInt(section, L"Name2Per", 90);
    data.ScaleMode = GetInt(section, L"ScaleMode", 10);
    data.WordBreak = GetBool(section, L"WordBreak", false);
    data.Shadow = GetInt(section, L"Shadow", 0);
    data.ScaleStep = GetInt(section, L"ScaleStep", 25);
    data.ThumbsSize.cx = GetInt(section, L"ThumbsSizeWidth", 110);
    data.ThumbsSize.cy = GetInt(section, L"ThumbsSizeHeight", 110);
    data.ThumbsLimitSize.cx = GetInt(section, L"ThumbsLimitSizeWidth", 40);
    data.ThumbsLimitSize.cy = GetInt(section, L"ThumbsLimitSizeHeight", 40);
    data.ThumbsMarginSize.cx = GetInt(section, L"ThumbsMarginWidth", 0);
    data.ThumbsMarginSize.cy = GetInt(section, L"ThumbsMarginHeight", 0);
    data.colBackGround = GetColour(section, L"colBackGround", GetSysColor(COLOR_BTNFACE));
    data.colText = GetColour(section, L"colText", 0x000000);
    data.colNormalDraw = GetColour(section, L"colNormalDraw", 0xFFFFFF);
    data.colFolderDraw = GetColour(section, L"colFolderDraw", 0xFFFFFF);
    data.colArcDraw = GetColour(section, L"colArcDraw", 0xFFF0F0);
    data.colCantDraw = GetColour(section, L"colCantDraw", 0xF0FFFF);
    data.colSelectText = GetColour(section, L"colSelectText", 0xFFFFFF);
    data.colSelectBackGround = GetColour(section, L"colSelectBackGround", 0xFF8C8C);
    data.colSelectCheck = GetColour(section, L"colSelectCheck", 0x000080);

    // A stored font of any other length is not a LOGFONT: the split keys describe the font then.
    LOGFONTW font = {};
    if (GetBinary(section, L"font", &font, sizeof(font)) != static_cast<int>(sizeof(font))) {
        GetDefaultFontFamily(nullptr, font);
        CString face;
        GetString(face, section, L"fontFaceName", L"ＭＳ ゴシック");
        CopyText(font.lfFaceName, LF_FACESIZE, face);
        font.lfWidth = GetInt(section, L"fontWidth", 0);
        font.lfHeight = GetInt(section, L"fontHeight", -12);
        font.lfItalic = static_cast<BYTE>(GetInt(section, L"fontItalic", 0));
        font.lfWeight = GetInt(section, L"fontWeight", 0);
        font.lfCharSet = 128;
    }
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    data.font = font;

    CString text;
    GetString(text, section, L"NameFormat", L"$(FileName)");
    CopyText(data.NameFormat, sizeof(data.NameFormat) / sizeof(data.NameFormat[0]), text);
    GetString(text, section, L"UnsharpLevel", L"0.5");
    data.UnsharpLevel = std::wcstod(text, nullptr);
    KeepWithinRanges(data, GetLargestCell());
    return 1;
}

COLORREF VyxConfig::GetColour(const wchar_t* section, const wchar_t* key, COLORREF defaultValue) const
{
    CString text;
    GetString(text, section, key, L"");
    COLORREF colour = defaultValue;
    return ParseColour(text, colour) ? colour : defaultValue;
}

bool VyxConfig::ParseColour(const wchar_t* text, COLORREF& colour)
{
    CString value(text ? text : L"");
    value.Trim();
    if (value.IsEmpty())
        return false;
    const bool hex = value[0] == L'#';
    const int first = hex || value[0] == L'+' ? 1 : 0;
    const int digits = value.GetLength() - first;
    if (digits < 1 || digits > (hex ? 8 : 10))
        return false;
    ULONGLONG number = 0;
    for (int i = first; i < value.GetLength(); ++i) {
        const wchar_t ch = value[i];
        int digit = ch >= L'0' && ch <= L'9' ? ch - L'0' : -1;
        if (hex && digit < 0 && iswxdigit(ch))
            digit = (towupper(ch) - L'A') + 10;
        if (digit < 0)
            return false;
        number = number * (hex ? 16 : 10) + static_cast<ULONGLONG>(digit);
    }
    if (number > 0xFFFFFF)
        return false;
    colour = static_cast<COLORREF>(number);
    return true;
}

int VyxConfig::ReadLargestSide(const wchar_t* key, int defaultValue)
{
    const int value = GetAppIniInt(L"System", key, defaultValue);
    return value >= MinCellSide && value <= MaxCellSide ? value : defaultValue;
}

SIZE VyxConfig::GetLargestCell()
{
    return SIZE{ReadLargestSide(L"ThumbsMaxXres", DefaultLargestX), ReadLargestSide(L"ThumbsMaxYres", DefaultLargestY)};
}

LONG VyxConfig::CellSide(LONG value, LONG largest)
{
    return std::max<LONG>(MinCellSide, std::min(value, largest));
}

// The dialog's margin edits take any number, a negative one too (the picture then reaches into
// the margin): within the largest cell side either way, the picture's box stays a size a
// thumbnail can be made for.
LONG VyxConfig::Spacing(LONG value, LONG largest)
{
    return std::max<LONG>(-largest, std::min(value, largest));
}

void VyxConfig::KeepWithinRanges(THUMBSDATA& data, SIZE largest)
{
    data.ThumbsSize.cx = CellSide(data.ThumbsSize.cx, largest.cx);
    data.ThumbsSize.cy = CellSide(data.ThumbsSize.cy, largest.cy);
    data.ThumbsLimitSize.cx = CellSide(data.ThumbsLimitSize.cx, largest.cx);
    data.ThumbsLimitSize.cy = CellSide(data.ThumbsLimitSize.cy, largest.cy);
    data.ThumbsMarginSize.cx = Spacing(data.ThumbsMarginSize.cx, largest.cx);
    data.ThumbsMarginSize.cy = Spacing(data.ThumbsMarginSize.cy, largest.cy);
    data.ScaleStep = std::max(1, std::min<int>(data.ScaleStep, largest.cx));
}

int VyxConfig::Save(const THUMBSDATA& data, const wchar_t* section) const
{
    WriteInt(section, L"ThumbsMarginWidth", data.ThumbsMarginSize.cx);
    WriteInt(section, L"ThumbsMarginHeight", data.ThumbsMarginSize.cy);
    WriteInt(section, L"ThumbsLimitSizeWidth", data.ThumbsLimitSize.cx);
    WriteInt(section, L"ThumbsLimitSizeHeight", data.ThumbsLimitSize.cy);
    WriteInt(section, L"ThumbsSizeWidth", data.ThumbsSize.cx);
    WriteInt(section, L"ThumbsSizeHeight", data.ThumbsSize.cy);
    WriteBool(section, L"Frame", data.Frame != FALSE);
    WriteInt(section, L"FrameEdge", data.FrameEdge);
    WriteBool(section, L"NameFrame", data.NameFrame != FALSE);
    WriteInt(section, L"NameFrameEdge", data.NameFrameEdge);
    WriteInt(section, L"Name", data.Name);
    WriteInt(section, L"Name2Per", data.Name2Per);
    WriteInt(section, L"ScaleMode", data.ScaleMode);
    WriteBool(section, L"WordBreak", data.WordBreak != FALSE);
    WriteInt(section, L"Shadow", data.Shadow);
    WriteBool(section, L"Unsharp", data.Unsharp);
    WriteInt(section, L"ScaleStep", data.ScaleStep);
    WriteBool(section, L"LimitCheck", data.LimitCheck);
    WriteHexInt(section, L"colBackGround", static_cast<int>(data.colBackGround));
    WriteHexInt(section, L"colText", static_cast<int>(data.colText));
    WriteHexInt(section, L"colSelectCheck", static_cast<int>(data.colSelectCheck));
    WriteHexInt(section, L"colSelectBackGround", static_cast<int>(data.colSelectBackGround));
    WriteHexInt(section, L"colSelectText", static_cast<int>(data.colSelectText));
    WriteHexInt(section, L"colNormalDraw", static_cast<int>(data.colNormalDraw));
    WriteHexInt(section, L"colFolderDraw", static_cast<int>(data.colFolderDraw));
    WriteHexInt(section, L"colArcDraw", static_cast<int>(data.colArcDraw));
    WriteHexInt(section, L"colCantDraw", static_cast<int>(data.colCantDraw));
    WriteBinary(section, L"font", &data.font, sizeof(data.font));
    for (const wchar_t* key : kSplitFontKeys)
        WriteString(section, key, nullptr);
    WriteString(section, L"NameFormat", data.NameFormat);
    WriteDouble(section, L"UnsharpLevel", data.UnsharpLevel);
    return 1;
}
