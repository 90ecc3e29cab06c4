#include "catalogue/VyxCacheThumbs.h"

#include "catalogue/VyxConfig.h"
#include "catalogue/VyxFilexDraw.h"
#include "foundation/VyxGlobalErrorException.h"
#include "image/DibCore.h"
#include "image/DibValidate.h"
#include "image/codecs/JpegMemory.h"
#include "image/plugins/Spi.h"

#include <cstring>
#include <new>
#include <utility>

IMPLEMENT_DYNAMIC(VyxCacheThumbs, CObject)

namespace {

DWORD ReadDword(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

int ReadInt(const BYTE* p)
{
    return static_cast<int>(ReadDword(p));
}

// UTF-16LE up to the first zero inside the field; false when longer than a record holds.
bool ReadWideText(const BYTE* value, DWORD length, CString& out)
{
    DWORD count = length / 2, n = 0;
    while (n < count && (value[2 * n] | value[2 * n + 1]))
        ++n;
    if (n > VyxCacheThumbs::MaxText)
        return false;
    CString text;
    wchar_t* buffer = text.GetBuffer(static_cast<int>(n) + 1);
    for (DWORD i = 0; i < n; ++i)
        buffer[i] = static_cast<wchar_t>(value[2 * i] | value[2 * i + 1] << 8);
    text.ReleaseBuffer(static_cast<int>(n));
    out = std::move(text);
    return true;
}

// The older 8-bit form, in the ANSI code page.
bool ReadAnsiText(const BYTE* value, DWORD length, CString& out)
{
    DWORD n = 0;
    while (n < length && value[n])
        ++n;
    if (n == 0) {
        out.Empty();
        return true;
    }
    const char* bytes = reinterpret_cast<const char*>(value);
    int wide = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), nullptr, 0);
    if (wide <= 0 || wide > VyxCacheThumbs::MaxText)
        return false;
    CString text;
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), text.GetBuffer(wide + 1), wide);
    text.ReleaseBuffer(wide);
    out = std::move(text);
    return true;
}

CString* TextField(VyxCacheThumbs& record, int tag)
{
    switch (tag) {
    case 1001:
    case 2001:
        return &record.m_fileName;
    case 1002:
    case 2002:
        return &record.m_loaderName;
    case 1003:
    case 2003:
        return &record.m_archiveFileName;
    case 1004:
    case 2004:
        return &record.m_archiveLoaderName;
    case 1005:
    case 2005:
        return &record.m_memberPath;
    default:
        return nullptr;
    }
}

bool Fits(const CString& text)
{
    return text.GetLength() <= VyxCacheThumbs::MaxText;
}

} // namespace

VyxCacheThumbs::VyxCacheThumbs() : m_ownsImage(false), m_image(nullptr), m_imageAway(false)
{
    Clear();
}

VyxCacheThumbs::VyxCacheThumbs(const VyxCacheThumbs& other) : m_ownsImage(false), m_image(nullptr), m_imageAway(false)
{
    Clear();
    CopyFrom(other);
}

