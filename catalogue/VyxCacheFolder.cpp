#include "catalogue/VyxCacheFolder.h"

#include "catalogue/VyxFilexDraw.h"
#include "foundation/VyxIni.h"
#include "image/DibCore.h"
#include "image/codecs/ImageFileBase.h"
#include "image/codecs/ImgFile.h"
#include "image/plugins/Spi.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace {

const char kMagic[] = "VYX.KR. cache file";
const DWORD kMagicLength = 18;
const DWORD kMagicFieldLength = 8 + kMagicLength;
const int kEndTag = 0;

DWORD ReadDword(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

class FieldWriter
{
public:
    void Raw(const void* data, size_t length)
    {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + length);
    }
    void Dword(DWORD value)
    {
        BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
        Raw(bytes, 4);
    }
    void Head(int tag, DWORD length)
    {
        Dword(static_cast<DWORD>(tag));
        Dword(length);
    }
    void Int(int tag, int value)
    {
        Head(tag, 4);
        Dword(static_cast<DWORD>(value));
    }
    void Pair(int tag, DWORD first, DWORD second)
    {
        Head(tag, 8);
        Dword(first);
        Dword(second);
    }
    void Text(int tag, const CString& text)
    {
        Head(tag, static_cast<DWORD>(text.GetLength() + 1) * 2);
        for (int i = 0; i <= text.GetLength(); ++i) {
            wchar_t ch = i < text.GetLength() ? text[i] : 0;
            BYTE bytes[2] = {static_cast<BYTE>(ch), static_cast<BYTE>(ch >> 8)};
            Raw(bytes, 2);
        }
    }
    const std::vector<BYTE>& Bytes() const { return m_bytes; }
    void Clear() { m_bytes.clear(); }

private:
    std::vector<BYTE> m_bytes;
};

void WriteRecordFields(FieldWriter& out, const VyxCacheThumbs& record)
{
    out.Pair(1006, static_cast<DWORD>(record.m_fileSize), static_cast<DWORD>(record.m_fileSize >> 32));
    ULONGLONG time = static_cast<ULONGLONG>(record.m_fileTime);
    out.Pair(1007, static_cast<DWORD>(time), static_cast<DWORD>(time >> 32));
    out.Text(2001, record.m_fileName);
    out.Text(2002, record.m_loaderName);
    out.Text(2005, record.m_memberPath);
    out.Pair(1012, static_cast<DWORD>(record.m_cellSize.cx), static_cast<DWORD>(record.m_cellSize.cy));
    out.Pair(1013, static_cast<DWORD>(record.m_boxSize.cx), static_cast<DWORD>(record.m_boxSize.cy));
    out.Int(1008, record.m_width);
    out.Int(1009, record.m_height);
    out.Int(1010, record.m_bitCount);
    out.Text(2003, record.m_archiveFileName);
    out.Text(2004, record.m_archiveLoaderName);
    out.Int(1025, record.m_kind);
}

bool WriteAll(HANDLE file, const void* data, size_t length)
{
    DWORD written = 0;
    return length == 0 || (WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length);
}

