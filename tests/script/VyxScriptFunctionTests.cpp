#include "script/VyxScriptFunction.h"

#include "ScriptTestKit.h"
#include "foundation/TestSettings.h"
#include "foundation/VyxText.h"
#include "common/AllocationLimit.h"

#include <gtest/gtest.h>

namespace {

using scripttest::LoadScript;
using scripttest::ScriptOnCanvas;
using scripttest::SolidDib;

class ScriptLanguage : public ScriptOnCanvas
{
};

TEST_F(ScriptLanguage, CommentsSemicolonsAndContinuationLines)
{
    ASSERT_EQ(1, Run(L"x = 1 ; note\n"
                     L"   // a comment line\n"
                     L"; another\n"
                     L"s = \"a;b\" ; the quoted one does not cut\n"
                     L"z = 1 + \\\n"
                     L"2\n"
                     L"w = \"x\\\n"
                     L"y\"\n"));
    EXPECT_EQ(1, Local(L"x").GetInt());
    EXPECT_STREQ(L"a;b", Local(L"s").GetString());
    EXPECT_EQ(3, Local(L"z").GetInt());
    EXPECT_STREQ(L"xy", Local(L"w").GetString()); // joined without a blank
}

TEST_F(ScriptLanguage, ABackslashOnTheLastLineStillMakesItsStatement)
{
    ASSERT_EQ(1, Run(L"x = 1\ny = 2 \\"));
    EXPECT_EQ(2, Local(L"y").GetInt());
}

TEST_F(ScriptLanguage, DoubleSlashAfterOtherTextStaysInTheStatement)
{
    ASSERT_EQ(1, LoadScript(script, folder, L"x = 1 // more\n  // a comment\n"));
    ASSERT_EQ(1, script.GetMainFunction().GetStatements().GetCount());
    EXPECT_STREQ(L"x = 1 // more", script.GetMainFunction().GetStatements().GetData()[0]->GetParameter(0));
}

TEST_F(ScriptLanguage, EveryLineCountsTowardTheLineNumberOfParseErrors)
{
    ScratchSettings settings;
    CapturedLog log;
    EXPECT_EQ(-3, LoadScript(script, folder, L"; comment\n\nx = 1 + \\\n 2\nBOX COLOR_RED\n"));
    ASSERT_FALSE(log.records.empty());
    EXPECT_STREQ(L"errcode -3: not found (x,y) #0005:COLOR_RED", log.records.back().message);
}

TEST_F(ScriptLanguage, AWordThatIsACommandKeywordAlwaysStartsThatCommand)
{
    EXPECT_EQ(-3, LoadScript(script, folder, L"line = 1\n"));
    EXPECT_EQ(-3, LoadScript(script, folder, L"Box = 1\n"));
    EXPECT_EQ(1, LoadScript(script, folder, L"lines = 1\n"));
}

TEST_F(ScriptLanguage, ElseIfRunsOnlyTheFirstBranchWhoseConditionHolds)
{
    struct Row
    {
        int a, r;
    } rows[] = {{9, 1}, {3, 2}, {0, 3}};
    for (const Row& row : rows) {
        ASSERT_EQ(1, Run(L"a = " + std::to_wstring(row.a) +
                         L"\nIF a > 5\n r = 1\nELSE IF a > 2\n r = 2\nELSE\n r = 3\nENDIF\n"));
        EXPECT_EQ(row.r, Local(L"r").GetInt()) << row.a;
    }
    // A taken branch passes over every later ELSE, however true its condition.
    ASSERT_EQ(1, Run(L"a = 1\nr = 0\nIF a\n r = r + 1\nELSE IF a + 1\n r = r + 10\nELSE\n r = r + 100\nENDIF\n"));
    EXPECT_EQ(1, Local(L"r").GetInt());
}

TEST_F(ScriptLanguage, PassedOverNestedBlocksArePassedOverWhole)
{
    // A false IF whose body holds an IF with its own ELSE and ENDIF, and a loop that never runs
    // whose body holds a loop: nothing inside runs, the outer ELSE does.
    ASSERT_EQ(1, Run(L"a = 0\nb = 0\nc = 0\nd = 0\n"
                     L"IF 0\n"
                     L" IF 1\n  a = 1\n ELSE\n  a = 2\n ENDIF\n"
                     L" b = 1\n"
                     L"ELSE\n"
                     L" c = 1\n"
                     L"ENDIF\n"
                     L"WHILE 0\n WHILE 1\n  d = d + 1\n WEND\n d = 5\nWEND\n"));
    EXPECT_EQ(0, Local(L"a").GetInt());
    EXPECT_EQ(0, Local(L"b").GetInt());
    EXPECT_EQ(1, Local(L"c").GetInt());
    EXPECT_EQ(0, Local(L"d").GetInt());
}

TEST_F(ScriptLanguage, TakenNestedBlocksEndAtTheirOwnEnds)
{
    ASSERT_EQ(1, Run(L"n = 0\ni = 0\n"
                     L"WHILE i < 2\n"
                     L" i = i + 1\n"
                     L" j = 0\n"
                     L" WHILE j < 3\n  j = j + 1\n  IF j == 2\n   n = n + 100\n  ELSE\n   n = n + 1\n  ENDIF\n WEND\n"
                     L"WEND\n"));
    EXPECT_EQ(2 * (100 + 2), Local(L"n").GetInt());
    EXPECT_EQ(2, Local(L"i").GetInt());
}

TEST_F(ScriptLanguage, FunctionsTakeArgumentsAndReturnValues)
{
    ASSERT_EQ(1, Run(L"FUNCTION add(a,b)\n RETURN a + b\nFEND\nx = add(1, 2)\ny = add(5)\n"));
    EXPECT_EQ(3, Local(L"x").GetInt());
    EXPECT_EQ(7, Local(L"y").GetInt()); // b as the previous call left it
    EXPECT_EQ(-3, Run(L"FUNCTION add(a,b)\n RETURN a + b\nFEND\nx = add(1, 2, 3)\n"));
    // A function sees its own variables, not the caller's.
    ASSERT_EQ(1, Run(L"FUNCTION f(a)\n RETURN a + q\nFEND\nq = 100\nx = f(1)\n"));
    EXPECT_STREQ(L"1q", Local(L"x").GetString());
}

TEST_F(ScriptLanguage, RecursionKeepsTheEvaluationAndStatementOfTheOuterCall)
{
    // A tail-recursive sum: each call's arguments are evaluated before it starts.
    ASSERT_EQ(1, Run(L"FUNCTION sum(n,acc)\n"
                     L" IF n <= 0\n  RETURN acc\n ELSE\n  RETURN sum(n - 1, acc + n)\n ENDIF\n"
                     L"FEND\n"
                     L"x = 1 + sum(4, 0) * 2\n"));
    EXPECT_EQ(21, Local(L"x").GetInt());
    // Each level goes on after its IF once the inner call returns: the counter grows once per level.
    ASSERT_EQ(1, Run(L"FUNCTION count(n)\n"
                     L" IF n > 0\n  count(n - 1)\n ELSE\n  calls = 0\n ENDIF\n"
                     L" calls = calls + 1\n"
                     L" RETURN calls\n"
                     L"FEND\n"
                     L"x = count(3)\n"));
    EXPECT_EQ(4, Local(L"x").GetInt());
}

TEST_F(ScriptLanguage, RunawayRecursionRaisesInsteadOfExhaustingTheStack)
{
    ScratchSettings settings;
    CapturedLog log;
    ASSERT_EQ(1, LoadScript(script, folder,
                            L"FUNCTION ping(n)\n RETURN pong(n + 1)\nFEND\n"
                            L"FUNCTION pong(n)\n RETURN ping(n + 1)\nFEND\n"
                            L"x = ping(0)\n"));
    EXPECT_EQ(ePostFixTooDeep, script.Run());
    ASSERT_FALSE(log.records.empty());
    EXPECT_NE(-1, log.records.back().message.Find(L"nested deeper than 400"));
    // The count went back down: a shallow call works afterwards.
    ASSERT_EQ(1, Run(L"FUNCTION f(n)\n IF n > 0\n  RETURN f(n - 1)\n ENDIF\n RETURN 9\nFEND\nx = f(150)\n"));
    EXPECT_EQ(9, Local(L"x").GetInt());
}

TEST_F(ScriptLanguage, DeepNestingOfAnyKindRaisesInsteadOfExhaustingTheStack)
{
    // 20,000 nested IF and WHILE blocks run, and 20,000 unclosed definitions load, each far
    // past the stack; calls inside nested blocks count together with the blocks.
    std::wstring ifs, whiles, definitions;
    for (int i = 0; i < 20000; ++i) {
        ifs += L"IF 1\n";
        whiles += L"WHILE 1\n";
        definitions += L"FUNCTION f" + std::to_wstring(i) + L"()\n";
    }
    EXPECT_EQ(ePostFixTooDeep, Run(ifs + L"x = 1\n"));
    EXPECT_EQ(ePostFixTooDeep, Run(whiles + L"x = 1\n"));
    EXPECT_EQ(-3, LoadScript(script, folder, definitions));
    std::wstring deepCall = L"FUNCTION f(n)\n";
    for (int i = 0; i < 150; ++i)
        deepCall += L"IF 1\n";
    deepCall += L"IF n > 0\n RETURN f(n - 1)\nENDIF\n";
    for (int i = 0; i < 150; ++i)
        deepCall += L"ENDIF\n";
    deepCall += L"RETURN 0\nFEND\nx = f(195)\n";
    EXPECT_EQ(ePostFixTooDeep, Run(deepCall));
    // Within the bound all of them work.
    ASSERT_EQ(1, Run(std::wstring(L"IF 1\n") + L"IF 1\nx = 5\nENDIF\nENDIF\n"));
    EXPECT_EQ(5, Local(L"x").GetInt());
}

TEST_F(ScriptLanguage, RunningOutOfMemoryEndsTheRunWithAFailure)
{
    // A text that doubles without end: allocations past a megabyte fail, as they would once the
    // address space runs out.
    ASSERT_EQ(1, LoadScript(script, folder, L"s = \"0123456789\"\nWHILE 1\n s = s + s\nWEND\n"));
    AllocationLimit limit(1 << 20);
    ASSERT_TRUE(limit);
    EXPECT_EQ(-2, script.Run());
}

TEST_F(ScriptLanguage, ARunEndsWithTheScriptErrorOnceItHasRunPastItsTime)
{
    // The bound cut to 30 ms: the loop stops long before the statement count would stop it.
    struct Limit
    {
        Limit() { VyxScriptFunction::SetRunTimeLimit(30); }
        ~Limit() { VyxScriptFunction::SetRunTimeLimit(0); }
    } limit;
    ScratchSettings settings;
    CapturedLog log;
    EXPECT_EQ(ePostFixSyntax, Run(L"i = 0\nWHILE 1\n i = i + 1\nWEND\n"));
    EXPECT_LT(Local(L"i").GetInt(), VyxScriptFunction::MaxStatementsPerRun / 4);
    ASSERT_FALSE(log.records.empty());
    EXPECT_NE(-1, log.records.back().message.Find(L" ms ("));
    // Each run has the whole time again.
    ASSERT_EQ(1, Run(L"i = 1\n"));
    EXPECT_EQ(1, Local(L"i").GetInt());
}

// The bound is on the script's own running: a host that takes long to give each picture (a printed
// page's next file from a slow disk) does not end it.
TEST_F(ScriptLanguage, TheTimeTheHostTakesOverARequestIsNotTheScripts)
{
    struct Limit
    {
        Limit() { VyxScriptFunction::SetRunTimeLimit(30); }
        ~Limit() { VyxScriptFunction::SetRunTimeLimit(0); }
    } limit;
    SolidDib a(2, 2, 0), b(2, 2, 0), c(2, 2, 0);
    host.nextFiles = {a, b, c};
    host.onRequest = [] { Sleep(40); };
    ASSERT_EQ(1, LoadScript(script, folder, L"n = 0\nWHILE 1\n NEXTFILE\n n = n + 1\nWEND\ndone = 1\n"));
    EXPECT_EQ(1, script.Run());
    EXPECT_EQ(4, Local(L"n").GetInt());
}

TEST_F(ScriptLanguage, FunctionsDefinedInsideAnotherStayUsableWhileTheMapGrows)
{
    // Nested definitions add 150 entries while the outer function is still being parsed.
    std::wstring text = L"FUNCTION outer()\n";
    for (int i = 0; i < 150; ++i)
        text += L" FUNCTION f" + std::to_wstring(i) + L"(a)\n  RETURN a + " + std::to_wstring(i) + L"\n FEND\n";
    text += L" RETURN 7\nFEND\nx = outer()\ny = f149(1)\n";
    ASSERT_EQ(1, Run(text));
    EXPECT_EQ(7, Local(L"x").GetInt());
    EXPECT_EQ(150, Local(L"y").GetInt());
    EXPECT_EQ(151, script.GetFunctionMap().GetCount());
}

TEST_F(ScriptLanguage, ASecondDefinitionReplacesTheFirst)
{
    ASSERT_EQ(1, Run(L"FUNCTION f(a)\n RETURN 1\nFEND\nFUNCTION f(a)\n RETURN 2\nFEND\nx = f(0)\n"));
    EXPECT_EQ(2, Local(L"x").GetInt());
    EXPECT_EQ(1, script.GetFunctionMap().GetCount());
}

TEST_F(ScriptLanguage, FendInTheMainTextEndsTheParse)
{
    ASSERT_EQ(1, Run(L"x = 1\nFEND\ny = 2\n"));
    EXPECT_EQ(1, Local(L"x").GetInt());
    EXPECT_EQ(VyxVariant::Empty, Local(L"y").GetType());
}

TEST_F(ScriptLanguage, MalformedFunctionLineFailsTheLoadWithMinusTwo)
{
    EXPECT_EQ(-2, LoadScript(script, folder, L"FUNCTION f\nFEND\n"));
    EXPECT_TRUE(script.IsInvalid());
}

TEST_F(ScriptLanguage, HashTurnsRrggbbIntoAColourValue)
{
    ASSERT_EQ(1, Run(L"c = #FF8000\nd = #0000ff\n"));
    EXPECT_EQ(33023, Local(L"c").GetInt());
    EXPECT_EQ(0xFF0000, Local(L"d").GetInt());
    EXPECT_EQ(-3, Run(L"c = #\"xyz\"\n"));
}

TEST_F(ScriptLanguage, ReturnDoesNotEndTheFunction)
{
    ASSERT_EQ(1, Run(L"FUNCTION f()\n RETURN 1\n seen = 1\n RETURN seen + 1\nFEND\nx = f()\n"));
    EXPECT_EQ(2, Local(L"x").GetInt());
}

TEST_F(ScriptLanguage, NextFileAsksForTheNextPictureAndStopsWhenThereIsNone)
{
    SolidDib first(4, 4, RGB(1, 2, 3)), second(4, 4, RGB(4, 5, 6));
    host.nextFiles = {first, second};
    ASSERT_EQ(1, LoadScript(script, folder, L"NEXTFILE\nn = 1\nNEXTFILE\nn = 2\nNEXTFILE\nn = 3\nn = 4\n"));
    EXPECT_EQ(1, script.Run());
    // No picture held before the first request, so no progress for it; none left at the third.
    EXPECT_EQ((std::vector<int>{1, 1, 4, 1, 4}), host.Types());
    EXPECT_EQ(nullptr, host.requests[0].image);
    EXPECT_EQ(static_cast<HGLOBAL>(first), host.requests[1].image);
    EXPECT_EQ(static_cast<HGLOBAL>(second), host.requests[3].image);
    EXPECT_TRUE(script.GetDrawContext().m_stop);
    EXPECT_EQ(nullptr, script.GetImage());
    EXPECT_EQ(2, Local(L"n").GetInt()); // the run ended after the NEXTFILE that found nothing

    // The flag stays until the host clears it: the next run stops before its first statement.
    host.requests.clear();
    EXPECT_EQ(1, script.Run());
    EXPECT_TRUE(host.requests.empty());
    script.GetDrawContext().m_stop = false;
    EXPECT_EQ(1, script.Run());
    EXPECT_FALSE(host.requests.empty());
}

TEST_F(ScriptLanguage, LoopOverTheFilesEndsWhenTheFilesRunOut)
{
    SolidDib a(2, 2, 0), b(2, 2, 0), c(2, 2, 0);
    host.nextFiles = {a, b, c};
    ASSERT_EQ(1, LoadScript(script, folder, L"n = 0\nWHILE 1\n NEXTFILE\n n = n + 1\nWEND\ndone = 1\n"));
    EXPECT_EQ(1, script.Run());
    EXPECT_EQ(4, Local(L"n").GetInt());
    EXPECT_EQ(VyxVariant::Empty, Local(L"done").GetType()); // stopped after the loop's statement
}

TEST_F(ScriptLanguage, ExpressionStatementsAreLoggedWithTheirText)
{
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelInfo);
    CapturedLog log;
    ASSERT_EQ(1, Run(L"x = 1 + 1\n"));
    ASSERT_EQ(1u, log.records.size());
    EXPECT_STREQ(L"Statement: x = 1 + 1", log.records[0].message);
}

