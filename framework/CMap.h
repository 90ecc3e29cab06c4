// Hash maps: the CMap template with its key hashing, and the named maps of the framework.
// The table has a fixed number of buckets (17 unless InitHashTable says otherwise); pairs come
// from blocks of nBlockSize, released when the map empties.
#pragma once

#include "framework/CList.h"

// The hash of a key; specialise for key types of your own.
template <class ARG_KEY> UINT AFXAPI HashKey(ARG_KEY key)
{
    using K = std::decay_t<ARG_KEY>;
    if constexpr (std::is_pointer<K>::value) {
        return static_cast<UINT>(reinterpret_cast<UINT_PTR>(key) >> 4); // heap pointers are aligned
    } else {
        auto value = static_cast<ULONGLONG>(key);
        return static_cast<UINT>(value ^ (value >> 32));
    }
}

namespace afx_detail {
template <typename T> UINT HashText(const T* key)
{
    UINT hash = 0;
    if (key)
        for (; *key; ++key)
            hash = (hash << 5) + hash + static_cast<UINT>(*key);
    return hash;
}
} // namespace afx_detail

template <> inline UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key)
{
    return afx_detail::HashText(key);
}
template <> inline UINT AFXAPI HashKey<LPCSTR>(LPCSTR key)
{
    return afx_detail::HashText(reinterpret_cast<const unsigned char*>(key));
}
template <> inline UINT AFXAPI HashKey<const CStringW&>(const CStringW& key)
{
    return afx_detail::HashText(key.GetString());
}
template <> inline UINT AFXAPI HashKey<const CStringA&>(const CStringA& key)
{
    return afx_detail::HashText(reinterpret_cast<const unsigned char*>(key.GetString()));
}
template <> inline UINT AFXAPI HashKey<CStringW>(CStringW key)
{
    return afx_detail::HashText(key.GetString());
}
template <> inline UINT AFXAPI HashKey<CStringA>(CStringA key)
{
    return afx_detail::HashText(reinterpret_cast<const unsigned char*>(key.GetString()));
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE> class CMap : public CObject
{
public:
    class CPair
    {
    public:
        const KEY key;
        VALUE value;

    protected:
        explicit CPair(ARG_KEY keyval) : key(keyval), value() {}
    };

protected:
    class CAssoc : public CPair
    {
    public:
        explicit CAssoc(ARG_KEY keyval) : CPair(keyval) {}
        CAssoc* pNext = nullptr;
        UINT nHashValue = 0;
    };

public:
    explicit CMap(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }
    // Sets the number of buckets; only while the map is empty.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* assoc = Find(key);
        if (!assoc)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }
    const CPair* PLookup(ARG_KEY key) const { return Find(key); }
    CPair* PLookup(ARG_KEY key) { return Find(key); }
    // The value stored under key, inserted (default-constructed) when missing.
    VALUE& operator[](ARG_KEY key);
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key);
    void RemoveAll();

    // Iteration: the current pair may be removed while iterating.
    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;
    const CPair* PGetFirstAssoc() const { return First(); }
    CPair* PGetFirstAssoc() { return First(); }
    const CPair* PGetNextAssoc(const CPair* pAssoc) const { return Next(static_cast<const CAssoc*>(pAssoc)); }
    CPair* PGetNextAssoc(const CPair* pAssoc) { return Next(static_cast<const CAssoc*>(pAssoc)); }

