// An image plug-in for the test format "TPIC" with file and memory input and the failure modes
// the host must survive. Built three ways: plain, with an unknown kind text (TEST_UNKNOWN_KIND)
// and with the program maker's mark (TEST_MAKER_MARK).
#include "image/plugins/SpiInterface.h"

#include "TestPluginProtocol.h"

#include <cstring>
#include <string>

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

namespace {

TestPluginCalls s_calls;

#if defined(TEST_UNKNOWN_KIND)
const char* const kTexts[] = {"00XX", "Test plug-in of an unknown kind", "*.tpic", "Test pictures"};
#elif defined(TEST_MAKER_MARK)
const char* const kTexts[] = {"00IN", "VYX.KR. test picture plug-in", "*.tpic", "GIF"};
#else
const char* const kTexts[] = {"00IN",          "Test picture plug-in", "*.tpic",
                              "Test pictures", "*.tpc2;*.TPIC",        "More test pictures"};
#endif

void Record(const char* name, LONG_PTR length, unsigned flags)
{
    lstrcpynA(s_calls.lastName, name ? name : "", MAX_PATH);
    s_calls.lastLength = length;
    s_calls.lastFlags = flags;
}

// The input's bytes: a file (length = offset) or memory (length = size).
bool LoadInput(const char* source, LONG_PTR length, unsigned flags, std::string& bytes)
{
    if ((flags & SPI_INPUT_MASK) != SPI_INPUT_FILE) {
        if (!source || length < 0)
            return false;
        bytes.assign(source, static_cast<size_t>(length));
        return true;
    }
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    if (length < 0 || static_cast<size_t>(length) > bytes.size())
        return false;
    bytes.erase(0, static_cast<size_t>(length));
    return true;
}

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

HLOCAL NewBlock(SIZE_T size)
{
    return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size);
}

void Copy(HLOCAL block, SIZE_T at, const void* data, SIZE_T size)
{
    BYTE* to = static_cast<BYTE*>(LocalLock(block));
    std::memcpy(to + at, data, size);
    LocalUnlock(block);
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
    Record((flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    RecordRequest(data);
    s_calls.progressGiven = progress != nullptr;
    if (progress) {
        s_calls.progressAnswer = progress(0, 2, data);
        if (s_calls.progressAnswer)
            return SPI_ABORTED;
    }
    std::string bytes;
    if (!LoadInput(source, length, flags, bytes))
        return SPI_FILE_READ_ERROR;
    const TestPictureHeader* header = ParsePicture(bytes);
    if (!header)
        return SPI_UNKNOWN_FORMAT;

    BITMAPV5HEADER v5 = {};
    v5.bV5Width = header->width;
    v5.bV5Height = header->height;
    v5.bV5Planes = 1;
    v5.bV5BitCount = 24;
    v5.bV5Compression = BI_RGB;
    std::string rows = MakeRows(header, 3);
    switch (header->mode) {
    case TestPictureNormal:
        v5.bV5Size = sizeof(BITMAPINFOHEADER);
        *info = NewBlock(v5.bV5Size);
        Copy(*info, 0, &v5, v5.bV5Size);
        *bits = NewBlock(rows.size());
        Copy(*bits, 0, rows.data(), rows.size());
        break;
    case TestPicturePackedInInfo:
    case TestPicturePackedLeavingBits:
        v5.bV5Size = sizeof(BITMAPINFOHEADER);
        *info = NewBlock(v5.bV5Size + rows.size());
        Copy(*info, 0, &v5, v5.bV5Size);
        Copy(*info, v5.bV5Size, rows.data(), rows.size());
        if (header->mode == TestPicturePackedInInfo)
            *bits = nullptr;
        break;
    case TestPictureHeaderOnly:
        v5.bV5Size = sizeof(BITMAPINFOHEADER);
        *info = NewBlock(v5.bV5Size);
        Copy(*info, 0, &v5, v5.bV5Size);
        break;
    case TestPictureFailDecode:
        return SPI_BROKEN_DATA;
    case TestPictureV4Header:
        v5.bV5Size = sizeof(BITMAPV4HEADER);
        *info = NewBlock(v5.bV5Size);
        Copy(*info, 0, &v5, v5.bV5Size);
        *bits = NewBlock(rows.size());
        Copy(*bits, 0, rows.data(), rows.size());
        break;
    case TestPictureV5Bitfields:
        v5.bV5Size = sizeof(BITMAPV5HEADER);
        v5.bV5BitCount = 32;
        v5.bV5Compression = BI_BITFIELDS;
        v5.bV5RedMask = 0x00FF0000;
        v5.bV5GreenMask = 0x0000FF00;
        v5.bV5BlueMask = 0x000000FF;
        rows = MakeRows(header, 4);
        *info = NewBlock(v5.bV5Size);
        Copy(*info, 0, &v5, v5.bV5Size);
        *bits = NewBlock(rows.size());
        Copy(*bits, 0, rows.data(), rows.size());
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
    if (index < 0 || index >= static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0])) || !buffer || size < 1)
        return 0;
    lstrcpynA(buffer, kTexts[index], size);
    return lstrlenA(buffer);
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR name, void* head)
{
    ++s_calls.isSupported;
    Record(name, 0, 0);
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
    Record((flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    const BYTE* record = reinterpret_cast<const BYTE*>(info);
    DWORD marker;
    std::memcpy(&marker, record + 26, 4);
    s_calls.infoRecordMarked = marker == 114;
    if (s_calls.infoRecordMarked)
        std::memcpy(&s_calls.infoDecodeOption, record + 106, 4);
    std::string bytes;
    if (!LoadInput(source, length, flags, bytes))
        return SPI_FILE_READ_ERROR;
    const TestPictureHeader* header = ParsePicture(bytes);
    if (!header)
        return SPI_UNKNOWN_FORMAT;
    info->left = info->top = 0;
    info->width = header->width;
    info->height = header->height;
    info->xDensity = info->yDensity = 0;
    info->colorDepth = 24;
    static const char text[] = "test picture";
    info->hInfo = NewBlock(sizeof(text));
    Copy(info->hInfo, 0, text, sizeof(text));
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
