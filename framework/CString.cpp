#include "framework/CString.h"
#include "framework/ModuleState.h"

#include <climits>
#include <cwctype>

namespace {

// The character-width specific pieces; everything else is shared.
template <typename T> struct Traits;

template <> struct Traits<wchar_t>
{
    static int Length(const wchar_t* p) { return static_cast<int>(wcslen(p)); }
    static int BoundedLength(const wchar_t* p, int max) { return static_cast<int>(wcsnlen(p, max)); }
    static int Compare(const wchar_t* a, const wchar_t* b) { return wcscmp(a, b); }
    static int CompareNoCase(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b); }
    static int Collate(const wchar_t* a, const wchar_t* b) { return wcscoll(a, b); }
    static int CollateNoCase(const wchar_t* a, const wchar_t* b) { return _wcsicoll(a, b); }
    static void Upper(wchar_t* p, int n) { CharUpperBuffW(p, n); }
    static void Lower(wchar_t* p, int n) { CharLowerBuffW(p, n); }
    static bool IsSpace(wchar_t c) { return iswspace(c) != 0; }
    static int CharSize(const wchar_t*, int) { return 1; }
    // Characters of the other width, converted through the ANSI code page.
    static int Convert(const char* src, int n, wchar_t* dst, int dstLen)
    {
        return MultiByteToWideChar(CP_ACP, 0, src, n, dst, dstLen);
    }
    static int ConvertResource(const wchar_t* src, int n, wchar_t* dst, int dstLen)
    {
        if (dst)
            wmemcpy(dst, src, n);
        (void)dstLen;
        return n;
    }
};

template <> struct Traits<char>
{
    static int Length(const char* p) { return static_cast<int>(strlen(p)); }
    static int BoundedLength(const char* p, int max) { return static_cast<int>(strnlen(p, max)); }
    static int Compare(const char* a, const char* b) { return strcmp(a, b); }
    static int CompareNoCase(const char* a, const char* b) { return _stricmp(a, b); }
    static int Collate(const char* a, const char* b) { return strcoll(a, b); }
    static int CollateNoCase(const char* a, const char* b) { return _stricoll(a, b); }
    static void Upper(char* p, int n) { CharUpperBuffA(p, n); }
    static void Lower(char* p, int n) { CharLowerBuffA(p, n); }
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    // Searches step over double-byte characters so a trail byte never matches on its own.
    static int CharSize(const char* p, int remaining)
    {
        return remaining > 1 && IsDBCSLeadByte(static_cast<BYTE>(*p)) ? 2 : 1;
    }
    static int Convert(const wchar_t* src, int n, char* dst, int dstLen)
    {
        return WideCharToMultiByte(CP_ACP, 0, src, n, dst, dstLen, nullptr, nullptr);
    }
    static int ConvertResource(const wchar_t* src, int n, char* dst, int dstLen)
    {
        return Convert(src, n, dst, dstLen);
    }
};

template <typename T> bool Contains(const T* set, T c)
{
    if (!set)
        return false;
    for (; *set; ++set)
        if (*set == c)
            return true;
    return false;
}

// A string resource: the block of sixteen that holds nID, walked to its entry.
bool FindStringResource(HINSTANCE instance, UINT nID, const wchar_t** text, int* length)
{
    HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(nID / 16 + 1), MAKEINTRESOURCEW(6));
    if (!info)
        return false;
    HGLOBAL block = LoadResource(instance, info);
    const auto* p = block ? static_cast<const WORD*>(LockResource(block)) : nullptr;
    if (!p)
        return false;
    const WORD* end = p + SizeofResource(instance, info) / sizeof(WORD);
    for (UINT i = 0; i < nID % 16; ++i) {
        if (p >= end)
            return false;
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return false;
    *length = *p;
    *text = reinterpret_cast<const wchar_t*>(p + 1);
    return true;
}

} // namespace

template <typename T> struct NilString
{
    int nDataLength;
    int nAllocLength;
    T ch[2];
};

// The shared empty string: never written (every writer allocates first).
static NilString<wchar_t> s_nilW = {0, 0, {0, 0}};
static NilString<char> s_nilA = {0, 0, {0, 0}};

template <typename T> static T* NilData();
template <> wchar_t* NilData<wchar_t>()
{
    return s_nilW.ch;
}
template <> char* NilData<char>()
{
    return s_nilA.ch;
}

