#include "image/codecs/JpegSegments.h"

JpegSegmentWalker::JpegSegmentWalker(const BYTE* data, size_t size) : m_data(data), m_size(data ? size : 0)
{
    if (m_size < 2 || m_data[0] != 0xFF || m_data[1] != 0xD8)
        m_stop = Broken;
}

bool JpegSegmentWalker::Next(JpegSegment& segment)
{
    if (m_stop != Going)
        return false;
    // Every byte is looked at only once it is known to lie inside the data.
    while (m_size - m_pos >= 2 && m_data[m_pos] == 0xFF && m_data[m_pos + 1] == 0xFF)
        ++m_pos;
    if (m_size - m_pos < 2) {
        m_stop = CutShort;
        return false;
    }
    if (m_data[m_pos] != 0xFF || m_data[m_pos + 1] == 0x00) {
        m_stop = Broken;
        return false;
    }
    segment = JpegSegment();
    segment.marker = m_data[m_pos + 1];
    segment.at = m_pos;
    const BYTE marker = segment.marker;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
        m_pos += 2;
        if (marker == 0xD9)
            m_stop = ImageEnd;
        return true;
    }
    if (m_size - m_pos < 4) {
        m_stop = CutShort;
        return false;
    }
    const size_t declared = static_cast<size_t>(m_data[m_pos + 2]) << 8 | m_data[m_pos + 3];
    if (declared < 2) {
        m_stop = Broken;
        return false;
    }
    segment.payload = m_data + m_pos + 4;
    segment.length = declared - 2;
    segment.whole = declared <= m_size - m_pos - 2;
    m_pos += 2 + (segment.whole ? declared : 0);
    if (marker == 0xDA)
        m_stop = Scan;
    else if (!segment.whole)
        m_stop = CutShort;
    return true;
}
