#include "script/VyxPostfix.h"

#include "foundation/TestSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One evaluator with a variable of every type: i Int 7, l Int64 2^32, d Double 2.5, s String
// "ab", n String "12", b Bool true.
class PostfixTest : public ::testing::Test
{
protected:
    PostfixTest()
    {
        calc.SetLocalVariable(L"i", VyxVariant(7));
        calc.SetLocalVariable(L"l", VyxVariant(4294967296LL));
        calc.SetLocalVariable(L"d", VyxVariant(2.5));
        calc.SetLocalVariable(L"s", VyxVariant(L"ab"));
        calc.SetLocalVariable(L"n", VyxVariant(L"12"));
        calc.SetLocalVariable(L"b", VyxVariant(true));
    }

    VyxVariant Local(const wchar_t* name) { return *calc.GetLocalVariables().Lookup(name); }

    VyxPostfix calc;
};

struct ResultRow
{
    const wchar_t* infix;
    VyxVariant::Type type;
    const wchar_t* text;
};

void ExpectResults(VyxPostfix& calc, const ResultRow* rows, size_t count)
{
    for (size_t k = 0; k < count; ++k) {
        const ResultRow& row = rows[k];
        std::wstring infix = row.infix;
        try {
            VyxVariant result = calc.Calc(row.infix);
            EXPECT_EQ(row.type, result.GetType()) << std::string(infix.begin(), infix.end());
            EXPECT_STREQ(row.text, result.GetString()) << std::string(infix.begin(), infix.end());
        } catch (VyxGlobalErrorException* e) {
            std::wstring m = static_cast<const wchar_t*>(e->GetErrorMessage()),
                         f = static_cast<const wchar_t*>(e->GetFunction());
            ADD_FAILURE() << std::string(infix.begin(), infix.end()) << " raised " << e->GetCode() << " "
                          << std::string(m.begin(), m.end()) << " " << std::string(f.begin(), f.end());
            delete e;
        }
    }
}

TEST_F(PostfixTest, OperatorsAndPrecedence)
{
    const ResultRow rows[] = {
        {L"1 + 2 * 3", VyxVariant::Int, L"7"},
        {L"(1 + 2) * 3", VyxVariant::Int, L"9"},
        {L"10 - 4 - 3", VyxVariant::Int, L"3"},
        {L"2 * 3 % 4", VyxVariant::Int, L"2"},
        {L"7 / 2", VyxVariant::Int, L"3"},
        {L"7 / 2.0", VyxVariant::Double, L"3.5"},
        {L"-7 % 2", VyxVariant::Int, L"-1"},
        {L"7.5 % 2", VyxVariant::Double, L"1.5"},
        {L"i - -1", VyxVariant::Int, L"8"},
        {L"-i * 2", VyxVariant::Int, L"-14"},
        {L"1 + 2 == 3", VyxVariant::Bool, L"1"},
        {L"1 < 2 == 1", VyxVariant::Bool, L"1"},
        {L"2 <= 1", VyxVariant::Bool, L""},
        {L"2 >= 2", VyxVariant::Bool, L"1"},
        {L"3 > 4 != 1", VyxVariant::Bool, L"1"},
        {L"1 | 2 ^ 3 & 6", VyxVariant::Int, L"1"},
        {L"1 || 0 && 0", VyxVariant::Bool, L"1"},
        {L"0 && 1 || 1", VyxVariant::Bool, L"1"},
        {L"6 & 3.9", VyxVariant::Int, L"2"},
        {L"!0", VyxVariant::Bool, L"1"},
        {L"!\"0\"", VyxVariant::Bool, L""},
        {L"~5", VyxVariant::Int, L"-6"},
        {L"#FF", VyxVariant::Int, L"255"},
        {L"#ff8000", VyxVariant::Int, L"16744448"},
        {L"#000080 + 1", VyxVariant::Int, L"129"},
        {L"\"a\" + 1", VyxVariant::String, L"a1"},
        {L"1 + \"2\"", VyxVariant::String, L"12"},
        {L"1.5 + \"x\"", VyxVariant::String, L"1.5x"},
        {L"5 == \"5\"", VyxVariant::Bool, L"1"},
        {L"5 == \"05\"", VyxVariant::Bool, L""},
        {L"\"10\" < \"9\"", VyxVariant::Bool, L"1"},
        {L"1 2 + 1", VyxVariant::Int, L"13"},
        {L"1.50", VyxVariant::Double, L"1.5"},
        {L"", VyxVariant::Empty, L""},
        {L"   ", VyxVariant::Empty, L""},
        {L"(1 + 2", VyxVariant::Int, L"3"},
        {L"a, c", VyxVariant::String, L"c"},
        {L"\"say \\\"hi\\\" \\n\"", VyxVariant::String, L"say \"hi\" \\n"},
    };
    ExpectResults(calc, rows, std::size(rows));
}

