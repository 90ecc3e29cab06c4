// What the image robustness tests share: the hostile inputs, and the walk every decoded picture
// must survive.
#pragma once

#include "../DibTestUtil.h"
#include "common/HostileInputs.h"

#include "image/DibDepth.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"
#include "image/cximage/CxImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

using namespace dibtest;
using hostile::Input;
using hostile::JpegScans;
using hostile::JpegWithRepeatedScan;

// A decoded picture must be a sound DIB that the usual operations can walk. Null (a refusal,
// or memory that ran out for a huge picture) is fine.
inline void Exercise(HGLOBAL dib)
{
    if (!dib)
        return;
    BITMAPINFOHEADER h = Header(dib);
    ASSERT_EQ(40u, h.biSize);
    ASSERT_GT(h.biWidth, 0);
    ASSERT_GT(h.biHeight, 0);
    ASSERT_GE(GlobalSize(dib), GetDibTotalSize(dib));
    if (static_cast<LONGLONG>(h.biWidth) * h.biHeight > 4000000)
        return;
    HGLOBAL wide = MakeDib24(dib);
    if (wide) {
        HGLOBAL small = ResizeDib(wide, 7, 5, 0, 0);
        if (small != wide)
            GlobalFree(small);
        HGLOBAL turned = RotateDib(wide, 90);
        if (turned != wide)
            GlobalFree(turned);
        if (wide != dib)
            GlobalFree(wide);
    }
}

// Exercises the decoded picture and frees it.
inline void ExerciseAndFree(HGLOBAL dib)
{
    Exercise(dib);
    if (dib)
        GlobalFree(dib);
}

inline Input Put32(Input data, size_t at, DWORD value)
{
    if (at + 4 <= data.size())
        std::memcpy(&data[at], &value, 4);
    return data;
}

inline Input PutBig32(Input data, size_t at, DWORD value)
{
    for (int i = 0; i < 4 && at + i < data.size(); ++i)
        data[at + i] = static_cast<BYTE>(value >> (24 - 8 * i));
    return data;
}

// ---- the number fields of each format, for the format-aware mutations

using hostile::Field;

// The logical screen's size, and every image descriptor's position and size.
inline std::vector<Field> GifFields(const Input& gif)
{
    std::vector<Field> fields = {{6, 2, false}, {8, 2, false}};
    if (gif.size() < 13)
        return fields;
    size_t pos = 13 + ((gif[10] & 0x80) ? 3u << ((gif[10] & 7) + 1) : 0);
    while (pos < gif.size()) {
        if (gif[pos] == 0x21 && pos + 2 < gif.size()) {
            pos += 2;
        } else if (gif[pos] == 0x2C && pos + 11 < gif.size()) {
            for (size_t field = 1; field <= 7; field += 2)
                fields.push_back({pos + field, 2, false});
            BYTE flags = gif[pos + 9];
            pos += 10 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0) + 1;
        } else {
            break;
        }
        while (pos < gif.size() && gif[pos] != 0)
            pos += 1u + gif[pos];
        ++pos;
    }
    return fields;
}

// The file header's pixel offset and the info header's size, depth, compression and counts.
inline std::vector<Field> BmpFields(const Input&)
{
    return {{2, 4, false},  {10, 4, false}, {14, 4, false}, {18, 4, false}, {22, 4, false},
            {28, 2, false}, {30, 4, false}, {34, 4, false}, {46, 4, false}};
}

// Every entry of the first directory: its count and its value or offset.
inline std::vector<Field> TiffFields(const Input& tiff)
{
    std::vector<Field> fields;
    if (tiff.size() < 8)
        return fields;
    const bool big = tiff[0] == 'M';
    auto number = [&](size_t at, int width) {
        DWORD value = 0;
        for (int i = 0; i < width && at + i < tiff.size(); ++i)
            value |= static_cast<DWORD>(tiff[at + i]) << (8 * (big ? width - 1 - i : i));
        return value;
    };
    const size_t directory = number(4, 4);
    fields.push_back({4, 4, big});
    if (directory + 2 > tiff.size())
        return fields;
    const size_t entries = number(directory, 2);
    for (size_t i = 0; i < entries && directory + 2 + (i + 1) * 12 <= tiff.size(); ++i) {
        const size_t entry = directory + 2 + i * 12;
        fields.push_back({entry + 4, 4, big});
        fields.push_back({entry + 8, number(entry + 2, 2) == 3 ? 2 : 4, big});
    }
    return fields;
}

// Every marker segment's length; the frame header's height and width; the restart interval.
inline std::vector<Field> JpegFields(const Input& jpeg)
{
    std::vector<Field> fields;
    for (size_t at = 2; at + 4 <= jpeg.size();) {
        if (jpeg[at] != 0xFF)
            break;
        const BYTE marker = jpeg[at + 1];
        if (marker == 0xDA || marker == 0xD9)
            break;
        fields.push_back({at + 2, 2, true});
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            fields.push_back({at + 5, 2, true});
            fields.push_back({at + 7, 2, true});
        }
        if (marker == 0xDD)
            fields.push_back({at + 4, 2, true});
        at += 2 + (static_cast<size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    }
    return fields;
}

// The header's width and height and every chunk's length.
inline std::vector<Field> PngFields(const Input& png)
{
    std::vector<Field> fields = {{16, 4, true}, {20, 4, true}};
    for (size_t at = 8; at + 12 <= png.size();) {
        fields.push_back({at, 4, true});
        const size_t length = static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (length > png.size() - at - 12)
            break;
        at += 12 + length;
    }
    return fields;
}

