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
    return RunCodecReadInfo(tiff, input, facts) == 0 ? SPI_OK : SPI_BROKEN_DATA;
}

int Decode(const OwnInput& input, const OwnDecodeRequest&, HGLOBAL* dib)
{
    TiffFile tiff;
    return OwnResultFromCodec(RunCodecDecode(tiff, input, dib));
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. TIFF plug-in", "*.tif;*.tiff", "TIFF", Accepts, ReadFacts, Decode, false,
};
