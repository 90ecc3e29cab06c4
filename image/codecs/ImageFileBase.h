// The base of the image-file codecs: told a file name (or handed bytes), it decodes into a packed
// DIB, reads only the picture's size and depth, or encodes a packed DIB into a file or memory.
// Also the global block an object may hold and the read-only view of a whole file.
#pragma once

#include "foundation/VyxMemory.h"

#include <windows.h>

// A global block held by an object: released (unlocked when locked, freed when owned) by its
// destructor.
class VyxMemoryHandle
{
public:
    VyxMemoryHandle() = default;
    ~VyxMemoryHandle() { Release(); }
    VyxMemoryHandle(const VyxMemoryHandle&) = delete;
    VyxMemoryHandle& operator=(const VyxMemoryHandle&) = delete;

    // Holds a new zero-filled copy of the bytes (owned); a null pointer or no bytes only
    // releases. Raises VyxGlobalErrorException "out of memory: %d" when the block cannot be made.
    void Alloc(const void* data, SIZE_T length);
    void Release();

    HGLOBAL m_handle = nullptr;
    BOOL m_locked = FALSE;
    BOOL m_owned = FALSE;
};

// The byte buffer of a codec: its capacity is always exactly the bytes it holds.
class VyxByteBuffer : public VyxMemoryT<unsigned char>
{
public:
    // Replaces the contents by exactly these bytes; raises "out of memory: %d" on failure.
    void Assign(const unsigned char* data, int count);
};

class ImageFileBase
{
public:
    ImageFileBase() = default;
    virtual ~ImageFileBase();
    ImageFileBase(const ImageFileBase&) = delete;
    ImageFileBase& operator=(const ImageFileBase&) = delete;

    // Map the file named by m_fileName (skipping m_offset bytes) and decode / read it: the result
    // of Decode / ReadInfo, or 6 when the file cannot be opened or mapped or is not longer than
    // the offset.
    virtual int LoadFile();
    // The rest return -1 (not supported) here.
    virtual int Decode();
    virtual int SaveToFile();
    virtual int SaveToMemory();
    virtual int ReadInfoFile();
    virtual int ReadInfo();

    LONG m_width = 0;
    LONG m_height = 0;
    DWORD m_bitCount = 0;
    VyxByteBuffer m_buffer; // output of SaveToMemory
    VyxMemoryHandle m_held; // a block the object keeps (the JPEG codec: the comment)
    const wchar_t* m_fileName = nullptr;
    DWORD m_offset = 0;
    const BYTE* m_data = nullptr; // input of Decode and ReadInfo, not owned
    DWORD m_dataSize = 0;
    HGLOBAL m_dib = nullptr; // the decoded DIB, or the DIB to encode; never freed here

private:
    int MapAndCall(int (ImageFileBase::*operation)());
};

// A read-only (or read-write) view of a whole file; the handles are closed once the view exists.
class MappedFile
{
public:
    MappedFile() = default;
    ~MappedFile() { Close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // mode 0: read, shared for reading, existing file; 1: read and write, exclusive, opened or
    // made; other: read, exclusive, existing. sizeLimit 0 maps the whole file. Null on failure.
    const BYTE* Open(const wchar_t* path, DWORD sizeLimit, int mode);
    void Close();
    ULONGLONG GetSize() const { return (static_cast<ULONGLONG>(m_sizeHigh) << 32) | m_sizeLow; }

    HGLOBAL m_block = nullptr;
    void* m_view = nullptr;
    BYTE* m_data = nullptr;
    DWORD m_sizeLow = 0;
    DWORD m_sizeHigh = 0;
};
