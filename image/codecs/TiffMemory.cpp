#include "image/codecs/TiffMemory.h"

#include "foundation/VyxLog.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// Positions past 2 GiB cannot be addressed by the callers' sizes.
constexpr toff_t kLargestPosition = 0x7FFFFFFF;

tmsize_t MemoryRead(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* block = static_cast<TiffMemoryBlock*>(handle);
    if (count <= 0 || block->position >= block->size)
        return 0;
    toff_t available = block->size - block->position;
    toff_t n = static_cast<toff_t>(count) < available ? static_cast<toff_t>(count) : available;
    std::memcpy(buffer, block->data + block->position, static_cast<size_t>(n));
    block->position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t MemoryWrite(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* block = static_cast<TiffMemoryBlock*>(handle);
    if (block->readOnly)
        return 0;
    if (count < 0)
        return -1;
    toff_t end = block->position + static_cast<toff_t>(count);
    if (end > kLargestPosition)
        return -1;
    if (end > block->capacity) {
        toff_t grown = block->capacity ? block->capacity : 65536;
        while (grown < end)
            grown *= 2;
        auto* data = static_cast<BYTE*>(std::realloc(block->data, static_cast<size_t>(grown)));
        if (!data)
            return -1;
        block->data = data;
        block->capacity = grown;
    }
    // A seek past the end leaves a gap that must read back as zeros.
    if (block->position > block->size)
        std::memset(block->data + block->size, 0, static_cast<size_t>(block->position - block->size));
    std::memcpy(block->data + block->position, buffer, static_cast<size_t>(count));
    block->position = end;
    if (end > block->size)
        block->size = end;
    return count;
}

toff_t MemorySeek(thandle_t handle, toff_t offset, int whence)
{
    auto* block = static_cast<TiffMemoryBlock*>(handle);
    // Offsets arrive as unsigned 64-bit values; a negative relative move wraps around, which the
    // sum does as well.
    toff_t base = whence == SEEK_CUR ? block->position : whence == SEEK_END ? block->size : 0;
    toff_t target = base + offset;
    if (target > kLargestPosition)
        return static_cast<toff_t>(-1);
    block->position = target;
    return target;
}

toff_t MemorySize(thandle_t handle)
{
    return static_cast<TiffMemoryBlock*>(handle)->size;
}

// Read-only bytes are offered as a mapping: libtiff reads tiles of unmapped data wrongly (it fails
// them with a byte-count error). A growing block moves, so it is never mapped.
int MemoryMap(thandle_t handle, void** base, toff_t* size)
{
    auto* block = static_cast<TiffMemoryBlock*>(handle);
    if (!block->readOnly)
        return 0;
    *base = block->data;
    *size = block->size;
    return 1;
}

void MemoryUnmap(thandle_t, void*, toff_t) {}

int FreeReader(thandle_t handle)
{
    delete static_cast<TiffMemoryBlock*>(handle);
    return 0;
}

int KeepOutput(thandle_t)
{
    return 0;
}

// An open file read at a position of its own, so that nothing of the file is held in memory.
struct TiffFileClient
{
    HANDLE file;
    ULONGLONG size;
    ULONGLONG position;
};

tmsize_t FileRead(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* client = static_cast<TiffFileClient*>(handle);
    if (count <= 0 || client->position >= client->size)
        return 0;
    const ULONGLONG available = client->size - client->position;
    const DWORD n = static_cast<DWORD>(std::min<ULONGLONG>({static_cast<ULONGLONG>(count), available, 0x7FFFFFFFu}));
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(client->position);
    at.OffsetHigh = static_cast<DWORD>(client->position >> 32);
    DWORD read = 0;
    if (!ReadFile(client->file, buffer, n, &read, &at))
        return 0;
    client->position += read;
    return static_cast<tmsize_t>(read);
}

tmsize_t FileWrite(thandle_t, void*, tmsize_t)
{
    return 0;
}

toff_t FileSeek(thandle_t handle, toff_t offset, int whence)
{
    auto* client = static_cast<TiffFileClient*>(handle);
    toff_t base = whence == SEEK_CUR ? client->position : whence == SEEK_END ? client->size : 0;
    client->position = base + offset;
    return client->position;
}

toff_t FileSize(thandle_t handle)
{
    return static_cast<TiffFileClient*>(handle)->size;
}

// The file is not mapped: its pages are read as libtiff asks for them.
int FileMap(thandle_t, void**, toff_t*)
{
    return 0;
}

int FreeFileClient(thandle_t handle)
{
    delete static_cast<TiffFileClient*>(handle);
    return 0;
}

// ---- directories that fit their file ------------------------------------------------------------

bool ReadAt(TiffFileClient& client, ULONGLONG at, void* buffer, DWORD count)
{
    if (at > client.size || client.size - at < count)
        return false;
    client.position = at;
    return FileRead(&client, buffer, static_cast<tmsize_t>(count)) == static_cast<tmsize_t>(count);
}

ULONGLONG Number(const BYTE* at, int bytes, bool bigEndian)
{
    ULONGLONG value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<ULONGLONG>(at[bigEndian ? bytes - 1 - i : i]) << (8 * i);
    return value;
}

// The bytes one value of a field type takes; 0 for a type the library passes over.
ULONGLONG TypeBytes(unsigned type)
{
    static const BYTE kBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4, 0, 0, 8, 8, 8};
    return type < sizeof kBytes ? kBytes[type] : 0;
}

