#include "foundation/VyxString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VyxString, FormatUsesTheSharedFormattingCore)
{
    VyxString s;
    s.Format(L"%s-%04d", L"wide", 42); // the wide %s
    EXPECT_TRUE(s == L"wide-0042");
    EXPECT_STREQ(L"1e+20", FormatStaticString(L"%g", 1e20));
}

TEST(VyxString, ComparesByUnsignedCodeUnitsWithPrefixFirst)
{
    struct Row
    {
        const wchar_t* a;
        const wchar_t* b;
        int order;
    } rows[] = {
        {L"ab", L"abc", -1}, {L"b", L"ab", 1},     {L"same", L"same", 0},
        {L"B", L"a", -1},    {L"\uFF21", L"z", 1}, {L"", nullptr, 0},
    };
    for (const Row& row : rows) {
        VyxString a(row.a);
        EXPECT_EQ(row.order, a.Compare(row.b)) << a.GetText();
        EXPECT_EQ(row.order < 0, a < row.b);
        EXPECT_EQ(row.order <= 0, a <= row.b);
        EXPECT_EQ(row.order > 0, a > row.b);
        EXPECT_EQ(row.order >= 0, a >= row.b);
        EXPECT_EQ(row.order == 0, a == row.b);
        EXPECT_EQ(row.order != 0, a != row.b);
    }
}

TEST(VyxString, NullTextGivesStringWithoutBlockThatReadsEmpty)
{
    VyxString s(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(nullptr, s.GetData());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(s == L"");
    EXPECT_STREQ(L"", s.GetText());
    s = static_cast<const wchar_t*>(nullptr); // a no-op
    EXPECT_EQ(nullptr, s.GetData());
    s += L"";
    s += static_cast<const wchar_t*>(nullptr); // appending nothing changes nothing
    EXPECT_EQ(nullptr, s.GetData());
    s += L"x";
    EXPECT_TRUE(s == L"x");
}

TEST(VyxString, TrimsBlanksAndTabs)
{
    VyxString s(L"a \t ");
    s.TrimRight();
    EXPECT_TRUE(s == L"a");
    VyxString t(L" \t left and right \t");
    t.TrimLeft(); // copies from inside its own block
    EXPECT_TRUE(t == L"left and right \t");
    t.TrimRight(L"  other  ");
    EXPECT_TRUE(t == L"  other");
}

TEST(VyxString, AnsiAssignmentConvertsDoubleByteText)
{
    const char sjis[] = "\x93\xfa\x96\x7b\x8c\xea.txt"; // 日本語.txt in code page 932
    VyxString s(sjis);
    EXPECT_TRUE(s == L"日本語.txt");
    EXPECT_EQ(7, s.GetLength());
    s = "";
    EXPECT_TRUE(s.IsEmpty());
}

TEST(VyxString, FindsCharactersAndTexts)
{
    VyxString s(L"abcabc");
    EXPECT_EQ(3, s.Find(L"abc", 1));
    EXPECT_EQ(-1, s.Find(L"abd"));
    EXPECT_EQ(2, s.FindChar(L'c'));
    EXPECT_EQ(5, s.FindChar(L'c', 3));
    EXPECT_EQ(5, s.ReverseFind(L'c'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
    EXPECT_EQ(0, s.CompareNoCase(L"ABCABC"));
}

TEST(VyxString, PositionsPastTheEndAreClampedNotRead)
{
    VyxString s(L"abc");
    EXPECT_TRUE(s.Left(10) == L"abc");
    EXPECT_TRUE(s.Left(-1) == L"");
    EXPECT_TRUE(s.Mid(1) == L"bc");
    EXPECT_TRUE(s.Mid(1, 1) == L"b");
    EXPECT_TRUE(s.Mid(5) == L"");
    EXPECT_TRUE(s.Mid(-3, 2) == L"ab");
    EXPECT_EQ(-1, s.Find(L"a", 10));
    EXPECT_EQ(0, s.Find(L"a", -4));
    s.SetAt(99, L'x'); // outside the block: nothing
    EXPECT_TRUE(s == L"abc");
}

TEST(VyxString, ReplaceEndsWhenReplacementContainsFindAndAnEmptyFindChangesNothing)
{
    VyxString s(L"a.b.c");
    s.Replace(L"", L"x");
    s.Replace(nullptr, L"x");
    EXPECT_TRUE(s == L"a.b.c");
    s.Replace(L".", L"..");
    EXPECT_TRUE(s == L"a..b..c");
    s.Replace(L"b", L"");
    EXPECT_TRUE(s == L"a....c");
    s.ReplaceChar(L'.', L'-');
    EXPECT_TRUE(s == L"a----c");
}

TEST(VyxString, OperatorPlusLeavesOperandsAlone)
{
    VyxString s(L"ab");
    VyxString t = s + L"cd";
    VyxString u = s + L'!';
    EXPECT_TRUE(s == L"ab");
    EXPECT_TRUE(t == L"abcd");
    EXPECT_TRUE(u == L"ab!");
    s += static_cast<const wchar_t*>(s); // appending itself
    EXPECT_TRUE(s == L"abab");
    VyxString upper = s.MakeUpper(false);
    EXPECT_TRUE(upper == L"ABAB");
    EXPECT_TRUE(s == L"abab");
}

TEST(VyxString, CheckedAccessOutsideTheBlockRaisesIllegalIndex)
{
    VyxString s(L"ab"); // capacity 3
    try {
        s.GetAt(3);
        FAIL() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-1, e->GetCode());
        EXPECT_STREQ(L"illegal index: 0<=3<3", e->GetErrorMessage());
        EXPECT_STREQ(L"VyxMemory(64) VyxMemoryT<wchar_t>::GetAt()", e->GetLocation());
        delete e;
    }
}

TEST(VyxMemory, AllocZeroFillsAndReAllocKeepsContents)
{
    VyxMemoryT<unsigned char> bytes(4);
    memcpy(bytes.GetData(), "abcd", 4);
    bytes.ReAlloc(8);
    EXPECT_EQ(0, memcmp(bytes.GetData(), "abcd\0\0\0\0", 8));
    bytes.Alloc(6);
    EXPECT_EQ(0, memcmp(bytes.GetData(), "\0\0\0\0\0\0\0\0", 8));
}

TEST(VyxMemory, CopyAtGrowsByteBlocksToHoldEveryByte)
{
    VyxMemoryT<unsigned char> bytes(2);
    const char data[] = "0123456789";
    bytes.CopyAt(data, 10, 6);
    ASSERT_GE(bytes.GetCapacity(), 16);
    EXPECT_EQ(0, memcmp(bytes.GetData() + 6, data, 10));

    VyxMemoryT<wchar_t> wide;
    wide.CopyAt(L"xyz", 6, 2);        // three characters after one
    ASSERT_GE(wide.GetCapacity(), 5); // four characters and a terminator
    EXPECT_EQ(0, wmemcmp(wide.GetData() + 1, L"xyz", 3));
    EXPECT_EQ(0, wide.GetData()[4]);
}

} // namespace
