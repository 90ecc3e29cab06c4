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

class NoteFileLock;
class VyxNoteFile;

class VyxNoteStore : public VyxCacheIndex
{
public:
    enum {
        NoteChanged = -5,
        NoteNameTaken = -4,
        NoteFileGone = -3,
        NoteUnconvertible = -2,
        NoteRefused = -1,
        NoteFailed = 0,
        NoteWritten = 1
    };
    // What the folder must hold when a note is written, as it stands under the note file's lock:
    // the file itself, spelled exactly so (a comment: NoteFileGone otherwise), or no entry of the
    // name in any letter case (a name a file is about to take: NoteNameTaken otherwise).
    enum Presence { AnyPresence = 0, FileThere = 1, NameFree = 2 };

    VyxNoteStore();
    explicit VyxNoteStore(const wchar_t* cacheRoot);

    void SetLocation(const wchar_t* folder, const wchar_t* archiveFileName);
    // Empty when there is none, or when the file's section is not its own. What is shown: it
    // waits a moment at most for a writer, then reads the file as it stands (written whole).
    CString ReadNote(const wchar_t* filePath) const;
    // The note as it stands in the note file now: a copy kept serves only while no writer has
    // changed the file since (its stamp and the count of writes every writer moves under the
    // lock), else the file is read under that lock; false (the last error saying why) when it
    // cannot be read.
    bool ReadNoteAsItStands(const wchar_t* filePath, CString& note) const;
    // A non-empty text: NoteWritten, NoteFailed, NoteRefused when another name of the folder
    // maps to the file's section, NoteUnconvertible when the note (or the file's name) needs a
    // UTF-16 note file and the code-page one holds another encoding's bytes, or the presence's
    // refusal. An empty or missing text deletes the note (NoteWritten when none is left).
    int WriteNote(const wchar_t* filePath, const wchar_t* text, Presence presence = AnyPresence) const;
    int DeleteNote(const wchar_t* filePath) const;
    // The note set to text (removed when empty) only while the note file holds expected for the
    // file (empty: no note); NoteChanged, nothing written, when it holds another now.
    int ReplaceNote(const wchar_t* filePath, const wchar_t* expected, const wchar_t* text) const;
    // Every note of the location under its section in lower case, from one read of the note file
    // (a job carrying a whole folder); a note ReadNote would refuse (SharesSection) is still there.
    std::unordered_map<std::wstring, CString> ReadAllNotes() const;
    // The location's note file locked for the caller's steps as every writer locks it; the
    // thread's own writes go on through it. Null (the last error saying why) when not had.
    std::unique_ptr<NoteFileLock> HoldNoteFile() const;
    // For the user: why a note file could not be read or written, from the error it left.
    static CString GetFailureText(DWORD error);

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
    // read the file stay. outcomes: for each change NoteWritten, or why it was left out.
    static bool PutNoteFile(const CString& path, const CString& folder, const CString& archive,
                            const CString& cacheRoot, const std::vector<VyxNoteSession::Change>& changes,
                            std::vector<int>* outcomes = nullptr);

private:
    bool LocateNoteFile(CString& path, bool create) const;
    // The file as it stands (the session's pending change first); null when it cannot be read.
    std::shared_ptr<VyxNoteFile> CurrentFile(const CString& path) const;
    int Write(const wchar_t* filePath, const wchar_t* text, Presence presence, const CString* holding) const;
    int Commit(const CString& path, const std::shared_ptr<VyxNoteFile>& current,
               const VyxNoteSession::Change& change) const;

    CString m_folder;
    CString m_archiveFileName;
};
