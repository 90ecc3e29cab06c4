#include "DibTestUtil.h"
#include "ExifTestUtil.h"

#include "image/DibDepth.h"
#include "image/DibFile.h"
#include "image/codecs/JpegMemory.h"
#include "image/cximage/CxImage.h"
#include "image/cximage/CxImageJPG.h"
#include "image/cximage/CxImageTIF.h"

#include <gtest/gtest.h>

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>

using namespace dibtest;

namespace {

COLORREF Gradient(LONG x, LONG y)
{
    return RGB(x * 4, y * 4, 128);
}

std::vector<BYTE> Encoded(CxImage& image, DWORD type)
{
    BYTE* data = nullptr;
    long size = 0;
    if (!image.Encode(data, size, type))
        return {};
    std::vector<BYTE> out(data, data + size);
    image.FreeMemory(data);
    return out;
}

std::vector<BYTE> EncodeDib(HGLOBAL dib, DWORD type, DWORD option = 0)
{
    CxImage image;
    image.CreateFromHANDLE(dib);
    image.SetCodecOption(option, type);
    return Encoded(image, type);
}

int ChannelDistance(COLORREF a, COLORREF b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

// Reads a TIFF held in memory with libtiff.
struct TiffReader
{
    std::vector<BYTE> data;
    toff_t position = 0;

    static tsize_t Read(thandle_t h, tdata_t buffer, tsize_t count)
    {
        auto* r = static_cast<TiffReader*>(h);
        toff_t n = std::min<toff_t>(count, r->data.size() - std::min<toff_t>(r->position, r->data.size()));
        std::memcpy(buffer, r->data.data() + r->position, n);
        r->position += n;
        return static_cast<tsize_t>(n);
    }
    static tsize_t Write(thandle_t, tdata_t, tsize_t) { return 0; }
    static toff_t Seek(thandle_t h, toff_t offset, int whence)
    {
        auto* r = static_cast<TiffReader*>(h);
        r->position = (whence == SEEK_CUR ? r->position : whence == SEEK_END ? r->data.size() : 0) + offset;
        return r->position;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t h) { return static_cast<TiffReader*>(h)->data.size(); }
    static int Map(thandle_t, tdata_t*, toff_t*) { return 0; }
    static void Unmap(thandle_t, tdata_t, toff_t) {}

    TIFF* Open() { return TIFFClientOpen("test", "r", this, Read, Write, Seek, Close, Size, Map, Unmap); }
};

// The RGBA pixel (x, y) from the top of the current TIFF directory.
COLORREF TiffPixel(TIFF* tif, uint32_t x, uint32_t y)
{
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> raster(static_cast<size_t>(w) * h);
    if (!TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0))
        return 0xFFFFFFFF;
    uint32_t p = raster[y * w + x];
    return RGB(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p));
}

} // namespace

TEST(CxImage, DetectsFormatsBySignature)
{
    const struct
    {
        std::vector<BYTE> head;
        DWORD type;
    } table[] = {
        {{'B', 'M', 0, 0}, CXIMAGE_FORMAT_BMP},
        {{0xFF, 0xD8, 0xFF, 0xE0}, CXIMAGE_FORMAT_JPG},
        {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, CXIMAGE_FORMAT_PNG},
        {{'G', 'I', 'F', '8', '9', 'a'}, CXIMAGE_FORMAT_GIF},
        {{'I', 'I', '*', 0}, CXIMAGE_FORMAT_TIF},
        {{'M', 'M', 0, '*'}, CXIMAGE_FORMAT_TIF},
        {{0, 0, 0, 0x0C, 'j', 'P', ' ', ' '}, CXIMAGE_FORMAT_JP2},
        {{0xFF, 0x4F, 0xFF, 0x51}, CXIMAGE_FORMAT_JP2},
        {{'x', 'y', 'z'}, CXIMAGE_FORMAT_UNKNOWN},
        {{0xFF}, CXIMAGE_FORMAT_UNKNOWN},
    };
    for (const auto& row : table)
        EXPECT_EQ(row.type, CxImage::DetectFormat(row.head.data(), static_cast<DWORD>(row.head.size())));
}

