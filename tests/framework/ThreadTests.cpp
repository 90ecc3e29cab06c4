// Synchronisation objects, CSingleLock and the framework's threads.
#include "common/FrameworkTestUtil.h"

namespace {

TEST(CSyncObject, NamedMutexIsSharedAndLockTimesOut)
{
    CString name;
    name.Format(L"fwtest-mutex-%lu", GetCurrentProcessId());
    CMutex first(FALSE, name);
    ASSERT_TRUE(first.Lock(0));
    // Another thread cannot take the mutex this thread holds.
    struct Probe
    {
        static UINT Run(LPVOID param)
        {
            auto* mutex = static_cast<CMutex*>(param);
            return mutex->Lock(50) ? 1 : 0;
        }
    };
    CWinThread* thread = AfxBeginThread(Probe::Run, &first, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    WaitForSingleObject(thread->m_hThread, 5000);
    DWORD code = 99;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(0u, code);
    delete thread;
    CMutex second(FALSE, name); // the same kernel object by name
    EXPECT_TRUE(first.Unlock());
    EXPECT_TRUE(second.Lock(0));
    EXPECT_TRUE(second.Unlock());
}

TEST(CSyncObject, EventsAndSemaphoresCount)
{
    CEvent manual(FALSE, TRUE);
    EXPECT_FALSE(manual.Lock(0));
    manual.SetEvent();
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0)); // manual reset stays signalled
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));

    CEvent automatic(TRUE);
    EXPECT_TRUE(automatic.Lock(0));
    EXPECT_FALSE(automatic.Lock(0));

    CSemaphore semaphore(2, 3);
    EXPECT_TRUE(semaphore.Lock(0));
    EXPECT_TRUE(semaphore.Lock(0));
    EXPECT_FALSE(semaphore.Lock(0));
    LONG previous = -1;
    EXPECT_TRUE(semaphore.Unlock(2, &previous));
    EXPECT_EQ(0, previous);
    EXPECT_FALSE(semaphore.Unlock(5)); // above the maximum
}

struct Counter
{
    CCriticalSection lock;
    int value = 0;
};

UINT AddMany(LPVOID param)
{
    auto* counter = static_cast<Counter*>(param);
    for (int i = 0; i < 10000; ++i) {
        CSingleLock guard(&counter->lock, TRUE);
        int seen = counter->value;
        if (i % 1000 == 0)
            Sleep(0);
        counter->value = seen + 1;
    }
    return 0;
}

TEST(CSingleLock, CriticalSectionKeepsThreadsApart)
{
    Counter counter;
    HANDLE handles[4];
    CWinThread* threads[4];
    for (int i = 0; i < 4; ++i) {
        threads[i] = AfxBeginThread(AddMany, &counter, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, threads[i]);
        threads[i]->m_bAutoDelete = FALSE;
        handles[i] = threads[i]->m_hThread;
    }
    for (CWinThread* thread : threads)
        thread->ResumeThread();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, handles, TRUE, 30000));
    for (CWinThread* thread : threads)
        delete thread;
    EXPECT_EQ(40000, counter.value);

    CSingleLock guard(&counter.lock);
    EXPECT_FALSE(guard.IsLocked());
    EXPECT_TRUE(guard.Lock());
    EXPECT_TRUE(guard.IsLocked());
    EXPECT_TRUE(guard.Unlock());
    EXPECT_FALSE(guard.IsLocked());
    // A critical section has no time-out: the time given is ignored, never refused.
    EXPECT_TRUE(counter.lock.Lock(10));
    EXPECT_TRUE(counter.lock.Unlock());
    EXPECT_TRUE(guard.Lock(0));
    EXPECT_TRUE(guard.Unlock());
}

struct WorkerReport
{
    CWinThread* seen = nullptr;
    CEvent done{FALSE, TRUE};
};

UINT ReportSelf(LPVOID param)
{
    auto* report = static_cast<WorkerReport*>(param);
    report->seen = AfxGetThread();
    report->done.SetEvent();
    return 7;
}

TEST(CWinThread, WorkerSeesItselfAndEndsWithItsExitCode)
{
    WorkerReport report;
    CWinThread* thread = AfxBeginThread(ReportSelf, &report, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, thread->GetThreadPriority());
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
    EXPECT_EQ(thread, report.seen);
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(7u, code);
    delete thread;
}

UINT EndEarly(LPVOID param)
{
    static_cast<CEvent*>(param)->SetEvent();
    AfxEndThread(42, FALSE);
}

TEST(CWinThread, AfxEndThreadEndsTheCallingThread)
{
    CEvent started(FALSE, TRUE);
    CWinThread* thread = AfxBeginThread(EndEarly, &started, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(42u, code);
    delete thread;
}

// A user-interface thread: InitInstance, the message loop with idle calls, ExitInstance.
class CPumpThread : public CWinThread
{
    DECLARE_DYNCREATE(CPumpThread)
public:
    BOOL InitInstance() override
    {
        s_initialised = TRUE;
        return TRUE;
    }
    BOOL OnIdle(LONG lCount) override
    {
        if (lCount == 0)
            ++s_idlePasses;
        return CWinThread::OnIdle(lCount);
    }
    int ExitInstance() override
    {
        s_exited = TRUE;
        return CWinThread::ExitInstance();
    }
    static BOOL s_initialised, s_exited;
    static int s_idlePasses;
};
IMPLEMENT_DYNCREATE(CPumpThread, CWinThread)
BOOL CPumpThread::s_initialised = FALSE;
BOOL CPumpThread::s_exited = FALSE;
int CPumpThread::s_idlePasses = 0;

TEST(CWinThread, UserInterfaceThreadRunsItsLoopUntilQuit)
{
    CPumpThread::s_initialised = CPumpThread::s_exited = FALSE;
    CPumpThread::s_idlePasses = 0;
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CPumpThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    // Wait for the loop to go idle, then end it with WM_QUIT carrying the exit code.
    for (int i = 0; i < 3000 && CPumpThread::s_idlePasses == 0; ++i)
        Sleep(10);
    EXPECT_GT(CPumpThread::s_idlePasses, 0);
    EXPECT_TRUE(thread->PostThreadMessage(WM_QUIT, 5, 0));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(5u, code);
    EXPECT_TRUE(CPumpThread::s_initialised);
    EXPECT_TRUE(CPumpThread::s_exited);
    delete thread;
}

} // namespace
