// Camera JPEGs carrying every kind of metadata a picture written over its own file keeps, made for
// the tests: Exif (its orientation in each encoding cameras and tools write, a thumbnail at the
// block's end), XMP with tiff:Orientation, a colour profile, IPTC and a comment, beside segments
// that are not kept (a multi-picture index, Adobe's colour transform, another application's).
#pragma once

#include "../../bench/CameraJpeg.h"
#include "image/codecs/JpegSegments.h"

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace metajpeg {

using camera_jpeg_detail::TiffField;

// Where and how the Exif block states the orientation 6.
enum class Orientation { Short, Byte, Long, SShort, TwoShorts, InExifDirectory };
const Orientation kEveryOrientation[] = {Orientation::Short,  Orientation::Byte,      Orientation::Long,
                                         Orientation::SShort, Orientation::TwoShorts, Orientation::InExifDirectory};

const char kShotDate[] = "2024:05:06 07:08:09";

inline TiffField OrientationField(Orientation how)
{
    switch (how) {
    case Orientation::Byte:
        return {0x0112, 1, 1, {6, 0, 0, 0}};
    case Orientation::Long:
        return {0x0112, 4, 1, {6, 0, 0, 0}};
    case Orientation::SShort:
        return {0x0112, 8, 1, {6, 0, 0, 0}};
    case Orientation::TwoShorts:
        return {0x0112, 3, 2, {6, 0, 6, 0}};
    default:
        return {0x0112, 3, 1, {6, 0, 0, 0}};
    }
}

// "Exif\0\0", the camera's directory (make, model, orientation, date), the Exif directory (shot
// date, pixel size) and the thumbnail's, with the thumbnail's JPEG ending the block; trailing
// bytes, when given, come after it.
inline std::vector<BYTE> ExifBlock(LONG width, LONG height, Orientation how, const std::vector<BYTE>& thumbnail,
                                   const std::string& trailing = {})
{
    using namespace camera_jpeg_detail;
    std::vector<TiffField> camera = {Text(0x010F, "VYXCAM"), Text(0x0110, "VX-200"), Text(0x0132, kShotDate),
                                     Long(0x8769, 0)};
    std::vector<TiffField> exposure = {Text(0x9003, kShotDate), Long(0xA002, static_cast<DWORD>(width)),
                                       Long(0xA003, static_cast<DWORD>(height))};
    if (how == Orientation::InExifDirectory)
        exposure.insert(exposure.begin(), OrientationField(Orientation::Short));
    else
        camera.insert(camera.begin() + 2, OrientationField(how));
    return LayOutExifBlock(camera, exposure, thumbnail, trailing);
}

inline std::vector<BYTE> Thumbnail()
{
    return MakeJpeg(32, 24, [](BYTE* p, LONG x, LONG y) { p[0] = p[1] = p[2] = static_cast<BYTE>(x * 7 + y); });
}

// A segment's bytes: marker, length, payload.
inline std::string Segment(BYTE marker, const std::string& payload)
{
    const size_t length = payload.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length)} +
           payload;
}

// An XMP packet with a rating and tiff:Orientation 6, as an attribute or as an element.
inline std::string Xmp(bool element)
{
    const std::string about = "<rdf:Description rdf:about='' xmlns:tiff='http://ns.adobe.com/tiff/1.0/' "
                              "xmlns:xmp='http://ns.adobe.com/xap/1.0/'";
    const std::string properties = element ? about + "><tiff:Orientation>6</tiff:Orientation><xmp:Rating>4</xmp:Rating>"
                                                     "</rdf:Description>"
                                           : about + " tiff:Orientation=\"6\" xmp:Rating=\"4\"/>";
    return std::string("http://ns.adobe.com/xap/1.0/", 29) +
           "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta xmlns:x='adobe:ns:meta/'>"
           "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>" +
           properties + "</rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
}

// A colour profile of the colour space ("RGB " or "GRAY") in one chunk: its 128-byte header and
// an empty tag table.
inline std::string Icc(const char* space)
{
    std::string profile(132, '\0');
    profile[3] = static_cast<char>(132);
    profile.replace(12, 4, "mntr");
    profile.replace(16, 4, space);
    profile.replace(20, 4, "XYZ ");
    profile.replace(36, 4, "acsp");
    return std::string("ICC_PROFILE\0\x01\x01", 14) + profile;
}

// Photoshop's resource block holding IPTC: the record version and the keyword "Kyoto".
inline std::string Iptc()
{
    const std::string iptc("\x1C\x02\x00\x00\x02\x00\x04\x1C\x02\x19\x00\x05Kyoto", 17);
    std::string block = std::string("Photoshop 3.0\0"
                                    "8BIM\x04\x04\0\0",
                                    22);
    block += std::string{0, 0, 0, static_cast<char>(iptc.size())} + iptc;
    if (iptc.size() & 1)
        block += '\0';
    return block;
}

