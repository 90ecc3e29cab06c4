#include "image/DibPaint.h"

#include "image/DibCore.h"
#include "image/DibValidate.h"

#include "framework/Framework.h"

#include <vfw.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The display's depth, asked of the system once per process.
int g_screenBitDepth = 0;

int ScreenDepth()
{
    if (g_screenBitDepth == 0)
        g_screenBitDepth = GetScreenBitDepth();
    return g_screenBitDepth;
}

const BITMAPINFO* Info(const void* dib)
{
    return static_cast<const BITMAPINFO*>(dib);
}

// On palette displays DrawDib dithers and realises the palette itself.
bool DrawWithDrawDib(HDC hdc, int x, int y, int width, int height, const void* dib, int srcX, int srcY, int srcWidth,
                     int srcHeight)
{
    if (ScreenDepth() >= 9)
        return false;
    HDRAWDIB drawDib = DrawDibOpen();
    if (!drawDib)
        return false;
    DrawDibRealize(drawDib, hdc, FALSE);
    DrawDibDraw(drawDib, hdc, x, y, width, height,
                const_cast<BITMAPINFOHEADER*>(static_cast<const BITMAPINFOHEADER*>(dib)),
                const_cast<BYTE*>(DibBits(dib)), srcX, srcY, srcWidth, srcHeight, 0);
    DrawDibClose(drawDib);
    return true;
}

struct LogicalSize
{
    LONG width;
    LONG height;
};

LogicalSize HimetricSize(HDC attrib, LONG width, LONG height)
{
    int mode = GetMapMode(attrib);
    SetMapMode(attrib, MM_HIMETRIC);
    POINT points[2] = {{0, 0}, {width, height}};
    DPtoLP(attrib, points, 2);
    SetMapMode(attrib, mode);
    return LogicalSize{std::labs(points[1].x - points[0].x), std::labs(points[1].y - points[0].y)};
}

// A header (and zero table) for reading a bitmap's bits; null when the size cannot be a DIB.
HGLOBAL HeaderForBitmap(const BITMAP& bitmap, WORD bitCount, DWORD compression)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = bitmap.bmWidth;
    header.biHeight = bitmap.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    BITMAPINFOHEADER check = header;
    check.biCompression = BI_RGB;
    DibLayout layout;
    if (!CheckDibHeader(check, &layout))
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(header) + layout.tableBytes + 12);
    if (block) {
        std::memcpy(GlobalLock(block), &header, sizeof(header));
        GlobalUnlock(block);
    }
    return block;
}

// The two-pass read: the platform fills the header first, then the bits follow into a grown block.
HGLOBAL ReadBitmapBits(HDC hdc, HBITMAP bitmap, WORD bitCount, DWORD compression)
{
    BITMAP info;
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return nullptr;
    if (bitCount == 0)
        bitCount = static_cast<WORD>(info.bmPlanes * info.bmBitsPixel);
    HGLOBAL block = HeaderForBitmap(info, bitCount, compression);
    if (!block)
        return nullptr;
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    if (!GetDIBits(hdc, bitmap, 0, static_cast<UINT>(info.bmHeight), nullptr, reinterpret_cast<BITMAPINFO*>(header),
                   DIB_RGB_COLORS)) {
        GlobalUnlock(block);
        GlobalFree(block);
        return nullptr;
    }
    if (header->biSizeImage == 0) {
        header->biSizeImage = DibRowSize(header) * static_cast<DWORD>(info.bmHeight);
        if (compression != BI_RGB)
            header->biSizeImage = header->biSizeImage * 3 / 2;
    }
    SIZE_T total = DibHeaderSize(header) + DibQuadTableSize(header) + header->biSizeImage;
    GlobalUnlock(block);
    HGLOBAL grown = GlobalReAlloc(block, total, GMEM_MOVEABLE);
    if (!grown) {
        GlobalFree(block);
        return nullptr;
    }
    block = grown;
    header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    int lines = GetDIBits(hdc, bitmap, 0, static_cast<UINT>(info.bmHeight), DibBitsPtr(header),
                          reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
    GlobalUnlock(block);
    if (!lines) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

} // namespace

int GetScreenBitDepth()
{
    HDC dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!dc)
        return 0;
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    DeleteDC(dc);
    return depth;
}

