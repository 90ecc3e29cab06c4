#include "DocumentTestUtil.h"

using namespace doctest;

namespace {

std::wstring Read(const wchar_t* section, const wchar_t* key)
{
    return std::wstring(GetAppIniString(section, key, L"<absent>"));
}

void WriteTime(const wchar_t* key, long long value)
{
    WriteAppIniBinary(L"Filter", key, &value, sizeof(value));
}

} // namespace

TEST(DocumentSettings, WithoutASettingsFileEveryValueHasItsDefault)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    EXPECT_EQ(CSize(200, 300), doc.GetThumbsSize());
    EXPECT_EQ(CSize(200, 300), doc.GetDefaultThumbsSize());
    EXPECT_EQ(CSize(4, 4), doc.ThumbsPaddingSize);
    EXPECT_TRUE(doc.TrashCan && doc.EnableConfig && !doc.DELQA);
    EXPECT_EQ(10224, doc.IDViewer);
    EXPECT_EQ(CString(L"*.*"), doc.PathMask);
    EXPECT_EQ(CString(L"%s-%d%s"), doc.AutoFileFormat);
    EXPECT_DOUBLE_EQ(0.5, doc.UnsharpLevel);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), doc.colBackGround);
    EXPECT_EQ(0xE0FFFFu, doc.GetBackColor());
    // Without "font" the font is built from the split keys' defaults.
    EXPECT_STREQ(L"ＭＳ ゴシック", doc.font.lfFaceName);
    EXPECT_EQ(-12, doc.font.lfHeight);
    EXPECT_EQ(SHIFTJIS_CHARSET, doc.font.lfCharSet);
    EXPECT_EQ(0, memcmp(&doc.font, &doc.drawFont, sizeof(LOGFONTW)));
}

TEST(DocumentSettings, SizesAreRaisedToTheirLimits)
{
    struct Case
    {
        const wchar_t* limit;
        const wchar_t* size;
        CSize expectedLimit;
        CSize expectedSize;
    } cases[] = {
        {L"5,5", L"200,300", CSize(10, 10), CSize(200, 300)},
        {nullptr, L"20,20", CSize(40, 40), CSize(40, 40)},
        {L"60,12", L"50,50", CSize(60, 12), CSize(60, 50)},
    };
    for (const Case& c : cases) {
        DocumentScope scope;
        if (c.limit)
            WriteAppIniString(L"KWDoc", L"ThumbsLimitSize", c.limit);
        WriteAppIniString(L"KWDoc", L"ThumbsSize", c.size);
        EXPECT_EQ(c.expectedLimit, scope.Document().ThumbsLimitSize) << c.size;
        EXPECT_EQ(c.expectedSize, scope.Document().GetThumbsSize()) << c.size;
    }
}

TEST(DocumentSettings, EmptyingSavesEverySettingButTheFilterAndTheFontFromThenOn)
{
    DocumentScope scope;
    WriteAppIniString(L"VyxFile", L"fontFaceName", L"IPAGothic");
    WriteAppIniInt(L"VyxFile", L"fontWeight", 700);
    WriteAppIniString(L"Filter", L"FileName", L"1");
    CKWDoc& doc = scope.Document();
    EXPECT_STREQ(L"IPAGothic", doc.font.lfFaceName);
    EXPECT_EQ(700, doc.font.lfWeight);
    doc.SetThumbsSize(123, 456);
    doc.colViewBackground = 0x123456;

    doc.DeleteContents();

    EXPECT_EQ(L"123,456", Read(L"KWDoc", L"ThumbsSize"));
    EXPECT_EQ(L"2,2", Read(L"KWDoc", L"ThumbsMarginSize"));
    EXPECT_EQ(L"1", Read(L"KWDoc", L"TrashCan"));
    EXPECT_EQ(L"#00123456", Read(L"KWDoc", L"colBackground"));
    EXPECT_EQ(L"0.500000", Read(L"KWDoc", L"UnsharpLevel"));
    EXPECT_EQ(L"29", Read(L"FolderView", L"TreeRoot"));
    EXPECT_EQ(L"%s-%d%s", Read(L"Filer", L"AutoFileFormat"));
    for (const wchar_t* key : {L"fontFaceName", L"fontHeight", L"fontWidth", L"fontItalic", L"fontWeight"})
        EXPECT_EQ(L"0", Read(L"VyxFile", key)) << key;
    EXPECT_EQ(sizeof(LOGFONTW) * 2, Read(L"VyxFile", L"font").size());
    // The filter's keys are the filter dialog's: left as they were, none added.
    EXPECT_EQ(L"1", Read(L"Filter", L"FileName"));
    EXPECT_EQ(L"<absent>", Read(L"Filter", L"FileDate"));

    scope.NewDocument();
    EXPECT_STREQ(L"IPAGothic", scope.Document().font.lfFaceName);
    EXPECT_EQ(CSize(123, 456), scope.Document().GetThumbsSize());
}

