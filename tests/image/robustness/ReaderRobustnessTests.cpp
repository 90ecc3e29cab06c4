// Hostile input for the BMP, JPEG, PNG and EXIF readers: every short prefix, boundary numbers in
// the header fields, and thousands of deterministic mutations of valid seeds. Every refusal must
// be a clean null or error code; on the guard-page allocator any overrun faults at once.
#include "HostileInput.h"

#include "image/DibFile.h"
#include "image/codecs/JpegExif.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/JpegMetadata.h"
#include "image/cximage/CxImage.h"
#include "image/cximage/CxImageJPG.h"

#include "framework/Framework.h"

#include <libexif/exif-data.h>
#include <zlib.h>

namespace {

COLORREF Pattern(LONG x, LONG y)
{
    return RGB(x * 13, y * 7, (x ^ y) * 5);
}

// The library's own entry, as the picture windows decode: the picture copied out and walked.
void FeedLibrary(const Input& data, DWORD type)
{
    CxImage image;
    image.SetJpegScale(2);
    if (image.Decode(data.empty() ? nullptr : const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()), type))
        ExerciseAndFree(image.CopyToHandle());
    else
        EXPECT_FALSE(image.IsValid());
}

void FeedBmp(const Input& data, int index)
{
    ExerciseAndFree(ReadBmpMemory(data.empty() ? nullptr : data.data(), data.size()));
    Input copy = data;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    ExerciseAndFree(ReadBmp(&file));
    if (index % 16 == 0)
        FeedLibrary(data, 0);
}

void FeedJpeg(const Input& data, int index)
{
    JpegFile codec;
    codec.m_data = data.empty() ? nullptr : data.data();
    codec.m_dataSize = static_cast<DWORD>(data.size());
    codec.m_findStart = TRUE;
    int header = codec.ReadInfo();
    EXPECT_TRUE(header == 0 || header == 1);
    codec.m_scale = 1 << (index % 4);
    int result = codec.Decode();
    EXPECT_TRUE(result == 0 || result == 1 || result == 2);
    EXPECT_EQ(result == 0, codec.m_dib != nullptr);
    ExerciseAndFree(result == 0 ? codec.m_dib : nullptr);
    if (index % 4 == 0)
        FeedLibrary(data, index % 16 == 0 ? 0u : static_cast<DWORD>(CXIMAGE_FORMAT_JPG));
    JpegMetadata kept = JpegMetadata::Find(data.empty() ? nullptr : data.data(), data.size());
    kept.FitToPixels(64, 48, index % 2 == 0);
}

// Every chunk's checksum made right again, so a mutated chunk reaches libpng's parsers instead
// of failing its check.
Input WithPngChecksums(Input png)
{
    for (size_t at = 8; at + 12 <= png.size();) {
        size_t length = static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (length > png.size() - at - 12)
            break;
        DWORD crc = crc32(0, png.data() + at + 4, static_cast<uInt>(length + 4));
        png = PutBig32(png, at + 8 + length, crc);
        at += 12 + length;
    }
    return png;
}

void FeedPng(const Input& data, int index)
{
    DWORD type = index % 16 == 0 ? 0u : static_cast<DWORD>(CXIMAGE_FORMAT_PNG);
    FeedLibrary(index % 2 ? data : WithPngChecksums(data), type);
}

void FeedExif(const Input& data, int index)
{
    EXIFINFO info;
    CxImageJPG::CxExifInfo exif(&info);
    CxMemFile memFile(const_cast<BYTE*>(data.empty() ? nullptr : data.data()), static_cast<DWORD>(data.size()));
    exif.DecodeExif(&memFile);
    // The block as a saved picture keeps it, made true of turned or unturned pixels.
    std::vector<BYTE> block(data.begin(), data.end());
    FitExifToPixels(block, 640, 480, index % 2 == 0);
}

// PNG header chunk with new dimensions and a correct checksum, so libpng reads it.
Input PngWithSize(Input png, DWORD width, DWORD height)
{
    png = PutBig32(png, 16, width);
    png = PutBig32(png, 20, height);
    DWORD crc = crc32(0, png.data() + 12, 17);
    return PutBig32(png, 29, crc);
}

