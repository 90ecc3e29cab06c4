// One entry of a folder, opened as itself for a clean-up that removes the program's leftovers: a
// link in the entry's place (a reparse point, or a name whose opened file lies elsewhere, as Wine
// shows a link made on the host) is refused, so what it leads to is never read, made writable or
// deleted.
#pragma once

#include "framework/Framework.h"

#include <string>

class FolderEntry
{
public:
    FolderEntry() = default;
    ~FolderEntry() { Close(); }
    FolderEntry(const FolderEntry&) = delete;
    FolderEntry& operator=(const FolderEntry&) = delete;

    // Opens the entry a search of the folder found (a file, or a folder when found says so);
    // false for a link, for an entry that is not there as found, or one another process holds
    // without letting it go (one being written).
    bool Open(const wchar_t* folder, const WIN32_FIND_DATAW& found);
    // Opens the entry of that name in the folder, looked up first.
    bool Open(const wchar_t* folder, const wchar_t* name);
    // Up to size bytes from a file's start.
    bool ReadHead(std::string& bytes, size_t size);
    // Deletes the file (read-only or not) through the handle opened, or removes the folder once it
    // is empty; closed either way.
    bool Remove();
    void Close();

    const CString& GetPath() const { return m_path; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    CString m_path;
    bool m_folder = false;
};
