// The file-operation engine's copier: a reader thread fills a ring of buffers ahead of the caller's
// thread, which writes them in turn. Two counts hold the buffers filled and the buffers free, so
// neither thread waits for the other (nor asks the system) while the ring has room: a reader that
// is late to wake on a busy machine stalls the writer only once the ring has run dry. The buffers
// and the thread are made once (SetUp) and serve every file of a job.
#pragma once

#include "fileops/BufferCount.h"
#include "fileops/FileCopy.h"
#include "foundation/VyxSharedMemory.h"

class CThreadedCopier
{
public:
    // The buffers of the ring.
    static const int kBufferCount = 4;

    CThreadedCopier();
    // Stops the reader thread and frees everything; nothing to do when SetUp never ran.
    ~CThreadedCopier();
    CThreadedCopier(const CThreadedCopier&) = delete;
    CThreadedCopier& operator=(const CThreadedCopier&) = delete;

    // The first call only: the ring of buffers of GetCopyBufferSize(requested) bytes each and the
    // reader thread. False when they cannot be made (every copy then fails with -1).
    bool SetUp(DWORD requested);
    bool IsReady() const { return m_shared != nullptr; }
    DWORD GetBufferSize() const;
    // Without replace, a file found at the target stays and the answer is ERROR_FILE_EXISTS.
    int CopyFileThreaded(const wchar_t* source, const wchar_t* target, CopyProgressCallback callback, DWORD context,
                         bool replace = true);

    // The reader's priority for copiers set up from now on. Below normal: an idle-priority
    // reader starves on a busy machine while the caller's thread waits for it.
    static int s_readerPriority;

private:
    // What the two threads share. The counts order every access: the reader touches a buffer and
    // its count only between taking a free buffer and giving it back filled, the writer only
    // between taking it filled and giving it back free.
    struct SharedBlock
    {
        HANDLE quit = nullptr;            // event: the thread ends
        HANDLE start = nullptr;           // event: a copy begins at buffer 0
        HANDLE idle = nullptr;            // event: the reader has left the copy and reads no more
        BufferCount free{kBufferCount};   // buffers the reader may fill
        BufferCount filled{kBufferCount}; // buffers the writer may write
        HANDLE source = nullptr;
        void* buffers[kBufferCount] = {};
        DWORD size = 0;
        DWORD bytesRead[kBufferCount] = {}; // kReadFailed after a failed read
        DWORD readError[kBufferCount] = {};
        // Set by the writer when it stops before the source's end: the reader reads no further.
        volatile LONG abandon = 0;
    };
    static UINT AFX_CDECL ReaderThread(LPVOID param);
    // The read loop of one copy: reads until the source's end, a failed read or an abandoned copy.
    static void ReadAhead(SharedBlock& shared);
    DWORD WriteFromReader(HANDLE input, CopyTarget& output, const CopyReport& report);
    void Release();

    VyxSharedMemory m_buffers[kBufferCount];
    CWinThread* m_thread = nullptr;
    SharedBlock* m_shared = nullptr;
};
