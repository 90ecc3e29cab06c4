// TIFF writing on libtiff, one directory per page, through a client over memory or an open file.
#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/codecs/TiffMemory.h"
#include "image/cximage/CxImageCodecs.h"

#include <tiffio.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int NoClose(thandle_t)
{
    return 0;
}

int NoMap(thandle_t, tdata_t*, toff_t*)
{
    return 0;
}

void NoUnmap(thandle_t, tdata_t, toff_t) {}

tsize_t FileRead(thandle_t handle, tdata_t buffer, tsize_t count)
{
    return count <= 0
               ? 0
               : static_cast<tsize_t>(std::fread(buffer, 1, static_cast<size_t>(count), static_cast<FILE*>(handle)));
}

tsize_t FileWrite(thandle_t handle, tdata_t buffer, tsize_t count)
{
    if (count <= 0)
        return 0;
    size_t written = std::fwrite(buffer, 1, static_cast<size_t>(count), static_cast<FILE*>(handle));
    return written == static_cast<size_t>(count) ? count : -1;
}

toff_t FileSeek(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<FILE*>(handle);
    if (_fseeki64(file, static_cast<__int64>(offset), whence) != 0)
        return static_cast<toff_t>(-1);
    return static_cast<toff_t>(_ftelli64(file));
}

toff_t FileSize(thandle_t handle)
{
    auto* file = static_cast<FILE*>(handle);
    __int64 position = _ftelli64(file);
    _fseeki64(file, 0, SEEK_END);
    __int64 size = _ftelli64(file);
    _fseeki64(file, position, SEEK_SET);
    return static_cast<toff_t>(size);
}

bool TiffCompression(DWORD code, uint16_t* compression)
{
    switch (code) {
    case 0:
    case COMPRESSION_NONE:
        *compression = COMPRESSION_NONE;
        break;
    case COMPRESSION_LZW:
    case COMPRESSION_JPEG:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
        *compression = static_cast<uint16_t>(code);
        break;
    default:
        return false;
    }
    return TIFFIsCODECConfigured(*compression) != 0;
}

bool WritePage(TIFF* tif, const CxTiffPage& page, int index, int count)
{
    uint16_t compression;
    if (!page.dib || !TiffCompression(page.compression, &compression))
        return false;
    // JPEG compression takes RGB samples only; other depths above 8 go out as RGB too.
    WORD bits = GetDibBitCount(page.dib);
    HGLOBAL source = page.dib;
    GlobalBlock copy;
    if (bits == 16 || bits == 32 || (compression == COMPRESSION_JPEG && bits != 24)) {
        source = MakeDib24(page.dib);
        if (!source)
            return false;
        if (source != page.dib)
            copy.reset(source);
    }
    DibLock lock(source);
    if (!lock)
        return false;
    const void* dib = lock.get();
    bits = DibBitCount(dib);
    const LONG width = DibWidth(dib), height = DibHeight(dib);
    const bool palette = bits <= 8;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(palette ? bits : 8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(palette ? 1 : 3));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_JPEG)
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY,
                     page.jpegQuality < 1     ? 1
                     : page.jpegQuality > 100 ? 100
                                              : page.jpegQuality);
    std::vector<uint16_t> map;
    if (palette) {
        const int entries = 1 << bits;
        map.resize(static_cast<size_t>(entries) * 3);
        for (int i = 0; i < entries; ++i) {
            COLORREF color = GetDibColorEntry(dib, i);
            map[i] = static_cast<uint16_t>(GetRValue(color) * 257);
            map[entries + i] = static_cast<uint16_t>(GetGValue(color) * 257);
            map[2 * entries + i] = static_cast<uint16_t>(GetBValue(color) * 257);
        }
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + entries, map.data() + 2 * entries);
    } else {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    }
    const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
    if (header->biXPelsPerMeter > 0 && header->biYPelsPerMeter > 0) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(header->biXPelsPerMeter * 0.0254));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(header->biYPelsPerMeter * 0.0254));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    // count 0: pages written one by one, their number not known yet.
    if (count != 1) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(index), static_cast<uint16_t>(count));
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

    const DWORD row = DibRowSize(dib);
    const BYTE* bitsPtr = DibBits(dib);
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    if (lineBytes <= 0)
        return false;
    std::vector<BYTE> line(static_cast<size_t>(lineBytes) > row ? static_cast<size_t>(lineBytes) : row);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* src = bitsPtr + static_cast<SIZE_T>(height - 1 - y) * row;
        if (!palette) {
            for (LONG x = 0; x < width; ++x) {
                line[x * 3] = src[x * 3 + 2];
                line[x * 3 + 1] = src[x * 3 + 1];
                line[x * 3 + 2] = src[x * 3];
            }
        } else {
            std::memcpy(line.data(), src, row);
        }
        if (TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(y), 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(tif) != 0;
}

bool WritePages(TIFF* tif, const CxTiffPage* pages, int count)
{
    if (!tif)
        return false;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i)
        ok = WritePage(tif, pages[i], i, count);
    TIFFClose(tif);
    return ok;
}

} // namespace

bool CxEncodeTiff(const CxTiffPage* pages, int count, CxEncodeResult* out)
{
    if (!pages || count <= 0)
        return false;
    SilenceLibtiff();
    TiffMemoryBlock stream;
    TIFF* tif = OpenTiffMemoryOutput(&stream, "memory");
    if (!WritePages(tif, pages, count)) {
        std::free(stream.data);
        return false;
    }
    out->data = stream.data;
    out->size = static_cast<SIZE_T>(stream.size);
    return true;
}

namespace {

TIFF* OpenTiffFile(FILE* file)
{
    SilenceLibtiff();
    return TIFFClientOpen("file", "w", file, FileRead, FileWrite, FileSeek, NoClose, FileSize, NoMap, NoUnmap);
}

} // namespace

bool CxEncodeTiffToFile(const CxTiffPage* pages, int count, FILE* file)
{
    if (!pages || count <= 0 || !file)
        return false;
    return WritePages(OpenTiffFile(file), pages, count) && std::fflush(file) == 0;
}

CxTiffPageWriter::~CxTiffPageWriter()
{
    Close();
}

bool CxTiffPageWriter::Open(FILE* file)
{
    Close();
    m_file = file;
    m_tif = file ? OpenTiffFile(file) : nullptr;
    m_pages = 0;
    m_ok = m_tif != nullptr;
    return m_ok;
}

bool CxTiffPageWriter::AddPage(const CxTiffPage& page)
{
    if (!m_tif || !m_ok)
        return false;
    m_ok = WritePage(m_tif, page, m_pages, 0);
    if (m_ok)
        ++m_pages;
    return m_ok;
}

bool CxTiffPageWriter::Close()
{
    if (!m_tif)
        return false;
    TIFFClose(m_tif);
    m_tif = nullptr;
    return m_ok && m_pages > 0 && std::fflush(m_file) == 0;
}
