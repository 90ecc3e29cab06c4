// The common body of the program's own image plug-ins: the exports of an image plug-in over the
// format each DLL describes in kOwnPluginFormat. Requests from this program's host arrive with the
// "vyx" request as callback data (reduction and desired size); any other host gets full-size
// pictures as two handles, as the convention has them. Every export catches all C++ exceptions.
#pragma once

#include "image/codecs/ImageFileBase.h"
#include "image/plugins/SpiInterface.h"

// The picture's facts for GetPictureInfo; blocks given here are handed on (or freed).
struct OwnPictureFacts
{
    LONG width = 0;
    LONG height = 0;
    int bitCount = 0;
    HGLOBAL text = nullptr; // 8-bit information text, terminated
    HGLOBAL exif = nullptr; // Exif data (the APP1 contents)
    double length = 0;      // movies: seconds
    DWORD fourcc = 0;       // movies: the codec
};

struct OwnDecodeRequest
{
    int reduction = 1;    // below 2: full size
    int desiredWidth = 0; // both at least 1 when the caller gave the size it will show
    int desiredHeight = 0;
    int moviePosition = -50; // negative: percent of a movie's length
    // The host's progress callback, for decoders that report as they go (non-zero answer: stop).
    SPIProgressProc progress = nullptr;
    LONG_PTR progressData = 0;
};

// The input: its bytes (mapped file or the caller's memory); path is the file's wide name for
// decoders that need one (empty for memory input).
struct OwnInput
{
    const BYTE* data = nullptr;
    SIZE_T size = 0;
    const wchar_t* path = L"";
    DWORD offset = 0;
};

struct OwnPluginFormat
{
    const char* description; // information text 1, with the maker's mark
    const char* patterns;    // text 2
    const char* group;       // text 3: the format group of the host
    // head: the file's first bytes (up to SPI_HEAD_BYTES, zero-padded).
    bool (*accepts)(const BYTE* head, SIZE_T size);
    // Both return SPI results.
    int (*readFacts)(const OwnInput& input, OwnPictureFacts* facts);
    int (*decode)(const OwnInput& input, const OwnDecodeRequest& request, HGLOBAL* dib);
    // Decoders that open files themselves get file input by name only (path and offset, no
    // bytes); memory input reaches them as bytes, as for the others.
    bool readsByName;
};

// Supplied by each plug-in DLL.
extern const OwnPluginFormat kOwnPluginFormat;

// A codec of the image library run on the input's bytes; the codec's own result. Decoding hands
// over the DIB; reading the information fills size and depth when it succeeds.
int RunCodecDecode(ImageFileBase& codec, const OwnInput& input, HGLOBAL* dib);
int RunCodecReadInfo(ImageFileBase& codec, const OwnInput& input, OwnPictureFacts* facts);

// A terminated copy of a text block (a comment without its own terminator); null for null.
HGLOBAL MakeTerminatedText(HGLOBAL text);

// A file name for decoders that open files themselves: the input's own file, or a temporary copy
// of its bytes (memory input, or a picture inside a file), removed again with this object.
class OwnInputPath
{
public:
    OwnInputPath() = default;
    ~OwnInputPath();
    OwnInputPath(const OwnInputPath&) = delete;
    OwnInputPath& operator=(const OwnInputPath&) = delete;

    // extension: of the temporary copy (".avi"); an SPI result.
    int Prepare(const OwnInput& input, const wchar_t* extension);
    const wchar_t* Get() const { return m_path; }

private:
    const wchar_t* m_path = L"";
    wchar_t m_temporary[MAX_PATH] = {};
};

// The plug-in code for a codec result of the image library: 0 OK, otherwise broken data.
inline int OwnResultFromCodec(int codecResult)
{
    return codecResult == 0 ? SPI_OK : SPI_BROKEN_DATA;
}

// One frame of a video decoder that opens files itself (m_fileName, m_position, LoadFile).
template <class Video> int DecodeVideoFrame(const OwnInput& input, const wchar_t* extension, int position, HGLOBAL* dib)
{
    OwnInputPath path;
    int result = path.Prepare(input, extension);
    if (result != SPI_OK)
        return result;
    Video video;
    video.m_fileName = path.Get();
    video.m_position = position;
    result = video.LoadFile();
    *dib = video.m_dib;
    return OwnResultFromCodec(result);
}
