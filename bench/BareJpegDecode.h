// libjpeg's own scaled decode of a JPEG, the figure the program's thumbnail paths are set beside.
#pragma once

#include "image/codecs/JpegMemory.h"

#include <windows.h>

#include <vector>

// libjpeg alone: the scale denominator given, the program's pixel order, scanlines into one
// reused row. False when the data is not a JPEG libjpeg reads.
inline bool DecodeJpegBare(const BYTE* data, size_t size, int denominator, std::vector<BYTE>& row)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(denominator);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    row.resize(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
    JSAMPROW line = row.data();
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, &line, 1);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
