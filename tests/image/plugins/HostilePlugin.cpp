// An image plug-in that answers as its input tells it, for hostile-input runs of the host: the
// input ("HSTL" and a record, then the bytes of the blocks) says which blocks it hands back, of
// what size and with what in them, what it returns and how it calls the progress callback. Its
// pictures are whatever the bytes are: headers that do not match their rows, rows shorter than
// promised, the same block as both handles, nothing at all.
#include "TestPluginCommon.h"

#include <algorithm>

using namespace testplugin;

namespace {

const char* const kTexts[] = {"00IN", "Hostile test plug-in", "*.hstl", "Hostile pictures"};

#pragma pack(push, 1)
struct HostileRecord
{
    char magic[4]; // "HSTL"
    BYTE flags;    // HostileFlags
    signed char result;
    WORD progressCalls;
    DWORD infoBlock; // the info block's size (at most 1 MB)
    DWORD bitsBlock; // the bits block's size (at most 4 MB)
    DWORD infoBytes; // how many of the bytes after the record fill the info block; the rest fill bits
    LONG infoWidth;  // the picture information's fields
    LONG infoHeight;
    SHORT infoDepth;
    WORD textBlock; // the information text's size, not terminated
};
#pragma pack(pop)

enum HostileFlags : BYTE {
    NoInfo = 1,         // no info block
    NoBits = 2,         // no bits block
    SameBlock = 4,      // the info block as both handles
    FixedBlocks = 8,    // fixed blocks instead of movable ones
    GlobalBlocks = 16,  // GlobalAlloc instead of LocalAlloc
    BitsUntouched = 32, // the bits handle left as the host set it
    StopOnProgress = 64 // the progress callback's answer is ignored
};

bool ReadRecord(LPCSTR source, LONG_PTR length, unsigned flags, std::string& bytes, HostileRecord& record)
{
    if (!LoadInput(source, length, flags, 0, bytes) || bytes.size() < sizeof(HostileRecord) ||
        std::memcmp(bytes.data(), "HSTL", 4) != 0)
        return false;
    std::memcpy(&record, bytes.data(), sizeof(record));
    return true;
}

HLOCAL Block(BYTE flags, DWORD size, const char* data, size_t available)
{
    UINT kind = (flags & FixedBlocks) ? LMEM_FIXED : LMEM_MOVEABLE;
    HLOCAL block = (flags & GlobalBlocks) ? GlobalAlloc(kind, size) : LocalAlloc(kind, size);
    if (!block)
        return nullptr;
    void* to = (flags & GlobalBlocks) ? GlobalLock(block) : LocalLock(block);
    if (to)
        std::memcpy(to, data, std::min<size_t>(size, available));
    if (flags & GlobalBlocks)
        GlobalUnlock(block);
    else
        LocalUnlock(block);
    return block;
}

} // namespace

PLUGIN_EXPORT int WINAPI GetPluginInfo(int index, LPSTR buffer, int size)
{
    return CopyInfoText(kTexts, index, buffer, size);
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR, void* head)
{
    if ((reinterpret_cast<DWORD_PTR>(head) & 0xFFFF0000) == 0)
        return 0;
    return std::memcmp(head, "HSTL", 4) == 0;
}

PLUGIN_EXPORT int WINAPI GetPictureInfo(LPCSTR source, LONG_PTR length, unsigned flags, SPIPictureInfo* info)
{
    std::string bytes;
    HostileRecord record;
    if (!ReadRecord(source, length, flags, bytes, record))
        return SPI_UNKNOWN_FORMAT;
    info->left = info->top = 0;
    info->width = record.infoWidth;
    info->height = record.infoHeight;
    info->colorDepth = record.infoDepth;
    if (record.result != SPI_OK)
        return record.result;
    const char* rest = bytes.data() + sizeof(record);
    info->hInfo =
        record.textBlock ? Block(record.flags, record.textBlock, rest, bytes.size() - sizeof(record)) : nullptr;
    return SPI_OK;
}

PLUGIN_EXPORT int WINAPI GetPicture(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits,
                                    SPIProgressProc progress, LONG_PTR data)
{
    std::string bytes;
    HostileRecord record;
    if (!ReadRecord(source, length, flags, bytes, record))
        return SPI_UNKNOWN_FORMAT;
    for (int call = 0; progress && call < std::min<int>(record.progressCalls, 64); ++call)
        if (progress(call - 1, record.progressCalls % 7, data) && !(record.flags & StopOnProgress))
            return SPI_ABORTED;
    // A failure hands nothing back, as the convention has it: the hostility is in what a
    // success hands back.
    if (record.result != SPI_OK)
        return record.result;
    const char* rest = bytes.data() + sizeof(record);
    const size_t available = bytes.size() - sizeof(record);
    const size_t infoBytes = std::min<size_t>(record.infoBytes, available);
    HLOCAL infoBlock = nullptr;
    if (!(record.flags & NoInfo))
        infoBlock = Block(record.flags, std::min<DWORD>(record.infoBlock, 1 << 20), rest, infoBytes);
    *info = infoBlock;
    if (record.flags & BitsUntouched)
        return record.result;
    if (record.flags & SameBlock)
        *bits = infoBlock;
    else if (record.flags & NoBits)
        *bits = nullptr;
    else
        *bits =
            Block(record.flags, std::min<DWORD>(record.bitsBlock, 4 << 20), rest + infoBytes, available - infoBytes);
    return record.result;
}
