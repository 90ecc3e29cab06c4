// The thumbnail cache of one location (a folder, or an archive file shown as a folder) in memory:
// its records, read from and written to one cache file, and the moves of a thumbnail between an
// item and its record.
#pragma once

#include "catalogue/VyxCacheThumbs.h"
#include "foundation/FileStamp.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CacheFileReader;
class VyxSPI;
class CacheSpillFile;
class VyxFilexInfo;

class VyxCacheFolder
{
public:
    enum { LoadDone = 0, LoadCannotOpen = 1, LoadTruncated = 2, LoadBadMagic = 3 };

    VyxCacheFolder();
    VyxCacheFolder(const wchar_t* folderPath, const wchar_t* archiveFileName);
    // Writes the three cache settings back.
    virtual ~VyxCacheFolder();

    // Every result starts from no records; only a loaded file leaves the folder unmodified. The
    // records keep their images' places in the file, not their bytes. A stop flag set meanwhile
    // ends the reading early (the folder is then to be discarded).
    int Load(const wchar_t* fileName, const std::atomic<bool>* stop = nullptr);
    // How a write is watched from another thread: a flag that gives it up (the file that was
    // there stays as it was), and the count of records written so far.
    struct WriteWatch
    {
        std::atomic<bool> stop{false};
        std::atomic<long> written{0};
        // A test's seam, called between two records of a file (a slow disk); none in the program.
        std::function<void(const WriteWatch&)> betweenRecords;
    };

    // 1 when nothing was to write or it was written; 0 when the write failed or was given up.
    int SaveIfModified(const wchar_t* fileName, WriteWatch* watch = nullptr);
    // 1 written, 0 failed (the file that was there stays whole). A record whose image bytes
    // were released keeps the image it has in the file being replaced, when that file still
    // holds the same record; else it is written without an image.
    static int WriteRecords(const wchar_t* fileName, const VyxCacheThumbsArray& records);
    // Sets the archive file name of every record of a cache file and writes it back; a file that
    // does not load is left alone.
    static void RewriteArchiveName(const wchar_t* fileName, const wchar_t* text);

    VyxCacheThumbs* FindRecord(const VyxFilexInfo& item) const;
    // Makes the index the look-ups use now rather than at the first look-up (a folder read on a
    // thread of its own has it made there).
    void PrepareLookups() const { IndexRecords(); }
    VyxCacheThumbs* GetAt(INT_PTR index) const;
    INT_PTR GetCount() const { return m_records.GetSize(); }
    void RemoveAt(INT_PTR index);
    void RemoveItem(const VyxFilexInfo& item);
    void RemoveAll();
    // For a folder let go, to be deleted later: its settings written back now (never then), and
    // its spill file closed.
    void LetGo();
    // For a folder let go: deletes up to count records, the last first, keeping no index and
    // marking nothing; true while some are left.
    bool DeleteSomeRecords(INT_PTR count);
    // Takes the record over.
    void AddRecord(VyxCacheThumbs* record);
    // Set for a folder made without its file read (the location had none a moment ago): before
    // it is written, the records a file found there then holds and it lacks are taken in.
    void SetFileUnread(bool unread) { m_fileUnread = unread; }
    bool IsFileUnread() const { return m_fileUnread; }
    // What becomes of the location's file: written; deleted (no records, or the folder is the
    // cache root's own); or left as it stands (no record of its own for a file not read here,
    // which another instance may have written meanwhile).
    enum FileFate { FileWritten, FileDeleted, FileLeft };
    FileFate FateOfFile(const CString& cacheRoot) const;

    // 0 stored (or nothing to store); -1 no thumbnail, a text that does not fit or no image
    // kept; else the encoder's code.
    int StoreFromItem(VyxFilexDraw& item);
    // 0 restored; -1 not.
    int RestoreToItem(VyxFilexDraw& item);
    // The record's image bytes wherever they are kept: in memory, or at the record's place in the
    // spill file or in the cache file it was read from or last written to (taken only while that
    // record is still there). False when there is no image to be read whole.
    bool ReadImage(const VyxCacheThumbs& record, std::vector<BYTE>& bytes) const;
    // The record's image as a new packed DIB (VyxCacheThumbs::DecodeImage), read from wherever
    // it lies; null when there is none.
    HGLOBAL DecodeImage(const VyxCacheThumbs& record) const;

    // What a record is found by: the picture's file name, and an archive member's path.
    struct Key
    {
        CString fileName;
        CString memberPath;
    };
    // The images of the keys' records read now, in their order in the file and through one opening
    // of it (a screen of cells costs one read of the file, not an opening a cell), and held until
    // each is restored or a later read ahead no longer asks for it. Held images asked again stay.
    void ReadAhead(const std::vector<Key>& keys);
    size_t GetReadAheadCount() const { return m_readAhead.size(); }

