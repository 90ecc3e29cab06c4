// One settings file held in memory for reading key by key: the file is read whole once and again
// only when its size or last write time moved, or when it was written so recently that a second
// write could hide inside the same file-time tick. Writes never go through here.
#pragma once

#include "framework/Framework.h"

#include <mutex>
#include <string>
#include <vector>

class VyxIniFileCache
{
public:
    // How far the last write must lie behind the moment the file was looked at before its size
    // and write time alone are trusted to show the next change (a few file-time ticks).
    static constexpr ULONGLONG TrustedAgeTicks = 100 * 10000; // 100 ms in 100-ns units

    void SetPath(const CString& path);
    // The next read looks at the file whole again.
    void Invalidate();

    enum Result { Found, Missing, Unavailable };
    // A key's value as the platform's reader gives it (surrounding quotes of a pair removed, at
    // most maxChars characters). Unavailable when the file cannot be held (too large, an encoding
    // only the platform reads): the caller reads it through the platform.
    Result Lookup(const wchar_t* section, const wchar_t* key, CString& value, int maxChars);
    // The same, where the file's size and write time alone tell whether it changed since it was
    // last read, even just after a write: for a writer asking whether a value stands already,
    // which a change inside the same file-time tick cannot have made stand.
    Result LookupBeforeWriting(const wchar_t* section, const wchar_t* key, CString& value, int maxChars);

    // Whole-file reads so far (for tests and measurements).
    unsigned GetLoadCount() const { return m_loads; }

private:
    struct Entry
    {
        std::wstring key; // lower case
        std::wstring value;
        bool hasValue;
    };
    struct Section
    {
        std::wstring name; // lower case
        std::vector<Entry> entries;
    };

    bool Refresh(bool sizeAndTimeSuffice = false);
    Result Find(const wchar_t* section, const wchar_t* key, CString& value, int maxChars, bool sizeAndTimeSuffice);
    bool Parse(const std::string& bytes);

    std::mutex m_lock;
    CString m_path;
    bool m_checked = false; // the file was looked at since the path was set or invalidated
    bool m_trusted = false; // a write after that look changes size or write time
    bool m_usable = false;  // m_sections holds the file (a missing file holds nothing)
    bool m_exists = false;
    ULONGLONG m_size = 0;
    ULONGLONG m_writeTime = 0;
    std::string m_bytes;
    std::vector<Section> m_sections;
    unsigned m_loads = 0;
};
