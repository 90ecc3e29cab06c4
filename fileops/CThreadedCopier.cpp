#include "fileops/CThreadedCopier.h"

#include "fileops/CopyTarget.h"

namespace {

const DWORD kReadFailed = 0xFFFFFFFF;

} // namespace

int CThreadedCopier::s_readerPriority = THREAD_PRIORITY_BELOW_NORMAL;

CThreadedCopier::CThreadedCopier() {}

CThreadedCopier::~CThreadedCopier()
{
    Release();
}

void CThreadedCopier::Release()
{
    if (!m_shared)
        return;
    if (m_thread) {
        SetEvent(m_shared->quit);
        // Every copy ends with the reader out of it, so the reader is waiting and ends at once.
        WaitForSingleObject(m_thread->m_hThread, INFINITE);
        delete m_thread;
        m_thread = nullptr;
    }
    for (HANDLE handle : {m_shared->quit, m_shared->start, m_shared->idle})
        if (handle)
            CloseHandle(handle);
    delete m_shared;
    m_shared = nullptr;
}

DWORD CThreadedCopier::GetBufferSize() const
{
    return m_shared ? m_shared->size : 0;
}

bool CThreadedCopier::SetUp(DWORD requested)
{
    if (m_shared)
        return true;
    m_shared = new SharedBlock;
    m_shared->size = GetCopyBufferSize(requested);
    for (int i = 0; i < kBufferCount; ++i) {
        CString name;
        name.Format(L"%08X_%d", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(this)), i);
        if (!m_buffers[i].Create(name, m_shared->size)) {
            Release();
            return false;
        }
        m_shared->buffers[i] = m_buffers[i].GetView();
    }
    m_shared->quit = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_shared->start = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_shared->idle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_shared->quit && m_shared->start && m_shared->idle && m_shared->free.IsReady() && m_shared->filled.IsReady())
        m_thread = AfxBeginThread(ReaderThread, m_shared, s_readerPriority, 0, CREATE_SUSPENDED);
    if (!m_thread) {
        Release();
        return false;
    }
    m_thread->m_bAutoDelete = FALSE;
    m_thread->ResumeThread();
    return true;
}

UINT AFX_CDECL CThreadedCopier::ReaderThread(LPVOID param)
{
    auto* shared = static_cast<SharedBlock*>(param);
    HANDLE events[2] = {shared->quit, shared->start};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        ReadAhead(*shared);
        SetEvent(shared->idle);
    }
    return 0;
}

void CThreadedCopier::ReadAhead(SharedBlock& shared)
{
    for (int slot = 0;; slot = (slot + 1) % kBufferCount) {
        shared.free.Take();
        if (shared.abandon)
            return;
        DWORD read = 0;
        if (ReadFile(shared.source, shared.buffers[slot], shared.size, &read, nullptr)) {
            shared.bytesRead[slot] = read;
        } else {
            shared.readError[slot] = GetLastError();
            shared.bytesRead[slot] = kReadFailed;
        }
        shared.filled.Add(1);
        // The end and a failure are the last blocks the writer takes.
        if (read == 0)
            return;
    }
}

DWORD CThreadedCopier::WriteFromReader(HANDLE input, CopyTarget& output, const CopyReport& report)
{
    SharedBlock& shared = *m_shared;
    // The last copy left the reader idle; what its counts kept is cleared before this one.
    shared.filled.Clear();
    shared.free.Clear();
    shared.source = input;
    shared.abandon = 0;
    shared.free.Add(kBufferCount);
    SetEvent(shared.start);
    DWORD result = 0;
    bool readerDone = false;
    for (int slot = 0;; slot = (slot + 1) % kBufferCount) {
        shared.filled.Take();
        DWORD read = shared.bytesRead[slot];
        // A failed read is a failed copy, never a count of bytes to write.
        if (read == kReadFailed) {
            result = shared.readError[slot] ? shared.readError[slot] : static_cast<DWORD>(ERROR_READ_FAULT);
            readerDone = true;
            break;
        }
        if (read == 0) {
            readerDone = true;
            break;
        }
        DWORD error = output.Write(shared.buffers[slot], read);
        if (error || report(read)) {
            result = error;
            break;
        }
        shared.free.Add(1);
    }
    if (!readerDone) {
        // Stopped before the end: the reader finishes the read in flight and takes no more.
        InterlockedExchange(&shared.abandon, 1);
        shared.free.Add(1);
    }
    // The source is closed after this call; the reader must be out of it first.
    WaitForSingleObject(shared.idle, INFINITE);
    return result;
}

int CThreadedCopier::CopyFileThreaded(const wchar_t* source, const wchar_t* target, CopyProgressCallback callback,
                                      DWORD context, bool replace)
{
    if (!m_shared) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return kCopyFailed;
    }
    const DWORD size = m_shared->size;
    return RunCopy(
        source, target, callback, context,
        [this, size](HANDLE input, ULONGLONG length, CopyTarget& output, const CopyReport& report) {
            // A file that one read takes has nothing to overlap: no hand-over. A
            // source that tells no size (a pipe) may be long and goes to the reader.
            if (length > 0 && length < size)
                return CopyBlocks(input, m_shared->buffers[0], size, output, report);
            return WriteFromReader(input, output, report);
        },
        replace);
}
