#include "image/plugins/VyxSPI.h"

#include "foundation/PixelSize.h"
#include "foundation/VyxCode.h"
#include "foundation/VyxLog.h"
#include "foundation/VyxPath.h"
#include "image/DibValidate.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

// A plug-in that keeps answering would otherwise keep the host reading texts for ever.
constexpr int kMaxInfoTexts = 256;

// The bits handle is preset to this: no plug-in can hand back the address of a host's variable.
char s_unsetBitsMark;
HLOCAL UnsetBits()
{
    return reinterpret_cast<HLOCAL>(&s_unsetBitsMark);
}

bool ToAnsiFaithfully(const wchar_t* text, char* out)
{
    if (UnicodeToMultiByte(text, out, MAX_PATH, 0) == 0)
        return false;
    wchar_t back[MAX_PATH];
    if (MultiByteToUnicode(out, back, MAX_PATH, 0) == 0)
        return false;
    return std::wcscmp(back, text) == 0;
}

// The bytes of an info block's header and colour table and the image size its header gives;
// false for a header that cannot be read or sized.
bool MeasureInfoBlock(const BYTE* block, SIZE_T blockSize, ULONGLONG* headBytes, ULONGLONG* imageBytes)
{
    if (blockSize < 4)
        return false;
    DWORD headerSize;
    std::memcpy(&headerSize, block, 4);
    LONGLONG width, height;
    unsigned bits;
    ULONGLONG colors;
    ULONGLONG tableBytes;
    DWORD compression = BI_RGB;
    DWORD imageSize = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        if (blockSize < sizeof(BITMAPCOREHEADER))
            return false;
        BITMAPCOREHEADER core;
        std::memcpy(&core, block, sizeof(core));
        width = core.bcWidth;
        height = core.bcHeight;
        bits = core.bcBitCount;
        colors = bits <= 8 ? 1u << bits : 0;
        tableBytes = colors * 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (blockSize < sizeof(BITMAPINFOHEADER))
            return false;
        BITMAPINFOHEADER header;
        std::memcpy(&header, block, sizeof(header));
        width = header.biWidth;
        height = header.biHeight;
        bits = header.biBitCount;
        compression = header.biCompression;
        imageSize = header.biSizeImage;
        colors = header.biClrUsed ? header.biClrUsed : (bits <= 8 ? 1u << bits : 0);
        if (colors > (bits <= 8 ? 1u << bits : 256u))
            return false;
        tableBytes = colors * 4 + (compression == BI_BITFIELDS && headerSize == 40 ? 12 : 0);
    } else {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (width <= 0 || height == 0)
        return false;
    const LONGLONG rows = height < 0 ? -height : height;
    *headBytes = headerSize + tableBytes;
    *imageBytes = (compression == BI_RLE8 || compression == BI_RLE4) ? imageSize : PixelImageBytes(width, rows, bits);
    return SaturatedSum(*headBytes, *imageBytes) < kMaxDibBytes;
}

// The info block alone is the picture: it must hold at least some pixel bytes.
bool InfoHoldsPixels(HGLOBAL info)
{
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(info));
    if (!block)
        return false;
    SIZE_T size = GlobalSize(info);
    ULONGLONG headBytes, imageBytes;
    bool holds = MeasureInfoBlock(block, size, &headBytes, &imageBytes) && size > headBytes;
    GlobalUnlock(info);
    return holds;
}

void FreePluginBlock(HLOCAL block)
{
    if (block && block != UnsetBits())
        GlobalFree(block);
}

} // namespace

bool MakePluginPath(const wchar_t* path, char* out)
{
    out[0] = 0;
    if (!path)
        return false;
    wchar_t shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(path, shortPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH && ToAnsiFaithfully(shortPath, out))
        return true;
    if (ToAnsiFaithfully(path, out))
        return true;
    out[0] = 0;
    return false;
}

void MakePluginProbePath(const wchar_t* path, char* out)
{
    if (!MakePluginPath(path, out) && path)
        UnicodeToMultiByte(path, out, MAX_PATH, 0);
}