TEST(ScriptFunction, ParsesStatementsIntoKeywordsAndParameters)
{
    VyxScriptFunction function;
    struct Row
    {
        const wchar_t* text;
        int id;
        const wchar_t* dump;
    } rows[] = {
        {L"while i < 3, ignored", StatementWhile, L"{tag:[\"WHILE\"], XY:[], param:[\"i < 3\", \"ignored\"]}"},
        {L"ELSE IF a > 1", StatementElse, L"{tag:[\"ELSE\"], XY:[], param:[\"a > 1\"]}"},
        {L"ELSE", StatementElse, L"{tag:[\"ELSE\"], XY:[], param:[]}"},
        {L"RETURN a, b", StatementReturn, L"{tag:[\"RETURN\"], XY:[], param:[\"a, b\"]}"},
        {L"FUNCTION f2(a,b)", StatementFunction, L"{tag:[\"FUNCTION\"], XY:[], param:[\"f2\", \"a\", \"b\"]}"},
        {L"x = f(1, 2)", StatementExpression, L"{tag:[\"STATEMENT\"], XY:[], param:[\"x = f(1, 2)\"]}"},
        {L"STATEMENT x", StatementExpression, L"{tag:[\"STATEMENT\"], XY:[], param:[\"STATEMENT x\"]}"},
        {L"(1)", StatementExpression, L"{tag:[\"STATEMENT\"], XY:[], param:[\"(1)\"]}"},
    };
    for (const Row& row : rows) {
        VyxScriptCommand* statement = function.ParseFunction(row.text);
        ASSERT_NE(nullptr, statement);
        EXPECT_EQ(row.id, statement->GetId());
        EXPECT_STREQ(row.dump, statement->ToString());
        delete statement;
    }
    EXPECT_EQ(nullptr, function.ParseFunction(L""));
}