TEST_F(PostfixTest, ClosedGroupCallOrIndexIsAnOperand)
{
    calc.SetLocalVariable(L"a[7]", VyxVariant(10));
    const ResultRow rows[] = {
        {L"(1+2)-1", VyxVariant::Int, L"2"},
        {L"(i)-1", VyxVariant::Int, L"6"},
        {L"@abs(-3)-1", VyxVariant::Double, L"2"},
        {L"a[i]-1", VyxVariant::Int, L"9"},
        {L"@left(@logger(\"hello\"), 2)", VyxVariant::String, L"he"},
        {L"@left((s), 1)", VyxVariant::String, L"a"},
    };
    ExpectResults(calc, rows, std::size(rows));
}

TEST_F(PostfixTest, MemberNameIsOneToken)
{
    const ResultRow rows[] = {
        {L"\"abc\".length - 1", VyxVariant::Int, L"2"},
        {L"s.length * 2", VyxVariant::Int, L"4"},
        {L"s.length == 2", VyxVariant::Bool, L"1"},
    };
    ExpectResults(calc, rows, std::size(rows));
}

TEST_F(PostfixTest, UnaryPlusIsTheOperand)
{
    const ResultRow rows[] = {
        {L"+i", VyxVariant::Int, L"7"},
        {L"3 * +2", VyxVariant::Int, L"6"},
        {L"i - +1", VyxVariant::Int, L"6"},
    };
    ExpectResults(calc, rows, std::size(rows));
}

// A number's exponent is part of it, its sign no operator; letters after a number without one
// still make a name.
TEST_F(PostfixTest, NumbersWithAnExponentAreNumbers)
{
    const ResultRow rows[] = {
        {L"-1e3", VyxVariant::Double, L"-1000"},
        {L"2.5E-1 * 4", VyxVariant::Double, L"1"},
        {L"0 - 1e2 + 1", VyxVariant::Double, L"-99"},
        {L"1e+2 - i", VyxVariant::Double, L"93"},
        {L"1e", VyxVariant::String, L"1e"},
    };
    ExpectResults(calc, rows, std::size(rows));
}

// The operator after "i++" applies to the old value, as after any other operand.
TEST_F(PostfixTest, PostIncrementIsFollowedByAnOperator)
{
    const ResultRow rows[] = {
        {L"i++ + 1", VyxVariant::Int, L"8"},
        {L"i-- * 2", VyxVariant::Int, L"16"},
        {L"i++, s", VyxVariant::String, L"ab"},
    };
    ExpectResults(calc, rows, std::size(rows));
    EXPECT_EQ(8, Local(L"i").GetInt());
}