// The picture encoded by the library in the format, with the codec option and quality.
inline Input Encode(HGLOBAL dib, DWORD type, DWORD option = 0, BYTE quality = 90)
{
    CxImage image;
    image.CreateFromHANDLE(dib);
    image.SetCodecOption(option, type);
    image.SetJpegQuality(quality);
    BYTE* data = nullptr;
    long size = 0;
    Input out;
    if (image.Encode(data, size, type))
        out.assign(data, data + size);
    image.FreeMemory(data);
    return out;
}

// ---- the shapes whose declared counts cost memory or time: chunk lengths and scan counts

inline DWORD BigEndian32(const Input& data, size_t at)
{
    return static_cast<DWORD>(data[at]) << 24 | static_cast<DWORD>(data[at + 1]) << 16 |
           static_cast<DWORD>(data[at + 2]) << 8 | data[at + 3];
}

// A PNG chunk of the type holding the payload, its checksum right.
inline Input PngChunk(const char* type, const Input& payload)
{
    Input chunk(12 + payload.size());
    chunk = PutBig32(chunk, 0, static_cast<DWORD>(payload.size()));
    std::memcpy(&chunk[4], type, 4);
    std::copy(payload.begin(), payload.end(), chunk.begin() + 8);
    return PutBig32(chunk, 8 + payload.size(), crc32(0, &chunk[4], static_cast<uInt>(payload.size() + 4)));
}

// The PNG with the chunk put after its header chunk, or before its end chunk.
inline Input PngWithChunk(Input png, const Input& chunk, bool last)
{
    const size_t at = last ? png.size() - 12 : 33;
    png.insert(png.begin() + at, chunk.begin(), chunk.end());
    return png;
}

inline Input Deflated(const std::string& text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    Input out(size);
    compress(out.data(), &size, reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()));
    out.resize(size);
    return out;
}

inline Input TextBytes(const std::string& text)
{
    return Input(text.begin(), text.end());
}

// One chunk of each kind that libpng reads into a block of its declared length: texts, a
// suggested palette, Exif, a colour profile, scale and calibration, and one it does not know.
inline std::vector<Input> PngBlockChunks()
{
    using namespace std::string_literals;
    Input ztxt = TextBytes("Comment\0\0"s), iccp = TextBytes("icc\0\0"s);
    const Input text = Deflated("a comment a comment a comment"), profile = Deflated(std::string(128, 'p'));
    ztxt.insert(ztxt.end(), text.begin(), text.end());
    iccp.insert(iccp.end(), profile.begin(), profile.end());
    return {PngChunk("tEXt", TextBytes("Comment\0a comment"s)),
            PngChunk("zTXt", ztxt),
            PngChunk("iTXt", TextBytes("Comment\0\0\0ja\0\xE6\xB3\xA8\0a comment"s)),
            PngChunk("sPLT", TextBytes("pal\0\x08\x10\x20\x30\xFF\0\x01\x40\x50\x60\xFF\0\x02"s)),
            PngChunk("eXIf", TextBytes("MM\0*\0\0\0\x08\0\0\0\0\0\0"s)),
            PngChunk("iCCP", iccp),
            PngChunk("sCAL", TextBytes("\x01" "1.5\0" "2.5"s)),
            PngChunk("pCAL", TextBytes("cal\0\0\0\0\0\0\0\0\x01\0\x01m\0" "1.0"s)),
            PngChunk("vyXx", TextBytes("private"s))};
}

// Every chunk of the PNG declaring lengths past what the file holds: one byte past, the
// 768 MB of a found case, and the boundary numbers.
inline std::vector<Input> PngChunkLengthShapes(const Input& png)
{
    std::vector<Input> shapes;
    for (size_t at = 8; at + 12 <= png.size();) {
        const DWORD length = BigEndian32(png, at);
        if (length > png.size() - at - 12)
            break;
        const DWORD past = static_cast<DWORD>(png.size() - at - 8 + 1);
        for (DWORD value : std::initializer_list<DWORD>{past, past + 4, 0x30000000u, 0x7FFFFFFFu, 0x80000000u,
                                                        0xFFFFFFFFu, 0x01000000u})
            shapes.push_back(PutBig32(png, at, value));
        at += 12 + length;
    }
    return shapes;
}

// A BMP file of any header size, depth and compression from its table and pixel bytes.
inline Input MakeBmp(DWORD headerSize, LONG width, LONG height, WORD bits, DWORD compression, const Input& table,
                     const Input& pixels)
{
    Input file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Input header(headerSize, 0);
    header = Put32(header, 0, headerSize);
    if (headerSize == 12) {
        header[4] = static_cast<BYTE>(width);
        header[6] = static_cast<BYTE>(height);
        header[8] = 1;
        header[10] = static_cast<BYTE>(bits);
    } else {
        header = Put32(header, 4, static_cast<DWORD>(width));
        header = Put32(header, 8, static_cast<DWORD>(height));
        header[12] = 1;
        header[14] = static_cast<BYTE>(bits);
        header = Put32(header, 16, compression);
        header = Put32(header, 20, static_cast<DWORD>(pixels.size()));
        header = Put32(header, 32, static_cast<DWORD>(table.size() / 4));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), table.begin(), table.end());
    file = Put32(file, 10, static_cast<DWORD>(file.size()));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return Put32(file, 2, static_cast<DWORD>(file.size()));
}

inline Input GreyTable(int entries, int entryBytes = 4)
{
    Input table;
    for (int i = 0; i < entries; ++i)
        for (int k = 0; k < entryBytes; ++k)
            table.push_back(k < 3 ? static_cast<BYTE>(i * 255 / (entries - 1)) : 0);
    return table;
}

} // namespace
