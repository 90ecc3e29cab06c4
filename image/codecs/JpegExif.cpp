#include "image/codecs/JpegExif.h"

#include <libexif/exif-format.h>
#include <libexif/exif-tag.h>
#include <libexif/exif-utils.h>

#include <algorithm>
#include <cstring>

// The block is changed where it stands rather than rebuilt through the Exif library: maker notes
// address their own values by offsets into the block that the library cannot know, and a rebuilt
// block moves them. Only values are written, entries taken out and the thumbnail cut off the end.

namespace {

const BYTE kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
// The TIFF type of a directory offset, which the Exif library's formats do not name.
const WORD kFormatIfd = 13;
const WORD kTagInteroperability = 0xA005;

struct Range
{
    size_t begin, end;
};

// One entry of a directory as it stands in the block.
struct Entry
{
    size_t at; // where its 12 bytes start
    WORD tag, type;
    DWORD count;
    size_t value; // where its value lies (in the entry itself when it fits there)
    size_t size;  // the value's bytes; 0 when its type is unknown
    bool inside;  // the value lies wholly inside the block
};

// The TIFF structure inside the block, read and written in its own byte order through the Exif
// library's helpers, every access checked against its end.
class ExifPatcher
{
public:
    ExifPatcher(BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Open()
    {
        if (m_size < 8)
            return false;
        if (m_data[0] == 'I' && m_data[1] == 'I')
            m_order = EXIF_BYTE_ORDER_INTEL;
        else if (m_data[0] == 'M' && m_data[1] == 'M')
            m_order = EXIF_BYTE_ORDER_MOTOROLA;
        else
            return false;
        return exif_get_short(m_data + 2, m_order) == 42;
    }

    WORD Short(size_t at) const { return exif_get_short(m_data + at, m_order); }
    DWORD Long(size_t at) const { return exif_get_long(m_data + at, m_order); }
    bool Fits(size_t at, size_t bytes) const { return at <= m_size && m_size - at >= bytes; }

    // The directory at the offset: false when its table and link do not fit the block.
    bool Directory(DWORD offset, std::vector<Entry>& entries, size_t& link) const
    {
        if (offset < 8 || !Fits(offset, 2))
            return false;
        const WORD count = Short(offset);
        link = static_cast<size_t>(offset) + 2 + static_cast<size_t>(count) * 12;
        if (!Fits(link, 4))
            return false;
        entries.clear();
        for (WORD i = 0; i < count; ++i) {
            Entry e;
            e.at = static_cast<size_t>(offset) + 2 + static_cast<size_t>(i) * 12;
            e.tag = Short(e.at);
            e.type = Short(e.at + 2);
            e.count = Long(e.at + 4);
            const size_t unit = e.type == kFormatIfd ? 4 : exif_format_get_size(static_cast<ExifFormat>(e.type));
            e.size = unit != 0 && e.count <= m_size / unit ? unit * e.count : 0;
            e.value = e.size <= 4 ? e.at + 8 : Long(e.at + 8);
            e.inside = (unit != 0 && e.size == 0 && e.count == 0) || (e.size != 0 && Fits(e.value, e.size));
            entries.push_back(e);
        }
        return true;
    }

    // An integer value of one component; false for other types.
    bool SetInteger(const Entry& e, size_t index, DWORD value)
    {
        BYTE* at = m_data + e.value;
        switch (e.type) {
        case EXIF_FORMAT_BYTE:
        case EXIF_FORMAT_SBYTE:
            at[index] = static_cast<BYTE>(value);
            return true;
        case EXIF_FORMAT_SHORT:
        case EXIF_FORMAT_SSHORT:
            exif_set_short(at + index * 2, m_order, static_cast<ExifShort>(std::min<DWORD>(value, 0xFFFF)));
            return true;
        case EXIF_FORMAT_LONG:
        case EXIF_FORMAT_SLONG:
            exif_set_long(at + index * 4, m_order, value);
            return true;
        default:
            return false;
        }
    }

    void SetLong(size_t at, DWORD value) { exif_set_long(m_data + at, m_order, value); }

    // Takes the entry out of its directory: the later entries and the link move up, and the place
    // they leave is cleared.
    void RemoveEntry(DWORD directory, size_t entryAt)
    {
        const WORD count = Short(directory);
        const size_t end = static_cast<size_t>(directory) + 2 + static_cast<size_t>(count) * 12 + 4;
        // Directories that overlap (a hostile block) may have moved the entry already.
        if (count == 0 || entryAt < static_cast<size_t>(directory) + 2 || entryAt + 16 > end || !Fits(end, 0))
            return;
        std::memmove(m_data + entryAt, m_data + entryAt + 12, end - entryAt - 12);
        std::memset(m_data + end - 12, 0, 12);
        exif_set_short(m_data + directory, m_order, static_cast<ExifShort>(count - 1));
    }

    size_t Size() const { return m_size; }
    BYTE* Data() const { return m_data; }

private:
    BYTE* m_data;
    size_t m_size;
    ExifByteOrder m_order = EXIF_BYTE_ORDER_INTEL;
};

class ExifFitter
{
public:
    ExifFitter(ExifPatcher& tiff, LONG width, LONG height, bool turned)
        : m_tiff(tiff), m_width(width), m_height(height), m_turned(turned)
    {
    }

