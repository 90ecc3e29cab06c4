// JPEG 2000 on OpenJPEG: JP2 files and bare codestreams into packed DIBs (grey as 8 bits, colour as
// 24 bits), and 24-bit pictures into JP2 files.
#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibValidate.h"
#include "image/cximage/CxImageCodecs.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Decoding reads the caller's bytes; encoding grows a malloc block.
struct Jp2Stream
{
    BYTE* data = nullptr;
    const BYTE* input = nullptr;
    OPJ_SIZE_T size = 0;
    OPJ_SIZE_T capacity = 0;
    OPJ_SIZE_T position = 0;
};

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* s = static_cast<Jp2Stream*>(user);
    if (s->position >= s->size)
        return static_cast<OPJ_SIZE_T>(-1);
    OPJ_SIZE_T n = s->size - s->position < count ? s->size - s->position : count;
    std::memcpy(buffer, s->input + s->position, n);
    s->position += n;
    return n;
}

bool Reserve(Jp2Stream* s, OPJ_SIZE_T end)
{
    if (end > 0x7FFFFFFF)
        return false;
    if (end <= s->capacity)
        return true;
    OPJ_SIZE_T grown = s->capacity ? s->capacity : 65536;
    while (grown < end)
        grown *= 2;
    auto* data = static_cast<BYTE*>(std::realloc(s->data, grown));
    if (!data)
        return false;
    std::memset(data + s->capacity, 0, grown - s->capacity);
    s->data = data;
    s->capacity = grown;
    return true;
}

OPJ_SIZE_T StreamWrite(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* s = static_cast<Jp2Stream*>(user);
    if (!Reserve(s, s->position + count))
        return static_cast<OPJ_SIZE_T>(-1);
    std::memcpy(s->data + s->position, buffer, count);
    s->position += count;
    if (s->position > s->size)
        s->size = s->position;
    return count;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T count, void* user)
{
    auto* s = static_cast<Jp2Stream*>(user);
    OPJ_OFF_T target = static_cast<OPJ_OFF_T>(s->position) + count;
    if (count < 0 || target > 0x7FFFFFFF)
        return -1;
    if (s->input && static_cast<OPJ_SIZE_T>(target) > s->size)
        target = static_cast<OPJ_OFF_T>(s->size);
    s->position = static_cast<OPJ_SIZE_T>(target);
    return count;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void* user)
{
    auto* s = static_cast<Jp2Stream*>(user);
    if (offset < 0 || offset > 0x7FFFFFFF || (s->input && static_cast<OPJ_SIZE_T>(offset) > s->size))
        return OPJ_FALSE;
    s->position = static_cast<OPJ_SIZE_T>(offset);
    return OPJ_TRUE;
}

void Quiet(const char*, void*) {}

opj_stream_t* MakeStream(Jp2Stream* state, bool input)
{
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE);
    if (!stream)
        return nullptr;
    opj_stream_set_user_data(stream, state, nullptr);
    if (input) {
        opj_stream_set_user_data_length(stream, state->size);
        opj_stream_set_read_function(stream, StreamRead);
    } else {
        opj_stream_set_write_function(stream, StreamWrite);
    }
    opj_stream_set_skip_function(stream, StreamSkip);
    opj_stream_set_seek_function(stream, StreamSeek);
    return stream;
}

void SilenceCodec(opj_codec_t* codec)
{
    opj_set_info_handler(codec, Quiet, nullptr);
    opj_set_warning_handler(codec, Quiet, nullptr);
    opj_set_error_handler(codec, Quiet, nullptr);
}

