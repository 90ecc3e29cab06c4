// The batch rename's name computation as a pure function: targets, numbering, time fields,
// regular expressions and groups, and the names that must never come out of it.
#include "FileopsTestUtil.h"

#include "fileops/RenameTemplate.h"

using namespace fileopstest;

namespace {

// Noon UTC on 4 August 2024: the same local date in every time zone the tests may run in.
const long long kAugustFourth = 1722772800;

std::vector<CString> Names(RenameTemplate& names, const std::vector<const wchar_t*>& files, long long first = 1)
{
    std::vector<CString> result;
    long long number = first;
    for (const wchar_t* file : files)
        result.push_back(names.MakeName(NamedItem(file, kAugustFourth, 640), number++));
    return result;
}

CString NameOf(const wchar_t* target, const wchar_t* format, const wchar_t* file, long long number = 1,
               const RegExpGroupFile& groups = RegExpGroupFile())
{
    RenameTemplate names;
    names.Prepare(target, format, groups);
    return names.MakeName(NamedItem(file, kAugustFourth, 640), number);
}

} // namespace

TEST(RenameTemplate, AnEmptyTargetNumbersTheTitlesAndKeepsTheExtensions)
{
    RenameTemplate names;
    names.Prepare(L"", L"IMG_#4#", RegExpGroupFile());
    EXPECT_EQ((std::vector<CString>{L"IMG_0001.jpg", L"IMG_0002.jpg", L"IMG_0003.jpg"}),
              Names(names, {L"a.jpg", L"b.jpg", L"c.jpg"}));
    // The title menu entry means the same.
    EXPECT_EQ(CString(L"IMG_0007.png"), NameOf(L"$(Name)", L"IMG_#4#", L"z.png", 7));
}

TEST(RenameTemplate, TheTitleAndTheExtensionAreReplacedWhereTheyStandNeverInsideEachOther)
{
    // A title that also occurs in the extension leaves the extension alone.
    EXPECT_EQ(CString(L"IMG_0001.jpg"), NameOf(L"", L"IMG_#4#", L"p.jpg"));
    EXPECT_EQ(CString(L"jpg.png"), NameOf(L"$(Ext)", L"png", L"jpg.jpg"));
    EXPECT_EQ(CString(L"archive.tar.bz2"), NameOf(L"$(Ext)", L"bz2", L"archive.tar.gz"));
    // Without an extension there is nothing to replace.
    EXPECT_EQ(CString(L"README"), NameOf(L"$(Ext)", L"txt", L"README"));
    // Any other target is replaced wherever it occurs, with regard to case.
    EXPECT_EQ(CString(L"x-photo-x.JPG"), NameOf(L"a", L"x", L"a-photo-a.JPG"));
    EXPECT_EQ(CString(L"A-photo.jpg"), NameOf(L"a", L"x", L"A-photo.jpg"));
}

TEST(RenameTemplate, TheFirstNumberTokenIsPaddedAndALaterDifferentOneStays)
{
    EXPECT_EQ(CString(L"012_012_#5#.jpg"), NameOf(L"", L"#3#_#3#_#5#", L"a.jpg", 12));
    EXPECT_EQ(CString(L"7.jpg"), NameOf(L"", L"#0#", L"a.jpg", 7));
    EXPECT_EQ(CString(L"#3#.jpg"), NameOf(L"", L"##1##", L"a.jpg", 3));
    // Not a token: no digits, or no closing mark.
    EXPECT_EQ(CString(L"#x#_#12.jpg"), NameOf(L"", L"#x#_#12", L"a.jpg"));
}

TEST(RenameTemplate, ANumberWidthIsBoundedAndTheResultKeptWhole)
{
    CString huge = NameOf(L"", L"#999999999999999999999#", L"a.jpg", 5);
    EXPECT_EQ(RenameTemplate::MaxNumberWidth + 4, huge.GetLength());
    EXPECT_EQ(CString(L"5.jpg"), huge.Right(5));
    EXPECT_EQ(CString(L"0000"), huge.Left(4));
}

TEST(RenameTemplate, TimeFieldsComeFromTheFileAndUnknownOnesStayAsTyped)
{
    EXPECT_EQ(CString(L"20240804.jpg"), NameOf(L"", L"%Y%m%d", L"a.jpg"));
    EXPECT_EQ(CString(L"4-8_%Q_%.jpg"), NameOf(L"", L"%#d-%#m_%Q_%", L"a.jpg"));
    EXPECT_EQ(CString(L"50%.jpg"), NameOf(L"", L"50%%", L"a.jpg"));
    // A long expansion is kept whole rather than emptied.
    CString many;
    for (int i = 0; i < 40; ++i)
        many += L"%Y";
    EXPECT_EQ(160 + 4, NameOf(L"", many, L"a.jpg").GetLength());
}

