#include "image/codecs/JpegMemory.h"

#include "image/DibCore.h"
#include "image/DibValidate.h"

#include "foundation/ReplacementFile.h"

#include <jerror.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int g_jpegErrorFlag = 0;

namespace {

// Working memory libjpeg may take for one picture (a 24-megapixel progressive picture needs
// about 100 MB of coefficients).
constexpr long kJpegWorkingMemory = 512L * 1024 * 1024;

// The pixels a JPEG stream's bytes can fill: every 8 x 8 block of the first component takes a bit
// of the stream at least (its DC code, in a progressive stream's first scan), so no stream fills
// more than 512 pixels a byte; a small stream may always declare a small picture. A picture cut
// short keeps its size as long as what is left of it could fill it.
constexpr ULONGLONG kJpegPixelsPerByte = 512;
constexpr ULONGLONG kJpegAlwaysPixels = ULONGLONG(1) << 20;

// Scans a stream may have: a progressive picture has some ten. Every scan walks all the blocks of
// its components, coded or not, so a few bytes a scan could otherwise cost seconds each.
constexpr int kJpegMostScans = 100;

void ErrorExit(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    g_jpegErrorFlag = 1;
    longjmp(manager->jump, 1);
}

// Warnings and traces are dropped: a program without a console has nowhere to show them.
void OutputMessage(j_common_ptr) {}

struct MemorySource
{
    jpeg_source_mgr pub;
    const JOCTET* data;
    SIZE_T length;
    bool startOfFile;
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<MemorySource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    if (src->startOfFile && src->length > 0) {
        src->pub.next_input_byte = src->data;
        src->pub.bytes_in_buffer = src->length;
        src->startOfFile = false;
        return TRUE;
    }
    if (src->startOfFile)
        ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->pub.next_input_byte = kEndOfImage;
    src->pub.bytes_in_buffer = 2;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    size_t n = static_cast<size_t>(count);
    while (n > src->bytes_in_buffer) {
        n -= src->bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void TermSource(j_decompress_ptr) {}

struct MemoryDestination
{
    jpeg_destination_mgr pub;
    JOCTET* data;
    size_t capacity;
    size_t written;
};

void InitDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->data;
    dest->pub.free_in_buffer = dest->capacity;
}

// The buffer doubles when full, so output larger than the raw pixels (tiny or noisy pictures)
// still encodes.
boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    size_t grown = dest->capacity * 2;
    auto* data = static_cast<JOCTET*>(std::realloc(dest->data, grown));
    if (!data)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->data = data;
    dest->pub.next_output_byte = data + dest->capacity;
    dest->pub.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->written = dest->capacity - dest->pub.free_in_buffer;
}

// The most a marker segment holds after its length field.
const size_t kMaxMarkerData = 65533;

// Writes the DIB's rows top of the picture first. No C++ objects live in this frame: the error
// exit jumps back to the setjmp of the caller.
void CompressRows(j_compress_ptr cinfo, const void* dib24, const JpegEncodeSettings& settings)
{
    const LONG width = DibWidth(dib24), height = DibHeight(dib24);
    cinfo->image_width = static_cast<JDIMENSION>(width);
    cinfo->image_height = static_cast<JDIMENSION>(height);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    if (settings.grey)
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(cinfo, std::clamp(settings.quality, 0, 100), settings.progressive ? FALSE : TRUE);
    if (settings.progressive)
        jpeg_simple_progression(cinfo);
    // An Exif file starts with its Exif segment.
    const JpegMetadata* kept = settings.metadata;
    const JpegMarkerSegment* exif = nullptr;
    if (kept)
        for (const JpegMarkerSegment& segment : kept->Segments())
            if (!exif && JpegMetadata::IsExif(segment) && segment.payload.size() <= kMaxMarkerData)
                exif = &segment;
    if (exif)
        cinfo->write_JFIF_header = FALSE;
    jpeg_start_compress(cinfo, TRUE);
    if (exif)
        jpeg_write_marker(cinfo, exif->marker, exif->payload.data(), static_cast<unsigned int>(exif->payload.size()));
    if (kept)
        for (const JpegMarkerSegment& segment : kept->Segments())
            if (&segment != exif && segment.payload.size() <= kMaxMarkerData && kept->Keeps(segment, settings.grey))
                jpeg_write_marker(cinfo, segment.marker, segment.payload.data(),
                                  static_cast<unsigned int>(segment.payload.size()));
    const BYTE* bits = DibBits(dib24);
    const DWORD row = DibRowSize(dib24);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW line = const_cast<JSAMPROW>(bits + static_cast<SIZE_T>(height - 1 - cinfo->next_scanline) * row);
        jpeg_write_scanlines(cinfo, &line, 1);
    }
    jpeg_finish_compress(cinfo);
}

