// The formatting core through CString::Format / CStringA::Format: Microsoft-style specifiers,
// C99 output (two-digit exponents), narrow text through code page 932.
#include "common/FrameworkTestUtil.h"

namespace {

template <typename... Args> CString F(const wchar_t* format, const Args&... args)
{
    CString s;
    s.Format(format, args...);
    return s;
}

template <typename... Args> CStringA FA(const char* format, const Args&... args)
{
    CStringA s;
    s.Format(format, args...);
    return s;
}

// "日本" in Shift_JIS; its second character's trail byte is 0x7B.
const char kNihonSjis[] = "\x93\xfa\x96\x7b";

TEST(FormatCore, IntegerSpecifiersTheCallersUse)
{
    EXPECT_EQ(L"-5", F(L"%d", -5));
    EXPECT_EQ(L"4294967295", F(L"%u", 4294967295u));
    EXPECT_EQ(L"ff", F(L"%x", 255));
    EXPECT_EQ(L"0000BEEF", F(L"%08X", 0xBEEFu));
    EXPECT_EQ(L"00ABCD", F(L"%06X", 0xABCD));
    EXPECT_EQ(L"-1234567890123", F(L"%I64d", -1234567890123LL));
    EXPECT_EQ(L"18446744073709551615", F(L"%I64u", 18446744073709551615ULL));
    EXPECT_EQ(L"9000000000", F(L"%lld", 9000000000LL));
    EXPECT_EQ(L"00000042", F(L"%08d", 42));
    EXPECT_EQ(L"07", F(L"%02ld", 7L));
    EXPECT_EQ(L"      1234", F(L"%10lu", 1234UL));
    EXPECT_EQ(L"+3", F(L"%+d", 3));
    EXPECT_EQ(L"4464", F(L"%hd", 70000)); // short truncation
    EXPECT_EQ(L"0x1f", F(L"%#x", 31));
    EXPECT_EQ(L"ffffffffffffffff", F(L"%I64x", -1LL));
    EXPECT_EQ(L"7", F(L"%I32d", 7));
    EXPECT_EQ(L"12", F(L"%Iu", static_cast<size_t>(12)));
    EXPECT_EQ(L"12", F(L"%zu", static_cast<size_t>(12)));
}

TEST(FormatCore, ArgumentsAfterA64BitValueStayAligned)
{
    EXPECT_EQ(L"1 2 3", F(L"%d %I64d %d", 1, 2LL, 3));
    EXPECT_EQ(L"1 x 2.5", F(L"%I64u %s %g", 1ULL, L"x", 2.5));
}

TEST(FormatCore, FloatingPointPrintsTwoDigitExponents)
{
    EXPECT_EQ(L"1e+20", F(L"%g", 1e20));
    EXPECT_EQ(L"1.5e+20", F(L"%g", 1.5e20));
    EXPECT_EQ(L"1.5e-05", F(L"%g", 1.5e-5));
    EXPECT_EQ(L"0.0001", F(L"%g", 0.0001));
    EXPECT_EQ(L"3.141590", F(L"%f", 3.14159));
    EXPECT_EQ(L"1.234568e+04", F(L"%e", 12345.678));
    EXPECT_EQ(L"1.23", F(L"%.2f", 1.2345));
    EXPECT_EQ(L"1234567890", F(L"%.10g", 1234567890.0));
    EXPECT_EQ(L"2", F(L"%.0f", 2.0));
    EXPECT_EQ(L"  2.50", F(L"%6.2f", 2.5));
    EXPECT_EQ(L"1.5", F(L"%g", 1.5f)); // float arguments are promoted
}

TEST(FormatCore, WideFormatsReadPercentSWideAndPercentCapitalSNarrow)
{
    EXPECT_EQ(L"wide", F(L"%s", L"wide"));
    EXPECT_EQ(L"narrow", F(L"%S", "narrow"));
    EXPECT_EQ(L"日本", F(L"%S", kNihonSjis));
    EXPECT_EQ(L"日本", F(L"%hs", kNihonSjis));
    EXPECT_EQ(L"wide", F(L"%ls", L"wide"));
    EXPECT_EQ(L"wide", F(L"%ws", L"wide"));
    EXPECT_EQ(L"あ", F(L"%c", L'あ'));
    EXPECT_EQ(L"a", F(L"%C", 'a'));
    EXPECT_EQ(L"(null)", F(L"%s", static_cast<const wchar_t*>(nullptr)));
}

TEST(FormatCore, NarrowFormatsReadPercentSNarrowAndPercentCapitalSWide)
{
    EXPECT_EQ("narrow", FA("%s", "narrow"));
    EXPECT_EQ(kNihonSjis, FA("%S", L"日本"));
    EXPECT_EQ(kNihonSjis, FA("%ls", L"日本"));
    EXPECT_EQ("x=-7 1e+20", FA("x=%d %g", -7, 1e20));
    EXPECT_EQ("b", FA("%c", 'b'));
}

TEST(FormatCore, StringWidthAndPrecision)
{
    EXPECT_EQ(L"   ab|ab   |", F(L"%5s|%-5s|", L"ab", L"ab"));
    EXPECT_EQ(L"abc", F(L"%.3s", L"abcdef"));
    EXPECT_EQ(L"  日本", F(L"%4S", kNihonSjis));
    EXPECT_EQ(L"日", F(L"%.2S", kNihonSjis));
    EXPECT_EQ(L"日", F(L"%.3S", kNihonSjis)); // the lone lead byte is dropped
    // A precision-bounded string need not be terminated.
    const wchar_t unterminated[3] = {L'x', L'y', L'z'};
    EXPECT_EQ(L"xy", F(L"%.2s", unterminated));
    // Cutting narrow output never splits a double-byte character.
    EXPECT_EQ("\x93\xfa", FA("%.3S", L"日本"));
}

TEST(FormatCore, StarWidthAndPrecisionComeFromArguments)
{
    EXPECT_EQ(L"   42", F(L"%*d", 5, 42));
    EXPECT_EQ(L"42   |", F(L"%*d|", -5, 42));
    EXPECT_EQ(L"3.14", F(L"%.*f", 2, 3.14159));
    EXPECT_EQ(L"ab", F(L"%.*s", 2, L"abcdef"));
}

TEST(FormatCore, PercentPercentPointerAndUnknownConversions)
{
    EXPECT_EQ(L"100%", F(L"%d%%", 100));
    // As many digits as a pointer has.
    const std::wstring digits = std::wstring(sizeof(void*) * 2 - 4, L'0') + L"1234";
    EXPECT_EQ(CString(digits.c_str()), F(L"%p", reinterpret_cast<void*>(0x1234)));
    EXPECT_EQ(L"a%yb", F(L"a%yb"));
    EXPECT_EQ(L"end%", F(L"end%"));
    int written = 5;
    EXPECT_EQ(L"ab7", F(L"a%nb%d", &written, 7));
    EXPECT_EQ(5, written);
}

TEST(FormatCore, CStringArgumentsPassAsTheirText)
{
    CString name = L"名前";
    CStringA narrow = "abc";
    EXPECT_EQ(L"[名前] [abc]", F(L"[%s] [%S]", name, narrow));
    struct Derived : CString
    {
        using CString::CString;
    };
    EXPECT_EQ(L"<derived>", F(L"<%s>", Derived(L"derived")));
}

TEST(FormatCore, LongOutputGrowsPastTheInternalBuffer)
{
    CString s = F(L"%300d|%.200f", 1, 1.0);
    EXPECT_EQ(300 + 1 + 202, s.GetLength());
    EXPECT_EQ(L'1', s[299]);
}

TEST(FormatCore, AppendFormatAndFormatV)
{
    CString s = L"x=";
    s.AppendFormat(L"%d", 3);
    EXPECT_EQ(L"x=3", s);
    std::wstring out = L">";
    auto append = [&out](const wchar_t* format, ...) {
        va_list args;
        va_start(args, format);
        AfxAppendFormatV(out, format, args);
        va_end(args);
    };
    append(L"%s-%I64d", L"a", 5LL);
    EXPECT_EQ(L">a-5", out);
}

} // namespace
