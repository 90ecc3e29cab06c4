#include "catalogue/VyxNoteStore.h"

#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteSession.h"
#include "foundation/FileStamp.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

const wchar_t kNoteKey[] = L"Note";

std::atomic<unsigned> s_fileWrites{0};

// Note files and folder listings as last read, each kept while the file's (the folder's) write
// time and size stand, as the platform's own settings cache does.
struct CachedFile
{
    FileStamp stamp;
    std::shared_ptr<VyxNoteFile> file;
    // The count of writes of the file by every process of the program, when known (read under
    // the file's lock): a count that moved tells another process's write that its stamp hides.
    ULONGLONG writes = 0;
    bool counted = false;
};

struct CachedFolder
{
    FileStamp stamp;
    VyxNoteSession::FolderNames names;
};

const size_t kCachedLimit = 64;
std::mutex s_cacheLock;
std::unordered_map<std::wstring, CachedFile> s_files;
std::unordered_map<std::wstring, CachedFolder> s_folders;

std::wstring KeyOf(const CString& path)
{
    return std::wstring(VyxNoteFile::Folded(path));
}

void Remember(const CString& path, const std::shared_ptr<VyxNoteFile>& file, ULONGLONG writes)
{
    FileStamp stamp;
    std::lock_guard<std::mutex> hold(s_cacheLock);
    if (s_files.size() >= kCachedLimit)
        s_files.clear();
    if (file && FileStamp::Read(path, stamp))
        s_files[KeyOf(path)] = CachedFile{stamp, file, writes, true};
    else
        s_files.erase(KeyOf(path));
}

// A hash of a text in lower case, in hexadecimal.
CString HashText(const CString& text)
{
    CString folded(text), hex;
    folded.MakeLower();
    unsigned long long hash = 14695981039346656037ull;
    for (int i = 0; i < folded.GetLength(); ++i)
        hash = (hash ^ folded[i]) * 1099511628211ull;
    hex.Format(L"%08lX%08lX", static_cast<unsigned long>(hash >> 32), static_cast<unsigned long>(hash));
    return hex;
}

// The lock on one note file that every process of the program honours while it reads, changes and
// writes the file, and the count of the file's writes they keep beside it. Named after the folder
// as the file system knows it (its volume and index) and the file's name, so that two spellings
// of one folder share it.
class NoteFileLock
{
public:
    explicit NoteFileLock(const CString& path)
    {
        const CString name = NameFor(path);
        m_mutex = CreateMutexW(nullptr, FALSE, name);
        if (!m_mutex)
            return;
        const DWORD waited = WaitForSingleObject(m_mutex, kLongestWait);
        m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        if (m_held)
            m_writes = Counter(name + L"-writes");
    }
    ~NoteFileLock()
    {
        if (m_writes)
            UnmapViewOfFile(m_writes);
        if (m_held)
            ReleaseMutex(m_mutex);
        if (m_mutex)
            CloseHandle(m_mutex);
    }
    NoteFileLock(const NoteFileLock&) = delete;
    NoteFileLock& operator=(const NoteFileLock&) = delete;

    bool IsHeld() const { return m_held; }
    // False when the count could not be kept (the file is then always read again).
    bool CountsWrites() const { return m_writes != nullptr; }
    ULONGLONG Writes() const { return m_writes ? *m_writes : 0; }
    void Written()
    {
        if (m_writes)
            ++*m_writes;
    }

private:
    // Another process holds it only while it writes one note file.
    static const DWORD kLongestWait = 60000;

