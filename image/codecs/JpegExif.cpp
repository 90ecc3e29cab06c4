#include "image/codecs/JpegExif.h"

#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibValidate.h"
#include "image/codecs/JpegMemory.h"

#include <algorithm>
#include <cstring>

namespace {

const BYTE kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
const WORD kTypeShort = 3, kTypeLong = 4, kTypeIfd = 13;
const WORD kTagImageWidth = 0x0100, kTagImageLength = 0x0101, kTagOrientation = 0x0112, kTagExifIfd = 0x8769;
const WORD kTagPixelX = 0xA002, kTagPixelY = 0xA003;

// The TIFF structure inside the block, read and written in its own byte order, every access
// checked against its end.
class TiffView
{
public:
    TiffView(BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Open()
    {
        if (m_size < 8)
            return false;
        if (m_data[0] == 'I' && m_data[1] == 'I')
            m_little = true;
        else if (m_data[0] == 'M' && m_data[1] == 'M')
            m_little = false;
        else
            return false;
        WORD magic = 0;
        return Read16(2, magic) && magic == 42;
    }
    bool Read16(size_t at, WORD& value) const
    {
        if (at > m_size || m_size - at < 2)
            return false;
        value = m_little ? static_cast<WORD>(m_data[at] | m_data[at + 1] << 8)
                         : static_cast<WORD>(m_data[at] << 8 | m_data[at + 1]);
        return true;
    }
    bool Read32(size_t at, DWORD& value) const
    {
        WORD a = 0, b = 0;
        if (!Read16(at, a) || !Read16(at + 2, b))
            return false;
        value = m_little ? static_cast<DWORD>(b) << 16 | a : static_cast<DWORD>(a) << 16 | b;
        return true;
    }
    void Write16(size_t at, WORD value)
    {
        m_data[at] = static_cast<BYTE>(m_little ? value : value >> 8);
        m_data[at + 1] = static_cast<BYTE>(m_little ? value >> 8 : value);
    }
    void Write32(size_t at, DWORD value)
    {
        Write16(at + (m_little ? 0 : 2), static_cast<WORD>(value));
        Write16(at + (m_little ? 2 : 0), static_cast<WORD>(value >> 16));
    }
    size_t Size() const { return m_size; }

private:
    BYTE* m_data;
    size_t m_size;
    bool m_little = true;
};

// One change to make once the whole structure has been followed.
struct Patch
{
    size_t at;
    DWORD value;
    bool wide;
};

// The entries of the directory at the offset: where each one starts, and where the link to the
// next directory lies. False when the directory does not fit the block.
bool ReadDirectory(const TiffView& tiff, DWORD offset, std::vector<size_t>& entries, size_t& link)
{
    WORD count = 0;
    if (offset < 8 || !tiff.Read16(offset, count))
        return false;
    const size_t first = static_cast<size_t>(offset) + 2;
    link = first + static_cast<size_t>(count) * 12;
    if (link > tiff.Size() || tiff.Size() - link < 4)
        return false;
    entries.clear();
    for (WORD i = 0; i < count; ++i)
        entries.push_back(first + static_cast<size_t>(i) * 12);
    return true;
}

// A size value set in an entry of one value, SHORT or LONG; other entries are left alone.
void SizeEntry(const TiffView& tiff, size_t entry, LONG value, std::vector<Patch>& patches)
{
    WORD type = 0;
    DWORD count = 0;
    if (!tiff.Read16(entry + 2, type) || !tiff.Read32(entry + 4, count) || count != 1)
        return;
    if (type == kTypeShort)
        patches.push_back({entry + 8, static_cast<DWORD>(std::clamp<LONG>(value, 0, 0xFFFF)), false});
    else if (type == kTypeLong)
        patches.push_back({entry + 8, static_cast<DWORD>(std::max<LONG>(value, 0)), true});
}

} // namespace

std::vector<BYTE> FindJpegExif(const BYTE* data, size_t size)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return {};
    size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            break;
        const BYTE marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        // Markers without a length.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            pos += 2;
            continue;
        }
        // The picture's data or its end: the markers are over.
        if (marker == 0xDA || marker == 0xD9)
            break;
        const size_t length = static_cast<size_t>(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || length > size - pos - 2)
            break;
        const BYTE* payload = data + pos + 4;
        if (marker == 0xE1 && length - 2 > sizeof(kExifHeader) &&
            std::memcmp(payload, kExifHeader, sizeof(kExifHeader)) == 0)
            return std::vector<BYTE>(payload, payload + length - 2);
        pos += 2 + length;
    }
    return {};
}

