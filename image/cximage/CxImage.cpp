#include "image/cximage/CxImage.h"

#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibFile.h"
#include "image/DibValidate.h"
#include "image/DibQuant.h"
#include "image/codecs/GifFile.h"
#include "image/codecs/JpegMemory.h"
#include "image/codecs/TiffFile.h"
#include "image/cximage/CxImageCodecs.h"

#include "foundation/ReplacementFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool StartsWith(const BYTE* buffer, DWORD size, const void* signature, DWORD length)
{
    return size >= length && std::memcmp(buffer, signature, length) == 0;
}

// The DIB as the encoders take it: 24 bits for depths above 8, the DIB itself otherwise.
HGLOBAL EncodableCopy(HGLOBAL dib, bool force24)
{
    WORD bits = GetDibBitCount(dib);
    if (force24 || (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        return MakeDib24(dib);
    return dib;
}

bool EncodeBmp(HGLOBAL dib, CxEncodeResult* out)
{
    DibLock lock(dib);
    if (!lock)
        return false;
    BITMAPFILEHEADER fileHeader = MakeBmpFileHeader(lock.get());
    SIZE_T total = DibTotalSize(lock.get());
    auto* data = static_cast<BYTE*>(std::malloc(total + sizeof(fileHeader)));
    if (!data)
        return false;
    std::memcpy(data, &fileHeader, sizeof(fileHeader));
    std::memcpy(data + sizeof(fileHeader), lock.get(), total);
    out->data = data;
    out->size = total + sizeof(fileHeader);
    return true;
}

// Pictures of more than 8 bits are reduced to 256 colours first (without a progress dialog).
bool EncodeGif(HGLOBAL dib, CxEncodeResult* out)
{
    GlobalBlock reduced;
    HGLOBAL palette = dib;
    WORD bits = GetDibBitCount(dib);
    if (bits != 1 && bits != 4 && bits != 8) {
        palette = ReduceDibTo256Colors(dib, TRUE);
        if (!palette)
            return false;
        reduced.reset(palette);
    }
    DibLock lock(palette);
    return lock && CxEncodeGif(lock.get(), out);
}

bool EncodeJpeg(HGLOBAL dib, int quality, DWORD option, CxEncodeResult* out)
{
    LockedDib24 picture(dib);
    if (!picture.get())
        return false;
    JpegEncodeSettings settings;
    settings.quality = quality;
    settings.progressive = (option & CxImage::kJpegProgressive) != 0;
    settings.grey = (option & CxImage::kJpegGreyscale) != 0;
    BYTE* data;
    SIZE_T size;
    if (JpegEncodeToMemory(picture.get(), settings, &data, &size) != 0)
        return false;
    out->data = data;
    out->size = size;
    return true;
}

} // namespace

CxImage::CxImage(DWORD imageType) : m_type(imageType) {}

CxImage::~CxImage()
{
    DestroyFrames();
    Destroy();
}

DWORD CxImage::DetectFormat(const BYTE* buffer, DWORD size)
{
    if (!buffer)
        return CXIMAGE_FORMAT_UNKNOWN;
    static const BYTE png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const BYTE jpeg[3] = {0xFF, 0xD8, 0xFF};
    static const BYTE jp2[8] = {0x00, 0x00, 0x00, 0x0C, 'j', 'P', ' ', ' '};
    static const BYTE j2k[4] = {0xFF, 0x4F, 0xFF, 0x51};
    if (StartsWith(buffer, size, "BM", 2))
        return CXIMAGE_FORMAT_BMP;
    if (StartsWith(buffer, size, jpeg, 3))
        return CXIMAGE_FORMAT_JPG;
    if (StartsWith(buffer, size, png, 8))
        return CXIMAGE_FORMAT_PNG;
    if (StartsWith(buffer, size, "GIF87a", 6) || StartsWith(buffer, size, "GIF89a", 6))
        return CXIMAGE_FORMAT_GIF;
    if (StartsWith(buffer, size, "II*\0", 4) || StartsWith(buffer, size, "MM\0*", 4))
        return CXIMAGE_FORMAT_TIF;
    if (StartsWith(buffer, size, jp2, 8) || StartsWith(buffer, size, j2k, 4))
        return CXIMAGE_FORMAT_JP2;
    return CXIMAGE_FORMAT_UNKNOWN;
}

bool CxImage::Decode(BYTE* buffer, DWORD size, DWORD imageType)
{
    Destroy();
    DestroyFrames();
    if (!buffer || size == 0) {
        SetError("no data");
        return false;
    }
    DWORD type = imageType ? imageType : DetectFormat(buffer, size);
    if (type == CXIMAGE_FORMAT_UNKNOWN) {
        SetError("unknown format");
        return false;
    }
    if (!DecodeAs(buffer, size, type))
        return false;
    // Multi-frame formats report their frame count.
    if (type == CXIMAGE_FORMAT_GIF)
        m_numFrames = CountGifFrames(buffer, size);
    else if (type == CXIMAGE_FORMAT_TIF) {
        TiffFile counter;
        counter.m_data = buffer;
        counter.m_dataSize = size;
        m_numFrames = counter.CountPages();
    }
    return true;
}

bool CxImage::DecodeAs(const BYTE* buffer, DWORD size, DWORD type)
{
    HGLOBAL dib = nullptr;
    switch (type) {
    case CXIMAGE_FORMAT_BMP:
        dib = ReadBmpMemory(buffer, size);
        break;
    case CXIMAGE_FORMAT_JPG: {
        int scale = m_jpegScale < 2 ? 1 : m_jpegScale;
        if (JpegDecodeDib(buffer, size, scale, &dib) != 0)
            dib = nullptr;
        break;
    }
    case CXIMAGE_FORMAT_PNG:
        dib = CxDecodePng(buffer, size);
        break;
    case CXIMAGE_FORMAT_GIF: {
        // The one GIF reader of the system, so its guards hold here too.
        GifFile gif;
        gif.m_frameIndex = m_frame < 0 ? 0 : static_cast<int>(m_frame);
        if (gif.DecodeMemory(buffer, size) == 0)
            dib = gif.m_dib;
        break;
    }
    case CXIMAGE_FORMAT_TIF: {
        TiffFile tiff;
        tiff.m_page = m_frame < 0 ? 0 : static_cast<DWORD>(m_frame);
        tiff.m_data = buffer;
        tiff.m_dataSize = size;
        if (tiff.Decode() == 0)
            dib = tiff.m_dib;
        break;
    }
    case CXIMAGE_FORMAT_JP2:
        dib = CxDecodeJp2(buffer, size);
        break;
    default:
        SetError("format not supported for decoding");
        return false;
    }
    if (!dib) {
        SetError("cannot decode the data");
        return false;
    }
    return Attach(dib, type);
}

bool CxImage::Attach(HGLOBAL dib, DWORD type)
{
    Destroy();
    dib = AdoptDib(dib);
    if (!dib) {
        SetError("refused picture");
        return false;
    }
    DibLock lock(dib);
    m_dib = dib;
    m_type = type;
    m_width = static_cast<DWORD>(DibWidth(lock.get()));
    m_height = static_cast<DWORD>(DibHeight(lock.get()));
    m_bpp = DibBitCount(lock.get());
    m_numFrames = 1;
    return true;
}

HGLOBAL CxImage::CopyToHandle() const
{
    return CopyGlobal(m_dib);
}

bool CxImage::CreateFromHANDLE(HANDLE dib)
{
    HGLOBAL copy = CopyGlobal(static_cast<HGLOBAL>(dib));
    if (!copy) {
        Destroy();
        SetError("no picture");
        return false;
    }
    return Attach(copy, m_type);
}

void CxImage::SetCodecOption(DWORD option, DWORD imageType)
{
    if (imageType == 0)
        imageType = m_type;
    if (imageType < CXIMAGE_MAX_FORMATS)
        m_codecOptions[imageType] = option;
}

DWORD CxImage::GetCodecOption(DWORD imageType) const
{
    if (imageType == 0)
        imageType = m_type;
    return imageType < CXIMAGE_MAX_FORMATS ? m_codecOptions[imageType] : 0;
}

bool CxImage::Encode(BYTE*& buffer, long& size, DWORD imageType)
{
    buffer = nullptr;
    size = 0;
    if (!m_dib) {
        SetError("no picture");
        return false;
    }
    CxEncodeResult result;
    bool ok = false;
    switch (imageType) {
    case CXIMAGE_FORMAT_BMP:
        ok = EncodeBmp(m_dib, &result);
        break;
    case CXIMAGE_FORMAT_JPG:
        ok = EncodeJpeg(m_dib, m_jpegQuality, GetCodecOption(imageType), &result);
        break;
    case CXIMAGE_FORMAT_PNG: {
        GlobalBlock copy;
        HGLOBAL dib = EncodableCopy(m_dib, false);
        if (dib != m_dib)
            copy.reset(dib);
        DibLock lock(dib);
        ok = lock && CxEncodePng(lock.get(), GetCodecOption(imageType), &result);
        break;
    }
    case CXIMAGE_FORMAT_TIF: {
        CxTiffPage page = {m_dib, GetCodecOption(imageType), m_jpegQuality};
        ok = CxEncodeTiff(&page, 1, &result);
        break;
    }
    case CXIMAGE_FORMAT_GIF:
        ok = EncodeGif(m_dib, &result);
        break;
    case CXIMAGE_FORMAT_JP2:
        ok = CxEncodeJp2(m_dib, m_jpegQuality, &result);
        break;
    default:
        SetError("format not supported for encoding");
        return false;
    }
    if (!ok || result.size > 0x7FFFFFFF) {
        std::free(result.data);
        SetError("cannot encode the picture");
        return false;
    }
    buffer = result.data;
    size = static_cast<long>(result.size);
    return true;
}

bool CxImage::Save(const wchar_t* fileName, DWORD imageType)
{
    if (!fileName)
        return false;
    BYTE* data;
    long size;
    if (!Encode(data, size, imageType))
        return false;
    ReplacementFile file(fileName);
    if (!file.Stream()) {
        FreeMemory(data);
        SetError("cannot create the file");
        return false;
    }
    bool written = std::fwrite(data, 1, static_cast<size_t>(size), file.Stream()) == static_cast<size_t>(size);
    FreeMemory(data);
    written = written && file.PutInPlace();
    if (!written)
        SetError("cannot write the file");
    return written;
}

void CxImage::FreeMemory(void* memblock)
{
    std::free(memblock);
}

bool CxImage::DestroyFrames()
{
    for (CxImage* frame : m_frames)
        delete frame;
    m_frames.clear();
    return true;
}

bool CxImage::Destroy()
{
    if (m_dib)
        GlobalFree(m_dib);
    m_dib = nullptr;
    m_width = m_height = 0;
    m_bpp = 0;
    m_numFrames = 0;
    return true;
}

void CxImage::SetError(const char* text)
{
    m_lastError = text;
}
