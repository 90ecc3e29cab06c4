// Containers handed their own elements, on the guard-page allocator: a read of a block already
// freed faults at once.
#include "foundation/VyxArray.h"
#include "foundation/VyxString.h"

#include <gtest/gtest.h>

TEST(ContainerRobustness, AddingAnElementOfAFullArrayToItselfReadsNoFreedMemory)
{
    VyxArrayT<VyxString> array;
    array.Add(VyxString(L"first"));
    while (array.GetCount() < array.GetCapacity())
        array.Add(VyxString(L"filler"));
    // Full: this Add moves the block, and the element it copies lives in the old one.
    array.Add(array[0]);
    EXPECT_STREQ(L"first", array[array.GetCount() - 1]);
    // With room left no copy is needed, and none is made of freed memory either.
    array.Add(array[1]);
    EXPECT_STREQ(L"filler", array[array.GetCount() - 1]);
}
