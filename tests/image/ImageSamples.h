// Small GIF, TIFF and AVI files made by the tests themselves, written independently of the codecs
// under test (the GIF writer codes every pixel as a literal).
#pragma once

#include <windows.h>

#include <tiffio.h>
#include <vfw.h>

#include <cstdio>
#include <string>
#include <vector>

namespace samples {

// The palette index of pixel (x, y), y from the top, of a 1, 4 or 8-bit DIB.
inline int IndexAt(HGLOBAL dib, LONG x, LONG y)
{
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(dib));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(block);
    const DWORD row = ((header->biWidth * header->biBitCount + 31) / 32) * 4;
    const DWORD colours = header->biClrUsed ? header->biClrUsed : 1u << header->biBitCount;
    const BYTE* line = block + header->biSize + colours * 4 + (header->biHeight - 1 - y) * row;
    const WORD bits = header->biBitCount;
    int v = bits == 8   ? line[x]
            : bits == 4 ? (line[x / 2] >> ((x & 1) ? 0 : 4)) & 15
                        : (line[x / 8] >> (7 - x % 8)) & 1;
    GlobalUnlock(dib);
    return v;
}

// ---- GIF

// LZW codes, least significant bit first, in data sub-blocks.
class GifCodeStream
{
public:
    explicit GifCodeStream(int codeSize) : m_codeSize(codeSize) {}
    void Code(int code, int width)
    {
        m_bits |= static_cast<unsigned long long>(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.push_back(static_cast<BYTE>(m_bits));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    // Literal indices with a clear code whenever the code width would have to grow, so that the
    // width stays codeSize + 1; maxRun > 0 forces clears more often.
    void Literals(const std::vector<int>& indices, bool endCode = true)
    {
        const int clear = 1 << m_codeSize, width = m_codeSize + 1;
        const int run = clear - 2;
        Code(clear, width);
        int sinceClear = 0;
        for (int index : indices) {
            if (sinceClear == run) {
                Code(clear, width);
                sinceClear = 0;
            }
            Code(index, width);
            ++sinceClear;
        }
        if (endCode)
            Code(clear + 1, width);
    }
    // Sub-blocks of at most 255 bytes and the terminating empty block.
    std::vector<BYTE> Blocks(bool terminate = true)
    {
        std::vector<BYTE> bytes = m_bytes;
        if (m_count > 0)
            bytes.push_back(static_cast<BYTE>(m_bits));
        std::vector<BYTE> out;
        for (size_t at = 0; at < bytes.size(); at += 255) {
            size_t n = bytes.size() - at < 255 ? bytes.size() - at : 255;
            out.push_back(static_cast<BYTE>(n));
            out.insert(out.end(), bytes.begin() + at, bytes.begin() + at + n);
        }
        if (terminate)
            out.push_back(0);
        return out;
    }

private:
    int m_codeSize;
    std::vector<BYTE> m_bytes;
    unsigned long long m_bits = 0;
    int m_count = 0;
};

struct GifFrame
{
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<COLORREF> localTable; // empty: none
    bool interlaced = false;
    bool control = false; // a graphic control extension before the frame
    int delay = 0, disposal = 0, transparent = -1;
    int codeSize = 0;         // 0: from the table size
    std::vector<int> indices; // in stream order
    std::vector<BYTE> data;   // when not empty, the LZW code size byte and sub-blocks as they are
};

inline void PutWord(std::vector<BYTE>& out, int v)
{
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

inline int TableBits(size_t entries)
{
    int bits = 1;
    while ((1u << bits) < entries)
        ++bits;
    return bits;
}

inline void PutTable(std::vector<BYTE>& out, const std::vector<COLORREF>& table, int bits)
{
    for (int i = 0; i < (1 << bits); ++i) {
        COLORREF c = i < static_cast<int>(table.size()) ? table[i] : 0;
        out.push_back(GetRValue(c));
        out.push_back(GetGValue(c));
        out.push_back(GetBValue(c));
    }
}

inline std::vector<BYTE> MakeGif(int width, int height, const std::vector<COLORREF>& globalTable,
                                 const std::vector<GifFrame>& frames, const std::string& comment = "")
{
    std::vector<BYTE> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(out, width);
    PutWord(out, height);
    int globalBits = globalTable.empty() ? 1 : TableBits(globalTable.size());
    out.push_back(static_cast<BYTE>((globalTable.empty() ? 0 : 0x80) | (globalBits - 1)));
    out.push_back(0);
    out.push_back(0);
    if (!globalTable.empty())
        PutTable(out, globalTable, globalBits);
    if (!comment.empty()) {
        out.push_back(0x21);
        out.push_back(0xFE);
        for (size_t at = 0; at < comment.size(); at += 255) {
            size_t n = comment.size() - at < 255 ? comment.size() - at : 255;
            out.push_back(static_cast<BYTE>(n));
            out.insert(out.end(), comment.begin() + at, comment.begin() + at + n);
        }
        out.push_back(0);
    }
    for (const GifFrame& f : frames) {
        if (f.control) {
            BYTE flags = static_cast<BYTE>((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0));
            out.insert(out.end(), {0x21, 0xF9, 4, flags});
            PutWord(out, f.delay);
            out.push_back(static_cast<BYTE>(f.transparent >= 0 ? f.transparent : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        PutWord(out, f.left);
        PutWord(out, f.top);
        PutWord(out, f.width);
        PutWord(out, f.height);
        int localBits = f.localTable.empty() ? 0 : TableBits(f.localTable.size());
        out.push_back(
            static_cast<BYTE>((f.localTable.empty() ? 0 : 0x80 | (localBits - 1)) | (f.interlaced ? 0x40 : 0)));
        if (!f.localTable.empty())
            PutTable(out, f.localTable, localBits);
        if (!f.data.empty()) {
            out.insert(out.end(), f.data.begin(), f.data.end());
            continue;
        }
        int bits = f.localTable.empty() ? globalBits : localBits;
        int codeSize = f.codeSize ? f.codeSize : (bits < 2 ? 2 : bits);
        out.push_back(static_cast<BYTE>(codeSize));
        GifCodeStream codes(codeSize);
        codes.Literals(f.indices);
        std::vector<BYTE> blocks = codes.Blocks();
        out.insert(out.end(), blocks.begin(), blocks.end());
    }
    out.push_back(0x3B);
    return out;
}

// ---- TIFF

struct TiffPage
{
    uint32_t width = 0, height = 0;
    uint16_t bitsPerSample = 8, samplesPerPixel = 1, photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint32_t rowsPerStrip = 0; // 0: all rows in one strip
    uint16_t extraSample = 0;  // set for an alpha sample
    uint16_t orientation = 0;  // set for an orientation tag
    bool tiled = false;
    uint16_t compression = COMPRESSION_NONE;
    std::vector<uint16_t> colorMap; // red, green, blue: 3 x (1 << bits) entries
    std::vector<BYTE> data;         // the samples as libtiff stores them (rows, or planes one after another)
};

inline TiffPage Page(uint32_t w, uint32_t h, uint16_t bits, uint16_t spp, uint16_t photometric, std::vector<BYTE> data)
{
    TiffPage p;
    p.width = w;
    p.height = h;
    p.bitsPerSample = bits;
    p.samplesPerPixel = spp;
    p.photometric = photometric;
    p.data = std::move(data);
    return p;
}

// Writes the pages into a TIFF file and returns its bytes.
inline std::vector<BYTE> MakeTiff(const std::vector<TiffPage>& pages)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"vtf", 0, path);
    std::vector<BYTE> bytes;
    TIFF* tif = TIFFOpenW(path, "w");
    if (!tif)
        return bytes;
    for (const TiffPage& p : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bitsPerSample);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samplesPerPixel);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, p.planar);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
        if (p.orientation)
            TIFFSetField(tif, TIFFTAG_ORIENTATION, p.orientation);
        if (p.extraSample) {
            uint16_t extra = p.extraSample;
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
        if (!p.colorMap.empty()) {
            size_t n = p.colorMap.size() / 3;
            TIFFSetField(tif, TIFFTAG_COLORMAP, p.colorMap.data(), p.colorMap.data() + n, p.colorMap.data() + 2 * n);
        }
        if (p.tiled) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
            tmsize_t tileSize = TIFFTileSize(tif);
            std::vector<BYTE> tile(static_cast<size_t>(tileSize));
            size_t bytesPerPixel = p.bitsPerSample / 8 * p.samplesPerPixel;
            for (uint32_t ty = 0; ty < p.height; ty += 16)
                for (uint32_t tx = 0; tx < p.width; tx += 16) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (uint32_t y = 0; y < 16 && ty + y < p.height; ++y)
                        for (uint32_t x = 0; x < 16 && tx + x < p.width; ++x)
                            for (size_t b = 0; b < bytesPerPixel; ++b)
                                tile[(y * 16 + x) * bytesPerPixel + b] =
                                    p.data[((ty + y) * p.width + tx + x) * bytesPerPixel + b];
                    TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0);
                }
        } else {
            uint32_t rows = p.rowsPerStrip ? p.rowsPerStrip : p.height;
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);
            int planes = p.planar == PLANARCONFIG_SEPARATE ? p.samplesPerPixel : 1;
            size_t planeBytes = p.data.size() / planes;
            size_t rowBytes = planeBytes / p.height;
            for (int plane = 0; plane < planes; ++plane)
                for (uint32_t y = 0; y < p.height; y += rows) {
                    uint32_t n = y + rows > p.height ? p.height - y : rows;
                    std::vector<BYTE> strip(p.data.begin() + plane * planeBytes + y * rowBytes,
                                            p.data.begin() + plane * planeBytes + (y + n) * rowBytes);
                    TIFFWriteEncodedStrip(tif, TIFFComputeStrip(tif, y, static_cast<uint16_t>(plane)), strip.data(),
                                          static_cast<tmsize_t>(strip.size()));
                }
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD size = GetFileSize(file, nullptr), read = 0;
        bytes.resize(size);
        ReadFile(file, bytes.data(), size, &read, nullptr);
        bytes.resize(read);
        CloseHandle(file);
    }
    DeleteFileW(path);
    return bytes;
}

