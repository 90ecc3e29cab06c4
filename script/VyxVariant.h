// VyxVariant: the dynamic value of the expression and script engines. Every form (bool, int,
// int64, double, text) is filled whenever the value is set, so reading never converts.
// Arithmetic operators return their own static result object: copy it before the same
// operator runs again.
#pragma once

#include "framework/Framework.h"

#include <string>

class VyxVariant
{
public:
    enum Type { Empty = 0, Bool = 1, Int = 2, Int64 = 3, Double = 4, String = 5 };
    // A text that addition would make longer is refused (code -2): a script doubling a text in a
    // loop would otherwise take the whole address space.
    enum { MaxTextLength = 1 << 20 };

    VyxVariant();
    VyxVariant(int value);
    VyxVariant(long long value);
    VyxVariant(double value);
    VyxVariant(bool value);
    VyxVariant(const wchar_t* text);
    VyxVariant(const char*) = delete; // would silently become a Bool
    VyxVariant(const VyxVariant& other);
    // The text moves with the value (a growing array moves its elements).
    VyxVariant(VyxVariant&& other) noexcept;
    virtual ~VyxVariant();

    VyxVariant& operator=(const VyxVariant& other);
    VyxVariant& operator=(VyxVariant&& other) noexcept;
    VyxVariant& operator=(int value);
    VyxVariant& operator=(long long value);
    VyxVariant& operator=(double value);
    VyxVariant& operator=(bool value);
    VyxVariant& operator=(const wchar_t* text);

    Type GetType() const { return m_type; }
    bool GetBool() const { return m_bool; }
    int GetInt() const { return m_int; }
    long long GetInt64() const { return m_int64; }
    double GetDouble() const { return m_double; }
    const wchar_t* GetString() const { return m_text; }

    // The display text: "(true)"/"(false)", a String in double quotes, other types their text.
    virtual const wchar_t* ToString();

    VyxVariant& operator+(VyxVariant right);
    VyxVariant& operator-(VyxVariant right);
    VyxVariant& operator*(VyxVariant right);
    VyxVariant& operator/(VyxVariant right);
    VyxVariant& operator%(VyxVariant right);
    VyxVariant& operator&(VyxVariant right);
    VyxVariant& operator|(VyxVariant right);
    VyxVariant& operator^(VyxVariant right);
    VyxVariant& operator~();
    VyxVariant& operator!();
    VyxVariant& operator++(); // the operand itself
    VyxVariant& operator--();
    VyxVariant& operator++(int); // a copy of the old value
    VyxVariant& operator--(int);
    bool operator==(VyxVariant right) const;
    bool operator!=(VyxVariant right) const;
    bool operator<(VyxVariant right) const;
    bool operator<=(VyxVariant right) const;
    bool operator>(VyxVariant right) const;
    bool operator>=(VyxVariant right) const;
    bool operator&&(VyxVariant right) const;
    bool operator||(VyxVariant right) const;
    VyxVariant& operator+=(VyxVariant right);
    VyxVariant& operator-=(VyxVariant right);
    VyxVariant& operator*=(VyxVariant right);
    VyxVariant& operator/=(VyxVariant right);
    VyxVariant& operator%=(VyxVariant right);
    VyxVariant& operator&=(VyxVariant right);
    VyxVariant& operator|=(VyxVariant right);
    VyxVariant& operator^=(VyxVariant right);

    // For the function texts of raise sites in the containers ("VyxArrayT<class VyxVariant>::GetAt").
    static std::string VyxTypeName() { return "class VyxVariant"; }

private:
    struct Failure
    {
        const wchar_t* format;
        int line;
        const char* function;
    };

    int Compare(const VyxVariant& right, bool& unordered) const;
    [[noreturn]] void Raise(VyxVariant& right, const Failure& failure, int code);
    template <class DoubleOp, class Int64Op, class IntOp>
    VyxVariant& Arithmetic(VyxVariant& result, VyxVariant& right, const Failure& rejected, const Failure* zeroDivisor,
                           DoubleOp onDouble, Int64Op onInt64, IntOp onInt);
    template <class Op> VyxVariant& Bitwise(VyxVariant& result, VyxVariant& right, const Failure& rejected, Op op);

    Type m_type = Empty;
    bool m_bool = false;
    int m_int = 0;
    long long m_int64 = 0;
    double m_double = 0.0;
    CString m_text;
    CString m_display; // written by ToString only
};
