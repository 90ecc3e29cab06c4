#include "DocumentTestUtil.h"

#include "catalogue/OneViewSettings.h"
#include "catalogue/PictureViewSettings.h"
#include "common/SettingsTableTestUtil.h"

#include <set>

using namespace doctest;

namespace {

// A value unlike the one held and inside every range the settings keep: a value the settings
// reset on reading would hide a key that does not round-trip.
bool Other(bool value)
{
    return !value;
}
int Other(int value)
{
    return value == 1 ? 2 : 1;
}
CString Other(const CString& value)
{
    return value + L"x";
}

template <class Record, class Value> std::ptrdiff_t OffsetOf(const Record& record, Value Record::*member)
{
    return reinterpret_cast<const char*>(&(record.*member)) - reinterpret_cast<const char*>(&record);
}

} // namespace

TEST(SettingsTable, EveryOptionGoesOutAndComesBackThroughItsSetting)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    CKWDocSettings& settings = doc;
    OPTIONSDATA original, record;
    doc.FillOptions(original);
    std::set<std::ptrdiff_t> options, linked;
    int links = 0;
    VisitOptionSettings([&](auto field, auto setting) {
        ++links;
        options.insert(OffsetOf(record, field));
        linked.insert(OffsetOf(settings, setting));
        settings.*setting = Other(settings.*setting);
    });
    EXPECT_EQ(links, static_cast<int>(options.size())) << "a field of the record is linked twice";
    EXPECT_EQ(links, static_cast<int>(linked.size())) << "a setting is linked twice";

    doc.FillOptions(record);
    int index = 0;
    VisitOptionSettings([&](auto field, auto setting) {
        EXPECT_TRUE(record.*field == settings.*setting) << "option " << index;
        // Back to the value loaded, which differs from what the settings now hold.
        record.*field = original.*field;
        ++index;
    });
    doc.ApplyOptions(record);
    doc.WriteSettings();
    CKWDocSettings reread;
    reread.ReadSettings(nullptr);
    index = 0;
    VisitOptionSettings([&](auto field, auto setting) {
        EXPECT_TRUE(settings.*setting == record.*field) << "option " << index;
        EXPECT_TRUE(reread.*setting == record.*field) << "key of option " << index;
        ++index;
    });
    // The picture budget and the item layer's limits are the program's, not the document's.
    doc.ApplyOptions(original);
}

TEST(SettingsTable, EveryKeyIsDeclaredOnceAndWrittenWhereItIsRead)
{
    const auto keys = CKWDocSettings::DeclaredKeys();
    std::set<std::wstring> seen;
    for (const auto& [section, key] : keys) {
        CString name = section + L"\\" + key;
        name.MakeLower(); // the settings store ignores case
        EXPECT_TRUE(seen.insert(std::wstring(name)).second) << std::wstring(name);
    }
    // The keys other windows own stay out of the document's table, which would write them
    // behind those windows' backs.
    for (const CKWDocSettings::TextKey& own : {SettingKeys::TitleFormat, SettingKeys::InfoColumnTemplete}) {
        CString name = CString(own.section) + L"\\" + own.key;
        name.MakeLower();
        EXPECT_EQ(0u, seen.count(std::wstring(name))) << std::wstring(name);
    }

    DocumentScope scope;
    scope.Document().WriteSettings();
    for (const auto& [section, key] : keys)
        EXPECT_NE(CString(L"<absent>"), GetAppIniString(section, key, L"<absent>")) << std::wstring(key);
}

TEST(SettingsTable, TheKeysOtherWindowsReadGiveTheSheetTheirDefaultsAndTakeItsValues)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    OPTIONSDATA record;
    doc.FillOptions(record);
    EXPECT_EQ(CString(SettingKeys::TitleFormat.defaultValue), record.TitleFormat);
    EXPECT_EQ(CString(L"$(Info)"), record.InfoColumnTemplete);
    EXPECT_EQ(1, record.AutoColumnSize);
    EXPECT_EQ(30, record.NameMaxSize);
    WriteAppIniString(L"LstView", L"NameMaxSize", L"many");
    EXPECT_EQ(30, SettingKeys::NameMaxSize.Read());

    record.TitleFormat = L"$(FileName)";
    record.NameMaxSize = 12;
    doc.ApplyOptions(record);
    EXPECT_EQ(CString(L"$(FileName)"), SettingKeys::TitleFormat.Read());
    EXPECT_EQ(12, SettingKeys::NameMaxSize.Read());
}

TEST(SettingsTable, ANewRecordStartsFromWhatAFileWithoutTheKeysReads)
{
    DocumentScope scope;
    OPTIONSDATA fresh, filled;
    scope.Document().FillOptions(filled);
    int index = 0;
    VisitOptionSettings([&](auto field, auto) {
        EXPECT_TRUE(fresh.*field == filled.*field) << "option " << index;
        ++index;
    });
    EXPECT_EQ(filled.colBackground, fresh.colBackground);
    EXPECT_EQ(filled.colText, fresh.colText);
    EXPECT_EQ(filled.AutoColumnSize, fresh.AutoColumnSize);
    EXPECT_EQ(filled.NameMaxSize, fresh.NameMaxSize);
}

TEST(SettingsTable, ThePictureRecordsWalkTheirTablesBothWays)
{
    ScratchSettings settings;
    settingstest::ExpectEveryRowRoundTrips<OneViewSettings>(
        {{L"SlideShow", {L"SleepTime"}},
         {L"COneView",
          {L"FitSize", L"ScaleMode", L"Repeat", L"PositionBar", L"Infomation", L"InfomationMacro", L"ZoomUp",
           L"ZoomDw", L"AngleUnit", L"SpaceCommandID"}}});
    settingstest::ExpectEveryRowRoundTrips<PictureViewSettings>(
        {{L"COneView", {L"AviShow", L"DswShow", L"StepSecond", L"DelayTime", L"colBackground", L"DragDots"}}});
}
