// Settings records kept as one table each. A record lists every key it keeps once, as section,
// name and the field that holds the value, in a static VisitKeys(visitor); reading, writing and
// listing walk that one list, so no key is read under one name and written under another, and a
// missing key takes the field's value in a record just made. A key read in a second place is read
// through its record's row (ReadOne), never with a default of its own.
//
// Row kinds:
// - Bool, Int, Colour: a number as the settings store writes it ("#" and hexadecimal digits, or
//   decimal); text that is no number (a file edited by hand) reads as the default, and so does a
//   colour with a top byte.
// - ProfileInt, ProfileColour: a number as the platform reads it (leading digits; a colour "#"
//   and hexadecimal digits, else that reading).
// - Pair "%d,%d"; String as it stands; Real "%f" and Double "%g", both read back with _wtof.
// - Font: a LOGFONT's bytes. The writer writes them; the record builds its font after the walk,
//   since a font may fall back on other keys and a device context.
#pragma once

#include "foundation/VyxIni.h"
#include "framework/Framework.h"

#include <utility>
#include <vector>

namespace SettingsTable {

// A number as the settings store writes it; false for a missing key and for text that is no number.
bool ReadNumber(const wchar_t* section, const wchar_t* key, int& value);
CString PairText(const CSize& size);
void ReadPair(const wchar_t* section, const wchar_t* key, const CSize& defaultValue, CSize& value);
CString RealText(double value);

// Reads every row into the record, or only the row of one field (onlyField: its address in the
// record); Rows() counts the rows read.
template <class Record> class Reader
{
public:
    Reader(Record& record, const Record& defaults, const void* onlyField = nullptr)
        : m_record(record), m_defaults(defaults), m_only(onlyField)
    {
    }
    int Rows() const { return m_rows; }

    void Bool(const wchar_t* section, const wchar_t* key, bool Record::*field)
    {
        int number = 0;
        if (Takes(field))
            m_record.*field = ReadNumber(section, key, number) ? number != 0 : m_defaults.*field;
    }
    void Int(const wchar_t* section, const wchar_t* key, int Record::*field)
    {
        int number = 0;
        if (Takes(field))
            m_record.*field = ReadNumber(section, key, number) ? number : m_defaults.*field;
    }
    // The top byte of a COLORREF is not part of the colour: a value that has one is no colour.
    void Colour(const wchar_t* section, const wchar_t* key, COLORREF Record::*field)
    {
        int number = 0;
        if (Takes(field))
            m_record.*field = ReadNumber(section, key, number) && (static_cast<DWORD>(number) & 0xFF000000) == 0
                                  ? static_cast<COLORREF>(number)
                                  : m_defaults.*field;
    }
    void ProfileInt(const wchar_t* section, const wchar_t* key, int Record::*field)
    {
        if (Takes(field))
            m_record.*field = GetAppIniInt(section, key, m_defaults.*field);
    }
    void ProfileColour(const wchar_t* section, const wchar_t* key, COLORREF Record::*field)
    {
        if (Takes(field))
            m_record.*field = static_cast<COLORREF>(GetAppIniHexInt(section, key, static_cast<int>(m_defaults.*field)));
    }
    void Pair(const wchar_t* section, const wchar_t* key, CSize Record::*field)
    {
        if (Takes(field))
            ReadPair(section, key, m_defaults.*field, m_record.*field);
    }
    void String(const wchar_t* section, const wchar_t* key, CString Record::*field)
    {
        if (Takes(field))
            GetAppIniString(m_record.*field, section, key, m_defaults.*field);
    }
    void Real(const wchar_t* section, const wchar_t* key, double Record::*field)
    {
        CString text;
        if (Takes(field))
            m_record.*field = _wtof(GetAppIniString(text, section, key, RealText(m_defaults.*field)));
    }
    void Double(const wchar_t* section, const wchar_t* key, double Record::*field)
    {
        if (Takes(field))
            m_record.*field = GetAppIniDouble(section, key, m_defaults.*field);
    }
    // Built by the record after the walk.
    void Font(const wchar_t*, const wchar_t*, LOGFONTW Record::*) {}

private:
    template <class Value> bool Takes(Value Record::*field)
    {
        if (m_only && m_only != &(m_record.*field))
            return false;
        ++m_rows;
        return true;
    }

    Record& m_record;
    const Record& m_defaults;
    const void* m_only;
    int m_rows = 0;
};

template <class Record> class Writer
{
public:
    explicit Writer(const Record& record) : m_record(record) {}
    int Rows() const { return m_rows; }

    void Bool(const wchar_t* section, const wchar_t* key, bool Record::*field)
    {
        Count(WriteAppIniBool(section, key, m_record.*field));
    }
    void Int(const wchar_t* section, const wchar_t* key, int Record::*field)
    {
        Count(WriteAppIniInt(section, key, m_record.*field));
    }
    void Colour(const wchar_t* section, const wchar_t* key, COLORREF Record::*field)
    {
        Count(WriteAppIniHexInt(section, key, static_cast<int>(m_record.*field)));
    }
    void ProfileInt(const wchar_t* section, const wchar_t* key, int Record::*field) { Int(section, key, field); }
    void ProfileColour(const wchar_t* section, const wchar_t* key, COLORREF Record::*field)
    {
        Colour(section, key, field);
    }
    void Pair(const wchar_t* section, const wchar_t* key, CSize Record::*field)
    {
        Count(WriteAppIniString(section, key, PairText(m_record.*field)));
    }
    void String(const wchar_t* section, const wchar_t* key, CString Record::*field)
    {
        Count(WriteAppIniString(section, key, m_record.*field));
    }
    void Real(const wchar_t* section, const wchar_t* key, double Record::*field)
    {
        Count(WriteAppIniString(section, key, RealText(m_record.*field)));
    }
    void Double(const wchar_t* section, const wchar_t* key, double Record::*field)
    {
        Count(WriteAppIniDouble(section, key, m_record.*field));
    }
    void Font(const wchar_t* section, const wchar_t* key, LOGFONTW Record::*field)
    {
        Count(WriteAppIniBinary(section, key, &(m_record.*field), sizeof(LOGFONTW)));
    }

private:
    // A row counts as written only when the store took it.
    void Count(bool written) { m_rows += written ? 1 : 0; }

    const Record& m_record;
    int m_rows = 0;
};

// Section and name of every row, in the table's order.
class KeyLister
{
public:
    std::vector<std::pair<CString, CString>> keys;

