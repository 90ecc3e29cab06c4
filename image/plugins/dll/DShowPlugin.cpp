// The video plug-in: one frame of a video file through the platform's media detector, at the
// movie position of the request (seconds, or minus a percentage of the length).
#include "image/codecs/VideoFile.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <cstring>

namespace {

const BYTE kMpegPack[] = {0x00, 0x00, 0x01, 0xBA};
const BYTE kMpegVideo[] = {0x00, 0x00, 0x01, 0xB3};
const BYTE kAsf[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11};
const BYTE kMatroska[] = {0x1A, 0x45, 0xDF, 0xA3};

bool At(const BYTE* head, SIZE_T size, SIZE_T offset, const void* bytes, SIZE_T count)
{
    return size >= offset + count && std::memcmp(head + offset, bytes, count) == 0;
}

// The containers the media detector is asked about, by their signatures.
bool Accepts(const BYTE* head, SIZE_T size)
{
    return At(head, size, 0, kMpegPack, 4) || At(head, size, 0, kMpegVideo, 4) || At(head, size, 0, kAsf, 8) ||
           At(head, size, 0, kMatroska, 4) || At(head, size, 4, "ftyp", 4) || At(head, size, 4, "moov", 4) ||
           At(head, size, 4, "mdat", 4) || At(head, size, 0, "FLV", 3) ||
           (At(head, size, 0, "RIFF", 4) && At(head, size, 8, "AVI ", 4));
}

// The extension of a temporary copy, after the container its bytes hold.
const wchar_t* CopyExtension(const OwnInput& input)
{
    const BYTE* head = input.data;
    SIZE_T size = head ? input.size : 0;
    if (At(head, size, 0, kAsf, 8))
        return L".asf";
    if (At(head, size, 0, kMatroska, 4))
        return L".mkv";
    if (At(head, size, 4, "ftyp", 4) || At(head, size, 4, "moov", 4) || At(head, size, 4, "mdat", 4))
        return L".mp4";
    if (At(head, size, 0, "FLV", 3))
        return L".flv";
    if (At(head, size, 0, "RIFF", 4))
        return L".avi";
    return L".mpg";
}

int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    OwnInputPath path;
    int result = path.Prepare(input, CopyExtension(input));
    if (result != SPI_OK)
        return result;
    DswFile video;
    video.m_fileName = path.Get();
    if (video.ReadInfoFile() != 0)
        return SPI_BROKEN_DATA;
    facts->width = video.m_width;
    facts->height = video.m_height;
    facts->bitCount = 24;
    facts->length = video.m_length;
    facts->fourcc = video.m_compression;
    return SPI_OK;
}

int Decode(const OwnInput& input, const OwnDecodeRequest& request, HGLOBAL* dib)
{
    return DecodeVideoFrame<DswFile>(input, CopyExtension(input), request.moviePosition, dib);
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. Video plug-in",
    "*.mpg;*.mpeg;*.m1v;*.wmv;*.asf;*.mp4;*.m4v;*.mov;*.mkv;*.flv",
    "DirectShow",
    Accepts,
    ReadFacts,
    Decode,
    true,
};
