// What a JPEG written anew over its own file keeps: every Exif, XMP, colour profile, IPTC and
// comment segment in its order, the orientation upright wherever it is stated once the pixels
// were turned, on made files and on real cameras' files.
#include "common/MetadataJpeg.h"
#include "common/ScratchFolder.h"
#include "image/DibCore.h"
#include "image/codecs/JpegMemory.h"
#include "image/codecs/JpegMetadata.h"
#include "image/codecs/SaveDib.h"
#include "image/cximage/CxImageJPG.h"
#include "image/cximage/CxMemFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using Segments = std::vector<std::pair<BYTE, std::string>>;

std::string Text(const std::vector<BYTE>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Segments Listed(const JpegMetadata& metadata)
{
    Segments listed;
    for (const JpegMarkerSegment& segment : metadata.Segments())
        listed.emplace_back(segment.marker, Text(segment.payload));
    return listed;
}

JpegMetadata FindIn(const std::vector<BYTE>& jpeg)
{
    return JpegMetadata::Find(jpeg.data(), jpeg.size());
}

// A real camera's sample from the test data.
std::string Sample(const char* name)
{
    std::string path = std::string(VYX_IMAGE_TEST_DATA) + "/camera/" + name;
    if (path[0] == '/')
        path = "Z:" + path; // the checkout as Wine sees it
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

EXIFINFO CameraFacts(const std::string& file)
{
    EXIFINFO info = {};
    std::vector<BYTE> bytes(file.begin(), file.end());
    CxMemFile memory(bytes.data(), static_cast<DWORD>(bytes.size()));
    CxImageJPG::CxExifInfo(&info).DecodeExif(&memory);
    return info;
}

std::string XmpOf(const JpegMetadata& metadata)
{
    for (const JpegMarkerSegment& segment : metadata.Segments())
        if (segment.marker == 0xE1 && Text(segment.payload).rfind("http://ns.adobe.com/xap/1.0/", 0) == 0)
            return Text(segment.payload);
    return {};
}

} // namespace

TEST(JpegMetadata, EveryKeptKindIsFoundInItsOrderAndNoOther)
{
    const std::vector<BYTE> jpeg = metajpeg::MetadataJpeg(64, 48);
    const Segments listed = Listed(FindIn(jpeg));
    ASSERT_EQ(5u, listed.size());
    EXPECT_EQ(0xE1, listed[0].first);
    EXPECT_EQ(0u, listed[0].second.rfind(std::string("Exif\0\0", 6), 0));
    EXPECT_EQ(metajpeg::KeptSegments(), Segments(listed.begin() + 1, listed.end()));
    // Unturned pixels of the same size keep every segment byte for byte.
    JpegMetadata same = FindIn(jpeg);
    same.FitToPixels(64, 48, false);
    EXPECT_EQ(listed, Listed(same));
}

TEST(JpegMetadata, TurnedPixelsStandUprightInXmpAsAttributeAndAsElement)
{
    for (bool element : {false, true}) {
        std::vector<BYTE> xmp;
        const std::string packet = metajpeg::Xmp(element);
        xmp.assign(packet.begin(), packet.end());
        ASSERT_TRUE(OrientXmpUpright(xmp));
        const std::string upright = Text(xmp);
        EXPECT_EQ(std::string::npos, upright.find('6')) << upright;
        EXPECT_NE(std::string::npos,
                  upright.find(element ? "<tiff:Orientation>1</tiff:Orientation>" : "tiff:Orientation=\"1\""))
            << upright;
        EXPECT_NE(std::string::npos, upright.find("Rating")) << upright;
        // Through the file's metadata.
        JpegMetadata kept = FindIn(metajpeg::MetadataJpeg(64, 48, metajpeg::Orientation::Short, packet));
        kept.FitToPixels(48, 64, true);
        EXPECT_EQ(upright, XmpOf(kept));
    }
    // A namespace bound as the default, or an orientation in a form not followed, cannot be made
    // upright: the packet is left as it was, and out of a turned picture's file.
    for (std::string bad : {std::string("<rdf:Description xmlns='http://ns.adobe.com/tiff/1.0/'><Orientation>6"
                                        "</Orientation></rdf:Description>"),
                            std::string("<rdf:Description xmlns:tiff='http://ns.adobe.com/tiff/1.0/'>"
                                        "<tiff:Orientation rdf:parseType='Resource'/></rdf:Description>")}) {
        const std::string packet = std::string("http://ns.adobe.com/xap/1.0/", 29) + bad;
        std::vector<BYTE> xmp(packet.begin(), packet.end());
        EXPECT_FALSE(OrientXmpUpright(xmp));
        EXPECT_EQ(packet, Text(xmp));
        JpegMetadata turned = FindIn(metajpeg::MetadataJpeg(64, 48, metajpeg::Orientation::Short, packet));
        turned.FitToPixels(48, 64, true);
        EXPECT_EQ("", XmpOf(turned));
        JpegMetadata unturned = FindIn(metajpeg::MetadataJpeg(64, 48, metajpeg::Orientation::Short, packet));
        unturned.FitToPixels(64, 48, false);
        EXPECT_EQ(packet, XmpOf(unturned));
    }
}

TEST(JpegMetadata, AnExifSegmentThatCannotBeReadIsLeftOutOfTurnedPixelsOnly)
{
    // A broken Exif segment before the camera's own.
    std::vector<BYTE> jpeg = metajpeg::MetadataJpeg(64, 48);
    const std::string broken = metajpeg::Segment(0xE1, std::string("Exif\0\0MM\0*\0\0\xFF\xFF", 14));
    jpeg.insert(jpeg.begin() + 2, broken.begin(), broken.end());
    JpegMetadata turned = FindIn(jpeg);
    ASSERT_EQ(6u, turned.Segments().size());
    turned.FitToPixels(48, 64, true);
    ASSERT_EQ(5u, turned.Segments().size());
    EXPECT_EQ(std::vector<long>{1}, metajpeg::ExifOrientations(Text(turned.Segments()[0].payload)));
    JpegMetadata unturned = FindIn(jpeg);
    unturned.FitToPixels(64, 48, false);
    EXPECT_EQ(Listed(FindIn(jpeg)), Listed(unturned));
}

TEST(JpegMetadata, APictureWrittenWithItCarriesEverySegmentTheExifFirst)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"kept.jpg";
    JpegMetadata kept = FindIn(metajpeg::MetadataJpeg(64, 48));
    kept.FitToPixels(48, 64, true);
    GlobalBlock dib(CreateDib(48, 64, 24));
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib.get(), 90, 0, 0, &kept));
    const std::string written = ScratchFolder::ReadFile(path);
    EXPECT_EQ(std::string("\xFF\xD8\xFF\xE1", 4), written.substr(0, 4));
    EXPECT_EQ(Listed(kept), metajpeg::MetadataSegments(written));
    HGLOBAL decoded = nullptr;
    ASSERT_EQ(0, JpegDecodeDib(reinterpret_cast<const BYTE*>(written.data()), written.size(), 1, &decoded));
    EXPECT_EQ(64, GetDibHeight(decoded));
    GlobalFree(decoded);
    // Written grey, the colour profile made for colour is left out; a grey one is kept.
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib.get(), 90, 0, 1, &kept));
    Segments grey = Listed(kept);
    grey.erase(grey.begin() + 2);
    EXPECT_EQ(grey, metajpeg::MetadataSegments(ScratchFolder::ReadFile(path)));
    std::vector<BYTE> greyProfile = metajpeg::MetadataJpeg(64, 48);
    const std::string rgbText = metajpeg::Icc("RGB "), grayText = metajpeg::Icc("GRAY");
    const std::vector<BYTE> rgb(rgbText.begin(), rgbText.end()), gray(grayText.begin(), grayText.end());
    auto at = std::search(greyProfile.begin(), greyProfile.end(), rgb.begin(), rgb.end());
    ASSERT_NE(greyProfile.end(), at);
    std::copy(gray.begin(), gray.end(), at);
    const JpegMetadata greyKept = FindIn(greyProfile);
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib.get(), 90, 0, 1, &greyKept));
    EXPECT_EQ(Listed(greyKept), metajpeg::MetadataSegments(ScratchFolder::ReadFile(path)));
}

