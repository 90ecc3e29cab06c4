#include "image/DibSection.h"

#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/DibFile.h"
#include "image/DibPaint.h"
#include "image/DibValidate.h"

#include <commctrl.h>

#include <cstring>
#include <new>

namespace {

// The given DC, or a display DC made for the call and deleted with this object.
class DcOrDisplay
{
public:
    explicit DcOrDisplay(CDC* dc) : m_use(dc)
    {
        if (!m_use && m_display.CreateDC(L"DISPLAY", nullptr, nullptr, nullptr))
            m_use = &m_display;
    }
    CDC* get() const { return m_use; }

private:
    CDC* m_use;
    CDC m_display;
};

HDC OutputHandle(CDC* dc)
{
    return dc ? dc->m_hDC : nullptr;
}

} // namespace

void CDibSection::ReleaseHeader()
{
    delete[] m_header;
    m_header = nullptr;
    m_bits = nullptr;
}

int CDibSection::ReleaseMemDC()
{
    if (m_memDC) {
        m_memDC->DeleteDC();
        delete m_memDC;
    }
    m_memDC = nullptr;
    m_defaultBitmap = nullptr;
    m_dcMade = 0;
    return 1;
}

int CDibSection::ReleaseBitmap()
{
    if (m_bitmap) {
        // A bitmap selected into a DC cannot be deleted.
        if (m_memDC && m_defaultBitmap)
            ::SelectObject(m_memDC->m_hDC, m_defaultBitmap);
        ::DeleteObject(m_bitmap);
    }
    m_bitmap = nullptr;
    ReleaseHeader();
    return 1;
}

int CDibSection::Destroy()
{
    ReleaseMemDC();
    ReleaseBitmap();
    m_created = 0;
    return 1;
}

bool CDibSection::BuildSection(CDC* dc, int width, int height, int bitCount, const RGBQUAD* table)
{
    ReleaseBitmap();
    m_bitCount = bitCount;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    if (!CheckDibHeader(header))
        return false;
    header.biSizeImage = CalcDibImageSize(width, height, static_cast<WORD>(bitCount));
    const int entries = bitCount <= 8 ? 1 << bitCount : 0;
    m_header = new (std::nothrow) BYTE[sizeof(header) + entries * sizeof(RGBQUAD)];
    if (!m_header)
        return false;
    std::memcpy(m_header, &header, sizeof(header));
    auto* quads = reinterpret_cast<RGBQUAD*>(m_header + sizeof(header));
    if (table) {
        std::memcpy(quads, table, entries * sizeof(RGBQUAD));
    } else if (entries > 1) {
        int step = 256 / (entries - 1);
        for (int i = 0; i < entries; ++i) {
            BYTE grey = static_cast<BYTE>(i * step > 255 ? 255 : i * step);
            quads[i] = RGBQUAD{grey, grey, grey, 0};
        }
    }
    m_bitmap = ::CreateDIBSection(OutputHandle(dc), reinterpret_cast<BITMAPINFO*>(m_header), DIB_RGB_COLORS, &m_bits,
                                  nullptr, 0);
    if (!m_bitmap) {
        ReleaseHeader();
        return false;
    }
    return true;
}

bool CDibSection::MakeMemDC(CDC* dc)
{
    ReleaseMemDC();
    m_memDC = new (std::nothrow) CDC;
    if (!m_memDC)
        return false;
    if (!m_memDC->CreateCompatibleDC(dc)) {
        delete m_memDC;
        m_memDC = nullptr;
        return false;
    }
    m_defaultBitmap = m_bitmap ? ::SelectObject(m_memDC->m_hDC, m_bitmap) : nullptr;
    m_dcMade = 1;
    return true;
}

bool CDibSection::EnsureMemDC(CDC* target)
{
    if (m_memDC)
        return true;
    if (!MakeMemDC(target))
        return false;
    m_created = 1;
    return true;
}

BYTE CDibSection::Recreate(CDC* dc, int width, int height, int bitCount, COLORREF colour)
{
    if (width == 0 && height == 0)
        return 0;
    DcOrDisplay use(dc);
    Destroy();
    if (BuildSection(use.get(), width, height, bitCount, nullptr) && MakeMemDC(use.get())) {
        m_created = 1;
        if (colour != 0) {
            RECT all = {0, 0, width + 1, height + 1};
            Fill(&all, colour);
        }
    } else {
        // Nothing half-made stays behind.
        Destroy();
    }
    return m_created;
}