    bool Fit(size_t& newSize)
    {
        std::vector<Entry> first;
        size_t link = 0;
        const DWORD firstOffset = m_tiff.Long(4);
        if (!m_tiff.Directory(firstOffset, first, link))
            return false;
        m_used.push_back({0, 8});
        Walk(firstOffset, first, link, true);
        newSize = m_tiff.Size();
        if (m_turned)
            newSize = DropThumbnail(link);
        // Entries are taken out last, the later ones of a directory first, so the places found
        // for the others stay right.
        std::sort(m_removals.begin(), m_removals.end(),
                  [](const Removal& a, const Removal& b) { return a.entry > b.entry; });
        m_removals.erase(std::unique(m_removals.begin(), m_removals.end(),
                                     [](const Removal& a, const Removal& b) { return a.entry == b.entry; }),
                         m_removals.end());
        for (const Removal& removal : m_removals)
            m_tiff.RemoveEntry(removal.directory, removal.entry);
        return true;
    }

private:
    struct Removal
    {
        DWORD directory;
        size_t entry;
    };

    void Use(const std::vector<Entry>& entries, DWORD offset, size_t link)
    {
        m_used.push_back({offset, link + 4});
        for (const Entry& e : entries)
            if (e.size > 4 && e.inside)
                m_used.push_back({e.value, e.value + e.size});
    }

    void SetSize(const Entry& e, LONG value)
    {
        if (e.count == 1 && e.inside && (e.type == EXIF_FORMAT_SHORT || e.type == EXIF_FORMAT_LONG))
            m_tiff.SetInteger(e, 0, static_cast<DWORD>(std::max<LONG>(value, 0)));
    }

    // Turned pixels stand as they are to be seen: every component of the orientation is 1, and an
    // orientation that cannot be written so is taken out.
    void Orient(DWORD directory, const Entry& e)
    {
        if (!m_turned)
            return;
        bool set = e.inside && e.count > 0;
        for (DWORD i = 0; set && i < e.count; ++i)
            set = m_tiff.SetInteger(e, i, 1);
        if (!set)
            m_removals.push_back({directory, e.at});
    }

    // A directory another one points to; when turned, a pointer to one that cannot be followed is
    // taken out with it.
    void Follow(DWORD directory, const Entry& pointer, bool exifDirectory)
    {
        std::vector<Entry> entries;
        size_t link = 0;
        const bool pointed = pointer.count == 1 && (pointer.type == EXIF_FORMAT_LONG || pointer.type == kFormatIfd);
        const DWORD offset = pointed ? m_tiff.Long(pointer.at + 8) : 0;
        if (!pointed || !m_tiff.Directory(offset, entries, link)) {
            if (m_turned)
                m_removals.push_back({directory, pointer.at});
            return;
        }
        if (exifDirectory)
            Walk(offset, entries, link, false);
        else
            Use(entries, offset, link);
    }

    void Walk(DWORD offset, const std::vector<Entry>& entries, size_t link, bool first)
    {
        Use(entries, offset, link);
        for (const Entry& e : entries) {
            switch (e.tag) {
            case EXIF_TAG_ORIENTATION:
                Orient(offset, e);
                break;
            case EXIF_TAG_IMAGE_WIDTH:
                if (first)
                    SetSize(e, m_width);
                break;
            case EXIF_TAG_IMAGE_LENGTH:
                if (first)
                    SetSize(e, m_height);
                break;
            case EXIF_TAG_PIXEL_X_DIMENSION:
                SetSize(e, m_width);
                break;
            case EXIF_TAG_PIXEL_Y_DIMENSION:
                SetSize(e, m_height);
                break;
            case EXIF_TAG_EXIF_IFD_POINTER:
                if (first)
                    Follow(offset, e, true);
                break;
            case EXIF_TAG_GPS_INFO_IFD_POINTER:
                if (first)
                    Follow(offset, e, false);
                break;
            case kTagInteroperability:
                if (!first)
                    Follow(offset, e, false);
                break;
            default:
                break;
            }
        }
    }