    const CString& GetFolderPath() const { return m_folderPath; }
    const CString& GetArchiveFileName() const { return m_archiveFileName; }
    bool IsModified() const { return m_modified; }
    // The records the next save writes that its file does not hold yet (every record when the
    // whole file is to be written).
    INT_PTR GetUnwrittenCount() const
    {
        return !m_modified ? 0 : m_inFile.rewrite ? m_records.GetSize() : m_records.GetSize() - m_inFile.records;
    }
    // Set, the whole file is written at the next save (not only new records appended to it).
    void SetModified(bool modified)
    {
        m_modified = modified;
        m_inFile.rewrite = m_inFile.rewrite || modified;
    }
    int GetCacheImage() const { return m_cacheImage; }
    void SetCacheImage(int mode) { m_cacheImage = mode; }
    bool GetCacheLoadFree() const { return m_cacheLoadFree; }
    void SetCacheLoadFree(bool on) { m_cacheLoadFree = on; }
    int GetCacheQuality() const { return m_cacheQuality; }
    void SetCacheQuality(int quality) { m_cacheQuality = quality; }
    // The destructor then leaves the settings file alone.
    void KeepSettings() { m_keepSettings = true; }
    // The new image bytes held in memory before they are moved out to the spill file.
    void SetImageBudget(size_t bytes) { m_imageBudget = bytes; }

private:
    VyxCacheFolder(const VyxCacheFolder&) = delete;
    VyxCacheFolder& operator=(const VyxCacheFolder&) = delete;
    struct WrittenPlace
    {
        ULONGLONG offset;
        DWORD length;
        DWORD image;
    };
    // WriteRecords with the places of released and moved-out images: the file placeFile and
    // the spill file; the records' places in the new file go to written (one per record).
    static int WriteWhole(const wchar_t* fileName, const VyxCacheThumbsArray& records, const wchar_t* placeFile,
                          const CacheSpillFile* spill, std::vector<WrittenPlace>* written, WriteWatch* watch = nullptr);
    // The records after the file's own appended to it (after those another writer added since it
    // was read too): 1 done, 0 failed or given up (the file cut back to its records), -1 not
    // possible (the file must be written whole). written: one place per new record.
    int AppendNewRecords(const wchar_t* fileName, std::vector<WrittenPlace>& written, WriteWatch* watch);
    void TakeInRecordsOf(const wchar_t* fileName);
    void ReadSettings();
    void WriteSettings() const;
    // The image plug-in a record names (by its file name, ignoring case); null when there is none.
    VyxSPI* FindLoader(const CString& name) const;
    // The record's image bytes: its own, or read through file (valid while it is not read
    // again); null when there are none.
    const BYTE* FindImage(const VyxCacheThumbs& record, CacheFileReader& file) const;
    void HoldNewImage(VyxCacheThumbs* record);
    void MoveOutNewImages();
    void ForgetNewImages();
    void ReleaseAfterWrite();
    void RecordsChanged();
    void IndexRecords() const;
    INT_PTR IndexOfNumber(unsigned long long number) const;
    // The index of the first record that matches the item, or -1.
    INT_PTR FindIndex(const VyxFilexInfo& item) const;
    INT_PTR FindIndex(const CString& fileName, const CString& memberPath) const;

    CString m_folderPath;
    CString m_archiveFileName;
    bool m_modified;
    int m_cacheImage;
    bool m_cacheLoadFree;
    int m_cacheQuality;
    VyxCacheThumbsArray m_records;
    bool m_keepSettings = false;
    bool m_fileUnread = false;
    // The file the records' places in a cache file refer to: the one loaded or last written.
    CString m_placeFile;
    // What is known of that file, so that new records can be appended to it instead of the whole
    // file being written again: the first `records` records of the list are in it, in its order
    // and unchanged (another writer may have added more); its last whole record ends at `end` (a
    // torn one may follow); its size and write time as it was read or written. `rewrite`: a
    // record of it changed or went.
    struct PlaceFileState
    {
        INT_PTR records = 0;
        ULONGLONG end = 0;
        FileStamp stamp;
        bool rewrite = true;
    };
    PlaceFileState m_inFile;
    // New records holding their image bytes, not yet moved out, and about how many bytes.
    std::vector<VyxCacheThumbs*> m_newImages;
    size_t m_newImageBytes = 0;
    size_t m_imageBudget;
    std::unique_ptr<CacheSpillFile> m_spill;
    // Once the spill file cannot be made or written, images stay in memory as they always did.
    bool m_spillFailed = false;
    // Record numbers by (a hash of the) lower-case file name, made on the first lookup after a load and kept up
    // to date as records come and go: a folder of thousands of items would otherwise compare
    // every name with every record. A record's number never changes and numbers grow in list
    // order; m_order holds them in list order, so a number's position is a binary search.
    mutable std::unordered_multimap<size_t, unsigned long long> m_byName;
    mutable std::vector<unsigned long long> m_order;
    mutable unsigned long long m_nextNumber = 0;
    mutable bool m_byNameReady = false;
    // Images read ahead from the file (or the spill file) for records that hold none in memory.
    std::unordered_map<const VyxCacheThumbs*, std::vector<BYTE>> m_readAhead;
    // The loader found last, by its name in the records.
    mutable CString m_lastLoaderName;
    mutable int m_lastLoaderId = -1;
};

// The item's write time, or its UTC calendar taken as local standard time, within a second of
// the recorded time (compared in the low 32 bits, as the records have always been compared).
bool CacheTimeMatches(long long itemTime, long long recordTime);
