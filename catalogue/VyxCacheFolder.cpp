#include "catalogue/VyxCacheFolder.h"

#include "catalogue/CacheFileReader.h"
#include "catalogue/CacheSpillFile.h"
#include "catalogue/VyxFilexDraw.h"
#include "foundation/FileStamp.h"
#include "foundation/ReplacementFile.h"
#include "foundation/VyxIni.h"
#include "image/DibCore.h"
#include "image/codecs/ImgFile.h"
#include "image/codecs/JpegMemory.h"
#include "image/plugins/Spi.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

const char kMagic[] = "VYX.KR. cache file";
const DWORD kMagicLength = 18;
const DWORD kMagicFieldLength = 8 + kMagicLength;
const int kEndTag = 0;
const DWORD kEndFieldLength = 12;
// The bytes gathered before they are written out.
const size_t kWriteChunk = 256 * 1024;
// The new image bytes a folder holds before it moves them out to its spill file.
const size_t kImageBudget = 256 * 1024;
// The most a record's fields other than its image take: five texts of at most 260 characters
// and a few numbers; a place claiming more than this beyond the image is no record of ours.
const DWORD kMostFieldBytes = 16384;
// The most of one field's value the record can use: a text of 260 UTF-16 characters (or of as
// many bytes in the code page, which give at least half as many characters) with room to spare.
const DWORD kMostValueBytes = 1024;
// Records read ahead together in one read: neighbours at most this far apart, a run at most
// this long.
const ULONGLONG kMostReadAheadGap = 65536;
const ULONGLONG kMostReadAheadRun = 4u << 20;
// A read ahead in the cache file reads on this far past its screen: the next screens of a pass
// then cost no opening of the file (which costs more than the reading under Wine), only a look
// at its size and write time.
const DWORD kReadAheadOn = 1u << 20;

// What the last read ahead of the thread read of a cache file, and the file as it stood then.
struct ReadOnWindow
{
    std::vector<BYTE> bytes;
    CString path;
    FileStamp stamp;
    ULONGLONG start = 0;
    DWORD filled = 0;
};

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

// The record's fields, its image (when given) and its end tag at the end of out; where they lie
// in out goes to the record's place fields given.
void AppendRecord(FieldWriter& out, const VyxCacheThumbs& record, const BYTE* image, DWORD& recordLength,
                  DWORD& imageAt)
{
    const size_t start = out.Bytes().size();
    WriteRecordFields(out, record);
    imageAt = 0;
    if (image) {
        out.Head(record.m_imageKind, record.m_imageLength);
        imageAt = static_cast<DWORD>(out.Bytes().size() - start);
        out.Raw(image, record.m_imageLength);
    }
    out.Head(kEndTag, 4);
    out.Dword(0xFFFFFFFFu);
    recordLength = static_cast<DWORD>(out.Bytes().size() - start);
}

