// A job's or command's hold on note files: while a session is open on a thread, the note stores
// of that thread read each note file once, keep their changes here, and each changed file is
// written once, whole, when the session flushes it or closes.
#pragma once

#include "framework/Framework.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class VyxNoteFile;

class VyxNoteSession
{
public:
    VyxNoteSession();
    ~VyxNoteSession();
    VyxNoteSession(const VyxNoteSession&) = delete;
    VyxNoteSession& operator=(const VyxNoteSession&) = delete;

    // The innermost open session of the calling thread; null when none.
    static VyxNoteSession* Current();

    // One change of a note file: a section's note set (stored as written) or the section removed.
    // A flush applies a file's changes, in order, to the file as it then stands on disk; a change
    // whose condition that file or its folder no longer meets is left out.
    struct Change
    {
        CString section;
        CString stored;
        bool remove = false;
        // The file the note is of, and what the folder must hold of it (VyxNoteStore::Presence).
        CString file;
        int presence = 0;
        // Only while the section holds this stored note (an empty one: no note).
        bool onlyIfHolding = false;
        CString holding;
    };

    // Writes the note file at path if it changed: false when it could not be written (the
    // change stays pending, to be tried again). The changes whose condition the file as it
    // stood no longer met go to leftOut.
    bool Flush(const CString& path, std::vector<Change>* leftOut = nullptr);
    // Every changed note file; the paths that could not be written go to failed.
    bool FlushAll(std::vector<CString>* failed = nullptr, std::vector<Change>* leftOut = nullptr);
    // Drops the pending change of a file that is not to be written after all.
    void Discard(const CString& path);
    bool HasChanges() const { return !m_changed.empty(); }
    // Called now and then while a folder of the job is listed: a long listing lets the job's
    // window answer.
    void SetBetweenEntries(std::function<void()> call) { m_betweenEntries = std::move(call); }

    // The names of a folder and how many of them map to each (folded) section.
    struct FolderNames
    {
        std::unordered_set<std::wstring> names;
        std::unordered_map<std::wstring, int> sections;
    };

private:
    friend class VyxNoteStore;

    struct Changed
    {
        CString path, folder, archive, cacheRoot;
        std::shared_ptr<VyxNoteFile> file; // what the job reads meanwhile
        std::vector<Change> changes;
    };
    struct Location
    {
        CString path;
        bool exists = false;
    };
    std::map<std::wstring, Changed> m_changed;
    std::map<std::wstring, Location> m_locations;
    std::map<std::wstring, FolderNames> m_folders;
    std::function<void()> m_betweenEntries;
    VyxNoteSession* m_outer;
};