    static CString NameFor(const CString& path)
    {
        CString folder, name, lockName;
        GetPathPart(folder, path, PartFolder);
        GetPathPart(name, path, PartFileName);
        HANDLE opened = CreateFileW(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION facts;
        if (opened != INVALID_HANDLE_VALUE && GetFileInformationByHandle(opened, &facts))
            lockName.Format(L"VyxNoteFile-%08lX-%08lX%08lX-%s", facts.dwVolumeSerialNumber, facts.nFileIndexHigh,
                            facts.nFileIndexLow, HashText(name).GetString());
        else
            lockName = L"VyxNoteFile-" + HashText(path);
        if (opened != INVALID_HANDLE_VALUE)
            CloseHandle(opened);
        return lockName;
    }

    // The count, in memory every process maps by its name. Each process keeps the counts it used
    // open, so that they last while any process of the program runs.
    static ULONGLONG* Counter(const CString& name)
    {
        static std::mutex lock;
        static std::map<std::wstring, HANDLE> kept;
        std::lock_guard<std::mutex> hold(lock);
        auto found = kept.find(std::wstring(name));
        if (found == kept.end()) {
            if (kept.size() >= kCachedLimit) {
                for (const auto& entry : kept)
                    CloseHandle(entry.second);
                kept.clear();
            }
            HANDLE mapping =
                CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ULONGLONG), name);
            if (!mapping)
                return nullptr;
            found = kept.emplace(std::wstring(name), mapping).first;
        }
        return static_cast<ULONGLONG*>(MapViewOfFile(found->second, FILE_MAP_WRITE, 0, 0, sizeof(ULONGLONG)));
    }

    HANDLE m_mutex = nullptr;
    bool m_held = false;
    ULONGLONG* m_writes = nullptr;
};

// The note file as it stands on disk, read under its lock (held by the caller): a reader holding
// it open would keep a writer from putting its new file in place. The copy last read or written
// serves while neither its stamp nor the count of writes moved. An empty file when there is none,
// null when it cannot be read.
std::shared_ptr<VyxNoteFile> ReadFromDisk(const CString& path, const NoteFileLock& lock)
{
    FileStamp stamp;
    const bool stamped = FileStamp::Read(path, stamp);
    if (stamped && lock.CountsWrites()) {
        std::lock_guard<std::mutex> hold(s_cacheLock);
        auto found = s_files.find(KeyOf(path));
        if (found != s_files.end() && found->second.counted && found->second.writes == lock.Writes() &&
            found->second.stamp == stamp)
            return found->second.file;
    }
    auto file = std::make_shared<VyxNoteFile>();
    if (file->Load(path) == VyxNoteFile::Unreadable)
        return nullptr;
    if (stamped) {
        std::lock_guard<std::mutex> hold(s_cacheLock);
        if (s_files.size() >= kCachedLimit)
            s_files.clear();
        s_files[KeyOf(path)] = CachedFile{stamp, file, lock.Writes(), lock.CountsWrites()};
    }
    return file;
}

std::shared_ptr<VyxNoteFile> ReadLocked(const CString& path)
{
    NoteFileLock lock(path);
    return lock.IsHeld() ? ReadFromDisk(path, lock) : nullptr;
}

void Apply(VyxNoteFile& file, const VyxNoteSession::Change& change)
{
    if (change.remove)
        file.RemoveSection(change.section);
    else
        file.Set(change.section, kNoteKey, change.stored);
}

CString NameOf(const wchar_t* filePath)
{
    CString name;
    GetPathPart(name, filePath, PartFileName);
    return name;
}

CString SectionOfName(const CString& name)
{
    CString section = VyxNoteFile::Trimmed(name);
    section.Replace(L'[', L'{');
    section.Replace(L']', L'}');
    return section;
}

void AddName(VyxNoteSession::FolderNames& names, const CString& name)
{
    if (names.names.insert(std::wstring(name)).second)
        ++names.sections[KeyOf(SectionOfName(name))];
}

VyxNoteSession::FolderNames ListFolder(const CString& folder)
{
    VyxNoteSession::FolderNames names;
    VyxFileFind find;
    for (BOOL more = find.FindFileIn(folder, L"*"); more;) {
        more = find.FindNextFile();
        if (!find.IsDots())
            AddName(names, find.GetFileName());
    }
    return names;
}

} // namespace

VyxNoteStore::VyxNoteStore() {}

VyxNoteStore::VyxNoteStore(const wchar_t* cacheRoot) : VyxCacheIndex(cacheRoot) {}

void VyxNoteStore::SetLocation(const wchar_t* folder, const wchar_t* archiveFileName)
{
    m_folder = folder ? folder : L"";
    m_archiveFileName = archiveFileName ? archiveFileName : L"";
}

unsigned VyxNoteStore::GetFileWriteCount()
{
    return s_fileWrites;
}

CString VyxNoteStore::GetSectionOf(const wchar_t* filePath) const
{
    if (m_archiveFileName.IsEmpty())
        return SectionOfName(NameOf(filePath));
    return SectionOfName(filePath ? filePath : L"");
}

