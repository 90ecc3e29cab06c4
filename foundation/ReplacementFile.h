// A file written beside the one it is to replace and put in its place only when whole, so that a
// write failing halfway (a full disk, an encoder giving up) leaves the file that was there as it
// was, and nothing beside it.
#pragma once

#include "framework/Framework.h"

#include <cstdio>

class ReplacementFile
{
public:
    // A writer that reads back what it wrote (a TIFF's directories) asks for ReadWrite.
    enum Access { WriteOnly, ReadWrite };
    // Makes the new file beside the target (TempFile.h CreateTempFileBeside).
    explicit ReplacementFile(const wchar_t* target, Access access = WriteOnly);
    // Deletes the new file unless it was put in place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Open for binary writing (and reading); null, with the platform's error, when no file could be
    // made.
    FILE* Stream() const { return m_stream; }
    // Closes the stream and puts the file in place of the target, keeping the hidden, system and
    // archive attributes of the file replaced. false, the new file deleted and the target as it
    // was, when a write or the close failed or the target cannot be replaced (read-only, in use).
    bool PutInPlace();

private:
    void Discard();

    CString m_target;
    CString m_created;
    FILE* m_stream = nullptr;
};
