#include "catalogue/VyxFilexImage.h"

#include "catalogue/ArchiveMember.h"
#include "catalogue/CacheSideFiles.h"
#include "catalogue/PictureFileBytes.h"
#include "foundation/ShellShortcut.h"
#include "foundation/SteppedJob.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxLog.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/plugins/Spi.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(VyxFilexImage, VyxFilexInfo)

namespace {

// Until the document hands over its settings.
ItemSettings s_settings;

const int kMovieGroup = 0x0301;
// The property ids of the Exif texts that hold anything: camera maker, camera model, date and time.
const int kFirstExifText = 29;
const int kLastExifText = 31;
const DWORD kSmallestCoverMember = 257;

// The file to read: a shortcut's target, and a name ending in a dot or a blank as it stands.
CString Resolved(const wchar_t* path)
{
    CString target;
    return ExactPath(ResolveShortcut(target, path));
}

void FillSource(SPIRequest& request, const wchar_t* path, const void* data, DWORD size)
{
    if (data) {
        request.source = data;
        request.length = static_cast<LONG_PTR>(size);
        request.flags = SPI_INPUT_MEMORY;
    } else {
        request.source = path;
        request.flags = SPI_INPUT_FILE;
    }
}

CString LocalText(HLOCAL block)
{
    if (!block)
        return CString();
    const char* text = static_cast<const char*>(LocalLock(block));
    if (!text)
        return CString();
    SIZE_T size = LocalSize(block);
    std::string bytes(text, strnlen(text, size));
    LocalUnlock(block);
    return MemberTextAnsi(bytes);
}

// The Exif reader clears its record first, so a block without Exif data must not reach the item's.
bool DecodeExifBlock(HGLOBAL block, tag_ExifInfo& out)
{
    DibLock lock(block);
    if (!lock)
        return false;
    CxMemFile file(lock.get(), static_cast<DWORD>(GlobalSize(block)));
    tag_ExifInfo decoded = {};
    CxImageJPG::CxExifInfo reader(&decoded);
    if (!reader.DecodeExif(&file))
        return false;
    out = decoded;
    return true;
}

// The program's own still-picture decoders (format groups 0x100-0x1FF in the id's high word) read memory
// exactly as they read a file; the others may need the file by name.
bool ReadsMemoryAsFile(int loaderId)
{
    return loaderId >= 0 && (static_cast<DWORD>(loaderId) >> 24) == 0x01;
}

// Member path followed by member name, compared without regard to case.
CString CoverSortKey(const SPIFileInfo& record)
{
    return MemberTextAnsi(MemberField(record.path) + MemberField(record.fileName));
}

} // namespace

VyxFilexImage::VyxFilexImage() {}

VyxFilexImage::VyxFilexImage(const wchar_t* path) : VyxFilexInfo(path) {}

VyxFilexImage::VyxFilexImage(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member)
    : VyxFilexInfo(found, loaderId, archivePluginId, member)
{
}

VyxFilexImage::VyxFilexImage(const VyxFilexImage& other) : VyxFilexInfo(other) {}

VyxFilexImage& VyxFilexImage::operator=(const VyxFilexImage& other)
{
    VyxFilexInfo::operator=(other);
    return *this;
}

VyxFilexImage::~VyxFilexImage() {}

bool VyxFilexImage::HasCover() const
{
    return (IsFolder() && s_settings.IsFolderCoverOn()) || (IsArchive() && s_settings.IsArchiveCoverOn());
}

void VyxFilexImage::SetItemSettings(const ItemSettings& settings)
{
    s_settings = settings;
}

const ItemSettings& VyxFilexImage::GetItemSettings()
{
    return s_settings;
}

HGLOBAL VyxFilexImage::LoadPicture(const SIZE* desiredSize)
{
    if (IsArchiveMember())
        return LoadMemberPicture(desiredSize);
    if (IsFolder())
        return s_settings.IsFolderCoverOn() ? LoadFolderCover(desiredSize) : nullptr;
    HGLOBAL picture = LoadFilePicture(desiredSize);
    if (!picture && s_settings.IsArchiveCoverOn())
        picture = LoadArchiveCover(desiredSize);
    return picture;
}