TEST(JpegMetadata, RealCamerasFilesKeepTheirSegmentsAndStandUprightOnceTurned)
{
    ScratchFolder folder;
    const std::wstring path = folder / L"camera.jpg";
    for (const char* name : {"Canon.jpg", "Pentax.jpg", "MWG.jpg"}) {
        SCOPED_TRACE(name);
        const std::string source = Sample(name);
        ASSERT_FALSE(source.empty());
        const EXIFINFO before = CameraFacts(source);
        ASSERT_TRUE(before.IsExif);
        Segments kinds;
        for (const auto& segment : metajpeg::MetadataSegments(source))
            if (segment.first != 0xE0)
                kinds.push_back(segment);
        for (bool turned : {false, true}) {
            const std::vector<BYTE> bytes(source.begin(), source.end());
            JpegMetadata kept = FindIn(bytes);
            kept.FitToPixels(8, 8, turned);
            GlobalBlock dib(CreateDib(8, 8, 24));
            ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib.get(), 90, 0, 0, &kept));
            const std::string written = ScratchFolder::ReadFile(path);
            const Segments after = metajpeg::MetadataSegments(written);
            ASSERT_EQ(kinds.size(), after.size());
            for (size_t i = 0; i < kinds.size(); ++i)
                EXPECT_EQ(kinds[i].first, after[i].first);
            // Unturned, all but the Exif pixel size stays as the camera wrote it.
            for (size_t i = 0; i < kinds.size() && !turned; ++i) {
                if (kinds[i].second.rfind(std::string("Exif\0", 5), 0) != 0) {
                    EXPECT_EQ(kinds[i], after[i]);
                }
            }
            const EXIFINFO facts = CameraFacts(written);
            EXPECT_STREQ(before.CameraMake, facts.CameraMake);
            EXPECT_STREQ(before.CameraModel, facts.CameraModel);
            EXPECT_STREQ(before.DateTime, facts.DateTime);
            EXPECT_EQ(turned ? 1 : before.Orientation, facts.Orientation);
            for (long value : metajpeg::ExifOrientations(written))
                EXPECT_EQ(turned ? 1 : before.Orientation, value);
        }
    }
}
