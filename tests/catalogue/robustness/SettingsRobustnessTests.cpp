// Hostile settings files (edited by hand or damaged): every value the options sheet edits comes
// out of the document within what its page can show, and what OK writes back reads the same
// again. Mutations of a file the program wrote, and every options key given every kind of bad
// value.
#include "../DocumentTestUtil.h"
#include "common/HostileInputs.h"

#include <string>

using namespace doctest;

namespace {

// Every field of the record as one text, to compare records.
std::wstring Describe(const OPTIONSDATA& o)
{
    std::wstring text;
    auto add = [&](const wchar_t* name, long long value) {
        text += std::wstring(name) + L"=" + std::to_wstring(value) + L";";
    };
    auto addText = [&](const wchar_t* name, const CString& value) {
        text += std::wstring(name) + L"=" + value.GetString() + L";";
    };
    addText(L"HomeFolder", o.HomeFolder);
    addText(L"SPIDIR", o.SPIDIR);
    addText(L"CacheDataFolder", o.CacheDataFolder);
    addText(L"ExecExt", o.ExecExt);
    addText(L"TitleFormat", o.TitleFormat);
    addText(L"InfoColumnTemplete", o.InfoColumnTemplete);
    const std::pair<const wchar_t*, bool> flags[] = {
        {L"RestoreFolder", o.RestoreFolder},
        {L"MultiProcess", o.MultiProcess},
        {L"ScanSPI", o.ScanSPI},
        {L"ExtSPI", o.ExtSPI},
        {L"CacheFolder", o.CacheFolder},
        {L"AutoCacheFolder", o.AutoCacheFolder},
        {L"EnableConfig", o.EnableConfig},
        {L"SyncJump", o.SyncJump},
        {L"InfoView", o.InfoView},
        {L"DELQA", o.DELQA},
        {L"TrashCan", o.TrashCan},
        {L"DaDMOVE", o.DaDMOVE},
        {L"ThumbsCreate", o.ThumbsCreate},
        {L"TopMost", o.TopMost},
        {L"MultiPicView", o.MultiPicView},
        {L"Stay", o.Stay},
        {L"ArcTree", o.ArcTree},
        {L"ArchiveInArchive", o.ArchiveInArchive},
        {L"HiddenFolder", o.HiddenFolder},
        {L"MemDraw", o.MemDraw},
        {L"FolderMonitor", o.FolderMonitor},
        {L"ClipboardCopyDIB", o.ClipboardCopyDIB},
        {L"ClipboardCopyTEXT", o.ClipboardCopyTEXT},
        {L"NotClrCursorMove", o.NotClrCursorMove},
        {L"FolderShow", o.FolderShow},
        {L"HiddenFile", o.HiddenFile},
    };
    for (const auto& [name, value] : flags)
        add(name, value);
    const std::pair<const wchar_t*, long long> numbers[] = {
        {L"CheckSubFolder", o.CheckSubFolder},
        {L"TreeRoot", o.TreeRoot},
        {L"WheelScrollCount", o.WheelScrollCount},
        {L"IDViewer", o.IDViewer},
        {L"colBackground", o.colBackground},
        {L"colText", o.colText},
        {L"AutoColumnSize", o.AutoColumnSize},
        {L"NameMaxSize", o.NameMaxSize},
        {L"DispPluginLimit", o.DispPluginLimit},
        {L"ArcDispPluginLimit", o.ArcDispPluginLimit},
        {L"Monitor", o.Monitor},
        {L"FolderTitle", o.FolderTitle},
        {L"FolderTitleSearchCount", o.FolderTitleSearchCount},
        {L"ColumnCount", o.ColumnCount},
        {L"LineCount", o.LineCount},
        {L"DirectionLR", o.DirectionLR},
        {L"DirectionUD", o.DirectionUD},
    };
    for (const auto& [name, value] : numbers)
        add(name, value);
    return text;
}

// The file as the settings; the record the document fills from it, within the pages' ranges;
// with roundTrip, written back by OK, read again, the same record.
void FeedSettings(const std::string& bytes, bool roundTrip = true)
{
    const CString file = theAppIni.GetPath();
    ASSERT_TRUE(ScratchFolder::WriteFile(file.GetString(), bytes));
    OPTIONSDATA record;
    {
        CKWDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.FillOptions(record);
        ASSERT_GE(record.CheckSubFolder, 0);
        ASSERT_LE(record.CheckSubFolder, 2);
        for (int split : {record.ColumnCount, record.LineCount}) {
            ASSERT_GE(split, 1);
            ASSERT_LE(split, 64);
        }
        for (int direction : {record.DirectionLR, record.DirectionUD}) {
            ASSERT_GE(direction, 0);
            ASSERT_LE(direction, 1);
        }
        for (int limit : {record.DispPluginLimit, record.ArcDispPluginLimit}) {
            ASSERT_GE(limit, 0);
            ASSERT_LE(limit, 2048);
        }
        ASSERT_EQ(0u, record.colBackground & 0xFF000000);
        ASSERT_EQ(0u, record.colText & 0xFF000000);
        if (!roundTrip)
            return;
        doc.ApplyOptions(record);
        doc.SaveSettings();
    }
    OPTIONSDATA again;
    {
        CKWDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.FillOptions(again);
    }
    ASSERT_EQ(Describe(record), Describe(again));
}

// A settings file as the program writes it, every options key included.
std::string Seed()
{
    {
        CKWDoc doc;
        doc.m_bAutoDelete = FALSE;
        OPTIONSDATA record;
        doc.FillOptions(record);
        doc.ApplyOptions(record);
        doc.SaveSettings();
    }
    return ScratchFolder::ReadFile(theAppIni.GetPath().GetString());
}

const wchar_t* const kBadValues[] = {L"abc",         L"",     L"-1",        L"-2147483648",  L"2147483648",
                                     L"99999999999", L"#",    L"#FFFFFFFF", L"#xyz",         L"0x10",
                                     L"1e9",         L" 65 ", L"+",         L"\x3042\x3044", L"3.5"};

} // namespace

