// The Exif reader on libexif.
#include "image/cximage/CxImageJPG.h"

#include "image/codecs/JpegSegments.h"

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

const BYTE kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

// Frame facts from the first start-of-frame marker of a JPEG stream.
void ReadFrameFacts(const BYTE* data, size_t size, EXIFINFO* info)
{
    JpegSegmentWalker walker(data, size);
    JpegSegment segment;
    while (walker.Next(segment)) {
        const BYTE marker = segment.marker;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && segment.whole && segment.length >= 6) {
            const BYTE* sof = segment.payload;
            info->Process = marker;
            info->Height = (sof[1] << 8) | sof[2];
            info->Width = (sof[3] << 8) | sof[4];
            info->IsColor = sof[5] >= 3 ? 1 : 0;
            return;
        }
    }
}

class ExifReader
{
public:
    explicit ExifReader(ExifData* data) : m_data(data), m_order(exif_data_get_byte_order(data)) {}

    ExifEntry* Entry(ExifTag tag) const
    {
        for (int ifd = 0; ifd < EXIF_IFD_COUNT; ++ifd) {
            if (!m_data->ifd[ifd])
                continue;
            if (ExifEntry* entry = exif_content_get_entry(m_data->ifd[ifd], tag))
                return entry;
        }
        return nullptr;
    }

    bool Number(ExifTag tag, double* value) const
    {
        ExifEntry* e = Entry(tag);
        if (!e || !e->data || e->components == 0 || e->size < exif_format_get_size(e->format))
            return false;
        switch (e->format) {
        case EXIF_FORMAT_BYTE:
            *value = e->data[0];
            return true;
        case EXIF_FORMAT_SHORT:
            *value = exif_get_short(e->data, m_order);
            return true;
        case EXIF_FORMAT_SSHORT:
            *value = exif_get_sshort(e->data, m_order);
            return true;
        case EXIF_FORMAT_LONG:
            *value = exif_get_long(e->data, m_order);
            return true;
        case EXIF_FORMAT_SLONG:
            *value = exif_get_slong(e->data, m_order);
            return true;
        case EXIF_FORMAT_RATIONAL: {
            ExifRational r = exif_get_rational(e->data, m_order);
            if (r.denominator == 0)
                return false;
            *value = static_cast<double>(r.numerator) / r.denominator;
            return true;
        }
        case EXIF_FORMAT_SRATIONAL: {
            ExifSRational r = exif_get_srational(e->data, m_order);
            if (r.denominator == 0)
                return false;
            *value = static_cast<double>(r.numerator) / r.denominator;
            return true;
        }
        default:
            return false;
        }
    }

    template <typename T> void Fill(ExifTag tag, T* field) const
    {
        double value;
        if (Number(tag, &value))
            *field = static_cast<T>(value);
    }

    void Text(ExifTag tag, char* out, size_t capacity, size_t skip = 0) const
    {
        ExifEntry* e = Entry(tag);
        if (!e || !e->data || e->size <= skip)
            return;
        size_t n = 0;
        for (size_t i = skip; i < e->size && n + 1 < capacity && e->data[i]; ++i)
            out[n++] = static_cast<char>(e->data[i]);
        while (n > 0 && out[n - 1] == ' ')
            --n;
        out[n] = 0;
    }

    bool Has(ExifTag tag) const { return Entry(tag) != nullptr; }

    bool Empty() const
    {
        for (int ifd = 0; ifd < EXIF_IFD_COUNT; ++ifd)
            if (m_data->ifd[ifd] && m_data->ifd[ifd]->count > 0)
                return false;
        return true;
    }

private:
    ExifData* m_data;
    ExifByteOrder m_order;
};