// ---- AVI

// An uncompressed 24-bit AVI of solid frames (frame i in colors[i]), rate / scale frames a second;
// keyEvery n marks every n-th frame as a key frame (1: all). Returns false when it cannot be made.
inline bool MakeAvi(const std::wstring& path, int width, int height, const std::vector<COLORREF>& colors, DWORD rate,
                    DWORD scale, int keyEvery = 1)
{
    DeleteFileW(path.c_str());
    PAVIFILE file = nullptr;
    if (AVIFileOpenW(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr) != 0)
        return false;
    AVISTREAMINFOW info = {};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    info.dwRate = rate;
    info.dwScale = scale;
    info.dwSuggestedBufferSize = ((width * 3 + 3) & ~3) * height;
    SetRect(&info.rcFrame, 0, 0, width, height);
    PAVISTREAM stream = nullptr;
    bool ok = AVIFileCreateStreamW(file, &stream, &info) == 0;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = info.dwSuggestedBufferSize;
    ok = ok && AVIStreamSetFormat(stream, 0, &header, sizeof(header)) == 0;
    std::vector<BYTE> pixels(header.biSizeImage);
    for (size_t i = 0; ok && i < colors.size(); ++i) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                BYTE* p = pixels.data() + y * ((width * 3 + 3) & ~3) + x * 3;
                p[0] = GetBValue(colors[i]);
                p[1] = GetGValue(colors[i]);
                p[2] = GetRValue(colors[i]);
            }
        DWORD flags = (static_cast<int>(i) % keyEvery) == 0 ? AVIIF_KEYFRAME : 0;
        ok = AVIStreamWrite(stream, static_cast<LONG>(i), 1, pixels.data(), header.biSizeImage, flags, nullptr,
                            nullptr) == 0;
    }
    if (stream)
        AVIStreamRelease(stream);
    AVIFileRelease(file);
    return ok;
}

// An AVI holding only an audio stream.
inline bool MakeAudioOnlyAvi(const std::wstring& path)
{
    DeleteFileW(path.c_str());
    PAVIFILE file = nullptr;
    if (AVIFileOpenW(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr) != 0)
        return false;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 8000;
    format.wBitsPerSample = 8;
    format.nBlockAlign = 1;
    format.nAvgBytesPerSec = 8000;
    AVISTREAMINFOW info = {};
    info.fccType = streamtypeAUDIO;
    info.dwScale = 1;
    info.dwRate = 8000;
    info.dwSampleSize = 1;
    PAVISTREAM stream = nullptr;
    bool ok =
        AVIFileCreateStreamW(file, &stream, &info) == 0 && AVIStreamSetFormat(stream, 0, &format, sizeof(format)) == 0;
    std::vector<BYTE> samples(8000, 128);
    ok = ok && AVIStreamWrite(stream, 0, 8000, samples.data(), 8000, 0, nullptr, nullptr) == 0;
    if (stream)
        AVIStreamRelease(stream);
    AVIFileRelease(file);
    return ok;
}

} // namespace samples
