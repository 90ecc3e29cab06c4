#include "image/DibFile.h"

#include "image/DibCore.h"
#include "image/DibValidate.h"

#include "framework/Framework.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr WORD kBmpType = 0x4D42; // "BM"

bool AcceptedHeaderSize(DWORD size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

} // namespace

HGLOBAL ReadBmp(CFile* file)
{
    if (!file)
        return nullptr;
    try {
        BITMAPFILEHEADER fileHeader;
        if (file->Read(&fileHeader, sizeof(fileHeader)) < sizeof(fileHeader) || fileHeader.bfType != kBmpType)
            return nullptr;
        DWORD headerSize = 0;
        if (file->Read(&headerSize, 4) < 4 || !AcceptedHeaderSize(headerSize))
            return nullptr;
        std::vector<BYTE> packed(headerSize);
        std::memcpy(packed.data(), &headerSize, 4);
        if (file->Read(packed.data() + 4, headerSize - 4) < headerSize - 4)
            return nullptr;
        // Only what the header promises is read, and no more than the file holds; a file shorter
        // than its header promises leaves zero rows.
        SIZE_T pixelOffset = fileHeader.bfOffBits >= sizeof(fileHeader) ? fileHeader.bfOffBits - sizeof(fileHeader) : 0;
        ULONGLONG promised = PromisedDibBytes(packed.data(), packed.size(), pixelOffset);
        ULONGLONG position = file->GetPosition(), length = file->GetLength();
        ULONGLONG rest = length > position ? length - position : 0;
        ULONGLONG wanted = promised > headerSize ? promised - headerSize : 0;
        wanted = std::min({wanted, rest, kMaxDibBytes});
        packed.resize(static_cast<size_t>(headerSize + wanted));
        UINT read = wanted ? file->Read(packed.data() + headerSize, static_cast<UINT>(wanted)) : 0;
        packed.resize(headerSize + read);
        return NormalizeDib(packed.data(), packed.size(), pixelOffset);
    } catch (CFileException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

HGLOBAL ReadBmpFile(const wchar_t* path)
{
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::typeBinary))
        return nullptr;
    return ReadBmp(&file);
}

bool WriteBmp(CFile* file, HGLOBAL dib)
{
    if (!file || !dib)
        return false;
    DibLock lock(dib);
    if (!lock)
        return false;
    BITMAPFILEHEADER fileHeader = MakeBmpFileHeader(lock.get());
    DWORD total = DibTotalSize(lock.get());
    if (total > GlobalSize(dib))
        return false;
    try {
        file->Write(&fileHeader, sizeof(fileHeader));
        file->Write(lock.get(), total);
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
    return true;
}

bool WriteBmpFile(const wchar_t* path, HGLOBAL dib)
{
    if (!path || !dib)
        return false;
    CFile file;
    // A file that cannot be opened is left alone: it may be someone else's.
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))
        return false;
    bool written = WriteBmp(&file, dib);
    try {
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        written = false;
    }
    if (!written)
        DeleteFileW(path);
    return written;
}

HGLOBAL ReadBmpMemory(const BYTE* data, SIZE_T size)
{
    if (!data || size < sizeof(BITMAPFILEHEADER))
        return nullptr;
    BITMAPFILEHEADER fileHeader;
    std::memcpy(&fileHeader, data, sizeof(fileHeader));
    if (fileHeader.bfType != kBmpType)
        return nullptr;
    // The pixel offset counts only when it points past the header and table (NormalizeDib checks).
    SIZE_T pixelOffset = fileHeader.bfOffBits >= sizeof(fileHeader) ? fileHeader.bfOffBits - sizeof(fileHeader) : 0;
    return NormalizeDib(data + sizeof(fileHeader), size - sizeof(fileHeader), pixelOffset);
}

BITMAPFILEHEADER MakeBmpFileHeader(const void* dib)
{
    BITMAPFILEHEADER header = {};
    header.bfType = kBmpType;
    header.bfSize = DibTotalSize(dib) + sizeof(header);
    header.bfOffBits = sizeof(header) + DibHeaderSize(dib) + DibColorTableSize(dib);
    return header;
}
