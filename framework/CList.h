// Doubly linked lists walked by POSITION: the CList template, the typed pointer list and the
// named lists. Nodes come from blocks of nBlockSize, released when the list empties.
#pragma once

#include "framework/CArray.h"

template <class TYPE, class ARG_TYPE = const TYPE&> class CList : public CObject
{
protected:
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
    const TYPE& GetHead() const { return NonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
    const TYPE& GetTail() const { return NonEmpty(m_pNodeTail)->data; }

    TYPE RemoveHead();
    TYPE RemoveTail();
    POSITION AddHead(ARG_TYPE newElement) { return Position(InsertNode(nullptr, m_pNodeHead, newElement)); }
    POSITION AddTail(ARG_TYPE newElement) { return Position(InsertNode(m_pNodeTail, nullptr, newElement)); }
    void AddHead(CList* pNewList);
    void AddTail(CList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const { return Position(m_pNodeHead); }
    POSITION GetTailPosition() const { return Position(m_pNodeTail); }
    // Return the element at rPosition and move rPosition on (null past the end).
    TYPE& GetNext(POSITION& rPosition) { return Step(rPosition, true)->data; }
    const TYPE& GetNext(POSITION& rPosition) const { return Step(rPosition, true)->data; }
    TYPE& GetPrev(POSITION& rPosition) { return Step(rPosition, false)->data; }
    const TYPE& GetPrev(POSITION& rPosition) const { return Step(rPosition, false)->data; }

    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
    void RemoveAt(POSITION position);
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

    // Searches after startAfter (from the head when null).
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const;
    // Null when nIndex is negative or not below the count.
    POSITION FindIndex(INT_PTR nIndex) const;

protected:
    static POSITION Position(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* Node(POSITION position)
    {
        if (!position)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    static CNode* NonEmpty(CNode* node)
    {
        if (!node)
            AfxThrowInvalidArgException();
        return node;
    }
    CNode* Step(POSITION& rPosition, bool forward) const
    {
        CNode* node = Node(rPosition);
        rPosition = Position(forward ? node->pNext : node->pPrev);
        return node;
    }
    CNode* InsertNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement);
    void FreeNode(CNode* node);

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
    CNode* m_pNodeFree = nullptr;
    void* m_pBlocks = nullptr; // chain of node blocks; the first word links to the next block
    INT_PTR m_nBlockSize;
};

template <class TYPE, class ARG_TYPE>
typename CList<TYPE, ARG_TYPE>::CNode* CList<TYPE, ARG_TYPE>::InsertNode(CNode* pPrev, CNode* pNext,
                                                                         ARG_TYPE newElement)
{
    TYPE copy(newElement); // newElement may live in a node of this list
    if (!m_pNodeFree) {
        size_t header = (sizeof(void*) + alignof(CNode) - 1) / alignof(CNode) * alignof(CNode);
        auto* block = static_cast<char*>(::operator new(header + sizeof(CNode) * m_nBlockSize, std::nothrow));
        if (!block)
            AfxThrowMemoryException();
        *reinterpret_cast<void**>(block) = m_pBlocks;
        m_pBlocks = block;
        auto* nodes = reinterpret_cast<CNode*>(block + header);
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i) {
            nodes[i].pNext = m_pNodeFree;
            m_pNodeFree = &nodes[i];
        }
    }
    CNode* node = m_pNodeFree;
    m_pNodeFree = node->pNext;
    ::new (static_cast<void*>(&node->data)) TYPE(std::move(copy));
    node->pPrev = pPrev;
    node->pNext = pNext;
    (pPrev ? pPrev->pNext : m_pNodeHead) = node;
    (pNext ? pNext->pPrev : m_pNodeTail) = node;
    ++m_nCount;
    return node;
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::FreeNode(CNode* node)
{
    (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
    (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
    node->data.~TYPE();
    node->pNext = m_pNodeFree;
    m_pNodeFree = node;
    if (--m_nCount == 0)
        RemoveAll();
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::RemoveAll()
{
    for (CNode* node = m_pNodeHead; node; node = node->pNext)
        node->data.~TYPE();
    while (m_pBlocks) {
        void* next = *static_cast<void**>(m_pBlocks);
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
    m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
    m_nCount = 0;
}

template <class TYPE, class ARG_TYPE> TYPE CList<TYPE, ARG_TYPE>::RemoveHead()
{
    CNode* node = NonEmpty(m_pNodeHead);
    TYPE value(std::move(node->data));
    FreeNode(node);
    return value;
}

template <class TYPE, class ARG_TYPE> TYPE CList<TYPE, ARG_TYPE>::RemoveTail()
{
    CNode* node = NonEmpty(m_pNodeTail);
    TYPE value(std::move(node->data));
    FreeNode(node);
    return value;
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::AddHead(CList* pNewList)
{
    if (!pNewList)
        AfxThrowInvalidArgException();
    // Walk backwards so the added elements keep their order; a list added to itself is copied.
    CList copy;
    const CList* source = pNewList == this ? &copy : pNewList;
    if (pNewList == this)
        copy.AddTail(this);
    for (CNode* node = source->m_pNodeTail; node; node = node->pPrev)
        AddHead(node->data);
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::AddTail(CList* pNewList)
{
    if (!pNewList)
        AfxThrowInvalidArgException();
    INT_PTR count = pNewList->m_nCount; // stable when a list is added to itself
    CNode* node = pNewList->m_pNodeHead;
    for (INT_PTR i = 0; i < count; ++i, node = node->pNext)
        AddTail(node->data);
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position)
{
    FreeNode(Node(position));
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement)
{
    if (!position)
        return AddHead(newElement);
    CNode* node = Node(position);
    return Position(InsertNode(node->pPrev, node, newElement));
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement)
{
    if (!position)
        return AddTail(newElement);
    CNode* node = Node(position);
    return Position(InsertNode(node, node->pNext, newElement));
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const
{
    CNode* node = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
    for (; node; node = node->pNext)
        if (CompareElements<TYPE>(&node->data, &searchValue))
            return Position(node);
    return nullptr;
}

template <class TYPE, class ARG_TYPE> POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    CNode* node = m_pNodeHead;
    while (nIndex-- > 0)
        node = node->pNext;
    return Position(node);
}

// A list of TYPE pointers stored in a CPtrList or CObList.
template <class BASE_CLASS, class TYPE> class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    void AddHead(CTypedPtrList* pNewList) { BASE_CLASS::AddHead(pNewList); }
    void AddTail(CTypedPtrList* pNewList) { BASE_CLASS::AddTail(pNewList); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
    POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
};

#define AFX_DECLARE_NAMED_LIST(name, type, arg_type)                                                                   \
    class name : public CList<type, arg_type>                                                                          \
    {                                                                                                                  \
        DECLARE_DYNAMIC(name)                                                                                          \
    public:                                                                                                            \
        explicit name(INT_PTR nBlockSize = 10) : CList<type, arg_type>(nBlockSize) {}                                  \
    };

AFX_DECLARE_NAMED_LIST(CPtrList, void*, void*)
AFX_DECLARE_NAMED_LIST(CObList, CObject*, CObject*)
AFX_DECLARE_NAMED_LIST(CStringList, CString, const CString&)

#undef AFX_DECLARE_NAMED_LIST
