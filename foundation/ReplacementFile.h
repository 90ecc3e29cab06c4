// The one way the program writes a file in place of another (a picture saved, a note file, a
// thumbnail cache): written beside it under a temporary name ("<path>.XXXXXXXX.tmp", made
// create-new) and put in its place, one rename in the folder, only when whole, so that a write
// failing halfway (a full disk, an encoder giving up) or a crash leaves the file that was there as
// it was. Until then a second temporary beside it holds the program's mark (TempMarker) and the
// first one's name: what a crash leaves, the next writer of the same file removes
// (RemoveLeftoversBeside), and the file put in place holds only what was written.
#pragma once

#include "framework/Framework.h"

#include <cstdio>

class ReplacementFile
{
public:
    // A writer that reads back what it wrote (a TIFF's directories) asks for ReadWrite.
    enum Access { WriteOnly, ReadWrite };

    ReplacementFile() = default;
    explicit ReplacementFile(const wchar_t* target, Access access = WriteOnly) { Create(target, access); }
    // A file not put in place is deleted.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // What crashes left beside the target goes first. false, with the platform's error, when no
    // file could be made: ERROR_ACCESS_DENIED for a read-only target (the user's choice stands) or
    // a folder.
    bool Create(const wchar_t* target, Access access = WriteOnly);
    // A stream on the file for binary writing (and reading) from its first byte, for a writer that
    // writes through one; null when no file was made. Once asked for, every write goes through it.
    FILE* Stream();
    // The bytes after those written; false when a write failed.
    bool Write(const void* data, size_t size);
    // Writes the file to the disk, closes it and gives it the attributes of the file it is to
    // replace (hidden, system, archive, not indexed); it keeps its temporary name and its mark
    // beside it. false when a write, the flush or the close failed.
    bool Finish();
    // Finishes the file and puts it in place of the target. false, the new file deleted and the
    // target as it was, when that fails or the target has become read-only or is in use.
    bool PutInPlace();
    void Discard();
    // The temporary's path.
    const CString& GetPath() const { return m_path; }

    // Deletes the temporaries beside the target that a writer which has ended left (those its
    // mark shows as the program's), never a link's target. Asked once a process for each target,
    // since a crash of this process leaves nothing for itself. The number of files deleted.
    static int RemoveLeftoversBeside(const wchar_t* target);

private:
    bool Fail(DWORD error);
    // The clean-up above; true when it listed the folder (the first ask), and then the target's
    // attributes as listed (INVALID_FILE_ATTRIBUTES when it is not there).
    static bool SweepBeside(const wchar_t* target, DWORD* attributes, int* removed = nullptr);

    CString m_target;
    CString m_path;     // the new file
    CString m_markPath; // the mark that shows it as the program's
    HANDLE m_file = INVALID_HANDLE_VALUE;
    FILE* m_stream = nullptr; // on m_file, once asked for
    bool m_reads = false;
    bool m_failed = false;
    bool m_finished = false;
    DWORD m_targetAttributes = INVALID_FILE_ATTRIBUTES; // as the last Finish read them
};