bool CreateDibPalette(HGLOBAL dib, CPalette* palette)
{
    if (!dib || !palette)
        return false;
    DibLock lock(dib);
    if (!lock)
        return false;
    DWORD count = DibColorCount(lock.get());
    HPALETTE created = nullptr;
    if (count > 0 && count <= 256) {
        std::vector<BYTE> memory(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(memory.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(count);
        const bool quads = DibHeaderSize(lock.get()) == sizeof(BITMAPINFOHEADER);
        const BYTE* table = lock.get() + (quads ? sizeof(BITMAPINFOHEADER) : sizeof(BITMAPCOREHEADER));
        for (DWORD i = 0; i < count; ++i) {
            const BYTE* entry = table + i * (quads ? 4 : 3);
            logical->palPalEntry[i] = PALETTEENTRY{entry[2], entry[1], entry[0], 0};
        }
        created = CreatePalette(logical);
    }
    if (!created)
        created = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    palette->DeleteObject();
    return palette->Attach(created) != FALSE;
}

HGLOBAL DdbToDib(CBitmap* bitmap, CPalette* palette, CDC* dc)
{
    if (!bitmap || !dc || !bitmap->GetSafeHandle())
        return nullptr;
    HDC hdc = dc->GetSafeHdc();
    HPALETTE old = nullptr;
    if (palette && palette->GetSafeHandle()) {
        old = SelectPalette(hdc, static_cast<HPALETTE>(palette->GetSafeHandle()), FALSE);
        RealizePalette(hdc);
    }
    HGLOBAL dib = ReadBitmapBits(hdc, static_cast<HBITMAP>(bitmap->GetSafeHandle()), 0, BI_RGB);
    if (old)
        SelectPalette(hdc, old, FALSE);
    return dib;
}

HGLOBAL BitmapToDib(HBITMAP bitmap, DWORD compression, WORD bitCount, HPALETTE palette)
{
    if (!bitmap)
        return nullptr;
    if (!palette)
        palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    HDC hdc = GetDC(nullptr);
    HPALETTE old = SelectPalette(hdc, palette, FALSE);
    RealizePalette(hdc);
    HGLOBAL dib = ReadBitmapBits(hdc, bitmap, bitCount, compression);
    SelectPalette(hdc, old, FALSE);
    ReleaseDC(nullptr, hdc);
    return dib;
}

HGLOBAL BitmapToDibOnDc(HDC dc, HBITMAP bitmap, DWORD compression)
{
    return dc ? ReadBitmapBits(dc, bitmap, 0, compression) : nullptr;
}

BOOL DibToDdb(CBitmap* bitmap, CPalette* palette, CDC* dc, HGLOBAL dib, int left, int top, int right, int bottom)
{
    if (!bitmap || !palette || !dc || !dib || right <= left || bottom <= top)
        return FALSE;
    DibLock lock(dib);
    if (!lock || !CreateDibPalette(dib, palette))
        return FALSE;
    HDC screen = dc->GetSafeHdc();
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP made = CreateCompatibleBitmap(screen, right - left, bottom - top);
    if (!memory || !made) {
        if (memory)
            DeleteDC(memory);
        if (made)
            DeleteObject(made);
        return FALSE;
    }
    HGDIOBJ oldBitmap = SelectObject(memory, made);
    HPALETTE oldPalette = SelectPalette(memory, static_cast<HPALETTE>(palette->GetSafeHandle()), FALSE);
    RealizePalette(memory);
    SetStretchBltMode(memory, COLORONCOLOR);
    StretchDIBits(memory, 0, 0, right - left, bottom - top, left, top, right - left, bottom - top, DibBits(lock.get()),
                  Info(lock.get()), DIB_RGB_COLORS, SRCCOPY);
    SelectPalette(memory, oldPalette, FALSE);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    bitmap->DeleteObject();
    return bitmap->Attach(made);
}

void GetDibLogicalSize(HGLOBAL dib, CDC* dc, LONG* width, LONG* height)
{
    DibLock lock(dib);
    if (!lock || !dc || !width || !height)
        return;
    HDC attrib = dc->m_hAttribDC ? dc->m_hAttribDC : dc->GetSafeHdc();
    LogicalSize size = HimetricSize(attrib, DibWidth(lock.get()), DibHeight(lock.get()));
    *width = size.width;
    *height = size.height;
}

HGLOBAL DibToMetafilePict(HGLOBAL dib, CDC* dc)
{
    if (!dib || !dc)
        return nullptr;
    DibLock lock(dib);
    if (!lock)
        return nullptr;
    LONG width = DibWidth(lock.get()), height = DibHeight(lock.get());
    HDC attrib = dc->m_hAttribDC ? dc->m_hAttribDC : dc->GetSafeHdc();
    LogicalSize size = HimetricSize(attrib, width, height);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    if (!block)
        return nullptr;
    HDC metafile = CreateMetaFileW(nullptr);
    if (!metafile) {
        GlobalFree(block);
        return nullptr;
    }
    SetMapMode(metafile, MM_ANISOTROPIC);
    SetWindowExtEx(metafile, size.width, size.height, nullptr);
    CPalette palette;
    HPALETTE oldPalette = nullptr;
    if (CreateDibPalette(dib, &palette)) {
        oldPalette = SelectPalette(metafile, static_cast<HPALETTE>(palette.GetSafeHandle()), FALSE);
        RealizePalette(metafile);
    }
    SetStretchBltMode(metafile, COLORONCOLOR);
    StretchDIBits(metafile, 0, 0, size.width, size.height, 0, 0, width, height, DibBits(lock.get()), Info(lock.get()),
                  DIB_RGB_COLORS, SRCCOPY);
    if (oldPalette)
        SelectPalette(metafile, oldPalette, FALSE);
    HMETAFILE recorded = CloseMetaFile(metafile);
    if (!recorded) {
        GlobalFree(block);
        return nullptr;
    }
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block));
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = size.width;
    picture->yExt = size.height;
    picture->hMF = recorded;
    GlobalUnlock(block);
    return block;
}

