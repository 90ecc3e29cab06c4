// The notes of one transfer job: each note file read once and written once, whole; a moved
// file's note leaves its source only after the note file at the target has been written.
#pragma once

#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"

#include <set>
#include <vector>

class VyxFile;

class TransferNotes
{
public:
    explicit TransferNotes(const CString& cacheRoot);

    // The note filed for the target (an empty one clears what the target had); false when it
    // was refused.
    bool Give(const CString& target, const CString& note);
    // The item's note goes from its source once the target's note file is written.
    void TakeFromSource(const VyxFile& item, const CString& target);
    // Writes the target folder's note file (all of them when empty), then the sources of the
    // notes that went there.
    void Settle(const CString& targetFolder);
    // A source folder that still holds a note of a file that left it.
    bool KeptIn(const CString& sourceFolder) const;
    // For the user: the files whose notes could not be written; empty when none.
    CString FailureText() const;

private:
    struct Removal
    {
        CString folder, archive, path, noteFile, target;
    };

    VyxNoteSession m_session;
    CString m_cacheRoot;
    std::vector<Removal> m_removals;
    std::vector<CString> m_failedTargets;
    std::vector<CString> m_givenTargets, m_givenFiles; // in step: a target and its note file
    std::set<CString> m_keptFolders;
    bool m_movedKept = false;
};