// The records of a cache file; the LoadDone codes.
int ReadRecords(const wchar_t* fileName, VyxCacheThumbsArray& records)
{
    records.DeleteAll();
    MappedFile file;
    const BYTE* data = file.Open(fileName, 0, 0);
    if (!data) {
        // An empty file cannot be mapped: it is a short file, not a missing one.
        WIN32_FILE_ATTRIBUTE_DATA facts;
        if (fileName && GetFileAttributesExW(fileName, GetFileExInfoStandard, &facts) &&
            !(facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && facts.nFileSizeHigh == 0 &&
            facts.nFileSizeLow < kMagicFieldLength)
            return VyxCacheFolder::LoadTruncated;
        return VyxCacheFolder::LoadCannotOpen;
    }
    const ULONGLONG size = file.GetSize();
    if (size < kMagicFieldLength)
        return VyxCacheFolder::LoadTruncated;
    if (ReadDword(data) != 0xFFFFFFFFu || ReadDword(data + 4) != kMagicLength ||
        std::memcmp(data + 8, kMagic, kMagicLength) != 0)
        return VyxCacheFolder::LoadBadMagic;

    VyxCacheThumbs work;
    ULONGLONG offset = 0;
    // Offsets and lengths are added in 64 bits: a hostile length cannot wrap back into the file.
    while (offset < size && size - offset >= 8) {
        int tag = static_cast<int>(ReadDword(data + offset));
        DWORD length = ReadDword(data + offset + 4);
        ULONGLONG next = offset + 8 + length;
        if (next <= size) {
            if (tag == kEndTag) {
                if (!work.m_unusable && work.SizesFit())
                    records.Add(new VyxCacheThumbs(work));
                work.Clear();
            } else {
                work.ParseField(tag, data + offset + 8, length);
            }
        }
        offset = next;
    }
    // The work record may still point into the mapping, which goes with file.
    work.Clear();
    return VyxCacheFolder::LoadDone;
}

bool SameRecord(const VyxCacheThumbs& a, const VyxCacheThumbs& b)
{
    return a.Matches(b.m_fileName, b.m_memberPath) && a.m_memberPath.CompareNoCase(b.m_memberPath) == 0 &&
           a.m_fileSize == b.m_fileSize && a.m_fileTime == b.m_fileTime && a.m_imageKind == b.m_imageKind &&
           a.m_imageLength == b.m_imageLength;
}

// Where a record whose bytes were released finds them: the same record of the file on disk.
const VyxCacheThumbs* FindStoredImage(const VyxCacheThumbsArray& stored, const VyxCacheThumbs& record)
{
    for (INT_PTR i = 0; i < stored.GetSize(); ++i) {
        const VyxCacheThumbs* candidate = stored.GetRecord(i);
        if (candidate->HasImageBytes() && SameRecord(*candidate, record))
            return candidate;
    }
    return nullptr;
}

std::wstring LowerCaseKey(const CString& name)
{
    std::wstring key(name.GetString(), static_cast<size_t>(name.GetLength()));
    if (!key.empty())
        CharLowerBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

bool RecordStoresImage(const VyxCacheThumbs& record)
{
    return (record.m_imageKind == VyxCacheThumbs::ImageJpeg || record.m_imageKind == VyxCacheThumbs::ImageDib) &&
           record.m_imageLength > 0;
}

} // namespace

VyxCacheFolder::VyxCacheFolder() : m_modified(false)
{
    ReadSettings();
}

VyxCacheFolder::VyxCacheFolder(const wchar_t* folderPath, const wchar_t* archiveFileName)
    : m_folderPath(folderPath), m_archiveFileName(archiveFileName), m_modified(false)
{
    ReadSettings();
}

VyxCacheFolder::~VyxCacheFolder()
{
    if (m_keepSettings)
        return;
    WriteAppIniInt(L"KWDoc", L"CacheImage", m_cacheImage);
    WriteAppIniBool(L"KWDoc", L"CacheLoadFree", m_cacheLoadFree);
    WriteAppIniInt(L"KWDoc", L"CacheQuality", m_cacheQuality);
}

void VyxCacheFolder::ReadSettings()
{
    m_cacheImage = GetAppIniInt(L"KWDoc", L"CacheImage", 0);
    m_cacheLoadFree = GetAppIniBool(L"KWDoc", L"CacheLoadFree", false);
    m_cacheQuality = GetAppIniInt(L"KWDoc", L"CacheQuality", 90);
}

void VyxCacheFolder::RecordsChanged()
{
    m_byName.clear();
    m_order.clear();
    m_byNameReady = false;
}

int VyxCacheFolder::Load(const wchar_t* fileName)
{
    RecordsChanged();
    int result = ReadRecords(fileName, m_records);
    m_modified = result != LoadDone;
    // Only the first record of a file is ever found; later ones of the same file would be
    // carried and written again at every save. Dropped here, the file is written once without.
    std::unordered_set<std::wstring> seen;
    INT_PTR kept = 0;
    for (INT_PTR i = 0; i < m_records.GetSize(); ++i) {
        VyxCacheThumbs* record = m_records.GetRecord(i);
        if (!seen.insert(LowerCaseKey(record->m_fileName) + L'\x01' + LowerCaseKey(record->m_memberPath)).second) {
            delete record;
            continue;
        }
        m_records.SetAt(kept++, record);
    }
    if (kept < m_records.GetSize()) {
        m_records.SetSize(kept);
        m_modified = true;
    }
    return result;
}

int VyxCacheFolder::SaveIfModified(const wchar_t* fileName)
{
    if (!m_modified)
        return 1;
    int result = WriteRecords(fileName, m_records);
    if (result == 1) {
        m_modified = false;
        ReleaseAfterWrite();
    }
    return result;
}

void VyxCacheFolder::ReleaseAfterWrite()
{
    for (INT_PTR i = 0; i < m_records.GetSize(); ++i) {
        VyxCacheThumbs* record = m_records.GetRecord(i);
        if (record->m_releaseWhenWritten)
            record->ReleaseImage();
    }
}

int VyxCacheFolder::WriteRecords(const wchar_t* fileName, const VyxCacheThumbsArray& records)
{
    if (!fileName || !*fileName)
        return 0;
    VyxCacheThumbsArray stored;
    for (INT_PTR i = 0; i < records.GetSize(); ++i) {
        const VyxCacheThumbs* record = records.GetRecord(i);
        if (!record->HasImageBytes() && RecordStoresImage(*record)) {
            ReadRecords(fileName, stored);
            break;
        }
    }

    // Written beside the file and put in its place at the end, so a crash or a full disk midway
    // leaves the old file or the new one whole.
    CString temporary = CString(fileName) + L".tmp";
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    bool ok = true;
    FieldWriter out;
    for (INT_PTR i = 0; ok && i < records.GetSize(); ++i) {
        const VyxCacheThumbs* record = records.GetRecord(i);
        if (i == 0) {
            out.Head(-1, kMagicLength);
            out.Raw(kMagic, kMagicLength);
            double version = 1.0;
            out.Head(-2, sizeof(version));
            out.Raw(&version, sizeof(version));
        }
        WriteRecordFields(out, *record);
        const VyxCacheThumbs* image = record->HasImageBytes() ? record : nullptr;
        if (!image && RecordStoresImage(*record))
            image = FindStoredImage(stored, *record);
        if (image)
            out.Head(image->m_imageKind, image->m_imageLength);
        ok = WriteAll(file, out.Bytes().data(), out.Bytes().size());
        out.Clear();
        if (ok && image)
            ok = WriteAll(file, image->m_image, image->m_imageLength);
        out.Head(kEndTag, 4);
        out.Dword(0xFFFFFFFFu);
        ok = ok && WriteAll(file, out.Bytes().data(), out.Bytes().size());
        out.Clear();
    }
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok)
        ok = MoveFileExW(temporary, fileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok) {
        DeleteFileW(temporary);
        return 0;
    }
    return 1;
}

