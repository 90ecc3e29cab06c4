// The TIFF plug-in: the first page through the TIFF codec.
#include "image/codecs/TiffFile.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <cstring>

namespace {

bool Accepts(const BYTE* head, SIZE_T size)
{
    return size >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0);
}

int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    TiffFile tiff;
    tiff.m_data = input.data;
    tiff.m_dataSize = static_cast<DWORD>(input.size);
    if (tiff.ReadInfo() != 0)
        return SPI_BROKEN_DATA;
    facts->width = tiff.m_width;
    facts->height = tiff.m_height;
    facts->bitCount = static_cast<int>(tiff.m_bitCount);
    return SPI_OK;
}

int Decode(const OwnInput& input, const OwnDecodeRequest&, HGLOBAL* dib)
{
    TiffFile tiff;
    tiff.m_data = input.data;
    tiff.m_dataSize = static_cast<DWORD>(input.size);
    int result = tiff.Decode();
    *dib = tiff.m_dib;
    return OwnResultFromCodec(result);
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. TIFF plug-in", "*.tif;*.tiff", "TIFF", Accepts, ReadFacts, Decode, false,
};
