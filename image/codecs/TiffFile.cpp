#include "image/codecs/TiffFile.h"

#include "image/codecs/TiffMemory.h"

#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/DibFilter.h"
#include "image/DibValidate.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr char kClientName[] = "vyx.kr.";

int DibBitsForDepth(int depth)
{
    return depth < 2 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 24;
}

void SetGreyRamp(RGBQUAD* table, int levels, bool falling)
{
    int step = levels > 1 ? 255 / (levels - 1) : 0;
    for (int i = 0; i < levels; ++i) {
        int v = (falling ? levels - 1 - i : i) * step;
        table[i].rgbRed = table[i].rgbGreen = table[i].rgbBlue = static_cast<BYTE>(v);
        table[i].rgbReserved = 0;
    }
}

// The colour map, as 16-bit values when any entry needs more than a byte; only the entries the
// sample depth can address are read, so the map's arrays are never passed.
void SetColorMap(TIFF* tif, RGBQUAD* table, int bitsPerSample, int dibEntries)
{
    uint16_t* red = nullptr;
    uint16_t* green = nullptr;
    uint16_t* blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        return;
    int entries = 1 << bitsPerSample;
    if (entries > dibEntries)
        entries = dibEntries;
    bool wide = false;
    for (int i = 0; i < entries; ++i)
        wide = wide || red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
    int shift = wide ? 8 : 0;
    for (int i = 0; i < entries; ++i) {
        table[i].rgbRed = static_cast<BYTE>(red[i] >> shift);
        table[i].rgbGreen = static_cast<BYTE>(green[i] >> shift);
        table[i].rgbBlue = static_cast<BYTE>(blue[i] >> shift);
    }
}

struct PageFacts
{
    uint32_t width = 0;
    uint32_t length = 0;
    uint16_t bitsPerSample = 1;
    uint16_t samplesPerPixel = 1;
    uint16_t photometric = 0xFFFF;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint32_t rowsPerStrip = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT; // 1..8
    bool tiled = false;
};

enum class StripMode {
    Samples,     // one sample of 1, 2, 4 or 8 bits a pixel, copied (2 bits widened to nibbles)
    Rgb,         // 8-bit interleaved red, green, blue (and extra samples), turned around
    WidePalette, // 16-bit palette indices looked up into 24 bits
};

// The colour map of a 16-bit palette page as 24-bit BGR triples; empty when there is none.
std::vector<BYTE> WidePaletteColours(TIFF* tif)
{
    uint16_t* red = nullptr;
    uint16_t* green = nullptr;
    uint16_t* blue = nullptr;
    std::vector<BYTE> colours;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        return colours;
    bool wide = false;
    for (int i = 0; i < 65536 && !wide; ++i)
        wide = red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
    int shift = wide ? 8 : 0;
    colours.resize(65536 * 3);
    for (int i = 0; i < 65536; ++i) {
        colours[i * 3] = static_cast<BYTE>(blue[i] >> shift);
        colours[i * 3 + 1] = static_cast<BYTE>(green[i] >> shift);
        colours[i * 3 + 2] = static_cast<BYTE>(red[i] >> shift);
    }
    return colours;
}