bool FitExifToPixels(std::vector<BYTE>& exif, LONG width, LONG height, bool turned)
{
    if (exif.size() < sizeof(kExifHeader) || std::memcmp(exif.data(), kExifHeader, sizeof(kExifHeader)) != 0)
        return false;
    TiffView tiff(exif.data() + sizeof(kExifHeader), exif.size() - sizeof(kExifHeader));
    DWORD first = 0;
    std::vector<size_t> entries;
    size_t link = 0;
    if (!tiff.Open() || !tiff.Read32(4, first) || !ReadDirectory(tiff, first, entries, link))
        return false;
    std::vector<Patch> patches;
    DWORD exifOffset = 0;
    for (size_t entry : entries) {
        WORD tag = 0, type = 0;
        DWORD count = 0;
        if (!tiff.Read16(entry, tag) || !tiff.Read16(entry + 2, type) || !tiff.Read32(entry + 4, count))
            return false;
        if (tag == kTagOrientation && turned && type == kTypeShort && count == 1)
            patches.push_back({entry + 8, 1, false});
        else if (tag == kTagImageWidth)
            SizeEntry(tiff, entry, width, patches);
        else if (tag == kTagImageLength)
            SizeEntry(tiff, entry, height, patches);
        else if (tag == kTagExifIfd && (type == kTypeLong || type == kTypeIfd) && count == 1 &&
                 !tiff.Read32(entry + 8, exifOffset))
            return false;
    }
    // The thumbnail (the next directory) still shows the pixels as they were.
    if (turned)
        patches.push_back({link, 0, true});
    if (exifOffset != 0) {
        std::vector<size_t> exifEntries;
        size_t exifLink = 0;
        if (!ReadDirectory(tiff, exifOffset, exifEntries, exifLink))
            return false;
        for (size_t entry : exifEntries) {
            WORD tag = 0;
            if (!tiff.Read16(entry, tag))
                return false;
            if (tag == kTagPixelX)
                SizeEntry(tiff, entry, width, patches);
            else if (tag == kTagPixelY)
                SizeEntry(tiff, entry, height, patches);
        }
    }
    for (const Patch& patch : patches) {
        if (patch.wide)
            tiff.Write32(patch.at, patch.value);
        else
            tiff.Write16(patch.at, static_cast<WORD>(patch.value));
    }
    return true;
}

int SaveDibAsJpegWithExif(const wchar_t* path, HGLOBAL dib, int quality, int progressive, const std::vector<BYTE>& exif)
{
    if (!path || !dib)
        return 3;
    // The encoder takes 24-bit rows as they stand.
    GlobalBlock wide;
    HGLOBAL rows = dib;
    if (GetDibBitCount(dib) != 24) {
        wide.reset(MakeDib24(dib));
        if (!wide || wide.get() == dib) {
            wide.release();
            return 3;
        }
        rows = wide.get();
    }
    DibLock lock(rows);
    DibLayout layout;
    if (!lock || !CheckDibHeader(*lock.header(), &layout) || GlobalSize(rows) < layout.totalBytes)
        return 3;
    const LONG width = DibWidth(lock.get()), height = DibHeight(lock.get());
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return 3;
    JpegEncodeSettings settings;
    settings.quality = static_cast<BYTE>(static_cast<DWORD>(quality));
    settings.progressive = progressive != 0;
    settings.exif = exif.empty() ? nullptr : exif.data();
    settings.exifSize = exif.size();
    return JpegEncodeToFile(lock.get(), settings, path) == 0 ? 0 : 3;
}
