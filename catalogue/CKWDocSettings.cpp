#include "catalogue/CKWDocSettings.h"

#include "catalogue/VyxConfig.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

const wchar_t kKWDoc[] = L"KWDoc";
const wchar_t kVyxFile[] = L"VyxFile";
const wchar_t kFilter[] = L"Filter";
const wchar_t* const kSplitFontKeys[] = {L"fontFaceName", L"fontHeight", L"fontWidth", L"fontItalic", L"fontWeight"};

// A number as the settings store writes it ("#" and hexadecimal digits, or decimal digits after
// an optional sign); false for a missing key and for text that is no number (a file edited by
// hand), which then reads as the default.
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

struct KeyReader
{
    void Bool(const wchar_t* section, const wchar_t* key, bool& value, bool defaultValue)
    {
        int number = 0;
        value = ReadNumber(section, key, number) ? number != 0 : defaultValue;
    }
    void Int(const wchar_t* section, const wchar_t* key, int& value, int defaultValue)
    {
        value = CKWDocSettings::ReadInt(section, key, defaultValue);
    }
    // The top byte of a COLORREF is not part of the colour: a value that has one is no colour.
    void Colour(const wchar_t* section, const wchar_t* key, COLORREF& value, COLORREF defaultValue)
    {
        int number = 0;
        value = ReadNumber(section, key, number) && (static_cast<DWORD>(number) & 0xFF000000) == 0
                    ? static_cast<COLORREF>(number)
                    : defaultValue;
    }
    void Pair(const wchar_t* section, const wchar_t* key, CSize& value, const wchar_t* defaultValue)
    {
        CString text;
        GetAppIniString(text, section, key, defaultValue);
        int cx = 0, cy = 0;
        GetFieldInt(&cx, text, 0, L',');
        GetFieldInt(&cy, text, 1, L',');
        value = CSize(cx, cy);
    }
    void String(const wchar_t* section, const wchar_t* key, CString& value, const wchar_t* defaultValue)
    {
        GetAppIniString(value, section, key, defaultValue);
    }
    void Real(const wchar_t* section, const wchar_t* key, double& value, const wchar_t* defaultValue)
    {
        CString text;
        GetAppIniString(text, section, key, defaultValue);
        value = _wtof(text);
    }
    void Font(CKWDocSettings&) {}
};

struct KeyWriter
{
    void Bool(const wchar_t* section, const wchar_t* key, bool& value, bool) { WriteAppIniBool(section, key, value); }
    void Int(const wchar_t* section, const wchar_t* key, int& value, int) { WriteAppIniInt(section, key, value); }
    void Colour(const wchar_t* section, const wchar_t* key, COLORREF& value, COLORREF)
    {
        WriteAppIniHexInt(section, key, static_cast<int>(value));
    }
    void Pair(const wchar_t* section, const wchar_t* key, CSize& value, const wchar_t*)
    {
        CString text;
        text.Format(L"%d,%d", value.cx, value.cy);
        WriteAppIniString(section, key, text);
    }
    void String(const wchar_t* section, const wchar_t* key, CString& value, const wchar_t*)
    {
        WriteAppIniString(section, key, value);
    }
    void Real(const wchar_t* section, const wchar_t* key, double& value, const wchar_t*)
    {
        CString text;
        text.Format(L"%f", value);
        WriteAppIniString(section, key, text);
    }
    // From now on the font is read from "font"; the split keys stay behind as 0.
    void Font(CKWDocSettings& settings)
    {
        WriteAppIniBinary(kVyxFile, L"font", &settings.font, sizeof(settings.font));
        for (const wchar_t* key : kSplitFontKeys)
            WriteAppIniInt(kVyxFile, key, 0);
    }
};

} // namespace

CKWDocSettings::CKWDocSettings()
    : PathMask(L"*.*"), UnsharpKernel(L"1,1,1,1,0,1,1,1,1"), NameFormat(L"$(FileName)"), AutoFileFormat(L"%s-%d%s")
{
}

