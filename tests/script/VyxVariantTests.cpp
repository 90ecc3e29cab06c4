#include "script/VyxVariant.h"
#include "foundation/VyxGlobalErrorException.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

void ExpectForms(const VyxVariant& v, VyxVariant::Type type, bool b, int i, long long i64, double d,
                 const wchar_t* text)
{
    EXPECT_EQ(type, v.GetType());
    EXPECT_EQ(b, v.GetBool());
    EXPECT_EQ(i, v.GetInt());
    EXPECT_EQ(i64, v.GetInt64());
    EXPECT_DOUBLE_EQ(d, v.GetDouble());
    EXPECT_STREQ(text, v.GetString());
}

TEST(VyxVariant, EverySetterFillsEveryForm)
{
    ExpectForms(VyxVariant(), VyxVariant::Empty, false, 0, 0, 0.0, L"");
    ExpectForms(VyxVariant(L"3.7"), VyxVariant::String, true, 3, 3, 3.7, L"3.7");
    ExpectForms(VyxVariant(2.5), VyxVariant::Double, true, 2, 2, 2.5, L"2.5");
    ExpectForms(VyxVariant(-2.5), VyxVariant::Double, true, -2, -2, -2.5, L"-2.5");
    ExpectForms(VyxVariant(0), VyxVariant::Int, false, 0, 0, 0.0, L"0");
    ExpectForms(VyxVariant(L""), VyxVariant::String, false, 0, 0, 0.0, L"");
    ExpectForms(VyxVariant(L"0"), VyxVariant::String, true, 0, 0, 0.0, L"0");
    ExpectForms(VyxVariant(L"12abc"), VyxVariant::String, true, 12, 12, 12.0, L"12abc");
    ExpectForms(VyxVariant(L"1e3"), VyxVariant::String, true, 1, 1, 1000.0, L"1e3");
    ExpectForms(VyxVariant(true), VyxVariant::Bool, true, 1, 1, 1.0, L"1");
    ExpectForms(VyxVariant(false), VyxVariant::Bool, false, 0, 0, 0.0, L"");
    ExpectForms(VyxVariant(0x100000005LL), VyxVariant::Int64, true, 5, 0x100000005LL, 4294967301.0, L"4294967301");
    ExpectForms(VyxVariant(1.0 / 3), VyxVariant::Double, true, 0, 0, 1.0 / 3, L"0.333333");
    ExpectForms(VyxVariant(1e20), VyxVariant::Double, true, INT_MAX, LLONG_MAX, 1e20, L"1e+20");
    ExpectForms(VyxVariant(1234567.0), VyxVariant::Double, true, 1234567, 1234567, 1234567.0, L"1.23457e+06");
    VyxVariant nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(nan.GetBool());
    EXPECT_EQ(0, nan.GetInt());
    EXPECT_EQ(0, nan.GetInt64());
    VyxVariant null(static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(L"", null.GetString());
}

TEST(VyxVariant, DisplayTextMarksBoolsAndStrings)
{
    VyxVariant t(true), f(false), s(L"say \"x\""), e, n(42);
    EXPECT_STREQ(L"(true)", t.ToString());
    EXPECT_STREQ(L"(false)", f.ToString());
    EXPECT_STREQ(L"\"say \"x\"\"", s.ToString());
    EXPECT_STREQ(L"", e.ToString());
    EXPECT_STREQ(L"42", n.ToString());
}

// The calculator's tables cover the common pairs; these are the promotions it does not reach.
TEST(VyxVariant, ArithmeticPromotesByTheTables)
{
    VyxVariant r;
    r = VyxVariant(1) + VyxVariant(L"2");
    ExpectForms(r, VyxVariant::String, true, 12, 12, 12.0, L"12");
    r = VyxVariant() + VyxVariant();
    EXPECT_EQ(VyxVariant::Int, r.GetType());
    r = VyxVariant(1) + VyxVariant(2LL);
    EXPECT_EQ(VyxVariant::Int64, r.GetType());
    r = VyxVariant(6) | VyxVariant(1LL);
    EXPECT_EQ(VyxVariant::Int64, r.GetType());
    EXPECT_EQ(7, r.GetInt64());
    r = VyxVariant(6) ^ VyxVariant(L"3");
    EXPECT_EQ(5, r.GetInt());
    r = VyxVariant(INT_MAX) + VyxVariant(1);
    EXPECT_EQ(INT_MIN, r.GetInt()); // wraps
}

TEST(VyxVariant, SmallestIntegerDividedByMinusOneDoesNotTrap)
{
    VyxVariant r;
    r = VyxVariant(INT_MIN) / VyxVariant(-1);
    EXPECT_EQ(INT_MIN, r.GetInt());
    r = VyxVariant(INT_MIN) % VyxVariant(-1);
    EXPECT_EQ(0, r.GetInt());
    r = VyxVariant(LLONG_MIN) / VyxVariant(-1LL);
    EXPECT_EQ(LLONG_MIN, r.GetInt64());
    r = VyxVariant(LLONG_MIN) % VyxVariant(-1);
    EXPECT_EQ(0, r.GetInt64());
}

TEST(VyxVariant, DoublesOutsideTheIntegerRangeSaturate)
{
    VyxVariant big(1e300), small(-1e300), inf(std::numeric_limits<double>::infinity());
    EXPECT_EQ(INT_MAX, big.GetInt());
    EXPECT_EQ(LLONG_MAX, big.GetInt64());
    EXPECT_EQ(INT_MIN, small.GetInt());
    EXPECT_EQ(LLONG_MIN, small.GetInt64());
    EXPECT_EQ(INT_MAX, inf.GetInt());
}

struct RaiseRow
{
    const char* what;
    int code;
    const wchar_t* message;
    const wchar_t* location;
};

void ExpectRaise(const RaiseRow& row, void (*operation)())
{
    try {
        operation();
        ADD_FAILURE() << row.what << ": no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(row.code, e->GetCode()) << row.what;
        EXPECT_STREQ(row.message, e->GetErrorMessage()) << row.what;
        EXPECT_STREQ(row.location, e->GetLocation()) << row.what;
        delete e;
    }
}

TEST(VyxVariant, RejectedPairsAndZeroDivisorsRaiseAndLeaveTheSharedResultAlone)
{
    ExpectRaise({"1.0/0.0", -2, L"divide by zero: 1/0", L"VyxVariant(530) VyxVariant::operator /()"},
                [] { VyxVariant(1.0) / VyxVariant(0.0); });
    ExpectRaise({"2.0&3.0", -1, L"not support: 2&3", L"VyxVariant(420) VyxVariant::operator &()"},
                [] { VyxVariant(2.0) & VyxVariant(3.0); });
    ExpectRaise({"e*1", -1, L"not support: *1", L"VyxVariant(559) VyxVariant::operator *()"},
                [] { VyxVariant() * VyxVariant(1); });
    ExpectRaise({"b--", -1, L"not support: (false)--", L"VyxVariant(686) VyxVariant::operator --()"}, [] {
        VyxVariant b(false);
        b--;
    });
    ExpectRaise({"s|s", -1, L"not support: \"a\"|\"b\"", L"VyxVariant(395) VyxVariant::operator |()"},
                [] { VyxVariant(L"a") | VyxVariant(L"b"); });
    // Results of one operator share one object, which a failed operation leaves alone; the left
    // operand may be that object itself.
    VyxVariant& first = VyxVariant(1) + VyxVariant(2);
    EXPECT_THROW(VyxVariant(true) + VyxVariant(1), VyxGlobalErrorException*);
    EXPECT_EQ(3, first.GetInt());
    VyxVariant& second = VyxVariant(10) + VyxVariant(20);
    EXPECT_EQ(&first, &second);
    VyxVariant sum = VyxVariant(1) + VyxVariant(2);
    sum = sum + VyxVariant(4);
    EXPECT_EQ(7, sum.GetInt());
}

TEST(VyxVariant, ComparisonsFollowTableD)
{
    EXPECT_TRUE(VyxVariant(5) == VyxVariant(true));
    EXPECT_TRUE(VyxVariant() == VyxVariant(0));
    EXPECT_TRUE(VyxVariant() == VyxVariant(L""));
    EXPECT_TRUE(VyxVariant(3.0) == VyxVariant(L"3"));
    EXPECT_FALSE(VyxVariant(3.0) == VyxVariant(L"3.0"));
    EXPECT_TRUE(VyxVariant(false) < VyxVariant(true));
    EXPECT_TRUE(VyxVariant(-1LL) < VyxVariant(0));
    EXPECT_TRUE(VyxVariant(2) >= VyxVariant(2.0));
    VyxVariant nan(std::numeric_limits<double>::quiet_NaN());
    for (const VyxVariant& other : {VyxVariant(), VyxVariant(1), VyxVariant(1LL), VyxVariant(1.0), nan}) {
        EXPECT_FALSE(nan == other);
        EXPECT_TRUE(nan != other);
        EXPECT_FALSE(nan < other);
        EXPECT_FALSE(nan > other);
        EXPECT_FALSE(nan <= other);
        EXPECT_FALSE(nan >= other);
    }
}

TEST(VyxVariant, LogicAndUnaryOperators)
{
    EXPECT_TRUE(VyxVariant(L"0") && VyxVariant(1));
    EXPECT_FALSE(VyxVariant(L"") || VyxVariant(0.0));
    EXPECT_TRUE(VyxVariant(0.5) && VyxVariant(2));
    EXPECT_FALSE(VyxVariant(0LL) || VyxVariant());
    EXPECT_TRUE((!VyxVariant(L"")).GetBool());
    EXPECT_FALSE((!VyxVariant(L"0")).GetBool());
    EXPECT_STREQ(L"1", (!VyxVariant(0)).GetString());
    VyxVariant five(5);
    VyxVariant old = five++;
    EXPECT_EQ(5, old.GetInt());
    EXPECT_STREQ(L"6", five.GetString());
    ++five;
    --five;
    EXPECT_EQ(6, five.GetInt());
    VyxVariant max(INT_MAX);
    ++max;
    EXPECT_EQ(INT_MIN, max.GetInt());
    VyxVariant d(1.5);
    d--;
    EXPECT_DOUBLE_EQ(0.5, d.GetDouble());
}

TEST(VyxVariant, CompoundAssignmentsChangeTheLeftOperand)
{
    VyxVariant v(10);
    v += VyxVariant(5);
    v -= VyxVariant(3);
    v *= VyxVariant(2);
    v /= VyxVariant(4);
    v %= VyxVariant(4);
    EXPECT_EQ(2, v.GetInt());
    v |= VyxVariant(5);
    v &= VyxVariant(6);
    v ^= VyxVariant(1);
    EXPECT_EQ(7, v.GetInt()); // (2 | 5) & 6 ^ 1
    VyxVariant s(L"a");
    s += VyxVariant(L"b");
    EXPECT_STREQ(L"ab", s.GetString());
}

} // namespace
