// VyxStringArray: the array of VyxString used for lists of names, patterns and lines; ordered by
// code units, split from a delimited text, dumped as ["a", "b"].
#pragma once

#include "foundation/VyxArray.h"

class VyxStringArray : public VyxArrayT<VyxString>
{
public:
    VyxStringArray() = default;
    VyxStringArray(const VyxStringArray& other) = default;
    // Splits text into fields (quotes and escapes honoured by the field parser).
    VyxStringArray(const wchar_t* text, wchar_t separator);
    ~VyxStringArray() override;
    VyxStringArray& operator=(const VyxStringArray& other);

    int CompareElements(const VyxString& a, const VyxString& b) const override;
    const VyxString* KeyOf(const VyxString& element) const override;
    const VyxString* ElementFromText(const wchar_t* text) override;
    // "[" then each element between double quotes (unescaped) joined by ", ", then "]".
    const wchar_t* ToText() override;

    void Copy(const VyxArrayT<VyxString>& source);
    void CopyFrom(const CStringArray& source);
    void Append(const VyxArrayT<VyxString>& source);
    int Find(const wchar_t* text) const; // -1 when none

private:
    VyxString m_dump;
};
