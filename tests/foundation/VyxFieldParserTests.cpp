#include "foundation/VyxFieldParser.h"
#include "script/VyxVariant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FieldRow
{
    const wchar_t* text;
    int index;
    const wchar_t* separator;
    unsigned flags;
    int result;
    const wchar_t* field;
};

TEST(VyxFieldParser, PicksOneFieldWithQuotesAndEscapes)
{
    const FieldRow rows[] = {
        {L"a,b,c", 2, L",", 0, 1, L"c"},
        {L"a,b,c", 3, L",", 0, -2, L""},
        {L"", 0, L",", 0, 0, L""},
        {L"", 1, L",", 0, -2, L""},
        {L"a,\"b,c\",d", 1, L",", 0, 3, L"b,c"},
        {L"a,\"b,c\",d", 2, L",", 0, 1, L"d"},
        {L"a,'b,c',d", 1, L",", 0, 3, L"b,c"},
        {L"x\"y\"z", 0, L",", 0, 1, L"y"},
        {L"x\"y\"z", 0, L",", 5, 5, L"x\"y\"z"},
        {L"x\"y\"z", 0, L",", 1, 3, L"\"y\""},
        {L"\"abc", 0, L",", 0, -1, L""},
        {L"a\\tb", 0, L",", 0, 4, L"a\\tb"},
        {L"a\\tb", 0, L",", 2, 3, L"a\tb"},
        {L"a\\\\b\\\"c\\q", 0, L",", 2, 7, L"a\\b\"c\\q"},
        {L"a\\,b", 0, L",", 0, 2, L"a\\"},
        {L"a\\,b", 1, L",", 0, 1, L"b"},
        {L"a\\", 0, L",", 2, 2, L"a\\"},
        {L"a::b", 1, L"::", 0, 1, L"b"},
        {L"a:b", 0, L"::", 0, 3, L"a:b"},
        {L"\"a\\\"b\",c", 0, L",", 2, 3, L"a\"b"},
        {L",,x", 2, L",", 0, 1, L"x"},
    };
    for (const FieldRow& row : rows) {
        std::vector<wchar_t> output(wcslen(row.text) + 1, L'#');
        VyxFieldParser parser(row.flags);
        EXPECT_EQ(row.result, parser.GetField(output.data(), row.text, row.index, row.separator))
            << row.text << " field " << row.index << " flags " << row.flags;
        EXPECT_STREQ(row.field, output.data()) << row.text << " field " << row.index;
        VyxFieldParser measuring(row.flags);
        EXPECT_EQ(row.result, measuring.GetField(nullptr, row.text, row.index, row.separator));
    }
}

TEST(VyxFieldParser, TypedGettersStoreZeroForNonNumbers)
{
    struct Row
    {
        const wchar_t* text;
        int index;
        int value;
        int result;
    } rows[] = {
        {L"10,x", 1, 0, 0}, {L"10,-3", 1, -3, 2}, {L"10, 5", 1, 0, 0}, {L"1.5,2", 0, 1, 3}, {L"7", 3, 0, 0},
    };
    for (const Row& row : rows) {
        int value = 99;
        EXPECT_EQ(row.result, GetFieldInt(&value, row.text, row.index, L',')) << row.text;
        EXPECT_EQ(row.value, value) << row.text;
    }
    double d = 0;
    EXPECT_EQ(4, GetFieldDouble(&d, L"a;-2.5", 1, L';'));
    EXPECT_DOUBLE_EQ(-2.5, d);
    long long big = 0;
    GetFieldInt64(&big, L"12345678901", 0, L',');
    EXPECT_EQ(12345678901LL, big);
    VyxVariant v;
    EXPECT_EQ(0, GetFieldVariant(&v, L"abc", 0, L','));
    EXPECT_EQ(VyxVariant::Empty, v.GetType());
}

TEST(VyxFieldParser, StringWrappersAndBlanks)
{
    CString field;
    EXPECT_EQ(3, GetFieldString(&field, L"640,480,100", 2, L','));
    EXPECT_STREQ(L"100", field);
    EXPECT_STREQ(L"480", GetFieldString(L"640,480", 1, L','));
    wchar_t buffer[16];
    EXPECT_EQ(-2, GetFieldString(buffer, L"a", 1, L','));
    EXPECT_STREQ(L"", buffer);
    EXPECT_STREQ(L"x \t", SkipBlanks(L" \t x \t"));
}

TEST(VyxFieldParser, FindFieldEndCountsCharactersAgainstFields)
{
    // The walk goes on while fewer fields were measured than characters were seen.
    EXPECT_EQ(2, FindFieldEnd(L"x,x,rest", L'x', L","));
    EXPECT_EQ(5, FindFieldEnd(L"xx,a,b,c", L'x', L","));
    EXPECT_EQ(0, FindFieldEnd(L"a,b", L'x', L","));
}

} // namespace
