// CString / CStringA: the documented edge cases the callers lean on.
#include "common/FrameworkTestUtil.h"

#include "res/resource.h"

namespace {

TEST(CString, EmptyStringsBehave)
{
    CString s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_STREQ(L"", s.GetString());
    EXPECT_EQ(L"", s.Mid(0));
    EXPECT_EQ(-1, s.Find(L'a'));
    EXPECT_EQ(0, s.Find(L""));
    EXPECT_EQ(-1, s.ReverseFind(L'a'));
    EXPECT_EQ(0, s.Replace(L"a", L"b"));
    EXPECT_EQ(L"", s.Trim());
    CString fromNull(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_TRUE(s == L"");
    EXPECT_TRUE(s == static_cast<const wchar_t*>(nullptr));
}

TEST(CString, NarrowTextConvertsThroughTheAnsiCodePage)
{
    CString wide = "\x93\xfa\x96\x7b"; // 日本 in Shift_JIS
    EXPECT_EQ(L"日本", wide);
    CStringA narrow = L"日本";
    EXPECT_STREQ("\x93\xfa\x96\x7b", narrow);
    CString back = narrow;
    EXPECT_EQ(L"日本", back);
    wide += "abc";
    EXPECT_EQ(L"日本abc", wide);
}

TEST(CString, MidLeftRightClampToTheString)
{
    CString s = L"abcdef";
    struct Case
    {
        int first, count;
        const wchar_t* expected;
    };
    const Case cases[] = {{0, 3, L"abc"},        {2, 2, L"cd"},  {4, 10, L"ef"}, {6, 1, L""},
                          {10, 2, L""},          {-3, 2, L"ab"}, {2, -1, L""},   {0, 0x7FFFFFFF, L"abcdef"},
                          {5, 0x7FFFFFFF, L"f"}, {3, 0, L""}};
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, s.Mid(c.first, c.count)) << c.first << "," << c.count;
    EXPECT_EQ(L"def", s.Mid(3));
    EXPECT_EQ(L"", s.Mid(7));
    EXPECT_EQ(L"ab", s.Left(2));
    EXPECT_EQ(L"abcdef", s.Left(99));
    EXPECT_EQ(L"", s.Left(-1));
    EXPECT_EQ(L"ef", s.Right(2));
    EXPECT_EQ(L"abcdef", s.Right(99));
    EXPECT_EQ(L"", s.Right(-2));
}

TEST(CString, FindFromAStartAndPastTheEnd)
{
    CString s = L"a.b.c";
    EXPECT_EQ(1, s.Find(L'.'));
    EXPECT_EQ(3, s.Find(L'.', 2));
    EXPECT_EQ(-1, s.Find(L'.', 4));
    EXPECT_EQ(-1, s.Find(L'.', 5));
    EXPECT_EQ(-1, s.Find(L'.', 99));
    EXPECT_EQ(1, s.Find(L'.', -4));
    EXPECT_EQ(2, s.Find(L"b.c"));
    EXPECT_EQ(-1, s.Find(L"b.c", 3));
    EXPECT_EQ(5, s.Find(L"", 5));
    EXPECT_EQ(-1, s.Find(L"", 6));
    EXPECT_EQ(3, s.ReverseFind(L'.'));
    EXPECT_EQ(1, s.FindOneOf(L"xy."));
    EXPECT_EQ(-1, s.FindOneOf(L"xyz"));
}

TEST(CString, NarrowSearchesStepOverDoubleByteCharacters)
{
    // 表 is 0x95 0x5C in Shift_JIS: its trail byte is a backslash.
    CStringA path = "C:\\\x95\x5c\\x";
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(5, path.Find('\\', 3));
    EXPECT_EQ(5, path.ReverseFind('\\'));
    CStringA copy = path;
    EXPECT_EQ(2, copy.Replace('\\', '/'));
    EXPECT_STREQ("C:/\x95\x5c/x", copy);
    CStringA trailing = "\x95\x5c";
    EXPECT_STREQ("\x95\x5c", trailing.TrimRight('\\'));
}

TEST(CString, GetBufferGrowsAndReleaseBufferMeasures)
{
    CString s = L"abc";
    wchar_t* buffer = s.GetBuffer(100);
    EXPECT_GE(s.GetAllocLength(), 100);
    EXPECT_STREQ(L"abc", buffer); // contents kept
    wcscpy(buffer, L"a longer text written by Windows");
    s.ReleaseBuffer();
    EXPECT_EQ(L"a longer text written by Windows", s);
    buffer = s.GetBuffer(0);
    buffer[1] = L'\0';
    s.ReleaseBuffer(-1);
    EXPECT_EQ(L"a", s);
    s.GetBuffer(10);
    s.ReleaseBuffer(0);
    EXPECT_TRUE(s.IsEmpty());
    // A buffer filled to the brim without a terminator is measured only up to its size.
    CString full;
    wchar_t* p = full.GetBuffer(4);
    int capacity = full.GetAllocLength();
    for (int i = 0; i <= capacity; ++i)
        p[i] = L'x';
    full.ReleaseBuffer();
    EXPECT_EQ(capacity, full.GetLength());
    CString sized;
    wcscpy(sized.GetBufferSetLength(3), L"xyz");
    sized.ReleaseBuffer(2);
    EXPECT_EQ(L"xy", sized);
}

TEST(CString, ReplaceRemoveInsertDelete)
{
    CString s = L"one two one";
    EXPECT_EQ(2, s.Replace(L"one", L"three"));
    EXPECT_EQ(L"three two three", s);
    EXPECT_EQ(2, s.Replace(L"three", L""));
    EXPECT_EQ(L" two ", s);
    EXPECT_EQ(0, s.Replace(L"", L"x"));
    EXPECT_EQ(2, s.Replace(L' ', L'_'));
    EXPECT_EQ(L"_two_", s);
    EXPECT_EQ(2, s.Remove(L'_'));
    EXPECT_EQ(L"two", s);
    EXPECT_EQ(5, s.Insert(0, L"<<"));
    EXPECT_EQ(6, s.Insert(99, L'>'));
    EXPECT_EQ(L"<<two>", s);
    EXPECT_EQ(4, s.Delete(0, 2));
    EXPECT_EQ(3, s.Delete(3, 99));
    EXPECT_EQ(3, s.Delete(10));
    EXPECT_EQ(L"two", s);
    // The replacement may be taken from the string itself.
    CString self = L"ab";
    self.Replace(L"a", self);
    EXPECT_EQ(L"abb", self);
    self.Insert(1, self.GetString());
    EXPECT_EQ(L"aabbbb", self);
}

TEST(CString, CaseAndTrimming)
{
    CString s = L"  MiXed ｃａｓｅ\t\r\n";
    s.Trim();
    EXPECT_EQ(L"MiXed ｃａｓｅ", s);
    EXPECT_EQ(L"MIXED ＣＡＳＥ", CString(s).MakeUpper());
    EXPECT_EQ(L"mixed ｃａｓｅ", CString(s).MakeLower());
    CString dots = L"..x..";
    EXPECT_EQ(L"x..", CString(dots).TrimLeft(L'.'));
    EXPECT_EQ(L"..x", CString(dots).TrimRight(L"."));
    EXPECT_EQ(L"x", dots.Trim(L"."));
    EXPECT_EQ(L"cba", CString(L"abc").MakeReverse());
}

TEST(CString, ComparisonsAndConcatenation)
{
    CString a = L"apple", b = L"Banana";
    EXPECT_LT(0, a.Compare(b));
    EXPECT_GT(0, a.CompareNoCase(b));
    EXPECT_EQ(0, a.CompareNoCase(L"APPLE"));
    EXPECT_TRUE(a == L"apple");
    EXPECT_TRUE(L"apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(CString(L"x") == L'x');
    EXPECT_EQ(L"apple-Banana!", a + L'-' + b + L"!");
    EXPECT_EQ(L">apple", L">" + a);
    CString self = L"ab";
    self += self;
    EXPECT_EQ(L"abab", self);
    self = self.GetString() + 2; // assignment from inside the string's own buffer
    EXPECT_EQ(L"ab", self);
}

TEST(CString, IndexingAndSetAt)
{
    CString s = L"abc";
    EXPECT_EQ(L'b', s[1]);
    EXPECT_EQ(L'c', s[static_cast<size_t>(2)]);
    EXPECT_EQ(L'\0', s.GetAt(3));
    s.SetAt(0, L'x');
    EXPECT_EQ(L"xbc", s);
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { s.SetAt(3, L'y'); }));
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { s.GetAt(-1); }));
}

