#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxString.h"

#include "TestSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

// Lets a test make the next array allocation of a given size fail (the library allocates
// without throwing and reports the failure itself).
size_t s_failBytes = 0;

} // namespace

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    if (s_failBytes != 0 && size == s_failBytes) {
        s_failBytes = 0;
        return nullptr;
    }
    return malloc(size ? size : 1);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    free(p);
}

namespace {

class VyxGlobalErrorExceptionTest : public ::testing::Test
{
protected:
    ScratchSettings settings;
    CapturedLog log;
};

TEST_F(VyxGlobalErrorExceptionTest, AllocationFailureRaisesOutOfMemoryAndLogsIt)
{
    VyxString s(L"ab");
    s_failBytes = 100 * sizeof(wchar_t);
    try {
        s.Alloc(100);
        FAIL() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-2, e->GetCode());
        EXPECT_STREQ(L"out of memory: 100", e->GetErrorMessage());
        EXPECT_STREQ(L"VyxMemory(117) VyxMemoryT<wchar_t>::Alloc()", e->GetLocation());
        EXPECT_STREQ(L"VyxMemoryT<wchar_t>::Alloc", e->GetFunction());
        EXPECT_EQ(117, e->GetLine());
        delete e;
    }
    ASSERT_EQ(1u, log.records.size());
    EXPECT_STREQ(L"errcode -2: out of memory: 100", log.records[0].message);
    EXPECT_STREQ(L"VyxMemory(117)", log.records[0].location);
    EXPECT_NE(-1, log.records[0].head.Find(L" ERROR:"));
    EXPECT_TRUE(s == L"ab"); // the failed allocation left the string as it was
}

TEST_F(VyxGlobalErrorExceptionTest, NullFormatGivesEmptyMessage)
{
    try {
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxArray", 111, "f"), -2, nullptr);
    } catch (VyxGlobalErrorException* e) {
        EXPECT_STREQ(L"", e->GetErrorMessage());
        EXPECT_STREQ(L"VyxArray(111) f()", e->GetLocation());
        delete e;
    }
    ASSERT_EQ(1u, log.records.size());
    EXPECT_STREQ(L"errcode -2: ", log.records[0].message);
}

TEST_F(VyxGlobalErrorExceptionTest, LogLevelZeroStillThrowsWithoutLogLine)
{
    WriteAppIniInt(L"LOG", L"Level", 0);
    EXPECT_THROW(ThrowGlobalErrorAtLevel(VyxGlobalErrorException::Create("x", 1, "y"), 4, -3, L"illegal stack index:"),
                 VyxGlobalErrorException*);
    EXPECT_TRUE(log.records.empty());
}

TEST_F(VyxGlobalErrorExceptionTest, RaiseWithoutExceptionObjectStillThrowsCatchableObject)
{
    for (int round = 0; round < 2; ++round) {
        try {
            ThrowGlobalError(nullptr, -2, L"out of memory: %d", 7);
            FAIL() << "no exception";
        } catch (VyxGlobalErrorException* e) {
            ASSERT_NE(nullptr, e);
            EXPECT_EQ(-2, e->GetCode());
            EXPECT_STREQ(L"out of memory: 7", e->GetErrorMessage());
            delete e; // the reserve instance survives its catcher's delete
        }
    }
}

} // namespace
