#include "browser/CacheWriteOnClose.h"

#include "catalogue/CacheFileWriter.h"
#include "catalogue/RetiredItems.h"
#include "controls/ProgressDlg.h"
#include "res/resource.h"

namespace {

// The bar's range (it holds 16-bit bounds): records written are shown in thousandths.
const int kSteps = 1000;

} // namespace

CacheWriteOnClose::CacheWriteOnClose() = default;

CacheWriteOnClose::~CacheWriteOnClose()
{
    End();
}

bool CacheWriteOnClose::Begin(std::unique_ptr<CacheFileWriter> writer, CWnd* owner)
{
    End();
    if (!writer)
        return false;
    // Not waited for here: the close is answered at once, and the owner's first poll, soon after,
    // finds a short write done.
    writer->Start();
    m_writer = std::move(writer);
    m_owner = owner;
    m_started = GetTickCount();
    return true;
}

bool CacheWriteOnClose::Poll()
{
    if (!m_writer)
        return true;
    if (m_progress && m_progress->m_cancel)
        m_writer->Stop();
    if (m_writer->Wait(0)) {
        End();
        return true;
    }
    if (!m_progress && GetTickCount() - m_started >= ShowAfter) {
        m_progress = std::make_unique<CProgressDlg>(IDS_CACHE_SAVE_TITLE);
        if (m_progress->Create(m_owner)) {
            m_progress->SetRange(0, kSteps);
            m_progress->SetText(CString(MAKEINTRESOURCEW(IDS_CACHE_SAVE_TEXT)));
        }
    }
    const long total = m_writer->GetTotal();
    if (m_progress && total > 0)
        m_progress->ShowPosition(static_cast<int>(static_cast<LONGLONG>(m_writer->GetWritten()) * kSteps / total));
    return false;
}

void CacheWriteOnClose::Finish()
{
    if (m_writer)
        m_writer->Wait(INFINITE);
    End();
}

void CacheWriteOnClose::End()
{
    if (m_progress) {
        if (m_progress->GetSafeHwnd())
            m_progress->DestroyWindow();
        m_progress.reset();
    }
    // The folders of a writing that ended are deleted in the idle time, or let go at the end of
    // the process: deleting a large folder's records would hold the close.
    if (m_writer && m_writer->Wait(0))
        for (VyxCacheFolder* folder : m_writer->TakeFolders())
            RetiredItems::TakeCacheFolder(folder);
    // Waits for the thread; the folders left go with the writer.
    m_writer.reset();
}
