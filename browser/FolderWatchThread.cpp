#include "browser/FolderWatchThread.h"

#include "foundation/VyxLog.h"

DWORD FolderWatchSlot::s_stopTimeout = 5000;

namespace {

HANDLE OpenNotification(FolderWatchBlock* block)
{
    wchar_t path[FolderWatchBlock::PathSize];
    EnterCriticalSection(&block->pathLock);
    wcscpy(path, block->path);
    LeaveCriticalSection(&block->pathLock);
    return FindFirstChangeNotificationW(path, block->watchSubtree, kFolderWatchFilter);
}

void DeleteBlock(FolderWatchBlock* block)
{
    DeleteCriticalSection(&block->pathLock);
    delete block;
}

bool FitsBlock(const wchar_t* path)
{
    return path && wcslen(path) < static_cast<size_t>(FolderWatchBlock::PathSize);
}

} // namespace

UINT AFX_CDECL FolderWatchThread(LPVOID pParam)
{
    auto* block = static_cast<FolderWatchBlock*>(pParam);
    HANDLE notification = OpenNotification(block);
    if (notification == INVALID_HANDLE_VALUE)
        return 1;
    for (;;) {
        HANDLE handles[3] = {notification, block->stopEvent, block->restartEvent};
        DWORD wait = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (wait == WAIT_OBJECT_0) {
            if (IsWindow(block->frameWnd))
                PostMessageW(block->frameWnd, WMU_FOLDERCHANGED, block->source, reinterpret_cast<LPARAM>(block));
            if (!FindNextChangeNotification(notification))
                break;
        } else if (wait == WAIT_OBJECT_0 + 2) {
            FindCloseChangeNotification(notification);
            notification = OpenNotification(block);
            if (notification == INVALID_HANDLE_VALUE)
                break;
        } else {
            break;
        }
    }
    if (notification != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(notification);
    return 0;
}

bool FolderWatchSlot::Start(HWND frameWnd, const wchar_t* path, BOOL watchSubtree)
{
    Stop();
    if (!FitsBlock(path))
        return false;
    HANDLE stopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE restartEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto* block = new FolderWatchBlock{};
    InitializeCriticalSection(&block->pathLock);
    wcscpy(block->path, path);
    block->watchSubtree = watchSubtree;
    block->stopEvent = stopEvent;
    block->restartEvent = restartEvent;
    block->frameWnd = frameWnd;
    block->source = m_source;
    CWinThread* thread = nullptr;
    if (stopEvent && restartEvent)
        thread = AfxBeginThread(FolderWatchThread, block, THREAD_PRIORITY_IDLE, 0, CREATE_SUSPENDED);
    HANDLE handle = nullptr;
    if (thread &&
        !DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &handle, SYNCHRONIZE, FALSE, 0)) {
        // Without a handle to wait on, the block could never be freed safely: the thread is
        // told to end at once and keeps its block.
        SetEvent(stopEvent);
        thread->ResumeThread();
        return false;
    }
    if (!thread) {
        DeleteBlock(block);
        if (stopEvent)
            CloseHandle(stopEvent);
        if (restartEvent)
            CloseHandle(restartEvent);
        return false;
    }
    m_block = block;
    m_thread = thread;
    m_threadHandle = handle;
    m_threadId = thread->m_nThreadID;
    m_path = path;
    thread->m_bAutoDelete = TRUE;
    thread->ResumeThread();
    return true;
}

void FolderWatchSlot::Stop()
{
    if (!m_block)
        return;
    SetEvent(m_block->stopEvent);
    SetEvent(m_block->restartEvent);
    if (WaitForSingleObject(m_threadHandle, s_stopTimeout) == WAIT_OBJECT_0) {
        CloseHandle(m_block->stopEvent);
        CloseHandle(m_block->restartEvent);
        DeleteBlock(m_block);
    } else {
        // The thread still reads its block and events: they are left to it rather than freed
        // under it.
        LogWrite(VYX_LOG_SOURCE, LogLevelWarning, L"folder watcher %d did not end in time", static_cast<int>(m_source));
    }
    CloseHandle(m_threadHandle);
    m_threadHandle = nullptr;
    m_thread = nullptr;
    m_block = nullptr;
    m_threadId = 0;
    m_path.Empty();
}

bool FolderWatchSlot::IsRunning() const
{
    return m_block && WaitForSingleObject(m_threadHandle, 0) == WAIT_TIMEOUT;
}

bool FolderWatchSlot::Retarget(const wchar_t* path)
{
    if (!m_block)
        return false;
    if (!FitsBlock(path)) {
        Stop();
        return false;
    }
    EnterCriticalSection(&m_block->pathLock);
    wcscpy(m_block->path, path);
    LeaveCriticalSection(&m_block->pathLock);
    m_path = path;
    SetEvent(m_block->restartEvent);
    return true;
}
