#include "image/plugins/dll/OwnPlugin.h"

#include "foundation/TempFile.h"
#include "framework/Framework.h"
#include "image/DibCore.h"

#include <cstring>
#include <string>

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

namespace {

// Exceptions must not cross into the host (a foreign one cannot catch ours): every export runs
// its body through this and answers fallback instead.
template <class Body> int Guarded(int fallback, Body body)
{
    try {
        return body();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return fallback;
}

// The input of a request: a file (length = offset into it) or memory (length = size).
class InputSource
{
public:
    // An SPI result.
    int Open(LPCSTR source, LONG_PTR length, unsigned flags)
    {
        if ((flags & SPI_INPUT_MASK) != SPI_INPUT_FILE) {
            if (!source || length <= 0)
                return SPI_FILE_READ_ERROR;
            m_input.data = reinterpret_cast<const BYTE*>(source);
            m_input.size = static_cast<SIZE_T>(length);
            return SPI_OK;
        }
        if (!source || length < 0)
            return SPI_FILE_READ_ERROR;
        int count = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
        if (count <= 0)
            return SPI_FILE_READ_ERROR;
        m_path.resize(count);
        MultiByteToWideChar(CP_ACP, 0, source, -1, &m_path[0], count);
        m_input.path = m_path.c_str();
        m_input.offset = static_cast<DWORD>(length);
        if (kOwnPluginFormat.readsByName)
            return SPI_OK;
        const BYTE* view = m_file.Open(m_input.path, 0, 0);
        if (!view || m_file.GetSize() <= static_cast<ULONGLONG>(length))
            return SPI_FILE_READ_ERROR;
        m_input.data = view + length;
        m_input.size = static_cast<SIZE_T>(m_file.GetSize() - length);
        return SPI_OK;
    }

    const OwnInput& Input() const { return m_input; }

private:
    OwnInput m_input;
    std::wstring m_path;
    MappedFile m_file;
};

HLOCAL CopyToLocal(const BYTE* data, SIZE_T size)
{
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, size ? size : 1);
    if (!block)
        return nullptr;
    if (size) {
        std::memcpy(LocalLock(block), data, size);
        LocalUnlock(block);
    }
    return block;
}

// Another host wants the convention's two handles: header and colour table, then the rows.
int SplitDib(HGLOBAL dib, HLOCAL* info, HLOCAL* bits)
{
    const BYTE* packed = static_cast<const BYTE*>(GlobalLock(dib));
    if (!packed)
        return SPI_MEMORY_ERROR;
    SIZE_T headBytes = static_cast<SIZE_T>(DibBitsPtr(packed) - packed);
    SIZE_T imageBytes = DibImageSize(packed);
    *info = CopyToLocal(packed, headBytes);
    *bits = *info ? CopyToLocal(packed + headBytes, imageBytes) : nullptr;
    GlobalUnlock(dib);
    if (*info && *bits)
        return SPI_OK;
    if (*info)
        LocalFree(*info);
    *info = *bits = nullptr;
    return SPI_NO_MEMORY;
}

int Picture(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits, SPIProgressProc progress,
            LONG_PTR data)
{
    if (!info || !bits)
        return SPI_INTERNAL_ERROR;
    OwnDecodeRequest request;
    const SPIRequest* host = FindVyxRequest(data);
    if (host) {
        request.reduction = host->reduction;
        request.desiredWidth = host->desiredWidth;
        request.desiredHeight = host->desiredHeight;
        request.moviePosition = host->moviePosition;
    }
    if (progress && progress(0, 1, data))
        return SPI_ABORTED;
    request.progress = progress;
    request.progressData = data;
    InputSource input;
    int result = input.Open(source, length, flags);
    if (result != SPI_OK)
        return result;
    HGLOBAL dib = nullptr;
    result = kOwnPluginFormat.decode(input.Input(), request, &dib);
    if (result != SPI_OK || !dib) {
        if (dib)
            GlobalFree(dib);
        return result != SPI_OK ? result : SPI_BROKEN_DATA;
    }
    if (progress && progress(1, 1, data)) {
        GlobalFree(dib);
        return SPI_ABORTED;
    }
    // This program's host takes the packed DIB as it is, saving a copy.
    if (host) {
        *info = dib;
        *bits = nullptr;
        return SPI_OK;
    }
    result = SplitDib(dib, info, bits);
    GlobalFree(dib);
    return result;
}

int PictureInfo(LPCSTR source, LONG_PTR length, unsigned flags, SPIPictureInfo* info)
{
    if (!info)
        return SPI_INTERNAL_ERROR;
    InputSource input;
    int result = input.Open(source, length, flags);
    if (result != SPI_OK)
        return result;
    OwnPictureFacts facts;
    result = kOwnPluginFormat.readFacts(input.Input(), &facts);
    if (result != SPI_OK) {
        if (facts.text)
            GlobalFree(facts.text);
        if (facts.exif)
            GlobalFree(facts.exif);
        return result;
    }
    info->left = 0;
    info->top = 0;
    info->width = facts.width;
    info->height = facts.height;
    info->xDensity = 0;
    info->yDensity = 0;
    info->colorDepth = static_cast<SHORT>(facts.bitCount);
    info->hInfo = facts.text;
    if (SPIPictureInfoEx* longer = FindPictureInfoEx(info)) {
        longer->exif[0] = facts.exif;
        longer->length = facts.length;
        longer->fourcc = facts.fourcc;
    } else if (facts.exif) {
        GlobalFree(facts.exif);
    }
    return SPI_OK;
}

} // namespace