// Rows for one band of a decode, kept for the next picture on the same thread (up to a bound).
class BandBuffer
{
public:
    ~BandBuffer() { std::free(m_data); }
    BYTE* Rows(SIZE_T size)
    {
        if (size > m_size) {
            std::free(m_data);
            m_data = static_cast<BYTE*>(std::malloc(size));
            m_size = m_data ? size : 0;
        }
        return m_data;
    }
    // A band wider than this is not kept after its picture.
    void Trim()
    {
        if (m_size > kKept) {
            std::free(m_data);
            m_data = nullptr;
            m_size = 0;
        }
    }

private:
    static constexpr SIZE_T kKept = 1u << 20;
    BYTE* m_data = nullptr;
    SIZE_T m_size = 0;
};

BandBuffer& BandBufferOfThisThread()
{
    static thread_local BandBuffer buffer;
    return buffer;
}

// The library's progress monitor: it ends a stream of more scans than any real picture has as a
// broken one, and hands its counts to the caller's report, whose stop leaves by the error manager's
// jump too.
struct ProgressMonitor
{
    jpeg_progress_mgr pub;
    const JpegDecodeProgress* hook;
    JpegErrorManager* err;
    volatile bool stopped;
};

void MonitorProgress(j_common_ptr cinfo)
{
    auto* monitor = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMostScans) {
        std::snprintf(monitor->err->message, sizeof monitor->err->message, "more than %d scans", kJpegMostScans);
        g_jpegErrorFlag = 1;
        longjmp(monitor->err->jump, 1);
    }
    if (!monitor->hook)
        return;
    const jpeg_progress_mgr& pub = monitor->pub;
    const long step = pub.pass_limit > 0 ? pub.pass_counter * 1000 / pub.pass_limit : 0;
    const long total = std::max(pub.total_passes, 1) * 1000L;
    if (monitor->hook->report(std::min(pub.completed_passes * 1000L + step, total), total, monitor->hook->context)) {
        monitor->stopped = true;
        longjmp(monitor->err->jump, 1);
    }
}

bool EncodableDib(const void* dib24)
{
    return dib24 && DibBitCount(dib24) == 24 && DibWidth(dib24) > 0 && DibHeight(dib24) > 0 &&
           DibWidth(dib24) <= JPEG_MAX_DIMENSION && DibHeight(dib24) <= JPEG_MAX_DIMENSION;
}

} // namespace

jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager* manager)
{
    jpeg_error_mgr* err = jpeg_std_error(&manager->pub);
    err->error_exit = ErrorExit;
    err->output_message = OutputMessage;
    manager->message[0] = 0;
    return err;
}

void InstallJpegMemorySource(j_decompress_ptr cinfo, const BYTE* data, SIZE_T size)
{
    auto* src = static_cast<MemorySource*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->pub.next_input_byte = nullptr;
    src->pub.bytes_in_buffer = 0;
    src->data = data;
    src->length = data ? size : 0;
    src->startOfFile = true;
    cinfo->src = &src->pub;
}

void LimitJpegMemory(j_common_ptr cinfo)
{
    cinfo->mem->max_memory_to_use = kJpegWorkingMemory;
}

int JpegScaleDenominator(int reduction)
{
    if (reduction >= 8)
        return 8;
    if (reduction >= 4)
        return 4;
    if (reduction >= 2)
        return 2;
    return 1;
}

