#include "catalogue/CKWDocSettings.h"

#include "catalogue/VyxConfig.h"
#include "foundation/SettingsTable.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"

#include <algorithm>

namespace {

const wchar_t kKWDoc[] = L"KWDoc";
const wchar_t kVyxFile[] = L"VyxFile";
const wchar_t kFilter[] = L"Filter";
const wchar_t* const kSplitFontKeys[] = {L"fontFaceName", L"fontHeight", L"fontWidth", L"fontItalic", L"fontWeight"};

// From now on the font is read from "font"; the split keys stay behind as 0.
struct DocumentWriter : SettingsTable::Writer<CKWDocSettings>
{
    using Writer::Writer;
    void Font(const wchar_t* section, const wchar_t* key, LOGFONTW CKWDocSettings::*field)
    {
        Writer::Font(section, key, field);
        for (const wchar_t* split : kSplitFontKeys)
            WriteAppIniInt(kVyxFile, split, 0);
    }
};

} // namespace

CKWDocSettings::CKWDocSettings()
    : PathMask(SettingKeys::PathMask.defaultValue), UnsharpKernel(L"1,1,1,1,0,1,1,1,1"), colBackGround(GetSysColor(COLOR_BTNFACE)),
      NameFormat(L"$(FileName)"), AutoFileFormat(L"%s-%d%s")
{
}