HGLOBAL VyxFilexImage::DecodeWithChain(const PictureSource& source, const SIZE* desiredSize, bool coverSearch)
{
    int loader = coverSearch ? -1 : m_loaderId;
    bool wantFacts = coverSearch || m_width == 0 || m_height == 0;
    bool query = coverSearch || loader < 0;
    std::vector<int> tried;
    for (;;) {
        if (query) {
            if (!coverSearch) {
                m_loaderId = -1;
                m_infoText.Empty();
            }
            SPISupportQuery probe = {};
            probe.kind = SPImapIndex::KindImage;
            probe.startAfter = loader < 0 ? -1 : loader;
            probe.archiveId = source.archivePluginId;
            probe.path = source.path;
            probe.head = source.data;
            probe.headLength = static_cast<int>(source.size);
            // The probe's head comes from the one opening of the file; without it the probe reads it.
            if (!source.data && source.file)
                probe.head = source.file->Head(&probe.headLength);
            loader = SPlugIn::IsSupported(probe);
            // A decoder already tried in this chain would only fail again.
            if (loader < 0 || std::find(tried.begin(), tried.end(), loader) != tried.end())
                return nullptr;
            wantFacts = true;
        }
        tried.push_back(loader);
        m_loaderId = loader;
        const void* data = source.data;
        DWORD size = source.size;
        if (!data && source.file) {
            if (ReadsMemoryAsFile(loader))
                data = source.file->Whole(&size);
            // A decoder that opens the file itself finds it closed by us.
            source.file->Release();
        }
        if (wantFacts)
            ReadPictureFacts(source.path, data, size);

        SPIRequest request;
        request.id = loader;
        FillSource(request, source.path, data, size);
        request.reduction = 1;
        if (desiredSize && desiredSize->cx >= 1 && desiredSize->cy >= 1) {
            request.reduction = std::max(m_width / desiredSize->cx, m_height / desiredSize->cy);
            request.desiredWidth = desiredSize->cx;
            request.desiredHeight = desiredSize->cy;
        }
        request.decodeOption = static_cast<DWORD>(m_decodeOptions);
        int result = theSPImapIndex.GetPicture(&request);
        m_decodeOptions = static_cast<int>(request.decodeOption);
        if (result == SPI_OK && request.output)
            return request.output;
        if (request.output)
            GlobalFree(request.output);
        // The plug-ins (own ones included) write no log: what they refused is said here.
        if (result == SPI_BROKEN_DATA || result == SPI_NO_MEMORY || result == SPI_MEMORY_ERROR)
            LogWrite(VYX_LOG_SOURCE, LogLevelWarning, L"picture refused by its reader (code %d): %s", result,
                     source.path ? source.path : L"");
        // A load that is given up tries no further decoder.
        if (SteppedJob::IsAborting())
            return nullptr;
        query = true;
    }
}

void VyxFilexImage::ReadPictureFacts(const wchar_t* path, const void* data, DWORD size)
{
    m_exifRead = true;
    SPIRequest request;
    request.id = m_loaderId;
    FillSource(request, path, data, size);
    request.decodeOption = static_cast<DWORD>(m_decodeOptions);
    SPIPictureInfoEx reply = {};
    if (theSPImapIndex.GetPictureInfo(&request, &reply) == SPI_OK) {
        m_width = reply.info.width;
        m_height = reply.info.height;
        m_bitCount = reply.info.colorDepth;
        m_decodeOptions = static_cast<int>(reply.decodeOption);
        CString text;
        if (!IsArchiveMember() && HIWORD(m_loaderId) == kMovieGroup) {
            long seconds = static_cast<long>(reply.length + 0.5);
            char codec[5] = "    ";
            for (int i = 0; i < 4; ++i)
                codec[i] = static_cast<char>(reply.fourcc >> (8 * i));
            text.Format(L"%02ld:%02ld:%02ld %s", seconds / 3600, seconds % 3600 / 60, seconds % 60,
                        MemberTextAnsi(MemberField(codec)).GetString());
        }
        text += LocalText(reply.info.hInfo);
        m_infoText = text;
        for (HGLOBAL block : reply.exif) {
            tag_ExifInfo decoded;
            if (block && DecodeExifBlock(block, decoded))
                PrepareExifInfo() = decoded;
        }
    }
    if (reply.info.hInfo)
        LocalFree(reply.info.hInfo);
    for (HGLOBAL block : reply.exif)
        if (block)
            GlobalFree(block);
}

