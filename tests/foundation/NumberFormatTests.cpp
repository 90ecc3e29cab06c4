#include "foundation/NumberFormat.h"

#include <gtest/gtest.h>

TEST(NumberFormat, GroupsIntegersWithCommas)
{
    CString out;
    EXPECT_STREQ(L"1,234,567", FormatIntGrouped(out, 1234567).GetString());
    EXPECT_STREQ(L"-1,234", FormatIntGrouped(out, -1234).GetString());
    EXPECT_STREQ(L"0", FormatIntGrouped(out, 0).GetString());
    EXPECT_STREQ(L"0", FormatDoubleGrouped(out, -0.4).GetString());
    EXPECT_STREQ(L"-9,223,372,036,854,775,808", FormatInt64Grouped(out, -9223372036854775807LL - 1).GetString());
    EXPECT_STREQ(L"18,446,744,073,709,551,615", FormatUInt64Grouped(out, 18446744073709551615ULL).GetString());
    EXPECT_STREQ(L"1,235", FormatDoubleGrouped(out, 1234.6).GetString());
    EXPECT_STREQ(L"1,234.50", GroupNumberText(out, L"1234.5", 2).GetString());
    EXPECT_STREQ(L"", GroupNumberText(out, L"not a number", 0).GetString());
}

TEST(NumberFormat, Double10gHasNoSmallExponents)
{
    struct
    {
        double value;
        const wchar_t* text;
    } const cases[] = {
        {0.00001234, L"0.00001234"},
        {2.0, L"2"},
        {1e-11, L"0"},
        {-1e-11, L"0"},
        {1.5e20, L"1.5e+20"},
        {1234567890.0, L"1234567890"},
        {12345678901.0, L"1.23456789e+10"},
        {-0.000002, L"-0.000002"},
        {1.5e-9, L"0.0000000015"},
        {2.5e-10, L"2.5e-10"},
        {0.1, L"0.1"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[32];
        EXPECT_STREQ(c.text, FormatDouble10g(c.value, buffer, 32)) << c.value;
    }
    wchar_t small[5];
    EXPECT_STREQ(L"0.00", FormatDouble10g(0.000015, small, 5));
}

TEST(NumberFormat, GroupedTrimGroupsTheIntegerPartOnly)
{
    CString out;
    EXPECT_STREQ(L"1,234,567.5", FormatDoubleGroupedTrim(out, 1234567.5).GetString());
    EXPECT_STREQ(L"123", FormatDoubleGroupedTrim(out, 123.0).GetString());
    EXPECT_STREQ(L"1,000", FormatDoubleGroupedTrim(out, 1000.0).GetString());
    EXPECT_STREQ(L"12,345.68", FormatDoubleGroupedTrim(out, 12345.678, L"%.2f").GetString());
    EXPECT_STREQ(L"-1,234", FormatDoubleGroupedTrim(out, -1234.0).GetString());
}

TEST(NumberFormat, ScalesByteCountsToUnits)
{
    struct
    {
        unsigned long long value;
        int decimals, startUnit, maximumUnit;
        const wchar_t* text;
    } const cases[] = {
        {1536, 1, 0, -1, L"1.5KB"},         {1048576, 1, 0, -1, L"1MB"},
        {999, 1, 0, -1, L"999B"},           {5368709120ULL, 1, 0, 1, L"5,242,880KB"},
        {1000, 2, 0, -1, L"0.98KB"},        {0, 1, 0, -1, L"0B"},
        {1536, -1, 0, -1, L"2KB"},          {2048, 1, 1, -1, L"2MB"},
        {1ULL << 50, 1, 0, -1, L"1,024TB"}, {18446744073709551615ULL, 0, 0, -1, L"16,777,216TB"},
    };
    for (const auto& c : cases) {
        CString out;
        EXPECT_STREQ(c.text, FormatNumberEx(out, c.value, TRUE, c.decimals, c.startUnit, c.maximumUnit).GetString())
            << c.value;
    }
    CString out;
    EXPECT_STREQ(L"1.5", FormatNumberEx(out, 1536, FALSE, 1, 0, -1).GetString());
}

TEST(NumberFormat, TruncateCutsWithoutGoingNegativeOrDown)
{
    NumberFormatRecord r = {};
    r.withUnit = TRUE;
    r.truncate = TRUE;
    r.maximumUnit = -1;
    for (int& d : r.decimals)
        d = 1;
    CString out;
    r.value = 0;
    EXPECT_STREQ(L"0B", FormatNumberText(out, r).GetString());
    r.value = 1023 * 1024 + 1000; // 1023.98 KB
    EXPECT_STREQ(L"0.9MB", FormatNumberText(out, r).GetString());
    for (int& d : r.decimals)
        d = 0;
    r.value = 1024;
    EXPECT_STREQ(L"1KB", FormatNumberText(out, r).GetString());
    r.value = 1535;
    EXPECT_STREQ(L"1KB", FormatNumberText(out, r).GetString());
}

TEST(NumberFormat, PerDigitCountDecimals)
{
    NumberFormatRecord r = {};
    r.maximumUnit = -1;
    int decimals[5] = {3, 2, 1, 0, -1};
    std::copy(decimals, decimals + 5, r.decimals);
    CString out;
    r.value = 512 * 1024 + 512; // 512.5 KB: three digits
    EXPECT_STREQ(L"512", FormatNumberText(out, r).GetString());
    r.value = 1536; // 1.5 KB: one digit
    EXPECT_STREQ(L"1.5", FormatNumberText(out, r).GetString());
}

TEST(NumberFormat, CopyStringNTruncatesAndTerminates)
{
    wchar_t buffer[8] = L"zzzzzzz";
    EXPECT_STREQ(L"abc", CopyStringN(buffer, L"abcdef", 4));
    EXPECT_STREQ(L"abc", CopyStringN(buffer, L"abc", 4));
    EXPECT_STREQ(L"", CopyStringN(buffer, L"abc", 1));
    buffer[0] = L'q';
    CopyStringN(buffer, L"abc", 0);
    EXPECT_EQ(L'q', buffer[0]);
    wchar_t overlap[16] = L"0123456789";
    EXPECT_STREQ(L"2345", CopyStringN(overlap, overlap + 2, 5));
}

TEST(NumberFormat, CopyToFixedBufferRefusesOverlongSourceWithoutEndingTheProcess)
{
    static wchar_t destination[kFixedBufferSize];
    std::wstring fits(520, L'a'), tooLong(521, L'b');
    EXPECT_EQ(destination, CopyToFixedBuffer(destination, fits.c_str()));
    EXPECT_EQ(fits, destination);
    EXPECT_EQ(nullptr, CopyToFixedBuffer(destination, tooLong.c_str()));
    EXPECT_EQ(nullptr, CopyToFixedBuffer(destination, nullptr));
}
