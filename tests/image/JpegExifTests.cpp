// The Exif block kept when a JPEG is written anew: found in a file's markers, made true of the new
// pixels (size, orientation wherever it is stated, thumbnail with its bytes, parts that cannot be
// followed), and written in place of the JFIF header.
#include "../../bench/CameraJpeg.h"
#include "ExifTestUtil.h"
#include "common/MetadataJpeg.h"
#include "common/ScratchFolder.h"
#include "image/DibCore.h"
#include "image/codecs/JpegExif.h"
#include "image/codecs/JpegMemory.h"
#include "image/codecs/JpegMetadata.h"
#include "image/codecs/SaveDib.h"

#include <gtest/gtest.h>
#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr auto Add = exiftest::AddExifEntry;
using metajpeg::Orientation;

// A camera's block in either byte order: model, orientation 6, the pixel size as SHORT or LONG
// values, and a thumbnail.
std::vector<BYTE> CameraBlock(ExifByteOrder order, bool longSizes)
{
    ExifData* exif = exif_data_new();
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_byte_order(exif, order);
    const char model[] = "Model 7";
    std::memcpy(Add(exif, EXIF_IFD_0, EXIF_TAG_MODEL, EXIF_FORMAT_ASCII, sizeof(model))->data, model, sizeof(model));
    exif_set_short(Add(exif, EXIF_IFD_0, EXIF_TAG_ORIENTATION, EXIF_FORMAT_SHORT, 1)->data, order, 6);
    const ExifFormat sizeFormat = longSizes ? EXIF_FORMAT_LONG : EXIF_FORMAT_SHORT;
    ExifEntry* x = Add(exif, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION, sizeFormat, 1);
    ExifEntry* y = Add(exif, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION, sizeFormat, 1);
    if (longSizes) {
        exif_set_long(x->data, order, 2048);
        exif_set_long(y->data, order, 1536);
    } else {
        exif_set_short(x->data, order, 2048);
        exif_set_short(y->data, order, 1536);
    }
    // The thumbnail's own directory (IFD 1) with its JPEG.
    exif_set_short(Add(exif, EXIF_IFD_1, EXIF_TAG_COMPRESSION, EXIF_FORMAT_SHORT, 1)->data, order, 6);
    static const BYTE thumbnail[] = {0xFF, 0xD8, 0xFF, 0xD9};
    exif->data = static_cast<unsigned char*>(malloc(sizeof(thumbnail)));
    std::memcpy(exif->data, thumbnail, sizeof(thumbnail));
    exif->size = sizeof(thumbnail);
    unsigned char* data = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &data, &size);
    std::vector<BYTE> block(data, data + size);
    free(data);
    exif_data_unref(exif);
    return block;
}

struct Read
{
    int orientation = -1;
    long width = -1, height = -1;
    std::string model;
    bool thumbnail = false;
    bool exifDirectory = false;
};

Read ReadBack(const std::vector<BYTE>& block)
{
    Read read;
    ExifData* exif = exif_data_new_from_data(block.data(), static_cast<unsigned int>(block.size()));
    if (!exif)
        return read;
    const ExifByteOrder order = exif_data_get_byte_order(exif);
    auto number = [&](ExifIfd ifd, ExifTag tag) -> long {
        ExifEntry* e = exif_content_get_entry(exif->ifd[ifd], tag);
        if (!e)
            return -1;
        return e->format == EXIF_FORMAT_LONG ? static_cast<long>(exif_get_long(e->data, order))
                                             : exif_get_short(e->data, order);
    };
    read.orientation = static_cast<int>(number(EXIF_IFD_0, EXIF_TAG_ORIENTATION));
    read.width = number(EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION);
    read.height = number(EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION);
    if (ExifEntry* e = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_MODEL))
        read.model.assign(reinterpret_cast<const char*>(e->data));
    read.thumbnail = exif->data != nullptr && exif->size > 0;
    read.exifDirectory = exif->ifd[EXIF_IFD_EXIF]->count > 0;
    exif_data_unref(exif);
    return read;
}

std::vector<BYTE> WithApp1(const std::vector<BYTE>& block)
{
    return MakeJpeg(
        32, 24, [](BYTE* p, LONG x, LONG y) { p[0] = p[1] = p[2] = static_cast<BYTE>(x * 4 + y * 2); }, 90, block);
}

// The payload of the first Exif segment the markers hold; empty when none.
std::vector<BYTE> ExifIn(const std::vector<BYTE>& jpeg, size_t size = SIZE_MAX)
{
    const JpegMetadata found = JpegMetadata::Find(jpeg.data(), std::min(size, jpeg.size()));
    for (const JpegMarkerSegment& segment : found.Segments())
        if (JpegMetadata::IsExif(segment))
            return segment.payload;
    return {};
}

bool Holds(const std::vector<BYTE>& block, const std::vector<BYTE>& part)
{
    return std::search(block.begin(), block.end(), part.begin(), part.end()) != block.end();
}