// Every file is read; one in a hundred is also written back (each write rewrites the file). The
// run's inputs are cut into parts, each a test of its own, so that the shards share them: a
// document reads a file in some 100 ms.
constexpr int kSettingsParts = 8;

void FeedSettingsPart(int part)
{
    // The heap-checked share reads a few files of the first part only: a file takes seconds there.
    if (part > 0 && hostile::HeapCheckedShare())
        GTEST_SKIP();
    DocumentScope scope;
    const std::string seed = Seed();
    ASSERT_GT(seed.size(), 500u);
    auto feed = [&](const hostile::Input& data, int index) {
        FeedSettings(std::string(data.begin(), data.end()), index % 100 == 0);
    };
    const std::vector<hostile::Input> seeds = {hostile::Input(seed.begin(), seed.end())};
    const int fed = part == 0
                        ? hostile::FeedHostile(seeds, 4051u, hostile::Inputs(10000 / kSettingsParts, 2), feed)
                        : hostile::FeedMutations(seeds, 4051u + part, hostile::Inputs(10000 / kSettingsParts, 0), feed);
    hostile::Report("settings file", fed);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid)
{
    FeedSettingsPart(0);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid2)
{
    FeedSettingsPart(1);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid3)
{
    FeedSettingsPart(2);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid4)
{
    FeedSettingsPart(3);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid5)
{
    FeedSettingsPart(4);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid6)
{
    FeedSettingsPart(5);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid7)
{
    FeedSettingsPart(6);
}

TEST(SettingsRobustness, MutatedSettingsFilesOpenWithinRangeAndAreWrittenBackValid8)
{
    FeedSettingsPart(7);
}

TEST(SettingsRobustness, EveryOptionsKeyWithEveryKindOfBadValue)
{
    // The same reading and writing runs under the heap checking in the mutations above; a file
    // takes seconds there.
    if (hostile::HeapCheckedShare())
        GTEST_SKIP();
    DocumentScope scope;
    const std::string seed = Seed();
    const std::pair<const wchar_t*, const wchar_t*> keys[] = {
        {L"KWDoc", L"TrashCan"},          {L"KWDoc", L"colBackground"},      {L"KWDoc", L"colText"},
        {L"KWDoc", L"DispPluginLimit"},   {L"KWDoc", L"ArcDispPluginLimit"}, {L"KWDoc", L"IDViewer"},
        {L"KWDoc", L"FolderTitle"},       {L"FolderView", L"TreeRoot"},      {L"FolderView", L"CheckSubFolder"},
        {L"KWView", L"WheelScrollCount"}, {L"SlideShow", L"ColumnCount"},    {L"SlideShow", L"LineCount"},
        {L"SlideShow", L"DirectionLR"},   {L"SlideShow", L"Monitor"},        {L"LstView", L"NameMaxSize"},
        {L"LstView", L"AutoColumnSize"},  {L"OnePic", L"TitleFormat"},       {L"SPI", L"SPIDIR"},
    };
    // Every key at once with one bad value, then every key missing.
    const int rounds = static_cast<int>(sizeof kBadValues / sizeof kBadValues[0]);
    const CString file = theAppIni.GetPath();
    for (int i = 0; i <= rounds; ++i) {
        ASSERT_TRUE(ScratchFolder::WriteFile(file.GetString(), seed));
        for (const auto& [section, key] : keys)
            WriteAppIniString(section, key, i < rounds ? kBadValues[i] : nullptr);
        FeedSettings(ScratchFolder::ReadFile(file.GetString()));
    }
    // A value far longer than the store reads.
    ASSERT_TRUE(ScratchFolder::WriteFile(file.GetString(), seed));
    WriteAppIniString(L"OnePic", L"TitleFormat", CString(L'x', 5000));
    FeedSettings(ScratchFolder::ReadFile(file.GetString()));
}
