#include "script/VyxRegExp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(VyxRegExp, NumberTestAcceptsDecimalTextsOnly)
{
    VyxRegExp re;
    for (const wchar_t* number : {L"12", L"-3.5", L"+.5", L"7.", L"", L".", L"-", L"+", L"007"})
        EXPECT_GT(re.IsNumber(number), 0) << number;
    for (const wchar_t* other : {L" 12", L"1e5", L"1,000", L"12a", L"--1", L"1.2.3", L"１２"})
        EXPECT_EQ(0, re.IsNumber(other)) << other;
}

TEST(VyxRegExp, MatchKeepsTheWholeMatchAndEveryGroup)
{
    VyxRegExp re(L"(\\d+)x(\\d+)(px)?", 0);
    EXPECT_EQ(4, re.Match(L"size 640x480 here"));
    EXPECT_STREQ(L"640x480", re.GetMatch(0));
    EXPECT_STREQ(L"640", re.GetMatch(1));
    EXPECT_STREQ(L"480", re.GetMatch(2));
    EXPECT_STREQ(L"", re.GetMatch(3)); // did not take part
    EXPECT_STREQ(L"", re.GetMatch(4));
    EXPECT_STREQ(L"", re.GetMatch(-1));
    EXPECT_STREQ(L"{Match:[\"640x480\", \"640\", \"480\", \"\"]}", re.ToString());
    EXPECT_EQ(0, re.Match(L"nothing"));
    EXPECT_EQ(0, re.GetMatchCount());
    EXPECT_STREQ(L"", re.GetMatch(0));
}

TEST(VyxRegExp, JapaneseTextMatchesByCharacters)
{
    VyxRegExp re;
    EXPECT_EQ(2, re.Execute(L"写真(.)の", L"旅行写真Ａの記録"));
    EXPECT_STREQ(L"写真Ａの", re.GetMatch(0));
    EXPECT_STREQ(L"Ａ", re.GetMatch(1));
    EXPECT_EQ(1, re.Execute(L"[ぁ-ん]+", L"カタカナとひらがな"));
    EXPECT_STREQ(L"とひらがな", re.GetMatch(0));
    EXPECT_EQ(2, re.Execute(L"^(.{3})", L"日本語です"));
    EXPECT_STREQ(L"日本語", re.GetMatch(1));
}

TEST(VyxRegExp, OptionsAreHandedToTheEngine)
{
    VyxRegExp re(L"ABC", VyxRegExp::IgnoreCase);
    EXPECT_EQ(1, re.Match(L"xabcx"));
    re.SetPattern(L"ABC", 0);
    EXPECT_EQ(0, re.Match(L"xabcx"));
    re.SetPattern(L"a b # comment", VyxRegExp::Extended);
    EXPECT_EQ(1, re.Match(L"ab"));
    re.SetPattern(L"a.b", VyxRegExp::DotAll);
    EXPECT_EQ(1, re.Match(L"a\nb"));
    re.SetPattern(L"a.b", 0);
    EXPECT_EQ(0, re.Match(L"a\nb"));
}

TEST(VyxRegExp, FailedCompileReturnsZeroAndTheNextMatchWorks)
{
    VyxRegExp re;
    EXPECT_EQ(0, re.Execute(L"(unclosed", L"unclosed"));
    EXPECT_STRNE("", re.GetErrorMessage());
    EXPECT_EQ(2, re.Execute(L"(closed)", L"closed"));
    EXPECT_STREQ(L"closed", re.GetMatch(1));
    EXPECT_STRNE("", re.GetErrorMessage()); // kept until the next failing compile
}

TEST(VyxRegExp, LongErrorTextStaysInsideItsField)
{
    // The engine may write up to ONIG_MAX_ERROR_MESSAGE_LEN bytes, pattern fragments included.
    EXPECT_GE(sizeof(VyxRegExp::ErrorMessageField), static_cast<size_t>(ONIG_MAX_ERROR_MESSAGE_LEN));
    VyxRegExp re;
    std::wstring pattern = L"\\p{" + std::wstring(200, L'n') + L"}";
    EXPECT_EQ(0, re.Execute(pattern.c_str(), L"x"));
    size_t length = strlen(re.GetErrorMessage());
    EXPECT_GT(length, 60u); // the text carries a piece of the pattern
    EXPECT_LT(length, sizeof(VyxRegExp::ErrorMessageField));
    EXPECT_EQ(1, re.Execute(L"x", L"x"));
}

TEST(VyxRegExp, EmptyPatternMatchesEmptyAtTheStart)
{
    VyxRegExp re;
    EXPECT_EQ(1, re.Execute(L"", L"abc"));
    EXPECT_STREQ(L"", re.GetMatch(0));
}

TEST(VyxRegExp, NestedObjectsDoNotEndTheEngineUnderEachOther)
{
    VyxRegExp outer(L"(\\d+),(\\d+)", 0);
    EXPECT_EQ(3, outer.Match(L"12,34"));
    for (int i = 0; i < 3; ++i) {
        VyxRegExp inner;
        EXPECT_GT(inner.IsNumber(outer.GetMatch(1)), 0);
    }
    EXPECT_EQ(3, outer.Match(L"56,78"));
    EXPECT_STREQ(L"78", outer.GetMatch(2));
}

} // namespace