TEST(CxImage, BmpPaletteRoundTripKeepsIndices)
{
    Dib dib(MakeIndexed(9, 3, 4, {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255)},
                        [](LONG x, LONG y) { return (x + y) % 3; }));
    std::vector<BYTE> bmp = EncodeDib(dib, CXIMAGE_FORMAT_BMP);
    CxImage image;
    ASSERT_TRUE(image.Decode(bmp.data(), static_cast<DWORD>(bmp.size()), 0));
    EXPECT_EQ(static_cast<DWORD>(CXIMAGE_FORMAT_BMP), image.GetType());
    EXPECT_EQ(4, image.GetBpp());
    Dib copy(image.CopyToHandle());
    std::vector<BYTE> in = Bytes(dib), out = Bytes(copy);
    ASSERT_EQ(in.size(), out.size());
    EXPECT_TRUE(std::equal(in.begin() + 40, in.end(), out.begin() + 40)); // table and pixels
    EXPECT_EQ(Header(dib).biClrUsed, Header(copy).biClrUsed);
}

TEST(CxImage, JpegRoundTripAndScaledDecode)
{
    Dib dib(Make24(64, 48, Gradient));
    CxImage encoder;
    encoder.CreateFromHANDLE(dib);
    encoder.SetJpegQuality(95);
    std::vector<BYTE> jpeg = Encoded(encoder, CXIMAGE_FORMAT_JPG);
    ASSERT_GT(jpeg.size(), 100u);
    EXPECT_EQ(0xFF, jpeg[0]);
    EXPECT_EQ(0xD8, jpeg[1]);

    CxImage image;
    ASSERT_TRUE(image.Decode(jpeg.data(), static_cast<DWORD>(jpeg.size()), 0));
    EXPECT_EQ(static_cast<DWORD>(CXIMAGE_FORMAT_JPG), image.GetType());
    EXPECT_EQ(64u, image.GetWidth());
    EXPECT_EQ(48u, image.GetHeight());
    EXPECT_EQ(24, image.GetBpp());
    Dib decoded(image.CopyToHandle());
    for (LONG y = 0; y < 48; y += 7)
        for (LONG x = 0; x < 64; x += 9)
            EXPECT_LE(ChannelDistance(Gradient(x, y), Pixel24(decoded, x, y)), 6) << x << "," << y;

    CxImage scaled;
    scaled.SetJpegScale(4);
    ASSERT_TRUE(scaled.Decode(jpeg.data(), static_cast<DWORD>(jpeg.size()), CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(16u, scaled.GetWidth());
    EXPECT_EQ(12u, scaled.GetHeight());
}

TEST(CxImage, PngRoundTripsAreExact)
{
    std::vector<HGLOBAL> pictures = {
        Make24(13, 7, Gradient),
        MakeIndexed(13, 7, 8, {RGB(1, 2, 3), RGB(200, 100, 50), RGB(9, 9, 9)},
                    [](LONG x, LONG y) { return (x * y) % 3; }),
        MakeIndexed(13, 7, 4, {RGB(255, 0, 0), RGB(0, 255, 0)}, [](LONG x, LONG) { return x & 1; }),
        MakeIndexed(13, 7, 1, {RGB(0, 0, 0), RGB(255, 255, 255)}, [](LONG x, LONG y) { return (x + y) & 1; }),
    };
    for (HGLOBAL picture : pictures) {
        Dib dib(picture);
        for (DWORD option : {0u, 2u, 5u, 6u, 9u}) {
            std::vector<BYTE> png = EncodeDib(dib, CXIMAGE_FORMAT_PNG, option);
            ASSERT_FALSE(png.empty());
            CxImage image;
            ASSERT_TRUE(image.Decode(png.data(), static_cast<DWORD>(png.size()), 0)) << option;
            EXPECT_EQ(static_cast<DWORD>(CXIMAGE_FORMAT_PNG), image.GetType());
            EXPECT_EQ(Header(dib).biBitCount, image.GetBpp());
            Dib decoded(image.CopyToHandle());
            Dib wideIn(MakeDib24(dib)), wideOut(MakeDib24(decoded));
            HGLOBAL a = wideIn.handle ? wideIn.handle : dib.handle;
            HGLOBAL b = wideOut.handle ? wideOut.handle : decoded.handle;
            for (LONG y = 0; y < 7; ++y)
                for (LONG x = 0; x < 13; ++x)
                    ASSERT_EQ(Pixel24(a, x, y), Pixel24(b, x, y)) << option << " " << x << "," << y;
            if (wideIn.handle == dib.handle)
                wideIn.release();
            if (wideOut.handle == decoded.handle)
                wideOut.release();
        }
    }
}

TEST(CxImage, PngAlphaIsLaidOverWhiteAndSixteenBitGreyNarrowed)
{
    // Two RGBA pixels: opaque blue, fully transparent red; made with libpng's simple writer.
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 1;
    image.format = PNG_FORMAT_RGBA;
    const BYTE rgba[8] = {0, 0, 255, 255, 255, 0, 0, 0};
    png_alloc_size_t size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba, 0, nullptr));
    std::vector<BYTE> png(size);
    ASSERT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, rgba, 0, nullptr));
    CxImage decoder;
    ASSERT_TRUE(decoder.Decode(png.data(), static_cast<DWORD>(size), CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(24, decoder.GetBpp());
    Dib dib(decoder.CopyToHandle());
    EXPECT_EQ(RGB(0, 0, 255), Pixel24(dib, 0, 0));
    EXPECT_EQ(RGB(255, 255, 255), Pixel24(dib, 1, 0));

    png_image grey = {};
    grey.version = PNG_IMAGE_VERSION;
    grey.width = 2;
    grey.height = 1;
    grey.format = PNG_FORMAT_LINEAR_Y;
    const png_uint_16 levels[2] = {0, 65535};
    size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&grey, nullptr, &size, 0, levels, 0, nullptr));
    std::vector<BYTE> png16(size);
    ASSERT_TRUE(png_image_write_to_memory(&grey, png16.data(), &size, 0, levels, 0, nullptr));
    CxImage greyDecoder;
    ASSERT_TRUE(greyDecoder.Decode(png16.data(), static_cast<DWORD>(size), 0));
    EXPECT_EQ(8, greyDecoder.GetBpp());
    Dib greyDib(greyDecoder.CopyToHandle());
    Dib wide(MakeDib24(greyDib));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(wide, 0, 0));
    EXPECT_EQ(RGB(255, 255, 255), Pixel24(wide, 1, 0));
}