template <typename T> bool CStringT<T>::IsNil() const
{
    return m_pszData == NilData<T>();
}

template <typename T> CStringT<T>::CStringT() noexcept : m_pszData(NilData<T>()) {}

template <typename T> CStringT<T>::CStringT(const CStringT& src) : m_pszData(NilData<T>())
{
    SetString(src.m_pszData, src.GetLength());
}

template <typename T> CStringT<T>::CStringT(CStringT&& src) noexcept : m_pszData(src.m_pszData)
{
    src.m_pszData = NilData<T>();
}

template <typename T> CStringT<T>::CStringT(PCXSTR psz) : m_pszData(NilData<T>())
{
    if (psz && IS_INTRESOURCE(psz))
        LoadString(static_cast<UINT>(reinterpret_cast<UINT_PTR>(psz)));
    else
        SetString(psz);
}

template <typename T> CStringT<T>::CStringT(PCYSTR psz) : m_pszData(NilData<T>())
{
    if (psz && IS_INTRESOURCE(psz))
        LoadString(static_cast<UINT>(reinterpret_cast<UINT_PTR>(psz)));
    else if (psz)
        AssignConverted(psz, Traits<YCHAR>::Length(psz));
}

template <typename T> CStringT<T>::CStringT(PCXSTR pch, int nLength) : m_pszData(NilData<T>())
{
    SetString(pch, nLength);
}

template <typename T> CStringT<T>::CStringT(PCYSTR pch, int nLength) : m_pszData(NilData<T>())
{
    if (pch)
        AssignConverted(pch, nLength);
}

template <typename T> CStringT<T>::CStringT(const CStringT<YCHAR>& src) : m_pszData(NilData<T>())
{
    AssignConverted(src.GetString(), src.GetLength());
}

template <typename T> CStringT<T>::CStringT(XCHAR ch, int nRepeat) : m_pszData(NilData<T>())
{
    if (nRepeat > 0) {
        Reserve(nRepeat, false);
        for (int i = 0; i < nRepeat; ++i)
            m_pszData[i] = ch;
        SetLength(nRepeat);
    }
}

template <typename T> CStringT<T>::~CStringT()
{
    if (!IsNil())
        free(Header());
}

