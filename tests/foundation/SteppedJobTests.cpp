// Work run over several calls on a fiber of its own: it gives way once its allowance is spent,
// goes on where it stopped, unwinds when given up and hands its exceptions back.
#include "foundation/SteppedJob.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// An allowance that is already spent: every GiveWay inside the job gives way.
DWORD Spent()
{
    const DWORD end = GetTickCount() - 1;
    return end != 0 ? end : 1;
}

DWORD WINAPI StartOnThisThread(LPVOID ended)
{
    *static_cast<bool*>(ended) = SteppedJob::Start([] { SteppedJob::GiveWay(); }, 1);
    return 0;
}

} // namespace

TEST(SteppedJob, WorkGivesWayWhenItsAllowanceIsSpentAndGoesOnWhereItStopped)
{
    std::vector<int> done;
    // Locals of the work live on its own stack between the calls.
    ASSERT_FALSE(SteppedJob::Start(
        [&] {
            int local = 40;
            for (int i = 0; i < 3; ++i) {
                done.push_back(local + i);
                EXPECT_FALSE(SteppedJob::GiveWay());
            }
        },
        Spent()));
    EXPECT_EQ(std::vector<int>{40}, done);
    EXPECT_TRUE(SteppedJob::IsWaiting());
    EXPECT_FALSE(SteppedJob::Resume(Spent()));
    EXPECT_EQ((std::vector<int>{40, 41}), done);
    // Without a limit it runs to its end.
    EXPECT_TRUE(SteppedJob::Resume(0));
    EXPECT_EQ((std::vector<int>{40, 41, 42}), done);
    EXPECT_FALSE(SteppedJob::IsWaiting());
    EXPECT_TRUE(SteppedJob::Resume(0));

    // An allowance not yet spent lets the work through in one call; outside a job GiveWay is a
    // plain "go on".
    int steps = 0;
    EXPECT_TRUE(SteppedJob::Start(
        [&] {
            for (int i = 0; i < 100; ++i)
                steps += SteppedJob::GiveWay() ? 0 : 1;
        },
        GetTickCount() + 60000));
    EXPECT_EQ(100, steps);
    EXPECT_FALSE(SteppedJob::GiveWay());
}

TEST(SteppedJob, AJobGivenUpUnwindsAndFreesWhatItHolds)
{
    auto held = std::make_shared<int>(7);
    std::weak_ptr<int> watch = held;
    bool stopped = false;
    ASSERT_FALSE(SteppedJob::Start(
        [&, held] {
            std::unique_ptr<int> local(new int(1));
            while (!SteppedJob::GiveWay()) {
            }
            stopped = SteppedJob::IsAborting();
        },
        Spent()));
    held.reset();
    EXPECT_FALSE(watch.expired()) << "the waiting work still holds its captures";
    SteppedJob::Abort();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(SteppedJob::IsWaiting());
    EXPECT_FALSE(SteppedJob::IsAborting());

    // A new job gives up the one that waits.
    int first = 0;
    ASSERT_FALSE(SteppedJob::Start(
        [&] {
            while (!SteppedJob::GiveWay())
                ++first;
            first = -1;
        },
        Spent()));
    EXPECT_TRUE(SteppedJob::Start([] {}, 0));
    EXPECT_EQ(-1, first);
}

TEST(SteppedJob, ExceptionsOfTheWorkComeBackToTheCallerThatEndedIt)
{
    ASSERT_FALSE(SteppedJob::Start(
        [] {
            SteppedJob::GiveWay();
            throw std::runtime_error("decode failed");
        },
        Spent()));
    EXPECT_THROW(SteppedJob::Resume(0), std::runtime_error);
    EXPECT_FALSE(SteppedJob::IsWaiting());
    // The job's fiber serves the next job as before.
    int value = 0;
    EXPECT_TRUE(SteppedJob::Start([&] { value = 5; }, 0));
    EXPECT_EQ(5, value);
}

TEST(SteppedJob, WorkStartedInsideAJobOrOnAnotherThreadRunsAtOnce)
{
    bool innerEnded = false;
    ASSERT_TRUE(SteppedJob::Start(
        [&] {
            EXPECT_TRUE(SteppedJob::IsInside());
            // Nothing can wait inside the job: the inner work runs to its end here.
            EXPECT_TRUE(SteppedJob::Start([&] { innerEnded = true; }, Spent()));
        },
        0));
    EXPECT_TRUE(innerEnded);
    EXPECT_FALSE(SteppedJob::IsInside());

    // Jobs belong to the thread that ran the first one.
    ASSERT_TRUE(SteppedJob::Start([] {}, 0));
    bool ranElsewhere = false;
    HANDLE thread = CreateThread(nullptr, 0, StartOnThisThread, &ranElsewhere, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(ranElsewhere);
}