TEST(CxImage, TiffPageWithEachCompressionReadsBack)
{
    Dib rgb(Make24(21, 9, Gradient));
    Dib palette(MakeIndexed(21, 9, 8, {RGB(10, 20, 30), RGB(40, 50, 60)}, [](LONG x, LONG) { return x % 2; }));
    for (DWORD compression : {0u, 1u, 5u, 32773u, 32946u, 8u}) {
        for (HGLOBAL dib : {rgb.handle, palette.handle}) {
            TiffReader reader;
            reader.data = EncodeDib(dib, CXIMAGE_FORMAT_TIF, compression);
            ASSERT_FALSE(reader.data.empty()) << compression;
            TIFF* tif = reader.Open();
            ASSERT_TRUE(tif);
            uint16_t stored = 0;
            TIFFGetField(tif, TIFFTAG_COMPRESSION, &stored);
            EXPECT_EQ(compression ? compression : 1u, stored);
            Dib wide(MakeDib24(dib));
            HGLOBAL expected = wide.handle ? wide.handle : dib;
            for (uint32_t y = 0; y < 9; y += 4)
                for (uint32_t x = 0; x < 21; x += 5)
                    EXPECT_EQ(Pixel24(expected, x, y), TiffPixel(tif, x, y)) << compression;
            if (wide.handle == dib)
                wide.release();
            TIFFClose(tif);
        }
    }
    EXPECT_TRUE(EncodeDib(rgb, CXIMAGE_FORMAT_TIF, 12345).empty());
}

