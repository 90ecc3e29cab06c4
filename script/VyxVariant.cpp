#include "script/VyxVariant.h"

#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxString.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// Saturating conversions: a double outside the range (or NaN) still gives a defined integer.
int DoubleToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT_MAX;
    if (value <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(value);
}

long long DoubleToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return LLONG_MAX;
    if (value <= -9223372036854775808.0)
        return LLONG_MIN;
    return static_cast<long long>(value);
}

// Two's complement wrapping without signed overflow.
int WrapInt(long long value)
{
    return static_cast<int>(static_cast<unsigned>(static_cast<unsigned long long>(value)));
}

long long Add64(long long a, long long b)
{
    return static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b));
}

long long Sub64(long long a, long long b)
{
    return static_cast<long long>(static_cast<unsigned long long>(a) - static_cast<unsigned long long>(b));
}

long long Mul64(long long a, long long b)
{
    return static_cast<long long>(static_cast<unsigned long long>(a) * static_cast<unsigned long long>(b));
}

// The smallest value divided by -1 wraps to itself (its remainder is 0) instead of trapping.
template <class T> T Quotient(T a, T b, T minimum)
{
    return a == minimum && b == -1 ? minimum : a / b;
}

template <class T> T Remainder(T a, T b)
{
    return b == -1 ? 0 : a % b;
}

bool IsNumber(VyxVariant::Type type)
{
    return type == VyxVariant::Int || type == VyxVariant::Int64 || type == VyxVariant::Double;
}

template <class T> int Order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

VyxVariant::VyxVariant() = default;

VyxVariant::VyxVariant(int value)
{
    operator=(value);
}

VyxVariant::VyxVariant(long long value)
{
    operator=(value);
}

VyxVariant::VyxVariant(double value)
{
    operator=(value);
}

VyxVariant::VyxVariant(bool value)
{
    operator=(value);
}

VyxVariant::VyxVariant(const wchar_t* text)
{
    operator=(text);
}

// The display buffer is not part of the value: a copy starts it empty.
VyxVariant::VyxVariant(const VyxVariant& other)
    : m_type(other.m_type), m_bool(other.m_bool), m_int(other.m_int), m_int64(other.m_int64), m_double(other.m_double),
      m_text(other.m_text)
{
}

VyxVariant::VyxVariant(VyxVariant&& other) noexcept
    : m_type(other.m_type), m_bool(other.m_bool), m_int(other.m_int), m_int64(other.m_int64), m_double(other.m_double),
      m_text(std::move(other.m_text))
{
}

VyxVariant::~VyxVariant() = default;

VyxVariant& VyxVariant::operator=(const VyxVariant& other)
{
    if (this != &other) {
        m_type = other.m_type;
        m_bool = other.m_bool;
        m_int = other.m_int;
        m_int64 = other.m_int64;
        m_double = other.m_double;
        m_text = other.m_text;
    }
    return *this;
}

VyxVariant& VyxVariant::operator=(VyxVariant&& other) noexcept
{
    if (this != &other) {
        CString text(std::move(other.m_text)); // the forms are copied without it
        *this = static_cast<const VyxVariant&>(other);
        m_text = std::move(text);
    }
    return *this;
}

VyxVariant& VyxVariant::operator=(int value)
{
    m_type = Int;
    m_bool = value != 0;
    m_int = value;
    m_int64 = value;
    m_double = value;
    m_text.Format(L"%d", value);
    return *this;
}

VyxVariant& VyxVariant::operator=(long long value)
{
    m_type = Int64;
    m_bool = value != 0;
    m_int = WrapInt(value);
    m_int64 = value;
    m_double = static_cast<double>(value);
    m_text.Format(L"%lld", value);
    return *this;
}

VyxVariant& VyxVariant::operator=(double value)
{
    m_type = Double;
    m_bool = value != 0.0; // NaN counts as true
    m_int = DoubleToInt(value);
    m_int64 = DoubleToInt64(value);
    m_double = value;
    m_text.Format(L"%g", value);
    return *this;
}

