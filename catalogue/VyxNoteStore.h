// The notes of one location: one section per file in the location's note side file, the note
// in its key "Note". Each command reads a note file whole and writes it whole; inside a
// VyxNoteSession a job reads and writes each note file once.
#pragma once

#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxNoteSession.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class VyxNoteFile;

class VyxNoteStore : public VyxCacheIndex
{
public:
    enum { NoteUnconvertible = -2, NoteRefused = -1, NoteFailed = 0, NoteWritten = 1 };

    VyxNoteStore();
    explicit VyxNoteStore(const wchar_t* cacheRoot);

    void SetLocation(const wchar_t* folder, const wchar_t* archiveFileName);
    // Empty when there is none, or when the file's section is not its own.
    CString ReadNote(const wchar_t* filePath) const;
    // A non-empty text: NoteWritten, NoteFailed, NoteRefused when another name of the folder
    // maps to the file's section, or NoteUnconvertible when the note (or the file's name) needs a
    // UTF-16 note file and the code-page one holds another encoding's bytes. An empty or missing
    // text deletes the note (NoteWritten when none is left).
    int WriteNote(const wchar_t* filePath, const wchar_t* text) const;
    int DeleteNote(const wchar_t* filePath) const;
    // Every note of the location under its section in lower case, from one read of the note file
    // (a job carrying a whole folder); a note ReadNote would refuse (SharesSection) is still there.
    std::unordered_map<std::wstring, CString> ReadAllNotes() const;

    // The file's section: its name, or for a location in an archive the whole path given;
    // brackets become braces and blanks at either end go, as the settings functions would.
    CString GetSectionOf(const wchar_t* filePath) const;
    // True when another name in the location's folder maps to the file's section.
    bool SharesSection(const wchar_t* filePath) const;
    // The other names of the location's folder that map to the file's section, in name order.
    std::vector<CString> GetNamesSharingSection(const wchar_t* filePath) const;
    // Where the location's notes are, or are about to be written; empty when nowhere.
    CString GetNoteFilePath() const;
    // Line breaks as the two characters "\" and "n", the one form an ini value can hold.
    static CString EncodeLineBreaks(const wchar_t* text);

    // The note file at the path as it stands on disk (empty when there is none), read under the
    // lock its writers take; null when it cannot be read.
    static std::shared_ptr<VyxNoteFile> ReadNoteFile(const CString& path);
    // Note files written whole by the process so far.
    static unsigned GetFileWriteCount();
    // The changes made to the note file as it stands on disk, read again under a lock every
    // process of the program honours, and the file written (or, left empty, deleted with its
    // index entry); false when it could not be. Another process's notes written since this one
    // read the file stay.
    static bool PutNoteFile(const CString& path, const CString& folder, const CString& archive,
                            const CString& cacheRoot, const std::vector<VyxNoteSession::Change>& changes);

private:
    bool LocateNoteFile(CString& path, bool create) const;
    // The file as it stands (the session's pending change first); null when it cannot be read.
    std::shared_ptr<VyxNoteFile> CurrentFile(const CString& path) const;
    int Commit(const CString& path, const std::shared_ptr<VyxNoteFile>& current,
               const VyxNoteSession::Change& change) const;

    CString m_folder;
    CString m_archiveFileName;
};
