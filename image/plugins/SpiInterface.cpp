#include "image/plugins/SpiInterface.h"

#include <cstddef>
#include <cstring>

static_assert(!kSpiLayout32 || (offsetof(SPIRequest, id) == 8 && offsetof(SPIRequest, source) == 12 &&
                  offsetof(SPIRequest, output) == 20 && offsetof(SPIRequest, flags) == 28 &&
                  offsetof(SPIRequest, callbackData) == 36 && offsetof(SPIRequest, reduction) == 40 &&
                  offsetof(SPIRequest, desiredWidth) == 44 && offsetof(SPIRequest, desiredHeight) == 48 &&
                  offsetof(SPIRequest, moviePosition) == 52 && offsetof(SPIRequest, decodeOption) == 56),
              "request fields at their offsets");
static_assert(!kSpiLayout32 || (offsetof(SPIPictureInfoEx, exif) == 30 && offsetof(SPIPictureInfoEx, length) == 94 &&
                  offsetof(SPIPictureInfoEx, fourcc) == 102 && offsetof(SPIPictureInfoEx, decodeOption) == 106 &&
                  offsetof(SPIPictureInfoEx, marker2) == 110),
              "picture information fields at their offsets");

SPIRequest::SPIRequest()
{
    std::memset(this, 0, sizeof(*this));
    tag[0] = 'v';
    tag[1] = 'y';
    tag[2] = 'x';
}

namespace {

// True when every byte of [address, address + size) is committed memory with the access given.
bool IsMemoryAccessible(const void* address, SIZE_T size, bool write)
{
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const BYTE* at = static_cast<const BYTE*>(address);
    const BYTE* end = at + size;
    if (!address || end < at)
        return false;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(at, &region, sizeof(region)) != sizeof(region) || region.State != MEM_COMMIT ||
            (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) || !(region.Protect & (write ? writable : readable)))
            return false;
        const BYTE* regionEnd = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (regionEnd <= at)
            return false;
        at = regionEnd;
    }
    return true;
}

} // namespace

const SPIRequest* FindVyxRequest(LONG_PTR callbackData)
{
    const SPIRequest* request = reinterpret_cast<const SPIRequest*>(callbackData);
    if (!IsMemoryAccessible(request, sizeof(SPIRequest), false))
        return nullptr;
    if (std::memcmp(request->tag, "vyx", 3) != 0 || request->callbackData != callbackData)
        return nullptr;
    return request;
}

void MarkPictureInfoEx(SPIPictureInfoEx* info)
{
    info->marker = sizeof(SPIPictureInfoEx);
    info->marker2 = SPI_INFO_MARKER;
}

SPIPictureInfoEx* FindPictureInfoEx(SPIPictureInfo* info)
{
    SPIPictureInfoEx* longer = reinterpret_cast<SPIPictureInfoEx*>(info);
    if (!IsMemoryAccessible(longer, sizeof(SPIPictureInfoEx), true))
        return nullptr;
    if (longer->marker != sizeof(SPIPictureInfoEx) || longer->marker2 != SPI_INFO_MARKER)
        return nullptr;
    return longer;
}

void TerminateFileInfoTexts(SPIFileInfo* record)
{
    record->path[sizeof(record->path) - 1] = 0;
    record->fileName[sizeof(record->fileName) - 1] = 0;
}

std::vector<SPIFileInfo> ReadArchiveListing(HGLOBAL listing)
{
    std::vector<SPIFileInfo> records;
    if (!listing)
        return records;
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(listing));
    if (!block)
        return records;
    SIZE_T count = GlobalSize(listing) / sizeof(SPIFileInfo);
    for (SIZE_T i = 0; i < count; ++i) {
        SPIFileInfo record;
        std::memcpy(&record, block + i * sizeof(SPIFileInfo), sizeof(record));
        if (record.method[0] == 0)
            break;
        TerminateFileInfoTexts(&record);
        records.push_back(record);
    }
    GlobalUnlock(listing);
    return records;
}