TEST_F(PostfixTest, CallsIndexesMembersAndBuiltIns)
{
    const ResultRow rows[] = {
        {L"@ABS(-2.5)", VyxVariant::Double, L"2.5"},
        {L"@abs(i)", VyxVariant::Double, L"7"},
        {L"@round(2.5)", VyxVariant::Double, L"3"},
        {L"@round(-2.5)", VyxVariant::Double, L"-3"},
        {L"@Round(2.4999)", VyxVariant::Double, L"2"},
        {L"@left(\"abcdef\", 3)", VyxVariant::String, L"abc"},
        {L"@left(\"ab\", 5)", VyxVariant::String, L"ab"},
        {L"@left(\"ab\", -1)", VyxVariant::String, L""},
        {L"@left(\"abcdef\", 2, 99)", VyxVariant::String, L"ab"},
        {L"@abs(@abs(@abs(-1)) - 3)", VyxVariant::Double, L"2"},
        {L"a[1]", VyxVariant::String, L"a[1]"},
        {L"a[1, 2]", VyxVariant::String, L"a[1,2]"},
        {L"a[i][s]", VyxVariant::String, L"a[7][ab]"},
        {L"a[]", VyxVariant::String, L"a[]"},
        {L"\"abc\".length", VyxVariant::Int, L"3"},
        {L"s.LENGTH", VyxVariant::Int, L"2"},
        {L"d.foo", VyxVariant::Double, L"2.5"},
        {L"\"d\"", VyxVariant::Double, L"2.5"},
        {L"i.length", VyxVariant::Int, L"1"},
    };
    ExpectResults(calc, rows, std::size(rows));
}

TEST_F(PostfixTest, AssignmentsWriteLocalVariables)
{
    struct Row
    {
        const wchar_t* infix;
        const wchar_t* result; // text of the result
        const wchar_t* name;
        VyxVariant::Type type;
        const wchar_t* stored;
    } rows[] = {
        {L"x = 5", L"", L"x", VyxVariant::Int, L"5"},        {L"x = i * 2", L"", L"x", VyxVariant::Int, L"14"},
        {L"x = \"t\"", L"", L"x", VyxVariant::String, L"t"}, {L"i += 2", L"", L"i", VyxVariant::Int, L"9"},
        {L"i -= 2", L"", L"i", VyxVariant::Int, L"5"},       {L"i *= 3", L"", L"i", VyxVariant::Int, L"21"},
        {L"i /= 2", L"", L"i", VyxVariant::Int, L"3"},       {L"i %= 2", L"", L"i", VyxVariant::Int, L"1"},
        {L"i |= 6", L"", L"i", VyxVariant::Int, L"7"},       {L"i &= 6", L"", L"i", VyxVariant::Int, L"6"},
        {L"i ^= 3", L"", L"i", VyxVariant::Int, L"4"},       {L"s += \"c\"", L"", L"s", VyxVariant::String, L"abc"},
        {L"i++", L"7", L"i", VyxVariant::Int, L"8"},         {L"i--", L"7", L"i", VyxVariant::Int, L"6"},
        {L"++i", L"8", L"i", VyxVariant::Int, L"8"},         {L"--d", L"1.5", L"d", VyxVariant::Double, L"1.5"},
        {L"i++ + 1", L"8", L"i", VyxVariant::Int, L"8"},     {L"i++ * 2", L"14", L"i", VyxVariant::Int, L"8"},
    };
    for (const Row& row : rows) {
        calc.SetLocalVariable(L"i", VyxVariant(7));
        calc.SetLocalVariable(L"d", VyxVariant(2.5));
        calc.SetLocalVariable(L"s", VyxVariant(L"ab"));
        std::wstring infix = row.infix;
        VyxVariant result = calc.Calc(row.infix);
        EXPECT_STREQ(row.result, result.GetString()) << std::string(infix.begin(), infix.end());
        VyxVariant stored = Local(row.name);
        EXPECT_EQ(row.type, stored.GetType()) << std::string(infix.begin(), infix.end());
        EXPECT_STREQ(row.stored, stored.GetString()) << std::string(infix.begin(), infix.end());
    }
    EXPECT_EQ(VyxVariant::Empty, calc.Calc(L"x = 5").GetType());
}

