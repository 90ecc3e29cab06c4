// A new file beside the one it is to replace ("<path>.XXXXXXXX.tmp", made create-new), whose first
// bytes are the program's mark (TempMarker) until it is whole: what a crash leaves, the next write
// of the same file tells from a user's file of such a name and removes (RemoveLeftoversBeside).
#pragma once

#include "framework/Framework.h"

#include <string>

class MarkedTempFile
{
public:
    MarkedTempFile() = default;
    // A file not put in place is deleted.
    ~MarkedTempFile();
    MarkedTempFile(const MarkedTempFile&) = delete;
    MarkedTempFile& operator=(const MarkedTempFile&) = delete;

    // False, with the platform's error, when none could be made.
    bool Create(const wchar_t* target);
    // The file's bytes in order from its first; false when a write failed.
    bool Write(const void* data, size_t size);
    // The first bytes written over the mark, the file cut to its length, flushed and closed; it
    // still has its temporary name.
    bool Finish();
    // Finishes the file and puts it in place of the target; false, the file gone and the target
    // as it was, when that fails.
    bool PutInPlace();
    void Discard();
    const CString& GetPath() const { return m_path; }

    // Deletes the temporaries beside the target that carry the mark of a writer that has ended:
    // what crashes left, never a link's target. Asked once a process for each target, since a crash of this process
    // leaves nothing for itself. The number deleted.
    static int RemoveLeftoversBeside(const wchar_t* target);

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    CString m_target;
    CString m_path;
    std::string m_head; // the file's first bytes, written over the mark when it is whole
    ULONGLONG m_length = 0;
    bool m_failed = false;
};