    // The thumbnail's directory and picture leave the block: the link to them is cut, and their
    // bytes are cut off where they end the block and cleared where anything else follows them.
    size_t DropThumbnail(size_t link)
    {
        const DWORD offset = m_tiff.Long(link);
        m_tiff.SetLong(link, 0);
        std::vector<Entry> entries;
        size_t next = 0;
        if (offset == 0 || !m_tiff.Directory(offset, entries, next))
            return m_tiff.Size();
        std::vector<Range> gone = {{offset, next + 4}};
        DWORD jpegAt = 0, jpegLength = 0;
        const Entry* strips = nullptr;
        const Entry* stripBytes = nullptr;
        for (const Entry& e : entries) {
            if (e.size > 4 && e.inside)
                gone.push_back({e.value, e.value + e.size});
            if (e.tag == EXIF_TAG_JPEG_INTERCHANGE_FORMAT && e.count == 1 && e.type == EXIF_FORMAT_LONG)
                jpegAt = m_tiff.Long(e.value);
            else if (e.tag == EXIF_TAG_JPEG_INTERCHANGE_FORMAT_LENGTH && e.count == 1 && e.type == EXIF_FORMAT_LONG)
                jpegLength = m_tiff.Long(e.value);
            else if (e.tag == EXIF_TAG_STRIP_OFFSETS && e.inside)
                strips = &e;
            else if (e.tag == EXIF_TAG_STRIP_BYTE_COUNTS && e.inside)
                stripBytes = &e;
        }
        if (jpegLength > 0 && m_tiff.Fits(jpegAt, jpegLength))
            gone.push_back({jpegAt, static_cast<size_t>(jpegAt) + jpegLength});
        if (strips && stripBytes && strips->count == stripBytes->count) {
            for (DWORD i = 0; i < strips->count; ++i) {
                const DWORD at = Component(*strips, i), bytes = Component(*stripBytes, i);
                if (bytes > 0 && m_tiff.Fits(at, bytes))
                    gone.push_back({at, static_cast<size_t>(at) + bytes});
            }
        }
        size_t usedEnd = 0;
        for (const Range& r : m_used)
            usedEnd = std::max(usedEnd, r.end);
        // What of them ends the block (past the padding byte that keeps offsets even) is cut off.
        size_t cut = m_tiff.Size();
        for (bool moved = true; moved;) {
            moved = false;
            for (const Range& r : gone) {
                if (r.begin < cut && r.end + 1 >= cut && r.begin >= usedEnd) {
                    cut = r.begin;
                    moved = true;
                }
            }
        }
        for (const Range& r : gone) {
            const bool shared = std::any_of(m_used.begin(), m_used.end(),
                                            [&](const Range& u) { return u.begin < r.end && r.begin < u.end; });
            if (!shared && r.begin < cut)
                std::memset(m_tiff.Data() + r.begin, 0, std::min(r.end, cut) - r.begin);
        }
        return cut;
    }

    DWORD Component(const Entry& e, DWORD index) const
    {
        if (e.type == EXIF_FORMAT_SHORT)
            return m_tiff.Short(e.value + static_cast<size_t>(index) * 2);
        if (e.type == EXIF_FORMAT_LONG)
            return m_tiff.Long(e.value + static_cast<size_t>(index) * 4);
        return 0;
    }

    ExifPatcher& m_tiff;
    LONG m_width, m_height;
    bool m_turned;
    std::vector<Range> m_used;
    std::vector<Removal> m_removals;
};

} // namespace

bool FitExifToPixels(std::vector<BYTE>& exif, LONG width, LONG height, bool turned)
{
    if (exif.size() < sizeof(kExifHeader) || std::memcmp(exif.data(), kExifHeader, sizeof(kExifHeader)) != 0)
        return false;
    // Changed on a copy, so a block that cannot be read stays exactly as it was.
    std::vector<BYTE> fitted = exif;
    ExifPatcher tiff(fitted.data() + sizeof(kExifHeader), fitted.size() - sizeof(kExifHeader));
    size_t size = 0;
    if (!tiff.Open())
        return false;
    ExifFitter fitter(tiff, width, height, turned);
    if (!fitter.Fit(size))
        return false;
    fitted.resize(sizeof(kExifHeader) + size);
    exif.swap(fitted);
    return true;
}