TEST(RenameTemplate, APercentOrANumberMarkInAFileNameIsNeverTakenAsAField)
{
    EXPECT_EQ(CString(L"100%d_2024.jpg"), NameOf(L"", L"$(Name)_%Y", L"100%d.jpg"));
    EXPECT_EQ(CString(L"x#2#_001.jpg"), NameOf(L"", L"$(Name)_#3#", L"x#2#.jpg"));
    EXPECT_EQ(CString(L"640_%Y.jpg"), NameOf(L"", L"$(Width)_%%Y", L"a.jpg"));
}

TEST(RenameTemplate, ABackslashFormatKeepsTheFirstMatchOrLeavesTheTextWhenNoneOrRefused)
{
    EXPECT_EQ(CString(L"12.jpg"), NameOf(L"", L"\\[0-9]+", L"ab12cd34.jpg"));
    EXPECT_EQ(CString(L"abcd.jpg"), NameOf(L"", L"\\[0-9]+", L"abcd.jpg"));
    EXPECT_EQ(CString(L"ab12.jpg"), NameOf(L"", L"\\([0-9", L"ab12.jpg"));
}

TEST(RenameTemplate, ABackslashFormatKeepsThePatternCharactersAMacroPutsIn)
{
    // An expression kept in the note, matched against the name, never made fit for one. ("\$"
    // opens a group's name: the macro comes inside a group of the expression.)
    NamedItem item(L"IMG_0042.jpg", kAugustFourth, 640);
    for (const wchar_t* note : {L"\\d+", L"x*[0-9]+?2|DSC"}) {
        item.SetNoteText(note);
        RenameTemplate names;
        names.Prepare(L"", L"\\(?:$(Note))", RegExpGroupFile());
        EXPECT_EQ(CString(L"0042.jpg"), names.MakeName(item, 1)) << CStringA(note).GetString();
    }
}

TEST(RenameTemplate, AGroupAppliesItsExpressionsInTurnAndAMissingOneChangesNothing)
{
    ScratchGroups groups;
    groups.Write(L"digits", {L"[a-z]+_[0-9]+", L"[0-9]+", L"[0-9]{2}$"});
    EXPECT_EQ(CString(L"34.jpg"), NameOf(L"", L"\\$digits", L"x-dsc_01234-y.jpg", 1, groups.file));
    EXPECT_EQ(CString(L"x.jpg"), NameOf(L"", L"\\$none", L"x.jpg", 1, groups.file));
    RenameTemplate names;
    names.Prepare(L"", L"\\$digits", groups.file);
    EXPECT_EQ((std::vector<CString>{L"\\[a-z]+_[0-9]+", L"\\[0-9]+", L"\\[0-9]{2}$"}), names.GetPatterns());
}

TEST(RenameTemplate, ANameWithNothingLeftBeforeItsExtensionHasLostItsTitle)
{
    // An empty format empties the title.
    EXPECT_EQ(CString(L".jpg"), NameOf(L"", L"", L"a.jpg"));
    EXPECT_TRUE(RenameTemplate::HasLostItsTitle(L".jpg", L"a.jpg"));
    EXPECT_TRUE(RenameTemplate::HasLostItsTitle(L"", L"a.jpg"));
    EXPECT_FALSE(RenameTemplate::HasLostItsTitle(L"b.jpg", L"a.jpg"));
    EXPECT_FALSE(RenameTemplate::HasLostItsTitle(L".config", L".profile"));
}

TEST(RenameTemplate, AFileTimeTheCalendarCannotHoldLeavesTheFieldsAsTyped)
{
    EXPECT_EQ(CString(L"%Y-x"), RenameTemplate::FormatTimeFields(L"%Y-x", -(1LL << 62)));
    EXPECT_EQ(CString(L"no fields"), RenameTemplate::FormatTimeFields(L"no fields", kAugustFourth));
}

TEST(RenameTemplate, AValuePutIntoANameTakesFullWidthFormsOfWhatNoNameHoldsAndTypedTextStaysAsTyped)
{
    NamedItem item(L"a.jpg", kAugustFourth, 640);
    item.SetNoteText(L"\\/:*?\"<>|");
    CString date = CTime(kAugustFourth).Format(L"%Y/%m/%d_%H:%M:%S.jpg");
    date.Replace(L'/', L'／');
    date.Replace(L':', L'：');
    const struct
    {
        const wchar_t* format;
        CString name;
    } cases[] = {
        {L"$(Note)", L"＼／：＊？＂＜＞｜.jpg"},
        {L"$(Date)_$(Time)", date},
        {L"$(Folder)", L"C：＼pictures.jpg"},
        // The user's own separators, around values and between time fields, are left to the rename.
        {L"a:b/$(Width)", L"a:b/640.jpg"},
        {L"%Y/%m", L"2024/08.jpg"},
    };
    for (const auto& c : cases) {
        RenameTemplate names;
        names.Prepare(L"", c.format, RegExpGroupFile());
        EXPECT_EQ(c.name, names.MakeName(item, 1)) << CStringA(c.format).GetString();
    }
}