void VyxFilexImage::TakeLoadingState(const VyxFilexImage& from)
{
    if (this == &from)
        return;
    m_loaderId = from.m_loaderId;
    m_decodeOptions = from.m_decodeOptions;
    m_width = from.m_width;
    m_height = from.m_height;
    m_bitCount = from.m_bitCount;
    m_infoText = from.m_infoText;
    m_exif.reset(from.m_exif ? new tag_ExifInfo(*from.m_exif) : nullptr);
    m_exifRead = from.m_exifRead;
    MarkAsArchive(from.m_kind);
}

CString VyxFilexImage::GetPropertyText(int id) const
{
    // Items are made with new and never const themselves; only the texts are asked through const.
    if (id >= kFirstExifText && id <= kLastExifText && !m_exifRead)
        const_cast<VyxFilexImage*>(this)->ReadExifOnce();
    return VyxFilexInfo::GetPropertyText(id);
}

void VyxFilexImage::ReadExifOnce()
{
    m_exifRead = true;
    // A folder's or an archive's facts are those of its cover, read with the cover.
    if (IsFolder() || IsArchive() || (m_loaderId < 0 && DetectPlugin() < 0))
        return;
    if (!IsArchiveMember()) {
        ReadPictureFacts(Resolved(m_path));
        return;
    }
    GlobalBlock member(ExtractMemberToMemory());
    DibLock bytes(member.get());
    if (bytes)
        ReadPictureFacts(m_path, bytes.get(), static_cast<DWORD>(GlobalSize(member.get())));
}

HGLOBAL VyxFilexImage::LoadFilePicture(const SIZE* desiredSize)
{
    CString path = Resolved(m_path);
    PictureFileBytes file(path);
    return DecodeWithChain({path, nullptr, 0, -1, &file}, desiredSize, false);
}

HGLOBAL VyxFilexImage::ExtractMemberToMemory() const
{
    return ExtractMemberBlock(theSPImapIndex, m_archivePluginId, m_archivePath, m_archivePosition);
}

HGLOBAL VyxFilexImage::LoadMemberPicture(const SIZE* desiredSize)
{
    GlobalBlock member(ExtractMemberToMemory());
    DibLock bytes(member.get());
    if (!bytes)
        return nullptr;
    return DecodeWithChain(
        {m_path, bytes.get(), static_cast<DWORD>(GlobalSize(member.get())), m_archivePluginId, nullptr}, desiredSize,
        false);
}

HGLOBAL VyxFilexImage::LoadFolderCover(const SIZE* desiredSize)
{
    int budget = s_settings.coverSearchCount;
    VyxFileFind finder;
    BOOL more = finder.FindFileIn(m_path, L"*.*");
    while (more && budget >= 1) {
        more = finder.FindNextFile();
        if (finder.IsDirectory() || IsCacheSideFileName(finder.GetFileName()))
            continue;
        CString path = Resolved(finder.GetFilePath());
        PictureFileBytes file(path);
        HGLOBAL cover = DecodeWithChain({path, nullptr, 0, -1, &file}, desiredSize, true);
        --budget;
        if (cover)
            return cover;
    }
    return nullptr;
}

