// A count of buffers one thread hands to another: Add gives some, Take waits for one. The count
// itself is kept with interlocked operations; the semaphore beneath is used only when a thread
// must wait. Under Wine every semaphore call is a round trip to its object server, which a busy
// machine (or a busy server) makes long: a copy whose threads keep ahead of each other now makes
// none at all.
#pragma once

#include "framework/Framework.h"

class BufferCount
{
public:
    // Up to most buffers counted at once.
    explicit BufferCount(LONG most);
    ~BufferCount();
    BufferCount(const BufferCount&) = delete;
    BufferCount& operator=(const BufferCount&) = delete;

    bool IsReady() const { return m_semaphore != nullptr; }
    void Add(LONG count);
    // Waits until a buffer is counted, and takes it.
    void Take();
    // Takes every buffer counted, without waiting; only while no thread waits.
    void Clear();

private:
    // Buffers counted less the threads waiting (negative while one waits).
    volatile LONG m_count = 0;
    HANDLE m_semaphore = nullptr;
};
