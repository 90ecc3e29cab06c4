// PNG decoding and encoding on libpng. libpng reports errors by a long jump: the functions holding
// its setjmp keep no C++ objects with destructors in their frames.
#include "image/DibCore.h"
#include "image/DibValidate.h"
#include "image/cximage/CxImageCodecs.h"

#include <png.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

struct PngReader
{
    const BYTE* data;
    SIZE_T size;
    SIZE_T position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->position)
        png_error(png, "truncated");
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
}

struct PngWriter
{
    BYTE* data;
    SIZE_T size;
    SIZE_T capacity;
};

void WriteToMemory(png_structp png, png_bytep in, png_size_t count)
{
    auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
    if (count > writer->capacity - writer->size) {
        SIZE_T grown = writer->capacity ? writer->capacity * 2 : 65536;
        while (grown - writer->size < count)
            grown *= 2;
        auto* data = static_cast<BYTE*>(std::realloc(writer->data, grown));
        if (!data)
            png_error(png, "out of memory");
        writer->data = data;
        writer->capacity = grown;
    }
    std::memcpy(writer->data + writer->size, in, count);
    writer->size += count;
}

void FlushNothing(png_structp) {}

void Silent(png_structp, png_const_charp) {}

void ErrorJump(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Transparent pixels are laid over white: the DIBs of this system carry no alpha.
void CompositeRow(const BYTE* bgra, BYTE* bgr, png_uint_32 width)
{
    for (png_uint_32 x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        unsigned alpha = bgra[3];
        for (int c = 0; c < 3; ++c)
            bgr[c] = static_cast<BYTE>((bgra[c] * alpha + 255 * (255 - alpha) + 127) / 255);
    }
}

LONG PelsPerMeter(png_structp png, png_infop info, bool xAxis)
{
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (!png_get_pHYs(png, info, &x, &y, &unit) || unit != PNG_RESOLUTION_METER)
        return 0;
    png_uint_32 value = xAxis ? x : y;
    return value > 0x7FFFFFFF ? 0 : static_cast<LONG>(value);
}

// Whether every chunk's declared length fits in the bytes after its header: libpng takes a block of
// that length for a text, palette or Exif chunk before it reads the chunk, so a few bytes could
// otherwise ask for most of the address space. A file that ends between chunks is left to libpng.
bool ChunksFitTheFile(const BYTE* data, SIZE_T size)
{
    for (SIZE_T at = 8; size - at >= 8;) {
        const DWORD length = static_cast<DWORD>(data[at]) << 24 | static_cast<DWORD>(data[at + 1]) << 16 |
                             static_cast<DWORD>(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 8 || size - at - 8 - length < 4)
            return false;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + static_cast<SIZE_T>(length);
    }
    return true;
}

} // namespace