    template <class Field> void Bool(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void Int(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void Colour(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void ProfileInt(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void ProfileColour(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void Pair(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void String(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void Real(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void Double(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }
    template <class Field> void Font(const wchar_t* section, const wchar_t* key, Field) { Add(section, key); }

private:
    void Add(const wchar_t* section, const wchar_t* key) { keys.emplace_back(section, key); }
};

// Every row of the record's table; the number of rows read.
template <class Record> int Read(Record& record)
{
    const Record defaults;
    Reader<Record> reader(record, defaults);
    Record::VisitKeys(reader);
    return reader.Rows();
}

// Every row; the number of rows the store took.
template <class Record> int Write(const Record& record)
{
    Writer<Record> writer(record);
    Record::VisitKeys(writer);
    return writer.Rows();
}

template <class Record> std::vector<std::pair<CString, CString>> Keys()
{
    KeyLister lister;
    Record::VisitKeys(lister);
    return lister.keys;
}

// The stored value of one field's row, read as the whole table reads it (its default included).
template <class Record, class Value> Value ReadOne(Value Record::*field)
{
    Record record;
    const Record defaults;
    Reader<Record> reader(record, defaults, &(record.*field));
    Record::VisitKeys(reader);
    ASSERT(reader.Rows() == 1); // a field without a row has no key to read
    return record.*field;
}

} // namespace SettingsTable
