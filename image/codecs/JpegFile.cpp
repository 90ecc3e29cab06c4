#include "image/codecs/JpegFile.h"

#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/codecs/JpegMemory.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kComMarker = JPEG_COM;
constexpr int kApp0Marker = JPEG_APP0;

// Copies the kept markers; raises VyxGlobalErrorException when a copy cannot be made.
void CopyMarkers(j_decompress_ptr cinfo, VyxMemoryHandle* comment, VyxMemoryHandle* markers)
{
    for (jpeg_saved_marker_ptr marker = cinfo->marker_list; marker; marker = marker->next) {
        if (marker->marker == kComMarker)
            comment->Alloc(marker->data, marker->data_length);
        else if (marker->marker >= kApp0Marker && marker->marker < kApp0Marker + 16)
            markers[marker->marker - kApp0Marker].Alloc(marker->data, marker->data_length);
    }
}

JpegEncodeSettings Settings(int quality, BYTE grey, BYTE progressive)
{
    JpegEncodeSettings settings;
    settings.quality = quality;
    settings.grey = grey != 0;
    settings.progressive = progressive != 0;
    return settings;
}

} // namespace

JpegFile::~JpegFile()
{
    for (auto& marker : m_markers)
        marker.Release();
}

const BYTE* JpegFile::StreamStart(DWORD* size) const
{
    const BYTE* start = FindJpegStart(m_data, m_dataSize, m_findStart);
    *size = m_dataSize - static_cast<DWORD>(start - m_data);
    return start;
}

int JpegFile::Decode()
{
    m_dib = nullptr;
    int scale = m_scale < 2 ? 0 : m_scale > 32 ? 32 : m_scale;
    DWORD size;
    const BYTE* start = StreamStart(&size);
    HGLOBAL dib = nullptr;
    int result = JpegDecodeDib(start, size, scale, &dib);
    if (result != 0)
        return result;
    m_dib = dib;
    m_width = GetDibWidth(dib);
    m_height = GetDibHeight(dib);
    m_bitCount = GetDibBitCount(dib);
    return 0;
}

// No C++ objects with destructors live in this frame: the library's error exit jumps back here.
int JpegFile::ReadInfo()
{
    // Copies from an earlier picture must not pass for this one's.
    m_held.Release();
    for (auto& marker : m_markers)
        marker.Release();
    DWORD size;
    const BYTE* start = StreamStart(&size);
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = InitJpegErrorManager(&err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    jpeg_create_decompress(&cinfo);
    LimitJpegMemory(reinterpret_cast<j_common_ptr>(&cinfo));
    InstallJpegMemorySource(&cinfo, start, size);
    jpeg_save_markers(&cinfo, kComMarker, 0xFFFF);
    for (int i = 0; i < 16; ++i)
        jpeg_save_markers(&cinfo, kApp0Marker + i, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    m_width = static_cast<LONG>(cinfo.image_width);
    m_height = static_cast<LONG>(cinfo.image_height);
    m_bitCount = static_cast<DWORD>(cinfo.data_precision * cinfo.num_components);
    try {
        CopyMarkers(&cinfo, &m_held, m_markers);
    } catch (...) {
        jpeg_destroy_decompress(&cinfo);
        throw;
    }
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

int JpegFile::SaveToMemory()
{
    LockedDib24 picture(m_dib);
    if (!picture.get())
        return 1;
    BYTE* data = nullptr;
    SIZE_T size = 0;
    if (JpegEncodeToMemory(picture.get(), Settings(m_quality, m_grey, m_progressive), &data, &size) != 0)
        return 1;
    try {
        m_buffer.Assign(data, static_cast<int>(size));
    } catch (...) {
        std::free(data);
        throw;
    }
    std::free(data);
    return 0;
}

int JpegFile::SaveToFile()
{
    if (!m_fileName)
        return -1;
    LockedDib24 picture(m_dib);
    if (!picture.get())
        return 1;
    return JpegEncodeToFile(picture.get(), Settings(m_quality, m_grey, m_progressive), m_fileName);
}
