// Made-up photographs for the benchmarks and libjpeg's own scaled decode of them, the figure the
// program's thumbnail paths are set beside.
#pragma once

#include "image/codecs/JpegMemory.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

// A photograph-like picture: smooth light with fine texture, so the JPEG carries real detail.
// Encoded row by row so that making it does not raise the process's peak memory.
inline std::vector<BYTE> MakeBenchJpeg(LONG width, LONG height, int quality = 90)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &data, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<BYTE> row(static_cast<size_t>(width) * 3);
    unsigned noise = 12345;
    for (LONG y = 0; y < height; ++y) {
        BYTE* p = row.data();
        for (LONG x = 0; x < width; ++x, p += 3) {
            noise = noise * 1664525u + 1013904223u;
            int grain = static_cast<int>((noise >> 24) & 31) - 16;
            int light = static_cast<int>((x * 255 / width + y * 255 / height) / 2);
            p[0] = static_cast<BYTE>(std::clamp(light + grain, 0, 255));
            p[1] = static_cast<BYTE>(std::clamp(255 - light + grain / 2, 0, 255));
            p[2] = static_cast<BYTE>(
                std::clamp(static_cast<int>(((x / 64 + y / 64) & 1) * 90) + light / 2 + grain, 0, 255));
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<BYTE> jpeg(data, data + size);
    std::free(data);
    return jpeg;
}

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