VyxVariant& VyxVariant::operator=(bool value)
{
    m_type = Bool;
    m_bool = value;
    m_int = value ? 1 : 0;
    m_int64 = m_int;
    m_double = m_int;
    m_text = value ? L"1" : L"";
    return *this;
}

VyxVariant& VyxVariant::operator=(const wchar_t* text)
{
    if (!text)
        text = L"";
    m_type = String;
    m_bool = *text != 0;
    m_int = _wtoi(text);
    m_int64 = _wtoi64(text);
    m_double = _wtof(text);
    m_text = text;
    return *this;
}

const wchar_t* VyxVariant::ToString()
{
    switch (m_type) {
    case Bool:
        m_display = m_bool ? L"(true)" : L"(false)";
        break;
    case String:
        m_display = L"\"" + m_text + L"\"";
        break;
    default:
        m_display = m_text;
        break;
    }
    return m_display;
}

// The message shows the display texts of both operands ("not support: (true)+1").
void VyxVariant::Raise(VyxVariant& right, const Failure& failure, int code)
{
    CString left = ToString();
    ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", failure.line, failure.function), code,
                     failure.format, left, right.ToString());
}

VyxVariant& VyxVariant::operator+(VyxVariant right)
{
    static VyxVariant result;
    if (m_type == Bool || right.m_type == Bool)
        Raise(right, {L"not support: %s+%s", 462, "VyxVariant::operator +"}, -1);
    VyxVariant sum;
    if ((m_type == String || right.m_type == String) && m_text.GetLength() > MaxTextLength - right.m_text.GetLength())
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", __LINE__, "VyxVariant::operator +"), -2,
                         L"text too long: %d + %d characters (at most %d)", m_text.GetLength(),
                         right.m_text.GetLength(), static_cast<int>(MaxTextLength));
    if (m_type == String || right.m_type == String)
        sum = static_cast<const wchar_t*>(m_text + right.m_text);
    else if (m_type == Double || right.m_type == Double)
        sum = m_double + right.m_double;
    else if (m_type == Int64 || right.m_type == Int64)
        sum = Add64(m_int64, right.m_int64);
    else
        sum = WrapInt(static_cast<long long>(m_int) + right.m_int);
    result = sum;
    return result;
}

// Table B: both sides numbers; a Double on either side works on the doubles, then Int64, then Int.
// A zero divisor (by its double value, so NaN passes) is refused after the type check.
template <class DoubleOp, class Int64Op, class IntOp>
VyxVariant& VyxVariant::Arithmetic(VyxVariant& result, VyxVariant& right, const Failure& rejected,
                                   const Failure* zeroDivisor, DoubleOp onDouble, Int64Op onInt64, IntOp onInt)
{
    if (!IsNumber(m_type) || !IsNumber(right.m_type))
        Raise(right, rejected, -1);
    if (zeroDivisor && right.m_double == 0.0)
        Raise(right, *zeroDivisor, -2);
    if (m_type == Double || right.m_type == Double)
        result = onDouble(m_double, right.m_double);
    else if (m_type == Int64 || right.m_type == Int64)
        result = onInt64(m_int64, right.m_int64);
    else
        result = onInt(m_int, right.m_int);
    return result;
}

// Table C: an Int64 on either side works on the int64 values, otherwise an Int on the int values.
template <class Op>
VyxVariant& VyxVariant::Bitwise(VyxVariant& result, VyxVariant& right, const Failure& rejected, Op op)
{
    if (m_type == Int64 || right.m_type == Int64)
        result = static_cast<long long>(op(m_int64, right.m_int64));
    else if (m_type == Int || right.m_type == Int)
        result = static_cast<int>(op(m_int, right.m_int));
    else
        Raise(right, rejected, -1);
    return result;
}

VyxVariant& VyxVariant::operator-(VyxVariant right)
{
    static VyxVariant result;
    return Arithmetic(
        result, right, {L"not support: %s-%s", 496, "VyxVariant::operator -"}, nullptr,
        [](double a, double b) { return a - b; }, [](long long a, long long b) { return Sub64(a, b); },
        [](int a, int b) { return WrapInt(static_cast<long long>(a) - b); });
}