void PaintDibStretchPtr(CDC* dc, int x, int y, int width, int height, const void* dib, int srcX, int srcY, int srcWidth,
                        int srcHeight, DWORD rop)
{
    if (!dib || !dc)
        return;
    HDC hdc = dc->GetSafeHdc();
    SetStretchBltMode(hdc, COLORONCOLOR);
    if (DrawWithDrawDib(hdc, x, y, width, height, dib, srcX, srcY, srcWidth, srcHeight))
        return;
    StretchDIBits(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, DibBits(dib), Info(dib), DIB_RGB_COLORS,
                  rop);
}

void PaintDibRectPtr(CDC* dc, int left, int top, int right, int bottom, int srcLeft, int srcTop, int srcRight,
                     int srcBottom, const void* dib, DWORD rop)
{
    PaintDibStretchPtr(dc, left, top, right - left, bottom - top, dib, srcLeft, srcTop, srcRight - srcLeft,
                       srcBottom - srcTop, rop);
}

void PaintDibRect(CDC* dc, int left, int top, int right, int bottom, int srcLeft, int srcTop, int srcRight,
                  int srcBottom, HGLOBAL dib, DWORD rop)
{
    DibLock lock(dib);
    if (lock)
        PaintDibRectPtr(dc, left, top, right, bottom, srcLeft, srcTop, srcRight, srcBottom, lock.get(), rop);
}

void PaintDibIntoPtr(CDC* dc, int left, int top, int right, int bottom, const void* dib, DWORD rop)
{
    if (dib)
        PaintDibStretchPtr(dc, left, top, right - left, bottom - top, dib, 0, 0, DibWidth(dib), DibHeight(dib), rop);
}

void PaintDib(CDC* dc, RECT rect, HGLOBAL dib, DWORD rop)
{
    DibLock lock(dib);
    if (lock)
        PaintDibIntoPtr(dc, rect.left, rect.top, rect.right, rect.bottom, lock.get(), rop);
}

void PaintDibAtPtr(CDC* dc, int x, int y, const void* dib)
{
    if (!dib || !dc)
        return;
    HDC hdc = dc->GetSafeHdc();
    SetStretchBltMode(hdc, COLORONCOLOR);
    if (DrawWithDrawDib(hdc, x, y, -1, -1, dib, 0, 0, -1, -1))
        return;
    LONG width = DibWidth(dib), height = DibHeight(dib);
    SetDIBitsToDevice(hdc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), DibBits(dib), Info(dib), DIB_RGB_COLORS);
}

void PaintDibAt(CDC* dc, int x, int y, HGLOBAL dib)
{
    DibLock lock(dib);
    if (lock)
        PaintDibAtPtr(dc, x, y, lock.get());
}

