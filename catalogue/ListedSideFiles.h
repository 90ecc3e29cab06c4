// What the last whole listing of a folder showed of the program's side files in it (the thumbnail
// cache, the notes, the folder's layout), so that looking one up after it costs no look-up of a name
// the folder does not hold: under this platform such a look-up reads a large folder whole. What
// was seen is trusted only while the folder stands as it stood before its listing began.
#pragma once

#include "foundation/FileStamp.h"
#include "framework/Framework.h"

class ListedSideFiles
{
public:
    // The side files, by the in-folder name each has (one bit for each of the cache index's kinds).
    enum Kind { Thumbs = 1, Note = 2, Config = 4 };
    static Kind OfIndexKind(int indexKind) { return static_cast<Kind>(1u << indexKind); }

    // The folder as it stands before a listing of its every name; taken when the folder is there.
    class Listing
    {
    public:
        explicit Listing(const wchar_t* folder);
        // A side file seen in the listing, by its KindOf (0 for any other name).
        void Saw(unsigned kind);
        // The listing went through the whole folder: what it saw is kept for the folder.
        void Finish() const;

    private:
        CString m_folder;
        FileStamp m_before;
        bool m_valid = false;
        unsigned m_seen = 0;
    };

    // The kind's file is known to be missing from the folder: its last listing did not show it and
    // the folder has not changed since. False when that is not known.
    static bool KnownMissing(const wchar_t* folder, Kind kind);
    // The kind of the in-folder name (0 for another name).
    static unsigned KindOf(const wchar_t* name);
    // Forgets every folder (the next look-up of each asks the file system).
    static void Forget();
};