template <class Visitor> void CKWDocSettings::VisitKeys(Visitor& v)
{
    v.Pair(kKWDoc, L"ThumbsMarginSize", &CKWDocSettings::ThumbsMarginSize);
    v.Pair(kKWDoc, L"ThumbsPaddingSize", &CKWDocSettings::ThumbsPaddingSize);
    v.Pair(kKWDoc, L"ThumbsSize", &CKWDocSettings::ThumbsSize);
    v.Pair(kKWDoc, L"ThumbsLimitSize", &CKWDocSettings::ThumbsLimitSize);
    v.Bool(kKWDoc, L"DELQA", &CKWDocSettings::DELQA);
    v.Bool(kKWDoc, L"TrashCan", &CKWDocSettings::TrashCan);
    v.Bool(kKWDoc, L"Synchronous", &CKWDocSettings::Synchronous);
    v.Bool(kKWDoc, L"SyncJump", &CKWDocSettings::SyncJump);
    v.Bool(kKWDoc, L"Archive", &CKWDocSettings::Archive);
    v.Bool(kKWDoc, L"DownScan", &CKWDocSettings::DownScan);
    v.Bool(kKWDoc, L"FolderShow", &CKWDocSettings::FolderShow);
    v.Int(kKWDoc, L"FolderTitle", &CKWDocSettings::FolderTitle);
    v.Int(kKWDoc, L"FolderTitleSearchCount", &CKWDocSettings::FolderTitleSearchCount);
    v.Int(kKWDoc, L"FolderTitleBright", &CKWDocSettings::FolderTitleBright);
    v.Bool(kKWDoc, L"HiddenFile", &CKWDocSettings::HiddenFile);
    v.Bool(kKWDoc, L"Frame", &CKWDocSettings::Frame);
    v.Int(kKWDoc, L"FrameEdge", &CKWDocSettings::FrameEdge);
    v.Bool(kKWDoc, L"NameFrame", &CKWDocSettings::NameFrame);
    v.Int(kKWDoc, L"NameFrameEdge", &CKWDocSettings::NameFrameEdge);
    v.Int(kKWDoc, L"Name", &CKWDocSettings::Name);
    v.Int(kKWDoc, L"Name2Per", &CKWDocSettings::Name2Per);
    v.Int(kKWDoc, L"ScaleMode", &CKWDocSettings::ScaleMode);
    v.Bool(kKWDoc, L"Unsharp", &CKWDocSettings::Unsharp);
    v.Int(kKWDoc, L"ScaleStep", &CKWDocSettings::ScaleStep);
    v.Bool(kKWDoc, L"LimitCheck", &CKWDocSettings::LimitCheck);
    v.Bool(kKWDoc, L"RestoreFolder", &CKWDocSettings::RestoreFolder);
    v.Bool(kKWDoc, L"MultiProcess", &CKWDocSettings::MultiProcess);
    v.String(SettingKeys::PathMask.section, SettingKeys::PathMask.key, &CKWDocSettings::PathMask);
    v.Bool(kKWDoc, L"ScanSPI", &CKWDocSettings::ScanSPI);
    v.Bool(kKWDoc, L"ExtSPI", &CKWDocSettings::ExtSPI);
    v.Int(kKWDoc, L"IDViewer", &CKWDocSettings::IDViewer);
    v.String(kKWDoc, L"ExecExt", &CKWDocSettings::ExecExt);
    v.Bool(kKWDoc, L"ThumbsCreate", &CKWDocSettings::ThumbsCreate);
    v.String(kKWDoc, L"HomeFolder", &CKWDocSettings::HomeFolder);
    v.String(kKWDoc, L"CacheDataFolder", &CKWDocSettings::CacheDataFolder);
    v.Bool(kKWDoc, L"CacheFolder", &CKWDocSettings::CacheFolder);
    v.Bool(kKWDoc, L"AutoCacheFolder", &CKWDocSettings::AutoCacheFolder);
    v.Bool(kKWDoc, L"EnableConfig", &CKWDocSettings::EnableConfig);
    v.Bool(kKWDoc, L"DaDMOVE", &CKWDocSettings::DaDMOVE);
    v.Bool(kKWDoc, L"ClipboardCopyDIB", &CKWDocSettings::ClipboardCopyDIB);
    v.Bool(kKWDoc, L"ClipboardCopyTEXT", &CKWDocSettings::ClipboardCopyTEXT);
    v.Bool(kKWDoc, L"NotClrCursorMove", &CKWDocSettings::NotClrCursorMove);
    v.String(L"SPI", L"SPISet", &CKWDocSettings::SPISet);
    v.String(L"SPI", L"SPIDIR", &CKWDocSettings::SPIDIR);
    v.Int(kKWDoc, L"DispPluginLimit", &CKWDocSettings::DispPluginLimit);
    v.Int(kKWDoc, L"ArcDispPluginLimit", &CKWDocSettings::ArcDispPluginLimit);
    v.Int(L"FolderView", L"TreeRoot", &CKWDocSettings::TreeRoot);
    v.Bool(L"FolderView", L"ArchiveInArchive", &CKWDocSettings::ArchiveInArchive);
    v.Int(L"FolderView", L"CheckSubFolder", &CKWDocSettings::CheckSubFolder);
    v.Bool(L"FolderView", L"HiddenFolder", &CKWDocSettings::HiddenFolder);
    v.Bool(L"FolderView", L"ArcTree", &CKWDocSettings::ArcTree);
    v.Bool(SettingKeys::TopMost.section, SettingKeys::TopMost.key, &CKWDocSettings::TopMost);
    v.Bool(L"OnePic", L"MultiPicView", &CKWDocSettings::MultiPicView);
    v.Bool(L"OnePic", L"Stay", &CKWDocSettings::Stay);
    v.Bool(L"KWView", L"MemDraw", &CKWDocSettings::MemDraw);
    v.Int(L"KWView", L"OverMem", &CKWDocSettings::OverMem);
    v.Int(L"KWView", L"WheelScrollCount", &CKWDocSettings::WheelScrollCount);
    v.Int(L"SlideShow", L"ColumnCount", &CKWDocSettings::ColumnCount);
    v.Int(L"SlideShow", L"LineCount", &CKWDocSettings::LineCount);
    v.Int(L"SlideShow", L"DirectionLR", &CKWDocSettings::DirectionLR);
    v.Int(L"SlideShow", L"DirectionUD", &CKWDocSettings::DirectionUD);
    v.Int(L"SlideShow", L"Monitor", &CKWDocSettings::Monitor);
    v.Bool(L"MainFrame", L"FolderMonitor", &CKWDocSettings::FolderMonitor);
    v.Bool(L"MainFrame", L"InfoView", &CKWDocSettings::InfoView);
    v.Colour(kVyxFile, L"colBackGround", &CKWDocSettings::colBackGround);
    v.Colour(kVyxFile, L"colText", &CKWDocSettings::colText);
    v.Colour(kVyxFile, L"colSelectCheck", &CKWDocSettings::colSelectCheck);
    v.Colour(kVyxFile, L"colSelectBackGround", &CKWDocSettings::colSelectBackGround);
    v.Colour(kVyxFile, L"colSelectText", &CKWDocSettings::colSelectText);
    v.Colour(kVyxFile, L"colNormalDraw", &CKWDocSettings::colNormalDraw);
    v.Colour(kVyxFile, L"colFolderDraw", &CKWDocSettings::colFolderDraw);
    v.Colour(kVyxFile, L"colArcDraw", &CKWDocSettings::colArcDraw);
    v.Colour(kVyxFile, L"colCantDraw", &CKWDocSettings::colCantDraw);
    v.Font(kVyxFile, L"font", &CKWDocSettings::font);
    v.String(kVyxFile, L"NameFormat", &CKWDocSettings::NameFormat);
    v.Bool(kVyxFile, L"WordBreak", &CKWDocSettings::WordBreak);
    v.Int(kVyxFile, L"Shadow", &CKWDocSettings::Shadow);
    v.String(kVyxFile, L"DesignThumbs", &CKWDocSettings::DesignThumbs);
    v.String(kVyxFile, L"DesignCursor", &CKWDocSettings::DesignCursor);
    v.Int(kKWDoc, L"UnsharpPassCount", &CKWDocSettings::UnsharpPassCount);
    v.String(kKWDoc, L"UnsharpKernel", &CKWDocSettings::UnsharpKernel);
    v.Real(kKWDoc, L"UnsharpLevel", &CKWDocSettings::UnsharpLevel);
    v.Colour(kKWDoc, L"colBackground", &CKWDocSettings::colViewBackground);
    v.Colour(kKWDoc, L"colText", &CKWDocSettings::colViewText);
    v.String(L"Filer", L"AutoFileFormat", &CKWDocSettings::AutoFileFormat);
    v.Int(L"Filer", L"FileAccessBufferSize", &CKWDocSettings::FileAccessBufferSize);
}