// Strips copied row by row into the DIB (the first TIFF row into its last row). A row the strip
// does not hold stays zero; a strip that cannot be read fails the page.
bool ReadStrips(TIFF* tif, const PageFacts& page, BYTE* bits, DWORD rowBytes, StripMode mode)
{
    std::vector<BYTE> palette;
    if (mode == StripMode::WidePalette) {
        palette = WidePaletteColours(tif);
        if (palette.empty())
            return false;
    }
    tmsize_t scanline = TIFFScanlineSize(tif);
    tmsize_t stripSize = TIFFStripSize(tif);
    if (scanline <= 0 || stripSize <= 0 || static_cast<ULONGLONG>(stripSize) >= kMaxDibBytes)
        return false;
    uint32_t rowsPerStrip = page.rowsPerStrip == 0 || page.rowsPerStrip > page.length ? page.length : page.rowsPerStrip;
    std::vector<BYTE> strip;
    try {
        strip.assign(static_cast<size_t>(stripSize) + 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint32_t current = 0xFFFFFFFF;
    size_t got = 0;
    const int spp = page.samplesPerPixel;
    for (uint32_t row = 0; row < page.length; ++row) {
        uint32_t number = TIFFComputeStrip(tif, row, 0);
        if (number != current) {
            tmsize_t n = TIFFReadEncodedStrip(tif, number, strip.data(), stripSize);
            if (n < 0)
                return false;
            got = static_cast<size_t>(n);
            current = number;
        }
        size_t offset = static_cast<size_t>(row % rowsPerStrip) * static_cast<size_t>(scanline);
        size_t available = got > offset ? got - offset : 0;
        if (available > static_cast<size_t>(scanline))
            available = static_cast<size_t>(scanline);
        const BYTE* line = strip.data() + offset;
        BYTE* to = bits + static_cast<size_t>(page.length - 1 - row) * rowBytes;
        if (mode == StripMode::WidePalette) {
            for (uint32_t x = 0; x < page.width && (x + 1) * 2 <= available; ++x) {
                uint16_t index;
                std::memcpy(&index, line + x * 2, 2);
                std::memcpy(to + x * 3, palette.data() + index * 3, 3);
            }
        } else if (mode == StripMode::Rgb) {
            for (uint32_t x = 0; x < page.width && (x + 1) * static_cast<size_t>(spp) <= available; ++x) {
                const BYTE* p = line + x * static_cast<size_t>(spp);
                to[x * 3] = p[2];
                to[x * 3 + 1] = p[1];
                to[x * 3 + 2] = p[0];
            }
        } else if (page.bitsPerSample == 2) {
            // Two-bit samples become the nibbles of a 4-bit row.
            for (uint32_t x = 0; x < page.width && x / 4 < available; ++x) {
                SetPackedIndex(to, x, 4, (line[x / 4] >> (6 - 2 * (x % 4))) & 3);
            }
        } else {
            std::memcpy(to, line, available < rowBytes ? available : rowBytes);
        }
    }
    return true;
}

// The request that has libtiff's RGBA reader keep the rows and pixels in the order the file
// stores them; the orientation is then applied as on every other path. The transposed
// orientations count as their row-major counterparts.
int StoredOrder(int orientation)
{
    static const int kRequest[] = {ORIENTATION_TOPLEFT, ORIENTATION_TOPRIGHT, ORIENTATION_BOTRIGHT,
                                   ORIENTATION_BOTLEFT};
    return kRequest[(orientation - 1) & 3];
}

// The RGBA reader's raster holds this much at most at a time: a page is read in parts of whole
// strips (or rows of tiles) where they fit, so that a large page takes little beyond its DIB.
constexpr size_t kRgbaPartBytes = size_t(32) << 20;

// libtiff's RGBA reader, first stored row into the DIB's last row as the strips go: the red byte
// as the grey value of an 8-bit DIB, or red, green and blue into a 24-bit one. Its colours come
// premultiplied by alpha (over black); pictures are laid over white instead.
bool ReadRgba(TIFF* tif, const PageFacts& page, BYTE* bits, DWORD rowBytes, bool grey)
{
    char message[1024] = "";
    TIFFRGBAImage image;
    if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 0, message))
        return false;
    image.req_orientation = static_cast<uint16_t>(StoredOrder(page.orientation));
    uint32_t unit = page.rowsPerStrip == 0 || page.rowsPerStrip > page.length ? page.length : page.rowsPerStrip;
    uint32_t tileLength = 0;
    if (page.tiled && TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength) && tileLength > 0)
        unit = std::min(tileLength, page.length);
    const uint32_t fit = static_cast<uint32_t>(std::max<size_t>(1, kRgbaPartBytes / (size_t(page.width) * 4)));
    const uint32_t rows = std::min(page.length, fit >= unit ? fit / unit * unit : fit);
    std::vector<uint32_t> raster;
    try {
        raster.assign(static_cast<size_t>(page.width) * rows, 0);
    } catch (const std::bad_alloc&) {
        TIFFRGBAImageEnd(&image);
        return false;
    }
    auto overWhite = [](uint32_t abgr, uint32_t channel) {
        uint32_t value = channel + 255 - TIFFGetA(abgr);
        return static_cast<BYTE>(value > 255 ? 255 : value);
    };
    bool read = true;
    for (uint32_t first = 0; read && first < page.length; first += rows) {
        const uint32_t count = std::min(rows, page.length - first);
        image.row_offset = static_cast<int>(first);
        image.col_offset = 0;
        read = TIFFRGBAImageGet(&image, raster.data(), page.width, count) != 0;
        for (uint32_t k = 0; read && k < count; ++k) {
            const uint32_t* from = raster.data() + static_cast<size_t>(k) * page.width;
            BYTE* to = bits + static_cast<size_t>(page.length - 1 - (first + k)) * rowBytes;
            for (uint32_t x = 0; x < page.width; ++x) {
                uint32_t abgr = from[x];
                if (grey) {
                    to[x] = overWhite(abgr, TIFFGetR(abgr));
                } else {
                    to[x * 3] = overWhite(abgr, TIFFGetB(abgr));
                    to[x * 3 + 1] = overWhite(abgr, TIFFGetG(abgr));
                    to[x * 3 + 2] = overWhite(abgr, TIFFGetR(abgr));
                }
            }
        }
    }
    TIFFRGBAImageEnd(&image);
    return read;
}

