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
    if (RunCodecReadInfo(gif, input, facts) != 0)
        return SPI_BROKEN_DATA;
    facts->text = MakeTerminatedText(gif.m_held.m_handle);
    return SPI_OK;
}

int Decode(const OwnInput& input, const OwnDecodeRequest&, HGLOBAL* dib)
{
    GifFile gif;
    return OwnResultFromCodec(RunCodecDecode(gif, input, dib));
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. GIF plug-in", "*.gif", "GIF", Accepts, ReadFacts, Decode, false,
};
