// Growable arrays: the CArray template, the typed pointer array and the named arrays of the
// framework. An index out of range throws CInvalidArgException.
#pragma once

#include "framework/CString.h"

// Element equality used by Find-style members; specialise for types without operator==.
template <class TYPE, class ARG_TYPE> BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject
{
public:
    CArray() = default;
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    // nGrowBy: elements added per reallocation; -1 keeps the current setting, 0 lets the array
    // choose (an eighth of its size, between 4 and 1024).
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    void FreeExtra();
    void RemoveAll() { SetSize(0, -1); }

    const TYPE& GetAt(INT_PTR nIndex) const
    {
        CheckIndex(nIndex);
        return m_pData[nIndex];
    }
    TYPE& GetAt(INT_PTR nIndex)
    {
        CheckIndex(nIndex);
        return m_pData[nIndex];
    }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement)
    {
        CheckIndex(nIndex);
        m_pData[nIndex] = newElement;
    }
    const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
    INT_PTR Add(ARG_TYPE newElement)
    {
        INT_PTR nIndex = m_nSize;
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    // Returns the index of the first appended element.
    INT_PTR Append(const CArray& src);
    void Copy(const CArray& src);

    // Inserting past the end grows the array (default elements fill the gap).
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray);
    // Later elements move down to close the gap.
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

protected:
    void CheckIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
    }
    void Reallocate(INT_PTR nNewMax);

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Reallocate(INT_PTR nNewMax)
{
    if (nNewMax < m_nSize || static_cast<size_t>(nNewMax) > SIZE_MAX / sizeof(TYPE))
        AfxThrowMemoryException();
    TYPE* pNew = nNewMax ? static_cast<TYPE*>(::operator new(sizeof(TYPE) * nNewMax, std::nothrow)) : nullptr;
    if (nNewMax && !pNew)
        AfxThrowMemoryException();
    for (INT_PTR i = 0; i < m_nSize; ++i) {
        ::new (static_cast<void*>(pNew + i)) TYPE(std::move(m_pData[i]));
        m_pData[i].~TYPE();
    }
    ::operator delete(m_pData);
    m_pData = pNew;
    m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
    if (nNewSize < 0)
        AfxThrowInvalidArgException();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    if (nNewSize == 0) {
        for (INT_PTR i = 0; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        ::operator delete(m_pData);
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
        return;
    }
    if (nNewSize > m_nMaxSize) {
        INT_PTR grow = m_nGrowBy;
        if (grow == 0)
            grow = std::min<INT_PTR>(1024, std::max<INT_PTR>(4, m_nSize / 8));
        INT_PTR nNewMax = m_nMaxSize + grow < nNewSize ? nNewSize : m_nMaxSize + grow;
        Reallocate(nNewMax);
    }
    for (INT_PTR i = m_nSize; i < nNewSize; ++i)
        ::new (static_cast<void*>(m_pData + i)) TYPE();
    for (INT_PTR i = nNewSize; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize != m_nMaxSize)
        Reallocate(m_nSize);
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
{
    if (nIndex < 0)
        AfxThrowInvalidArgException();
    if (nIndex >= m_nSize) {
        TYPE copy(newElement); // newElement may refer into this array's storage
        SetSize(nIndex + 1, -1);
        m_pData[nIndex] = std::move(copy);
    } else {
        m_pData[nIndex] = newElement;
    }
}

template <class TYPE, class ARG_TYPE> INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
    INT_PTR nOldSize = m_nSize;
    if (&src == this) {
        CArray copy;
        copy.Copy(src);
        return Append(copy);
    }
    SetSize(m_nSize + src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; ++i)
        m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
    if (&src == this)
        return;
    SetSize(src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; ++i)
        m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount)
{
    if (nIndex < 0 || nCount <= 0) {
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        return;
    }
    TYPE copy(newElement); // newElement may refer into this array's storage
    if (nIndex >= m_nSize) {
        SetSize(nIndex + nCount, -1);
    } else {
        INT_PTR nOldSize = m_nSize;
        SetSize(m_nSize + nCount, -1);
        for (INT_PTR i = nOldSize - 1; i >= nIndex; --i)
            m_pData[i + nCount] = std::move(m_pData[i]);
    }
    for (INT_PTR i = 0; i < nCount; ++i)
        m_pData[nIndex + i] = copy;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
{
    if (!pNewArray || nStartIndex < 0)
        AfxThrowInvalidArgException();
    if (pNewArray->m_nSize == 0)
        return;
    CArray copy;
    copy.Copy(*pNewArray);
    InsertAt(nStartIndex, copy.m_pData[0], copy.m_nSize);
    for (INT_PTR i = 1; i < copy.m_nSize; ++i)
        m_pData[nStartIndex + i] = copy.m_pData[i];
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex > m_nSize || nCount > m_nSize - nIndex)
        AfxThrowInvalidArgException();
    if (nCount == 0)
        return;
    for (INT_PTR i = nIndex + nCount; i < m_nSize; ++i)
        m_pData[i - nCount] = std::move(m_pData[i]);
    for (INT_PTR i = m_nSize - nCount; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize -= nCount;
}

// An array of TYPE pointers stored in a CPtrArray or CObArray.
template <class BASE_CLASS, class TYPE> class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1)
    {
        BASE_CLASS::InsertAt(nIndex, newElement, nCount);
    }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) { BASE_CLASS::InsertAt(nStartIndex, pNewArray); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};

#define AFX_DECLARE_NAMED_ARRAY(name, type, arg_type)                                                                  \
    class name : public CArray<type, arg_type>                                                                         \
    {                                                                                                                  \
        DECLARE_DYNAMIC(name)                                                                                          \
    };

AFX_DECLARE_NAMED_ARRAY(CPtrArray, void*, void*)
AFX_DECLARE_NAMED_ARRAY(CObArray, CObject*, CObject*)
AFX_DECLARE_NAMED_ARRAY(CByteArray, BYTE, BYTE)
AFX_DECLARE_NAMED_ARRAY(CWordArray, WORD, WORD)
AFX_DECLARE_NAMED_ARRAY(CDWordArray, DWORD, DWORD)
AFX_DECLARE_NAMED_ARRAY(CUIntArray, UINT, UINT)
AFX_DECLARE_NAMED_ARRAY(CStringArray, CString, const CString&)

#undef AFX_DECLARE_NAMED_ARRAY