template <class Visitor> void CKWDocSettings::VisitKeys(Visitor& v)
{
    v.Pair(kKWDoc, L"ThumbsMarginSize", ThumbsMarginSize, L"2,2");
    v.Pair(kKWDoc, L"ThumbsPaddingSize", ThumbsPaddingSize, L"4,4");
    v.Pair(kKWDoc, L"ThumbsSize", ThumbsSize, L"200,300");
    v.Pair(kKWDoc, L"ThumbsLimitSize", ThumbsLimitSize, L"40,40");
    v.Bool(kKWDoc, L"DELQA", DELQA, false);
    v.Bool(kKWDoc, L"TrashCan", TrashCan, true);
    v.Bool(kKWDoc, L"Synchronous", Synchronous, true);
    v.Bool(kKWDoc, L"SyncJump", SyncJump, true);
    v.Bool(kKWDoc, L"Archive", Archive, false);
    v.Bool(kKWDoc, L"DownScan", DownScan, false);
    v.Bool(kKWDoc, L"FolderShow", FolderShow, true);
    v.Int(kKWDoc, L"FolderTitle", FolderTitle, 3);
    v.Int(kKWDoc, L"FolderTitleSearchCount", FolderTitleSearchCount, 10);
    v.Int(kKWDoc, L"FolderTitleBright", FolderTitleBright, -20);
    v.Bool(kKWDoc, L"HiddenFile", HiddenFile, false);
    v.Bool(kKWDoc, L"Frame", Frame, false);
    v.Int(kKWDoc, L"FrameEdge", FrameEdge, 1);
    v.Bool(kKWDoc, L"NameFrame", NameFrame, true);
    v.Int(kKWDoc, L"NameFrameEdge", NameFrameEdge, 2);
    v.Int(kKWDoc, L"Name", Name, 1);
    v.Int(kKWDoc, L"Name2Per", Name2Per, 100);
    v.Int(kKWDoc, L"ScaleMode", ScaleMode, 10);
    v.Bool(kKWDoc, L"Unsharp", Unsharp, true);
    v.Int(kKWDoc, L"ScaleStep", ScaleStep, 25);
    v.Bool(kKWDoc, L"LimitCheck", LimitCheck, true);
    v.Bool(kKWDoc, L"RestoreFolder", RestoreFolder, true);
    v.Bool(kKWDoc, L"MultiProcess", MultiProcess, true);
    v.String(kKWDoc, L"PathMask", PathMask, L"*.*");
    v.Bool(kKWDoc, L"ScanSPI", ScanSPI, false);
    v.Bool(kKWDoc, L"ExtSPI", ExtSPI, false);
    v.Int(kKWDoc, L"IDViewer", IDViewer, 10224);
    v.String(kKWDoc, L"ExecExt", ExecExt, L"");
    v.Bool(kKWDoc, L"ThumbsCreate", ThumbsCreate, false);
    v.String(kKWDoc, L"HomeFolder", HomeFolder, L"");
    v.String(kKWDoc, L"CacheDataFolder", CacheDataFolder, L"");
    v.Bool(kKWDoc, L"CacheFolder", CacheFolder, false);
    v.Bool(kKWDoc, L"AutoCacheFolder", AutoCacheFolder, false);
    v.Bool(kKWDoc, L"EnableConfig", EnableConfig, true);
    v.Bool(kKWDoc, L"DaDMOVE", DaDMOVE, false);
    v.Bool(kKWDoc, L"ClipboardCopyDIB", ClipboardCopyDIB, true);
    v.Bool(kKWDoc, L"ClipboardCopyTEXT", ClipboardCopyTEXT, true);
    v.Bool(kKWDoc, L"NotClrCursorMove", NotClrCursorMove, false);
    v.String(L"SPI", L"SPISet", SPISet, L"");
    v.String(L"SPI", L"SPIDIR", SPIDIR, L"");
    v.Int(kKWDoc, L"DispPluginLimit", DispPluginLimit, 2048);
    v.Int(kKWDoc, L"ArcDispPluginLimit", ArcDispPluginLimit, 20);
    v.Int(L"FolderView", L"TreeRoot", TreeRoot, 29);
    v.Bool(L"FolderView", L"ArchiveInArchive", ArchiveInArchive, false);
    v.Int(L"FolderView", L"CheckSubFolder", CheckSubFolder, 1);
    v.Bool(L"FolderView", L"HiddenFolder", HiddenFolder, false);
    v.Bool(L"FolderView", L"ArcTree", ArcTree, true);
    v.Bool(L"OnePic", L"TopMost", TopMost, TopMostDefault);
    v.Bool(L"OnePic", L"MultiPicView", MultiPicView, false);
    v.Bool(L"OnePic", L"Stay", Stay, false);
    v.Bool(L"KWView", L"MemDraw", MemDraw, true);
    v.Int(L"KWView", L"OverMem", OverMem, 70);
    v.Int(L"KWView", L"WheelScrollCount", WheelScrollCount, 0);
    v.Int(L"SlideShow", L"ColumnCount", ColumnCount, 1);
    v.Int(L"SlideShow", L"LineCount", LineCount, 1);
    v.Int(L"SlideShow", L"DirectionLR", DirectionLR, 0);
    v.Int(L"SlideShow", L"DirectionUD", DirectionUD, 0);
    v.Int(L"SlideShow", L"Monitor", Monitor, 0);
    v.Bool(L"MainFrame", L"FolderMonitor", FolderMonitor, false);
    v.Bool(L"MainFrame", L"InfoView", InfoView, false);
    v.Colour(kVyxFile, L"colBackGround", colBackGround, GetSysColor(COLOR_BTNFACE));
    v.Colour(kVyxFile, L"colText", colText, 0x000000);
    v.Colour(kVyxFile, L"colSelectCheck", colSelectCheck, 0x000080);
    v.Colour(kVyxFile, L"colSelectBackGround", colSelectBackGround, 0xFF8C8C);
    v.Colour(kVyxFile, L"colSelectText", colSelectText, 0xFFFFFF);
    v.Colour(kVyxFile, L"colNormalDraw", colNormalDraw, 0xFFFFFF);
    v.Colour(kVyxFile, L"colFolderDraw", colFolderDraw, 0xFFFFFF);
    v.Colour(kVyxFile, L"colArcDraw", colArcDraw, 0xFFF0F0);
    v.Colour(kVyxFile, L"colCantDraw", colCantDraw, 0xF0FFFF);
    v.Font(*this);
    v.String(kVyxFile, L"NameFormat", NameFormat, L"$(FileName)");
    v.Bool(kVyxFile, L"WordBreak", WordBreak, true);
    v.Int(kVyxFile, L"Shadow", Shadow, 0);
    v.String(kVyxFile, L"DesignThumbs", DesignThumbs, L"");
    v.String(kVyxFile, L"DesignCursor", DesignCursor, L"");
    v.Int(kKWDoc, L"UnsharpPassCount", UnsharpPassCount, 3);
    v.String(kKWDoc, L"UnsharpKernel", UnsharpKernel, L"1,1,1,1,0,1,1,1,1");
    v.Real(kKWDoc, L"UnsharpLevel", UnsharpLevel, L"0.5");
    v.Colour(kKWDoc, L"colBackground", colViewBackground, 0xE0FFFF);
    v.Colour(kKWDoc, L"colText", colViewText, 0x000000);
    v.String(L"Filer", L"AutoFileFormat", AutoFileFormat, L"%s-%d%s");
    v.Int(L"Filer", L"FileAccessBufferSize", FileAccessBufferSize, 1048576);
}

