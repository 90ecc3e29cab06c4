#include "catalogue/VyxConfig.h"

#include "foundation/VyxUtility.h"

#include <algorithm>
#include <cwchar>

namespace {

const int kMissing = -9821;
const int kSmallestLimit = 10;
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
    data.ThumbsLimitSize.cx = std::max(kSmallestLimit, GetInt(section, L"ThumbsLimitSizeWidth", 40));
    data.ThumbsLimitSize.cy = std::max(kSmallestLimit, GetInt(section, L"ThumbsLimitSizeHeight", 40));
    data.ThumbsMarginSize.cx = GetInt(section, L"ThumbsMarginWidth", 0);
    data.ThumbsMarginSize.cy = GetInt(section, L"ThumbsMarginHeight", 0);
    data.colBackGround = GetHexInt(section, L"colBackGround", GetSysColor(COLOR_BTNFACE));
    data.colText = GetHexInt(section, L"colText", 0x000000);
    data.colNormalDraw = GetHexInt(section, L"colNormalDraw", 0xFFFFFF);
    data.colFolderDraw = GetHexInt(section, L"colFolderDraw", 0xFFFFFF);
    data.colArcDraw = GetHexInt(section, L"colArcDraw", 0xFFF0F0);
    data.colCantDraw = GetHexInt(section, L"colCantDraw", 0xF0FFFF);
    data.colSelectText = GetHexInt(section, L"colSelectText", 0xFFFFFF);
    data.colSelectBackGround = GetHexInt(section, L"colSelectBackGround", 0xFF8C8C);
    data.colSelectCheck = GetHexInt(section, L"colSelectCheck", 0x000080);

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
    return 1;
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
