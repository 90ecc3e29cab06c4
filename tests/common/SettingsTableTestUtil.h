// A settings record's key table walked both ways: every row's field set unlike its default,
// written by the record's writer and read back by its reader into a record just made. The
// application settings file is the caller's scratch one.
#pragma once

#include "foundation/SettingsTable.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

namespace settingstest {

inline bool Unlike(bool value)
{
    return !value;
}
inline int Unlike(int value)
{
    return value == 7 ? 8 : 7;
}
inline COLORREF Unlike(COLORREF value)
{
    return (value ^ 0x123456) & 0xFFFFFF;
}
inline double Unlike(double value)
{
    return value + 1.5;
}
inline CString Unlike(const CString& value)
{
    return value + L"_x";
}
inline CSize Unlike(const CSize& value)
{
    return CSize(value.cx + 3, value.cy + 5);
}

// Hands every row to the action as (section, key, field); a font row is left out, as the
// record builds its font itself.
template <class Action> class RowWalker
{
public:
    explicit RowWalker(Action action) : m_action(action) {}
    int Rows() const { return m_rows; }

    template <class Field> void Bool(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void Int(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void Colour(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void ProfileInt(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void ProfileColour(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void Pair(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void String(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void Real(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void Double(const wchar_t* s, const wchar_t* k, Field f) { Row(s, k, f); }
    template <class Field> void Font(const wchar_t*, const wchar_t*, Field) {}

private:
    template <class Field> void Row(const wchar_t* section, const wchar_t* key, Field field)
    {
        ++m_rows;
        m_action(section, key, field);
    }

    Action m_action;
    int m_rows = 0;
};

template <class Record, class Action> int WalkRows(Action action)
{
    RowWalker<Action> walker(action);
    Record::VisitKeys(walker);
    return walker.Rows();
}

inline std::wstring KeyName(const wchar_t* section, const wchar_t* key)
{
    CString name = CString(section) + L"\\" + key;
    name.MakeLower(); // the settings store ignores case
    return std::wstring(name);
}

struct SectionKeys
{
    const wchar_t* section;
    std::initializer_list<const wchar_t*> keys;
};

// The table holds exactly the keys given, each once; every field is written and read back as set,
// and every key is in the file after the write. Load and Save are the record's reader and writer.
template <class Record> void ExpectEveryRowRoundTrips(std::initializer_list<SectionKeys> expected)
{
    Record written;
    std::set<std::wstring> keys;
    const int rows = WalkRows<Record>([&](const wchar_t* section, const wchar_t* key, auto field) {
        EXPECT_TRUE(keys.insert(KeyName(section, key)).second) << "declared twice: " << KeyName(section, key);
        written.*field = Unlike(written.*field);
    });
    ASSERT_GT(rows, 0) << "the table walk saw no row";
    std::set<std::wstring> wanted;
    for (const SectionKeys& section : expected)
        for (const wchar_t* key : section.keys)
            wanted.insert(KeyName(section.section, key));
    for (const std::wstring& name : wanted)
        EXPECT_EQ(1u, keys.count(name)) << "no row for " << name;
    for (const std::wstring& name : keys)
        EXPECT_EQ(1u, wanted.count(name)) << "a row for " << name << ", which is not the record's";

    written.Save();
    Record read;
    read.Load();
    const Record fresh;
    WalkRows<Record>([&](const wchar_t* section, const wchar_t* key, auto field) {
        EXPECT_TRUE(read.*field == written.*field) << std::wstring(key) << " did not come back";
        EXPECT_FALSE(read.*field == fresh.*field) << std::wstring(key) << " read as its default";
        EXPECT_NE(CString(L"<absent>"), GetAppIniString(section, key, L"<absent>")) << std::wstring(key);
    });
}

} // namespace settingstest