void FillRecord(const ExifReader& exif, EXIFINFO* info)
{
    exif.Text(EXIF_TAG_MAKE, info->CameraMake, sizeof(info->CameraMake));
    exif.Text(EXIF_TAG_MODEL, info->CameraModel, sizeof(info->CameraModel));
    exif.Text(EXIF_TAG_DATE_TIME, info->DateTime, sizeof(info->DateTime));
    exif.Text(EXIF_TAG_DATE_TIME_DIGITIZED, info->DateTime, sizeof(info->DateTime));
    exif.Text(EXIF_TAG_DATE_TIME_ORIGINAL, info->DateTime, sizeof(info->DateTime));
    if (ExifEntry* version = exif.Entry(EXIF_TAG_EXIF_VERSION)) {
        for (size_t i = 0; i < 4 && i < version->size && version->data; ++i)
            info->Version[i] = static_cast<char>(version->data[i]);
    }
    // The charset id of the comment: ASCII, or undefined (zeros) taken as ASCII.
    if (ExifEntry* comment = exif.Entry(EXIF_TAG_USER_COMMENT)) {
        if (comment->data && comment->size > 8 &&
            (std::memcmp(comment->data, "ASCII\0\0\0", 8) == 0 ||
             std::memcmp(comment->data, "\0\0\0\0\0\0\0\0", 8) == 0))
            exif.Text(EXIF_TAG_USER_COMMENT, info->Comments, sizeof(info->Comments), 8);
    }
    exif.Fill(EXIF_TAG_PIXEL_X_DIMENSION, &info->Width);
    exif.Fill(EXIF_TAG_PIXEL_Y_DIMENSION, &info->Height);
    exif.Fill(EXIF_TAG_ORIENTATION, &info->Orientation);
    exif.Fill(EXIF_TAG_FLASH, &info->FlashUsed);
    exif.Fill(EXIF_TAG_FOCAL_LENGTH, &info->FocalLength);
    double value;
    if (exif.Number(EXIF_TAG_EXPOSURE_TIME, &value))
        info->ExposureTime = static_cast<float>(value);
    else if (exif.Number(EXIF_TAG_SHUTTER_SPEED_VALUE, &value))
        info->ExposureTime = static_cast<float>(1 / std::exp2(value));
    if (exif.Number(EXIF_TAG_FNUMBER, &value))
        info->ApertureFNumber = static_cast<float>(value);
    else if (exif.Number(EXIF_TAG_APERTURE_VALUE, &value))
        info->ApertureFNumber = static_cast<float>(std::exp2(value / 2));
    exif.Fill(EXIF_TAG_SUBJECT_DISTANCE, &info->Distance);
    exif.Fill(EXIF_TAG_EXPOSURE_BIAS_VALUE, &info->ExposureBias);
    exif.Fill(EXIF_TAG_WHITE_BALANCE, &info->Whitebalance);
    exif.Fill(EXIF_TAG_METERING_MODE, &info->MeteringMode);
    exif.Fill(EXIF_TAG_EXPOSURE_PROGRAM, &info->ExposureProgram);
    exif.Fill(EXIF_TAG_ISO_SPEED_RATINGS, &info->ISOequivalent);
    if (exif.Number(EXIF_TAG_COMPRESSED_BITS_PER_PIXEL, &value))
        info->CompressionLevel = static_cast<int>(std::lround(value));
    exif.Fill(EXIF_TAG_FOCAL_PLANE_X_RESOLUTION, &info->FocalplaneXRes);
    exif.Fill(EXIF_TAG_FOCAL_PLANE_Y_RESOLUTION, &info->FocalplaneYRes);
    if (exif.Number(EXIF_TAG_FOCAL_PLANE_RESOLUTION_UNIT, &value)) {
        // Millimetres per unit: inch (and "none", read as inch), centimetre, millimetre, micrometre.
        switch (static_cast<int>(value)) {
        case 1:
        case 2:
            info->FocalplaneUnits = 25.4f;
            break;
        case 3:
            info->FocalplaneUnits = 10;
            break;
        case 4:
            info->FocalplaneUnits = 1;
            break;
        case 5:
            info->FocalplaneUnits = 0.001f;
            break;
        default:
            break;
        }
    }
    if (info->FocalplaneXRes > 0 && info->FocalplaneUnits > 0 && info->Width > 0)
        info->CCDWidth = info->Width * info->FocalplaneUnits / info->FocalplaneXRes;
    exif.Fill(EXIF_TAG_X_RESOLUTION, &info->Xresolution);
    exif.Fill(EXIF_TAG_Y_RESOLUTION, &info->Yresolution);
    exif.Fill(EXIF_TAG_RESOLUTION_UNIT, &info->ResolutionUnit);
    exif.Fill(EXIF_TAG_BRIGHTNESS_VALUE, &info->Brightness);
}

} // namespace

CxImageJPG::CxExifInfo::CxExifInfo(EXIFINFO* info) : m_exifinfo(info ? info : &m_own)
{
    std::memset(&m_own, 0, sizeof(m_own));
    m_szLastError[0] = 0;
}

bool CxImageJPG::CxExifInfo::DecodeExif(CxMemFile* file, int)
{
    std::memset(m_exifinfo, 0, sizeof(*m_exifinfo));
    m_szLastError[0] = 0;
    if (!file || file->Size() - file->Tell() < 8) {
        std::strcpy(m_szLastError, "no Exif data");
        return false;
    }
    std::vector<BYTE> data(static_cast<size_t>(file->Size() - file->Tell()));
    data.resize(file->Read(data.data(), 1, data.size()));

    // libexif takes a JPEG stream or APP1 data; a bare TIFF-structured block gets the APP1 header.
    if (data.size() >= 4 && (std::memcmp(data.data(), "II*\0", 4) == 0 || std::memcmp(data.data(), "MM\0*", 4) == 0))
        data.insert(data.begin(), kExifHeader, kExifHeader + sizeof(kExifHeader));
    else if (data[0] == 0xFF && data[1] == 0xD8)
        ReadFrameFacts(data.data(), data.size(), m_exifinfo);

    ExifData* exif = exif_data_new();
    if (!exif) {
        std::strcpy(m_szLastError, "out of memory");
        return false;
    }
    // Read what is there: libexif's standard-conformance option would invent missing mandatory entries.
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif, data.data(), static_cast<unsigned int>(data.size()));
    ExifReader reader(exif);
    bool found = !reader.Empty();
    if (found)
        FillRecord(reader, m_exifinfo);
    exif_data_unref(exif);
    if (!found) {
        std::strcpy(m_szLastError, "no Exif data");
        return false;
    }
    m_exifinfo->IsExif = true;
    return true;
}