bool VyxNoteStore::SharesSection(const wchar_t* filePath) const
{
    if (!m_archiveFileName.IsEmpty() || m_folder.IsEmpty())
        return false;
    const CString name = NameOf(filePath);
    const std::wstring section = KeyOf(SectionOfName(name));
    if (VyxNoteSession* session = VyxNoteSession::Current()) {
        auto found = session->m_folders.find(KeyOf(m_folder));
        if (found == session->m_folders.end())
            found = session->m_folders.emplace(KeyOf(m_folder), ListFolder(m_folder)).first;
        // A file the job brought counts from its first note on, whether or not it was listed.
        AddName(found->second, name);
        return found->second.sections[section] > 1;
    }
    FileStamp stamp;
    FileStamp::Read(m_folder, stamp);
    std::lock_guard<std::mutex> hold(s_cacheLock);
    auto found = s_folders.find(KeyOf(m_folder));
    if (found == s_folders.end() || found->second.stamp != stamp) {
        if (s_folders.size() >= kCachedLimit)
            s_folders.clear();
        found = s_folders.insert_or_assign(KeyOf(m_folder), CachedFolder{stamp, ListFolder(m_folder)}).first;
    }
    const VyxNoteSession::FolderNames& names = found->second.names;
    auto counted = names.sections.find(section);
    int count = counted == names.sections.end() ? 0 : counted->second;
    // The file itself counts once, whether or not it is there yet.
    if (!names.names.count(std::wstring(name)))
        ++count;
    return count > 1;
}

