// The GIF plug-in: the first frame through the GIF codec.
#include "image/codecs/GifFile.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <cstring>

namespace {

bool Accepts(const BYTE* head, SIZE_T size)
{
    return size >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    GifFile gif;
    gif.m_data = input.data;
    gif.m_dataSize = static_cast<DWORD>(input.size);
    if (gif.ReadInfo() != 0)
        return SPI_BROKEN_DATA;
    facts->width = gif.m_width;
    facts->height = gif.m_height;
    facts->bitCount = static_cast<int>(gif.m_bitCount);
    facts->text = MakeTerminatedText(gif.m_held.m_handle);
    return SPI_OK;
}

int Decode(const OwnInput& input, const OwnDecodeRequest&, HGLOBAL* dib)
{
    GifFile gif;
    gif.m_data = input.data;
    gif.m_dataSize = static_cast<DWORD>(input.size);
    int result = gif.Decode();
    *dib = gif.m_dib;
    return OwnResultFromCodec(result);
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. GIF plug-in", "*.gif", "GIF", Accepts, ReadFacts, Decode, false,
};
