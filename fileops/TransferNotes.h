// The notes of one transfer job: each note file read once and written once, whole; a moved
// file's note leaves its source only after the note file at the target has been written and the
// note read back from it, and never once that file has failed to be written in the job.
#pragma once

#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class VyxFile;
class VyxNoteFile;

class TransferNotes
{
public:
    explicit TransferNotes(const CString& cacheRoot);
    // Called now and then while a long step of the notes (a folder's listing) runs.
    void SetBetweenEntries(std::function<void()> call) { m_session.SetBetweenEntries(std::move(call)); }

    // The note filed for the target (an empty one clears what the target had); false when it
    // was refused, which the failure text reports when told to.
    bool Give(const CString& target, const CString& note, bool reportRefusal = true);
    // The item's note goes from its source once the target's note file is written.
    void TakeFromSource(const VyxFile& item, const CString& target);
    // Writes the target folder's note file (all of them when empty), then the sources of the
    // notes that went there.
    void Settle(const CString& targetFolder);
    // A source folder that still holds a note of a file that left it.
    bool KeptIn(const CString& sourceFolder) const;
    void KeepIn(const CString& sourceFolder);
    // For the user: the files whose notes could not be written; empty when none.
    CString FailureText() const;
    // For the user: the moved files whose source note changed after it was carried and stays;
    // empty when none.
    CString ChangedText() const;
    // A file whose note section other names of its folder share: the source keeps the section's
    // note, and its target took a copy of it when carried.
    void Shared(const CString& source, const std::vector<CString>& others, bool carried);
    // For the user: the files that carried a shared note and the names sharing it; empty when none.
    CString SharedText() const;

private:
    struct Removal
    {
        CString folder, archive, path, noteFile, target, note;
    };
    // Whether the note file at the target holds the removal's note, as read back from the disk.
    bool IsWritten(std::map<CString, std::shared_ptr<VyxNoteFile>>& written, const Removal& removal) const;
    void KeepChanged(const Removal& removal);

    VyxNoteSession m_session;
    CString m_cacheRoot;
    std::vector<Removal> m_removals;
    std::vector<CString> m_failedTargets;
    std::vector<CString> m_givenTargets, m_givenFiles; // in step: a target and its note file
    std::set<CString> m_keptFolders;
    std::set<CString> m_failedFiles;       // folded
    std::vector<CString> m_shared;         // a line each: the file and the names sharing its section
    std::vector<CString> m_changed;        // the sources whose note changed after it was carried
    std::map<CString, Removal> m_removing; // by folded note file and section, until written
    bool m_movedKept = false;
};
