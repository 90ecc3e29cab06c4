// The notes of one location: one section per file in the location's note side file, the note
// in its key "Note".
#pragma once

#include "catalogue/VyxCacheIndex.h"

class VyxNoteStore : public VyxCacheIndex
{
public:
    VyxNoteStore();
    explicit VyxNoteStore(const wchar_t* cacheRoot);

    void SetLocation(const wchar_t* folder, const wchar_t* archiveFileName);
    // Empty when there is none.
    CString ReadNote(const wchar_t* filePath) const;
    // A non-empty text: 1 written, 0 failed. An empty or missing text deletes the note: 1.
    int WriteNote(const wchar_t* filePath, const wchar_t* text) const;
    int DeleteNote(const wchar_t* filePath) const;

    // The file's section: its name, or for a location in an archive the whole path given;
    // brackets become braces.
    CString GetSectionOf(const wchar_t* filePath) const;
    // Line breaks as the two characters "\" and "n", the one form an ini value can hold.
    static CString EncodeLineBreaks(const wchar_t* text);

private:
    CString m_folder;
    CString m_archiveFileName;
};
