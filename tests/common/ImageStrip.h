// A bitmap resource of 16 x 16 tool-bar or menu images on the mask colour, read as colours for
// the tests that look at the pictures.
#pragma once

#include "framework/Framework.h"

#include <vector>

namespace imagestrip {

const int kSide = 16;
const COLORREF kMask = RGB(255, 0, 255);

// A strip of 16 x 16 images as colours, row by row from the top.
struct Strip
{
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    COLORREF At(int image, int x, int y) const { return pixels[static_cast<size_t>(y) * width + image * kSide + x]; }
    bool Same(int a, int b, int how) const
    {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const int bx = how == 1 ? kSide - 1 - x : how == 3 ? y : x;
                const int by = how == 2 ? kSide - 1 - y : how == 3 ? x : y;
                if (At(a, x, y) != At(b, bx, by))
                    return false;
            }
        return true;
    }
    // Pixels of the image that are not the mask colour.
    int Drawn(int image) const
    {
        int n = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                n += At(image, x, y) != kMask;
        return n;
    }
    int Differing(int a, int b) const
    {
        int n = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                n += At(a, x, y) != At(b, x, y);
        return n;
    }
};

enum { AsIs = 0, Mirrored = 1, Flipped = 2, Transposed = 3 };

// The bitmap resource as the tool bar loads it.
inline Strip LoadStrip(UINT id)
{
    Strip strip;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return strip;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    strip.width = info.bmWidth;
    strip.height = info.bmHeight;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, info.bmHeight, bits.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (DWORD bgra : bits)
        strip.pixels.push_back(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
    return strip;
}

// Whether image a of one strip is image b of another, pixel for pixel.
inline bool SameImage(const Strip& one, int a, const Strip& other, int b)
{
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (one.At(a, x, y) != other.At(b, x, y))
                return false;
    return true;
}

} // namespace imagestrip
