// The document's settings as fields named by their keys in the application settings file, read
// all at once and written all at once; section "Filter" is only read (the display filter dialog
// writes it). Views, frames and commands read the fields rather than the file. What a value sets
// in motion elsewhere is the document's business.
#pragma once

#include "framework/Framework.h"

#include <utility>
#include <vector>

class CKWDocSettings
{
public:
    CKWDocSettings();

    // Every key with its default (also for text that is no number); the font from "font", else
    // built on the font family of the device context (the screen's when null) from the split
    // keys. Sizes are raised to their limits; values the options sheet cannot show take their
    // default.
    void ReadSettings(HDC fontFamilyDC);
    // Every key but those of "Filter".
    void WriteSettings() const;

    // ---- "KWDoc"
    CSize ThumbsMarginSize{2, 2};
    CSize ThumbsPaddingSize{4, 4};
    CSize ThumbsLimitSize{40, 40};
    CSize ThumbsSize{200, 300};    // in use (zoom); the value saved
    CSize DefaultThumbsSize{0, 0}; // as loaded or taken from a layout
    bool DELQA = false;
    bool TrashCan = true;
    bool Synchronous = true;
    bool SyncJump = true;
    bool Archive = false;
    bool DownScan = false;
    bool FolderShow = true;
    int FolderTitle = 3;
    int FolderTitleSearchCount = 10;
    int FolderTitleBright = -20;
    bool HiddenFile = false;
    bool Frame = false;
    int FrameEdge = 1;
    bool NameFrame = true;
    int NameFrameEdge = 2;
    int Name = 1;
    int Name2Per = 100;
    int ScaleMode = 10;
    bool Unsharp = true;
    int ScaleStep = 25;
    bool LimitCheck = true;
    bool RestoreFolder = true;
    bool MultiProcess = true;
    CString PathMask;
    bool ScanSPI = false;
    bool ExtSPI = false;
    int IDViewer = 10224;
    CString ExecExt;
    bool ThumbsCreate = false;
    CString HomeFolder;
    CString CacheDataFolder;
    bool CacheFolder = false;
    bool AutoCacheFolder = false;
    bool EnableConfig = true;
    bool DaDMOVE = false;
    bool ClipboardCopyDIB = true;
    bool ClipboardCopyTEXT = true;
    bool NotClrCursorMove = false;
    int DispPluginLimit = 2048;
    int ArcDispPluginLimit = 20;
    int UnsharpPassCount = 3;
    CString UnsharpKernel;
    double UnsharpLevel = 0.5;
    // "colBackground" and "colText" of "KWDoc": the views' colours as stored.
    COLORREF colViewBackground = 0xE0FFFF;
    COLORREF colViewText = 0x000000;

    // ---- "SPI"
    CString SPISet;
    CString SPIDIR;

    // ---- "KWView"
    bool MemDraw = true;
    int OverMem = 70;
    int WheelScrollCount = 0;

    // ---- "MainFrame"
    bool FolderMonitor = false;
    bool InfoView = false;

    // ---- "FolderView"
    int TreeRoot = 29;
    bool ArchiveInArchive = false;
    int CheckSubFolder = 1;
    bool HiddenFolder = false;
    bool ArcTree = true;

    // ---- "OnePic"
    // Whether picture windows open above other windows; every reader of the key takes this
    // default (a picture window reads the key itself when it opens).
    static constexpr bool TopMostDefault = false;
    bool TopMost = TopMostDefault;
    bool MultiPicView = false;
    bool Stay = false;

    // ---- "SlideShow"
    int ColumnCount = 1;
    int LineCount = 1;
    int DirectionLR = 0;
    int DirectionUD = 0;
    int Monitor = 0;

    // ---- "VyxFile": the cells
    COLORREF colBackGround; // the button face's colour
    COLORREF colText = 0x000000;
    COLORREF colSelectCheck = 0x000080;
    COLORREF colSelectBackGround = 0xFF8C8C;
    COLORREF colSelectText = 0xFFFFFF;
    COLORREF colNormalDraw = 0xFFFFFF;
    COLORREF colFolderDraw = 0xFFFFFF;
    COLORREF colArcDraw = 0xFFF0F0;
    COLORREF colCantDraw = 0xF0FFFF;
    LOGFONTW font = {};     // as stored
    LOGFONTW drawFont = {}; // handed to the items
    CString NameFormat;
    bool WordBreak = true;
    int Shadow = 0;
    CString DesignThumbs;
    CString DesignCursor;

    // ---- "Filer"
    CString AutoFileFormat;
    int FileAccessBufferSize = 1048576;

    // ---- "Filter" (read only)
    bool FilterName = false; // "FileName"
    bool FilterDate = false; // "FileDate"
    bool FilterSize = false; // "FileSize"
    long long DateBegin = 0;
    long long DateEnd = 0;
    DWORD SizeBegin = 0;
    DWORD SizeEnd = 0;

    // A key that windows other than the document read and write themselves.
    struct IntKey
    {
        const wchar_t* section;
        const wchar_t* key;
        int defaultValue;
        int Read() const { return ReadInt(section, key, defaultValue); }
        void Write(int value) const;
    };
    struct TextKey
    {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* defaultValue;
        CString Read() const;
        void Write(const CString& value) const;
    };

    // Every key the settings read and write (those of "Filter" aside), as section and name, in
    // the order of saving.
    static std::vector<std::pair<CString, CString>> DeclaredKeys();
    // Every plain key in the order of saving, as section, name and field, for the walks of
    // foundation/SettingsTable.h: a missing key takes the field's value in a settings object just
    // made. Readers of one key before or without a document read it through its row
    // (SettingsTable::ReadOne).
    template <class Visitor> static void VisitKeys(Visitor& visitor);

    // A size with its unit index (each step x 1024), kept within 0 to 0xFFFFFFFF.
    static DWORD ScaleSize(long long size, int unit);
    // A number stored as the settings store writes it; the default when the key is missing or
    // holds no number.
    static int ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue);
    // A 64-bit time stored as eight bytes; 0 unless a value above 0 is stored.
    static long long ReadStoredTime(const wchar_t* section, const wchar_t* key);

private:
    void KeepWithinRanges(const CKWDocSettings& defaults);
    void ReadFont(HDC fontFamilyDC);
};

// The keys the options sheet edits that their windows read themselves, each declared once with
// its default, so the sheet and the window cannot disagree on a missing or damaged value.
namespace SettingKeys {
inline constexpr CKWDocSettings::IntKey TopMost{L"OnePic", L"TopMost", CKWDocSettings::TopMostDefault};
inline constexpr CKWDocSettings::TextKey TitleFormat{L"OnePic", L"TitleFormat",
                                                     L"$(FileName) $(Width)x$(Height) $(Color)b $(Length)"};
inline constexpr CKWDocSettings::TextKey InfoColumnTemplete{L"LstView", L"InfoColumnTemplete", L"$(Info)"};
inline constexpr CKWDocSettings::IntKey AutoColumnSize{L"LstView", L"AutoColumnSize", 1};
inline constexpr CKWDocSettings::IntKey NameMaxSize{L"LstView", L"NameMaxSize", 30};
// The name filter's pattern, a document key that the filter dialog also writes the moment it
// writes the filter's flags: a program ended before its own save keeps the two in step.
inline constexpr CKWDocSettings::TextKey PathMask{L"KWDoc", L"PathMask", L"*.*"};
} // namespace SettingKeys
