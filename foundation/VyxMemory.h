// VyxMemoryT: a heap block of T with an exact capacity (never amortised). Strings and the codecs'
// byte buffers are built on it; failures raise VyxGlobalErrorException.
#pragma once

#include "foundation/VyxGlobalErrorException.h"

#include <climits>
#include <cstring>
#include <new>

// The element type as it appears in the function texts of raise sites ("VyxMemoryT<wchar_t>::Alloc").
template <class T> struct VyxMemoryTypeText
{
    static const char* Alloc() { return "VyxMemoryT<T>::Alloc"; }
    static const char* ReAlloc() { return "VyxMemoryT<T>::ReAlloc"; }
    static const char* GetAt() { return "VyxMemoryT<T>::GetAt"; }
};
template <> struct VyxMemoryTypeText<wchar_t>
{
    static const char* Alloc() { return "VyxMemoryT<wchar_t>::Alloc"; }
    static const char* ReAlloc() { return "VyxMemoryT<wchar_t>::ReAlloc"; }
    static const char* GetAt() { return "VyxMemoryT<wchar_t>::GetAt"; }
};
template <> struct VyxMemoryTypeText<unsigned char>
{
    static const char* Alloc() { return "VyxMemoryT<unsigned char>::Alloc"; }
    static const char* ReAlloc() { return "VyxMemoryT<unsigned char>::ReAlloc"; }
    static const char* GetAt() { return "VyxMemoryT<unsigned char>::GetAt"; }
};

template <class T> class VyxMemoryT
{
public:
    explicit VyxMemoryT(int count = 0)
    {
        if (count > 0) {
            m_data = NewBlock(count, VyxMemoryTypeText<T>::Alloc(), 117);
            m_capacity = count;
        }
    }
    VyxMemoryT(const VyxMemoryT& other) { VyxMemoryT::operator=(other); }
    virtual ~VyxMemoryT()
    {
        delete[] m_data;
        m_data = nullptr;
        m_capacity = 0;
    }

    // Copies the source's whole capacity; the target keeps a larger capacity of its own.
    virtual VyxMemoryT& operator=(const VyxMemoryT& other)
    {
        if (this != &other && other.m_data)
            Copy(other.m_data, other.m_capacity);
        return *this;
    }

    // Ensures at least n elements; the contents are always lost (zero-filled).
    void Alloc(int n)
    {
        if (m_capacity < n) {
            T* block = NewBlock(n, VyxMemoryTypeText<T>::Alloc(), 117);
            delete[] m_data;
            m_data = block;
            m_capacity = n;
        }
        Zero();
    }

    // Grows to exactly n elements keeping the contents; never shrinks.
    void ReAlloc(int n)
    {
        if (m_capacity >= n)
            return;
        T* block = NewBlock(n, VyxMemoryTypeText<T>::ReAlloc(), 133);
        if (m_data)
            memcpy(block, m_data, sizeof(T) * m_capacity);
        delete[] m_data;
        m_data = block;
        m_capacity = n;
    }

    void Copy(const T* source, int n)
    {
        if (!source || n <= 0)
            return;
        if (m_capacity < n) {
            T* block = NewBlock(n, VyxMemoryTypeText<T>::Alloc(), 117);
            memcpy(block, source, sizeof(T) * n);
            delete[] m_data;
            m_data = block;
            m_capacity = n;
        } else {
            memmove(m_data, source, sizeof(T) * n);
        }
    }

    // Copies byteCount bytes to byteOffset, growing (contents kept) to hold them. The block is
    // sized in elements of T, so the byte count is rounded up; wide blocks keep room for a terminator.
    void CopyAt(const void* source, int byteCount, int byteOffset)
    {
        if (!source || byteCount <= 0 || byteOffset < 0)
            return;
        long long bytes = static_cast<long long>(byteOffset) + byteCount;
        long long elements = (bytes + sizeof(T) - 1) / sizeof(T) + (sizeof(T) > 1 ? 1 : 0);
        if (elements > INT_MAX)
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxMemory", 133, VyxMemoryTypeText<T>::ReAlloc()), -2,
                             L"out of memory: %d", INT_MAX);
        ReAlloc(static_cast<int>(elements));
        memmove(reinterpret_cast<unsigned char*>(m_data) + byteOffset, source, byteCount);
    }

    void Zero()
    {
        if (m_data)
            memset(m_data, 0, sizeof(T) * m_capacity);
    }

    T* GetData() const { return m_data; }
    int GetCapacity() const { return m_capacity; }

    // Bounds-checked element access: "illegal index: 0<=%d<%d".
    T& GetAt(int index) const
    {
        if (index < 0 || index >= m_capacity)
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxMemory", 64, VyxMemoryTypeText<T>::GetAt()), -1,
                             L"illegal index: 0<=%d<%d", index, m_capacity);
        return m_data[index];
    }

protected:
    static T* NewBlock(int n, const char* function, int line)
    {
        T* block = nullptr;
        if (n > 0 && static_cast<unsigned>(n) <= INT_MAX / sizeof(T))
            block = new (std::nothrow) T[n];
        if (!block)
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxMemory", line, function), -2, L"out of memory: %d", n);
        memset(block, 0, sizeof(T) * n);
        return block;
    }

    T* m_data = nullptr;
    int m_capacity = 0;
};
