// libjpeg's own scaled decode of a JPEG held in memory: the yardstick the program's picture paths
// are measured against in the same process.
#pragma once

#include "image/codecs/JpegMemory.h"

#include <windows.h>

#include <cstdio>
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

// libjpeg alone: rows of the program's pixel order, top first, stride bytes apart, encoded at the
// quality into a file (written by the library's own stdio destination); false when the file
// could not be made or closed.
inline bool EncodeBareToFile(const wchar_t* path, const BYTE* rows, size_t stride, JDIMENSION width,
                             JDIMENSION height, int quality)
{
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    jpeg_compress_struct out;
    jpeg_error_mgr err;
    out.err = jpeg_std_error(&err);
    jpeg_create_compress(&out);
    jpeg_stdio_dest(&out, file);
    out.image_width = width;
    out.image_height = height;
    out.input_components = 3;
    out.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&out);
    jpeg_set_quality(&out, quality, TRUE);
    jpeg_start_compress(&out, TRUE);
    while (out.next_scanline < height) {
        JSAMPROW line = const_cast<JSAMPROW>(rows + stride * out.next_scanline);
        jpeg_write_scanlines(&out, &line, 1);
    }
    jpeg_finish_compress(&out);
    jpeg_destroy_compress(&out);
    return std::fclose(file) == 0;
}
