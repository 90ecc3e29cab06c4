// The BMP plug-in: Windows bitmaps through the image library layer.
#include "image/codecs/ImgFile.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <cstring>

namespace {

bool KnownHeaderSize(DWORD size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

DWORD ReadDword(const BYTE* at)
{
    DWORD value;
    std::memcpy(&value, at, 4);
    return value;
}

WORD ReadWord(const BYTE* at)
{
    WORD value;
    std::memcpy(&value, at, 2);
    return value;
}

bool Accepts(const BYTE* head, SIZE_T size)
{
    return size >= 18 && head[0] == 'B' && head[1] == 'M' && KnownHeaderSize(ReadDword(head + 14));
}

// From the headers alone: the file header (14 bytes), then a core or a larger info header.
int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    const BYTE* data = input.data;
    if (input.size < 26 || !Accepts(data, input.size))
        return SPI_UNKNOWN_FORMAT;
    DWORD headerSize = ReadDword(data + 14);
    if (headerSize == 12) {
        facts->width = ReadWord(data + 18);
        facts->height = ReadWord(data + 20);
        facts->bitCount = ReadWord(data + 24);
    } else {
        if (input.size < 30)
            return SPI_BROKEN_DATA;
        facts->width = static_cast<LONG>(ReadDword(data + 18));
        LONG height = static_cast<LONG>(ReadDword(data + 22));
        facts->height = height < 0 ? -height : height;
        facts->bitCount = ReadWord(data + 28);
    }
    return facts->width > 0 && facts->height > 0 ? SPI_OK : SPI_BROKEN_DATA;
}

int Decode(const OwnInput& input, const OwnDecodeRequest&, HGLOBAL* dib)
{
    ImgFile bmp;
    bmp.m_format = CXIMAGE_FORMAT_BMP;
    return OwnResultFromCodec(RunCodecDecode(bmp, input, dib));
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. BMP plug-in", "*.bmp;*.dib", "BMP", Accepts, ReadFacts, Decode, false,
};
