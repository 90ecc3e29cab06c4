// The status of one file (attributes, 64-bit size, times in 64-bit Unix seconds): read, written
// back to another file after a copy, compared, and turned into the texts of the file macros.
#pragma once

#include "framework/Framework.h"

class VyxFileStatus
{
public:
    VyxFileStatus();
    explicit VyxFileStatus(const wchar_t* path);
    virtual ~VyxFileStatus();

    // False, with attributes, size and times 0, when nothing matches the path.
    bool GetStatus(const wchar_t* path);
    // Applies the stored attributes and every non-zero time to path (null: the stored path);
    // throws CFileException* on a failing system call.
    void SetStatus(const wchar_t* path = nullptr);

    const CString& GetPath() const { return m_path; }
    const CString& SetPath(const wchar_t* path);
    int GetAttributes() const { return m_attributes; }
    unsigned long long GetSize() const { return m_size; }
    long long GetCreationTime() const { return m_creationTime; }
    long long GetAccessTime() const { return m_accessTime; }
    long long GetWriteTime() const { return m_writeTime; }
    bool IsDirectory() const { return (m_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // Equal sizes and equal write times.
    bool IsSameFile(const VyxFileStatus& other) const;

    // The text of macro id 0-19 (kFileMacros); the empty text for any other id.
    virtual CString GetMacroText(int id) const;

private:
    CString m_path;
    int m_attributes = 0;
    unsigned long long m_size = 0;
    long long m_creationTime = 0;
    long long m_accessTime = 0;
    long long m_writeTime = 0;
};

struct FileMacro
{
    const wchar_t* name;
    int id;
};
// The twenty "$(...)" names in their order, shared with the callers that expand them.
extern const FileMacro kFileMacros[20];

// Seconds since 1970-01-01 UTC to a file time and back, over the full 64-bit range; a time
// before 1601 throws CFileException*.
void UnixTimeToFileTime(long long seconds, FILETIME& out);
long long FileTimeToUnixTime(const FILETIME& time);
