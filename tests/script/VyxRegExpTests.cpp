#include "script/VyxRegExp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

std::wstring Nested(const wchar_t* open, const wchar_t* inner, const wchar_t* close, int depth)
{
    std::wstring pattern;
    for (int i = 0; i < depth; ++i)
        pattern += open;
    pattern += inner;
    for (int i = 0; i < depth; ++i)
        pattern += close;
    return pattern;
}

struct Work
{
    std::function<void()> body;
    bool finished = false;
};

DWORD WINAPI RunWork(void* parameter)
{
    auto* work = static_cast<Work*>(parameter);
    work->body();
    work->finished = true;
    return 0;
}

// Runs work on a thread of its own with a stack of that size, as a worker thread would compile;
// fails when the thread died midway (a stack overflow ends it).
void OnThreadWithStack(SIZE_T stackBytes, std::function<void()> body)
{
    Work work{std::move(body)};
    HANDLE thread = CreateThread(nullptr, stackBytes, RunWork, &work, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(work.finished) << "the thread ended midway";
}

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

TEST(VyxRegExp, APatternNestedDeeperThanTheStackHoldsIsRefusedLikeAnyInvalidPattern)
{
    // 4,000 nested classes: a group file's line, or a pattern typed in the dialog.
    VyxRegExp re;
    EXPECT_EQ(0, re.Execute(Nested(L"[", L"a", L"]", 4000).c_str(), L"a"));
    EXPECT_EQ(0, re.GetMatchCount());
    EXPECT_STRNE("", re.GetErrorMessage());
    EXPECT_EQ(1, re.Execute(L"a", L"a"));
}

TEST(VyxRegExp, EveryNestingOnASmallStackCompilesOrIsRefusedNeverOverflowingIt)
{
    // The kinds of nesting that take the most stack a level, each deeper and deeper on a thread
    // with a quarter of the main thread's stack.
    static const struct
    {
        const wchar_t* open;
        const wchar_t* inner;
        const wchar_t* close;
    } kinds[] = {{L"[", L"a", L"]"},        {L"(", L"a", L")"},          {L"(a|", L"a", L")"},
                 {L"(a", L"a", L"|b)*"},    {L"((", L"a", L")*)"},       {L"(a|b", L"a", L")\\1"},
                 {L"[a-z&&[", L"a", L"]]"}, {L"(?<=(?:a|", L"a", L"))"}, {L"(?:(?=", L"a", L"))"},
                 {L"", L"a", L"{2,3}"},     {L"(?>", L"a", L")"},        {L"(?i:(", L"A", L"))"}};
    OnThreadWithStack(512 * 1024, [] {
        for (const auto& kind : kinds) {
            // A fresh object's message stays empty while its pattern compiles.
            bool refused = false;
            for (int depth = 1; depth <= 4000; depth += 1 + depth / 4) {
                VyxRegExp re;
                re.Execute(Nested(kind.open, kind.inner, kind.close, depth).c_str(), L"aaaa");
                if (*re.GetErrorMessage())
                    refused = true;
                else
                    EXPECT_FALSE(refused) << "compiled after a shallower one was refused: " << depth;
            }
            EXPECT_TRUE(refused) << "never refused";
            // Still deep enough for any pattern a person writes.
            VyxRegExp re;
            re.Execute(Nested(kind.open, kind.inner, kind.close, 20).c_str(), L"aaaa");
            EXPECT_STREQ("", re.GetErrorMessage());
        }
    });
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
