#include "catalogue/PictureFileBytes.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace {

// One buffer is kept for the next file: fresh memory for every picture costs more than reading
// it (each page is faulted in). Larger files get memory of their own, given back at once.
constexpr size_t kKeptBufferLimit = 32u << 20;

std::atomic<std::vector<BYTE>*> s_kept{nullptr};

// The kept buffer goes with the process.
struct KeptBufferRelease
{
    ~KeptBufferRelease() { delete s_kept.exchange(nullptr); }
} s_keptBufferRelease;

} // namespace

PictureFileBytes::~PictureFileBytes()
{
    Release();
    ReleaseBuffer();
}

const BYTE* PictureFileBytes::Head(int* length)
{
    if (m_headLength == 0 && !m_whole && Open()) {
        DWORD read = 0;
        if (ReadFile(m_file, m_head, sizeof(m_head), &read, nullptr))
            m_headLength = static_cast<int>(read);
    }
    *length = m_whole ? static_cast<int>(std::min<DWORD>(m_size, sizeof(m_head))) : m_headLength;
    return *length > 0 ? (m_whole ? m_bytes : m_head) : nullptr;
}

const BYTE* PictureFileBytes::Whole(DWORD* size)
{
    if (!m_whole && !m_failed) {
        m_failed = true;
        if (Open() && m_size <= WholeFileLimit && m_size > 0) {
            if (m_size <= kKeptBufferLimit) {
                std::vector<BYTE>* kept = s_kept.exchange(nullptr);
                m_kept.reset(kept ? kept : new (std::nothrow) std::vector<BYTE>);
                try {
                    if (m_kept && m_kept->size() < m_size)
                        m_kept->resize(m_size);
                } catch (const std::bad_alloc&) {
                    m_kept.reset();
                }
                m_bytes = m_kept ? m_kept->data() : nullptr;
            } else {
                m_own.reset(new (std::nothrow) BYTE[m_size]);
                m_bytes = m_own.get();
            }
            DWORD have = static_cast<DWORD>(m_headLength);
            // A file that shrank since its head was read is read whole again.
            if (have > m_size)
                have = 0;
            if (m_bytes && have > 0)
                std::memcpy(m_bytes, m_head, have);
            DWORD read = 0;
            // After a release the file was opened again: its pointer is set past the head.
            if (m_bytes &&
                (have == m_size ||
                 (SetFilePointer(m_file, static_cast<LONG>(have), nullptr, FILE_BEGIN) == have &&
                  ReadFile(m_file, m_bytes + have, m_size - have, &read, nullptr) && read == m_size - have))) {
                m_whole = true;
                m_failed = false;
            } else {
                ReleaseBuffer();
            }
        }
        Release();
    }
    *size = m_whole ? m_size : 0;
    return m_whole ? m_bytes : nullptr;
}

void PictureFileBytes::Release()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
}

bool PictureFileBytes::Open()
{
    if (m_file != INVALID_HANDLE_VALUE)
        return true;
    if (m_openFailed)
        return false;
    m_file = CreateFileW(m_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size = {};
    if (m_file != INVALID_HANDLE_VALUE && GetFileSizeEx(m_file, &size))
        m_size = size.HighPart == 0 ? size.LowPart : 0xFFFFFFFFu;
    m_openFailed = m_file == INVALID_HANDLE_VALUE;
    return !m_openFailed;
}

void PictureFileBytes::ReleaseBuffer()
{
    m_bytes = nullptr;
    m_whole = false;
    m_own.reset();
    // Kept for the next file unless another one was kept meanwhile.
    std::vector<BYTE>* none = nullptr;
    if (m_kept && s_kept.compare_exchange_strong(none, m_kept.get()))
        m_kept.release();
    m_kept.reset();
}