TEST(CString, TokenizeSpanAndExtractSubString)
{
    CString s = L"%a,,b%";
    int pos = 0;
    EXPECT_EQ(L"a", s.Tokenize(L"%,", pos));
    EXPECT_EQ(L"b", s.Tokenize(L"%,", pos));
    EXPECT_EQ(L"", s.Tokenize(L"%,", pos));
    EXPECT_EQ(-1, pos);
    EXPECT_EQ(L"123", CString(L"123abc").SpanIncluding(L"0123456789"));
    EXPECT_EQ(L"abc", CString(L"abc;def").SpanExcluding(L";"));

    const struct
    {
        int index;
        BOOL found;
        const wchar_t* text;
    } cases[] = {{0, TRUE, L"one"}, {1, TRUE, L""}, {2, TRUE, L"three"}, {3, FALSE, L""}, {-1, FALSE, L""}};
    for (const auto& c : cases) {
        CString field = L"stale";
        EXPECT_EQ(c.found, AfxExtractSubString(field, L"one||three", c.index, L'|')) << c.index;
        EXPECT_EQ(c.text, field) << c.index;
    }
    CString line;
    EXPECT_TRUE(AfxExtractSubString(line, L"first\nsecond", 1));
    EXPECT_EQ(L"second", line);
}

TEST(CString, LoadStringReadsTheLinkedStringTable)
{
    CString s;
    ASSERT_TRUE(s.LoadString(IDS_PROGRESS_TITLE));
    EXPECT_EQ(L"...", s);
    CStringA narrow;
    ASSERT_TRUE(narrow.LoadString(IDS_COLOR_REDUCTION));
    EXPECT_EQ(CStringA(L"減色処理"), narrow);
    CString missing = L"kept";
    EXPECT_FALSE(missing.LoadString(64999));
    EXPECT_EQ(L"kept", missing);
    CString byId(MAKEINTRESOURCEW(IDS_PROGRESS_TITLE));
    EXPECT_EQ(L"...", byId);
    CString formatted;
    formatted.Format(IDS_PROGRESS_TITLE);
    EXPECT_EQ(L"...", formatted);
}

TEST(CString, CopiesAreIndependentAndMovesEmptyTheSource)
{
    CString a = L"text";
    CString b = a;
    b.SetAt(0, L'n');
    EXPECT_EQ(L"text", a);
    CString c = std::move(a);
    EXPECT_EQ(L"text", c);
    EXPECT_TRUE(a.IsEmpty()); // NOLINT(bugprone-use-after-move): moved-from strings are empty
    CString repeated(L'-', 3);
    EXPECT_EQ(L"---", repeated);
}

} // namespace
