// VyxString: NUL-terminated UTF-16 text on VyxMemoryT<wchar_t>. Growth is exact (length + 1), a
// larger block is reused and never shrunk; a string without a block reads as the empty text.
#pragma once

#include "foundation/VyxMemory.h"

#include <cstdarg>

class VyxString : public VyxMemoryT<wchar_t>
{
public:
    VyxString(); // capacity 32
    VyxString(const VyxString& other);
    VyxString(const wchar_t* text);             // null: no block
    VyxString(const wchar_t* text, int length); // length < 0: up to the terminator
    VyxString(const char* text);                // ANSI code page
    VyxString(wchar_t ch);
    ~VyxString() override;

    using VyxMemoryT<wchar_t>::operator=;
    virtual VyxString& operator=(const VyxString& other);
    virtual VyxString& operator=(const wchar_t* text);
    virtual VyxString& operator=(const char* text);
    virtual VyxString& operator=(wchar_t ch);
    virtual VyxString operator+(wchar_t ch) const;
    virtual VyxString operator+(const wchar_t* text) const;
    virtual VyxString& operator+=(wchar_t ch);
    virtual VyxString& operator+=(const wchar_t* text);
    virtual bool operator!=(const wchar_t* text) const;
    virtual bool operator==(const wchar_t* text) const;
    virtual bool operator<(const wchar_t* text) const;
    virtual bool operator<=(const wchar_t* text) const;
    virtual bool operator>(const wchar_t* text) const;
    virtual bool operator>=(const wchar_t* text) const;
    virtual wchar_t& operator[](int index); // unchecked

    // The text; the empty text for a string without a block (GetData() gives null then).
    operator const wchar_t*() const { return m_data ? m_data : L""; }
    const wchar_t* GetText() const { return m_data ? m_data : L""; }

    VyxString& Assign(const wchar_t* text, int length = -1);
    int GetLength() const;
    bool IsEmpty() const;
    int Compare(const wchar_t* text) const; // -1, 0, 1 by unsigned 16-bit code units
    int CompareNoCase(const wchar_t* text) const;
    int Find(const wchar_t* text, int start = 0) const;
    int FindChar(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    void SetAt(int index, wchar_t ch);
    VyxString& ReplaceChar(wchar_t oldChar, wchar_t newChar);
    VyxString& Append(const wchar_t* text) { return operator+=(text); }
    VyxString& AppendChar(wchar_t ch) { return operator+=(ch); }
    VyxString& TrimLeft(const wchar_t* text = nullptr);
    VyxString& TrimRight(const wchar_t* text = nullptr);
    // In place: changes the string; otherwise a changed copy. Both return the upper-cased text.
    VyxString MakeUpper(bool inPlace);
    VyxString Left(int count) const;
    VyxString Mid(int start, int count = -1) const;
    VyxString& Replace(const wchar_t* find, const wchar_t* with);
    // printf rules through the shared formatting core; capacity afterwards: length + 128.
    template <class... Args> VyxString& Format(const wchar_t* format, const Args&... args)
    {
        return FormatArgs(format, VyxFormatArg(args)...);
    }
    VyxString& FormatArgs(const wchar_t* format, ...);
    VyxString& FormatV(const wchar_t* format, va_list args);

    // Compares two texts by unsigned 16-bit code units; null reads as empty.
    static int CompareTexts(const wchar_t* a, const wchar_t* b);

private:
    void AssignText(const wchar_t* text, int length);
};

const wchar_t* FormatStaticStringArgs(const wchar_t* format, ...);
// Formats into one static string; valid until the next call.
template <class... Args> const wchar_t* FormatStaticString(const wchar_t* format, const Args&... args)
{
    return FormatStaticStringArgs(format, VyxFormatArg(args)...);
}
