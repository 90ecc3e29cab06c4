#include "image/DibValidate.h"

#include "foundation/PixelSize.h"
#include "foundation/VyxLog.h"
#include "image/DibCore.h"
#include "image/DibDepth.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace {

bool DepthSupported(unsigned bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionFits(DWORD compression, unsigned bits)
{
    switch (compression) {
    case BI_RGB:
        return true;
    case BI_RLE8:
        return bits == 8;
    case BI_RLE4:
        return bits == 4;
    case BI_BITFIELDS:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

bool ColorsFit(DWORD used, unsigned bits)
{
    return used <= (bits <= 8 ? 1u << bits : 256u);
}

bool IsRle(DWORD compression)
{
    return compression == BI_RLE8 || compression == BI_RLE4;
}

// Whether the bytes of a stored or run-length picture can fill it. Stored rows: a file cut short
// still shows the rows it has (the rest stay zero), but a picture may not be more than
// kUnfilledFactor times larger than its bytes (a small one always passes). Run-length data: an end
// of line moves one row down and a delta 255 rows, so its rows can reach no further than 64 rows
// a byte; within a row an end of line leaves any width blank, so the area is held to 1024 pixels
// a byte (every run fills 128 at most), past the same small size.
constexpr ULONGLONG kUnfilledFactor = 64;
constexpr ULONGLONG kAlwaysFillable = 1u << 20;       // bytes of a stored picture
constexpr ULONGLONG kAlwaysFillablePixels = 1u << 24; // pixels of a run-length picture
constexpr ULONGLONG kRleRowsPerByte = 64;
constexpr ULONGLONG kRlePixelsPerByte = 1024;

bool BytesCanFill(DWORD compression, LONG width, LONG height, DWORD imageBytes, SIZE_T dataBytes)
{
    if (!IsRle(compression))
        return imageBytes <= FillableImageBytes(dataBytes);
    const ULONGLONG pixels = static_cast<ULONGLONG>(width) * static_cast<ULONGLONG>(height);
    return static_cast<ULONGLONG>(height) <= dataBytes * kRleRowsPerByte + 1 &&
           pixels <= std::max(kAlwaysFillablePixels, dataBytes * kRlePixelsPerByte);
}

} // namespace

void LogUnfillablePicture(const wchar_t* kind, ULONGLONG width, ULONGLONG height, ULONGLONG bytes)
{
    LogWrite(VYX_LOG_SOURCE, LogLevelWarning, L"%s refused: %s x %s pixels declared, %s bytes to fill them", kind,
             std::to_wstring(width).c_str(), std::to_wstring(height).c_str(), std::to_wstring(bytes).c_str());
}

ULONGLONG FillableImageBytes(ULONGLONG dataBytes)
{
    return std::max(kAlwaysFillable, dataBytes * kUnfilledFactor);
}

bool CheckDibHeader(const BITMAPINFOHEADER& header, DibLayout* layout)
{
    if (header.biSize != sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight <= 0)
        return false;
    unsigned bits = header.biBitCount;
    if (!DepthSupported(bits) || !CompressionFits(header.biCompression, bits) || !ColorsFit(header.biClrUsed, bits))
        return false;
    ULONGLONG row = PixelRowBytes(header.biWidth, bits);
    ULONGLONG colors = header.biClrUsed ? header.biClrUsed : (bits <= 8 ? 1u << bits : 0);
    ULONGLONG table = colors * 4 + (header.biCompression == BI_BITFIELDS ? 12 : 0);
    ULONGLONG image;
    if (IsRle(header.biCompression)) {
        if (header.biSizeImage == 0)
            return false;
        image = header.biSizeImage;
    } else {
        image = PixelImageBytes(header.biWidth, header.biHeight, bits);
    }
    ULONGLONG total = SaturatedSum(sizeof(BITMAPINFOHEADER) + table, image);
    if (row == 0 || total >= kMaxDibBytes)
        return false;
    if (layout) {
        layout->rowBytes = static_cast<DWORD>(row);
        layout->tableBytes = static_cast<DWORD>(table);
        layout->imageBytes = static_cast<DWORD>(image);
        layout->totalBytes = static_cast<DWORD>(total);
    }
    return true;
}

bool IsDibSizeAllowed(long long width, long long height, WORD bitCount)
{
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return false;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    return CheckDibHeader(header);
}

HGLOBAL NormalizeDib(const void* packed, SIZE_T bytes, SIZE_T pixelOffset)
{
    if (!packed || bytes < 4)
        return nullptr;
    const BYTE* src = static_cast<const BYTE*>(packed);
    DWORD headerSize;
    std::memcpy(&headerSize, src, 4);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return nullptr;
    if (bytes < headerSize)
        return nullptr;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    SIZE_T entryBytes = 4;
    if (headerSize == 12) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, src, sizeof(core));
        header.biWidth = core.bcWidth;
        header.biHeight = core.bcHeight;
        header.biPlanes = 1;
        header.biBitCount = core.bcBitCount;
        header.biCompression = BI_RGB;
        entryBytes = 3;
    } else {
        std::memcpy(&header, src, sizeof(header));
        header.biSize = sizeof(header);
        header.biPlanes = 1;
    }
    unsigned bits = header.biBitCount;
    DWORD compression = header.biCompression;
    if (!DepthSupported(bits) || !CompressionFits(compression, bits) || !ColorsFit(header.biClrUsed, bits))
        return nullptr;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == LONG_MIN)
        return nullptr;
    bool topDown = header.biHeight < 0;
    if (topDown) {
        if (IsRle(compression))
            return nullptr;
        header.biHeight = -header.biHeight;
    }
    DWORD colors = header.biClrUsed ? header.biClrUsed : (bits <= 8 ? 1u << bits : 0);
    if (header.biClrImportant > colors)
        header.biClrImportant = 0;

    // Masks live behind a 40-byte header but inside the larger ones.
    bool bitfields = compression == BI_BITFIELDS;
    SIZE_T srcTable = static_cast<SIZE_T>(colors) * entryBytes + (bitfields && headerSize == 40 ? 12 : 0);
    const BYTE* srcMasks = nullptr;
    if (bitfields)
        srcMasks = headerSize == 40 ? src + headerSize : src + 40;
    if (static_cast<ULONGLONG>(headerSize) + srcTable > bytes)
        return nullptr;
    const BYTE* srcColors = src + headerSize + (bitfields && headerSize == 40 ? 12 : 0);

    SIZE_T rowsAt = headerSize + srcTable;
    if (pixelOffset >= rowsAt && pixelOffset <= bytes)
        rowsAt = pixelOffset;
    SIZE_T available = bytes - rowsAt;

    BITMAPINFOHEADER outHeader = header;
    outHeader.biCompression = bitfields ? BI_BITFIELDS : BI_RGB;
    outHeader.biSizeImage = 0;
    DibLayout layout;
    if (!CheckDibHeader(outHeader, &layout)) {
        // The same header at one pixel passes: the picture was refused for its size alone.
        BITMAPINFOHEADER onePixel = outHeader;
        onePixel.biWidth = onePixel.biHeight = 1;
        if (CheckDibHeader(onePixel))
            LogWrite(VYX_LOG_SOURCE, LogLevelWarning,
                     L"picture refused: %s x %s pixels at %u bits take more than %s bytes",
                     std::to_wstring(outHeader.biWidth).c_str(), std::to_wstring(outHeader.biHeight).c_str(), bits,
                     std::to_wstring(kMaxDibBytes).c_str());
        return nullptr;
    }
    SIZE_T dataBytes =
        IsRle(compression) && header.biSizeImage && header.biSizeImage < available ? header.biSizeImage : available;
    if (!BytesCanFill(compression, outHeader.biWidth, outHeader.biHeight, layout.imageBytes, dataBytes)) {
        LogUnfillablePicture(IsRle(compression) ? L"run-length picture" : L"picture", outHeader.biWidth,
                             outHeader.biHeight, dataBytes);
        return nullptr;
    }
    outHeader.biSizeImage = layout.imageBytes;
    HGLOBAL out = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, layout.totalBytes);
    if (!out)
        return nullptr;
    bool ok = true;
    {
        DibLock lock(out);
        if (!lock) {
            ok = false;
        } else {
            BYTE* to = lock.get();
            std::memcpy(to, &outHeader, sizeof(outHeader));
            BYTE* table = to + sizeof(outHeader);
            if (bitfields) {
                std::memcpy(table, srcMasks, 12);
                table += 12;
            }
            for (DWORD i = 0; i < colors; ++i) {
                const BYTE* entry = srcColors + i * entryBytes;
                table[i * 4] = entry[0];
                table[i * 4 + 1] = entry[1];
                table[i * 4 + 2] = entry[2];
            }
            BYTE* rows = to + sizeof(outHeader) + layout.tableBytes;
            LONG height = outHeader.biHeight;
            if (IsRle(compression)) {
                ok = DecodeRlePixels(src + rowsAt, dataBytes, bits, outHeader.biWidth, height, rows, layout.rowBytes);
            } else {
                SIZE_T row = layout.rowBytes;
                for (LONG y = 0; y < height; ++y) {
                    SIZE_T from = static_cast<SIZE_T>(topDown ? height - 1 - y : y) * row;
                    if (from >= available)
                        continue;
                    SIZE_T count = available - from < row ? available - from : row;
                    std::memcpy(rows + static_cast<SIZE_T>(y) * row, src + rowsAt + from, count);
                }
            }
        }
    }
    if (!ok) {
        GlobalFree(out);
        return nullptr;
    }
    return out;
}

