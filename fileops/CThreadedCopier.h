// The file-operation engine's copier: a reader thread fills one of two buffers while the caller's
// thread writes the other, handing them over through three auto-reset events (quit, go, done).
// The buffers and the thread are made once (SetUp) and serve every file of a job.
#pragma once

#include "fileops/FileCopy.h"
#include "foundation/VyxSharedMemory.h"

class CThreadedCopier
{
public:
    CThreadedCopier();
    // Stops the reader thread and frees everything; nothing to do when SetUp never ran.
    ~CThreadedCopier();
    CThreadedCopier(const CThreadedCopier&) = delete;
    CThreadedCopier& operator=(const CThreadedCopier&) = delete;

    // The first call only: two buffers of GetCopyBufferSize(requested) bytes and the reader
    // thread. False when they cannot be made (every copy then fails with -1).
    bool SetUp(DWORD requested);
    bool IsReady() const { return m_shared != nullptr; }
    DWORD GetBufferSize() const;
    int CopyFileThreaded(const wchar_t* source, const wchar_t* target, CopyProgressCallback callback, DWORD context);

    // The reader's priority for copiers set up from now on. Below normal: an idle-priority
    // reader starves on a busy machine while the caller's thread waits for it.
    static int s_readerPriority;

private:
    // Seven words as the reader sees them, and the reader's error code after a failed read.
    struct SharedBlock
    {
        HANDLE quit;
        HANDLE go;
        HANDLE done;
        HANDLE source;
        void* buffer;
        DWORD size;
        DWORD bytesRead; // kReadFailed after a failed read
        DWORD readError;
    };
    static UINT AFX_CDECL ReaderThread(LPVOID param);
    void Release();

    int m_current = 0;
    VyxSharedMemory m_buffers[2];
    CWinThread* m_thread = nullptr;
    SharedBlock* m_shared = nullptr;
};
