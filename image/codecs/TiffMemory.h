// libtiff over bytes in memory: reading a block the caller keeps, or writing into a block that
// grows as libtiff writes; and libtiff reading an open file, whatever its size, without holding it.
#pragma once

#include <windows.h>

struct tiff;

// Bytes libtiff reads or writes; a written block's `data` is the caller's to free() once the file
// is closed.
struct TiffMemoryBlock
{
    BYTE* data = nullptr;
    ULONGLONG size = 0;
    ULONGLONG capacity = 0;
    ULONGLONG position = 0;
    bool readOnly = false;
};

// libtiff's messages go to standard error unless silenced; the codecs report failure by result.
void SilenceLibtiff();
// libtiff on read-only bytes in memory; null for a null base or when the data do not open.
tiff* OpenTiffMemory(const BYTE* base, DWORD size, const char* name, const char* mode);
// libtiff reading the file through the handle, which the caller keeps open (and closes) while the
// TIFF handle lives; null when the data do not open, or when a directory has an entry whose
// count says more values than the whole file could hold.
tiff* OpenTiffHandle(HANDLE file, const char* name);
// libtiff writing into `output`, which must outlive the TIFF handle.
tiff* OpenTiffMemoryOutput(TiffMemoryBlock* output, const char* name);