VyxVariant& VyxVariant::operator*(VyxVariant right)
{
    static VyxVariant result;
    return Arithmetic(
        result, right, {L"not support: %s*%s", 559, "VyxVariant::operator *"}, nullptr,
        [](double a, double b) { return a * b; }, [](long long a, long long b) { return Mul64(a, b); },
        [](int a, int b) { return WrapInt(static_cast<long long>(a) * b); });
}

VyxVariant& VyxVariant::operator/(VyxVariant right)
{
    static VyxVariant result;
    static const Failure zero = {L"divide by zero: %s/%s", 530, "VyxVariant::operator /"};
    return Arithmetic(
        result, right, {L"not support: %s/%s", 525, "VyxVariant::operator /"}, &zero,
        [](double a, double b) { return a / b; },
        [](long long a, long long b) { return Quotient<long long>(a, b, LLONG_MIN); },
        [](int a, int b) { return Quotient<int>(a, b, INT_MIN); });
}

VyxVariant& VyxVariant::operator%(VyxVariant right)
{
    static VyxVariant result;
    static const Failure zero = {L"divide by zero: %s%%%s", 593, "VyxVariant::operator %"};
    return Arithmetic(
        result, right, {L"not support: %s%%%s", 588, "VyxVariant::operator %"}, &zero,
        [](double a, double b) { return std::fmod(a, b); },
        [](long long a, long long b) { return Remainder<long long>(a, b); },
        [](int a, int b) { return Remainder<int>(a, b); });
}

VyxVariant& VyxVariant::operator&(VyxVariant right)
{
    static VyxVariant result;
    return Bitwise(result, right, {L"not support: %s&%s", 420, "VyxVariant::operator &"},
                   [](auto a, auto b) { return a & b; });
}

VyxVariant& VyxVariant::operator|(VyxVariant right)
{
    static VyxVariant result;
    return Bitwise(result, right, {L"not support: %s|%s", 395, "VyxVariant::operator |"},
                   [](auto a, auto b) { return a | b; });
}

VyxVariant& VyxVariant::operator^(VyxVariant right)
{
    static VyxVariant result;
    return Bitwise(result, right, {L"not support: %s^%s", 445, "VyxVariant::operator ^"},
                   [](auto a, auto b) { return a ^ b; });
}

VyxVariant& VyxVariant::operator~()
{
    static VyxVariant result;
    if (m_type == Int64) {
        result = static_cast<long long>(~m_int64);
    } else if (m_type == Int) {
        result = ~m_int;
    } else {
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", 701, "VyxVariant::operator ~"), -1,
                         L"not support: ~%s", ToString());
    }
    return result;
}

VyxVariant& VyxVariant::operator!()
{
    static VyxVariant result;
    result = !m_bool;
    return result;
}

VyxVariant& VyxVariant::operator++()
{
    if (m_type == Int)
        operator=(WrapInt(static_cast<long long>(m_int) + 1));
    else if (m_type == Int64)
        operator=(Add64(m_int64, 1));
    else if (m_type == Double)
        operator=(m_double + 1.0);
    else
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", 626, "VyxVariant::operator ++"), -1,
                         L"not support: ++%s", ToString());
    return *this;
}

VyxVariant& VyxVariant::operator--()
{
    if (m_type == Int)
        operator=(WrapInt(static_cast<long long>(m_int) - 1));
    else if (m_type == Int64)
        operator=(Sub64(m_int64, 1));
    else if (m_type == Double)
        operator=(m_double - 1.0);
    else
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", 663, "VyxVariant::operator --"), -1,
                         L"not support: --%s", ToString());
    return *this;
}

VyxVariant& VyxVariant::operator++(int)
{
    static VyxVariant result;
    if (!IsNumber(m_type))
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", 649, "VyxVariant::operator ++"), -1,
                         L"not support: %s++", ToString());
    result = *this;
    operator++();
    return result;
}