void VyxCacheFolder::RewriteArchiveName(const wchar_t* fileName, const wchar_t* text)
{
    VyxCacheThumbsArray records;
    if (ReadRecords(fileName, records) != LoadDone)
        return;
    for (INT_PTR i = 0; i < records.GetSize(); ++i)
        records.GetRecord(i)->m_archiveFileName = text;
    WriteRecords(fileName, records);
}

void VyxCacheFolder::IndexRecords() const
{
    if (m_byNameReady)
        return;
    m_order.resize(static_cast<size_t>(m_records.GetSize()));
    for (INT_PTR i = 0; i < m_records.GetSize(); ++i) {
        m_order[static_cast<size_t>(i)] = static_cast<unsigned long long>(i);
        m_byName.emplace(LowerCaseKey(m_records.GetRecord(i)->m_fileName), static_cast<unsigned long long>(i));
    }
    m_nextNumber = static_cast<unsigned long long>(m_records.GetSize());
    m_byNameReady = true;
}

INT_PTR VyxCacheFolder::IndexOfNumber(unsigned long long number) const
{
    auto at = std::lower_bound(m_order.begin(), m_order.end(), number);
    return at != m_order.end() && *at == number ? static_cast<INT_PTR>(at - m_order.begin()) : -1;
}

INT_PTR VyxCacheFolder::FindIndex(const VyxFilexInfo& item) const
{
    IndexRecords();
    // The first record in list order that matches; each candidate is checked in full. Numbers
    // grow in list order, so the smallest matching number is the first.
    INT_PTR first = -1;
    auto range = m_byName.equal_range(LowerCaseKey(item.GetFileName()));
    for (auto it = range.first; it != range.second; ++it) {
        INT_PTR index = IndexOfNumber(it->second);
        if (index >= 0 && (first < 0 || index < first) &&
            m_records.GetRecord(index)->Matches(item.GetFileName(), item.GetPath()))
            first = index;
    }
    return first;
}

VyxCacheThumbs* VyxCacheFolder::FindRecord(const VyxFilexInfo& item) const
{
    INT_PTR index = FindIndex(item);
    return index >= 0 ? m_records.GetRecord(index) : nullptr;
}

VyxCacheThumbs* VyxCacheFolder::GetAt(INT_PTR index) const
{
    return index >= 0 && index < m_records.GetSize() ? m_records.GetRecord(index) : nullptr;
}

void VyxCacheFolder::RemoveAt(INT_PTR index)
{
    if (index < 0 || index >= m_records.GetSize())
        return;
    VyxCacheThumbs* record = m_records.GetRecord(index);
    // The name index follows the removal: rebuilding it at the next lookup would make removing
    // many records quadratic.
    if (m_byNameReady) {
        const unsigned long long number = m_order[static_cast<size_t>(index)];
        auto range = m_byName.equal_range(LowerCaseKey(record->m_fileName));
        for (auto it = range.first; it != range.second; ++it)
            if (it->second == number) {
                m_byName.erase(it);
                break;
            }
        m_order.erase(m_order.begin() + index);
    }
    delete record;
    m_records.RemoveAt(index);
    m_modified = true;
}

