// Lists of dynamic values: VyxVariantArray compares, keys, parses and prints its elements;
// VyxVariantStack is the calculator's evaluation stack (top at index count - 1).
#pragma once

#include "foundation/VyxArray.h"
#include "script/VyxVariant.h"

class VyxVariantArray : public VyxArrayT<VyxVariant>
{
public:
    VyxVariantArray() = default;
    VyxVariantArray(const VyxVariantArray& other) : VyxArrayT<VyxVariant>(other) {}
    VyxVariantArray& operator=(const VyxVariantArray& other)
    {
        VyxArrayT<VyxVariant>::operator=(other);
        return *this;
    }
    ~VyxVariantArray() override;

    // 0 equal, -1 a < b, otherwise 1 (the value comparisons).
    int CompareElements(const VyxVariant& a, const VyxVariant& b) const override;
    // The element's text in a static string: valid until the next call.
    const VyxString* KeyOf(const VyxVariant& element) const override;
    // A number text becomes an Int or (with ".") a Double, written again in its own format
    // ("1.50" -> 1.5); any other text a String. Static result: valid until the next call.
    const VyxVariant* ElementFromText(const wchar_t* text) override;
    // [1, "a", (true)]
    const wchar_t* ToText() override;
    // The elements' own texts (no quotes) joined with the separator: "0.25,1,2".
    CString Join(const wchar_t* separator) const;

private:
    CString m_dump;
};

class VyxVariantStack : public VyxVariantArray
{
public:
    void Push(const VyxVariant& value) { AddGrowing(value); }
    // The vacated slot, which still holds the value until the next push; an empty stack raises
    // -3 "illegal stack index:".
    VyxVariant* Pop();
    // The top element, left on the stack.
    VyxVariant* Tail() const;
};