TEST(ScriptFunction, ToStringDumpsStatementsAndVariables)
{
    VyxScriptFunction function;
    function.AddStatement(function.ParseFunction(L"x = 1"));
    function.SetLocalVariable(L"x", VyxVariant(1));
    EXPECT_STREQ(L"{command:[{tag:[\"STATEMENT\"], XY:[], param:[\"x = 1\"]}], vars:{{key:\"x\", value:1}}, }",
                 function.ToString());
}

TEST(ScriptFunction, CopiedFunctionMapSharesTheStatements)
{
    VyxScriptFunctionMap map;
    VyxScriptFunction* f = map.Take(L"f");
    f->SetLinks(nullptr, nullptr, &map);
    f->AddStatement(f->ParseFunction(L"FUNCTION f(a)"));
    f->AddStatement(f->ParseFunction(L"RETURN a * 2"));
    {
        VyxScriptFunctionMap copy(map);
        ASSERT_EQ(1, copy.GetCount());
        EXPECT_NE(f, copy.Lookup(L"f"));
        EXPECT_EQ(f->GetStatements().GetData()[1], copy.Lookup(L"f")->GetStatements().GetData()[1]);
        EXPECT_EQ(1, f->GetStatements().GetData()[1]->GetHolderCount());
        EXPECT_EQ(nullptr, copy.Lookup(L"F")); // names are case-sensitive
    }
    EXPECT_EQ(0, f->GetStatements().GetData()[1]->GetHolderCount());
}

} // namespace