// For the readers of one key (SettingsTable::ReadOne) outside this file.
template void CKWDocSettings::VisitKeys(SettingsTable::Reader<CKWDocSettings>&);

void CKWDocSettings::ReadSettings(HDC fontFamilyDC)
{
    const CKWDocSettings defaults;
    SettingsTable::Reader<CKWDocSettings> reader(*this, defaults);
    VisitKeys(reader);
    KeepWithinRanges(defaults);
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
void CKWDocSettings::KeepWithinRanges(const CKWDocSettings& defaults)
{
    auto within = [&](int CKWDocSettings::*field, int low, int high) {
        if (this->*field < low || this->*field > high)
            this->*field = defaults.*field;
    };
    within(&CKWDocSettings::CheckSubFolder, 0, 2);
    within(&CKWDocSettings::ColumnCount, 1, 64);
    within(&CKWDocSettings::LineCount, 1, 64);
    within(&CKWDocSettings::DirectionLR, 0, 1);
    within(&CKWDocSettings::DirectionUD, 0, 1);
    within(&CKWDocSettings::DispPluginLimit, 0, 2048);
    within(&CKWDocSettings::ArcDispPluginLimit, 0, 2048);
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
    DocumentWriter writer(*this);
    VisitKeys(writer);
}

std::vector<std::pair<CString, CString>> CKWDocSettings::DeclaredKeys()
{
    return SettingsTable::Keys<CKWDocSettings>();
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
    return SettingsTable::ReadNumber(section, key, value) ? value : defaultValue;
}

long long CKWDocSettings::ReadStoredTime(const wchar_t* section, const wchar_t* key)
{
    long long value = 0;
    if (GetAppIniBinary(section, key, &value, sizeof(value)) <= 0)
        return 0;
    return value > 0 ? value : 0;
}

void CKWDocSettings::IntKey::Write(int value) const
{
    WriteAppIniInt(section, key, value);
}

CString CKWDocSettings::TextKey::Read() const
{
    CString value;
    GetAppIniString(value, section, key, defaultValue);
    return value;
}

void CKWDocSettings::TextKey::Write(const CString& value) const
{
    WriteAppIniString(section, key, value);
}