TEST(CxImage, MultiPageTiffWritesThreePagesIntoOneFile)
{
    ScratchFolder folder;
    std::wstring path = folder.File(L"pages.tif");
    Dib first(Make24(30, 20, Gradient));
    Dib second(MakeIndexed(17, 11, 4, {RGB(0, 0, 0), RGB(255, 255, 0)}, [](LONG x, LONG y) { return (x ^ y) & 1; }));
    Dib third(Make24(8, 40, [](LONG x, LONG y) { return RGB(y * 6, 255 - x * 20, 0); }));
    CxImage pages[3];
    HGLOBAL dibs[3] = {first, second, third};
    const DWORD compressions[3] = {5, 32773, 7};
    CxImage* list[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(pages[i].CreateFromHANDLE(dibs[i]));
        pages[i].SetCodecOption(compressions[i], CXIMAGE_FORMAT_TIF);
        list[i] = &pages[i];
    }
    FILE* file = _wfopen(path.c_str(), L"w+b");
    ASSERT_TRUE(file);
    CxImageTIF writer;
    EXPECT_TRUE(writer.Encode(file, list, 3));
    fclose(file);

    TiffReader reader;
    reader.data = ReadWholeFile(path);
    TIFF* tif = reader.Open();
    ASSERT_TRUE(tif);
    EXPECT_EQ(3, TIFFNumberOfDirectories(tif));
    const uint32_t sizes[3][2] = {{30, 20}, {17, 11}, {8, 40}};
    for (int page = 0; page < 3; ++page) {
        ASSERT_TRUE(TIFFSetDirectory(tif, static_cast<tdir_t>(page)));
        uint32_t w = 0, h = 0;
        uint16_t compression = 0, number = 0, count = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tif, TIFFTAG_PAGENUMBER, &number, &count);
        EXPECT_EQ(sizes[page][0], w);
        EXPECT_EQ(sizes[page][1], h);
        EXPECT_EQ(compressions[page], compression);
        EXPECT_EQ(page, number);
        EXPECT_EQ(3, count);
    }
    TIFFSetDirectory(tif, 1);
    EXPECT_EQ(RGB(255, 255, 0), TiffPixel(tif, 1, 0));
    EXPECT_EQ(RGB(0, 0, 0), TiffPixel(tif, 1, 1));
    TIFFSetDirectory(tif, 2);
    EXPECT_LE(ChannelDistance(RGB(60, 255, 0), TiffPixel(tif, 0, 10)), 12); // JPEG compression
    TIFFClose(tif);
}

TEST(CxImage, SaveWritesTheFileAndRefusesUnknownFormats)
{
    ScratchFolder folder;
    Dib dib(Make24(5, 5, Gradient));
    CxImage image;
    ASSERT_TRUE(image.CreateFromHANDLE(dib));
    std::wstring path = folder.File(L"saved.png");
    ASSERT_TRUE(image.Save(path.c_str(), CXIMAGE_FORMAT_PNG));
    std::vector<BYTE> bytes = ReadWholeFile(path);
    CxImage back;
    ASSERT_TRUE(back.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), 0));
    EXPECT_EQ(5u, back.GetWidth());

    // Format 5 has no encoder.
    std::wstring unknown = folder.File(L"saved.xyz");
    EXPECT_FALSE(image.Save(unknown.c_str(), 5));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(unknown.c_str()));
    EXPECT_FALSE(image.Save(folder.File(L"no\\such\\folder.bmp").c_str(), CXIMAGE_FORMAT_BMP));
}

TEST(CxImage, UndecodableDataLeavesTheImageEmpty)
{
    BYTE garbage[64] = {'G', 'I', 'F', '8', '9', 'a'};
    CxImage image;
    EXPECT_FALSE(image.Decode(garbage, sizeof(garbage), 0)); // a GIF header with no image
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(nullptr, image.CopyToHandle());
    BYTE jpegStart[4] = {0xFF, 0xD8, 0xFF, 0xE0};
    EXPECT_FALSE(image.Decode(jpegStart, sizeof(jpegStart), 0));
    EXPECT_FALSE(image.Decode(nullptr, 10, 0));
    BYTE* data = nullptr;
    long size = 0;
    EXPECT_FALSE(image.Encode(data, size, CXIMAGE_FORMAT_BMP));
    EXPECT_FALSE(image.CreateFromHANDLE(nullptr));
}

namespace {

using exiftest::AddExifEntry;

void AddText(ExifData* exif, ExifIfd ifd, ExifTag tag, const char* text)
{
    ExifEntry* e = AddExifEntry(exif, ifd, tag, EXIF_FORMAT_ASCII, static_cast<unsigned>(std::strlen(text) + 1));
    std::memcpy(e->data, text, std::strlen(text) + 1);
}

// APP1 data ("Exif\0\0" + TIFF structure) with known camera facts.
std::vector<BYTE> MakeExifBlock()
{
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_MOTOROLA);
    AddText(exif, EXIF_IFD_0, EXIF_TAG_MAKE, "VyxCam");
    AddText(exif, EXIF_IFD_0, EXIF_TAG_MODEL, "Model 7");
    AddText(exif, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, "2024:01:02 03:04:05");
    ExifEntry* orientation = AddExifEntry(exif, EXIF_IFD_0, EXIF_TAG_ORIENTATION, EXIF_FORMAT_SHORT, 1);
    exif_set_short(orientation->data, EXIF_BYTE_ORDER_MOTOROLA, 6);
    ExifEntry* iso = AddExifEntry(exif, EXIF_IFD_EXIF, EXIF_TAG_ISO_SPEED_RATINGS, EXIF_FORMAT_SHORT, 1);
    exif_set_short(iso->data, EXIF_BYTE_ORDER_MOTOROLA, 200);
    ExifEntry* fnumber = AddExifEntry(exif, EXIF_IFD_EXIF, EXIF_TAG_FNUMBER, EXIF_FORMAT_RATIONAL, 1);
    exif_set_rational(fnumber->data, EXIF_BYTE_ORDER_MOTOROLA, ExifRational{28, 10});
    ExifEntry* version = AddExifEntry(exif, EXIF_IFD_EXIF, EXIF_TAG_EXIF_VERSION, EXIF_FORMAT_UNDEFINED, 4);
    std::memcpy(version->data, "0230", 4);
    unsigned char* data = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &data, &size);
    std::vector<BYTE> block(data, data + size);
    free(data);
    exif_data_unref(exif);
    return block;
}