void CKWDocSettings::ReadSettings(HDC fontFamilyDC)
{
    KeyReader reader;
    VisitKeys(reader);
    KeepWithinRanges();
    ThumbsSize.cx = std::max(ThumbsSize.cx, ThumbsLimitSize.cx);
    ThumbsSize.cy = std::max(ThumbsSize.cy, ThumbsLimitSize.cy);
    DefaultThumbsSize = ThumbsSize;
    ReadFont(fontFamilyDC);

    FilterName = GetAppIniInt(kFilter, L"FileName", 0) != 0;
    FilterDate = GetAppIniInt(kFilter, L"FileDate", 0) != 0;
    FilterSize = GetAppIniInt(kFilter, L"FileSize", 0) != 0;
    DateBegin = ReadStoredTime(kFilter, L"DateBegin");
    DateEnd = ReadStoredTime(kFilter, L"DateEnd");
    CString text;
    SizeBegin =
        ScaleSize(_wtol(GetAppIniString(text, kFilter, L"SizeBegin0", L"")), GetAppIniInt(kFilter, L"UnitBegin", 0));
    SizeEnd = ScaleSize(_wtol(GetAppIniString(text, kFilter, L"SizeEnd0", L"")), GetAppIniInt(kFilter, L"UnitEnd", 0));
}