// The JPEG frame header's height and width.
Input JpegWithSize(Input jpeg, WORD width, WORD height)
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
    for (auto feed : {FeedBmp, FeedJpeg, FeedPng, FeedExif}) {
        feed({}, 0);
        for (int n = 1; n < 16; ++n)
            feed(Input(n, 0xFF), n);
        feed({'B', 'M'}, 0);
        feed({0xFF, 0xD8}, 0);
        feed({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, 0);
    }
}

TEST(ReaderRobustness, BmpFiles)
{
    Dib rgb(Make24(9, 7, Pattern));
    Dib palette(MakeIndexed(9, 7, 8, {RGB(1, 2, 3), RGB(4, 5, 6)}, [](LONG x, LONG) { return x & 1; }));
    // Run-length seeds: runs, literals, a delta, ends of line, and runs padded past the row end.
    Input rle8 = {4, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 10, 5, 0, 0, 0, 1};
    Input rle4 = {5, 0x12, 0, 4, 0x34, 0x56, 0, 2, 2, 0, 0, 0, 6, 0x78, 0, 1};
    std::vector<Input> seeds = {
        Encode(rgb, CXIMAGE_FORMAT_BMP),
        Encode(palette, CXIMAGE_FORMAT_BMP),
        MakeBmp(40, 9, 3, 8, BI_RLE8, GreyTable(256), rle8),
        MakeBmp(40, 9, 3, 4, BI_RLE4, GreyTable(16), rle4),
        MakeBmp(12, 9, 3, 1, BI_RGB, GreyTable(2, 3), Input(12, 0x5A)),
        MakeBmp(124, 5, -3, 16, BI_BITFIELDS, {}, Input(36, 0x33)),
        MakeBmp(108, 3, 3, 32, BI_RGB, {}, Input(36, 0x77)),
    };
    ASSERT_FALSE(seeds[0].empty());
    const int inputs = hostile::InputsPerReader();
    int fed = 0;
    // Header size, width, height, bit count, compression, image size, colours used, pixel offset.
    for (const Input& seed : {seeds[0], seeds[1], seeds[2]})
        for (size_t at : {14u, 18u, 22u, 28u, 30u, 34u, 46u, 10u})
            for (DWORD value : {0u, 1u, 2u, 3u, 4u, 7u, 12u, 33u, 0xFFFFu, 0x10000u, 46341u, 0x7FFFFFFFu, 0x80000000u,
                                0xFFFFFFF9u, 0xFFFFFFFFu})
                if (fed < inputs)
                    FeedBmp(Put32(seed, at, value), fed++);
    fed += hostile::FeedHostileFields(seeds, 1, inputs - fed, FeedBmp, BmpFields);
    hostile::Report("BMP", fed);
}

TEST(ReaderRobustness, JpegStreams)
{
    Dib rgb(Make24(40, 24, Pattern));
    std::vector<Input> seeds = {Encode(rgb, CXIMAGE_FORMAT_JPG),
                                Encode(rgb, CXIMAGE_FORMAT_JPG, CxImage::kJpegProgressive),
                                Encode(rgb, CXIMAGE_FORMAT_JPG, CxImage::kJpegGreyscale)};
    ASSERT_FALSE(seeds[0].empty());
    int fed = 0;
    for (WORD size : {0, 1, 0xFFFF, 0x8000, 46341}) {
        FeedJpeg(JpegWithSize(seeds[0], size, 24), fed++);
        FeedJpeg(JpegWithSize(seeds[1], 40, size), fed++);
        FeedJpeg(JpegWithSize(seeds[1], size, size), fed++);
    }
    fed += hostile::FeedHostileFields(seeds, 3, hostile::InputsPerReader() - fed, FeedJpeg, JpegFields);
    hostile::Report("JPEG", fed);
}

TEST(ReaderRobustness, PngStreams)
{
    Dib rgb(Make24(17, 9, Pattern));
    Dib palette(MakeIndexed(17, 9, 4, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, [](LONG x, LONG) { return x % 3; }));
    std::vector<Input> seeds = {Encode(rgb, CXIMAGE_FORMAT_PNG), Encode(palette, CXIMAGE_FORMAT_PNG, 9)};
    ASSERT_FALSE(seeds[0].empty());
    // Seeds with the chunks libpng reads into blocks of their own, before and after the pixels.
    const std::vector<Input> chunks = PngBlockChunks();
    for (size_t i = 0; i < chunks.size(); ++i)
        seeds.push_back(PngWithChunk(seeds[i % 2], chunks[i], i % 3 == 2));
    int fed = 0;
    for (DWORD size : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 1000000u, 65536u, 46341u}) {
        FeedPng(PngWithSize(seeds[0], size, 9), fed++);
        FeedPng(PngWithSize(seeds[1], 17, size), fed++);
        FeedPng(PngWithSize(seeds[0], size, size), fed++);
    }
    fed += hostile::FeedHostileFields(seeds, 6, hostile::InputsPerReader() - fed, FeedPng, PngFields);
    hostile::Report("PNG", fed);
}

