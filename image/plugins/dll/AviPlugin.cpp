// The AVI plug-in: one frame of an AVI file through the AVI file library, at the movie position
// of the request (seconds, or minus a percentage of the length; the middle for other hosts).
#include "image/codecs/VideoFile.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <cstring>

namespace {

// The library counts its users; a plug-in cannot rely on its host having started it.
struct AviLibraryScope
{
    AviLibraryScope() { AVIFileInit(); }
    ~AviLibraryScope() { AVIFileExit(); }
};

bool Accepts(const BYTE* head, SIZE_T size)
{
    return size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "AVI ", 4) == 0;
}

int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    OwnInputPath path;
    int result = path.Prepare(input, L".avi");
    if (result != SPI_OK)
        return result;
    AviLibraryScope library;
    AviFile avi;
    avi.m_fileName = path.Get();
    if (avi.ReadInfoFile() != 0)
        return SPI_BROKEN_DATA;
    facts->width = avi.m_width;
    facts->height = avi.m_height;
    facts->bitCount = 24;
    AVISTREAMINFOW stream = {};
    if (GetAviInfo(path.Get(), &stream) == 0 && stream.dwRate) {
        facts->length = static_cast<double>(stream.dwLength) * stream.dwScale / stream.dwRate;
        facts->fourcc = stream.fccHandler;
    }
    return SPI_OK;
}

int Decode(const OwnInput& input, const OwnDecodeRequest& request, HGLOBAL* dib)
{
    AviLibraryScope library;
    return DecodeVideoFrame<AviFile>(input, L".avi", request.moviePosition, dib);
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. AVI plug-in", "*.avi", "AVI", Accepts, ReadFacts, Decode, true,
};
