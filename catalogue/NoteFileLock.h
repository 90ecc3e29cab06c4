// The lock on one note file that every process of the program honours while it changes and writes
// the file, and the count of the file's writes they keep beside it. Named after the folder as the
// file system knows it (its volume and index) and the file's name, so that two spellings of one
// folder share it. A thread that holds it may take it again (a rename holds it over the note
// writes it makes).
#pragma once

#include "framework/Framework.h"

#include <memory>

class NoteFileLock
{
public:
    // Another process holds it only while it writes one note file, or renames one file with it.
    static const DWORD kLongestWait = 60000;
    // Why it was not taken: another kind of object has the lock's name (the system would say
    // only that a handle is invalid).
    static const DWORD kNameTaken = 0x20000000 | 0x4E4C;

    // Not taken yet; the count of writes can be read already.
    explicit NoteFileLock(const CString& path);
    ~NoteFileLock();
    NoteFileLock(const NoteFileLock&) = delete;
    NoteFileLock& operator=(const NoteFileLock&) = delete;

    // Waits up to the bound; false (Failure saying why) when not taken.
    bool Take(DWORD bound);
    bool IsHeld() const { return m_held; }
    // ERROR_TIMEOUT, kNameTaken, or the system's reason why the lock could not be made.
    DWORD Failure() const { return m_failure; }

    // False when the count could not be kept (the file is then always read again).
    bool CountsWrites() const { return static_cast<bool>(m_writes); }
    ULONGLONG Writes() const;
    // Only while held.
    void Written();

    static CString NameFor(const CString& path);
    // For the user: what a failure of this thread's last lock means (the lock's name for
    // kNameTaken), else the system's text.
    static CString FailureText(DWORD failure);

private:
    CString m_name;
    HANDLE m_mutex = nullptr;
    bool m_held = false;
    DWORD m_failure = 0;
    std::shared_ptr<volatile LONGLONG> m_writes;
};