// The calculator applies the value's own operators: the same result, or the same error, for
// every pair of operand types.
TEST_F(PostfixTest, EveryOperatorAgreesWithTheValueForEveryPairOfTypes)
{
    const wchar_t* names[] = {L"i", L"l", L"d", L"s", L"n", L"b"};
    const wchar_t* ops[] = {L"+",  L"-",  L"*", L"/",  L"%", L"&",  L"|",  L"^",
                            L"==", L"!=", L"<", L"<=", L">", L">=", L"&&", L"||"};
    for (const wchar_t* op : ops) {
        for (const wchar_t* left : names) {
            for (const wchar_t* right : names) {
                VyxVariant a = Local(left), b = Local(right);
                VyxVariant expected;
                int expectedCode = 0;
                try {
                    std::wstring o = op;
                    if (o == L"+")
                        expected = a + b;
                    else if (o == L"-")
                        expected = a - b;
                    else if (o == L"*")
                        expected = a * b;
                    else if (o == L"/")
                        expected = a / b;
                    else if (o == L"%")
                        expected = a % b;
                    else if (o == L"&")
                        expected = a & b;
                    else if (o == L"|")
                        expected = a | b;
                    else if (o == L"^")
                        expected = a ^ b;
                    else if (o == L"==")
                        expected = a == b;
                    else if (o == L"!=")
                        expected = a != b;
                    else if (o == L"<")
                        expected = a < b;
                    else if (o == L"<=")
                        expected = a <= b;
                    else if (o == L">")
                        expected = a > b;
                    else if (o == L">=")
                        expected = a >= b;
                    else if (o == L"&&")
                        expected = a && b;
                    else
                        expected = a || b;
                } catch (VyxGlobalErrorException* e) {
                    expectedCode = e->GetCode();
                    delete e;
                }
                std::wstring infix = std::wstring(left) + L" " + op + L" " + right;
                std::string what(infix.begin(), infix.end());
                try {
                    VyxVariant result = calc.Calc(infix.c_str());
                    EXPECT_EQ(0, expectedCode) << what;
                    EXPECT_EQ(expected.GetType(), result.GetType()) << what;
                    EXPECT_STREQ(expected.GetString(), result.GetString()) << what;
                } catch (VyxGlobalErrorException* e) {
                    EXPECT_EQ(expectedCode, e->GetCode()) << what;
                    delete e;
                }
            }
        }
    }
}

TEST_F(PostfixTest, CompilesToThePostfixList)
{
    struct Row
    {
        const wchar_t* infix;
        const wchar_t* postfix;
    } rows[] = {
        {L"a+1", L"[\"a\", 1, \"+\"]"},
        {L"1 + 2 * 3", L"[1, 2, 3, \"*\", \"+\"]"},
        {L"-x", L"[\"x\", -1, \"*\"]"},
        {L"x - -1", L"[\"x\", 1, -1, \"*\", \"-\"]"},
        {L"(1+2)-1", L"[1, 2, \"+\", 1, \"-\"]"},
        {L"(1 + 2", L"[1, 2, \"+\"]"},
        {L"s.length - 1", L"[\"s\", \"length\", \".\", 1, \"-\"]"},
        {L"a * +b", L"[\"a\", \"b\", \"*\"]"},
        {L"@left(@logger(s), 2)", L"[\"@left\", \"(\", \"@logger\", \"(\", \"s\", \")\", \",\", 2, \")\"]"},
        {L"a[1]", L"[\"a\", \"[\", 1, \"]\"]"},
        {L"x = y += 2", L"[\"x\", \"y\", \"=\", 2, \"+=\"]"},
        {L"a, , b", L"[\"a\", \",\", \"\", \",\", \"b\"]"},
        {L"i++", L"[\"i\", \"+++\"]"},
        {L"--i", L"[\"i\", \"--\"]"},
        {L"#FF", L"[\"FF\", \"#\"]"},
        {L"ab cd", L"[\"abcd\"]"},
        {L"12abc + .5", L"[\"12abc\", 0.5, \"+\"]"},
        {L"\"a b\"", L"[\"a b\"]"},
    };
    for (const Row& row : rows) {
        calc.SetFormula(row.infix);
        calc.FormulaPostfix();
        CString expected;
        expected.Format(L"{Infix:\"%s\", Postfix:%s}", row.infix, row.postfix);
        EXPECT_STREQ(expected, calc.ToString());
    }
}

// Counts the dumps built of it (a script function's dump holds all its statements).
class DumpCounting : public VyxPostfix
{
public:
    const wchar_t* ToString() override
    {
        ++dumps;
        return VyxPostfix::ToString();
    }
    int dumps = 0;
};