HGLOBAL VyxFilexImage::LoadArchiveCover(const SIZE* desiredSize)
{
    CString archivePath = Resolved(m_path);
    int archiveId = FindArchivePlugin(theSPImapIndex, archivePath, false);
    GlobalBlock listing;
    if (archiveId < 0 || GetArchiveListing(theSPImapIndex, archiveId, archivePath, listing) != SPI_OK)
        return nullptr;

    int count = 0;
    ULONGLONG total = 0;
    std::vector<std::pair<CString, SPIFileInfo>> candidates;
    // The limit may be as large as the setting allows: the product is taken in 64 bits.
    const ULONGLONG limit = static_cast<ULONGLONG>(static_cast<DWORD>(s_settings.archiveMemberLimit)) * 1048576u;
    for (const SPIFileInfo& record : ReadArchiveListing(listing.get())) {
        if (!record.fileName[0])
            continue;
        ++count;
        total += record.fileSize;
        if (record.fileSize >= kSmallestCoverMember && record.fileSize < limit)
            candidates.emplace_back(CoverSortKey(record), record);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.first.CompareNoCase(b.first) < 0; });

    HGLOBAL cover = nullptr;
    int budget = s_settings.coverSearchCount;
    for (const auto& [key, candidate] : candidates) {
        if (budget < 1)
            break;
        GlobalBlock member(ExtractMemberBlock(theSPImapIndex, archiveId, archivePath, candidate.position));
        DibLock bytes(member.get());
        if (!bytes)
            break;
        cover = DecodeWithChain(
            {archivePath, bytes.get(), static_cast<DWORD>(GlobalSize(member.get())), archiveId, nullptr}, desiredSize,
            true);
        if (cover) {
            MarkAsArchive(KindArchive);
            break;
        }
        --budget;
    }
    m_infoText.Format(L"%d files (%s)", count, FormatShortSize(total).GetString());
    return cover;
}

int VyxFilexImage::DetectPlugin()
{
    int loader = -1;
    if (IsArchiveMember()) {
        GlobalBlock member(ExtractMemberToMemory());
        DibLock bytes(member.get());
        if (bytes) {
            SPISupportQuery probe = {};
            probe.kind = SPImapIndex::KindImage;
            probe.startAfter = -1;
            probe.archiveId = m_archivePluginId;
            probe.path = m_fileName;
            probe.head = bytes.get();
            probe.headLength = static_cast<int>(GlobalSize(member.get()));
            loader = SPlugIn::IsSupported(probe);
        }
    } else if (!IsFolder() && m_size != 0) {
        CString path = Resolved(m_path);
        SPISupportQuery probe = {};
        probe.kind = SPImapIndex::KindImage;
        probe.startAfter = -1;
        probe.archiveId = -1;
        probe.path = path;
        loader = SPlugIn::IsSupported(probe);
    }
    m_loaderId = loader;
    return loader;
}

HANDLE VyxFilexImage::OpenFileForReading() const
{
    if (IsArchiveMember())
        return INVALID_HANDLE_VALUE;
    return CreateFileW(Resolved(m_path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HGLOBAL VyxFilexImage::ReadFileData()
{
    if (IsArchiveMember())
        return ExtractMemberToMemory();
    CString path = Resolved(m_path);
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size = {};
    // Bytes past 4 GiB cannot be handed on whole: such a file gives nothing rather than its start.
    if (!GetFileSizeEx(file, &size) || size.HighPart != 0) {
        CloseHandle(file);
        return nullptr;
    }
    DWORD length = size.LowPart;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length);
    if (!block) {
        CloseHandle(file);
        ThrowGlobalError(VyxGlobalErrorException::Create("VyxFilexImage", __LINE__, "VyxMemoryHandle::Alloc"), -2,
                         L"out of memory: %d", static_cast<int>(length));
    }
    bool read = true;
    if (length > 0) {
        BYTE* data = static_cast<BYTE*>(GlobalLock(block));
        DWORD done = 0;
        read = data && ReadFile(file, data, length, &done, nullptr) && done == length;
        if (data)
            GlobalUnlock(block);
    }
    CloseHandle(file);
    if (!read) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}