HGLOBAL JoinDibHandles(HGLOBAL info, HGLOBAL bits)
{
    if (!info)
        return nullptr;
    const BYTE* head = static_cast<const BYTE*>(GlobalLock(info));
    if (!head)
        return nullptr;
    SIZE_T infoSize = GlobalSize(info);
    HGLOBAL joined = nullptr;
    ULONGLONG headBytes, imageBytes;
    if (MeasureInfoBlock(head, infoSize, &headBytes, &imageBytes)) {
        SIZE_T bitsSize = bits ? GlobalSize(bits) : 0;
        // Rows the bits cannot fill get no room taken for them: the picture is then refused as
        // it is adopted.
        imageBytes = std::min(imageBytes, FillableImageBytes(bitsSize));
        ULONGLONG total = headBytes + std::max<ULONGLONG>(bitsSize, imageBytes);
        if (total < kMaxDibBytes)
            joined = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(total));
        BYTE* out = joined ? static_cast<BYTE*>(GlobalLock(joined)) : nullptr;
        if (out) {
            std::memcpy(out, head, static_cast<SIZE_T>(std::min<ULONGLONG>(headBytes, infoSize)));
            const BYTE* rows = bitsSize ? static_cast<const BYTE*>(GlobalLock(bits)) : nullptr;
            if (rows) {
                std::memcpy(out + headBytes, rows, bitsSize);
                GlobalUnlock(bits);
            }
            GlobalUnlock(joined);
        } else if (joined) {
            GlobalFree(joined);
            joined = nullptr;
        }
    }
    GlobalUnlock(info);
    return joined;
}

// ---- VyxSPIArray

VyxSPI* VyxSPIArray::GetAt(INT_PTR index) const
{
    if (index < 0 || index >= GetSize())
        return nullptr;
    return static_cast<VyxSPI*>(CObArray::GetAt(index));
}

VyxSPI* VyxSPIArray::FindById(int id) const
{
    return GetAt(IndexOfId(id));
}

int VyxSPIArray::IndexOfId(int id) const
{
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        if (GetAt(i)->GetId() == id)
            return static_cast<int>(i);
    }
    return -1;
}

