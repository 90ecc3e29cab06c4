// The folder watchers' worker: a thread blocked on a change notification for one path that posts
// WMU_FOLDERCHANGED to the main frame for each change, and re-targets or stops on its events.
#pragma once

#include "framework/Framework.h"

#include "catalogue/FrameMessages.h"

// What the frame hands a watcher thread; the frame owns it and frees it only after the thread
// has ended.
struct FolderWatchBlock
{
    static const int PathSize = 521; // at most 520 characters and the terminator

    wchar_t path[PathSize]; // under pathLock: the frame re-targets while the thread may re-open
    CRITICAL_SECTION pathLock;
    BOOL watchSubtree;
    HANDLE stopEvent;    // auto-reset
    HANDLE restartEvent; // auto-reset: re-open on the path the frame may have replaced
    HWND frameWnd;
    FolderChangeSource source; // posted as the message's wParam
};

// File names, folder names and last-write times.
const DWORD kFolderWatchFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

// 1 when the notification cannot be opened, else 0.
UINT AFX_CDECL FolderWatchThread(LPVOID pParam);

// One watcher of the frame: its events, thread and parameter block.
class FolderWatchSlot
{
public:
    explicit FolderWatchSlot(FolderChangeSource source) : m_source(source) {}
    ~FolderWatchSlot() { Stop(); }
    FolderWatchSlot(const FolderWatchSlot&) = delete;
    FolderWatchSlot& operator=(const FolderWatchSlot&) = delete;

    // Starts a thread on the path (stopping a running one first). False, with the watcher off,
    // for a path longer than the block holds or when the thread cannot be made.
    bool Start(HWND frameWnd, const wchar_t* path, BOOL watchSubtree);
    // Ends the thread, waiting at most the stop timeout; the block is freed once the thread is
    // gone (left to the process when it does not end in time).
    void Stop();
    // A thread was started and has not ended.
    bool IsRunning() const;
    bool IsStarted() const { return m_block != nullptr; }
    // A new path for the running thread; false (watcher stopped) when the path does not fit.
    bool Retarget(const wchar_t* path);
    // The path being watched, as the frame last set it (never read from the thread's block).
    const CString& GetPath() const { return m_path; }
    // The block that the running thread posts with.
    bool IsBlock(LPARAM lParam) const { return m_block && reinterpret_cast<LPARAM>(m_block) == lParam; }
    FolderChangeSource GetSource() const { return m_source; }
    DWORD GetThreadId() const { return m_threadId; }

    static DWORD s_stopTimeout;

private:
    FolderChangeSource m_source;
    CString m_path;
    FolderWatchBlock* m_block = nullptr;
    CWinThread* m_thread = nullptr;  // deletes itself when it ends: only its handle is used
    HANDLE m_threadHandle = nullptr; // a duplicate, valid after the thread has ended
    DWORD m_threadId = 0;
};
