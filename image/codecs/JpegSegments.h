// The one walk over a JPEG stream's marker segments, from its start of image up to the picture's
// data, that every reader of the markers goes through.
#pragma once

#include <windows.h>

#include <cstddef>

struct JpegSegment
{
    BYTE marker = 0;               // the byte after 0xFF
    size_t at = 0;                 // where its 0xFF stands in the data
    const BYTE* payload = nullptr; // after the length field; null for a marker that has none
    size_t length = 0;             // the payload's bytes (as declared when it is not whole)
    bool whole = true;             // false: its declared length runs past the data
};

// Walks the segments of a stream whose first two bytes are the start of image. Fill bytes (0xFF
// before a marker) are skipped; markers without a length (TEM, RSTn, a repeated SOI) come as
// segments without a payload. The walk ends after the start of scan (whose header comes as its
// payload) or the end of image, at a segment that is not whole, or where no marker stands.
class JpegSegmentWalker
{
public:
    enum Stop { Going, Scan, ImageEnd, Broken, CutShort };

    JpegSegmentWalker(const BYTE* data, size_t size);
    // The next segment; false once the walk has ended (Reached tells why).
    bool Next(JpegSegment& segment);
    Stop Reached() const { return m_stop; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 2;
    Stop m_stop = Going;
};
