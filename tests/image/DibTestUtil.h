// Small made-up pictures for the image tests.
#pragma once

#include "common/ScratchFolder.h"
#include "image/DibCore.h"

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace dibtest {

// Owns a DIB for the length of a test.
struct Dib
{
    HGLOBAL handle = nullptr;
    Dib() = default;
    explicit Dib(HGLOBAL h) : handle(h) {}
    ~Dib()
    {
        if (handle)
            GlobalFree(handle);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    Dib(Dib&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    HGLOBAL release()
    {
        HGLOBAL h = handle;
        handle = nullptr;
        return h;
    }
    operator HGLOBAL() const { return handle; }
};

inline BYTE* Bits(HGLOBAL dib)
{
    return DibBits(GlobalLock(dib));
}
inline void Unlock(HGLOBAL dib)
{
    GlobalUnlock(dib);
}

// A 24-bit DIB whose pixel (x, y), y counted from the top, is color(x, y) as a COLORREF.
inline HGLOBAL Make24(LONG width, LONG height, const std::function<COLORREF(LONG, LONG)>& color)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    BYTE* bits = DibBits(block);
    DWORD row = DibRowSize(block);
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            BYTE* p = bits + (height - 1 - y) * row + x * 3;
            COLORREF c = color(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    GlobalUnlock(dib);
    return dib;
}

// A palette DIB (1, 4 or 8 bits) with the given table and index(x, y), y from the top.
inline HGLOBAL MakeIndexed(LONG width, LONG height, WORD bits, const std::vector<COLORREF>& table,
                           const std::function<int(LONG, LONG)>& index)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biClrUsed = static_cast<DWORD>(table.size());
    HGLOBAL dib = CreateDibFromHeader(&header);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    RGBQUAD* quads = reinterpret_cast<RGBQUAD*>(block + sizeof(header));
    for (size_t i = 0; i < table.size(); ++i)
        quads[i] = RGBQUAD{GetBValue(table[i]), GetGValue(table[i]), GetRValue(table[i]), 0};
    BYTE* pixels = DibBits(block);
    DWORD row = DibRowSize(block);
    for (LONG y = 0; y < height; ++y) {
        BYTE* line = pixels + (height - 1 - y) * row;
        for (LONG x = 0; x < width; ++x) {
            int v = index(x, y);
            if (bits == 8)
                line[x] = static_cast<BYTE>(v);
            else if (bits == 4)
                line[x / 2] |= static_cast<BYTE>((x & 1) ? v : v << 4);
            else if (v)
                line[x / 8] |= static_cast<BYTE>(0x80 >> (x & 7));
        }
    }
    GlobalUnlock(dib);
    return dib;
}

// The colour of pixel (x, y), y from the top, of a 24-bit DIB.
inline COLORREF Pixel24(HGLOBAL dib, LONG x, LONG y)
{
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    LONG height = DibHeight(block);
    const BYTE* p = DibBits(block) + (height - 1 - y) * DibRowSize(block) + x * 3;
    COLORREF c = RGB(p[2], p[1], p[0]);
    GlobalUnlock(dib);
    return c;
}

inline std::vector<BYTE> Bytes(HGLOBAL block)
{
    std::vector<BYTE> out(GlobalSize(block));
    std::memcpy(out.data(), GlobalLock(block), out.size());
    GlobalUnlock(block);
    return out;
}

inline BITMAPINFOHEADER Header(HGLOBAL dib)
{
    BITMAPINFOHEADER h;
    std::memcpy(&h, GlobalLock(dib), sizeof(h));
    GlobalUnlock(dib);
    return h;
}

inline std::vector<BYTE> ReadWholeFile(const std::wstring& path)
{
    std::vector<BYTE> data;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    DWORD size = GetFileSize(file, nullptr), read = 0;
    data.resize(size);
    if (size)
        ReadFile(file, data.data(), size, &read, nullptr);
    data.resize(read);
    CloseHandle(file);
    return data;
}

inline void WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!data.empty())
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace dibtest