int RunCodecDecode(ImageFileBase& codec, const OwnInput& input, HGLOBAL* dib)
{
    codec.m_data = input.data;
    codec.m_dataSize = static_cast<DWORD>(input.size);
    int result = codec.Decode();
    *dib = codec.m_dib;
    return result;
}

int RunCodecReadInfo(ImageFileBase& codec, const OwnInput& input, OwnPictureFacts* facts)
{
    codec.m_data = input.data;
    codec.m_dataSize = static_cast<DWORD>(input.size);
    int result = codec.ReadInfo();
    if (result == 0) {
        facts->width = codec.m_width;
        facts->height = codec.m_height;
        facts->bitCount = static_cast<int>(codec.m_bitCount);
    }
    return result;
}

HGLOBAL MakeTerminatedText(HGLOBAL text)
{
    if (!text)
        return nullptr;
    SIZE_T size = GlobalSize(text);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 1);
    const BYTE* from = static_cast<const BYTE*>(GlobalLock(text));
    BYTE* to = copy ? static_cast<BYTE*>(GlobalLock(copy)) : nullptr;
    if (from && to)
        std::memcpy(to, from, size);
    if (to)
        GlobalUnlock(copy);
    if (from)
        GlobalUnlock(text);
    return copy;
}

OwnInputPath::~OwnInputPath()
{
    if (m_temporary[0])
        DeleteFileW(m_temporary);
}

int OwnInputPath::Prepare(const OwnInput& input, const wchar_t* extension)
{
    if (!input.data && input.offset == 0) {
        m_path = input.path;
        return SPI_OK;
    }
    MappedFile file;
    const BYTE* data = input.data;
    SIZE_T size = input.size;
    if (!data) {
        const BYTE* view = file.Open(input.path, 0, 0);
        if (!view || file.GetSize() <= input.offset)
            return SPI_FILE_READ_ERROR;
        data = view + input.offset;
        size = static_cast<SIZE_T>(file.GetSize() - input.offset);
    }
    wchar_t folder[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return SPI_INTERNAL_ERROR;
    // The copy carries the extension the decoder wants.
    CString copy;
    HANDLE handle = CreateUniqueTempFile(CString(folder) + L"vyx", extension, copy, FILE_ATTRIBUTE_TEMPORARY);
    if (handle == INVALID_HANDLE_VALUE)
        return SPI_INTERNAL_ERROR;
    if (copy.GetLength() >= MAX_PATH) {
        CloseHandle(handle);
        DeleteFileW(copy);
        return SPI_INTERNAL_ERROR;
    }
    lstrcpynW(m_temporary, copy, MAX_PATH);
    bool written = true;
    while (written && size > 0) {
        DWORD chunk = static_cast<DWORD>(size < (1u << 24) ? size : (1u << 24));
        DWORD done = 0;
        written = WriteFile(handle, data, chunk, &done, nullptr) && done == chunk;
        data += done;
        size -= done;
    }
    CloseHandle(handle);
    if (!written)
        return SPI_INTERNAL_ERROR;
    m_path = m_temporary;
    return SPI_OK;
}

PLUGIN_EXPORT int WINAPI GetPluginInfo(int index, LPSTR buffer, int size)
{
    return Guarded(0, [&] {
        const char* const texts[] = {"00IN", kOwnPluginFormat.description, kOwnPluginFormat.patterns,
                                     kOwnPluginFormat.group};
        if (index < 0 || index >= 4 || !buffer || size < 1)
            return 0;
        lstrcpynA(buffer, texts[index], size);
        return lstrlenA(buffer);
    });
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR, void* head)
{
    return Guarded(0, [&] {
        BYTE bytes[SPI_HEAD_BYTES] = {};
        SIZE_T size = 0;
        // The convention allows a file handle (a value below 0x10000) in place of the head.
        if ((reinterpret_cast<DWORD_PTR>(head) & 0xFFFF0000) == 0) {
            DWORD read = 0;
            if (!head || !ReadFile(static_cast<HANDLE>(head), bytes, sizeof(bytes), &read, nullptr))
                return 0;
            size = read;
        } else {
            std::memcpy(bytes, head, sizeof(bytes));
            size = sizeof(bytes);
        }
        return kOwnPluginFormat.accepts(bytes, size) ? 1 : 0;
    });
}

PLUGIN_EXPORT int WINAPI GetPictureInfo(LPCSTR source, LONG_PTR length, unsigned flags, SPIPictureInfo* info)
{
    return Guarded(SPI_INTERNAL_ERROR, [&] { return PictureInfo(source, length, flags, info); });
}

PLUGIN_EXPORT int WINAPI GetPicture(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits,
                                    SPIProgressProc progress, LONG_PTR data)
{
    return Guarded(SPI_INTERNAL_ERROR, [&] { return Picture(source, length, flags, info, bits, progress, data); });
}
