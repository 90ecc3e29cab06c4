// A file's size and last write time as read, so that a copy of what it held can be kept while
// neither changes.
#pragma once

#include "framework/Framework.h"

struct FileStamp
{
    ULONGLONG size = 0;
    FILETIME written = {0, 0};

    // False when nothing stands at the path; a folder gives its stamp too unless filesOnly.
    static bool Read(const wchar_t* path, FileStamp& stamp, bool filesOnly = false);
    // The stamp of an open file (the same as its path's); false when it cannot be read.
    static bool ReadOpen(HANDLE file, FileStamp& stamp);
    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
