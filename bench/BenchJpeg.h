// libjpeg's own scaled decode of a JPEG held in memory: the yardstick the program's picture paths
// are measured against in the same process.
#pragma once

#include "image/codecs/JpegMemory.h"

#include <windows.h>

#include <functional>
#include <vector>

// libjpeg alone: the scale given and the program's pixel order, scanlines into one reused row;
// each row, top first, to onRow when one is given.
inline void DecodeScaledBare(const std::vector<BYTE>& jpeg, int denominator, std::vector<BYTE>& row,
                             const std::function<void(const std::vector<BYTE>&)>& onRow = nullptr)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(denominator);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    row.resize(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
    JSAMPROW line = row.data();
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, &line, 1);
        if (onRow)
            onRow(row);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}