VyxCacheThumbs& VyxCacheThumbs::operator=(const VyxCacheThumbs& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

VyxCacheThumbs::~VyxCacheThumbs()
{
    ReleaseImage();
}

void VyxCacheThumbs::Clear()
{
    ReleaseImage();
    m_imageKind = ImageNone;
    m_imageLength = 0;
    m_fileSize = 0;
    m_fileTime = 0;
    m_fileName.Empty();
    m_loaderName.Empty();
    m_memberPath.Empty();
    m_cellSize = m_boxSize = m_margin = SIZE{0, 0};
    m_width = m_height = m_bitCount = 0;
    m_archiveFileName.Empty();
    m_archiveLoaderName.Empty();
    m_font.reset();
    m_frameShown = m_nameShown = m_nameFrameShown = m_scaled = m_sharpened = 0;
    m_frameEdge = 1;
    m_nameFrameEdge = 2;
    m_kind = -1;
    m_unusable = false;
    m_releaseWhenWritten = false;
    m_place = PlaceNone;
    m_placeLength = m_placeImage = 0;
    m_placeOffset = 0;
}

void VyxCacheThumbs::CopyFrom(const VyxCacheThumbs& other)
{
    // Copied first: other may refer to bytes this record is about to release.
    if (other.HasImageBytes()) {
        if (!SetImage(other.m_imageKind, other.m_image, other.m_imageLength))
            ThrowGlobalError(VyxGlobalErrorException::Create("VyxCacheThumbs", __LINE__, "VyxCacheThumbs::Copy"), -2,
                             L"out of memory: %d", static_cast<int>(other.m_imageLength));
    } else {
        ReleaseImage();
    }
    m_imageKind = other.m_imageKind;
    m_imageLength = other.m_imageLength;
    m_fileSize = other.m_fileSize;
    m_fileTime = other.m_fileTime;
    m_fileName = other.m_fileName;
    m_loaderName = other.m_loaderName;
    m_memberPath = other.m_memberPath;
    m_cellSize = other.m_cellSize;
    m_boxSize = other.m_boxSize;
    m_margin = other.m_margin;
    m_width = other.m_width;
    m_height = other.m_height;
    m_bitCount = other.m_bitCount;
    m_archiveFileName = other.m_archiveFileName;
    m_archiveLoaderName = other.m_archiveLoaderName;
    if (other.m_font)
        SetFont(*other.m_font);
    else
        m_font.reset();
    m_frameShown = other.m_frameShown;
    m_nameShown = other.m_nameShown;
    m_nameFrameShown = other.m_nameFrameShown;
    m_scaled = other.m_scaled;
    m_sharpened = other.m_sharpened;
    m_frameEdge = other.m_frameEdge;
    m_nameFrameEdge = other.m_nameFrameEdge;
    m_kind = other.m_kind;
    m_unusable = other.m_unusable;
    m_releaseWhenWritten = false;
    // A place belongs to the file of the record copied, not to wherever the copy goes.
    m_place = PlaceNone;
    m_placeLength = m_placeImage = 0;
    m_placeOffset = 0;
}

bool VyxCacheThumbs::SetImage(int kind, const BYTE* bytes, DWORD length)
{
    BYTE* copy = nullptr;
    if (bytes && length > 0) {
        copy = new (std::nothrow) BYTE[length];
        if (!copy)
            return false;
        std::memcpy(copy, bytes, length);
    }
    ReleaseImage();
    m_image = copy;
    m_ownsImage = copy != nullptr;
    m_imageKind = kind;
    m_imageLength = copy ? length : 0;
    m_place = PlaceNone;
    return true;
}

void VyxCacheThumbs::ReleaseImage()
{
    if (m_ownsImage)
        delete[] m_image;
    m_image = nullptr;
    m_ownsImage = false;
    m_releaseWhenWritten = false;
    m_imageAway = false;
}

void VyxCacheThumbs::DropImage()
{
    ReleaseImage();
    m_imageKind = ImageNone;
    m_imageLength = 0;
    m_place = PlaceNone;
}

void VyxCacheThumbs::ReferImage(int kind, const BYTE* bytes, DWORD length)
{
    ReleaseImage();
    m_imageKind = kind;
    m_image = bytes;
    m_imageLength = length;
}

void VyxCacheThumbs::ParseField(int tag, const BYTE* value, DWORD length)
{
    if (CString* text = TextField(*this, tag)) {
        bool read = tag >= 2001 ? ReadWideText(value, length, *text) : ReadAnsiText(value, length, *text);
        if (!read)
            m_unusable = true;
        return;
    }
    switch (tag) {
    case 1006:
    case 1007:
        if (length >= 8) {
            ULONGLONG wide = ReadDword(value) | static_cast<ULONGLONG>(ReadDword(value + 4)) << 32;
            if (tag == 1006)
                m_fileSize = wide;
            else
                m_fileTime = static_cast<long long>(wide);
        }
        break;
    case 1012:
    case 1013:
    case 1023:
        if (length >= 8) {
            SIZE size = {ReadInt(value), ReadInt(value + 4)};
            (tag == 1012 ? m_cellSize : tag == 1013 ? m_boxSize : m_margin) = size;
        }
        break;
    case 1008:
    case 1009:
    case 1010:
    case 1020:
    case 1021:
    case 1025:
        if (length >= 4) {
            int number = ReadInt(value);
            (tag == 1008   ? m_width
             : tag == 1009 ? m_height
             : tag == 1010 ? m_bitCount
             : tag == 1020 ? m_frameEdge
             : tag == 1021 ? m_nameFrameEdge
                           : m_kind) = number;
        }
        break;
    case 1014:
        if (length >= sizeof(LOGFONTW)) {
            LOGFONTW font;
            std::memcpy(&font, value, sizeof(font));
            font.lfFaceName[LF_FACESIZE - 1] = 0;
            SetFont(font);
        }
        break;
    case 1015:
    case 1016:
    case 1017:
    case 1018:
    case 1019:
        if (length >= 1) {
            BYTE* flags[] = {&m_frameShown, &m_nameShown, &m_nameFrameShown, &m_scaled, &m_sharpened};
            *flags[tag - 1015] = value[0];
        }
        break;
    case ImageJpeg:
    case ImageDib:
        ReferImage(tag, value, length);
        break;
    default:
        break;
    }
}

bool VyxCacheThumbs::BuildFromItem(const VyxFilexDraw& item)
{
    CString memberPath = item.IsArchiveMember() ? item.GetPath() : CString();
    CString loaderName = theSPImapIndex.GetPluginFileName(item.GetLoaderId(), SPImapIndex::KindImage);
    CString archiveLoaderName = theSPImapIndex.GetPluginFileName(item.GetArchivePluginId(), SPImapIndex::KindArchive);
    if (!Fits(item.GetFileName()) || !Fits(memberPath) || !Fits(loaderName) || !Fits(item.GetArchiveFileName()) ||
        !Fits(archiveLoaderName))
        return false;
    m_fileName = item.GetFileName();
    m_fileTime = item.GetFileTime();
    m_fileSize = item.GetFileSize();
    m_memberPath = memberPath;
    m_width = item.GetWidth();
    m_height = item.GetHeight();
    m_bitCount = item.GetBitCount();
    m_cellSize = item.GetCellSize();
    m_boxSize = item.GetBoxSize();
    m_margin = item.GetMarginSize();
    m_loaderName = loaderName;
    m_archiveFileName = item.GetArchiveFileName();
    m_archiveLoaderName = archiveLoaderName;
    SetFont(item.GetFont());
    m_frameShown = item.GetFrame() ? 1 : 0;
    m_nameShown = item.GetNameMode() != 0 ? 1 : 0;
    m_nameFrameShown = item.GetNameFrame() ? 1 : 0;
    m_scaled = item.GetThumbScaleMode() != 0 ? 1 : 0;
    m_sharpened = item.GetThumbUnsharp() ? 1 : 0;
    m_frameEdge = item.GetFrameEdge();
    m_nameFrameEdge = item.GetNameFrameEdge();
    m_kind = item.GetKind();
    return true;
}

bool VyxCacheThumbs::Matches(const wchar_t* fileName, const wchar_t* memberPath) const
{
    if (m_fileName.CompareNoCase(fileName) != 0)
        return false;
    return m_memberPath.IsEmpty() || m_memberPath.CompareNoCase(memberPath) == 0;
}

const LOGFONTW& VyxCacheThumbs::GetFont() const
{
    static const LOGFONTW none = {};
    return m_font ? *m_font : none;
}

void VyxCacheThumbs::SetFont(const LOGFONTW& font)
{
    if (!m_font)
        m_font = std::make_unique<LOGFONTW>();
    *m_font = font;
}

VyxCacheThumbsArray::~VyxCacheThumbsArray()
{
    DeleteAll();
}

void VyxCacheThumbsArray::DeleteAll()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete GetRecord(i);
    RemoveAll();
}