template <typename T> CStringT<T>& CStringT<T>::operator=(const CStringT& src)
{
    if (this != &src)
        SetString(src.m_pszData, src.GetLength());
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(CStringT&& src) noexcept
{
    if (this != &src) {
        if (!IsNil())
            free(Header());
        m_pszData = src.m_pszData;
        src.m_pszData = NilData<T>();
    }
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(PCXSTR psz)
{
    SetString(psz);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(PCYSTR psz)
{
    AssignConverted(psz, psz ? Traits<YCHAR>::Length(psz) : 0);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(const CStringT<YCHAR>& src)
{
    AssignConverted(src.GetString(), src.GetLength());
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator=(XCHAR ch)
{
    SetString(&ch, 1);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(const CStringT& src)
{
    Append(src.m_pszData, src.GetLength());
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(PCXSTR psz)
{
    Append(psz);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(PCYSTR psz)
{
    Append(CStringT(psz));
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::operator+=(XCHAR ch)
{
    AppendChar(ch);
    return *this;
}

template <typename T> void CStringT<T>::Empty()
{
    if (!IsNil()) {
        free(Header());
        m_pszData = NilData<T>();
    }
}

template <typename T> T CStringT<T>::GetAt(int iChar) const
{
    if (iChar < 0 || iChar > GetLength())
        AfxThrowInvalidArgException();
    return m_pszData[iChar];
}

template <typename T> void CStringT<T>::SetAt(int iChar, XCHAR ch)
{
    if (iChar < 0 || iChar >= GetLength())
        AfxThrowInvalidArgException();
    m_pszData[iChar] = ch;
}

template <typename T> void CStringT<T>::Reserve(int nLength, bool bGrow)
{
    constexpr int kMaxLength = static_cast<int>((INT_MAX - sizeof(Data)) / sizeof(T)) - 16;
    if (nLength < 0 || nLength > kMaxLength)
        AfxThrowMemoryException();
    if (!IsNil() && nLength <= Header()->nAllocLength)
        return;
    int nAlloc = nLength;
    if (bGrow && !IsNil()) {
        int current = Header()->nAllocLength;
        int grown = current < kMaxLength / 2 ? current + current / 2 : kMaxLength;
        if (grown > nAlloc)
            nAlloc = grown;
    }
    if (nAlloc < kMaxLength - 8)
        nAlloc = (nAlloc + 8) & ~7; // whole 8-character steps leave room for the terminator
    size_t bytes = sizeof(Data) + (static_cast<size_t>(nAlloc) + 1) * sizeof(T);
    bool wasNil = IsNil();
    auto* header = static_cast<Data*>(wasNil ? malloc(bytes) : realloc(Header(), bytes));
    if (!header)
        AfxThrowMemoryException();
    if (wasNil) {
        header->nDataLength = 0;
        reinterpret_cast<T*>(header + 1)[0] = 0;
    }
    header->nAllocLength = nAlloc;
    m_pszData = reinterpret_cast<T*>(header + 1);
}

template <typename T> void CStringT<T>::SetLength(int nLength)
{
    if (IsNil())
        return;
    Header()->nDataLength = nLength;
    m_pszData[nLength] = 0;
}

template <typename T> void CStringT<T>::AssignConverted(PCYSTR psz, int nLength)
{
    if (!psz || nLength <= 0) {
        Empty();
        return;
    }
    int n = Traits<T>::Convert(psz, nLength, nullptr, 0);
    Reserve(n, false);
    Traits<T>::Convert(psz, nLength, m_pszData, n);
    SetLength(n);
}

template <typename T> T* CStringT<T>::GetBuffer()
{
    return GetBuffer(GetLength());
}

template <typename T> T* CStringT<T>::GetBuffer(int nMinBufLength)
{
    Reserve(nMinBufLength > GetLength() ? nMinBufLength : GetLength(), false);
    return m_pszData;
}

template <typename T> T* CStringT<T>::GetBufferSetLength(int nLength)
{
    if (nLength < 0)
        AfxThrowInvalidArgException();
    GetBuffer(nLength);
    SetLength(nLength);
    return m_pszData;
}

template <typename T> void CStringT<T>::ReleaseBuffer(int nNewLength)
{
    if (IsNil())
        return;
    int alloc = Header()->nAllocLength;
    if (nNewLength < 0)
        nNewLength = Traits<T>::BoundedLength(m_pszData, alloc);
    else if (nNewLength > alloc)
        nNewLength = alloc;
    SetLength(nNewLength);
}

template <typename T> void CStringT<T>::ReleaseBufferSetLength(int nNewLength)
{
    ReleaseBuffer(nNewLength < 0 ? 0 : nNewLength);
}

template <typename T> void CStringT<T>::Preallocate(int nLength)
{
    Reserve(nLength > GetLength() ? nLength : GetLength(), false);
}

template <typename T> void CStringT<T>::FreeExtra()
{
    if (IsNil())
        return;
    if (GetLength() == 0) {
        Empty();
        return;
    }
    CStringT copy(m_pszData, GetLength());
    *this = std::move(copy);
}

template <typename T> void CStringT<T>::Truncate(int nNewLength)
{
    if (nNewLength < 0 || nNewLength > GetLength())
        AfxThrowInvalidArgException();
    SetLength(nNewLength);
}

template <typename T> int CStringT<T>::SafeLength(PCXSTR psz)
{
    return psz ? Traits<T>::Length(psz) : 0;
}

template <typename T> void CStringT<T>::SetString(PCXSTR psz)
{
    SetString(psz, SafeLength(psz));
}

template <typename T> void CStringT<T>::SetString(PCXSTR pch, int nLength)
{
    if (!pch || nLength <= 0) {
        if (!IsNil())
            SetLength(0);
        return;
    }
    // The source may lie inside this string's own buffer.
    ptrdiff_t offset = pch - m_pszData;
    bool inside = !IsNil() && offset >= 0 && offset <= Header()->nAllocLength;
    Reserve(nLength, false);
    if (inside)
        pch = m_pszData + offset;
    memmove(m_pszData, pch, nLength * sizeof(T));
    SetLength(nLength);
}

template <typename T> void CStringT<T>::Append(PCXSTR psz)
{
    Append(psz, SafeLength(psz));
}

template <typename T> void CStringT<T>::Append(PCXSTR pch, int nLength)
{
    if (!pch || nLength <= 0)
        return;
    int old = GetLength();
    if (nLength > INT_MAX - old)
        AfxThrowMemoryException();
    ptrdiff_t offset = pch - m_pszData;
    bool inside = !IsNil() && offset >= 0 && offset <= Header()->nAllocLength;
    Reserve(old + nLength, true);
    if (inside)
        pch = m_pszData + offset;
    memmove(m_pszData + old, pch, nLength * sizeof(T));
    SetLength(old + nLength);
}

template <typename T> void CStringT<T>::AppendChar(XCHAR ch)
{
    Append(&ch, 1);
}

template <typename T> CStringT<T> CStringT<T>::Concat(PCXSTR a, int nA, PCXSTR b, int nB)
{
    CStringT result;
    result.Reserve(nA + nB, false);
    result.Append(a, nA);
    result.Append(b, nB);
    return result;
}

template <typename T> int CStringT<T>::Compare(PCXSTR psz) const
{
    static const T kEmpty[1] = {0};
    return Traits<T>::Compare(m_pszData, psz ? psz : kEmpty);
}

template <typename T> int CStringT<T>::CompareNoCase(PCXSTR psz) const
{
    static const T kEmpty[1] = {0};
    return Traits<T>::CompareNoCase(m_pszData, psz ? psz : kEmpty);
}

template <typename T> int CStringT<T>::Collate(PCXSTR psz) const
{
    static const T kEmpty[1] = {0};
    return Traits<T>::Collate(m_pszData, psz ? psz : kEmpty);
}

template <typename T> int CStringT<T>::CollateNoCase(PCXSTR psz) const
{
    static const T kEmpty[1] = {0};
    return Traits<T>::CollateNoCase(m_pszData, psz ? psz : kEmpty);
}

template <typename T> CStringT<T> CStringT<T>::Mid(int iFirst) const
{
    return Mid(iFirst, INT_MAX);
}

template <typename T> CStringT<T> CStringT<T>::Mid(int iFirst, int nCount) const
{
    int length = GetLength();
    if (iFirst < 0)
        iFirst = 0;
    if (nCount < 0 || iFirst >= length)
        return CStringT();
    if (nCount > length - iFirst)
        nCount = length - iFirst;
    return CStringT(m_pszData + iFirst, nCount);
}

template <typename T> CStringT<T> CStringT<T>::Left(int nCount) const
{
    return Mid(0, nCount);
}

template <typename T> CStringT<T> CStringT<T>::Right(int nCount) const
{
    int length = GetLength();
    if (nCount <= 0)
        return CStringT();
    if (nCount >= length)
        return *this;
    return CStringT(m_pszData + length - nCount, nCount);
}

template <typename T> CStringT<T> CStringT<T>::SpanIncluding(PCXSTR pszCharSet) const
{
    int i = 0;
    while (i < GetLength() && Contains(pszCharSet, m_pszData[i]))
        ++i;
    return Left(i);
}

template <typename T> CStringT<T> CStringT<T>::SpanExcluding(PCXSTR pszCharSet) const
{
    int i = 0, length = GetLength();
    while (i < length && !Contains(pszCharSet, m_pszData[i]))
        i += Traits<T>::CharSize(m_pszData + i, length - i);
    return Left(i);
}

template <typename T> CStringT<T>& CStringT<T>::MakeUpper()
{
    if (GetLength() > 0)
        Traits<T>::Upper(m_pszData, GetLength());
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::MakeLower()
{
    if (GetLength() > 0)
        Traits<T>::Lower(m_pszData, GetLength());
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::MakeReverse()
{
    int length = GetLength();
    if (length < 2)
        return *this;
    CStringT reversed;
    reversed.Reserve(length, false);
    int out = length;
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        out -= size;
        memcpy(reversed.m_pszData + out, m_pszData + i, size * sizeof(T));
        i += size;
    }
    reversed.SetLength(length);
    *this = std::move(reversed);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::Trim()
{
    return TrimRight().TrimLeft();
}

template <typename T> CStringT<T>& CStringT<T>::Trim(XCHAR chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

template <typename T> CStringT<T>& CStringT<T>::Trim(PCXSTR pszTargets)
{
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

template <typename T> CStringT<T>& CStringT<T>::TrimLeft()
{
    int i = 0;
    while (i < GetLength() && Traits<T>::IsSpace(m_pszData[i]))
        ++i;
    Delete(0, i);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimLeft(XCHAR chTarget)
{
    const T set[2] = {chTarget, 0};
    return TrimLeft(set);
}

template <typename T> CStringT<T>& CStringT<T>::TrimLeft(PCXSTR pszTargets)
{
    int i = 0;
    while (i < GetLength() && Contains(pszTargets, m_pszData[i]))
        ++i;
    Delete(0, i);
    return *this;
}

// Right trims walk forward so that a trail byte is never taken for a character of its own.
template <typename T> CStringT<T>& CStringT<T>::TrimRight()
{
    int length = GetLength(), keep = 0;
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        if (size > 1 || !Traits<T>::IsSpace(m_pszData[i]))
            keep = i + size;
        i += size;
    }
    if (keep < length)
        SetLength(keep);
    return *this;
}

template <typename T> CStringT<T>& CStringT<T>::TrimRight(XCHAR chTarget)
{
    const T set[2] = {chTarget, 0};
    return TrimRight(set);
}

template <typename T> CStringT<T>& CStringT<T>::TrimRight(PCXSTR pszTargets)
{
    int length = GetLength(), keep = 0;
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        if (size > 1 || !Contains(pszTargets, m_pszData[i]))
            keep = i + size;
        i += size;
    }
    if (keep < length)
        SetLength(keep);
    return *this;
}

template <typename T> int CStringT<T>::Insert(int iIndex, XCHAR ch)
{
    return Insert(iIndex, CStringT(ch, 1).GetString());
}

template <typename T> int CStringT<T>::Insert(int iIndex, PCXSTR psz)
{
    int length = GetLength();
    if (iIndex < 0)
        iIndex = 0;
    if (iIndex > length)
        iIndex = length;
    CStringT inserted(psz); // a copy: psz may point into this string
    int n = inserted.GetLength();
    if (n == 0)
        return length;
    if (n > INT_MAX - length)
        AfxThrowMemoryException();
    Reserve(length + n, true);
    memmove(m_pszData + iIndex + n, m_pszData + iIndex, (length - iIndex) * sizeof(T));
    memcpy(m_pszData + iIndex, inserted.m_pszData, n * sizeof(T));
    SetLength(length + n);
    return length + n;
}

template <typename T> int CStringT<T>::Delete(int iIndex, int nCount)
{
    int length = GetLength();
    if (iIndex < 0)
        iIndex = 0;
    if (nCount <= 0 || iIndex >= length)
        return length;
    if (nCount > length - iIndex)
        nCount = length - iIndex;
    memmove(m_pszData + iIndex, m_pszData + iIndex + nCount, (length - iIndex - nCount) * sizeof(T));
    SetLength(length - nCount);
    return length - nCount;
}

template <typename T> int CStringT<T>::Replace(XCHAR chOld, XCHAR chNew)
{
    if (chOld == chNew)
        return 0;
    int count = 0, length = GetLength();
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        if (size == 1 && m_pszData[i] == chOld) {
            m_pszData[i] = chNew;
            ++count;
        }
        i += size;
    }
    return count;
}

template <typename T> int CStringT<T>::Replace(PCXSTR pszOld, PCXSTR pszNew)
{
    int oldLength = SafeLength(pszOld);
    if (oldLength == 0)
        return 0;
    int newLength = SafeLength(pszNew);
    int length = GetLength(), count = 0;
    CStringT result;
    for (int i = 0; i < length;) {
        if (length - i >= oldLength && memcmp(m_pszData + i, pszOld, oldLength * sizeof(T)) == 0) {
            result.Append(pszNew, newLength);
            i += oldLength;
            ++count;
        } else {
            int size = Traits<T>::CharSize(m_pszData + i, length - i);
            result.Append(m_pszData + i, size);
            i += size;
        }
    }
    if (count > 0)
        *this = std::move(result);
    return count;
}

template <typename T> int CStringT<T>::Remove(XCHAR chRemove)
{
    int length = GetLength(), out = 0;
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        if (size > 1 || m_pszData[i] != chRemove) {
            memmove(m_pszData + out, m_pszData + i, size * sizeof(T));
            out += size;
        }
        i += size;
    }
    SetLength(out);
    return length - out;
}

template <typename T> int CStringT<T>::Find(XCHAR ch, int iStart) const
{
    const T text[2] = {ch, 0};
    return ch ? Find(text, iStart) : -1;
}

template <typename T> int CStringT<T>::Find(PCXSTR pszSub, int iStart) const
{
    int length = GetLength();
    if (iStart < 0)
        iStart = 0;
    if (iStart > length)
        return -1;
    int subLength = SafeLength(pszSub);
    // Walk from the start so double-byte characters are stepped over whole.
    int i = 0;
    while (i < iStart)
        i += Traits<T>::CharSize(m_pszData + i, length - i);
    for (; i + subLength <= length; i += Traits<T>::CharSize(m_pszData + i, length - i)) {
        if (memcmp(m_pszData + i, pszSub, subLength * sizeof(T)) == 0)
            return i;
    }
    return -1;
}

template <typename T> int CStringT<T>::FindOneOf(PCXSTR pszCharSet) const
{
    int length = GetLength();
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        if (size == 1 && Contains(pszCharSet, m_pszData[i]))
            return i;
        i += size;
    }
    return -1;
}

template <typename T> int CStringT<T>::ReverseFind(XCHAR ch) const
{
    int length = GetLength(), found = -1;
    for (int i = 0; i < length;) {
        int size = Traits<T>::CharSize(m_pszData + i, length - i);
        if (size == 1 && m_pszData[i] == ch)
            found = i;
        i += size;
    }
    return found;
}

template <typename T> CStringT<T> CStringT<T>::Tokenize(PCXSTR pszTokens, int& iStart) const
{
    int length = GetLength();
    if (iStart < 0 || iStart >= length) {
        iStart = -1;
        return CStringT();
    }
    if (!pszTokens || !*pszTokens) {
        CStringT rest = Mid(iStart);
        iStart = length;
        return rest;
    }
    int begin = iStart;
    while (begin < length && Contains(pszTokens, m_pszData[begin]))
        ++begin;
    if (begin >= length) {
        iStart = -1;
        return CStringT();
    }
    int end = begin;
    while (end < length && !Contains(pszTokens, m_pszData[end]))
        end += Traits<T>::CharSize(m_pszData + end, length - end);
    iStart = end + 1;
    return Mid(begin, end - begin);
}

template <typename T> void CStringT<T>::FormatV(PCXSTR pszFormat, va_list args)
{
    if (!pszFormat)
        AfxThrowInvalidArgException();
    std::basic_string<T> text;
    AfxAppendFormatV(text, pszFormat, args);
    SetString(text.data(), static_cast<int>(text.size()));
}

template <typename T> void CStringT<T>::AppendFormatV(PCXSTR pszFormat, va_list args)
{
    if (!pszFormat)
        AfxThrowInvalidArgException();
    std::basic_string<T> text;
    AfxAppendFormatV(text, pszFormat, args);
    Append(text.data(), static_cast<int>(text.size()));
}

template <typename T> void CStringT<T>::FormatArgs(BOOL bAppend, PCXSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    try {
        if (bAppend)
            AppendFormatV(pszFormat, args);
        else
            FormatV(pszFormat, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

template <typename T> BOOL CStringT<T>::LoadString(UINT nID)
{
    return LoadString(AfxFindResourceHandle(MAKEINTRESOURCEW(nID / 16 + 1), MAKEINTRESOURCEW(6)), nID);
}

template <typename T> BOOL CStringT<T>::LoadString(HINSTANCE hInstance, UINT nID)
{
    const wchar_t* text = nullptr;
    int length = 0;
    if (!FindStringResource(hInstance, nID, &text, &length))
        return FALSE;
    int n = Traits<T>::ConvertResource(text, length, nullptr, 0);
    Reserve(n, false);
    Traits<T>::ConvertResource(text, length, m_pszData, n);
    SetLength(n);
    return TRUE;
}

template class CStringT<wchar_t>;
template class CStringT<char>;

BOOL AFXAPI AfxExtractSubString(CString& rString, LPCWSTR lpszFullString, int iSubString, wchar_t chSep)
{
    rString.Empty();
    if (!lpszFullString || iSubString < 0)
        return FALSE;
    const wchar_t* p = lpszFullString;
    for (; iSubString > 0; --iSubString) {
        p = wcschr(p, chSep);
        if (!p || chSep == L'\0')
            return FALSE;
        ++p;
    }
    const wchar_t* end = wcschr(p, chSep);
    rString.SetString(p, end ? static_cast<int>(end - p) : static_cast<int>(wcslen(p)));
    return TRUE;
}
