// A thumbnail cache file (or the spill file) read through a small window: the records' fields and
// the images asked for are read, an image's bytes that are not asked for are stepped over. A file
// of any size is read in the same few hundred kilobytes, and nothing of it is mapped. Reads that
// follow each other closely are served by one long read.
#pragma once

#include "foundation/FileStamp.h"
#include "framework/Framework.h"

#include <vector>

class CacheFileReader
{
public:
    CacheFileReader() = default;
    ~CacheFileReader();
    CacheFileReader(const CacheFileReader&) = delete;
    CacheFileReader& operator=(const CacheFileReader&) = delete;

    // Opens the file for reading, shared with writers and with its replacement (what is read is
    // checked record by record); false when it does not open.
    bool Open(const wchar_t* fileName);
    // Reads through a handle the caller keeps open.
    bool Attach(HANDLE file);
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    ULONGLONG GetSize() const { return m_size; }

    // count bytes from offset, valid until the next call; null when the file does not give them.
    const BYTE* At(ULONGLONG offset, DWORD count);
    // As At, but a read it has to make goes on to at least least bytes (as far as the file goes).
    const BYTE* AtReadingOn(ULONGLONG offset, DWORD count, DWORD least);
    // The window holds these bytes (with or without an open file).
    bool Holds(ULONGLONG offset, DWORD count) const
    {
        return offset >= m_start && offset - m_start <= m_filled && count <= m_filled - (offset - m_start);
    }
    // The open file's size and last write time; false when there is none or it cannot be read.
    bool ReadStamp(FileStamp& stamp) const;
    // Lets the file go (closed when it was opened here).
    void Close();
    // Exchanges the window's memory with the caller's, which keeps it from one reader to the
    // next (a new window's pages cost more to fault in than the reads into them). Its first
    // filled bytes are the file's from start on, read earlier: they serve without the file being
    // opened. Returned with what it then holds.
    void LendWindow(std::vector<BYTE>& window, ULONGLONG start, DWORD filled)
    {
        m_window.swap(window);
        m_start = start;
        m_filled = filled <= m_window.size() ? filled : 0;
    }
    void ReturnWindow(std::vector<BYTE>& window, ULONGLONG& start, DWORD& filled)
    {
        m_window.swap(window);
        start = m_start;
        filled = m_filled;
        m_start = 0;
        m_filled = 0;
    }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_owned = false;
    ULONGLONG m_size = 0;
    std::vector<BYTE> m_window;
    ULONGLONG m_start = 0;
    DWORD m_filled = 0;
};
