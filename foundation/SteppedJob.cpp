#include "foundation/SteppedJob.h"

#include <exception>
#include <utility>

namespace {

// Plug-in code and libjpeg run on the job's fiber: room as the main thread has.
constexpr SIZE_T kFiberCommit = 64 * 1024;
constexpr SIZE_T kFiberReserve = 1024 * 1024;

struct JobState
{
    DWORD thread = 0;
    LPVOID threadFiber = nullptr; // the thread itself, made a fiber once
    LPVOID jobFiber = nullptr;    // made once and used for every job
    std::function<void()> work;
    bool running = false; // a job has begun and not ended
    bool inside = false;  // the job's fiber is the one running
    bool aborting = false;
    DWORD allowanceEnd = 0;
    std::exception_ptr error;
};

JobState s_job;

void CALLBACK JobFiberMain(LPVOID)
{
    for (;;) {
        try {
            s_job.work();
        } catch (...) {
            s_job.error = std::current_exception();
        }
        // What the work holds goes while still on the job's stack.
        s_job.work = nullptr;
        s_job.running = false;
        SwitchToFiber(s_job.threadFiber);
    }
}

// The thread's running fiber (fs:0x10 of the x86 thread block, gs:0x20 of the 64-bit one); the
// system's own inline reader trips the compiler's bounds check.
LPVOID CurrentFiber()
{
    LPVOID fiber;
#ifdef _WIN64
    __asm__ volatile("movq %%gs:0x20, %0" : "=r"(fiber));
#else
    __asm__ volatile("movl %%fs:0x10, %0" : "=r"(fiber));
#endif
    return fiber;
}

bool OnJobThread()
{
    return s_job.thread == 0 || s_job.thread == GetCurrentThreadId();
}

// The thread and the job each get their fiber once; false when the system refuses them.
bool PrepareFibers()
{
    if (s_job.jobFiber)
        return s_job.thread == GetCurrentThreadId();
    LPVOID self = ConvertThreadToFiber(nullptr);
    // A thread that is a fiber already (made so by other code) keeps its own.
    if (!self && GetLastError() == ERROR_ALREADY_FIBER)
        self = CurrentFiber();
    if (!self)
        return false;
    LPVOID fiber = CreateFiberEx(kFiberCommit, kFiberReserve, 0, JobFiberMain, nullptr);
    if (!fiber)
        return false;
    s_job.thread = GetCurrentThreadId();
    s_job.threadFiber = self;
    s_job.jobFiber = fiber;
    return true;
}

bool AllowanceSpent()
{
    return s_job.allowanceEnd != 0 && static_cast<LONG>(GetTickCount() - s_job.allowanceEnd) >= 0;
}

// Switches into the job until it gives way or ends; true when it ended.
bool RunJob(DWORD allowanceEnd)
{
    s_job.allowanceEnd = allowanceEnd;
    s_job.inside = true;
    SwitchToFiber(s_job.jobFiber);
    s_job.inside = false;
    if (s_job.error) {
        std::exception_ptr error = std::move(s_job.error);
        s_job.error = nullptr;
        s_job.aborting = false;
        std::rethrow_exception(error);
    }
    if (!s_job.running)
        s_job.aborting = false;
    return !s_job.running;
}

} // namespace

bool SteppedJob::Start(std::function<void()> work, DWORD allowanceEnd)
{
    if (s_job.inside || !OnJobThread() || !PrepareFibers()) {
        work();
        return true;
    }
    Abort();
    s_job.work = std::move(work);
    s_job.running = true;
    return RunJob(allowanceEnd);
}

bool SteppedJob::Resume(DWORD allowanceEnd)
{
    if (!IsWaiting())
        return true;
    return RunJob(allowanceEnd);
}

bool SteppedJob::IsWaiting()
{
    return s_job.running && !s_job.inside && OnJobThread();
}

void SteppedJob::Abort()
{
    if (!s_job.running || !OnJobThread())
        return;
    s_job.aborting = true;
    if (s_job.inside)
        return;
    try {
        RunJob(0);
    } catch (...) {
        // The work's own failure while it was given up concerns nobody.
    }
}

bool SteppedJob::GiveWay()
{
    if (!s_job.inside || CurrentFiber() != s_job.jobFiber)
        return false;
    if (!s_job.aborting && AllowanceSpent()) {
        s_job.inside = false;
        SwitchToFiber(s_job.threadFiber);
        s_job.inside = true;
    }
    return s_job.aborting;
}

bool SteppedJob::IsAborting()
{
    return s_job.running && s_job.aborting;
}

bool SteppedJob::IsInside()
{
    return s_job.inside && OnJobThread();
}
