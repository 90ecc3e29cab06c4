#include "fileops/BufferCount.h"

#include <algorithm>

BufferCount::BufferCount(LONG most)
{
    m_semaphore = ::CreateSemaphoreW(nullptr, 0, most, nullptr);
}

BufferCount::~BufferCount()
{
    if (m_semaphore)
        ::CloseHandle(m_semaphore);
}

void BufferCount::Add(LONG count)
{
    const LONG before = ::InterlockedExchangeAdd(&m_count, count);
    // Those waiting (a negative count) are woken, at most as many as were given.
    if (before < 0)
        ::ReleaseSemaphore(m_semaphore, std::min(count, -before), nullptr);
}

void BufferCount::Take()
{
    if (::InterlockedDecrement(&m_count) < 0)
        ::WaitForSingleObject(m_semaphore, INFINITE);
}

void BufferCount::Clear()
{
    ::InterlockedExchange(&m_count, 0);
    while (::WaitForSingleObject(m_semaphore, 0) == WAIT_OBJECT_0) {
    }
}