std::vector<CString> VyxNoteStore::GetNamesSharingSection(const wchar_t* filePath) const
{
    std::vector<CString> others;
    if (!m_archiveFileName.IsEmpty() || m_folder.IsEmpty())
        return others;
    const CString name = NameOf(filePath);
    const std::wstring section = KeyOf(SectionOfName(name));
    // The names a job's look-ups counted, so that a file it has moved away still shows.
    const VyxNoteSession::FolderNames* counted = nullptr;
    if (VyxNoteSession* session = VyxNoteSession::Current()) {
        auto found = session->m_folders.find(KeyOf(m_folder));
        if (found != session->m_folders.end())
            counted = &found->second;
    }
    const VyxNoteSession::FolderNames listed = counted ? VyxNoteSession::FolderNames() : ListFolder(m_folder);
    for (const std::wstring& other : (counted ? counted : &listed)->names)
        if (other != std::wstring(name) && KeyOf(SectionOfName(other.c_str())) == section)
            others.emplace_back(other.c_str());
    std::sort(others.begin(), others.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    return others;
}

CString VyxNoteStore::EncodeLineBreaks(const wchar_t* text)
{
    CString out(text ? text : L"");
    out.Replace(L"\r\n", L"\\n");
    out.Replace(L"\r", L"\\n");
    out.Replace(L"\n", L"\\n");
    return out;
}

bool VyxNoteStore::LocateNoteFile(CString& path, bool create) const
{
    VyxNoteSession* session = VyxNoteSession::Current();
    if (!session) {
        if (FindNoteFile(path, m_folder, m_archiveFileName))
            return true;
        if (!create)
            return false;
        path = GetNoteFileName(m_folder, m_archiveFileName);
        return true;
    }
    // The index is looked up once a location for the whole job.
    std::wstring key = KeyOf(GetCacheFolder() + L"|" + m_folder + L"|" + m_archiveFileName);
    auto found = session->m_locations.find(key);
    if (found == session->m_locations.end()) {
        VyxNoteSession::Location location;
        location.exists = FindNoteFile(location.path, m_folder, m_archiveFileName);
        found = session->m_locations.emplace(key, location).first;
    }
    if (!found->second.exists && create) {
        found->second.path = GetNoteFileName(m_folder, m_archiveFileName);
        found->second.exists = true;
    }
    path = found->second.path;
    return found->second.exists;
}

CString VyxNoteStore::GetNoteFilePath() const
{
    CString path;
    return LocateNoteFile(path, false) ? path : CString();
}

std::shared_ptr<VyxNoteFile> VyxNoteStore::CurrentFile(const CString& path) const
{
    if (VyxNoteSession* session = VyxNoteSession::Current()) {
        auto found = session->m_changed.find(KeyOf(path));
        if (found != session->m_changed.end())
            return found->second.file;
    }
    FileStamp stamp;
    if (!FileStamp::Read(path, stamp))
        return std::make_shared<VyxNoteFile>();
    {
        std::lock_guard<std::mutex> hold(s_cacheLock);
        auto found = s_files.find(KeyOf(path));
        if (found != s_files.end() && found->second.stamp == stamp)
            return found->second.file;
    }
    return ReadLocked(path);
}

std::shared_ptr<VyxNoteFile> VyxNoteStore::ReadNoteFile(const CString& path)
{
    return ReadLocked(path);
}

CString VyxNoteStore::ReadNote(const wchar_t* filePath) const
{
    CString path, note;
    if (!LocateNoteFile(path, false) || SharesSection(filePath))
        return note;
    if (std::shared_ptr<VyxNoteFile> file = CurrentFile(path))
        file->Find(GetSectionOf(filePath), kNoteKey, note);
    return note;
}

std::unordered_map<std::wstring, CString> VyxNoteStore::ReadAllNotes() const
{
    std::unordered_map<std::wstring, CString> notes;
    CString path;
    if (!LocateNoteFile(path, false))
        return notes;
    if (std::shared_ptr<VyxNoteFile> file = CurrentFile(path))
        for (const CString& section : file->GetSectionNames()) {
            CString note;
            if (file->Find(section, kNoteKey, note) && !note.IsEmpty())
                notes[KeyOf(section)] = note;
        }
    return notes;
}

int VyxNoteStore::WriteNote(const wchar_t* filePath, const wchar_t* text) const
{
    if (SharesSection(filePath))
        return NoteRefused;
    const bool clearing = !text || !*text;
    CString path;
    if (!LocateNoteFile(path, !clearing))
        return NoteWritten;
    std::shared_ptr<VyxNoteFile> current = CurrentFile(path);
    if (!current)
        return NoteFailed;
    VyxNoteSession::Change change;
    change.section = GetSectionOf(filePath);
    change.remove = clearing;
    if (clearing) {
        if (!current->HasSection(change.section))
            return NoteWritten;
    } else {
        // A raw line break would start a new key or section inside the note file.
        change.stored = EncodeLineBreaks(text);
        if (!current->CanHold(change.section, change.stored))
            return NoteUnconvertible;
    }
    return Commit(path, current, change);
}

int VyxNoteStore::DeleteNote(const wchar_t* filePath) const
{
    return WriteNote(filePath, nullptr);
}

int VyxNoteStore::Commit(const CString& path, const std::shared_ptr<VyxNoteFile>& current,
                         const VyxNoteSession::Change& change) const
{
    if (VyxNoteSession* session = VyxNoteSession::Current()) {
        auto found = session->m_changed.find(KeyOf(path));
        if (found == session->m_changed.end()) {
            // What the cache or another store holds is never changed in place.
            VyxNoteSession::Changed pending{
                path, m_folder, m_archiveFileName, GetCacheFolder(), std::make_shared<VyxNoteFile>(*current), {}};
            found = session->m_changed.emplace(KeyOf(path), pending).first;
        }
        Apply(*found->second.file, change);
        found->second.changes.push_back(change);
        return NoteWritten;
    }
    return PutNoteFile(path, m_folder, m_archiveFileName, GetCacheFolder(), {change}) ? NoteWritten : NoteFailed;
}

bool VyxNoteStore::PutNoteFile(const CString& path, const CString& folder, const CString& archive,
                               const CString& cacheRoot, const std::vector<VyxNoteSession::Change>& changes)
{
    if (changes.empty())
        return true;
    NoteFileLock lock(path);
    if (!lock.IsHeld()) {
        SetLastError(ERROR_TIMEOUT);
        return false;
    }
    // As it stands: another process of the program may have written the file since this one read it.
    std::shared_ptr<VyxNoteFile> stands = ReadFromDisk(path, lock);
    if (!stands)
        return false;
    auto file = std::make_shared<VyxNoteFile>(*stands);
    for (const VyxNoteSession::Change& change : changes)
        Apply(*file, change);
    if (file->IsEmpty()) {
        VyxCacheIndex index(cacheRoot);
        CString found;
        if (index.FindNoteFile(found, folder, archive) && found.CompareNoCase(path) == 0)
            index.DeleteNoteFile(folder, archive);
        else
            DeleteFileW(path);
        lock.Written();
        Remember(path, nullptr, lock.Writes());
        return !PathExists(path, kFileNotFolder);
    }
    if (!file->Save(path))
        return false;
    ++s_fileWrites;
    lock.Written();
    Remember(path, file, lock.Writes());
    return true;
}