TEST(DocumentSettings, AStoredFontWithoutTerminatorIsCutAtTheFaceNameField)
{
    DocumentScope scope;
    LOGFONTW font = {};
    font.lfHeight = -14;
    for (wchar_t& ch : font.lfFaceName)
        ch = L'W';
    WriteAppIniBinary(L"VyxFile", L"font", &font, sizeof(font));
    CKWDoc& doc = scope.Document();
    EXPECT_EQ(-14, doc.font.lfHeight);
    EXPECT_EQ(31u, wcslen(doc.font.lfFaceName));
    EXPECT_EQ(31u, wcslen(doc.drawFont.lfFaceName));
}

TEST(DocumentSettings, EqualViewColoursGiveTheSystemColoursButStayStored)
{
    DocumentScope scope;
    WriteAppIniHexInt(L"KWDoc", L"colBackground", 0x404040);
    WriteAppIniHexInt(L"KWDoc", L"colText", 0x404040);
    CKWDoc& doc = scope.Document();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), doc.GetBackColor());
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), doc.GetTextColor());
    doc.SaveSettings();
    EXPECT_EQ(L"#00404040", Read(L"KWDoc", L"colBackground"));
    EXPECT_EQ(L"#00404040", Read(L"KWDoc", L"colText"));
}

TEST(DocumentSettings, FilterSizesScaleByTheirUnitsAndDatesCountOnlyAboveZero)
{
    struct Case
    {
        const wchar_t* size;
        int unit;
        DWORD expected;
    } sizes[] = {{L"3", 2, 3u * 1024 * 1024}, {L"100", 1, 102400u}, {L"", 0, 0u}, {L"-5", 1, 0u}};
    for (const Case& c : sizes) {
        DocumentScope scope;
        WriteAppIniString(L"Filter", L"SizeBegin0", c.size);
        WriteAppIniInt(L"Filter", L"UnitBegin", c.unit);
        EXPECT_EQ(c.expected, scope.Document().SizeBegin) << c.size;
    }
    for (long long stored : {0LL, -86400LL}) {
        DocumentScope scope;
        WriteTime(L"DateBegin", stored);
        EXPECT_EQ(0, scope.Document().DateBegin) << stored;
    }
    // As the filter dialog writes it: sixteen hexadecimal digits, the low byte first.
    DocumentScope scope;
    WriteAppIniString(L"Filter", L"DateEnd", L"002F685900000000");
    EXPECT_EQ(1500000000, scope.Document().DateEnd);
}

TEST(DocumentSettings, FilterSizesBeyondFourGigabytesAreClampedNotWrapped)
{
    DocumentScope scope;
    WriteAppIniString(L"Filter", L"SizeEnd0", L"5000");
    WriteAppIniInt(L"Filter", L"UnitEnd", 2);
    EXPECT_EQ(0xFFFFFFFFu, scope.Document().SizeEnd);
}

TEST(DocumentSettings, TheStoredFilterReachesTheListing)
{
    const long long inside = 1500000000, outside = 1300000000;
    DocumentScope scope;
    PutFile(scope.folder, L"new.jpg", "1234", inside);
    PutFile(scope.folder, L"old.jpg", "1234", outside);
    PutFile(scope.folder, L"big.jpg", std::string(3000, 'x'), inside);
    PutFile(scope.folder, L"new.png", "1234", inside);
    WriteAppIniInt(L"Filter", L"FileName", 1);
    WriteAppIniString(L"KWDoc", L"PathMask", L"*.jpg");
    WriteAppIniInt(L"Filter", L"FileDate", 1);
    WriteTime(L"DateBegin", inside - 86400);
    WriteTime(L"DateEnd", inside + 86400);
    WriteAppIniInt(L"Filter", L"FileSize", 1);
    WriteAppIniString(L"Filter", L"SizeBegin0", L"1");
    WriteAppIniString(L"Filter", L"SizeEnd0", L"2");
    WriteAppIniInt(L"Filter", L"UnitEnd", 1);
    scope.Open();
    EXPECT_EQ((std::vector<std::wstring>{L"new.jpg"}), scope.Names());
}

TEST(DocumentSettings, AFilterDateLocalTimeCannotHoldLeavesItsBoundUnset)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.jpg", "1234", 1500000000);
    WriteAppIniInt(L"Filter", L"FileDate", 1);
    WriteTime(L"DateBegin", 1);
    // Far beyond any calendar: the end bound stays as a new request has it, which no file passes.
    WriteTime(L"DateEnd", 0x7FFFFFFFFFFFFFFFLL);
    scope.Open();
    EXPECT_EQ(0, scope.Document().GetItemCount());
}