bool VyxCacheThumbs::SizesFit() const
{
    // A cell is its box with a margin and a padding on either side, each no wider than a cell.
    const LONG largestBox = VyxConfig::MaxCellSide, largestCell = 5 * largestBox;
    auto within = [](LONG value, LONG high) { return value >= 0 && value <= high; };
    return m_width >= 0 && m_height >= 0 && within(m_bitCount, 64) && within(m_boxSize.cx, largestBox) &&
           within(m_boxSize.cy, largestBox) && within(m_cellSize.cx, largestCell) && within(m_cellSize.cy, largestCell);
}

HGLOBAL VyxCacheThumbs::DecodeImage() const
{
    return HasImageBytes() ? DecodeImage(m_image) : nullptr;
}

HGLOBAL VyxCacheThumbs::DecodeImage(const BYTE* image) const
{
    if (!image || m_imageLength == 0)
        return nullptr;
    // A thumbnail was fitted into its box: a larger picture is no thumbnail, and decoding it
    // would cost the memory of a whole picture for every cell.
    const LONG largest = VyxConfig::MaxCellSide;
    const LONG boxX = m_boxSize.cx > 0 ? m_boxSize.cx : largest;
    const LONG boxY = m_boxSize.cy > 0 ? m_boxSize.cy : largest;
    if (m_imageKind == ImageJpeg) {
        // The image library's JPEG decode itself: the same picture the CxImage layer would give,
        // without its copy of it. The box is checked on the header the decode reads anyway.
        const SIZE box = {boxX, boxY};
        HGLOBAL dib = nullptr;
        return JpegDecodeDib(image, m_imageLength, 1, &dib, nullptr, &box) == 0 ? dib : nullptr;
    }
    LONG width = 0;
    LONGLONG rows = 0;
    if (m_imageKind == ImageDib && m_imageLength >= sizeof(BITMAPCOREHEADER) && m_imageLength >= DibHeaderSize(image)) {
        width = DibWidth(image);
        rows = DibHeight(image);
        rows = rows < 0 ? -rows : rows;
    }
    if (width > boxX || rows > boxY)
        return nullptr;
    // Bytes from a file: they pass the same gate as any other picture from outside.
    return m_imageKind == ImageDib ? NormalizeDib(image, m_imageLength) : nullptr;
}