TEST(Postfix, CompileBuildsItsDumpOnlyForAWrittenDebugLine)
{
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelWarning);
    DumpCounting calc;
    for (int i = 0; i < 10; ++i)
        calc.Compile(std::to_wstring(i).c_str());
    EXPECT_EQ(0, calc.dumps);
    WriteAppIniInt(L"LOG", L"Level", LogLevelDebug);
    CapturedLog log;
    calc.Compile(L"1+1");
    EXPECT_EQ(1, calc.dumps);
    EXPECT_EQ(1u, log.records.size());
}

TEST(Postfix, CompileLogsTheDumpAndLoggerWritesItsText)
{
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelDebug);
    CapturedLog log;
    VyxPostfix calc;
    EXPECT_STREQ(L"hi", calc.Calc(L"@logger(\"hi\")").GetString());
    ASSERT_EQ(2u, log.records.size());
    EXPECT_STREQ(L"{Infix:\"@logger(\"hi\")\", Postfix:[\"@logger\", \"(\", \"hi\", \")\"]}", log.records[0].message);
    EXPECT_STREQ(L"hi", log.records[1].message);
    EXPECT_EQ(0, log.records[1].location.Find(L"VyxPostfix("));
}

TEST(Postfix, VariablesAreLocalFirstThenShared)
{
    theSharedVariables.SetAt(L"postfixTestShared", VyxVariant(40));
    VyxPostfix first, second;
    EXPECT_EQ(42, first.Calc(L"postfixTestShared + 2").GetInt());
    first.SetLocalVariable(L"postfixTestShared", VyxVariant(1));
    EXPECT_EQ(3, first.Calc(L"postfixTestShared + 2").GetInt());
    EXPECT_EQ(42, second.Calc(L"postfixTestShared + 2").GetInt());

    // Assignments never reach the shared table, and another evaluator does not see them.
    first.Calc(L"postfixTestOwn = 5");
    EXPECT_EQ(nullptr, theSharedVariables.Lookup(L"postfixTestOwn"));
    EXPECT_STREQ(L"postfixTestOwn", second.Calc(L"postfixTestOwn").GetString());
    EXPECT_EQ(5, first.Calc(L"postfixTestOwn").GetInt());

    // Assignment between evaluators copies the local variables only.
    second = first;
    EXPECT_EQ(5, second.Calc(L"postfixTestOwn").GetInt());
    VyxPostfix third(first);
    EXPECT_EQ(5, third.Calc(L"postfixTestOwn").GetInt());
}

TEST(Postfix, ResolvesOnlyNamesOfVariablesWithAValue)
{
    VyxPostfix calc;
    calc.SetLocalVariable(L"v", VyxVariant(L""));
    calc.SetLocalVariable(L"e", VyxVariant());
    EXPECT_STREQ(L"", calc.ResolveValue(VyxVariant(L"v")).GetString());
    EXPECT_STREQ(L"e", calc.ResolveValue(VyxVariant(L"e")).GetString());
    EXPECT_STREQ(L"zz", calc.ResolveValue(VyxVariant(L"zz")).GetString());
    calc.SetLocalVariable(L"7", VyxVariant(8));
    EXPECT_EQ(7, calc.ResolveValue(VyxVariant(7)).GetInt()); // numbers are never names
}

struct ErrorRow
{
    const wchar_t* infix;
    int code;
    const wchar_t* message;  // null: not compared
    const wchar_t* function; // where it was raised
};

void ExpectErrors(VyxPostfix& calc, const ErrorRow* rows, size_t count)
{
    for (size_t k = 0; k < count; ++k) {
        const ErrorRow& row = rows[k];
        std::wstring infix = row.infix;
        std::string what(infix.begin(), infix.end());
        try {
            calc.Calc(row.infix);
            ADD_FAILURE() << what << ": no exception";
        } catch (VyxGlobalErrorException* e) {
            EXPECT_EQ(row.code, e->GetCode()) << what;
            if (row.message) {
                EXPECT_STREQ(row.message, e->GetErrorMessage()) << what;
            }
            EXPECT_STREQ(row.function, e->GetFunction()) << what;
            delete e;
        }
    }
}

