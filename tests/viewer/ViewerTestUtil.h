// Shared set-up of the viewer tests: the program's own plug-ins in the program's host, and small
// GIF, TIFF and BMP files made by the tests themselves. (No scratch-folder helper here: the frame
// tests and the engine tests each bring their own.)
#pragma once

#include "../../bench/PhotoJpeg.h"
#include "../image/ImageSamples.h"
#include "common/ImportPatch.h"
#include "catalogue/VyxFile.h"
#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibFile.h"
#include "image/plugins/Spi.h"
#include "catalogue/COnePicture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace viewertest {

// The program's own plug-ins (built beside Vyx.exe) in the program's host while alive.
class OwnPlugins
{
public:
    OwnPlugins()
    {
        wchar_t path[MAX_PATH];
        std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
        std::wstring pattern = exe.substr(0, exe.find_last_of(L'\\')) + L"\\..\\bin\\*.spi";
        theSPImapIndex.ScanPlugins(pattern.c_str(), nullptr, nullptr);
    }
    ~OwnPlugins() { theSPImapIndex.DeleteAll(); }
    OwnPlugins(const OwnPlugins&) = delete;
    OwnPlugins& operator=(const OwnPlugins&) = delete;
};

// A 24-bit DIB whose pixel (x, y), y from the top, is colour(x, y).
template <class Colour> HGLOBAL MakeDib(LONG width, LONG height, Colour colour)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    DibLock lock(dib);
    BYTE* bits = DibBits(lock.get());
    const DWORD row = DibRowSize(lock.get());
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            BYTE* p = bits + (height - 1 - y) * row + x * 3;
            const COLORREF c = colour(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return dib;
}

inline HGLOBAL SolidDib(LONG width, LONG height, COLORREF colour)
{
    return MakeDib(width, height, [=](LONG, LONG) { return colour; });
}

// Owns a DIB for the length of a test and hands it out as the handle.
struct OwnedDib : GlobalBlock
{
    using GlobalBlock::GlobalBlock;
    operator HGLOBAL() const { return get(); }
};

inline std::vector<BYTE> BlockBytes(HGLOBAL block)
{
    DibLock lock(block);
    return lock ? std::vector<BYTE>(lock.get(), lock.get() + GlobalSize(block)) : std::vector<BYTE>();
}

// The colour of pixel (x, y), y from the top, of a DIB of any depth.
inline COLORREF PixelOf(HGLOBAL dib, LONG x, LONG y)
{
    HGLOBAL wide = MakeDib24(dib);
    COLORREF colour = CLR_INVALID;
    if (DibLock lock{wide}) {
        const BYTE* p = DibBits(lock.get()) + (DibHeight(lock.get()) - 1 - y) * DibRowSize(lock.get()) + x * 3;
        colour = RGB(p[2], p[1], p[0]);
    }
    if (wide && wide != dib)
        GlobalFree(wide);
    return colour;
}

inline std::wstring WriteBytes(const wchar_t* path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

// A frame of a GIF of that size in the colour of its table entry.
inline samples::GifFrame SolidFrame(int width, int height, int index, int delay = 0, int disposal = 0)
{
    samples::GifFrame frame;
    frame.width = width;
    frame.height = height;
    frame.control = true;
    frame.delay = delay;
    frame.disposal = disposal;
    frame.indices.assign(static_cast<size_t>(width) * height, index);
    return frame;
}

inline std::wstring WriteGif(const wchar_t* path, int width, int height, const std::vector<COLORREF>& table,
                             const std::vector<samples::GifFrame>& frames)
{
    return WriteBytes(path, samples::MakeGif(width, height, table, frames));
}

// Pages of one grey level each: page i is 40 x i + 20.
inline std::wstring WriteGreyTiff(const wchar_t* path, uint32_t width, uint32_t height, int pages)
{
    std::vector<samples::TiffPage> list;
    for (int i = 0; i < pages; ++i)
        list.push_back(
            samples::Page(width, height, 8, 1, PHOTOMETRIC_MINISBLACK,
                          std::vector<BYTE>(static_cast<size_t>(width) * height, static_cast<BYTE>(40 * i + 20))));
    return WriteBytes(path, samples::MakeTiff(list));
}

inline std::wstring WriteBmp(const wchar_t* path, LONG width, LONG height, COLORREF colour)
{
    HGLOBAL dib = SolidDib(width, height, colour);
    WriteBmpFile(path, dib);
    GlobalFree(dib);
    return path;
}

// While alive, the global-memory blocks the program's code asks for and frees: the largest request,
// and how many more blocks were allocated than freed (pictures leaked, or freed twice when
// negative). One at a time.
class GlobalBlockWatch
{
public:
    GlobalBlockWatch()
        : m_alloc("kernel32.dll", "GlobalAlloc", reinterpret_cast<const void*>(&Alloc)),
          m_free("kernel32.dll", "GlobalFree", reinterpret_cast<const void*>(&Free))
    {
        s_largest = 0;
        s_live = 0;
        s_alloc = reinterpret_cast<decltype(s_alloc)>(m_alloc.Original());
        s_freeBlock = reinterpret_cast<decltype(s_freeBlock)>(m_free.Original());
    }
    static SIZE_T Largest() { return s_largest; }
    static long Live() { return s_live; }

private:
    static HGLOBAL WINAPI Alloc(UINT flags, SIZE_T bytes)
    {
        s_largest = std::max(s_largest, bytes);
        HGLOBAL block = s_alloc(flags, bytes);
        s_live += block != nullptr;
        return block;
    }
    static HGLOBAL WINAPI Free(HGLOBAL block)
    {
        s_live -= block != nullptr;
        return s_freeBlock(block);
    }
    static inline SIZE_T s_largest = 0;
    static inline long s_live = 0;
    static inline HGLOBAL(WINAPI* s_alloc)(UINT, SIZE_T) = nullptr;
    static inline HGLOBAL(WINAPI* s_freeBlock)(HGLOBAL) = nullptr;
    ImportPatch m_alloc;
    ImportPatch m_free;
};

// A JPEG of one colour, written a row at a time: large pictures without a picture in memory.
inline std::wstring WriteSolidJpeg(const wchar_t* path, LONG width, LONG height, COLORREF colour)
{
    return WriteBytes(path, MakeJpeg(width, height, [colour](BYTE* p, LONG, LONG) {
                          p[0] = GetBValue(colour);
                          p[1] = GetGValue(colour);
                          p[2] = GetRValue(colour);
                      }));
}

// An item of the file whose decoder is known to be of the multi-page family given.
inline VyxFile ItemOfKind(const std::wstring& path, int kind)
{
    VyxFile item(path.c_str());
    item.SetLoaderId(kind << 16);
    return item;
}

} // namespace viewertest
