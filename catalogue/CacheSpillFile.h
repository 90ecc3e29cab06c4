// A private temporary file a cache folder moves new thumbnail records out to while their folder
// is open, so their image bytes need not stay in memory until the cache file is written. The
// file goes when it is closed (or the process ends).
#pragma once

#include "framework/Framework.h"

#include <memory>

class CacheSpillFile
{
public:
    CacheSpillFile() = default;
    ~CacheSpillFile();

    // False when no temporary file can be made.
    bool Open();
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    HANDLE GetHandle() const { return m_file; }
    // Appends the bytes; where they start in the file goes to at.
    bool Append(const void* data, size_t length, ULONGLONG& at);
    bool ReadAt(ULONGLONG at, void* data, DWORD length) const { return ReadFileAt(m_file, at, data, length); }

    // Exactly length bytes of the file from at, or false.
    static bool ReadFileAt(HANDLE file, ULONGLONG at, void* data, DWORD length);
    // Closes the file, a large one on a thread of its own: under this platform the close deletes
    // it while the caller waits, about a third of a second a gigabyte.
    static void Discard(std::unique_ptr<CacheSpillFile> spill);

private:
    CacheSpillFile(const CacheSpillFile&) = delete;
    CacheSpillFile& operator=(const CacheSpillFile&) = delete;

    HANDLE m_file = INVALID_HANDLE_VALUE;
    ULONGLONG m_end = 0;
};