// One component's sample for an output pixel, brought to 8 bits; subsampled components are
// stretched over the picture.
int Sample(const opj_image_comp_t& comp, OPJ_UINT32 x, OPJ_UINT32 y, OPJ_UINT32 width, OPJ_UINT32 height)
{
    OPJ_UINT32 cx = static_cast<OPJ_UINT32>(static_cast<ULONGLONG>(x) * comp.w / width);
    OPJ_UINT32 cy = static_cast<OPJ_UINT32>(static_cast<ULONGLONG>(y) * comp.h / height);
    int v = comp.data[static_cast<size_t>(cy) * comp.w + cx];
    if (comp.sgnd)
        v += 1 << (comp.prec - 1);
    if (comp.prec > 8)
        v >>= comp.prec - 8;
    else if (comp.prec < 8)
        v <<= 8 - comp.prec;
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

BYTE Clamp(double v)
{
    return v <= 0 ? 0 : v >= 255 ? 255 : static_cast<BYTE>(v + 0.5);
}

HGLOBAL ImageToDib(const opj_image_t* image)
{
    if (image->numcomps == 0 || image->x1 <= image->x0 || image->y1 <= image->y0)
        return nullptr;
    OPJ_UINT32 width = image->x1 - image->x0;
    OPJ_UINT32 height = image->y1 - image->y0;
    int used = image->numcomps >= 3 ? 3 : 1;
    for (int c = 0; c < used; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        if (!comp.data || comp.w == 0 || comp.h == 0 || comp.prec == 0 || comp.prec > 16)
            return nullptr;
    }
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return nullptr;
    HGLOBAL dib = CreateDib(static_cast<LONG>(width), static_cast<LONG>(height), used == 3 ? 24 : 8);
    DibLock lock(dib);
    if (!lock) {
        if (dib)
            GlobalFree(dib);
        return nullptr;
    }
    BYTE* bits = DibBits(lock.get());
    DWORD rowBytes = DibRowSize(lock.get());
    bool ycc = image->color_space == OPJ_CLRSPC_SYCC && used == 3;
    for (OPJ_UINT32 y = 0; y < height; ++y) {
        BYTE* row = bits + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (OPJ_UINT32 x = 0; x < width; ++x) {
            if (used == 1) {
                row[x] = static_cast<BYTE>(Sample(image->comps[0], x, y, width, height));
                continue;
            }
            int a = Sample(image->comps[0], x, y, width, height);
            int b = Sample(image->comps[1], x, y, width, height);
            int c = Sample(image->comps[2], x, y, width, height);
            if (ycc) {
                double cb = b - 128.0, cr = c - 128.0;
                row[x * 3 + 2] = Clamp(a + 1.402 * cr);
                row[x * 3 + 1] = Clamp(a - 0.344136 * cb - 0.714136 * cr);
                row[x * 3] = Clamp(a + 1.772 * cb);
            } else {
                row[x * 3 + 2] = static_cast<BYTE>(a);
                row[x * 3 + 1] = static_cast<BYTE>(b);
                row[x * 3] = static_cast<BYTE>(c);
            }
        }
    }
    return dib;
}

} // namespace

// A code stream's bytes bound the samples it can fill: even at the most a real picture is
// compressed (some hundreds of samples a byte) a stream fills no more than this many samples a
// byte; a small stream may always declare a small picture.
constexpr ULONGLONG kJp2SamplesPerByte = 4096;
constexpr ULONGLONG kJp2AlwaysSamples = ULONGLONG(1) << 22;

// The packets the main header says the stream holds: tiles x layers x the resolutions of every
// component. Every packet's header takes a byte of the stream at least, and the decoder walks
// each of them: a stream cannot hold more than it has bytes.
ULONGLONG DeclaredPackets(opj_codec_t* codec)
{
    opj_codestream_info_v2_t* info = opj_get_cstr_info(codec);
    if (!info)
        return ~0ull;
    ULONGLONG resolutions = 0;
    const opj_tile_info_v2_t& tile = info->m_default_tile_info;
    for (OPJ_UINT32 c = 0; tile.tccp_info && c < info->nbcomps; ++c)
        resolutions += tile.tccp_info[c].numresolutions;
    const ULONGLONG packets = static_cast<ULONGLONG>(info->tw) * info->th * tile.numlayers * resolutions;
    opj_destroy_cstr_info(&info);
    return packets;
}

