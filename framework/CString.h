// The framework's strings: CStringW (CString, the Unicode build's string) and CStringA. Text of the
// other width converts through the ANSI code page; Format goes through the one formatting core.
#pragma once

#include "framework/CException.h"
#include "framework/FormatCore.h"

template <typename T> class CStringT;

namespace afx_detail {

// What a Format argument becomes on its way into the C variadic core: the framework's strings
// (and classes derived from them) as their text pointers, plain values as they are.
template <typename U> decltype(auto) FormatArg(const U& value)
{
    if constexpr (std::is_base_of<CStringT<wchar_t>, U>::value) {
        return static_cast<const wchar_t*>(value.GetString());
    } else if constexpr (std::is_base_of<CStringT<char>, U>::value) {
        return static_cast<const char*>(value.GetString());
    } else {
        static_assert(!std::is_class<U>::value, "Format takes only numbers, characters, pointers and strings");
        return (value);
    }
}

template <typename T> struct OtherChar;
template <> struct OtherChar<wchar_t>
{
    using type = char;
};
template <> struct OtherChar<char>
{
    using type = wchar_t;
};

} // namespace afx_detail

template <typename T> class CStringT
{
public:
    using XCHAR = T;
    using PXSTR = T*;
    using PCXSTR = const T*;
    using YCHAR = typename afx_detail::OtherChar<T>::type;
    using PCYSTR = const YCHAR*;

    CStringT() noexcept;
    CStringT(const CStringT& src);
    CStringT(CStringT&& src) noexcept;
    // A pointer made with MAKEINTRESOURCE loads that string resource, as the framework allows.
    CStringT(PCXSTR psz);
    CStringT(PCYSTR psz);
    CStringT(PCXSTR pch, int nLength);
    CStringT(PCYSTR pch, int nLength);
    CStringT(const CStringT<YCHAR>& src);
    explicit CStringT(XCHAR ch, int nRepeat = 1);
    ~CStringT();

    CStringT& operator=(const CStringT& src);
    CStringT& operator=(CStringT&& src) noexcept;
    CStringT& operator=(PCXSTR psz);
    CStringT& operator=(PCYSTR psz);
    CStringT& operator=(const CStringT<YCHAR>& src);
    CStringT& operator=(XCHAR ch);

    CStringT& operator+=(const CStringT& src);
    CStringT& operator+=(PCXSTR psz);
    CStringT& operator+=(PCYSTR psz);
    CStringT& operator+=(XCHAR ch);

    int GetLength() const { return Header()->nDataLength; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();
    PCXSTR GetString() const { return m_pszData; }
    operator PCXSTR() const { return m_pszData; }

    XCHAR GetAt(int iChar) const;
    void SetAt(int iChar, XCHAR ch);
    // A template so that an unsigned index does not compete with the built-in pointer subscript.
    template <typename I, typename = std::enable_if_t<std::is_integral<I>::value>> XCHAR operator[](I iChar) const
    {
        return GetAt(static_cast<int>(iChar));
    }

    // Out-buffers: room for nMinBufLength characters and the terminator. ReleaseBuffer(-1)
    // measures up to the first NUL (never past the buffer); another value sets the length.
    PXSTR GetBuffer();
    PXSTR GetBuffer(int nMinBufLength);
    PXSTR GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);
    void ReleaseBufferSetLength(int nNewLength);
    void Preallocate(int nLength);
    void FreeExtra();
    int GetAllocLength() const { return Header()->nAllocLength; }
    void Truncate(int nNewLength);

    void SetString(PCXSTR psz);
    void SetString(PCXSTR pch, int nLength);
    void Append(PCXSTR psz);
    void Append(PCXSTR pch, int nLength);
    void Append(const CStringT& str) { Append(str.m_pszData, str.GetLength()); }
    void AppendChar(XCHAR ch);

    int Compare(PCXSTR psz) const;
    int CompareNoCase(PCXSTR psz) const;
    int Collate(PCXSTR psz) const;
    int CollateNoCase(PCXSTR psz) const;

    CStringT Mid(int iFirst) const;
    CStringT Mid(int iFirst, int nCount) const;
    CStringT Left(int nCount) const;
    CStringT Right(int nCount) const;
    CStringT SpanIncluding(PCXSTR pszCharSet) const;
    CStringT SpanExcluding(PCXSTR pszCharSet) const;

    CStringT& MakeUpper();
    CStringT& MakeLower();
    CStringT& MakeReverse();

    // Without an argument these remove white space (iswspace/isspace).
    CStringT& Trim();
    CStringT& Trim(XCHAR chTarget);
    CStringT& Trim(PCXSTR pszTargets);
    CStringT& TrimLeft();
    CStringT& TrimLeft(XCHAR chTarget);
    CStringT& TrimLeft(PCXSTR pszTargets);
    CStringT& TrimRight();
    CStringT& TrimRight(XCHAR chTarget);
    CStringT& TrimRight(PCXSTR pszTargets);

    // Each returns the new length (Insert, Delete) or the number of replacements/removals.
    int Insert(int iIndex, XCHAR ch);
    int Insert(int iIndex, PCXSTR psz);
    int Delete(int iIndex, int nCount = 1);
    int Replace(XCHAR chOld, XCHAR chNew);
    int Replace(PCXSTR pszOld, PCXSTR pszNew);
    int Remove(XCHAR chRemove);

    // -1 when not found or when iStart lies past the end.
    int Find(XCHAR ch, int iStart = 0) const;
    int Find(PCXSTR pszSub, int iStart = 0) const;
    int FindOneOf(PCXSTR pszCharSet) const;
    int ReverseFind(XCHAR ch) const;
    // The next token after iStart; iStart becomes -1 when no token is left.
    CStringT Tokenize(PCXSTR pszTokens, int& iStart) const;

    template <typename... Args> void Format(PCXSTR pszFormat, const Args&... args)
    {
        FormatArgs(FALSE, pszFormat, afx_detail::FormatArg(args)...);
    }
    template <typename... Args> void Format(UINT nFormatID, const Args&... args)
    {
        CStringT format;
        format.LoadString(nFormatID);
        FormatArgs(FALSE, format.GetString(), afx_detail::FormatArg(args)...);
    }
    template <typename... Args> void AppendFormat(PCXSTR pszFormat, const Args&... args)
    {
        FormatArgs(TRUE, pszFormat, afx_detail::FormatArg(args)...);
    }
    void FormatV(PCXSTR pszFormat, va_list args);
    void AppendFormatV(PCXSTR pszFormat, va_list args);

    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    // Hidden friends: found for any argument convertible to the string.
    friend CStringT operator+(const CStringT& a, const CStringT& b)
    {
        return Concat(a, a.GetLength(), b, b.GetLength());
    }
    friend CStringT operator+(const CStringT& a, PCXSTR b) { return Concat(a, a.GetLength(), b, SafeLength(b)); }
    friend CStringT operator+(PCXSTR a, const CStringT& b) { return Concat(a, SafeLength(a), b, b.GetLength()); }
    friend CStringT operator+(const CStringT& a, XCHAR b) { return Concat(a, a.GetLength(), &b, 1); }
    friend CStringT operator+(XCHAR a, const CStringT& b) { return Concat(&a, 1, b, b.GetLength()); }

    friend bool operator==(const CStringT& a, const CStringT& b)
    {
        return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
    }
    friend bool operator==(const CStringT& a, PCXSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(PCXSTR a, const CStringT& b) { return b.Compare(a) == 0; }
    friend bool operator==(const CStringT& a, XCHAR b) { return a.GetLength() == 1 && a.m_pszData[0] == b; }
    friend bool operator==(XCHAR a, const CStringT& b) { return b == a; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, PCXSTR b) { return !(a == b); }
    friend bool operator!=(PCXSTR a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, XCHAR b) { return !(a == b); }
    friend bool operator!=(XCHAR a, const CStringT& b) { return !(a == b); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CStringT& a, PCXSTR b) { return a.Compare(b) < 0; }
    friend bool operator<(PCXSTR a, const CStringT& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
    friend bool operator>(const CStringT& a, PCXSTR b) { return a.Compare(b) > 0; }
    friend bool operator>(PCXSTR a, const CStringT& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const CStringT& a, const CStringT& b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const CStringT& a, PCXSTR b) { return a.Compare(b) <= 0; }
    friend bool operator<=(PCXSTR a, const CStringT& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const CStringT& a, const CStringT& b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const CStringT& a, PCXSTR b) { return a.Compare(b) >= 0; }
    friend bool operator>=(PCXSTR a, const CStringT& b) { return b.Compare(a) <= 0; }

private:
    struct Data
    {
        int nDataLength;
        int nAllocLength;
    };

    Data* Header() const { return reinterpret_cast<Data*>(m_pszData) - 1; }
    bool IsNil() const;
    // Makes room for nLength characters (plus the terminator), keeping the text; growth is
    // geometric when bGrow is set.
    void Reserve(int nLength, bool bGrow);
    void SetLength(int nLength);
    void AssignConverted(PCYSTR psz, int nLength);
    void FormatArgs(BOOL bAppend, PCXSTR pszFormat, ...);
    static int SafeLength(PCXSTR psz);
    static CStringT Concat(PCXSTR a, int nA, PCXSTR b, int nB);

    PXSTR m_pszData;
};

using CStringW = CStringT<wchar_t>;
using CStringA = CStringT<char>;
using CString = CStringW;

extern template class CStringT<wchar_t>;
extern template class CStringT<char>;

// The iSubString-th field of lpszFullString split at chSep; FALSE (and an empty string) when the
// text has fewer fields.
BOOL AFXAPI AfxExtractSubString(CString& rString, LPCWSTR lpszFullString, int iSubString, wchar_t chSep = L'\n');