// Compile errors reach callers as the library exception, like every other error; a stray closer
// inside a call ends the compile instead of looping.
TEST(Postfix, CompileErrorsRaiseTheLibraryException)
{
    const ErrorRow rows[] = {
        {L")", -3, L"syntax error at 1: )", L"VyxPostfix::FormulaPostfix"},
        {L"1 ]", -3, L"syntax error at 3: 1 ]", L"VyxPostfix::FormulaPostfix"},
        {L"(1]", -3, L"syntax error at 3: (1]", L"VyxPostfix::FormulaPostfix"},
        {L"@f(1]", -3, L"syntax error at 5: @f(1]", L"VyxPostfix::FormulaPostfix"},
        {L"a[1)", -3, L"syntax error at 4: a[1)", L"VyxPostfix::FormulaPostfix"},
    };
    VyxPostfix calc;
    ExpectErrors(calc, rows, std::size(rows));
}

TEST(Postfix, EvaluationErrorsRaiseWithTheirCodesAndTexts)
{
    std::wstring deep;
    for (int k = 0; k < 32; ++k)
        deep += L"@abs(";
    deep += L"1";
    deep.append(32, L')');
    const ErrorRow rows[] = {
        {L"@foo(1)", -4, L"[]", L"VyxPostfix::FormulaCalc"},
        {L"2 + @foo(1)", -4, L"[2]", L"VyxPostfix::FormulaCalc"},
        {L"@abs()", -3, L"[]", L"VyxPostfix::FormulaCalc"},
        {deep.c_str(), -1, nullptr, L"VyxPostfix::FormulaCalc"},
        {L"@left(\"ab\")", -1, L"illegal index", L"VyxArrayT<class VyxVariant>::GetAt"},
        {L"1 +", -3, L"illegal stack index:", L"VyxVariantStack::Pop"},
        {L"1 / 0", -2, L"divide by zero: 1/0", L"VyxVariant::operator /"},
        {L"5 % 0.0", -2, L"divide by zero: 5%0", L"VyxVariant::operator %"},
        {L"\"a\" - 1", -1, L"not support: \"a\"-1", L"VyxVariant::operator -"},
        {L"(1 == 1) + 1", -1, L"not support: (true)+1", L"VyxVariant::operator +"},
        {L"~2.5", -1, L"not support: ~2.5", L"VyxVariant::operator ~"},
        {L"++q", -1, L"not support: ++\"q\"", L"VyxVariant::operator ++"},
    };
    VyxPostfix calc;
    ExpectErrors(calc, rows, std::size(rows));

    // Thirty-one nested calls work.
    std::wstring nested;
    for (int k = 0; k < 31; ++k)
        nested += L"@abs(";
    nested += L"-1";
    nested.append(31, L')');
    EXPECT_EQ(1.0, calc.Calc(nested.c_str()).GetDouble());
}

TEST(Postfix, DeepNestingIsASyntaxErrorNotACrash)
{
    VyxPostfix calc;
    std::wstring ok(200, L'(');
    ok += L"1";
    EXPECT_EQ(1, calc.Calc(ok.c_str()).GetInt());
    std::wstring deep(100000, L'(');
    deep += L"1";
    try {
        calc.Calc(deep.c_str());
        ADD_FAILURE() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-3, e->GetCode());
        delete e;
    }
}

// A line of a drawing script or a catalog definition, hundreds of thousands of characters long:
// refused at once, its message naming its length, instead of a compile that takes minutes.
TEST(Postfix, ALineTooLongForAnyScriptIsRefusedWithAMessage)
{
    VyxPostfix calc;
    const std::wstring tooLong(200000, L'=');
    try {
        calc.Compile(tooLong.c_str());
        ADD_FAILURE() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(ePostFixSyntax, e->GetCode());
        EXPECT_NE(nullptr, wcsstr(e->GetErrorMessage(), L"too long: 200000 characters")) << e->GetErrorMessage();
        delete e;
    }
    EXPECT_EQ(0, calc.GetPostfixList().GetCount());

    // Up to the limit every line compiles: 8,192 additions, the longest list a line can make.
    std::wstring longest = L"1";
    while (longest.size() + 2 <= VyxPostfix::MaxFormulaLength)
        longest += L"+1";
    EXPECT_EQ(static_cast<int>(longest.size() / 2 + 1), calc.Calc(longest.c_str()).GetInt());
    EXPECT_EQ(static_cast<int>(longest.size()), calc.GetPostfixList().GetCount());
}