// Values the options sheet's pages cannot show (a settings file edited by hand) take the default;
// so the sheet opens on them and writes them back valid. Values the pages keep as they stand
// ("TreeRoot", "WheelScrollCount", "IDViewer", "Monitor") are left alone.
void CKWDocSettings::KeepWithinRanges()
{
    auto within = [](int& value, int low, int high, int defaultValue) {
        if (value < low || value > high)
            value = defaultValue;
    };
    within(CheckSubFolder, 0, 2, 1);
    within(ColumnCount, 1, 64, 1);
    within(LineCount, 1, 64, 1);
    within(DirectionLR, 0, 1, 0);
    within(DirectionUD, 0, 1, 0);
    within(DispPluginLimit, 0, 2048, 2048);
    within(ArcDispPluginLimit, 0, 2048, 20);
    // The cells as the thumbnail dialog allows them: a damaged size would blank the grid or ask
    // for gigabytes of cell surfaces.
    const SIZE largest = VyxConfig::GetLargestCell();
    for (CSize* size : {&ThumbsSize, &ThumbsLimitSize}) {
        size->cx = VyxConfig::CellSide(size->cx, largest.cx);
        size->cy = VyxConfig::CellSide(size->cy, largest.cy);
    }
    for (CSize* size : {&ThumbsMarginSize, &ThumbsPaddingSize}) {
        size->cx = VyxConfig::Spacing(size->cx, largest.cx);
        size->cy = VyxConfig::Spacing(size->cy, largest.cy);
    }
}

void CKWDocSettings::WriteSettings() const
{
    KeyWriter writer;
    // The writer only reads the fields it is handed.
    const_cast<CKWDocSettings*>(this)->VisitKeys(writer);
}

void CKWDocSettings::ReadFont(HDC fontFamilyDC)
{
    font = {};
    if (GetAppIniBinary(kVyxFile, L"font", &font, sizeof(font)) > 0) {
        // A value written by hand or by another program need not end its face name.
        font.lfFaceName[LF_FACESIZE - 1] = 0;
    } else {
        GetDefaultFontFamily(fontFamilyDC, font);
        CString face;
        GetAppIniString(face, kVyxFile, L"fontFaceName", L"ＭＳ ゴシック");
        // A longer face name cannot name an installed font: it is cut to the field.
        lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
        font.lfHeight = GetAppIniInt(kVyxFile, L"fontHeight", -12);
        font.lfWidth = GetAppIniInt(kVyxFile, L"fontWidth", 0);
        font.lfItalic = static_cast<BYTE>(GetAppIniInt(kVyxFile, L"fontItalic", 0));
        font.lfWeight = GetAppIniInt(kVyxFile, L"fontWeight", 0);
        font.lfCharSet = SHIFTJIS_CHARSET;
    }
    drawFont = font;
}

DWORD CKWDocSettings::ScaleSize(long long size, int unit)
{
    if (size <= 0)
        return 0;
    for (int step = 0; step < unit && size <= 0xFFFFFFFFLL; ++step)
        size *= 1024;
    return size > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<DWORD>(size);
}

int CKWDocSettings::ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    int value = defaultValue;
    return ReadNumber(section, key, value) ? value : defaultValue;
}

long long CKWDocSettings::ReadStoredTime(const wchar_t* section, const wchar_t* key)
{
    long long value = 0;
    if (GetAppIniBinary(section, key, &value, sizeof(value)) <= 0)
        return 0;
    return value > 0 ? value : 0;
}
