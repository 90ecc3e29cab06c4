// An image plug-in for the test format "TPIC" with file and memory input and the failure modes
// the host must survive. Built four ways: plain, with an unknown kind text (TEST_UNKNOWN_KIND,
// which also fills the whole text buffer without a terminator), with the program maker's mark
// (TEST_MAKER_MARK) and as the maker's movie reader (TEST_MOVIE_MARK), which reports a length and
// a codec.
#include "TestPluginCommon.h"

#include <cstddef>

using namespace testplugin;

namespace {

TestPluginCalls s_calls;

#if defined(TEST_UNKNOWN_KIND)
const char* const kTexts[] = {"00XX", "Test plug-in of an unknown kind", "*.tpic", "Test pictures"};
#elif defined(TEST_MAKER_MARK)
const char* const kTexts[] = {"00IN", "VYX.KR. test picture plug-in", "*.tpic", "GIF"};
#elif defined(TEST_MOVIE_MARK)
const char* const kTexts[] = {"00IN", "VYX.KR. test movie plug-in", "*.tpic", "DirectShow"};
#else
const char* const kTexts[] = {"00IN",          "Test picture plug-in", "*.tpic",
                              "Test pictures", "*.tpc2;*.TPIC",        "More test pictures"};
#endif

const TestPictureHeader* ParsePicture(const std::string& bytes)
{
    if (bytes.size() < sizeof(TestPictureHeader) || std::memcmp(bytes.data(), "TPIC", 4) != 0)
        return nullptr;
    const TestPictureHeader* header = reinterpret_cast<const TestPictureHeader*>(bytes.data());
    size_t pixels = static_cast<size_t>(header->width) * header->height * 3;
    if (header->width == 0 || header->height == 0 || bytes.size() < sizeof(TestPictureHeader) + pixels)
        return nullptr;
    return header;
}

// The picture of a request's input; bytes holds what header points into.
int LoadPicture(LPCSTR source, LONG_PTR length, unsigned flags, std::string& bytes, const TestPictureHeader** header)
{
    if (!LoadInput(source, length, flags, length, bytes))
        return SPI_FILE_READ_ERROR;
    *header = ParsePicture(bytes);
    return *header ? SPI_OK : SPI_UNKNOWN_FORMAT;
}

// Bottom-up rows of 3 or 4 bytes a pixel, padded to 4 bytes.
std::string MakeRows(const TestPictureHeader* header, int bytesPerPixel)
{
    const BYTE* pixels = reinterpret_cast<const BYTE*>(header + 1);
    size_t row = (static_cast<size_t>(header->width) * bytesPerPixel + 3) & ~size_t(3);
    std::string rows(row * header->height, '\0');
    for (int y = 0; y < header->height; ++y) {
        char* to = &rows[(header->height - 1 - y) * row];
        for (int x = 0; x < header->width; ++x) {
            const BYTE* from = pixels + (static_cast<size_t>(y) * header->width + x) * 3;
            std::memcpy(to + x * bytesPerPixel, from, 3);
        }
    }
    return rows;
}

void RecordRequest(LONG_PTR data)
{
    s_calls.lastCallbackData = data;
    s_calls.sawVyxTag = FALSE;
    const char* request = reinterpret_cast<const char*>(data);
    if (request && std::memcmp(request, "vyx", 3) == 0) {
        s_calls.sawVyxTag = TRUE;
        std::memcpy(s_calls.request, request, sizeof(s_calls.request));
    }
}

int Picture(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits, SPIProgressProc progress,
            LONG_PTR data)
{
    ++s_calls.getPicture;
    RecordCall(s_calls, (flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    RecordRequest(data);
    s_calls.progressGiven = progress != nullptr;
    if (progress) {
        s_calls.progressAnswer = progress(0, 2, data);
        if (s_calls.progressAnswer)
            return SPI_ABORTED;
    }
    std::string bytes;
    const TestPictureHeader* header = nullptr;
    if (int result = LoadPicture(source, length, flags, bytes, &header))
        return result;

    BYTE mode = header->mode;
#if defined(TEST_MAKER_MARK) || defined(TEST_MOVIE_MARK)
    const bool maker = true;
#else
    const bool maker = false;
#endif
    if (mode == TestPictureFailDecode || (mode == TestPictureMakerOnly && !maker))
        return SPI_BROKEN_DATA;
    if (mode == TestPictureMakerOnly || mode == TestPictureWithExif)
        mode = TestPictureNormal;
    BITMAPV5HEADER v5 = {};
    v5.bV5Size = mode == TestPictureV4Header      ? sizeof(BITMAPV4HEADER)
                 : mode == TestPictureV5Bitfields ? sizeof(BITMAPV5HEADER)
                                                  : sizeof(BITMAPINFOHEADER);
    v5.bV5Width = header->width;
    v5.bV5Height = header->height;
    v5.bV5Planes = 1;
    v5.bV5BitCount = 24;
    v5.bV5Compression = BI_RGB;
    if (mode == TestPictureV5Bitfields) {
        v5.bV5BitCount = 32;
        v5.bV5Compression = BI_BITFIELDS;
        v5.bV5RedMask = 0x00FF0000;
        v5.bV5GreenMask = 0x0000FF00;
        v5.bV5BlueMask = 0x000000FF;
    }
    std::string head(reinterpret_cast<const char*>(&v5), v5.bV5Size);
    std::string rows = MakeRows(header, v5.bV5BitCount / 8);
    switch (mode) {
    case TestPictureNormal:
    case TestPictureV4Header:
    case TestPictureV5Bitfields:
        *info = LocalBlock(head);
        *bits = LocalBlock(rows);
        break;
    case TestPicturePackedInInfo:
        *info = LocalBlock(head + rows);
        *bits = nullptr;
        break;
    case TestPicturePackedLeavingBits:
        *info = LocalBlock(head + rows);
        break;
    case TestPictureHeaderOnly:
        *info = LocalBlock(head);
        break;
    default:
        return SPI_UNKNOWN_FORMAT;
    }
    if (progress)
        progress(2, 2, data);
    return SPI_OK;
}

} // namespace

PLUGIN_EXPORT int WINAPI GetPluginInfo(int index, LPSTR buffer, int size)
{
#if defined(TEST_UNKNOWN_KIND)
    if (index == 1 && buffer && size > 0) {
        std::memset(buffer, 'x', size);
        return size;
    }
#endif
    return CopyInfoText(kTexts, index, buffer, size);
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR name, void* head)
{
    ++s_calls.isSupported;
    RecordCall(s_calls, name, 0, 0);
    char bytes[4] = {};
    if ((reinterpret_cast<DWORD_PTR>(head) & 0xFFFF0000) == 0) {
        DWORD read = 0;
        if (!ReadFile(static_cast<HANDLE>(head), bytes, sizeof(bytes), &read, nullptr))
            return 0;
    } else {
        std::memcpy(bytes, head, sizeof(bytes));
    }
    return std::memcmp(bytes, "TPIC", 4) == 0;
}

PLUGIN_EXPORT int WINAPI GetPictureInfo(LPCSTR source, LONG_PTR length, unsigned flags, SPIPictureInfo* info)
{
    ++s_calls.getPictureInfo;
    RecordCall(s_calls, (flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    const BYTE* record = reinterpret_cast<const BYTE*>(info);
    DWORD marker;
    // Read as bytes, where a plug-in built elsewhere finds them (26, 114 and 106 in 32-bit code).
    std::memcpy(&marker, record + offsetof(SPIPictureInfoEx, marker), 4);
    s_calls.infoRecordMarked = marker == sizeof(SPIPictureInfoEx);
    if (s_calls.infoRecordMarked)
        std::memcpy(&s_calls.infoDecodeOption, record + offsetof(SPIPictureInfoEx, decodeOption), 4);
    std::string bytes;
    const TestPictureHeader* header = nullptr;
    if (int result = LoadPicture(source, length, flags, bytes, &header))
        return result;
    info->left = info->top = 0;
    info->width = header->width;
    info->height = header->height;
    info->xDensity = info->yDensity = 0;
    info->colorDepth = 24;
    info->hInfo = LocalBlock(std::string("test picture", sizeof("test picture")));
    if (s_calls.infoRecordMarked) {
        SPIPictureInfoEx* longer = reinterpret_cast<SPIPictureInfoEx*>(info);
#if defined(TEST_MOVIE_MARK)
        longer->length = 3725.4;
        longer->fourcc = 'X' | 'V' << 8 | 'I' << 16 | 'D' << 24;
#endif
        size_t end = sizeof(TestPictureHeader) + static_cast<size_t>(header->width) * header->height * 3;
        if (header->mode == TestPictureWithExif && bytes.size() > end) {
            longer->exif[0] = GlobalAlloc(GMEM_MOVEABLE, bytes.size() - end);
            std::memcpy(GlobalLock(longer->exif[0]), bytes.data() + end, bytes.size() - end);
            GlobalUnlock(longer->exif[0]);
        }
    }
    return SPI_OK;
}

PLUGIN_EXPORT int WINAPI GetPicture(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits,
                                    SPIProgressProc progress, LONG_PTR data)
{
    return Picture(source, length, flags, info, bits, progress, data);
}

PLUGIN_EXPORT int WINAPI GetPreview(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits,
                                    SPIProgressProc progress, LONG_PTR data)
{
    return Picture(source, length, flags, info, bits, progress, data);
}

PLUGIN_EXPORT int WINAPI ConfigurationDlg(HWND, int function)
{
    return 100 + function;
}

PLUGIN_EXPORT TestPluginCalls* WINAPI TestPluginGetCalls()
{
    return &s_calls;
}
