// Hostile input for every reader of the image library: truncated files, huge, negative and zero
// dimensions, and deterministic byte mutations of valid seeds. Run under Wine's heap checking:
// any overrun fails the run; every refusal must be a clean null or error code.
#include "../DibTestUtil.h"
#include "HostileInput.h"

#include "image/DibDepth.h"
#include "image/DibFile.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/JpegMemory.h"
#include "image/cximage/CxImage.h"
#include "image/cximage/CxImageJPG.h"

#include "framework/Framework.h"

#include <gtest/gtest.h>

#include <libexif/exif-data.h>
#include <png.h>
#include <zlib.h>

#include <cstdlib>

using namespace dibtest;

namespace {

void Feed(const std::vector<BYTE>& data)
{
    const BYTE* bytes = data.empty() ? nullptr : data.data();
    if (HGLOBAL bmp = ReadBmpMemory(bytes, data.size())) {
        Exercise(bmp);
        GlobalFree(bmp);
    }
    std::vector<BYTE> copy = data;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    if (HGLOBAL bmp = ReadBmp(&file))
        GlobalFree(bmp);
    JpegFile codec;
    codec.m_data = bytes;
    codec.m_dataSize = static_cast<DWORD>(data.size());
    codec.m_findStart = TRUE;
    int header = codec.ReadInfo();
    EXPECT_TRUE(header == 0 || header == 1);
    codec.m_scale = 4;
    int result = codec.Decode();
    EXPECT_TRUE(result == 0 || result == 1 || result == 2);
    EXPECT_EQ(result == 0, codec.m_dib != nullptr);
    if (result == 0) {
        Exercise(codec.m_dib);
        GlobalFree(codec.m_dib);
    }
    for (DWORD type : {0u, 1u, 3u, 4u}) {
        CxImage image;
        image.SetJpegScale(2);
        if (image.Decode(const_cast<BYTE*>(bytes), static_cast<DWORD>(data.size()), type)) {
            // The copy may fail for want of memory after a decode of a huge picture.
            if (HGLOBAL copy = image.CopyToHandle()) {
                Exercise(copy);
                GlobalFree(copy);
            }
        } else {
            EXPECT_FALSE(image.IsValid());
        }
    }
    EXIFINFO info;
    CxImageJPG::CxExifInfo exif(&info);
    CxMemFile memFile(const_cast<BYTE*>(bytes), static_cast<DWORD>(data.size()));
    exif.DecodeExif(&memFile);
}

void FeedAll(const std::vector<BYTE>& seed, unsigned salt)
{
    Feed(seed);
    for (const auto& data : Truncations(seed))
        Feed(data);
    for (const auto& data : Mutations(seed, salt))
        Feed(data);
}

std::vector<BYTE> Encode(HGLOBAL dib, DWORD type, DWORD option = 0)
{
    CxImage image;
    image.CreateFromHANDLE(dib);
    image.SetCodecOption(option, type);
    BYTE* data = nullptr;
    long size = 0;
    std::vector<BYTE> out;
    if (image.Encode(data, size, type))
        out.assign(data, data + size);
    image.FreeMemory(data);
    return out;
}

COLORREF Pattern(LONG x, LONG y)
{
    return RGB(x * 13, y * 7, (x ^ y) * 5);
}

std::vector<BYTE> Put32(std::vector<BYTE> data, size_t at, DWORD value)
{
    std::memcpy(&data[at], &value, 4);
    return data;
}

std::vector<BYTE> PutBig32(std::vector<BYTE> data, size_t at, DWORD value)
{
    data[at] = static_cast<BYTE>(value >> 24);
    data[at + 1] = static_cast<BYTE>(value >> 16);
    data[at + 2] = static_cast<BYTE>(value >> 8);
    data[at + 3] = static_cast<BYTE>(value);
    return data;
}

// PNG header chunk with new dimensions and a correct checksum, so libpng reads it.
std::vector<BYTE> PngWithSize(std::vector<BYTE> png, DWORD width, DWORD height)
{
    png = PutBig32(png, 16, width);
    png = PutBig32(png, 20, height);
    DWORD crc = crc32(0, png.data() + 12, 17);
    return PutBig32(png, 29, crc);
}

// The JPEG frame header's height and width.
std::vector<BYTE> JpegWithSize(std::vector<BYTE> jpeg, WORD width, WORD height)
{
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<BYTE>(height >> 8);
            jpeg[i + 6] = static_cast<BYTE>(height);
            jpeg[i + 7] = static_cast<BYTE>(width >> 8);
            jpeg[i + 8] = static_cast<BYTE>(width);
            break;
        }
    }
    return jpeg;
}

} // namespace