std::string Text(const std::vector<BYTE>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(JpegExif, TheBlockIsFoundAmongTheMarkersAndNowhereElse)
{
    const std::vector<BYTE> block = CameraBlock(EXIF_BYTE_ORDER_INTEL, true);
    EXPECT_EQ(block, ExifIn(WithApp1(block)));
    // A camera's file, where the block comes after nothing.
    const std::vector<BYTE> found = ExifIn(MakeCameraJpeg(64, 48, 3));
    ASSERT_GT(found.size(), 6u);
    EXPECT_EQ(0, std::memcmp(found.data(), "Exif\0\0", 6));
    // None: a plain JPEG, a file cut inside the block, a file that is no JPEG, nothing at all.
    EXPECT_TRUE(ExifIn(MakeJpeg(16, 16, [](BYTE* p, LONG, LONG) { p[0] = p[1] = p[2] = 9; })).empty());
    const std::vector<BYTE> whole = WithApp1(block);
    EXPECT_TRUE(ExifIn(whole, 40).empty());
    const std::vector<BYTE> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_TRUE(ExifIn(png).empty());
    EXPECT_TRUE(JpegMetadata::Find(nullptr, 0).IsEmpty());
    // An APP1 of another kind (XMP) before it, behind fill bytes, is passed over.
    std::vector<BYTE> xmp = {0xFF, 0xD8, 0xFF, 0xFF, 0xE1, 0x00, 0x0A, 'h', 't', 't', 'p', ':', '/', '/', '/'};
    xmp.insert(xmp.end(), whole.begin() + 2, whole.end());
    EXPECT_EQ(block, ExifIn(xmp));
}

TEST(JpegExif, TurnedPixelsGetOrientationOneTheirSizeAndNoStaleThumbnail)
{
    for (ExifByteOrder order : {EXIF_BYTE_ORDER_INTEL, EXIF_BYTE_ORDER_MOTOROLA}) {
        for (bool longSizes : {false, true}) {
            SCOPED_TRACE(testing::Message() << "order " << order << " long " << longSizes);
            std::vector<BYTE> turned = CameraBlock(order, longSizes);
            ASSERT_TRUE(FitExifToPixels(turned, 1536, 2048, true));
            Read read = ReadBack(turned);
            EXPECT_EQ(1, read.orientation);
            EXPECT_EQ(1536, read.width);
            EXPECT_EQ(2048, read.height);
            EXPECT_EQ("Model 7", read.model);
            EXPECT_FALSE(read.thumbnail);

            // Unturned pixels keep the camera's orientation and thumbnail; only the size follows.
            std::vector<BYTE> kept = CameraBlock(order, longSizes);
            ASSERT_TRUE(FitExifToPixels(kept, 2048, 1536, false));
            read = ReadBack(kept);
            EXPECT_EQ(6, read.orientation);
            EXPECT_EQ(2048, read.width);
            EXPECT_TRUE(read.thumbnail);
            EXPECT_EQ(CameraBlock(order, longSizes), kept);
        }
    }
}

TEST(JpegExif, EveryOrientationOfTurnedPixelsBecomesOneWhateverItsTypeCountOrDirectory)
{
    for (Orientation how : metajpeg::kEveryOrientation) {
        SCOPED_TRACE(static_cast<int>(how));
        const std::vector<BYTE> camera = metajpeg::ExifBlock(64, 48, how, metajpeg::Thumbnail());
        ASSERT_FALSE(metajpeg::ExifOrientations(Text(camera)).empty());
        std::vector<BYTE> turned = camera;
        ASSERT_TRUE(FitExifToPixels(turned, 48, 64, true));
        for (long value : metajpeg::ExifOrientations(Text(turned)))
            EXPECT_EQ(1, value);
        EXPECT_EQ(metajpeg::ExifOrientations(Text(camera)).size(), metajpeg::ExifOrientations(Text(turned)).size());
        EXPECT_EQ("VX-200", ReadBack(turned).model);
        EXPECT_EQ(48, ReadBack(turned).width);
        // Unturned, the camera's orientation stands as written.
        std::vector<BYTE> kept = camera;
        ASSERT_TRUE(FitExifToPixels(kept, 64, 48, false));
        EXPECT_EQ(camera, kept);
    }
}

TEST(JpegExif, TheThumbnailOfTurnedPixelsLeavesWithItsBytes)
{
    const std::vector<BYTE> thumbnail = metajpeg::Thumbnail();
    // At the block's end it is cut off.
    std::vector<BYTE> block = metajpeg::ExifBlock(64, 48, Orientation::Short, thumbnail);
    const size_t before = block.size();
    ASSERT_TRUE(FitExifToPixels(block, 48, 64, true));
    EXPECT_LE(block.size() + thumbnail.size(), before);
    EXPECT_FALSE(Holds(block, thumbnail));
    EXPECT_FALSE(ReadBack(block).thumbnail);
    EXPECT_TRUE(ReadBack(block).exifDirectory);
    // With bytes after it that nothing names, it is cleared where it stands and they stay.
    std::vector<BYTE> padded = metajpeg::ExifBlock(64, 48, Orientation::Short, thumbnail, "TRAILING");
    const size_t paddedSize = padded.size();
    ASSERT_TRUE(FitExifToPixels(padded, 48, 64, true));
    EXPECT_EQ(paddedSize, padded.size());
    EXPECT_FALSE(Holds(padded, thumbnail));
    EXPECT_TRUE(Holds(padded, {'T', 'R', 'A', 'I', 'L', 'I', 'N', 'G'}));
    EXPECT_FALSE(ReadBack(padded).thumbnail);
}

TEST(JpegExif, APartThatCannotBeFollowedIsLeftOutOfTurnedPixelsAndKeptOfOthers)
{
    // The Exif directory's pointer leads past the block; the orientation in the first directory
    // can still be made true.
    std::vector<BYTE> lost = metajpeg::ExifBlock(64, 48, Orientation::Short, metajpeg::Thumbnail());
    const BYTE pointer[] = {0x69, 0x87, 4, 0, 1, 0, 0, 0};
    auto at = std::search(lost.begin(), lost.end(), std::begin(pointer), std::end(pointer));
    ASSERT_NE(lost.end(), at);
    at[8] = at[9] = at[10] = 0x7F;
    std::vector<BYTE> turned = lost;
    ASSERT_TRUE(FitExifToPixels(turned, 48, 64, true));
    EXPECT_EQ(std::vector<long>{1}, metajpeg::ExifOrientations(Text(turned)));
    EXPECT_EQ("VX-200", ReadBack(turned).model);
    EXPECT_EQ(turned.end(), std::search(turned.begin(), turned.end(), std::begin(pointer), std::end(pointer)));
    std::vector<BYTE> unturned = lost;
    ASSERT_TRUE(FitExifToPixels(unturned, 64, 48, false));
    EXPECT_EQ(lost, unturned);

    // An orientation whose values lie outside the block is taken out of turned pixels' block.
    std::vector<BYTE> outside = metajpeg::ExifBlock(64, 48, Orientation::Short, metajpeg::Thumbnail());
    const BYTE entry[] = {0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0};
    at = std::search(outside.begin(), outside.end(), std::begin(entry), std::end(entry));
    ASSERT_NE(outside.end(), at);
    at[4] = 9;            // nine values: 18 bytes, stored elsewhere...
    at[8] = at[9] = 0x7F; // ...past the end
    ASSERT_TRUE(FitExifToPixels(outside, 48, 64, true));
    EXPECT_TRUE(metajpeg::ExifOrientations(Text(outside)).empty());
    EXPECT_EQ("VX-200", ReadBack(outside).model);
    EXPECT_EQ(48, ReadBack(outside).width);
}

TEST(JpegExif, ABlockWhoseStructureCannotBeFollowedIsLeftAsItWas)
{
    const std::vector<BYTE> good = CameraBlock(EXIF_BYTE_ORDER_INTEL, true);
    std::vector<std::vector<BYTE>> bad = {
        {'E', 'x', 'i', 'f', 0, 0},
        {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F},
        std::vector<BYTE>(good.begin(), good.begin() + 20),
        {'J', 'F', 'I', 'F', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0},
    };
    // A directory that claims more entries than the block holds.
    std::vector<BYTE> counted = good;
    counted[6 + 8] = 0xFF;
    counted[6 + 9] = 0x7F;
    bad.push_back(counted);
    for (std::vector<BYTE>& block : bad) {
        const std::vector<BYTE> before = block;
        EXPECT_FALSE(FitExifToPixels(block, 10, 10, true));
        EXPECT_EQ(before, block);
    }
}

TEST(JpegExif, AJpegWrittenWithTheBlockStartsWithItAndDecodes)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"saved.jpg";
    const std::vector<BYTE> block = CameraBlock(EXIF_BYTE_ORDER_MOTOROLA, false);
    JpegMetadata kept = JpegMetadata::Find(WithApp1(block).data(), WithApp1(block).size());
    kept.FitToPixels(48, 40, true);
    ASSERT_EQ(1u, kept.Segments().size());
    const std::vector<BYTE> fitted = kept.Segments()[0].payload;
    GlobalBlock dib(CreateDib(48, 40, 24));
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib.get(), 90, 0, 0, &kept));
    const std::string bytes = ScratchFolder::ReadFile(path);
    ASSERT_GT(bytes.size(), 4 + fitted.size());
    // Start of image, then the Exif segment: no JFIF header before it.
    EXPECT_EQ(std::string("\xFF\xD8\xFF\xE1", 4), bytes.substr(0, 4));
    const std::vector<BYTE> data(bytes.begin(), bytes.end());
    EXPECT_EQ(fitted, ExifIn(data));
    HGLOBAL decoded = nullptr;
    ASSERT_EQ(0, JpegDecodeDib(data.data(), data.size(), 1, &decoded));
    EXPECT_EQ(48, GetDibWidth(decoded));
    EXPECT_EQ(40, GetDibHeight(decoded));
    GlobalFree(decoded);
    // An 8-bit picture is written as 24 bits with the block all the same.
    GlobalBlock grey(CreateDib(8, 8, 8));
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), grey.get(), 90, 1, 0, &kept));
    const std::string again = ScratchFolder::ReadFile(path);
    EXPECT_EQ(fitted, ExifIn(std::vector<BYTE>(again.begin(), again.end())));
}