ULONGLONG PromisedDibBytes(const void* packed, SIZE_T headerBytes, SIZE_T pixelOffset)
{
    DWORD headerSize = 0;
    if (!packed || headerBytes < 4)
        return 0;
    std::memcpy(&headerSize, packed, 4);
    if ((headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
         headerSize != 124) ||
        headerBytes < headerSize)
        return 0;
    LONGLONG width, height;
    unsigned bits;
    DWORD compression = BI_RGB, used = 0, sizeImage = 0;
    ULONGLONG entryBytes = 4;
    if (headerSize == 12) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, packed, sizeof(core));
        width = core.bcWidth;
        height = core.bcHeight;
        bits = core.bcBitCount;
        entryBytes = 3;
    } else {
        BITMAPINFOHEADER header;
        std::memcpy(&header, packed, sizeof(header));
        width = header.biWidth;
        height = header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight;
        bits = header.biBitCount;
        compression = header.biCompression;
        used = header.biClrUsed;
        sizeImage = header.biSizeImage;
    }
    if (width <= 0 || height <= 0 || !DepthSupported(bits) || !CompressionFits(compression, bits) ||
        !ColorsFit(used, bits))
        return 0;
    ULONGLONG colors = used ? used : (bits <= 8 ? 1u << bits : 0);
    ULONGLONG rowsAt = headerSize + colors * entryBytes + (compression == BI_BITFIELDS && headerSize == 40 ? 12 : 0);
    if (pixelOffset > rowsAt)
        rowsAt = pixelOffset;
    if (IsRle(compression))
        return sizeImage ? rowsAt + sizeImage : ~0ull;
    return SaturatedSum(rowsAt, PixelImageBytes(width, height, bits));
}

HGLOBAL AdoptDib(HGLOBAL dib)
{
    if (!dib)
        return nullptr;
    HGLOBAL result = nullptr;
    {
        DibLock lock(dib);
        if (!lock) {
            GlobalFree(dib);
            return nullptr;
        }
        SIZE_T size = GlobalSize(dib);
        DibLayout layout;
        if (size >= sizeof(BITMAPINFOHEADER) && CheckDibHeader(*lock.header(), &layout) &&
            !IsRle(lock.header()->biCompression) && size >= layout.totalBytes)
            return dib;
        result = NormalizeDib(lock.get(), size);
    }
    GlobalFree(dib);
    return result;
}
