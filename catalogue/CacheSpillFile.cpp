#include "catalogue/CacheSpillFile.h"

#include <system_error>
#include <thread>

namespace {

// Below this size the close is quick enough for the caller to wait for it.
const ULONGLONG kCloseAtOnce = 64ull << 20;

} // namespace

CacheSpillFile::~CacheSpillFile()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
}

bool CacheSpillFile::Open()
{
    if (IsOpen())
        return true;
    wchar_t folder[MAX_PATH + 1] = {}, name[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameW(folder, L"vyx", 0, name))
        return false;
    // Nobody else may open it: what the records were written as is what they read back.
    m_file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return false;
    }
    m_end = 0;
    return true;
}

bool CacheSpillFile::Append(const void* data, size_t length, ULONGLONG& at)
{
    if (!IsOpen() || length > 0x7FFFFFFF)
        return false;
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(m_end);
    where.OffsetHigh = static_cast<DWORD>(m_end >> 32);
    DWORD written = 0;
    if (!WriteFile(m_file, data, static_cast<DWORD>(length), &written, &where) || written != length)
        return false;
    at = m_end;
    m_end += length;
    return true;
}

bool CacheSpillFile::ReadFileAt(HANDLE file, ULONGLONG at, void* data, DWORD length)
{
    if (file == INVALID_HANDLE_VALUE)
        return false;
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD read = 0;
    return length == 0 || (ReadFile(file, data, length, &read, &where) && read == length);
}

void CacheSpillFile::Discard(std::unique_ptr<CacheSpillFile> spill)
{
    if (!spill || !spill->IsOpen() || spill->m_end < kCloseAtOnce)
        return;
    const HANDLE file = spill->m_file;
    spill->m_file = INVALID_HANDLE_VALUE;
    try {
        std::thread([file] { CloseHandle(file); }).detach();
    } catch (const std::system_error&) {
        CloseHandle(file);
    }
}