// A small JPEG with the block spliced in as APP1 right after the start-of-image marker.
std::vector<BYTE> MakeJpegWithExif(const std::vector<BYTE>& block)
{
    Dib dib(Make24(16, 8, Gradient));
    BYTE* data;
    SIZE_T size;
    JpegEncodeToMemory(GlobalLock(dib), JpegEncodeSettings(), &data, &size);
    GlobalUnlock(dib);
    std::vector<BYTE> jpeg = {0xFF,
                              0xD8,
                              0xFF,
                              0xE1,
                              static_cast<BYTE>((block.size() + 2) >> 8),
                              static_cast<BYTE>((block.size() + 2) & 0xFF)};
    jpeg.insert(jpeg.end(), block.begin(), block.end());
    jpeg.insert(jpeg.end(), data + 2, data + size);
    std::free(data);
    return jpeg;
}

void ExpectKnownFacts(const EXIFINFO& info)
{
    EXPECT_TRUE(info.IsExif);
    EXPECT_STREQ("VyxCam", info.CameraMake);
    EXPECT_STREQ("Model 7", info.CameraModel);
    EXPECT_STREQ("2024:01:02 03:04:05", info.DateTime);
    EXPECT_STREQ("0230", info.Version);
    EXPECT_EQ(6, info.Orientation);
    EXPECT_EQ(200, info.ISOequivalent);
    EXPECT_FLOAT_EQ(2.8f, info.ApertureFNumber);
}

} // namespace

TEST(CxExifInfo, ReadsCameraFactsFromAJpegAnApp1BlockAndABareBlock)
{
    std::vector<BYTE> block = MakeExifBlock();
    ASSERT_GT(block.size(), 6u);
    ASSERT_EQ(0, std::memcmp(block.data(), "Exif\0\0", 6));

    std::vector<BYTE> jpeg = MakeJpegWithExif(block);
    EXIFINFO info;
    CxImageJPG::CxExifInfo reader(&info);
    CxMemFile jpegFile(jpeg.data(), static_cast<DWORD>(jpeg.size()));
    ASSERT_TRUE(reader.DecodeExif(&jpegFile));
    ExpectKnownFacts(info);
    EXPECT_EQ(16, info.Width);
    EXPECT_EQ(8, info.Height);
    EXPECT_EQ(0xC0, info.Process);
    EXPECT_EQ(1, info.IsColor);

    CxMemFile app1(block.data(), static_cast<DWORD>(block.size()));
    ASSERT_TRUE(reader.DecodeExif(&app1));
    ExpectKnownFacts(info);

    std::vector<BYTE> bare(block.begin() + 6, block.end());
    CxMemFile bareFile(bare.data(), static_cast<DWORD>(bare.size()));
    ASSERT_TRUE(reader.DecodeExif(&bareFile));
    ExpectKnownFacts(info);
}

TEST(CxExifInfo, NoExifClearsTheRecordAndFails)
{
    EXIFINFO info;
    std::memset(&info, 0x41, sizeof(info));
    CxImageJPG::CxExifInfo reader(&info);
    BYTE garbage[40] = {1, 2, 3};
    CxMemFile file(garbage, sizeof(garbage));
    EXPECT_FALSE(reader.DecodeExif(&file));
    EXPECT_FALSE(info.IsExif);
    EXPECT_EQ(0, info.CameraMake[0]);
    EXPECT_FALSE(reader.DecodeExif(nullptr));
}
