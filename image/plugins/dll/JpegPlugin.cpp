// The JPEG plug-in: libjpeg through the JPEG codec, decoding at the requested reduction.
#include "image/codecs/JpegFile.h"
#include "image/codecs/JpegMemory.h"
#include "image/plugins/dll/OwnPlugin.h"

#include <algorithm>
#include <cstring>

namespace {

bool Accepts(const BYTE* head, SIZE_T size)
{
    return size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

// The block of a held marker, taken over from the codec.
HGLOBAL TakeBlock(VyxMemoryHandle& held)
{
    HGLOBAL block = held.m_handle;
    held.m_handle = nullptr;
    held.m_owned = FALSE;
    held.m_locked = FALSE;
    return block;
}

int ReadFacts(const OwnInput& input, OwnPictureFacts* facts)
{
    JpegFile jpeg;
    if (RunCodecReadInfo(jpeg, input, facts) != 0)
        return SPI_BROKEN_DATA;
    facts->text = MakeTerminatedText(jpeg.m_held.m_handle);
    VyxMemoryHandle& app1 = jpeg.m_markers[1];
    if (app1.m_handle && GlobalSize(app1.m_handle) >= 6) {
        const char* data = static_cast<const char*>(GlobalLock(app1.m_handle));
        bool exif = data && std::memcmp(data, "Exif\0\0", 6) == 0;
        if (data)
            GlobalUnlock(app1.m_handle);
        if (exif)
            facts->exif = TakeBlock(app1);
    }
    return SPI_OK;
}

// The decode's progress goes to the host's callback, which may stop it.
bool ReportToHost(long done, long total, void* context)
{
    const OwnDecodeRequest* request = static_cast<const OwnDecodeRequest*>(context);
    return request->progress(static_cast<int>(done), static_cast<int>(total), request->progressData) != 0;
}

int Decode(const OwnInput& input, const OwnDecodeRequest& request, HGLOBAL* dib)
{
    JpegFile jpeg;
    int reduction = request.reduction;
    // No reduction yet (the caller did not know the size): take it from the desired size.
    OwnPictureFacts facts;
    if (reduction < 1 && request.desiredWidth >= 1 && request.desiredHeight >= 1 &&
        RunCodecReadInfo(jpeg, input, &facts) == 0)
        reduction = std::max(facts.width / request.desiredWidth, facts.height / request.desiredHeight);
    // The codec's own decode (JpegFile::Decode) is this call on the same bytes, without the report.
    const JpegDecodeProgress progress = {ReportToHost, const_cast<OwnDecodeRequest*>(&request)};
    const int result = JpegDecodeDib(input.data, input.size, reduction < 2 ? 0 : std::min(reduction, 32), dib,
                                     request.progress ? &progress : nullptr);
    if (result == 3)
        return SPI_ABORTED;
    return result == 2 ? SPI_NO_MEMORY : OwnResultFromCodec(result);
}

} // namespace

extern const OwnPluginFormat kOwnPluginFormat = {
    "VYX.KR. JPEG plug-in", "*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG", Accepts, ReadFacts, Decode, false,
};