// Turns a page read in stored order the way its orientation tag says (the transposed ones as
// their row-major counterparts, as libtiff's RGBA reader takes them).
void ApplyOrientation(HGLOBAL dib, int orientation)
{
    int rowMajor = ((orientation - 1) & 3) + 1;
    if (rowMajor == ORIENTATION_TOPRIGHT || rowMajor == ORIENTATION_BOTRIGHT)
        FlipDib(dib, 1);
    if (rowMajor == ORIENTATION_BOTRIGHT || rowMajor == ORIENTATION_BOTLEFT)
        FlipDib(dib, 0);
}

HGLOBAL ConvertPage(TIFF* tif)
{
    PageFacts page;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.length))
        return nullptr;
    if (page.width == 0 || page.length == 0 || page.width > 0x7FFFFFFF || page.length > 0x7FFFFFFF)
        return nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &page.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &page.samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &page.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &page.rowsPerStrip);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &page.photometric))
        page.photometric = 0xFFFF;
    page.tiled = TIFFIsTiled(tif) != 0;
    if (!TIFFGetField(tif, TIFFTAG_ORIENTATION, &page.orientation) || page.orientation < 1 || page.orientation > 8)
        page.orientation = ORIENTATION_TOPLEFT;
    const int bps = page.bitsPerSample;
    const int photometric = page.photometric;
    if (bps == 0 || page.samplesPerPixel == 0)
        return nullptr;

    // Strips are copied as they stand only where a row of samples is a row of DIB pixels: one
    // sample a pixel of 1, 2, 4 or 8 bits, or 8-bit interleaved RGB. Everything else (alpha and
    // other extra samples, separate planes, tiles, odd and 16-bit depths) goes through the RGBA
    // reader, which lays alpha over white.
    bool oneSample = page.samplesPerPixel == 1 && !page.tiled && (bps == 1 || bps == 2 || bps == 4 || bps == 8);
    bool greyLike = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
                    photometric == PHOTOMETRIC_MASK;
    enum { Strips, RgbStrips, WidePaletteStrips, GreyRgba, ColourRgba } path;
    if ((greyLike || photometric == PHOTOMETRIC_PALETTE) && oneSample)
        path = Strips;
    else if (photometric == PHOTOMETRIC_PALETTE && bps == 16 && page.samplesPerPixel == 1 && !page.tiled)
        path = WidePaletteStrips; // the RGBA reader refuses palettes above 8 bits
    else if (greyLike)
        path = GreyRgba;
    else if (photometric == PHOTOMETRIC_RGB && bps == 8 && page.samplesPerPixel == 3 &&
             page.planar == PLANARCONFIG_CONTIG && !page.tiled)
        path = RgbStrips;
    else
        path = ColourRgba;

    int dibBits = path == Strips ? DibBitsForDepth(bps) : path == GreyRgba ? 8 : 24;
    HGLOBAL dib = CreateDibForDepth(static_cast<LONG>(page.width), static_cast<LONG>(page.length), dibBits);
    if (!dib)
        return nullptr;
    bool read = false;
    {
        // Unlocked before a failed page is freed.
        DibLock lock(dib);
        if (!lock) {
            GlobalFree(dib);
            return nullptr;
        }
        auto* table = reinterpret_cast<RGBQUAD*>(lock.get() + sizeof(BITMAPINFOHEADER));
        BYTE* bits = DibBits(lock.get());
        DWORD rowBytes = DibRowSize(lock.get());
        switch (path) {
        case Strips:
            if (photometric == PHOTOMETRIC_PALETTE)
                SetColorMap(tif, table, bps, 1 << dibBits);
            else
                SetGreyRamp(table, 1 << bps, photometric == PHOTOMETRIC_MINISWHITE);
            read = ReadStrips(tif, page, bits, rowBytes, StripMode::Samples);
            break;
        case RgbStrips:
            read = ReadStrips(tif, page, bits, rowBytes, StripMode::Rgb);
            break;
        case WidePaletteStrips:
            read = ReadStrips(tif, page, bits, rowBytes, StripMode::WidePalette);
            break;
        case GreyRgba:
            // The RGBA reader has already turned min-is-white around.
            SetGreyRamp(table, 256, false);
            read = ReadRgba(tif, page, bits, rowBytes, true);
            break;
        case ColourRgba:
            read = ReadRgba(tif, page, bits, rowBytes, false);
            break;
        }
    }
    if (!read) {
        GlobalFree(dib);
        return nullptr;
    }
    ApplyOrientation(dib, page.orientation);
    return dib;
}

} // namespace