void VyxCacheFolder::RemoveItem(const VyxFilexInfo& item)
{
    RemoveAt(FindIndex(item));
}

void VyxCacheFolder::RemoveAll()
{
    m_records.DeleteAll();
    m_modified = true;
    RecordsChanged();
}

void VyxCacheFolder::AddCopy(const VyxCacheThumbs& record)
{
    AddRecord(new VyxCacheThumbs(record));
}

void VyxCacheFolder::AddRecord(VyxCacheThumbs* record)
{
    m_records.Add(record);
    m_modified = true;
    if (m_byNameReady) {
        m_order.push_back(m_nextNumber);
        m_byName.emplace(LowerCaseKey(record->m_fileName), m_nextNumber++);
    }
}

int VyxCacheFolder::StoreFromItem(VyxFilexDraw& item)
{
    if (item.IsCached() && !m_cacheLoadFree)
        return 0;
    VyxCacheThumbs facts;
    if (!facts.BuildFromItem(item))
        return -1;
    VyxCacheThumbs* record = FindRecord(item);
    if (record) {
        record->BuildFromItem(item);
    } else {
        record = new VyxCacheThumbs;
        record->BuildFromItem(item);
        AddRecord(record);
    }
    HGLOBAL thumbnail = item.GetThumbnail();
    if (!thumbnail)
        return -1;
    if (m_cacheImage == 0) {
        ImgFile codec;
        codec.m_dib = thumbnail;
        codec.m_format = CXIMAGE_FORMAT_JPG;
        codec.m_quality = static_cast<DWORD>(m_cacheQuality);
        int result = codec.SaveToMemory();
        if (result != 0)
            return result;
        if (!record->SetImage(VyxCacheThumbs::ImageJpeg, codec.m_buffer.GetData(),
                              static_cast<DWORD>(codec.m_buffer.GetCapacity())))
            return 3;
        m_modified = true;
        return 0;
    }
    if (m_cacheImage == 1) {
        DibLock bytes(thumbnail);
        if (!bytes || !record->SetImage(VyxCacheThumbs::ImageDib, bytes.get(), GetDibTotalSize(thumbnail)))
            return -1;
        m_modified = true;
        return 0;
    }
    return -1;
}

int VyxCacheFolder::RestoreToItem(VyxFilexDraw& item)
{
    VyxCacheThumbs* record = FindRecord(item);
    if (!record)
        return -1;
    VyxSPI* loader = record->m_loaderName.IsEmpty()
                         ? nullptr
                         : theSPImapIndex.FindPluginByName(record->m_loaderName, SPImapIndex::KindImage);
    if (!loader)
        return -1;
    VyxSPI* archiveLoader =
        record->m_archiveLoaderName.IsEmpty()
            ? nullptr
            : theSPImapIndex.FindPluginByName(record->m_archiveLoaderName, SPImapIndex::KindArchive);
    if (!CacheTimeMatches(item.GetFileTime(), record->m_fileTime))
        return -1;
    if (item.GetFileSize() != record->m_fileSize)
        return -1;
    if (!archiveLoader && !loader->IsEnabled())
        return -1;

    item.SetWidth(record->m_width);
    item.SetHeight(record->m_height);
    item.SetBitCount(record->m_bitCount);
    item.SetCellSize(record->m_cellSize);
    item.SetLoaderId(loader->GetId());
    item.DropThumbnail();
    if (record->m_kind == VyxFilexInfo::KindArchive)
        item.MarkAsArchive(VyxFilexInfo::KindArchive);

    HGLOBAL thumbnail = record->DecodeImage();
    if (thumbnail)
        item.SetThumbnail(thumbnail);
    if (m_cacheLoadFree) {
        // Unwritten changes would be written without these bytes: they go after the write.
        if (m_modified)
            record->m_releaseWhenWritten = true;
        else
            record->ReleaseImage();
    }
    return thumbnail ? 0 : -1;
}

bool CacheTimeMatches(long long itemTime, long long recordTime)
{
    auto close = [](long long a, long long b) {
        int difference = static_cast<int>(static_cast<DWORD>(a) - static_cast<DWORD>(b));
        return difference > -2 && difference < 2;
    };
    if (close(itemTime, recordTime))
        return true;
    if (itemTime <= 0)
        return false;
    TIME_ZONE_INFORMATION zone;
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        return false;
    long long standardTime = itemTime + (static_cast<long long>(zone.Bias) + zone.StandardBias) * 60;
    return close(standardTime, recordTime);
}
