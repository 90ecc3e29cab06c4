// The copier's count of buffers handed between its threads: what is added is taken, a thread that
// waits is woken by the next buffer given, none is lost or taken twice, and a cleared count starts
// from nothing.
#include "fileops/BufferCount.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(BufferCount, TwoThreadsHandBuffersBackAndForthWithoutLosingOne)
{
    // The copier's ring: the reader takes free buffers and gives them filled, the writer the
    // other way round; every buffer passes through both, in order.
    const LONG ring = 4;
    const int turns = 20000;
    BufferCount free(ring), filled(ring);
    ASSERT_TRUE(free.IsReady());
    ASSERT_TRUE(filled.IsReady());
    std::vector<int> slots(ring, -1);
    int mismatches = 0;
    free.Add(ring);
    std::thread reader([&] {
        for (int i = 0; i < turns; ++i) {
            free.Take();
            slots[i % ring] = i;
            filled.Add(1);
        }
    });
    for (int i = 0; i < turns; ++i) {
        filled.Take();
        mismatches += slots[i % ring] != i;
        free.Add(1);
    }
    reader.join();
    EXPECT_EQ(0, mismatches);
}

TEST(BufferCount, AClearedCountHoldsNothingUntilTheNextAdd)
{
    BufferCount count(4);
    count.Add(3);
    count.Take();
    count.Clear();
    count.Add(2);
    count.Take();
    count.Take();
    // A third take would wait: it is given one more from another thread.
    bool taken = false;
    std::thread taker([&] {
        count.Take();
        taken = true;
    });
    count.Add(1);
    taker.join();
    EXPECT_TRUE(taken);
}
