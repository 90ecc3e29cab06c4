// The PNG plug-in: PNG pictures through the image library layer.
#include "image/codecs/ImgFile.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <cstring>

namespace {

const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

DWORD ReadBigEndian(const BYTE* at)
{
    return static_cast<DWORD>(at[0]) << 24 | static_cast<DWORD>(at[1]) << 16 | static_cast<DWORD>(at[2]) << 8 | at[3];
}

bool Accepts(const BYTE* head, SIZE_T size)
{
    return size >= sizeof(kSignature) && std::memcmp(head, kSignature, sizeof(kSignature)) == 0;
}

// From the header chunk alone: size, and the bits of a pixel as the file stores them.
int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    const BYTE* data = input.data;
    if (input.size < 26 || !Accepts(data, input.size) || std::memcmp(data + 12, "IHDR", 4) != 0)
        return SPI_UNKNOWN_FORMAT;
    DWORD width = ReadBigEndian(data + 16);
    DWORD height = ReadBigEndian(data + 20);
    int depth = data[24];
    int samples;
    switch (data[25]) {
    case 0:
    case 3:
        samples = 1;
        break;
    case 2:
        samples = 3;
        break;
    case 4:
        samples = 2;
        break;
    case 6:
        samples = 4;
        break;
    default:
        return SPI_BROKEN_DATA;
    }
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return SPI_BROKEN_DATA;
    facts->width = static_cast<LONG>(width);
    facts->height = static_cast<LONG>(height);
    facts->bitCount = depth * samples;
    return SPI_OK;
}

int Decode(const OwnInput& input, const OwnDecodeRequest&, HGLOBAL* dib)
{
    ImgFile png;
    png.m_format = CXIMAGE_FORMAT_PNG;
    return OwnResultFromCodec(RunCodecDecode(png, input, dib));
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. PNG plug-in", "*.png", "PNG", Accepts, ReadFacts, Decode, false,
};