// Whether every directory of the file (classic or big) holds only entries whose values the file
// can hold. libtiff reads an entry of an unmapped file into a block of the size its count says,
// before it reads a byte: a count past the file would take that much memory for nothing.
bool DirectoriesFitTheFile(TiffFileClient client)
{
    BYTE header[16];
    if (!ReadAt(client, 0, header, 8))
        return false;
    const bool bigEndian = header[0] == 'M';
    const bool big = Number(header + 2, 2, bigEndian) == 43;
    const int offsetBytes = big ? 8 : 4;
    const int entryBytes = big ? 20 : 12;
    ULONGLONG next = big ? 0 : Number(header + 4, 4, bigEndian);
    if (big) {
        if (!ReadAt(client, 8, header + 8, 8))
            return false;
        next = Number(header + 8, 8, bigEndian);
    }
    // Directories beyond these many, or in a loop, are the library's to refuse.
    for (int directories = 0; next != 0 && directories < 65536; ++directories) {
        BYTE countField[8];
        if (!ReadAt(client, next, countField, big ? 8 : 2))
            return true; // the library finds no directory there
        const ULONGLONG entries = Number(countField, big ? 8 : 2, bigEndian);
        const ULONGLONG first = next + (big ? 8 : 2);
        if (entries > (client.size - first) / entryBytes)
            return true; // cut short: the library reads what there is
        std::vector<BYTE> table(static_cast<size_t>(entries * entryBytes) + offsetBytes);
        if (!ReadAt(client, first, table.data(), static_cast<DWORD>(entries * entryBytes)))
            return true;
        for (ULONGLONG i = 0; i < entries; ++i) {
            const BYTE* entry = table.data() + i * entryBytes;
            const ULONGLONG count = Number(entry + 4, offsetBytes, bigEndian);
            const ULONGLONG bytes = TypeBytes(static_cast<unsigned>(Number(entry + 2, 2, bigEndian)));
            if (bytes && count > client.size / bytes) {
                LogWrite(VYX_LOG_SOURCE, LogLevelWarning,
                         L"TIFF refused: a directory entry counts %s values in %s bytes",
                         std::to_wstring(count).c_str(), std::to_wstring(client.size).c_str());
                return false;
            }
        }
        if (!ReadAt(client, first + entries * entryBytes, table.data(), offsetBytes))
            return true;
        next = Number(table.data(), offsetBytes, bigEndian);
    }
    return true;
}

} // namespace

void SilenceLibtiff()
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}

TIFF* OpenTiffMemory(const BYTE* base, DWORD size, const char* name, const char* mode)
{
    if (!base)
        return nullptr;
    auto* block = new (std::nothrow) TiffMemoryBlock;
    if (!block)
        return nullptr;
    // Reading never writes through this pointer: writes are refused for a read-only block.
    block->data = const_cast<BYTE*>(base);
    block->size = block->capacity = size;
    block->readOnly = true;
    TIFF* tif = TIFFClientOpen(name, mode, block, MemoryRead, MemoryWrite, MemorySeek, FreeReader, MemorySize,
                               MemoryMap, MemoryUnmap);
    // A failed open leaves the block to its owner (libtiff closes only what it opened).
    if (!tif)
        delete block;
    return tif;
}

TIFF* OpenTiffHandle(HANDLE file, const char* name)
{
    LARGE_INTEGER size = {};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return nullptr;
    auto* client = new (std::nothrow) TiffFileClient{file, static_cast<ULONGLONG>(size.QuadPart), 0};
    if (!client)
        return nullptr;
    if (!DirectoriesFitTheFile(*client)) {
        delete client;
        return nullptr;
    }
    TIFF* tif = TIFFClientOpen(name, "r", client, FileRead, FileWrite, FileSeek, FreeFileClient, FileSize, FileMap,
                               MemoryUnmap);
    if (!tif)
        delete client;
    return tif;
}

TIFF* OpenTiffMemoryOutput(TiffMemoryBlock* output, const char* name)
{
    return TIFFClientOpen(name, "w", output, MemoryRead, MemoryWrite, MemorySeek, KeepOutput, MemorySize, MemoryMap,
                          MemoryUnmap);
}