TEST(Postfix, FailedCompileLeavesNothingToEvaluate)
{
    VyxPostfix calc;
    calc.SetFormula(L"1 + 2 )");
    EXPECT_THROW(calc.FormulaPostfix(), VyxGlobalErrorException*);
    EXPECT_EQ(0, calc.GetPostfixList().GetCount());
    EXPECT_EQ(VyxVariant::Empty, calc.FormulaCalc().GetType());
}

TEST(Postfix, EachEvaluationStartsWithACleanCallDepth)
{
    VyxPostfix calc;
    for (int k = 0; k < 40; ++k) {
        try {
            calc.Calc(L"@abs(@abs(1 / 0))");
            ADD_FAILURE() << "no exception";
        } catch (VyxGlobalErrorException* e) {
            EXPECT_EQ(-2, e->GetCode());
            delete e;
        }
    }
    EXPECT_EQ(1.0, calc.Calc(L"@abs(-1)").GetDouble());
}

// Exposes the protected hooks, and defines @fact and @sum through calls back into its own
// calculator, as a script function does.
class CallingBackPostfix : public VyxPostfix
{
public:
    using VyxPostfix::CalcOperator;

protected:
    const VyxVariant& OperateFunction(const VyxVariant& name, VyxVariantArray& arguments) override
    {
        static VyxVariant result;
        CString function = name.GetString();
        if (function == L"@fact") {
            int n = arguments.GetAt(0).GetInt();
            CString inner;
            inner.Format(L"%d * @fact(%d)", n, n - 1);
            result = n <= 1 ? VyxVariant(1) : VyxVariant(Calc(inner));
            return result;
        }
        if (function == L"@sum") {
            VyxVariant total(0);
            for (int k = 0; k < arguments.GetCount(); ++k) {
                SetLocalVariable(L"arg", arguments.GetAt(k));
                total = VyxVariant(Calc(L"(arg + 0) * 1")) + total;
            }
            result = total;
            return result;
        }
        return VyxPostfix::OperateFunction(name, arguments);
    }
};

TEST(Postfix, FunctionCallingBackDoesNotDisturbTheEvaluationInProgress)
{
    CallingBackPostfix calc;
    EXPECT_EQ(241, calc.Calc(L"1 + @fact(5) * 2").GetInt());
    EXPECT_EQ(16, calc.Calc(L"@sum(1, @sum(2, 3), 4) + @abs(-6)").GetInt());
    // The outer list is the one evaluated again, not the nested call's.
    calc.SetFormula(L"@fact(3) + 1");
    calc.FormulaPostfix();
    EXPECT_EQ(7, calc.FormulaCalc().GetInt());
}

// Operators are marked out of band: no text of an operand is taken for one.
TEST(Postfix, OperandTextIsNeverAnOperator)
{
    VyxPostfix calc;
    EXPECT_STREQ(L"\x1B+", calc.Calc(L"\"\x1B+\"").GetString());
    EXPECT_STREQ(L"\x1B)", calc.Calc(L"1, \"\x1B)\"").GetString());
    EXPECT_STREQ(L"+", calc.Calc(L"\"+\"").GetString());
}

TEST(Postfix, CloseWithoutOpenRaisesSyntaxError)
{
    CallingBackPostfix calc;
    try {
        calc.CalcOperator(L")");
        ADD_FAILURE() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-3, e->GetCode());
        EXPECT_STREQ(L"VyxPostfix::FormulaCalc", e->GetFunction());
        delete e;
    }
}

} // namespace