TEST(ReaderRobustness, EmptyAndTinyInputsAreRefusedCleanly)
{
    Feed({});
    for (int n = 1; n < 16; ++n)
        Feed(std::vector<BYTE>(n, 0xFF));
    Feed({'B', 'M'});
    Feed({0xFF, 0xD8});
    Feed({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
}

TEST(ReaderRobustness, BmpFilesWithHostileHeaders)
{
    Dib rgb(Make24(9, 7, Pattern));
    Dib palette(MakeIndexed(9, 7, 8, {RGB(1, 2, 3), RGB(4, 5, 6)}, [](LONG x, LONG) { return x & 1; }));
    std::vector<BYTE> seed24 = Encode(rgb, CXIMAGE_FORMAT_BMP);
    std::vector<BYTE> seed8 = Encode(palette, CXIMAGE_FORMAT_BMP);
    ASSERT_FALSE(seed24.empty());
    // Header size, width, height, bit count and colours used (file offsets 14, 18, 22, 28, 46).
    const DWORD headerSizes[] = {0, 3, 4, 11, 13, 39, 41, 64, 107, 125, 0x7FFFFFFF, 0xFFFFFFFF};
    for (DWORD size : headerSizes)
        Feed(Put32(seed8, 14, size));
    const DWORD dimensions[] = {0, 1, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF9, 46341};
    for (DWORD value : dimensions) {
        Feed(Put32(seed24, 18, value));
        Feed(Put32(seed24, 22, value));
        Feed(Put32(Put32(seed8, 18, value), 22, value));
    }
    for (DWORD bits : {0u, 2u, 7u, 9u, 15u, 33u, 0xFFFFu}) {
        std::vector<BYTE> data = seed8;
        data[28] = static_cast<BYTE>(bits);
        data[29] = static_cast<BYTE>(bits >> 8);
        Feed(data);
    }
    for (DWORD colors : {1u, 255u, 257u, 0x10000u, 0xFFFFFFFFu})
        Feed(Put32(seed8, 46, colors));
    for (DWORD compression : {1u, 2u, 3u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
        Feed(Put32(seed8, 30, compression));
        Feed(Put32(Put32(seed8, 30, compression), 34, 0xFFFFFFF0));
    }
    Feed(Put32(seed8, 10, 0xFFFFFFFF)); // pixel offset
    FeedAll(seed24, 1);
    FeedAll(seed8, 2);
}

TEST(ReaderRobustness, JpegStreamsWithHostileHeadersAndData)
{
    Dib rgb(Make24(40, 24, Pattern));
    std::vector<BYTE> baseline = Encode(rgb, CXIMAGE_FORMAT_JPG);
    std::vector<BYTE> progressive = Encode(rgb, CXIMAGE_FORMAT_JPG, CxImage::kJpegProgressive);
    std::vector<BYTE> grey = Encode(rgb, CXIMAGE_FORMAT_JPG, CxImage::kJpegGreyscale);
    ASSERT_FALSE(baseline.empty());
    for (WORD size : {0, 1, 0xFFFF, 0x8000, 46341}) {
        Feed(JpegWithSize(baseline, size, 24));
        Feed(JpegWithSize(progressive, 40, size));
        Feed(JpegWithSize(progressive, size, size));
    }
    FeedAll(baseline, 3);
    FeedAll(progressive, 4);
    FeedAll(grey, 5);
}

TEST(ReaderRobustness, PngStreamsWithHostileHeadersAndData)
{
    Dib rgb(Make24(17, 9, Pattern));
    Dib palette(MakeIndexed(17, 9, 4, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, [](LONG x, LONG) { return x % 3; }));
    std::vector<BYTE> plain = Encode(rgb, CXIMAGE_FORMAT_PNG);
    std::vector<BYTE> interlaced = Encode(palette, CXIMAGE_FORMAT_PNG, 9);
    ASSERT_FALSE(plain.empty());
    for (DWORD size : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 1000000u, 65536u, 46341u}) {
        Feed(PngWithSize(plain, size, 9));
        Feed(PngWithSize(interlaced, 17, size));
        Feed(PngWithSize(plain, size, size));
    }
    FeedAll(plain, 6);
    FeedAll(interlaced, 7);
}

TEST(ReaderRobustness, ExifBlocksWithHostileOffsets)
{
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* make = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], make);
    exif_entry_initialize(make, EXIF_TAG_X_RESOLUTION);
    exif_entry_unref(make);
    ExifEntry* date = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_EXIF], date);
    exif_entry_initialize(date, EXIF_TAG_DATE_TIME_ORIGINAL);
    exif_entry_unref(date);
    unsigned char* raw = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &raw, &size);
    exif_data_unref(exif);
    std::vector<BYTE> block(raw, raw + size);
    free(raw);
    ASSERT_GT(block.size(), 20u);
    FeedAll(block, 8);
    FeedAll(std::vector<BYTE>(block.begin() + 6, block.end()), 9);
}
