#include "foundation/MacroText.h"

#include <gtest/gtest.h>

namespace {

TEST(MacroText, OnlyTheTemplateIsSearchedAndValuesKeepTheirKind)
{
    MacroText text(L"<$A$|$A$>");
    EXPECT_FALSE(text.Replace(L"$A$", L"$B$", MacroText::KindLink, 100));
    EXPECT_FALSE(text.TemplateContains(L"$B$"));
    EXPECT_FALSE(text.Replace(L"$B$", L"never", MacroText::KindText, 100));
    EXPECT_EQ(CString(L"<$B$|$B$>"), text.ToString());
    ASSERT_EQ(5u, text.GetPieces().size());
    EXPECT_EQ(MacroText::KindTemplate, text.GetPieces()[0].kind);
    EXPECT_EQ(MacroText::KindLink, text.GetPieces()[1].kind);
    EXPECT_EQ(MacroText::KindLink, text.GetPieces()[3].kind);
    EXPECT_EQ(9u, text.GetLength());

    // An empty value keeps the template on either side apart.
    MacroText split(L"$(($X))");
    split.Replace(L"$X", L"", MacroText::KindText, 100);
    EXPECT_FALSE(split.TemplateContains(L"(())"));
    // Template written in two steps is one text.
    MacroText joined;
    joined.AppendTemplate(L"$(Na");
    joined.AppendTemplate(L"me)", 3);
    EXPECT_TRUE(joined.TemplateContains(L"$(Name)"));
}

TEST(MacroText, AnOccurrencePastTheLimitStaysWithTheOnesAfterIt)
{
    MacroText text(L"$N $N $N");
    EXPECT_TRUE(text.Replace(L"$N", L"12345", MacroText::KindText, 16));
    EXPECT_EQ(CString(L"12345 12345 $N"), text.ToString());
    EXPECT_EQ(14u, text.GetLength());
}

} // namespace
