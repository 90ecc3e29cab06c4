#include "script/VyxVariableTable.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VyxVariableTable, LetStoresQuotedTextsAndEvaluatedNumbers)
{
    struct Row
    {
        const wchar_t* line;
        const wchar_t* name;
        VyxVariant::Type type;
        const wchar_t* text;
    } rows[] = {
        {L"#N=3", L"#N", VyxVariant::Double, L"3"},
        {L"&N=7/2", L"&N", VyxVariant::Int, L"3"},
        {L"&M=-7/2.0", L"&M", VyxVariant::Int, L"-3"},
        {L"#S='a b'", L"#S", VyxVariant::String, L"a b"},
        {L"#Q = \"say \\\"x\\\"\"", L"#Q", VyxVariant::String, L"say \"x\""},
        {L"#S = 1 + 2", L"#S", VyxVariant::Double, L"1"},
        {L"#X=varTableW*2", L"#X", VyxVariant::Double, L"6"},
        {L"#E=", L"#E", VyxVariant::Double, L"0"},
        {L"\t#T\t=\t(1+2)*4", L"#T", VyxVariant::Double, L"12"},
    };
    VyxVariableTable table;
    theSharedVariables.SetAt(L"varTableW", VyxVariant(3)); // the calculator sees shared variables
    for (const Row& row : rows) {
        std::wstring line = row.line;
        std::string what(line.begin(), line.end());
        EXPECT_EQ(0, table.Let(row.line)) << what;
        const VyxVariant* stored = table.GetVariables().Lookup(row.name);
        ASSERT_NE(nullptr, stored) << what;
        EXPECT_EQ(row.type, stored->GetType()) << what;
        EXPECT_STREQ(row.text, stored->GetString()) << what;
    }
}

TEST(VyxVariableTable, LetWithoutEqualsOrWithABadExpressionStoresNothing)
{
    VyxVariableTable table;
    EXPECT_EQ(1, table.Let(L"#N 3"));
    EXPECT_EQ(1, table.Let(L""));
    EXPECT_EQ(0, table.GetVariables().GetCount());
    EXPECT_THROW(table.Let(L"#N=1/0"), VyxGlobalErrorException*);
    EXPECT_THROW(table.Let(L"#N=)"), VyxGlobalErrorException*);
    EXPECT_EQ(0, table.GetVariables().GetCount());
}

TEST(VyxVariableTable, LongNamesAndValuesAreCut)
{
    VyxVariableTable table;
    std::wstring name = L"#" + std::wstring(300, L'a');
    std::wstring value(300, L'b');
    EXPECT_EQ(0, table.Let((name + L"='" + value + L"'").c_str()));
    ASSERT_EQ(1, table.GetVariables().GetCount());
    CString key;
    const VyxVariant* stored = table.GetVariables().GetAtIndex(0, key);
    EXPECT_EQ(199, key.GetLength());
    EXPECT_EQ(199u, wcslen(stored->GetString()));
}

TEST(VyxVariableTable, SettersTextsAndEvaluation)
{
    VyxVariableTable table;
    EXPECT_EQ(0, table.SetAt(L"#THUMBS_WIDTH", 120));
    EXPECT_EQ(0, table.SetAt(L"#TABLE_OPTION", L"border=1"));
    EXPECT_EQ(0, table.SetAt(L"#VERSION", 1.5));
    EXPECT_EQ(0, table.SetAt(L"#THUMBS_WIDTH", 160));
    EXPECT_EQ(3, table.GetVariables().GetCount());
    EXPECT_STREQ(L"160", table.GetText(L"#THUMBS_WIDTH"));
    EXPECT_STREQ(L"border=1", table.GetText(L"#TABLE_OPTION"));
    EXPECT_EQ(VyxVariant::Double, table.GetVariables().Lookup(L"#VERSION")->GetType());
    EXPECT_EQ(nullptr, table.GetText(L"#MISSING"));
    EXPECT_STREQ(L"a b", table.CopyText(L"a b"));
    EXPECT_DOUBLE_EQ(3.5, table.Evaluate(L"7 / 2.0"));

    // Tokens are cut at ( + - * / ) and blanks; only exact names are replaced.
    EXPECT_STREQ(L"(160+1)*2 - #THUMBS_WIDTHX / 1.5",
                 table.ReplaceNames(L"(#THUMBS_WIDTH+1)*2 - #THUMBS_WIDTHX / #VERSION"));
    EXPECT_STREQ(L"", table.ReplaceNames(L""));
}

TEST(VyxVariableTable, LinesSkipBlanksAndComments)
{
    VyxVariableTable table;
    table.AddLine(L"");
    table.AddLine(L"first");
    EXPECT_EQ(1, table.GetLineCount());
    EXPECT_STREQ(L"first", table.GetLine(0));
    EXPECT_STREQ(L"", table.GetLine(1));
    EXPECT_STREQ(L"", table.GetLine(-1));

    ScratchFolder folder(L"vyxvartable");
    std::wstring path = folder / L"defs.txt";
    ASSERT_TRUE(
        ScratchFolder::WriteFile(path, "one\r\n \t \r\n; comment\r\n  // comment\r\n  two \r\n/ three\r\nlast"));
    EXPECT_EQ(0, table.LoadFile(path.c_str()));
    ASSERT_EQ(5, table.GetLineCount());
    EXPECT_STREQ(L"one", table.GetLine(1));
    EXPECT_STREQ(L"  two ", table.GetLine(2));
    EXPECT_STREQ(L"/ three", table.GetLine(3));
    EXPECT_STREQ(L"last", table.GetLine(4));
    EXPECT_EQ(0, table.LoadFile((folder / L"missing.txt").c_str()));
    EXPECT_EQ(5, table.GetLineCount());
}

} // namespace
