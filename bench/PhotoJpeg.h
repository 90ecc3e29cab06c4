// Photograph-like pictures made by the benchmarks: smooth light with fine grain and a checker of
// blocks, so that JPEG and Deflate carry real detail.
#pragma once

// jpeglib.h takes size_t and FILE from the headers before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

// One pixel (blue, green, red) at (x, y) of a width x height picture; shift moves the light, noise
// carries the grain from pixel to pixel.
inline void PhotoPixel(BYTE* p, LONG x, LONG y, LONG width, LONG height, unsigned& noise, int shift = 0)
{
    noise = noise * 1664525u + 1013904223u;
    int grain = static_cast<int>((noise >> 24) & 31) - 16;
    int light = static_cast<int>((x * 255 / width + y * 255 / height) / 2) + shift;
    p[0] = static_cast<BYTE>(std::clamp(light + grain, 0, 255));
    p[1] = static_cast<BYTE>(std::clamp(255 - light + grain / 2, 0, 255));
    p[2] = static_cast<BYTE>(std::clamp(static_cast<int>(((x / 64 + y / 64) & 1) * 90) + light / 2 + grain, 0, 255));
}

// A JPEG of the quality whose pixel (x, y) pixel(p, x, y) writes (blue, green, red), encoded row by
// row so that making it does not raise the process's peak memory; with an APP1 block (Exif) in
// place of the JFIF header when one is given.
template <class Pixel>
std::vector<BYTE> MakeJpeg(LONG width, LONG height, Pixel pixel, int quality = 90, const std::vector<BYTE>& app1 = {})
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
    cinfo.write_JFIF_header = app1.empty();
    jpeg_start_compress(&cinfo, TRUE);
    if (!app1.empty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
    std::vector<BYTE> row(static_cast<size_t>(width) * 3);
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x)
            pixel(&row[static_cast<size_t>(x) * 3], x, y);
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<BYTE> jpeg(data, data + size);
    std::free(data);
    return jpeg;
}

// The picture as a JPEG of quality 90.
inline std::vector<BYTE> MakePhotoJpeg(LONG width, LONG height)
{
    unsigned noise = 12345;
    return MakeJpeg(width, height, [&](BYTE* p, LONG x, LONG y) { PhotoPixel(p, x, y, width, height, noise); });
}