// The segments the file keeps, as (marker, payload), in the order written.
inline std::vector<std::pair<BYTE, std::string>> KeptSegments(const std::string& xmpPacket = Xmp(false))
{
    return {{0xE1, xmpPacket}, {0xE2, Icc("RGB ")}, {0xED, Iptc()}, {0xFE, "Shot in Kyoto"}};
}

// A camera's JPEG with its Exif block first, then XMP, a colour profile, IPTC and a comment, and
// segments of kinds that are not kept among them.
inline std::vector<BYTE> MetadataJpeg(LONG width, LONG height, Orientation how = Orientation::Short,
                                      const std::string& xmpPacket = Xmp(false))
{
    const std::vector<BYTE> jpeg = MakeJpeg(
        width, height,
        [](BYTE* p, LONG x, LONG y) { p[0] = static_cast<BYTE>(x), p[1] = static_cast<BYTE>(y), p[2] = 90; }, 90,
        ExifBlock(width, height, how, Thumbnail()));
    const size_t afterExif = 4 + (static_cast<size_t>(jpeg[4]) << 8 | jpeg[5]);
    std::string more = Segment(0xE1, xmpPacket) + Segment(0xE2, std::string("MPF\0II*\0", 8)) +
                       Segment(0xE2, Icc("RGB ")) + Segment(0xE3, "Meta") + Segment(0xED, Iptc()) +
                       Segment(0xEE, std::string("Adobe\0\x64\0\0\0\0\x01", 12)) + Segment(0xFE, "Shot in Kyoto");
    std::vector<BYTE> out(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(afterExif));
    out.insert(out.end(), more.begin(), more.end());
    out.insert(out.end(), jpeg.begin() + static_cast<ptrdiff_t>(afterExif), jpeg.end());
    return out;
}

// The application and comment segments of a JPEG file, as (marker, payload), in their order.
inline std::vector<std::pair<BYTE, std::string>> MetadataSegments(const std::string& file)
{
    std::vector<std::pair<BYTE, std::string>> found;
    JpegSegmentWalker walker(reinterpret_cast<const BYTE*>(file.data()), file.size());
    JpegSegment segment;
    while (walker.Next(segment))
        if (segment.whole && ((segment.marker >= 0xE0 && segment.marker <= 0xEF) || segment.marker == 0xFE))
            found.emplace_back(segment.marker,
                               std::string(reinterpret_cast<const char*>(segment.payload), segment.length));
    return found;
}

// Every orientation the Exif block of a JPEG file (or an APP1 payload) states, first directory and
// Exif directory, each component; empty when it states none.
inline std::vector<long> ExifOrientations(const std::string& bytes)
{
    std::vector<long> found;
    ExifData* exif = exif_data_new();
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_unset_option(exif, EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(exif, reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<unsigned>(bytes.size()));
    const ExifByteOrder order = exif_data_get_byte_order(exif);
    for (ExifIfd ifd : {EXIF_IFD_0, EXIF_IFD_EXIF}) {
        ExifEntry* e = exif_content_get_entry(exif->ifd[ifd], EXIF_TAG_ORIENTATION);
        for (unsigned long i = 0; e && e->data && i < e->components; ++i) {
            const unsigned char* at = e->data + i * exif_format_get_size(e->format);
            switch (e->format) {
            case EXIF_FORMAT_BYTE:
            case EXIF_FORMAT_SBYTE:
                found.push_back(*at);
                break;
            case EXIF_FORMAT_LONG:
            case EXIF_FORMAT_SLONG:
                found.push_back(static_cast<long>(exif_get_long(at, order)));
                break;
            default:
                found.push_back(exif_get_short(at, order));
                break;
            }
        }
    }
    exif_data_unref(exif);
    return found;
}

// A text the Exif block of a JPEG file states (first directory or Exif directory); empty when
// it states none.
inline std::string ExifText(const std::string& bytes, ExifTag tag)
{
    std::string text;
    ExifData* exif = exif_data_new();
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif, reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<unsigned>(bytes.size()));
    for (ExifIfd ifd : {EXIF_IFD_0, EXIF_IFD_EXIF}) {
        ExifEntry* e = exif_content_get_entry(exif->ifd[ifd], tag);
        if (e && e->data && text.empty())
            text.assign(reinterpret_cast<const char*>(e->data),
                        strnlen(reinterpret_cast<const char*>(e->data), e->size));
    }
    exif_data_unref(exif);
    return text;
}

} // namespace metajpeg
