// The file a copy writes: always under a temporary name in a temporary folder of its own inside
// the target's folder, put in place (one rename) only once every byte is written, the size checked,
// the source's times and attributes given and the handle closed cleanly. A failed or stopped copy
// leaves no partial file, a crash leaves none under the real name, and a file already at the
// target stays whole until the complete copy replaces it. What a crash leaves, the next job in
// that folder removes (RemoveLeftovers), knowing it by the mark the program writes inside.
#pragma once

#include "framework/Framework.h"

#include <functional>
#include <map>
#include <string>

class CopyTarget
{
public:
    // Writes a block; FALSE with the thread's last error set on failure.
    using WriteFunction = std::function<BOOL(HANDLE file, const void* data, DWORD size, DWORD* written)>;

    CopyTarget() = default;
    // An unfinished file is deleted.
    ~CopyTarget();
    CopyTarget(const CopyTarget&) = delete;
    CopyTarget& operator=(const CopyTarget&) = delete;

    // 0, or the system's error code.
    DWORD Create(const wchar_t* target, bool replace = true);
    DWORD Write(const void* data, DWORD size);
    // Gives the file the times and attributes of the open source (none when they cannot be read),
    // checks its size, closes it and puts it in place of the target, never over a read-only file.
    // 0, or the system's error code (the file then gone): kOntoSource when the file at the target
    // is the source itself under another name; without replace, ERROR_FILE_EXISTS when a file is
    // at the target, which stays.
    DWORD Finish(HANDLE source);
    static const DWORD kOntoSource = ERROR_ALREADY_EXISTS;
    void Abandon();
    ULONGLONG GetWritten() const { return m_written; }

    // A read-only file, which no copy or move replaces.
    static bool IsReadOnlyFile(const wchar_t* path);
    // Every copy writes through this; tests put one in that fails. Null puts WriteFile back.
    static void SetWriteFunction(WriteFunction write);

    // A folder in the folder under the name the temporary folders take ("$", this process's id
    // and a serial in hexadecimal, ".tmp"), made create-new and marked inside as the program's
    // (TempMarker); empty when none could be made (the last error says why). It is this
    // process's own until released, when it goes with what the program named in it.
    static CString MakeTemporaryFolder(const wchar_t* folder);
    static void ReleaseTemporaryFolder(const wchar_t* path);
    // Tells the folder's mark of a file to be written in it under a name of its own (an
    // extracted member), so that a clean-up after a crash may remove it.
    static bool ClaimName(const wchar_t* temporaryFolder, const wchar_t* name);
    // The mark a temporary folder is made with (tests mark what a crash of another process left).
    static bool WriteMark(const wchar_t* folder, const std::string& mark);
    // Deletes the temporary folders in the folder that carry the program's mark of a process
    // that no longer uses them (those a crash left), with the files the program named in them;
    // a folder of the name without the mark, and any other file, stay. The number removed.
    static int RemoveLeftovers(const wchar_t* folder);

    // While a batch lives on the thread (a job), the copies into one folder share one temporary
    // folder there, made at the first and removed at the batch's end: a new name costs a look
    // through a large folder, so each copy makes only its own name there, as it is put in place.
    // Without one, each copy makes and removes its own.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        friend class CopyTarget;
        std::map<std::wstring, CString> m_folders; // the target folder (folded) and its temporary one
        Batch* m_outer;
    };

private:
    DWORD Close();
    DWORD PutInPlace(HANDLE source);
    // The temporary folder for the target's folder: the batch's, or a new one of this copy's own.
    CString TemporaryFolderFor(const CString& folder);
    void ReleaseOwnFolder();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    CString m_target;
    CString m_folder; // the temporary folder
    bool m_ownsFolder = false;
    CString m_temporary; // the file being written, in it
    ULONGLONG m_written = 0;
    bool m_replace = true;
};
