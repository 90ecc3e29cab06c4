#include "foundation/SettingsTable.h"

#include "TestSettings.h"
#include "common/SettingsTableTestUtil.h"

#include <gtest/gtest.h>

namespace {

// A record with a row of every kind.
struct EveryKind
{
    bool flag = true;
    int strict = 5;
    COLORREF colour = 0x102030;
    int plain = 6;
    COLORREF plainColour = 0x405060;
    CSize pair{2, 3};
    CString text = L"text";
    double real = 0.5;
    double value = 1.25;

    void Load() { SettingsTable::Read(*this); }
    void Save() const { SettingsTable::Write(*this); }
    template <class Visitor> static void VisitKeys(Visitor& v)
    {
        v.Bool(L"T", L"Flag", &EveryKind::flag);
        v.Int(L"T", L"Strict", &EveryKind::strict);
        v.Colour(L"T", L"Colour", &EveryKind::colour);
        v.ProfileInt(L"T", L"Plain", &EveryKind::plain);
        v.ProfileColour(L"T", L"PlainColour", &EveryKind::plainColour);
        v.Pair(L"T", L"Pair", &EveryKind::pair);
        v.String(L"T", L"Text", &EveryKind::text);
        v.Real(L"T", L"Real", &EveryKind::real);
        v.Double(L"U", L"Value", &EveryKind::value);
    }
};

TEST(SettingsTableRows, EveryRowKindGoesOutAndComesBack)
{
    ScratchSettings settings;
    settingstest::ExpectEveryRowRoundTrips<EveryKind>(
        {{L"T", {L"Flag", L"Strict", L"Colour", L"Plain", L"PlainColour", L"Pair", L"Text", L"Real"}},
         {L"U", {L"Value"}}});
    // The forms the file holds.
    EXPECT_EQ(CString(L"#00021466"), GetAppIniString(L"T", L"Colour", L""));
    EXPECT_EQ(CString(L"2.75"), GetAppIniString(L"U", L"Value", L""));
    EXPECT_EQ(CString(L"2.000000"), GetAppIniString(L"T", L"Real", L""));
    EXPECT_EQ(CString(L"5,8"), GetAppIniString(L"T", L"Pair", L""));
}

TEST(SettingsTableRows, HandEditedTextReadsAsItsKindSays)
{
    ScratchSettings settings;
    // The strict kinds take text that is no number (or a colour with a top byte) as the default;
    // the plain ones read it as the platform does.
    WriteAppIniString(L"T", L"Flag", L"no");
    WriteAppIniString(L"T", L"Strict", L"12abc");
    WriteAppIniString(L"T", L"Colour", L"#FF000000");
    WriteAppIniString(L"T", L"Plain", L"many");
    WriteAppIniString(L"T", L"PlainColour", L"255");
    EveryKind record;
    record.flag = false;
    record.Load();
    EXPECT_TRUE(record.flag);
    EXPECT_EQ(12, record.strict);
    EXPECT_EQ(0x102030u, record.colour);
    EXPECT_EQ(0, record.plain);
    EXPECT_EQ(255u, record.plainColour);
    EXPECT_EQ(CString(L"text"), record.text);
}

TEST(SettingsTableRows, OneKeyIsReadThroughItsRowWithTheTablesDefault)
{
    ScratchSettings settings;
    EXPECT_EQ(6, SettingsTable::ReadOne(&EveryKind::plain));
    EXPECT_EQ(CString(L"text"), SettingsTable::ReadOne(&EveryKind::text));
    WriteAppIniString(L"T", L"Strict", L"many");
    WriteAppIniString(L"T", L"Text", L"stored");
    WriteAppIniInt(L"T", L"Plain", 9);
    EXPECT_EQ(5, SettingsTable::ReadOne(&EveryKind::strict));
    EXPECT_EQ(CString(L"stored"), SettingsTable::ReadOne(&EveryKind::text));
    EXPECT_EQ(9, SettingsTable::ReadOne(&EveryKind::plain));
    // Only that row is read: the others keep the record's values.
    EveryKind record, defaults;
    SettingsTable::Reader<EveryKind> reader(record, defaults, &record.plain);
    record.text = L"kept";
    EveryKind::VisitKeys(reader);
    EXPECT_EQ(1, reader.Rows());
    EXPECT_EQ(9, record.plain);
    EXPECT_EQ(CString(L"kept"), record.text);
}

} // namespace