bool IsReadOnly(DWORD attributes)
{
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

bool WriteAll(HANDLE file, const void* data, size_t length)
{
    DWORD written = 0;
    return length == 0 || (WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length);
}

// What a reading found besides the records: where the last whole record ends (after the magic
// field when there is none), and whether a record of the file was refused (a damaged one: the
// records are then not all of the file's).
struct ReadFacts
{
    ULONGLONG end = 0;
    bool refused = false;
};

// The records of a cache file, each with its place in it; the LoadDone codes. The records keep
// their image's kind and length, never its bytes: those are read from the place when needed. A
// set stop flag ends the walk (the records read so far are given).
int ReadRecords(const wchar_t* fileName, VyxCacheThumbsArray& records, const std::atomic<bool>* stop = nullptr,
                ReadFacts* facts = nullptr)
{
    records.DeleteAll();
    CacheFileReader file;
    if (!file.Open(fileName))
        return VyxCacheFolder::LoadCannotOpen;
    const ULONGLONG size = file.GetSize();
    if (size < kMagicFieldLength)
        return VyxCacheFolder::LoadTruncated;
    const BYTE* head = file.At(0, kMagicFieldLength);
    if (!head || ReadDword(head) != 0xFFFFFFFFu || ReadDword(head + 4) != kMagicLength ||
        std::memcmp(head + 8, kMagic, kMagicLength) != 0)
        return VyxCacheFolder::LoadBadMagic;
    if (facts)
        facts->end = kMagicFieldLength;

    VyxCacheThumbs work;
    ULONGLONG offset = 0, recordStart = 0, imageAt = 0;
    // Offsets and lengths are added in 64 bits: a hostile length cannot wrap back into the file.
    while (offset < size && size - offset >= 8) {
        const BYTE* field = file.At(offset, 8);
        if (!field || (stop && stop->load(std::memory_order_relaxed)))
            break;
        const int tag = static_cast<int>(ReadDword(field));
        const DWORD length = ReadDword(field + 4);
        const ULONGLONG next = offset + 8 + length;
        if (next <= size) {
            if (tag == kEndTag) {
                if (facts) {
                    facts->end = next;
                    facts->refused = facts->refused || work.m_unusable || !work.SizesFit();
                }
                if (!work.m_unusable && work.SizesFit()) {
                    VyxCacheThumbs* record = new VyxCacheThumbs(work);
                    if (next - recordStart <= 0xFFFFFFFFu && work.m_imageLength > 0) {
                        record->m_place = VyxCacheThumbs::PlaceCacheFile;
                        record->m_placeOffset = recordStart;
                        record->m_placeLength = static_cast<DWORD>(next - recordStart);
                        record->m_placeImage = static_cast<DWORD>(imageAt - recordStart);
                    }
                    records.Add(record);
                }
                work.Clear();
                recordStart = next;
            } else if (tag == VyxCacheThumbs::ImageJpeg || tag == VyxCacheThumbs::ImageDib) {
                imageAt = offset + 8;
                work.ReferImage(tag, nullptr, length);
            } else {
                // No field the record keeps needs more than this: a longer text is too long
                // for the record within it already.
                const DWORD kept = std::min(length, kMostValueBytes);
                const BYTE* value = file.At(offset + 8, kept);
                if (!value)
                    break;
                work.ParseField(tag, value, kept);
            }
        }
        offset = next;
    }
    return VyxCacheFolder::LoadDone;
}

bool SameRecord(const VyxCacheThumbs& a, const VyxCacheThumbs& b)
{
    return a.Matches(b.m_fileName, b.m_memberPath) && a.m_memberPath.CompareNoCase(b.m_memberPath) == 0 &&
           a.m_fileSize == b.m_fileSize && a.m_fileTime == b.m_fileTime && a.m_imageKind == b.m_imageKind &&
           a.m_imageLength == b.m_imageLength;
}

// The image of the record from its place in the file, only when the record found there is this
// record (the file may have been replaced meanwhile) and, unless the caller decodes them with a
// check of its own, its bytes are a picture of the kind. Valid until the file is read again.
bool ReadPlacedImage(CacheFileReader& file, const VyxCacheThumbs& record, const BYTE*& image, bool checkPicture = true)
{
    image = nullptr;
    const DWORD length = record.m_placeLength;
    if (record.m_place == VyxCacheThumbs::PlaceNone || record.m_imageLength == 0 ||
        length > record.m_imageLength + kMostFieldBytes || record.m_placeImage < 8 ||
        record.m_placeImage > length - kEndFieldLength ||
        length - kEndFieldLength - record.m_placeImage < record.m_imageLength)
        return false;
    const BYTE* data = file.At(record.m_placeOffset, length);
    if (!data)
        return false;
    VyxCacheThumbs found;
    bool ended = false;
    for (DWORD offset = 0; !ended && length - offset >= 8;) {
        const int tag = static_cast<int>(ReadDword(data + offset));
        const DWORD fieldLength = ReadDword(data + offset + 4);
        if (fieldLength > length - offset - 8)
            break;
        if (tag == kEndTag)
            ended = offset + 8 + fieldLength == length;
        else
            found.ParseField(tag, data + offset + 8, fieldLength);
        offset += 8 + fieldLength;
    }
    const BYTE* bytes = data + record.m_placeImage;
    const bool same = ended && !found.m_unusable && found.m_image == bytes && SameRecord(found, record);
    found.Clear();
    if (!same)
        return false;
    if (!checkPicture) {
        image = bytes;
        return true;
    }
    LONG width = 0, height = 0;
    if (record.m_imageKind == VyxCacheThumbs::ImageJpeg && !JpegReadSize(bytes, record.m_imageLength, &width, &height))
        return false;
    if (record.m_imageKind == VyxCacheThumbs::ImageDib &&
        (record.m_imageLength < sizeof(BITMAPCOREHEADER) || record.m_imageLength < DibHeaderSize(bytes)))
        return false;
    image = bytes;
    return true;
}

// A hash of the text in lower case, carried on from seed. Made without allocating: a file of many
// thousands of records is indexed without a copy of every name coming and going.
size_t LowerCaseHash(const CString& text, size_t seed = 2166136261u)
{
    wchar_t chunk[64];
    size_t hash = seed;
    for (int at = 0; at < text.GetLength(); at += 64) {
        const int count = std::min(64, text.GetLength() - at);
        std::memcpy(chunk, text.GetString() + at, static_cast<size_t>(count) * sizeof(wchar_t));
        CharLowerBuffW(chunk, static_cast<DWORD>(count));
        for (int i = 0; i < count; ++i)
            hash = (hash ^ chunk[i]) * 16777619u;
    }
    return hash;
}

// Only a hash of the name is kept per record: every candidate is checked in full anyway, and a
// folder of many thousands of records would otherwise hold each name twice.
size_t NameKey(const CString& name)
{
    return LowerCaseHash(name);
}

bool RecordStoresImage(const VyxCacheThumbs& record)
{
    return (record.m_imageKind == VyxCacheThumbs::ImageJpeg || record.m_imageKind == VyxCacheThumbs::ImageDib) &&
           record.m_imageLength > 0;
}

// The images of records whose bytes are not in memory, read from their places while a cache file
// is written: the spill file, the cache file the places refer to, and, for a record without a
// place, the same record in the file being replaced.
class PlacedImages
{
public:
    PlacedImages(const wchar_t* replaced, const wchar_t* placeFile, const CacheSpillFile* spill)
        : m_replaced(replaced), m_placeFile(placeFile ? placeFile : L""), m_spill(spill)
    {
    }
    ~PlacedImages() { Close(); }

    // Valid until the next call; null when the image is not found whole.
    const BYTE* Find(const VyxCacheThumbs& record)
    {
        const BYTE* image = nullptr;
        if (record.m_place == VyxCacheThumbs::PlaceSpill) {
            // Attached once: images moved out one after another are then served by one long read.
            if (m_spill && m_spill->IsOpen() &&
                (m_spillReader.IsOpen() || m_spillReader.Attach(m_spill->GetHandle())) &&
                ReadPlacedImage(m_spillReader, record, image))
                return image;
        } else if (record.m_place == VyxCacheThumbs::PlaceCacheFile && !m_placeFile.IsEmpty()) {
            if (ReadPlacedImage(Open(m_placeFile, m_placeReader, m_placeTried), record, image))
                return image;
        }
        IndexReplaced();
        auto range = m_byName.equal_range(NameKey(record.m_fileName));
        for (auto it = range.first; it != range.second; ++it)
            if (SameRecord(*it->second, record) &&
                ReadPlacedImage(Open(m_replaced, m_replacedReader, m_replacedTried), *it->second, image))
                return image;
        return nullptr;
    }

    // Before the file is replaced: nothing of it may stay open.
    void Close()
    {
        m_placeReader.Close();
        m_replacedReader.Close();
    }

private:
    static CacheFileReader& Open(const CString& path, CacheFileReader& reader, bool& tried)
    {
        if (!tried) {
            tried = true;
            reader.Open(path);
        }
        return reader;
    }

    void IndexReplaced()
    {
        if (m_indexed)
            return;
        m_indexed = true;
        ReadRecords(m_replaced, m_stored);
        for (INT_PTR i = 0; i < m_stored.GetSize(); ++i)
            m_byName.emplace(NameKey(m_stored.GetRecord(i)->m_fileName), m_stored.GetRecord(i));
    }

    CString m_replaced, m_placeFile;
    const CacheSpillFile* m_spill;
    CacheFileReader m_placeReader, m_replacedReader, m_spillReader;
    bool m_placeTried = false, m_replacedTried = false;
    bool m_indexed = false;
    VyxCacheThumbsArray m_stored;
    std::unordered_multimap<size_t, const VyxCacheThumbs*> m_byName;
};

// Writes the records from first on through write(data, length), the first at position (after
// the header fields when position is 0), telling each one's place as placed(index, offset, length,
// image). False when a write failed or the writing was given up.
template <typename Write, typename Placed>
bool WriteRecordRun(Write write, const VyxCacheThumbsArray& records, INT_PTR first, ULONGLONG position,
                    PlacedImages& images, VyxCacheFolder::WriteWatch* watch, Placed placed)
{
    bool ok = true;
    FieldWriter out;
    for (INT_PTR i = first; ok && i < records.GetSize(); ++i) {
        if (watch && i > first && watch->betweenRecords)
            watch->betweenRecords(*watch);
        if (watch && watch->stop.load(std::memory_order_relaxed))
            return false;
        const VyxCacheThumbs* record = records.GetRecord(i);
        if (i == first && position == 0) {
            out.Head(-1, kMagicLength);
            out.Raw(kMagic, kMagicLength);
            double version = 1.0;
            out.Head(-2, sizeof(version));
            out.Raw(&version, sizeof(version));
        }
        const BYTE* image = record->HasImageBytes() ? record->m_image : nullptr;
        if (!image && RecordStoresImage(*record))
            image = images.Find(*record);
        const size_t start = out.Bytes().size();
        DWORD length = 0, imageAt = 0;
        AppendRecord(out, *record, image, length, imageAt);
        placed(i, position + start, length, imageAt);
        if (out.Bytes().size() >= kWriteChunk || i + 1 == records.GetSize()) {
            ok = write(out.Bytes().data(), out.Bytes().size());
            position += out.Bytes().size();
            out.Clear();
        }
        if (watch)
            watch->written.fetch_add(1, std::memory_order_relaxed);
    }
    return ok;
}

} // namespace

