#include "foundation/TokenReader.h"

#include <gtest/gtest.h>

TEST(TokenReader, ReadsPlainAndQuotedTokens)
{
    struct
    {
        const wchar_t* source;
        int size;
        const wchar_t* token;
        int next; // offset of the returned position
    } const cases[] = {
        {L"  \"a b\\tc\"  rest", 64, L"a b\tc", 12},
        {L"abc def", 64, L"abc", 4},
        {L"'word", 64, L"word", 5},
        {L"abcdef", 3, L"ab", 6},
        {L"abcdef", 1, L"", 6},
        {L"\"x\\ny\"", 64, L"x\r\ny", 6},
        {L"\"x\\ny\"", 3, L"x\r", 6},
        {L"\"q\\\"r\\\\s\"", 64, L"q\"r\\s", 9},
        {L"\"end\\", 64, L"end", 5},
        {L"a\r\nb\tc", 64, L"ab", 5},
        {L"\"l1\r\nl2\" z", 64, L"l1l2", 9},
        {L"", 64, L"", 0},
        {L"   ", 64, L"", 3},
    };
    for (const auto& c : cases) {
        wchar_t buffer[64] = L"#####";
        const wchar_t* next = GetNextToken(buffer, c.source, c.size);
        EXPECT_STREQ(c.token, buffer) << c.source;
        EXPECT_EQ(c.next, next - c.source) << c.source;
    }
}

TEST(TokenReader, CopyUntilDelimiterCutsAtTheFirstDelimiter)
{
    wchar_t buffer[64];
    const wchar_t* source = L"name=value";
    EXPECT_EQ(source + 4, CopyUntilDelimiter(source, buffer, 64, L"="));
    EXPECT_STREQ(L"name", buffer);
    source = L"name = value";
    EXPECT_EQ(source + 5, CopyUntilDelimiter(source, buffer, 64, L"="));
    EXPECT_STREQ(L"name", buffer);
    EXPECT_EQ(source + 5, CopyUntilDelimiter(source, buffer, 64, nullptr));
    source = L"\"a\\tb\" c";
    EXPECT_EQ(source + 7, CopyUntilDelimiter(source, buffer, 64, L"\t"));
    EXPECT_STREQ(L"a", buffer);
}