int CountTiffDirectories(TIFF* tif)
{
    return tif ? static_cast<int>(TIFFNumberOfDirectories(tif)) : 0;
}

HGLOBAL CreateDibForDepth(LONG width, LONG height, int depth)
{
    WORD bitCount = static_cast<WORD>(DibBitsForDepth(depth));
    HGLOBAL dib = CreateDib(width, height, bitCount);
    DibLock lock(dib);
    if (!lock)
        return dib;
    BITMAPINFOHEADER* header = lock.header();
    header->biXPelsPerMeter = 2834;
    header->biYPelsPerMeter = 2834;
    if (bitCount <= 8)
        std::memset(lock.get() + sizeof(BITMAPINFOHEADER), 0, DibColorTableSize(lock.get()));
    return dib;
}

TIFF* TiffFile::Open() const
{
    return m_file != INVALID_HANDLE_VALUE ? OpenTiffHandle(m_file, kClientName)
                                          : OpenTiffMemory(m_data, m_dataSize, kClientName, "r");
}

int TiffFile::Decode()
{
    m_dib = nullptr;
    SilenceLibtiff();
    TIFF* tif = Open();
    if (!tif)
        return 1;
    HGLOBAL dib = TIFFSetDirectory(tif, m_page) ? ConvertPage(tif) : nullptr;
    TIFFClose(tif);
    if (!dib)
        return 1;
    DibLock lock(dib);
    m_width = DibWidth(lock.get());
    m_height = DibHeight(lock.get());
    m_bitCount = DibBitCount(lock.get());
    m_dib = dib;
    return 0;
}

int TiffFile::ReadInfo()
{
    SilenceLibtiff();
    TIFF* tif = Open();
    if (!tif)
        return 1;
    uint32_t width = 0, length = 0;
    uint16_t bitsPerSample = 1, samplesPerPixel = 1;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFClose(tif);
    m_width = static_cast<LONG>(width);
    m_height = static_cast<LONG>(length);
    m_bitCount = static_cast<DWORD>(bitsPerSample) * samplesPerPixel;
    return 0;
}

int TiffFile::CountPages()
{
    SilenceLibtiff();
    TIFF* tif = Open();
    if (!tif)
        return 0;
    int count = CountTiffDirectories(tif);
    TIFFClose(tif);
    return count;
}

int TiffFile::CountPagesFile()
{
    MappedFile file;
    const BYTE* view = m_fileName ? file.Open(m_fileName, 0, 0) : nullptr;
    if (!view || file.GetSize() <= m_offset || file.GetSize() - m_offset > 0xFFFFFFFF)
        return 0;
    const BYTE* savedData = m_data;
    DWORD savedSize = m_dataSize;
    m_data = view + m_offset;
    m_dataSize = static_cast<DWORD>(file.GetSize() - m_offset);
    int count = CountPages();
    m_data = savedData;
    m_dataSize = savedSize;
    return count;
}