TEST(ReaderRobustness, PngChunkLengthsPastTheFile)
{
    Dib rgb(Make24(17, 9, Pattern));
    const Input plain = Encode(rgb, CXIMAGE_FORMAT_PNG);
    ASSERT_FALSE(plain.empty());
    std::vector<Input> shapes = PngChunkLengthShapes(plain);
    for (const Input& chunk : PngBlockChunks())
        for (bool last : {false, true}) {
            const std::vector<Input> more = PngChunkLengthShapes(PngWithChunk(plain, chunk, last));
            shapes.insert(shapes.end(), more.begin(), more.end());
        }
    const int inputs = std::min(hostile::Inputs(static_cast<int>(shapes.size()), 40), static_cast<int>(shapes.size()));
    for (int i = 0; i < inputs; ++i) {
        const Input& data = shapes[i * shapes.size() / inputs];
        hostile::Bounded("chunk length", i, data.data(), data.size(), [&] { FeedPng(data, i); });
    }
    hostile::Report("PNG chunk lengths", inputs);
}

// Progressive streams with one scan repeated to fill 64 KB, with their other scans and without:
// every kind of scan of small pictures; the last (a refinement of every block) of a large flat one,
// each of whose scans walks 64 K blocks.
TEST(ReaderRobustness, JpegScanCounts)
{
    struct Picture
    {
        LONG side;
        DWORD option;
        bool lastScanOnly;
    };
    std::vector<Picture> pictures = {{24, CxImage::kJpegProgressive, false},
                                     {8, CxImage::kJpegProgressive | CxImage::kJpegGreyscale, false}};
    // Large pictures take seconds under the heap checking: the guarded run has them.
    if (!hostile::HeapCheckedShare()) {
        pictures.push_back({1024, CxImage::kJpegProgressive, false});
        pictures.push_back({2048, CxImage::kJpegProgressive | CxImage::kJpegGreyscale, true});
    }
    int fed = 0;
    for (const Picture& p : pictures) {
        Dib picture(Make24(p.side, p.side, p.side > 100 ? [](LONG, LONG) { return RGB(90, 120, 150); } : Pattern));
        ASSERT_NE(nullptr, static_cast<HGLOBAL>(picture)) << p.side;
        const Input jpeg = Encode(picture, CXIMAGE_FORMAT_JPG, p.option);
        const size_t scans = JpegScans(jpeg).size();
        ASSERT_GE(scans, 5u) << p.side;
        for (size_t scan = p.lastScanOnly ? scans - 1 : 0; scan < scans; ++scan)
            for (bool alone : {false, true}) {
                const Input data = JpegWithRepeatedScan(jpeg, scan, 6000, hostile::kSmallInput - 1, alone);
                const int index = fed++;
                hostile::Bounded("scan count", index, data.data(), data.size(), [&] { FeedJpeg(data, index); });
            }
    }
    hostile::Report("JPEG scan counts", fed);
}

TEST(ReaderRobustness, ExifBlocks)
{
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* resolution = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], resolution);
    exif_entry_initialize(resolution, EXIF_TAG_X_RESOLUTION);
    exif_entry_unref(resolution);
    ExifEntry* date = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_EXIF], date);
    exif_entry_initialize(date, EXIF_TAG_DATE_TIME_ORIGINAL);
    exif_entry_unref(date);
    unsigned char* raw = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &raw, &size);
    exif_data_unref(exif);
    Input block(raw, raw + size);
    free(raw);
    ASSERT_GT(block.size(), 20u);
    std::vector<Input> seeds = {block, Input(block.begin() + 6, block.end())};
    int fed = hostile::FeedHostile(seeds, 8, hostile::InputsPerReader(), FeedExif);
    hostile::Report("EXIF", fed);
}
