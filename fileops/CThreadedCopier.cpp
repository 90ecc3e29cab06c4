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
        // Every copy ends with no read in flight, so the reader is waiting and ends at once.
        WaitForSingleObject(m_thread->m_hThread, INFINITE);
        delete m_thread;
        m_thread = nullptr;
    }
    for (HANDLE event : {m_shared->quit, m_shared->go, m_shared->done})
        if (event)
            CloseHandle(event);
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
    m_shared = new SharedBlock{};
    m_shared->size = GetCopyBufferSize(requested);
    for (int i = 0; i < 2; ++i) {
        CString name;
        name.Format(L"%08X_%d", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(this)), i);
        if (!m_buffers[i].Create(name, m_shared->size)) {
            Release();
            return false;
        }
    }
    m_shared->quit = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_shared->go = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_shared->done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_shared->quit && m_shared->go && m_shared->done)
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
    HANDLE events[2] = {shared->quit, shared->go};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        DWORD read = 0;
        if (ReadFile(shared->source, shared->buffer, shared->size, &read, nullptr)) {
            shared->bytesRead = read;
        } else {
            shared->readError = GetLastError();
            shared->bytesRead = kReadFailed;
        }
        SetEvent(shared->done);
    }
    return 0;
}

int CThreadedCopier::CopyFileThreaded(const wchar_t* source, const wchar_t* target, CopyProgressCallback callback,
                                      DWORD context)
{
    if (!m_shared)
        return kCopyFailed;
    SharedBlock& shared = *m_shared;
    return RunCopy(source, target, callback, context,
                   [this, &shared](HANDLE input, ULONGLONG size, CopyTarget& output, const CopyReport& report) {
                       // A file that one read takes has nothing to overlap: no hand-over. A
                       // source that tells no size (a pipe) may be long and goes to the reader.
                       if (size > 0 && size < shared.size)
                           return CopyBlocks(input, m_buffers[0].GetView(), shared.size, output, report);
                       shared.source = input;
                       m_current = 0;
                       shared.buffer = m_buffers[0].GetView();
                       SetEvent(shared.go);
                       for (;;) {
                           WaitForSingleObject(shared.done, INFINITE);
                           DWORD read = shared.bytesRead;
                           // A failed read is a failed copy, never a count of bytes to write.
                           if (read == kReadFailed)
                               return shared.readError ? shared.readError : static_cast<DWORD>(ERROR_READ_FAULT);
                           if (read == 0)
                               return DWORD(0);
                           const void* filled = shared.buffer;
                           m_current = (m_current + 1) % 2;
                           shared.buffer = m_buffers[m_current].GetView();
                           SetEvent(shared.go);
                           DWORD error = output.Write(filled, read);
                           if (error || report(read)) {
                               // The read in flight ends before the source is closed.
                               WaitForSingleObject(shared.done, INFINITE);
                               return error;
                           }
                       }
                   });
}