protected:
    CAssoc* Find(ARG_KEY key) const;
    CAssoc* First() const;
    CAssoc* Next(const CAssoc* assoc) const;
    CAssoc* NewAssoc(ARG_KEY key);
    void FreeAssoc(CAssoc* assoc);

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    CAssoc* m_pFreeList = nullptr;
    void* m_pBlocks = nullptr; // chain of pair blocks; the first word links to the next block
    INT_PTR m_nBlockSize;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT hashSize, BOOL bAllocNow)
{
    if (m_nCount != 0 || hashSize == 0)
        AfxThrowInvalidArgException();
    delete[] m_pHashTable;
    m_pHashTable = nullptr;
    if (bAllocNow) {
        m_pHashTable = new (std::nothrow) CAssoc*[hashSize]();
        if (!m_pHashTable)
            AfxThrowMemoryException();
    }
    m_nHashTableSize = hashSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Find(ARG_KEY key) const
{
    if (!m_pHashTable)
        return nullptr;
    UINT hash = HashKey<ARG_KEY>(key);
    for (CAssoc* assoc = m_pHashTable[hash % m_nHashTableSize]; assoc; assoc = assoc->pNext)
        if (assoc->nHashValue == hash && CompareElements(&assoc->key, &key))
            return assoc;
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key)
{
    if (CAssoc* found = Find(key))
        return found->value;
    if (!m_pHashTable)
        InitHashTable(m_nHashTableSize);
    CAssoc* assoc = NewAssoc(key);
    assoc->nHashValue = HashKey<ARG_KEY>(key);
    CAssoc*& bucket = m_pHashTable[assoc->nHashValue % m_nHashTableSize];
    assoc->pNext = bucket;
    bucket = assoc;
    return assoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key)
{
    if (!m_pHashTable)
        return FALSE;
    UINT hash = HashKey<ARG_KEY>(key);
    for (CAssoc** link = &m_pHashTable[hash % m_nHashTableSize]; *link; link = &(*link)->pNext) {
        CAssoc* assoc = *link;
        if (assoc->nHashValue == hash && CompareElements(&assoc->key, &key)) {
            *link = assoc->pNext;
            FreeAssoc(assoc);
            return TRUE;
        }
    }
    return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE> void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll()
{
    if (m_pHashTable) {
        for (UINT i = 0; i < m_nHashTableSize; ++i)
            for (CAssoc* assoc = m_pHashTable[i]; assoc; assoc = assoc->pNext)
                assoc->~CAssoc();
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
    }
    while (m_pBlocks) {
        void* next = *static_cast<void**>(m_pBlocks);
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
    m_pFreeList = nullptr;
    m_nCount = 0;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::NewAssoc(ARG_KEY key)
{
    if (!m_pFreeList) {
        size_t header = (sizeof(void*) + alignof(CAssoc) - 1) / alignof(CAssoc) * alignof(CAssoc);
        auto* block = static_cast<char*>(::operator new(header + sizeof(CAssoc) * m_nBlockSize, std::nothrow));
        if (!block)
            AfxThrowMemoryException();
        *reinterpret_cast<void**>(block) = m_pBlocks;
        m_pBlocks = block;
        // Free slots are linked through their first word until constructed.
        char* slots = block + header;
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i) {
            void* slot = slots + sizeof(CAssoc) * i;
            *static_cast<CAssoc**>(slot) = m_pFreeList;
            m_pFreeList = static_cast<CAssoc*>(slot);
        }
    }
    CAssoc* slot = m_pFreeList;
    CAssoc* nextFree = *reinterpret_cast<CAssoc**>(slot);
    CAssoc* assoc = ::new (static_cast<void*>(slot)) CAssoc(key);
    m_pFreeList = nextFree;
    ++m_nCount;
    return assoc;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::FreeAssoc(CAssoc* assoc)
{
    assoc->~CAssoc();
    *reinterpret_cast<CAssoc**>(assoc) = m_pFreeList;
    m_pFreeList = assoc;
    if (--m_nCount == 0)
        RemoveAll();
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::First() const
{
    if (!m_pHashTable)
        return nullptr;
    for (UINT i = 0; i < m_nHashTableSize; ++i)
        if (m_pHashTable[i])
            return m_pHashTable[i];
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc*
CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Next(const CAssoc* assoc) const
{
    if (!assoc || !m_pHashTable)
        return nullptr;
    if (assoc->pNext)
        return assoc->pNext;
    for (UINT i = assoc->nHashValue % m_nHashTableSize + 1; i < m_nHashTableSize; ++i)
        if (m_pHashTable[i])
            return m_pHashTable[i];
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
{
    CAssoc* assoc = rNextPosition == BEFORE_START_POSITION ? First() : reinterpret_cast<CAssoc*>(rNextPosition);
    if (!assoc)
        AfxThrowInvalidArgException();
    rNextPosition = reinterpret_cast<POSITION>(Next(assoc));
    rKey = assoc->key;
    rValue = assoc->value;
}

#define AFX_DECLARE_NAMED_MAP(name, key, arg_key, value, arg_value)                                                    \
    class name : public CMap<key, arg_key, value, arg_value>                                                           \
    {                                                                                                                  \
        DECLARE_DYNAMIC(name)                                                                                          \
    public:                                                                                                            \
        explicit name(INT_PTR nBlockSize = 10) : CMap<key, arg_key, value, arg_value>(nBlockSize) {}                   \
    };

AFX_DECLARE_NAMED_MAP(CMapStringToString, CString, LPCWSTR, CString, LPCWSTR)
AFX_DECLARE_NAMED_MAP(CMapStringToPtr, CString, LPCWSTR, void*, void*)
AFX_DECLARE_NAMED_MAP(CMapStringToOb, CString, LPCWSTR, CObject*, CObject*)
AFX_DECLARE_NAMED_MAP(CMapPtrToPtr, void*, void*, void*, void*)
AFX_DECLARE_NAMED_MAP(CMapWordToPtr, WORD, WORD, void*, void*)

#undef AFX_DECLARE_NAMED_MAP