HGLOBAL CxDecodePng(const BYTE* data, SIZE_T size)
{
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return nullptr;
    if (!ChunksFitTheFile(data, size))
        return nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, Silent);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    PngReader reader = {data, size, 0};
    HGLOBAL volatile dib = nullptr;
    BYTE* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (dib) {
            GlobalUnlock(dib);
            GlobalFree(dib);
        }
        std::free(pixels);
        std::free(rows);
        return nullptr;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    int depth = png_get_bit_depth(png, info), colorType = png_get_color_type(png, info);
    bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // Deflate gives at most 1,032 bytes a byte: rows the file's bytes cannot fill are refused
    // before anything is allocated for them.
    const ULONGLONG storedRow = (static_cast<ULONGLONG>(width) * png_get_channels(png, info) * depth + 7) / 8 + 1;
    if (storedRow * height > static_cast<ULONGLONG>(size) * 1032 + 1024) {
        LogUnfillablePicture(L"PNG", width, height, size);
        png_error(png, "more rows than the data hold");
    }

    // Indexed and plain grey pictures keep one channel; everything else becomes blue, green, red
    // (and alpha, laid over white below).
    WORD dibBits;
    if (colorType == PNG_COLOR_TYPE_PALETTE && !transparency) {
        dibBits = depth == 2 ? 8 : static_cast<WORD>(depth);
        if (depth == 2)
            png_set_packing(png);
    } else if (colorType == PNG_COLOR_TYPE_GRAY && !transparency) {
        dibBits = depth == 1 ? 1 : 8;
        if (depth > 1 && depth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (depth == 16)
            png_set_strip_16(png);
    } else {
        dibBits = 24;
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
    }
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    const SIZE_T rowBytes = png_get_rowbytes(png, info);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width > 0x7FFFFFFF ? 0 : static_cast<LONG>(width);
    header.biHeight = height > 0x7FFFFFFF ? 0 : static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = dibBits;
    header.biXPelsPerMeter = PelsPerMeter(png, info, true);
    header.biYPelsPerMeter = PelsPerMeter(png, info, false);
    if (colorType == PNG_COLOR_TYPE_PALETTE && dibBits <= 8) {
        png_colorp palette = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        header.biClrUsed = static_cast<DWORD>(count > (1 << depth) ? 1 << depth : count);
    }
    DibLayout layout;
    if (!CheckDibHeader(header, &layout) || rowBytes > layout.rowBytes * (channels == 4 ? 2u : 1u))
        png_error(png, "refused");
    dib = CreateDibFromHeader(&header);
    if (!dib)
        png_error(png, "no memory");
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    BYTE* bits = DibBits(block);
    if (colorType == PNG_COLOR_TYPE_PALETTE && dibBits <= 8) {
        png_colorp palette = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        RGBQUAD* table = reinterpret_cast<RGBQUAD*>(block + sizeof(header));
        for (int i = 0; i < count && i < (1 << depth); ++i) {
            table[i].rgbRed = palette[i].red;
            table[i].rgbGreen = palette[i].green;
            table[i].rgbBlue = palette[i].blue;
        }
    }

    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows)
        png_error(png, "no memory");
    if (channels == 4) {
        // Alpha pictures are read whole into a scratch buffer, then laid over white.
        pixels = static_cast<BYTE*>(std::malloc(rowBytes * height));
        if (!pixels)
            png_error(png, "no memory");
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixels + rowBytes * y;
    } else {
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = bits + static_cast<SIZE_T>(height - 1 - y) * layout.rowBytes;
    }
    for (int pass = 0; pass < passes; ++pass)
        png_read_rows(png, rows, nullptr, height);
    png_read_end(png, nullptr);
    if (channels == 4) {
        for (png_uint_32 y = 0; y < height; ++y)
            CompositeRow(rows[y], bits + static_cast<SIZE_T>(height - 1 - y) * layout.rowBytes, width);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(pixels);
    std::free(rows);
    GlobalUnlock(dib);
    return dib;
}

bool CxEncodePng(const void* dib, DWORD option, CxEncodeResult* out)
{
    const WORD bits = DibBitCount(dib);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return false;
    const LONG width = DibWidth(dib), height = DibHeight(dib);
    if (width <= 0 || height <= 0)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, Silent);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    PngWriter writer = {nullptr, 0, 0};
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::free(writer.data);
        std::free(rows);
        return false;
    }
    png_set_write_fn(png, &writer, WriteToMemory, FlushNothing);
    int level;
    switch (option & ~1u) {
    case 2:
        level = Z_NO_COMPRESSION;
        break;
    case 4:
        level = Z_BEST_SPEED;
        break;
    case 6:
        level = Z_BEST_COMPRESSION;
        break;
    default:
        level = Z_DEFAULT_COMPRESSION;
        break;
    }
    png_set_compression_level(png, level);
    const int interlace = (option & 1) ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    if (bits <= 8) {
        png_set_IHDR(png, info, width, height, bits, PNG_COLOR_TYPE_PALETTE, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        // The whole table is written, so no stored index can exceed it.
        png_color palette[256];
        const int count = 1 << bits;
        for (int i = 0; i < count; ++i) {
            COLORREF color = GetDibColorEntry(dib, i);
            palette[i].red = GetRValue(color);
            palette[i].green = GetGValue(color);
            palette[i].blue = GetBValue(color);
        }
        png_set_PLTE(png, info, palette, count);
    } else {
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
    }
    const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
    if (header->biXPelsPerMeter > 0 && header->biYPelsPerMeter > 0)
        png_set_pHYs(png, info, header->biXPelsPerMeter, header->biYPelsPerMeter, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (bits == 24)
        png_set_bgr(png);
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows)
        png_error(png, "no memory");
    BYTE* pixels = const_cast<BYTE*>(DibBits(dib));
    const DWORD row = DibRowSize(dib);
    for (LONG y = 0; y < height; ++y)
        rows[y] = pixels + static_cast<SIZE_T>(height - 1 - y) * row;
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::free(rows);
    out->data = writer.data;
    out->size = writer.size;
    return true;
}