TEST(DocumentSettings, OptionsGoOutAndComeBackWithTheirSideEffects)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    OPTIONSDATA options;
    doc.FillOptions(options);
    EXPECT_TRUE(options.TrashCan);
    EXPECT_EQ(0xE0FFFFu, options.colBackground);
    EXPECT_EQ(CString(L"$(FileName) $(Width)x$(Height) $(Color)b $(Length)"), options.TitleFormat);
    EXPECT_EQ(30, options.NameMaxSize);

    options.TrashCan = false;
    options.DispPluginLimit = 100;
    options.colBackground = options.colText = 0x808080;
    options.NameMaxSize = 44;
    doc.ApplyOptions(options);

    EXPECT_FALSE(doc.TrashCan);
    EXPECT_EQ(100, VyxFilexImage::GetItemSettings().pluginDisplayLimit);
    EXPECT_EQ(0x808080u, doc.colViewBackground);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), doc.GetBackColor());
    EXPECT_EQ(L"44", Read(L"LstView", L"NameMaxSize"));
}

TEST(DocumentSettings, AFileEditedByHandReadsItsBadValuesAsDefaultsAndKeepsWhatThePagesKeep)
{
    DocumentScope scope;
    WriteAppIniString(L"KWDoc", L"TrashCan", L"yes");
    WriteAppIniString(L"KWDoc", L"DELQA", L"7");
    WriteAppIniString(L"KWDoc", L"FolderTitle", L"#00000002");
    WriteAppIniString(L"KWDoc", L"colBackground", L"#FF000000");
    WriteAppIniString(L"KWDoc", L"DispPluginLimit", L"5000");
    WriteAppIniString(L"KWDoc", L"ArcDispPluginLimit", L"-3");
    WriteAppIniString(L"FolderView", L"CheckSubFolder", L"9");
    WriteAppIniString(L"FolderView", L"TreeRoot", L"30");
    WriteAppIniString(L"KWView", L"WheelScrollCount", L"2");
    WriteAppIniString(L"SlideShow", L"ColumnCount", L"0");
    WriteAppIniString(L"SlideShow", L"LineCount", L"65");
    WriteAppIniString(L"SlideShow", L"DirectionUD", L"4");
    WriteAppIniString(L"LstView", L"NameMaxSize", L"many");
    CKWDoc& doc = scope.Document();
    OPTIONSDATA options;
    doc.FillOptions(options);
    EXPECT_TRUE(options.TrashCan);
    EXPECT_TRUE(options.DELQA);
    EXPECT_EQ(2, options.FolderTitle);
    EXPECT_EQ(0xE0FFFFu, options.colBackground);
    EXPECT_EQ(2048, options.DispPluginLimit);
    EXPECT_EQ(20, options.ArcDispPluginLimit);
    EXPECT_EQ(1, options.CheckSubFolder);
    EXPECT_EQ(30, options.TreeRoot);
    EXPECT_EQ(2, options.WheelScrollCount);
    EXPECT_EQ(1, options.ColumnCount);
    EXPECT_EQ(1, options.LineCount);
    EXPECT_EQ(0, options.DirectionUD);
    EXPECT_EQ(30, options.NameMaxSize);
    doc.TakeOptions(options);
    EXPECT_EQ(L"1", Read(L"KWDoc", L"TrashCan"));
    EXPECT_EQ(L"#00E0FFFF", Read(L"KWDoc", L"colBackground"));
    EXPECT_EQ(L"1", Read(L"SlideShow", L"LineCount"));
    EXPECT_EQ(L"30", Read(L"LstView", L"NameMaxSize"));
}

TEST(DocumentSettings, CellSizesComeWithinTheThumbnailDialogsRangesAndAreSavedSo)
{
    DocumentScope scope;
    WriteAppIniString(L"KWDoc", L"ThumbsSize", L"65536,65536");
    WriteAppIniString(L"KWDoc", L"ThumbsLimitSize", L"15000,-1");
    WriteAppIniString(L"KWDoc", L"ThumbsPaddingSize", L"-5000,100000");
    WriteAppIniString(L"KWDoc", L"ThumbsMarginSize", L"70000,3");
    WriteAppIniString(L"VyxFile", L"colBackGround", L"#xyz");
    WriteAppIniString(L"VyxFile", L"colText", L"#12zz");
    scope.NewDocument();
    CKWDoc& doc = scope.Document();
    EXPECT_EQ(CSize(800, 600), doc.GetThumbsSize());
    EXPECT_EQ(CSize(800, 10), doc.ThumbsLimitSize);
    EXPECT_EQ(CSize(-800, 600), doc.ThumbsPaddingSize);
    EXPECT_EQ(CSize(800, 3), doc.ThumbsMarginSize);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), doc.colBackGround);
    EXPECT_EQ(0x000000u, doc.colText);
    doc.DeleteContents();
    EXPECT_EQ(L"800,600", Read(L"KWDoc", L"ThumbsSize"));
    EXPECT_EQ(L"-800,600", Read(L"KWDoc", L"ThumbsPaddingSize"));
}