HGLOBAL CxDecodeJp2(const BYTE* data, SIZE_T size)
{
    static const BYTE jp2Signature[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const BYTE codestream[4] = {0xFF, 0x4F, 0xFF, 0x51};
    OPJ_CODEC_FORMAT format;
    if (size >= 12 && std::memcmp(data, jp2Signature, 12) == 0)
        format = OPJ_CODEC_JP2;
    else if (size >= 4 && std::memcmp(data, codestream, 4) == 0)
        format = OPJ_CODEC_J2K;
    else
        return nullptr;

    Jp2Stream state;
    state.input = data;
    state.size = size;
    opj_stream_t* stream = MakeStream(&state, true);
    opj_codec_t* codec = stream ? opj_create_decompress(format) : nullptr;
    opj_image_t* image = nullptr;
    HGLOBAL dib = nullptr;
    if (codec) {
        SilenceCodec(codec);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        if (opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) && image) {
            // The decoder keeps 32 bits a sample: the picture's size bounds the work first.
            ULONGLONG samples = 0;
            for (OPJ_UINT32 c = 0; c < image->numcomps; ++c)
                samples += static_cast<ULONGLONG>(image->comps[c].w) * image->comps[c].h;
            ULONGLONG pixels = static_cast<ULONGLONG>(image->x1 - image->x0) * (image->y1 - image->y0);
            const bool fillable = samples <= std::max<ULONGLONG>(kJp2AlwaysSamples, size * kJp2SamplesPerByte) &&
                                  DeclaredPackets(codec) <= size;
            if (!fillable)
                LogUnfillablePicture(L"JPEG 2000", image->x1 - image->x0, image->y1 - image->y0, size);
            if (image->x1 > image->x0 && image->y1 > image->y0 && samples * 4 < kMaxDibBytes &&
                pixels * 3 < kMaxDibBytes && fillable && opj_decode(codec, stream, image) &&
                opj_end_decompress(codec, stream))
                dib = ImageToDib(image);
        }
        opj_destroy_codec(codec);
    }
    if (image)
        opj_image_destroy(image);
    if (stream)
        opj_stream_destroy(stream);
    return dib;
}

bool CxEncodeJp2(HGLOBAL source, int quality, CxEncodeResult* out)
{
    GlobalBlock copy;
    HGLOBAL dib = MakeDib24(source);
    if (!dib)
        return false;
    if (dib != source)
        copy.reset(dib);
    DibLock lock(dib);
    if (!lock)
        return false;
    const LONG width = DibWidth(lock.get());
    const LONG height = DibHeight(lock.get());
    const BYTE* bits = DibBits(lock.get());
    const DWORD rowBytes = DibRowSize(lock.get());

    opj_image_cmptparm_t parts[3] = {};
    for (auto& part : parts) {
        part.dx = part.dy = 1;
        part.w = static_cast<OPJ_UINT32>(width);
        part.h = static_cast<OPJ_UINT32>(height);
        part.prec = 8;
        part.sgnd = 0;
    }
    opj_image_t* image = opj_image_create(3, parts, OPJ_CLRSPC_SRGB);
    if (!image)
        return false;
    image->x0 = image->y0 = 0;
    image->x1 = static_cast<OPJ_UINT32>(width);
    image->y1 = static_cast<OPJ_UINT32>(height);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* row = bits + static_cast<size_t>(height - 1 - y) * rowBytes;
        size_t at = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (LONG x = 0; x < width; ++x) {
            image->comps[0].data[at + x] = row[x * 3 + 2];
            image->comps[1].data[at + x] = row[x * 3 + 1];
            image->comps[2].data[at + x] = row[x * 3];
        }
    }

    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.cp_disto_alloc = 1;
    // Quality 100 (or more) is lossless; below it the compression ratio rises as quality falls.
    if (quality >= 100 || quality <= 0) {
        parameters.tcp_rates[0] = 0;
    } else {
        parameters.irreversible = 1;
        parameters.tcp_rates[0] = 200.0f / static_cast<float>(quality);
    }
    // Every resolution level halves the picture; a small picture allows fewer of them.
    int levels = 1;
    for (LONG side = width < height ? width : height; side >= 2 && levels < 6; side /= 2)
        ++levels;
    parameters.numresolution = levels;
    parameters.tcp_mct = 1;

    Jp2Stream state;
    opj_stream_t* stream = MakeStream(&state, false);
    opj_codec_t* codec = stream ? opj_create_compress(OPJ_CODEC_JP2) : nullptr;
    bool ok = false;
    if (codec) {
        SilenceCodec(codec);
        ok = opj_setup_encoder(codec, &parameters, image) && opj_start_compress(codec, image, stream) &&
             opj_encode(codec, stream) && opj_end_compress(codec, stream);
        opj_destroy_codec(codec);
    }
    if (stream)
        opj_stream_destroy(stream);
    opj_image_destroy(image);
    if (!ok) {
        std::free(state.data);
        return false;
    }
    out->data = state.data;
    out->size = state.size;
    return true;
}