VyxCacheFolder::VyxCacheFolder() : m_modified(false), m_imageBudget(kImageBudget)
{
    ReadSettings();
}

VyxCacheFolder::VyxCacheFolder(const wchar_t* folderPath, const wchar_t* archiveFileName)
    : m_folderPath(folderPath), m_archiveFileName(archiveFileName), m_modified(false), m_imageBudget(kImageBudget)
{
    ReadSettings();
}

VyxCacheFolder::~VyxCacheFolder()
{
    if (!m_keepSettings)
        WriteSettings();
}

void VyxCacheFolder::WriteSettings() const
{
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

int VyxCacheFolder::Load(const wchar_t* fileName, const std::atomic<bool>* stop)
{
    RecordsChanged();
    ForgetNewImages();
    m_readAhead.clear();
    m_spill.reset();
    m_spillFailed = false;
    ReadFacts facts;
    int result = ReadRecords(fileName, m_records, stop, &facts);
    m_placeFile = result == LoadDone ? fileName : L"";
    m_modified = result != LoadDone;
    m_inFile = PlaceFileState();
    if (result == LoadDone && FileStamp::Read(fileName, m_inFile.stamp, true)) {
        m_inFile.records = m_records.GetSize();
        m_inFile.end = facts.end;
        // What the list would not write again must leave the file too.
        m_inFile.rewrite = facts.refused;
    } else {
        m_inFile.rewrite = true;
    }
    return result;
}

VyxCacheFolder::FileFate VyxCacheFolder::FateOfFile(const CString& cacheRoot) const
{
    if (GetCount() == 0 && IsFileUnread())
        return FileLeft;
    if (GetCount() == 0 || (!cacheRoot.IsEmpty() && m_folderPath.Left(cacheRoot.GetLength()) == cacheRoot))
        return FileDeleted;
    return FileWritten;
}

int VyxCacheFolder::SaveIfModified(const wchar_t* fileName, WriteWatch* watch)
{
    if (!m_modified)
        return 1;
    if (m_fileUnread && fileName && GetFileAttributesW(fileName) != INVALID_FILE_ATTRIBUTES)
        TakeInRecordsOf(fileName);
    // What a crash left beside the file goes before a new temporary joins it.
    if (fileName)
        ReplacementFile::RemoveLeftoversBeside(fileName);
    std::vector<WrittenPlace> written;
    // New records only: they go at the end of the file, which is not written again.
    int result = AppendNewRecords(fileName, written, watch);
    const bool appended = result >= 0;
    if (!appended)
        result = WriteWhole(fileName, m_records, m_placeFile, m_spill.get(), &written, watch);
    if (result != 1)
        return result;
    m_modified = false;
    // The file is this folder's own now: a later save appends to it without reading it first.
    m_fileUnread = false;
    m_placeFile = fileName;
    const INT_PTR first = appended ? m_inFile.records : 0;
    for (INT_PTR i = first; i < m_records.GetSize(); ++i) {
        VyxCacheThumbs* record = m_records.GetRecord(i);
        const WrittenPlace& place = written[static_cast<size_t>(i - first)];
        if (place.image == 0) {
            // Written without it: the image was not found whole, and no later write or
            // restore may take it from anywhere.
            if (RecordStoresImage(*record))
                record->DropImage();
            continue;
        }
        // The spill file is the folder's own; a place there stays good whatever happens
        // to the cache file.
        if (record->m_place == VyxCacheThumbs::PlaceSpill)
            continue;
        record->m_place = VyxCacheThumbs::PlaceCacheFile;
        record->m_placeOffset = place.offset;
        record->m_placeLength = place.length;
        record->m_placeImage = place.image;
    }
    m_inFile = PlaceFileState();
    if (FileStamp::Read(fileName, m_inFile.stamp, true)) {
        m_inFile.records = m_records.GetSize();
        m_inFile.end = m_inFile.stamp.size;
        m_inFile.rewrite = false;
    }
    ReleaseAfterWrite();
    return result;
}

int VyxCacheFolder::AppendNewRecords(const wchar_t* fileName, std::vector<WrittenPlace>& written, WriteWatch* watch)
{
    if (m_inFile.rewrite || m_placeFile.IsEmpty() || !fileName || m_placeFile.CompareNoCase(fileName) != 0 ||
        m_inFile.records > m_records.GetSize())
        return -1;
    // Held open without letting another writer in until the records are added.
    HANDLE file = CreateFileW(fileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    BY_HANDLE_FILE_INFORMATION facts = {};
    const bool known = GetFileInformationByHandle(file, &facts) != FALSE;
    const FileStamp now{static_cast<ULONGLONG>(facts.nFileSizeHigh) << 32 | facts.nFileSizeLow, facts.ftLastWriteTime};
    ULONGLONG after = m_inFile.end;
    if (known && now != m_inFile.stamp) {
        // Another writer changed the file since it was read: the new records go after the
        // records it holds now, which stay.
        VyxCacheThumbsArray there;
        ReadFacts read;
        after = ReadRecords(fileName, there, nullptr, &read) == LoadDone ? read.end : 0;
    } else if (m_inFile.end > m_inFile.stamp.size) {
        after = 0;
    }
    if (!known || after == 0 || IsReadOnly(facts.dwFileAttributes)) {
        CloseHandle(file);
        return -1;
    }
    PlacedImages images(fileName, m_placeFile, m_spill.get());
    // A record torn by a crash during an earlier append goes first: the new ones follow the last
    // whole record. A crash now leaves the records already there whole, and a torn end the reader
    // drops.
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(after);
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    written.assign(static_cast<size_t>(m_records.GetSize() - m_inFile.records), WrittenPlace{0, 0, 0});
    const INT_PTR first = m_inFile.records;
    ok = ok && WriteRecordRun([file](const void* data, size_t length) { return WriteAll(file, data, length); },
                              m_records, first, after, images, watch,
                              [&written, first](INT_PTR i, ULONGLONG at, DWORD length, DWORD image) {
                                  written[static_cast<size_t>(i - first)] = WrittenPlace{at, length, image};
                              });
    ok = ok && FlushFileBuffers(file);
    if (!ok) {
        // The file as it was: what was appended goes again.
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    return ok ? 1 : 0;
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
    return WriteWhole(fileName, records, fileName, nullptr, nullptr);
}

int VyxCacheFolder::WriteWhole(const wchar_t* fileName, const VyxCacheThumbsArray& records, const wchar_t* placeFile,
                               const CacheSpillFile* spill, std::vector<WrittenPlace>* written, WriteWatch* watch)
{
    if (!fileName || !*fileName)
        return 0;
    // Written beside the file and put in its place at the end, so a crash or a full disk midway
    // leaves the old file or the new one whole; a read-only file is not replaced.
    ReplacementFile temporary;
    if (!temporary.Create(fileName))
        return 0;
    PlacedImages images(fileName, placeFile, spill);
    if (written)
        written->assign(static_cast<size_t>(records.GetSize()), WrittenPlace{0, 0, 0});
    bool ok = WriteRecordRun([&temporary](const void* data, size_t length) { return temporary.Write(data, length); },
                             records, 0, 0, images, watch,
                             [written](INT_PTR i, ULONGLONG at, DWORD length, DWORD image) {
                                 if (written)
                                     (*written)[static_cast<size_t>(i)] = WrittenPlace{at, length, image};
                             });
    images.Close();
    return ok && temporary.PutInPlace() ? 1 : 0;
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
        m_byName.emplace(NameKey(m_records.GetRecord(i)->m_fileName), static_cast<unsigned long long>(i));
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
    return FindIndex(item.GetFileName(), item.GetPath());
}

INT_PTR VyxCacheFolder::FindIndex(const CString& fileName, const CString& memberPath) const
{
    IndexRecords();
    // The first record in list order that matches; each candidate is checked in full. Numbers
    // grow in list order, so the smallest matching number is the first.
    INT_PTR first = -1;
    auto range = m_byName.equal_range(NameKey(fileName));
    for (auto it = range.first; it != range.second; ++it) {
        INT_PTR index = IndexOfNumber(it->second);
        if (index >= 0 && (first < 0 || index < first) && m_records.GetRecord(index)->Matches(fileName, memberPath))
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
        auto range = m_byName.equal_range(NameKey(record->m_fileName));
        for (auto it = range.first; it != range.second; ++it)
            if (it->second == number) {
                m_byName.erase(it);
                break;
            }
        m_order.erase(m_order.begin() + index);
    }
    auto held = std::find(m_newImages.begin(), m_newImages.end(), record);
    if (held != m_newImages.end())
        m_newImages.erase(held);
    m_readAhead.erase(record);
    delete record;
    m_records.RemoveAt(index);
    m_modified = true;
    if (index < m_inFile.records)
        m_inFile.rewrite = true;
}

void VyxCacheFolder::RemoveItem(const VyxFilexInfo& item)
{
    RemoveAt(FindIndex(item));
}

void VyxCacheFolder::RemoveAll()
{
    ForgetNewImages();
    m_readAhead.clear();
    m_records.DeleteAll();
    m_modified = true;
    m_inFile.rewrite = true;
    RecordsChanged();
}

void VyxCacheFolder::LetGo()
{
    if (!m_keepSettings)
        WriteSettings();
    m_keepSettings = true;
    ForgetNewImages();
    CacheSpillFile::Discard(std::move(m_spill));
}

bool VyxCacheFolder::DeleteSomeRecords(INT_PTR count)
{
    ForgetNewImages();
    RecordsChanged();
    const INT_PTR size = m_records.GetSize();
    const INT_PTR kept = size > count ? size - count : 0;
    for (INT_PTR i = size - 1; i >= kept; --i)
        delete m_records.GetRecord(i);
    m_records.SetSize(kept);
    return kept > 0;
}

void VyxCacheFolder::AddRecord(VyxCacheThumbs* record)
{
    m_records.Add(record);
    m_modified = true;
    if (m_byNameReady) {
        m_order.push_back(m_nextNumber);
        m_byName.emplace(NameKey(record->m_fileName), m_nextNumber++);
    }
}

void VyxCacheFolder::TakeInRecordsOf(const wchar_t* fileName)
{
    m_fileUnread = false;
    VyxCacheThumbsArray there;
    if (ReadRecords(fileName, there) != LoadDone)
        return;
    // Their images are found in that file when it is replaced.
    for (INT_PTR i = 0; i < there.GetSize(); ++i) {
        const VyxCacheThumbs* record = there.GetRecord(i);
        if (FindIndex(record->m_fileName, record->m_memberPath) < 0)
            AddRecord(new VyxCacheThumbs(*record));
    }
}

int VyxCacheFolder::StoreFromItem(VyxFilexDraw& item)
{
    if (item.IsCached() && !m_cacheLoadFree)
        return 0;
    VyxCacheThumbs facts;
    if (!facts.BuildFromItem(item))
        return -1;
    const INT_PTR index = FindIndex(item);
    VyxCacheThumbs* record = GetAt(index);
    if (record) {
        // An image read ahead is no longer the record's once it changes.
        m_readAhead.erase(record);
        record->BuildFromItem(item);
        // A record the file has is changed there only by writing the file again.
        if (index < m_inFile.records)
            m_inFile.rewrite = true;
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
        HoldNewImage(record);
        return 0;
    }
    if (m_cacheImage == 1) {
        DibLock bytes(thumbnail);
        if (!bytes || !record->SetImage(VyxCacheThumbs::ImageDib, bytes.get(), GetDibTotalSize(thumbnail)))
            return -1;
        m_modified = true;
        HoldNewImage(record);
        return 0;
    }
    return -1;
}

int VyxCacheFolder::RestoreToItem(VyxFilexDraw& item)
{
    VyxCacheThumbs* record = FindRecord(item);
    if (!record)
        return -1;
    VyxSPI* loader = record->m_loaderName.IsEmpty() ? nullptr : FindLoader(record->m_loaderName);
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

    HGLOBAL thumbnail = DecodeImage(*record);
    m_readAhead.erase(record);
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

VyxSPI* VyxCacheFolder::FindLoader(const CString& name) const
{
    // The records of a folder name one or two loaders: the last one found is asked by its id (its
    // name compared exactly), a name compared to every plug-in's only when it changes.
    if (m_lastLoaderId >= 0 && name == m_lastLoaderName) {
        VyxSPI* plugin = theSPImapIndex.GetPluginById(m_lastLoaderId, SPImapIndex::KindImage);
        if (plugin && plugin->GetFileName() == name)
            return plugin;
    }
    VyxSPI* plugin = theSPImapIndex.FindPluginByName(name, SPImapIndex::KindImage);
    m_lastLoaderName = name;
    m_lastLoaderId = plugin ? plugin->GetId() : -1;
    return plugin;
}

const BYTE* VyxCacheFolder::FindImage(const VyxCacheThumbs& record, CacheFileReader& file) const
{
    if (record.HasImageBytes())
        return record.m_image;
    auto ahead = m_readAhead.find(&record);
    if (ahead != m_readAhead.end() && RecordStoresImage(record) && ahead->second.size() == record.m_imageLength)
        return ahead->second.data();
    const BYTE* image = nullptr;
    if (record.m_place == VyxCacheThumbs::PlaceSpill) {
        if (m_spill && m_spill->IsOpen() && file.Attach(m_spill->GetHandle()))
            ReadPlacedImage(file, record, image);
    } else if (record.m_place == VyxCacheThumbs::PlaceCacheFile && !m_placeFile.IsEmpty()) {
        // Opened for each image, never held: the file stays free to be replaced or moved.
        if (file.Open(m_placeFile))
            ReadPlacedImage(file, record, image);
    }
    return image;
}

bool VyxCacheFolder::ReadImage(const VyxCacheThumbs& record, std::vector<BYTE>& bytes) const
{
    CacheFileReader file;
    const BYTE* image = FindImage(record, file);
    if (!image) {
        bytes.clear();
        return false;
    }
    bytes.assign(image, image + record.m_imageLength);
    return true;
}

HGLOBAL VyxCacheFolder::DecodeImage(const VyxCacheThumbs& record) const
{
    CacheFileReader file;
    const BYTE* image = FindImage(record, file);
    return image ? record.DecodeImage(image) : nullptr;
}

void VyxCacheFolder::ReadAhead(const std::vector<Key>& keys)
{
    std::unordered_map<const VyxCacheThumbs*, std::vector<BYTE>> kept;
    std::vector<const VyxCacheThumbs*> wanted;
    for (const Key& key : keys) {
        const VyxCacheThumbs* record = GetAt(FindIndex(key.fileName, key.memberPath));
        if (!record || record->HasImageBytes() || !RecordStoresImage(*record) ||
            record->m_place == VyxCacheThumbs::PlaceNone || kept.count(record))
            continue;
        auto held = m_readAhead.find(record);
        if (held != m_readAhead.end())
            kept.emplace(record, std::move(held->second));
        else
            wanted.push_back(record);
    }
    m_readAhead.swap(kept);
    // In the file's order, each run of neighbouring records with one read.
    std::sort(wanted.begin(), wanted.end(), [](const VyxCacheThumbs* a, const VyxCacheThumbs* b) {
        return a->m_place != b->m_place ? a->m_place < b->m_place : a->m_placeOffset < b->m_placeOffset;
    });
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    CacheFileReader cacheFile, spillFile;
    // One window for every screen of the thread. What the last screen read on past itself serves
    // while the file at the place is still the one it was read from (the same size and write
    // time): replaced or deleted since, it is read as it stands now.
    static thread_local ReadOnWindow s_window;
    FileStamp stamp;
    const bool stillThere = s_window.filled > 0 && !m_placeFile.IsEmpty() && s_window.path == m_placeFile &&
                            FileStamp::Read(m_placeFile, stamp, true) && stamp == s_window.stamp;
    cacheFile.LendWindow(s_window.bytes, s_window.start, stillThere ? s_window.filled : 0);
    bool stampKnown = stillThere;
    bool cacheFileTried = false;
    for (size_t first = 0; first < wanted.size();) {
        const BYTE place = wanted[first]->m_place;
        const ULONGLONG start = wanted[first]->m_placeOffset;
        ULONGLONG end = start + wanted[first]->m_placeLength;
        size_t last = first + 1;
        while (last < wanted.size() && wanted[last]->m_place == place && wanted[last]->m_placeOffset >= end &&
               wanted[last]->m_placeOffset - end <= kMostReadAheadGap &&
               wanted[last]->m_placeOffset + wanted[last]->m_placeLength - start <= kMostReadAheadRun) {
            end = wanted[last]->m_placeOffset + wanted[last]->m_placeLength;
            ++last;
        }
        const DWORD length = static_cast<DWORD>(std::min<ULONGLONG>(end - start, kMostReadAheadRun));
        CacheFileReader* file = nullptr;
        DWORD readOn = 0;
        if (place == VyxCacheThumbs::PlaceSpill) {
            if (m_spill && m_spill->IsOpen() && (spillFile.IsOpen() || spillFile.Attach(m_spill->GetHandle())))
                file = &spillFile;
        } else if (place == VyxCacheThumbs::PlaceCacheFile && !m_placeFile.IsEmpty()) {
            if (!cacheFileTried && !cacheFile.Holds(start, length)) {
                cacheFileTried = true;
                stampKnown = cacheFile.Open(m_placeFile) && cacheFile.ReadStamp(stamp);
            }
            if (cacheFile.IsOpen() || cacheFile.Holds(start, length))
                file = &cacheFile;
            readOn = kReadAheadOn;
        }
        // The run whole; each record is then checked in it.
        if (file && file->AtReadingOn(start, length, readOn))
            for (size_t i = first; i < last; ++i) {
                const BYTE* image = nullptr;
                if (ReadPlacedImage(*file, *wanted[i], image, false))
                    m_readAhead[wanted[i]].assign(image, image + wanted[i]->m_imageLength);
            }
        first = last;
    }
    cacheFile.ReturnWindow(s_window.bytes, s_window.start, s_window.filled);
    s_window.path = m_placeFile;
    s_window.stamp = stamp;
    if (!stampKnown)
        s_window.filled = 0;
}

void VyxCacheFolder::HoldNewImage(VyxCacheThumbs* record)
{
    if (m_spillFailed)
        return;
    if (std::find(m_newImages.begin(), m_newImages.end(), record) == m_newImages.end())
        m_newImages.push_back(record);
    m_newImageBytes += record->m_imageLength;
    if (m_newImageBytes > m_imageBudget)
        MoveOutNewImages();
}

void VyxCacheFolder::MoveOutNewImages()
{
    if (!m_spill)
        m_spill.reset(new CacheSpillFile);
    FieldWriter out;
    std::vector<WrittenPlace> places(m_newImages.size(), WrittenPlace{0, 0, 0});
    for (size_t i = 0; i < m_newImages.size(); ++i) {
        const VyxCacheThumbs* record = m_newImages[i];
        if (!record->HasImageBytes())
            continue;
        places[i].offset = out.Bytes().size();
        AppendRecord(out, *record, record->m_image, places[i].length, places[i].image);
    }
    ULONGLONG at = 0;
    if (!m_spill->Open() || !m_spill->Append(out.Bytes().data(), out.Bytes().size(), at)) {
        m_spillFailed = true;
        ForgetNewImages();
        return;
    }
    for (size_t i = 0; i < m_newImages.size(); ++i) {
        VyxCacheThumbs* record = m_newImages[i];
        if (places[i].image == 0)
            continue;
        const bool releaseWhenWritten = record->m_releaseWhenWritten;
        record->ReleaseImage();
        record->m_releaseWhenWritten = releaseWhenWritten;
        record->m_imageAway = true;
        record->m_place = VyxCacheThumbs::PlaceSpill;
        record->m_placeOffset = at + places[i].offset;
        record->m_placeLength = places[i].length;
        record->m_placeImage = places[i].image;
    }
    ForgetNewImages();
}

void VyxCacheFolder::ForgetNewImages()
{
    m_newImages.clear();
    m_newImageBytes = 0;
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
