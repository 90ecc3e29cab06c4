// One piece of the user-interface thread's work run over as many calls as it needs: the work runs
// on a fiber of its own and gives way (GiveWay, called from inside it) once the time allowed for
// the current call is spent; the next Resume goes on where it stopped. A job that is given up
// (Abort) is resumed with every further GiveWay answering "stop", so that it unwinds through its
// own code and frees what it holds. One job at a time, on the thread that started it.
#pragma once

#include <windows.h>

#include <functional>

class SteppedJob
{
public:
    // Runs the work until it ends or gives way; true when it ended. allowanceEnd: the GetTickCount
    // value from which the work gives way; 0 runs it to its end. A job already waiting is given up
    // first. Inside a job, or on another thread, the work simply runs to its end.
    static bool Start(std::function<void()> work, DWORD allowanceEnd);
    // Goes on with the waiting job; true when it ended (also when there was none). An exception
    // that ended the work is raised again here.
    static bool Resume(DWORD allowanceEnd);
    // A job has given way and waits for Resume.
    static bool IsWaiting();
    // The waiting job unwinds to its end; nothing of it remains. Inside the job it only marks it.
    static void Abort();
    // From inside the work: gives way when the allowance is spent. True when the job is being
    // given up and the caller should stop. Outside a job: false at once.
    static bool GiveWay();
    // The running job is being given up.
    static bool IsAborting();
    // The calling code runs inside the job.
    static bool IsInside();
};
