#include "catalogue/CacheFileReader.h"

#include "catalogue/CacheSpillFile.h"

#include <algorithm>

namespace {

const DWORD kShortRead = 4096;
const DWORD kLongRead = 256 * 1024;
// A step over no more than this (small images) still counts as reading on.
const ULONGLONG kShortStep = 16384;

} // namespace

CacheFileReader::~CacheFileReader()
{
    Close();
}

void CacheFileReader::Close()
{
    if (m_owned && m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_owned = false;
    m_size = m_start = 0;
    m_filled = 0;
}

bool CacheFileReader::Open(const wchar_t* fileName)
{
    Close();
    if (!fileName || !*fileName)
        return false;
    HANDLE file = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    if (!Attach(file)) {
        CloseHandle(file);
        return false;
    }
    m_owned = true;
    return true;
}

bool CacheFileReader::Attach(HANDLE file)
{
    Close();
    LARGE_INTEGER size = {};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return false;
    m_file = file;
    m_size = static_cast<ULONGLONG>(size.QuadPart);
    return true;
}

const BYTE* CacheFileReader::At(ULONGLONG offset, DWORD count)
{
    return AtReadingOn(offset, count, 0);
}

const BYTE* CacheFileReader::AtReadingOn(ULONGLONG offset, DWORD count, DWORD least)
{
    const ULONGLONG end = m_start + m_filled;
    if (Holds(offset, count))
        return m_window.data() + (offset - m_start);
    if (!IsOpen() || offset > m_size || count > m_size - offset)
        return nullptr;
    // After a short step a long read serves the next records too; after a long one (a large
    // image stepped over, or a record looked up alone) a short read is enough for one record.
    const DWORD want = std::max(offset >= end && offset - end <= kShortStep ? kLongRead : kShortRead, least);
    const DWORD length = static_cast<DWORD>(std::min<ULONGLONG>(std::max(want, count), m_size - offset));
    if (m_window.size() < length)
        m_window.resize(std::max(length, kShortRead));
    m_start = offset;
    m_filled = 0;
    if (!CacheSpillFile::ReadFileAt(m_file, offset, m_window.data(), length))
        return nullptr;
    m_filled = length;
    return m_window.data();
}

bool CacheFileReader::ReadStamp(FileStamp& stamp) const
{
    return IsOpen() && FileStamp::ReadOpen(m_file, stamp);
}
