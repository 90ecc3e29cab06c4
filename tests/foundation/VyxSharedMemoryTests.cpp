#include "foundation/VyxSharedMemory.h"

#include <gtest/gtest.h>

TEST(VyxSharedMemory, SameNameSharesTheBytesWithinTheProcess)
{
    VyxSharedMemory a(L"VyxSharedTest", 4096), b(L"VyxSharedTest", 4096);
    ASSERT_TRUE(a.GetView() && b.GetView());
    ASSERT_TRUE(a.Lock());
    strcpy(static_cast<char*>(a.GetView()), "shared");
    a.Unlock();
    ASSERT_TRUE(b.Lock());
    EXPECT_STREQ("shared", static_cast<char*>(b.GetView()));
    b.Unlock();
    VyxSharedMemory other(L"VyxSharedOther", 4096);
    EXPECT_STRNE("shared", static_cast<char*>(other.GetView()));
}

TEST(VyxSharedMemory, FailedCreateReportsFailureAndLocksNothing)
{
    VyxSharedMemory empty;
    EXPECT_EQ(nullptr, empty.GetView());
    EXPECT_FALSE(empty.Lock());
    empty.Unlock();
    VyxSharedMemory huge;
    // Nearly 4 GB cannot be mapped into 32-bit code's 2 GB (64-bit code maps it).
    if (sizeof(void*) == 4) {
        EXPECT_FALSE(huge.Create(L"VyxSharedHuge", 0xFFFFFFF0u));
        EXPECT_EQ(nullptr, huge.GetView());
        EXPECT_FALSE(huge.Lock());
    }
    EXPECT_FALSE(huge.Create(L"VyxSharedZero", 0));
    EXPECT_TRUE(huge.Create(L"VyxSharedSmall", 16));
    EXPECT_NE(nullptr, huge.GetView());
}
