// The note files a transfer job carries for its files as locations (the notes of an archive's
// members, kept under the cache root): each folder's own note file is looked for once and the
// cache index's note entries are read once, so a file costs no disk look-up of its own unless the
// index names a note file for it. Forget after the job writes or removes note files.
#pragma once

#include "catalogue/VyxCacheIndex.h"

#include <map>
#include <string>
#include <unordered_set>

class LocationNoteFiles
{
public:
    explicit LocationNoteFiles(const VyxCacheIndex& index) : m_index(index) {}

    // As VyxCacheIndex::FindNoteFile(out, folder, fileName).
    bool Find(CString& out, const CString& folder, const CString& fileName);
    void Forget();

private:
    struct Folder
    {
        bool ownNoteFile = false;
        CString key; // the folder's location key
    };
    const Folder& Look(const CString& folder);

    const VyxCacheIndex& m_index;
    std::map<std::wstring, Folder> m_folders;
    bool m_keysRead = false;
    std::unordered_set<std::wstring> m_keys;
};