int JpegDecodeDib(const BYTE* data, SIZE_T size, int reduction, HGLOBAL* result, const JpegDecodeProgress* progress,
                  const SIZE* largest)
{
    *result = nullptr;
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = InitJpegErrorManager(&err);
    ProgressMonitor monitor = {};
    monitor.pub.progress_monitor = MonitorProgress;
    monitor.hook = progress;
    monitor.err = &err;
    HGLOBAL volatile dib = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (dib) {
            GlobalUnlock(dib);
            GlobalFree(dib);
        }
        return monitor.stopped ? 3 : 1;
    }
    jpeg_create_decompress(&cinfo);
    if (!progress || !progress->report)
        monitor.hook = nullptr;
    cinfo.progress = &monitor.pub;
    LimitJpegMemory(reinterpret_cast<j_common_ptr>(&cinfo));
    InstallJpegMemorySource(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    if (largest && (cinfo.image_width > static_cast<JDIMENSION>(std::max(largest->cx, 0L)) ||
                    cinfo.image_height > static_cast<JDIMENSION>(std::max(largest->cy, 0L)))) {
        jpeg_destroy_decompress(&cinfo);
        return 2;
    }
    const int denominator = JpegScaleDenominator(reduction);
    if (denominator > 1) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = static_cast<unsigned>(denominator);
    }
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&cinfo);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = static_cast<LONG>(cinfo.output_width);
    header.biHeight = static_cast<LONG>(cinfo.output_height);
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(8 * cinfo.out_color_components);
    header.biCompression = BI_RGB;
    // Refuse before libjpeg allocates anything for the picture.
    const ULONGLONG declared = static_cast<ULONGLONG>(cinfo.image_width) * cinfo.image_height;
    const bool fillable = declared <= std::max(kJpegAlwaysPixels, size * kJpegPixelsPerByte);
    if (!fillable)
        LogUnfillablePicture(L"JPEG", cinfo.image_width, cinfo.image_height, size);
    if (!CheckDibHeader(header) || !fillable) {
        jpeg_destroy_decompress(&cinfo);
        return 2;
    }
    jpeg_start_decompress(&cinfo);
    dib = CreateDibFromHeader(&header);
    if (!dib) {
        jpeg_destroy_decompress(&cinfo);
        return 2;
    }
    BYTE* bits = DibBits(GlobalLock(dib));
    const DWORD row = DibRowSize(&header);
    const JDIMENSION height = cinfo.output_height;
    // The library writes each band into rows that stay from picture to picture, copied into the
    // picture after: written straight into a newly allocated block as it decodes, a thumbnail
    // decodes half as slow again under Wine.
    const JDIMENSION band = 16;
    const SIZE_T width = static_cast<SIZE_T>(cinfo.output_width) * static_cast<SIZE_T>(cinfo.output_components);
    BandBuffer& buffer = BandBufferOfThisThread();
    BYTE* scratch = buffer.Rows(width * band);
    JSAMPROW rows[band];
    for (JDIMENSION k = 0; k < band; ++k)
        rows[k] = scratch ? scratch + k * width : nullptr;
    while (cinfo.output_scanline < height) {
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION want = std::min<JDIMENSION>(band, height - first);
        if (!scratch) {
            // No room for the band: straight into the picture, bottom-up.
            for (JDIMENSION k = 0; k < want; ++k)
                rows[k] = bits + static_cast<SIZE_T>(height - 1 - (first + k)) * row;
            jpeg_read_scanlines(&cinfo, rows, want);
            continue;
        }
        const JDIMENSION count = jpeg_read_scanlines(&cinfo, rows, want);
        for (JDIMENSION k = 0; k < count; ++k)
            std::memcpy(bits + static_cast<SIZE_T>(height - 1 - (first + k)) * row, rows[k], width);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    BandBufferOfThisThread().Trim();
    GlobalUnlock(dib);
    *result = dib;
    return 0;
}

int JpegEncodeToMemory(const void* dib24, const JpegEncodeSettings& settings, BYTE** data, SIZE_T* size)
{
    *data = nullptr;
    *size = 0;
    if (!EncodableDib(dib24))
        return 1;
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = InitJpegErrorManager(&err);
    MemoryDestination dest;
    dest.capacity = std::clamp<size_t>(DibImageSize(dib24) / 4, 64 * 1024, 16 * 1024 * 1024);
    dest.data = static_cast<JOCTET*>(std::malloc(dest.capacity));
    dest.written = 0;
    if (!dest.data)
        return 1;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(dest.data);
        return 1;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyOutputBuffer;
    dest.pub.term_destination = TermDestination;
    cinfo.dest = &dest.pub;
    CompressRows(&cinfo, dib24, settings);
    jpeg_destroy_compress(&cinfo);
    *data = dest.data;
    *size = dest.written;
    return 0;
}

namespace {

// No C++ objects with destructors live in this frame: the library's error exit jumps back here.
int EncodeIntoStream(const void* dib24, const JpegEncodeSettings& settings, FILE* file)
{
    if (!EncodableDib(dib24) || !file)
        return 1;
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = InitJpegErrorManager(&err);
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return 1;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    CompressRows(&cinfo, dib24, settings);
    jpeg_destroy_compress(&cinfo);
    return 0;
}

} // namespace

int JpegEncodeToFile(const void* dib24, const JpegEncodeSettings& settings, const wchar_t* path)
{
    ReplacementFile file(path);
    if (!file.Stream())
        return -1;
    // Whole blocks to the file instead of the library's small buffer at a time.
    std::setvbuf(file.Stream(), nullptr, _IOFBF, 64 * 1024);
    return EncodeIntoStream(dib24, settings, file.Stream()) == 0 && file.PutInPlace() ? 0 : 1;
}

bool JpegReadSize(const BYTE* data, SIZE_T size, LONG* width, LONG* height)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = InitJpegErrorManager(&err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    LimitJpegMemory(reinterpret_cast<j_common_ptr>(&cinfo));
    InstallJpegMemorySource(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    *width = static_cast<LONG>(cinfo.image_width);
    *height = static_cast<LONG>(cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