void PaintDibBits(CDC* dc, int left, int top, int right, int bottom, HGLOBAL header, const void* bits, DWORD rop)
{
    if (!bits || !dc)
        return;
    DibLock lock(header);
    if (!lock)
        return;
    HDC hdc = dc->GetSafeHdc();
    SetStretchBltMode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, left, top, right - left, bottom - top, 0, 0, DibWidth(lock.get()), DibHeight(lock.get()), bits,
                  Info(lock.get()), DIB_RGB_COLORS, rop);
}

BOOL PaintDibToHdc(HDC dc, const RECT* dest, HGLOBAL dib, const RECT* src, CPalette* palette)
{
    if (!dc || !dest || !src)
        return FALSE;
    DibLock lock(dib);
    if (!lock)
        return FALSE;
    HPALETTE old = nullptr;
    if (palette && palette->GetSafeHandle())
        old = SelectPalette(dc, static_cast<HPALETTE>(palette->GetSafeHandle()), TRUE);
    SetStretchBltMode(dc, COLORONCOLOR);
    const int width = dest->right - dest->left, height = dest->bottom - dest->top;
    const int srcWidth = src->right - src->left, srcHeight = src->bottom - src->top;
    int result;
    if (width == srcWidth && height == srcHeight)
        result = SetDIBitsToDevice(dc, dest->left, dest->top, static_cast<DWORD>(width), static_cast<DWORD>(height),
                                   src->left, src->top, 0, static_cast<UINT>(DibHeight(lock.get())),
                                   DibBits(lock.get()), Info(lock.get()), DIB_RGB_COLORS);
    else
        result = StretchDIBits(dc, dest->left, dest->top, width, height, src->left, src->top, srcWidth, srcHeight,
                               DibBits(lock.get()), Info(lock.get()), DIB_RGB_COLORS, SRCCOPY);
    if (old)
        SelectPalette(dc, old, TRUE);
    return result != 0 && result != static_cast<int>(GDI_ERROR);
}

void PaintDibInterlacedPtr(CDC* dc, int x, int y, const void* dib, int passes)
{
    if (!dib || !dc)
        return;
    if (passes < 1) {
        PaintDibAtPtr(dc, x, y, dib);
        return;
    }
    HDC hdc = dc->GetSafeHdc();
    const LONG width = DibWidth(dib), height = DibHeight(dib);
    const LONG step = (height + passes - 1) / passes;
    for (LONG pass = 0; pass < step; ++pass) {
        for (LONG row = pass; row < height; row += step) {
            // Row `row` from the top is scan line height - 1 - row of the bottom-up DIB.
            LONG scan = height - 1 - row;
            if (DrawWithDrawDib(hdc, x, y + row, width, 1, dib, 0, scan, width, 1))
                continue;
            SetDIBitsToDevice(hdc, x, y + row, static_cast<DWORD>(width), 1, 0, scan, 0, static_cast<UINT>(height),
                              DibBits(dib), Info(dib), DIB_RGB_COLORS);
        }
    }
}

void PaintDibInterlaced(CDC* dc, int x, int y, HGLOBAL dib, int passes)
{
    DibLock lock(dib);
    if (lock)
        PaintDibInterlacedPtr(dc, x, y, lock.get(), passes);
}

void PaintDibBanded(CDC* dc, int bandHeight, int left, int top, int right, int bottom, HGLOBAL dib)
{
    const int target = bottom - top;
    if (bandHeight >= 1 && bandHeight < target) {
        const LONG h = GetDibHeight(dib), w = GetDibWidth(dib);
        if (h <= 0)
            return;
        LONG rows = static_cast<LONG>(h / (static_cast<double>(target) / bandHeight));
        if (rows < 1)
            rows = 1;
        const double scale = static_cast<double>(target) / h;
        for (LONG y0 = 0; y0 < h; y0 += rows) {
            LONG y1 = y0 + rows < h ? y0 + rows : h;
            PaintDibRect(dc, left, top + static_cast<int>(y0 * scale), right, top + static_cast<int>(y1 * scale), 0,
                         h - y1, w, h - y0, dib, SRCCOPY);
        }
        return;
    }
    PaintDib(dc, RECT{left, top, right, bottom}, dib, SRCCOPY);
}
