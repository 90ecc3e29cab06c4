#include "image/codecs/JpegStart.h"

#include "image/codecs/JpegSegments.h"

#include <algorithm>
#include <cstring>

namespace {

BOOL g_searchJpegStart = FALSE;
int g_hintTable[kJpegHintTableSize];
int g_hintCount = 0;

} // namespace

const BYTE* FindJpegStart(const BYTE* data, SIZE_T length, BOOL force)
{
    if ((!g_searchJpegStart && !force) || !data || length < 2)
        return data;
    SIZE_T soi = 0;
    while (soi + 1 < length && !(data[soi] == 0xFF && data[soi + 1] == 0xD8))
        ++soi;
    if (soi + 1 >= length)
        return data;
    JpegSegmentWalker walker(data + soi, length - soi);
    JpegSegment segment;
    int segments = 0;
    while (walker.Next(segment)) {
        if (segment.marker == 0xDA)
            return data + soi;
        ++segments;
    }
    // Data used up (or an end of image) before a start of scan: a stream all the same when more
    // than one segment came before.
    return walker.Reached() != JpegSegmentWalker::Broken && segments > 1 ? data + soi : data;
}

BOOL SetJpegStartSearch(BOOL search)
{
    BOOL old = g_searchJpegStart;
    g_searchJpegStart = search;
    return old;
}

int SetJpegHintTable(const int* values, int count)
{
    if (!values || count < 0)
        return 0;
    g_hintCount = std::min(count, kJpegHintTableSize);
    std::memcpy(g_hintTable, values, sizeof(int) * g_hintCount);
    return g_hintCount;
}

int GetJpegHintTable(int* out, int count)
{
    if (!out || count < 0)
        return 0;
    int n = std::min(count, g_hintCount);
    std::memcpy(out, g_hintTable, sizeof(int) * n);
    return n;
}
