// What a JPEG file carries besides its picture, kept when the picture is written anew over it:
// every APP1 (Exif, XMP), APP2 (colour profile), APP13 (IPTC) and COM segment, made true of the
// new pixels.
#pragma once

#include <windows.h>

#include <vector>

struct JpegMarkerSegment
{
    BYTE marker = 0;
    std::vector<BYTE> payload;
};

class JpegMetadata
{
public:
    // The segments before the picture's data, in their order; none when the data is no JPEG
    // stream. A multi-picture index (APP2 "MPF") is left behind: it locates pictures appended to
    // the file, which a picture written anew does not carry.
    static JpegMetadata Find(const BYTE* data, size_t size);
    // The same of a file, read only as far as its markers go; none when it cannot be read.
    static JpegMetadata OfFile(const wchar_t* path);

    // Makes the segments describe pixels of the given size. Turned (or mirrored) pixels get the
    // orientation 1 wherever it is stated (Exif, XMP tiff:Orientation) and lose the Exif
    // thumbnail; a part that cannot be read is then left out, and otherwise kept as it is.
    void FitToPixels(LONG width, LONG height, bool turned);

    bool IsEmpty() const { return m_segments.empty(); }
    const std::vector<JpegMarkerSegment>& Segments() const { return m_segments; }
    // Whether a picture written grey or in colour keeps the segment: a colour profile is kept only
    // with pixels of its own colour space.
    bool Keeps(const JpegMarkerSegment& segment, bool grey) const;

    static bool IsExif(const JpegMarkerSegment& segment);

private:
    std::vector<JpegMarkerSegment> m_segments;
};

// Sets every tiff:Orientation an XMP packet (an APP1 payload with its namespace header) states to
// 1; false, with the packet left as it was, when the orientation's namespace is used in a way
// that cannot be followed.
bool OrientXmpUpright(std::vector<BYTE>& xmp);