VyxVariant& VyxVariant::operator--(int)
{
    static VyxVariant result;
    if (!IsNumber(m_type))
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxVariant", 686, "VyxVariant::operator --"), -1,
                         L"not support: %s--", ToString());
    result = *this;
    operator--();
    return result;
}

// -1, 0, 1 by the first matching form of table D; unordered when a double side is NaN.
int VyxVariant::Compare(const VyxVariant& right, bool& unordered) const
{
    unordered = false;
    if (m_type == Bool || right.m_type == Bool)
        return Order<int>(m_bool, right.m_bool);
    if (m_type == String || right.m_type == String)
        return VyxString::CompareTexts(m_text, right.m_text);
    if (m_type == Double || right.m_type == Double) {
        unordered = std::isnan(m_double) || std::isnan(right.m_double);
        return unordered ? 0 : Order(m_double, right.m_double);
    }
    if (m_type == Int64 || right.m_type == Int64)
        return Order(m_int64, right.m_int64);
    return Order(m_int, right.m_int);
}

bool VyxVariant::operator==(VyxVariant right) const
{
    bool unordered;
    int order = Compare(right, unordered);
    return !unordered && order == 0;
}

bool VyxVariant::operator!=(VyxVariant right) const
{
    return !operator==(right);
}

bool VyxVariant::operator<(VyxVariant right) const
{
    bool unordered;
    int order = Compare(right, unordered);
    return !unordered && order < 0;
}

bool VyxVariant::operator<=(VyxVariant right) const
{
    bool unordered;
    int order = Compare(right, unordered);
    return !unordered && order <= 0;
}

bool VyxVariant::operator>(VyxVariant right) const
{
    bool unordered;
    int order = Compare(right, unordered);
    return !unordered && order > 0;
}

bool VyxVariant::operator>=(VyxVariant right) const
{
    bool unordered;
    int order = Compare(right, unordered);
    return !unordered && order >= 0;
}

namespace {

// Table E: the truth of both sides in the first matching form.
void Truths(const VyxVariant& a, const VyxVariant& b, bool& ta, bool& tb)
{
    VyxVariant::Type x = a.GetType(), y = b.GetType();
    if (x == VyxVariant::Bool || y == VyxVariant::Bool || x == VyxVariant::String || y == VyxVariant::String) {
        ta = a.GetBool();
        tb = b.GetBool();
    } else if (x == VyxVariant::Double || y == VyxVariant::Double) {
        ta = a.GetDouble() != 0.0;
        tb = b.GetDouble() != 0.0;
    } else if (x == VyxVariant::Int64 || y == VyxVariant::Int64) {
        ta = a.GetInt64() != 0;
        tb = b.GetInt64() != 0;
    } else {
        ta = a.GetInt() != 0;
        tb = b.GetInt() != 0;
    }
}

} // namespace

bool VyxVariant::operator&&(VyxVariant right) const
{
    bool a, b;
    Truths(*this, right, a, b);
    return a && b;
}

bool VyxVariant::operator||(VyxVariant right) const
{
    bool a, b;
    Truths(*this, right, a, b);
    return a || b;
}

VyxVariant& VyxVariant::operator+=(VyxVariant right)
{
    return *this = operator+(right);
}

VyxVariant& VyxVariant::operator-=(VyxVariant right)
{
    return *this = operator-(right);
}

VyxVariant& VyxVariant::operator*=(VyxVariant right)
{
    return *this = operator*(right);
}

VyxVariant& VyxVariant::operator/=(VyxVariant right)
{
    return *this = operator/(right);
}

VyxVariant& VyxVariant::operator%=(VyxVariant right)
{
    return *this = operator%(right);
}

VyxVariant& VyxVariant::operator&=(VyxVariant right)
{
    return *this = operator&(right);
}

VyxVariant& VyxVariant::operator|=(VyxVariant right)
{
    return *this = operator|(right);
}

VyxVariant& VyxVariant::operator^=(VyxVariant right)
{
    return *this = operator^(right);
}
