// VyxPtrObject and VyxPtrArrayT: objects held by pointer in arrays that share them. An object
// counts its holders beyond the first; emptying an array lets go of each element, and the last
// holder deletes it.
#pragma once

#include "foundation/VyxArray.h"

class VyxPtrObject
{
public:
    VyxPtrObject() = default;
    // A copy is a new object with holders of its own.
    VyxPtrObject(const VyxPtrObject&) {}
    VyxPtrObject& operator=(const VyxPtrObject&) { return *this; }
    virtual ~VyxPtrObject() = default;

    void AddHolder() { ++m_holders; }
    // Drops one holder; deletes the object when no other holder is left.
    void Release()
    {
        if (m_holders > 0)
            --m_holders;
        else
            delete this;
    }
    int GetHolderCount() const { return m_holders; }

private:
    int m_holders = 0; // holders besides the first
};

// T is a pointer to a class derived from VyxPtrObject.
template <class T> class VyxPtrArrayT : public VyxArrayT<T>
{
public:
    VyxPtrArrayT() = default;
    // Copies share the elements: each gains a holder.
    VyxPtrArrayT(const VyxPtrArrayT& other) : VyxArrayT<T>() { operator=(other); }
    ~VyxPtrArrayT() override { RemoveAll(); }

    VyxPtrArrayT& operator=(const VyxArrayT<T>& other) override
    {
        if (this == &other)
            return *this;
        for (int i = 0; i < other.GetCount(); ++i)
            other.GetData()[i]->AddHolder();
        RemoveAll();
        VyxArrayT<T>::operator=(other);
        return *this;
    }
    VyxPtrArrayT& operator=(const VyxPtrArrayT& other) { return operator=(static_cast<const VyxArrayT<T>&>(other)); }

    // Lets go of every element; the count becomes 0.
    void RemoveAll()
    {
        // The count drops first, so a destructor that reaches back into this array sees no element twice.
        int count = this->m_count;
        this->m_count = 0;
        for (int i = 0; i < count; ++i) {
            T element = this->m_data[i];
            this->m_data[i] = nullptr;
            if (element)
                element->Release();
        }
    }
};