BYTE CDibSection::Create(CDC* dc, int width, int height, int bitCount, COLORREF colour)
{
    if (width == 0 && height == 0)
        return 0;
    if (m_created && m_bitmap && m_bitCount == bitCount) {
        CSize size = GetSize();
        if (size.cx == width && size.cy == height)
            return Fill(nullptr, colour) ? 1 : 0;
    }
    return Recreate(dc, width, height, bitCount, colour);
}

BYTE CDibSection::Create24(CDC* dc, int width, int height, COLORREF colour)
{
    return Create(dc, width, height, 24, colour);
}

BYTE CDibSection::CreateLikeDib(CDC* dc, HGLOBAL dib, int width, int height)
{
    DibLock lock(dib);
    if (!lock)
        return 0;
    const void* packed = lock.get();
    if (width == 0 && height == 0) {
        width = DibWidth(packed);
        height = DibHeight(packed);
    }
    const WORD bits = DibBitCount(packed);
    RGBQUAD table[256] = {};
    const RGBQUAD* useTable = nullptr;
    if (bits <= 8 && DibColorCount(packed) > 0) {
        DWORD count = DibColorCount(packed);
        DWORD limit = 1u << bits;
        for (DWORD i = 0; i < count && i < limit; ++i) {
            COLORREF c = GetDibColorEntry(packed, static_cast<int>(i));
            table[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
        useTable = table;
    }
    DcOrDisplay use(dc);
    Destroy();
    if (BuildSection(use.get(), width, height, bits, useTable) && MakeMemDC(use.get()))
        m_created = 1;
    else
        Destroy();
    return m_created;
}

BYTE CDibSection::CreateFromDib(CDC* dc, HGLOBAL dib)
{
    DibLock lock(dib);
    if (!lock)
        return 0;
    DcOrDisplay use(dc);
    Destroy();
    const BYTE* packed = lock.get();
    m_bitmap = ::CreateDIBitmap(OutputHandle(use.get()), reinterpret_cast<const BITMAPINFOHEADER*>(packed), CBM_INIT,
                                DibBits(packed), reinterpret_cast<const BITMAPINFO*>(packed), DIB_RGB_COLORS);
    if (m_bitmap && MakeMemDC(use.get()))
        m_created = 1;
    else
        Destroy();
    return m_created;
}

CSize CDibSection::GetSize() const
{
    BITMAP info = {};
    if (!m_bitmap || !::GetObjectW(m_bitmap, sizeof(info), &info))
        return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

bool CDibSection::Fill(const RECT* rect, COLORREF colour)
{
    if (!m_created || !m_memDC)
        return false;
    CRect area;
    if (rect) {
        area = *rect;
    } else {
        CSize size = GetSize();
        area.SetRect(0, 0, size.cx + 1, size.cy + 1);
    }
    m_memDC->FillSolidRect(&area, colour);
    return true;
}

bool CDibSection::Draw(CDC* target, int x, int y, DWORD rop)
{
    if (!target || !EnsureMemDC(target))
        return false;
    CSize size = GetSize();
    bool done = target->BitBlt(x, y, size.cx, size.cy, m_memDC, 0, 0, rop) != FALSE;
    ::GdiFlush();
    return done;
}

bool CDibSection::DrawRect(CDC* target, int left, int top, int right, int bottom, int srcX, int srcY, DWORD rop)
{
    if (!target || !EnsureMemDC(target))
        return false;
    bool done = target->BitBlt(left, top, right - left, bottom - top, m_memDC, srcX, srcY, rop) != FALSE;
    ::GdiFlush();
    return done;
}

bool CDibSection::StretchDraw(CDC* target, int left, int top, int right, int bottom, DWORD rop)
{
    if (!target || !EnsureMemDC(target))
        return false;
    CSize size = GetSize();
    target->SetStretchBltMode(COLORONCOLOR);
    bool done =
        target->StretchBlt(left, top, right - left, bottom - top, m_memDC, 0, 0, size.cx, size.cy, rop) != FALSE;
    ::GdiFlush();
    return done;
}

void CDibSection::PutDib(HGLOBAL dib, int x, int y, DWORD rop)
{
    if (!m_created || !m_memDC || !dib)
        return;
    RECT rect = {x, y, x + GetDibWidth(dib), y + GetDibHeight(dib)};
    PaintDib(m_memDC, rect, dib, rop);
    ::GdiFlush();
}

void CDibSection::PutDibRect(HGLOBAL dib, const RECT& rect, DWORD rop)
{
    if (!m_created || !m_memDC || !dib)
        return;
    PaintDib(m_memDC, rect, dib, rop);
    ::GdiFlush();
}

void CDibSection::PutDibSized(HGLOBAL dib, int width, int height, DWORD rop)
{
    PutDibRect(dib, RECT{0, 0, width, height}, rop);
}

HGLOBAL CDibSection::ToPackedDib()
{
    if (m_bits && m_header && reinterpret_cast<BITMAPINFOHEADER*>(m_header)->biBitCount == 24) {
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(m_header);
        SIZE_T image = header->biSizeImage;
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + image);
        BYTE* to = block ? static_cast<BYTE*>(::GlobalLock(block)) : nullptr;
        if (!to) {
            if (block)
                ::GlobalFree(block);
            return nullptr;
        }
        std::memcpy(to, header, sizeof(BITMAPINFOHEADER));
        std::memcpy(to + sizeof(BITMAPINFOHEADER), m_bits, image);
        ::GlobalUnlock(block);
        return block;
    }
    if (!m_memDC) {
        DcOrDisplay display(nullptr);
        if (MakeMemDC(display.get()))
            m_created = 1;
    }
    if (!m_created || !m_memDC || !m_bitmap)
        return nullptr;
    return BitmapToDibOnDc(m_memDC->m_hDC, m_bitmap, BI_RGB);
}

int CDibSection::LoadResourceBitmap(UINT id)
{
    ReleaseBitmap();
    m_bitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    // A memory DC kept from before shows the new bitmap.
    if (m_memDC && m_bitmap) {
        HGDIOBJ previous = ::SelectObject(m_memDC->m_hDC, m_bitmap);
        if (!m_defaultBitmap)
            m_defaultBitmap = previous;
    }
    return 1;
}

int CDibSection::LoadBitmapAndDraw(CDC* target, UINT id, int x, int y, DWORD rop)
{
    LoadResourceBitmap(id);
    Draw(target, x, y, rop);
    return 1;
}

int CDibSection::LoadBitmapAndStretch(CDC* target, UINT id, const RECT& rect, DWORD rop)
{
    LoadResourceBitmap(id);
    StretchDraw(target, rect.left, rect.top, rect.right, rect.bottom, rop);
    ReleaseMemDC();
    return 1;
}

int CDibSection::LoadBmp(CFile* file, CDC* dc)
{
    HGLOBAL dib = ReadBmp(file);
    if (!dib)
        return -1;
    BYTE created = CreateFromDib(dc, dib);
    ::GlobalFree(dib);
    return created ? 0 : -1;
}

int CDibSection::LoadBmpFile(LPCWSTR path, CDC* dc)
{
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return -1;
    return LoadBmp(&file, dc);
}

int CDibSection::SaveBmp(CFile* file)
{
    HGLOBAL dib = ToPackedDib();
    if (!dib)
        return -1;
    bool written = WriteBmp(file, dib);
    ::GlobalFree(dib);
    return written ? 0 : -1;
}

int CDibSection::SaveBmpFile(LPCWSTR path)
{
    HGLOBAL dib = ToPackedDib();
    if (!dib)
        return -1;
    int result = -1;
    bool opened = false;
    try {
        CFile file;
        if (path && file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
            opened = true;
            result = WriteBmp(&file, dib) ? 0 : -1;
            file.Close();
        }
    } catch (CFileException* e) {
        e->Delete();
        result = -1;
    }
    ::GlobalFree(dib);
    // A failed write leaves no partial file.
    if (result != 0 && opened)
        ::DeleteFileW(path);
    return result;
}

int CDibSection::MakeMask(HGLOBAL dib, COLORREF colour)
{
    DibLock lock(dib);
    if (!lock)
        return 0;
    const void* packed = lock.get();
    const LONG width = DibWidth(packed), height = DibHeight(packed);
    HGLOBAL mask = CreateDib(width, height, 1);
    DibLock maskLock(mask);
    if (!maskLock) {
        if (mask)
            ::GlobalFree(mask);
        return 0;
    }
    auto* maskTable = reinterpret_cast<RGBQUAD*>(maskLock.get() + sizeof(BITMAPINFOHEADER));
    maskTable[0] = RGBQUAD{0, 0, 0, 0};
    maskTable[1] = RGBQUAD{255, 255, 255, 0};
    BYTE* maskBits = DibBits(maskLock.get());
    const DWORD maskRow = DibRowSize(maskLock.get());
    std::memset(maskBits, 0, static_cast<size_t>(maskRow) * height);

    const WORD bits = DibBitCount(packed);
    if (bits == 1 || bits == 4 || bits == 8) {
        // Only the entries the table holds are compared.
        bool transparent[256] = {};
        int entries = static_cast<int>(DibColorCount(packed));
        if (entries > (1 << bits))
            entries = 1 << bits;
        if (static_cast<LONG>(colour) < 0) {
            int index = -static_cast<LONG>(colour) - 1;
            if (index < 256)
                transparent[index] = true;
        } else {
            for (int i = 0; i < entries; ++i) {
                COLORREF entry = GetDibColorEntry(packed, i);
                transparent[i] = (entry & 0xFFFFFF) == (colour & 0xFFFFFF);
            }
        }
        const BYTE* pixels = DibBits(packed);
        const DWORD row = DibRowSize(packed);
        for (LONG y = 0; y < height; ++y) {
            const BYTE* line = pixels + static_cast<size_t>(y) * row;
            BYTE* out = maskBits + static_cast<size_t>(y) * maskRow;
            for (LONG x = 0; x < width; ++x) {
                if (!transparent[GetPackedIndex(line, x, bits)])
                    SetPackedIndex(out, x, 1, 1);
            }
        }
    }
    GlobalUnlock(mask);
    BYTE made = CreateLikeDib(nullptr, mask, 0, 0);
    if (made && m_bits) {
        DibLock again(mask);
        std::memcpy(m_bits, DibBits(again.get()), static_cast<size_t>(maskRow) * height);
        ::GdiFlush();
    }
    ::GlobalFree(mask);
    return 1;
}

int CDibSection::DrawDibMasked(HGLOBAL dib, COLORREF maskColour, int x, int y)
{
    if (!m_memDC || !dib)
        return 0;
    const LONG width = GetDibWidth(dib), height = GetDibHeight(dib);
    CBitmap copy;
    CPalette palette;
    DcOrDisplay display(nullptr);
    if (!display.get() || !DibToDdb(&copy, &palette, display.get(), dib, 0, 0, width, height))
        return 0;
    // The list needs a mask of its own for the colour to be left out.
    CImageList list;
    if (list.Create(width, height, ILC_COLOR24 | ILC_MASK, 0, 1)) {
        HIMAGELIST handle = list.GetSafeHandle();
        if (::ImageList_AddMasked(handle, static_cast<HBITMAP>(copy.GetSafeHandle()), maskColour) >= 0)
            ::ImageList_Draw(handle, 0, m_memDC->m_hDC, x, y, ILD_TRANSPARENT);
        list.DeleteImageList();
    }
    ::GdiFlush();
    return 0;
}

void PaintDibTransparent(CDC* target, HGLOBAL dib, COLORREF colour, int x, int y)
{
    CDibSection mask;
    mask.MakeMask(dib, colour);
    if (!mask.IsCreated())
        return;
    CSize size = mask.GetSize();
    CDibSection picture;
    if (!picture.Create(nullptr, size.cx, size.cy, 24, 0))
        return;
    picture.PutDib(dib, 0, 0, SRCCOPY);
    ::GdiFlush();
    CDC* pictureDC = picture.GetMemDC();
    pictureDC->SetTextColor(RGB(0, 0, 0));
    pictureDC->SetBkColor(RGB(255, 255, 255));
    pictureDC->BitBlt(0, 0, size.cx, size.cy, mask.GetMemDC(), 0, 0, SRCAND);
    if (target) {
        // The mask is converted with the target's text and background colours: black and white
        // for the blits, whatever the caller left there.
        COLORREF text = target->SetTextColor(RGB(0, 0, 0));
        COLORREF back = target->SetBkColor(RGB(255, 255, 255));
        target->BitBlt(x, y, size.cx, size.cy, mask.GetMemDC(), 0, 0, 0x220326);
        target->BitBlt(x, y, size.cx, size.cy, pictureDC, 0, 0, SRCPAINT);
        ::GdiFlush();
        target->SetTextColor(text);
        target->SetBkColor(back);
    }
}