int VyxSPIArray::IndexOfName(const wchar_t* name) const
{
    if (!name)
        return -1;
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        if (GetAt(i)->GetFileName().CompareNoCase(name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

VyxSPI* VyxSPIArray::FindByName(const wchar_t* name) const
{
    return GetAt(IndexOfName(name));
}

void VyxSPIArray::Sort(int keepOrder)
{
    if (keepOrder)
        return;
    for (INT_PTR i = 1; i < GetSize(); ++i) {
        CObject* current = CObArray::GetAt(i);
        int key = static_cast<VyxSPI*>(current)->GetOrder();
        INT_PTR j = i - 1;
        for (; j >= 0 && GetAt(j)->GetOrder() > key; --j)
            CObArray::SetAt(j + 1, CObArray::GetAt(j));
        CObArray::SetAt(j + 1, current);
    }
}

void VyxSPIArray::MoveToFront(INT_PTR index)
{
    if (index <= 0 || index >= GetSize())
        return;
    CObject* plugin = CObArray::GetAt(index);
    RemoveAt(index);
    InsertAt(0, plugin);
}

void VyxSPIArray::DeleteAll()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete GetAt(i);
    CObArray::RemoveAll();
}

// ---- VyxSPIChildArray

VyxSPIChildArray::~VyxSPIChildArray()
{
    RemoveAll();
}

int VyxSPIChildArray::Add(VyxSPI* plugin)
{
    if (!plugin || IndexOfName(plugin->GetFileName()) >= 0)
        return 0;
    CObArray::Add(plugin);
    ++plugin->m_useCount;
    return static_cast<int>(GetSize());
}

int VyxSPIChildArray::RemoveByName(const wchar_t* name)
{
    int index = IndexOfName(name);
    if (index < 0)
        return 0;
    --GetAt(index)->m_useCount;
    RemoveAt(index);
    return 1;
}

int VyxSPIChildArray::RemoveById(int id)
{
    int index = IndexOfId(id);
    if (index < 0)
        return 0;
    --GetAt(index)->m_useCount;
    RemoveAt(index);
    return 1;
}

void VyxSPIChildArray::RemoveAll()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        --GetAt(i)->m_useCount;
    CObArray::RemoveAll();
}

// ---- VyxSPI

VyxSPI::VyxSPI(HMODULE module)
{
    m_module = module;
    Attach(module);
}

VyxSPI::~VyxSPI()
{
    m_children.RemoveAll();
    m_useCount = 0;
    if (m_module)
        FreeLibrary(m_module);
    m_module = nullptr;
    ClearEntryPoints();
}

void VyxSPI::Attach(HMODULE module)
{
    if (!module)
        return;
    m_module = module;
    m_getPluginInfo = reinterpret_cast<SPIGetPluginInfoProc>(GetProcAddress(module, "GetPluginInfo"));
    m_isSupported = reinterpret_cast<SPIIsSupportedProc>(GetProcAddress(module, "IsSupported"));
    m_getPictureInfo = reinterpret_cast<SPIGetPictureInfoProc>(GetProcAddress(module, "GetPictureInfo"));
    m_getPicture = reinterpret_cast<SPIGetPictureProc>(GetProcAddress(module, "GetPicture"));
    m_getPreview = reinterpret_cast<SPIGetPictureProc>(GetProcAddress(module, "GetPreview"));
    m_getFile = reinterpret_cast<SPIGetFileProc>(GetProcAddress(module, "GetFile"));
    m_getArchiveInfo = reinterpret_cast<SPIGetArchiveInfoProc>(GetProcAddress(module, "GetArchiveInfo"));
    m_getFileInfo = reinterpret_cast<SPIGetFileInfoProc>(GetProcAddress(module, "GetFileInfo"));
    m_configurationDlg = reinterpret_cast<SPIConfigurationDlgProc>(GetProcAddress(module, "ConfigurationDlg"));
}

void VyxSPI::ClearEntryPoints()
{
    m_getPluginInfo = nullptr;
    m_isSupported = nullptr;
    m_getPictureInfo = nullptr;
    m_getPicture = nullptr;
    m_getPreview = nullptr;
    m_getFile = nullptr;
    m_getArchiveInfo = nullptr;
    m_getFileInfo = nullptr;
    m_configurationDlg = nullptr;
}

void VyxSPI::LoadInfo()
{
    m_infoTexts.RemoveAll();
    m_patterns.Empty();
    wchar_t text[SPI_INFO_TEXT_BYTES];
    auto read = [&](int index) {
        if (!GetPluginInfo(index, text, SPI_INFO_TEXT_BYTES))
            return false;
        m_infoTexts.SetAtGrow(index, CString(text));
        return true;
    };
    read(0);
    read(1);
    read(3);
    for (int index = 2; index < kMaxInfoTexts && read(index); index += 2) {
        if (!*text)
            continue;
        if (!m_patterns.IsEmpty())
            m_patterns += L';';
        m_patterns += text;
    }
}

void VyxSPI::Unload()
{
    if (!m_module || m_useCount >= 1)
        return;
    FreeLibrary(m_module);
    m_module = nullptr;
    ClearEntryPoints();
}

int VyxSPI::GetPluginInfo(int index, wchar_t* buffer, int size)
{
    if (buffer && size > 0)
        buffer[0] = 0;
    if (!m_getPluginInfo)
        return 0;
    // The texts are ANSI; a separate buffer, since the wide form needs twice the room.
    char narrow[SPI_INFO_TEXT_BYTES] = {};
    int result = m_getPluginInfo(index, narrow, SPI_INFO_TEXT_BYTES);
    narrow[SPI_INFO_TEXT_BYTES - 1] = 0;
    if (result && buffer && size > 0)
        MultiByteToUnicode(narrow, buffer, size, 0);
    return result;
}

int VyxSPI::IsSupported(const wchar_t* path, const void* head)
{
    if (!m_isSupported)
        return 0;
    char name[MAX_PATH];
    MakePluginProbePath(path, name);
    return IsSupported(name, head);
}

int VyxSPI::IsSupported(const char* ansiPath, const void* head)
{
    if (!m_isSupported)
        return 0;
    return m_isSupported(ansiPath ? ansiPath : "", const_cast<void*>(head));
}

namespace {

// The source as the plug-in takes it: a file's name converted, or the memory pointer unchanged.
// Null (logged) when a file has no name the plug-in could open.
const char* PluginSource(const SPIRequest* request, char* buffer)
{
    if ((request->flags & SPI_INPUT_MASK) != SPI_INPUT_FILE)
        return static_cast<const char*>(request->source);
    const wchar_t* path = static_cast<const wchar_t*>(request->source);
    if (MakePluginPath(path, buffer))
        return buffer;
    LogWrite(VYX_LOG_SOURCE, LogLevelWarning, L"%s: no short or ANSI name for a plug-in", path ? path : L"");
    return nullptr;
}

} // namespace

int VyxSPI::GetPictureInfo(SPIRequest* request, SPIPictureInfoEx* info)
{
    if (!m_getPictureInfo)
        return SPI_NO_FUNCTION;
    info->decodeOption = request->decodeOption;
    char path[MAX_PATH];
    const char* source = PluginSource(request, path);
    if (!source)
        return SPI_FILE_READ_ERROR;
    return m_getPictureInfo(source, request->length, request->flags, &info->info);
}

int VyxSPI::GetPicture(SPIRequest* request)
{
    return RequestPicture(m_getPicture, request);
}

int VyxSPI::GetPreview(SPIRequest* request)
{
    return RequestPicture(m_getPreview, request);
}

int VyxSPI::RequestPicture(SPIGetPictureProc entry, SPIRequest* request)
{
    if (!entry)
        return SPI_NO_FUNCTION;
    char path[MAX_PATH];
    const char* source = PluginSource(request, path);
    if (!source)
        return SPI_FILE_READ_ERROR;
    HLOCAL info = nullptr;
    HLOCAL bits = UnsetBits();
    int result = entry(source, request->length, request->flags, &info, &bits, request->progress, request->callbackData);
    if (result != SPI_OK)
        return result;
    // The same block as both handles is one packed picture, freed once.
    if (bits == info)
        bits = nullptr;
    // A success without a picture is a failure, so that a caller goes on to the next plug-in.
    if (!info) {
        FreePluginBlock(bits);
        return SPI_BROKEN_DATA;
    }
    HGLOBAL picture;
    if (!bits || bits == UnsetBits()) {
        picture = InfoHoldsPixels(info) ? info : nullptr;
        if (!picture)
            GlobalFree(info);
    } else {
        picture = JoinDibHandles(info, bits);
        GlobalFree(info);
        GlobalFree(bits);
    }
    picture = AdoptDib(picture);
    if (!picture)
        return SPI_BROKEN_DATA;
    request->output = picture;
    return SPI_OK;
}

int VyxSPI::GetArchiveInfo(SPIRequest* request)
{
    if (!m_getArchiveInfo)
        return SPI_NO_FUNCTION;
    char path[MAX_PATH];
    const char* source = PluginSource(request, path);
    if (!source)
        return SPI_FILE_READ_ERROR;
    HLOCAL listing = nullptr;
    int result = m_getArchiveInfo(source, request->length, request->flags, &listing);
    if (result == SPI_OK)
        request->output = listing;
    return result;
}

int VyxSPI::GetFileInfo(SPIRequest* request, const char* memberName, SPIFileInfo* record)
{
    if (!m_getFileInfo)
        return SPI_NO_FUNCTION;
    char path[MAX_PATH];
    const char* source = PluginSource(request, path);
    if (!source)
        return SPI_FILE_READ_ERROR;
    int result = m_getFileInfo(source, request->length, memberName ? memberName : "", request->flags, record);
    TerminateFileInfoTexts(record);
    return result;
}

int VyxSPI::GetFile(SPIRequest* request)
{
    if (!m_getFile)
        return SPI_NO_FUNCTION;
    char path[MAX_PATH];
    const char* source = PluginSource(request, path);
    if (!source)
        return SPI_FILE_READ_ERROR;
    char folder[MAX_PATH];
    LPSTR destination;
    switch (request->flags & SPI_OUTPUT_MASK) {
    case SPI_OUTPUT_FILE:
        if (!MakePluginPath(request->destination, folder)) {
            LogWrite(VYX_LOG_SOURCE, LogLevelWarning, L"%s: no short or ANSI name for a plug-in",
                     request->destination ? request->destination : L"");
            return SPI_FILE_READ_ERROR;
        }
        destination = folder;
        break;
    case SPI_OUTPUT_MEMORY:
        destination = reinterpret_cast<LPSTR>(&request->output);
        break;
    default:
        destination = reinterpret_cast<LPSTR>(const_cast<wchar_t*>(request->destination));
        break;
    }
    return m_getFile(source, request->length, destination, request->flags, request->progress, request->callbackData);
}

int VyxSPI::ConfigurationDlg(HWND parent, int function)
{
    if (!m_configurationDlg)
        return SPI_NO_FUNCTION;
    return m_configurationDlg(parent, function);
}

CString VyxSPI::GetFileName() const
{
    CString name;
    GetPathPart(name, m_path, PartName);
    return name;
}

CString VyxSPI::GetInfoString(int index) const
{
    if (index < 0 || index >= m_infoTexts.GetSize())
        return CString();
    return m_infoTexts.GetAt(index);
}
