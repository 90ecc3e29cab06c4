#include "catalogue/VyxNoteStore.h"

#include "catalogue/NoteFileLock.h"
#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteSession.h"
#include "foundation/FileStamp.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

const wchar_t kNoteKey[] = L"Note";

// A display read waits no longer for the lock than this before it reads without it.
const DWORD kReadWait = 250;

std::atomic<unsigned> s_fileWrites{0};

// Note files and folder listings as last read, each kept while the file's (the folder's) write
// time and size stand, as the platform's own settings cache does; a note file also while the
// count of its writes by every process of the program stands, which tells another process's write
// that the stamp hides (the same size written within one tick of the file time).
struct CachedFile
{
    FileStamp stamp;
    ULONGLONG writes = 0;
    std::shared_ptr<VyxNoteFile> file;
};

struct CachedFolder
{
    FileStamp stamp;
    VyxNoteSession::FolderNames names;
    // Until then, each question under this stamp asked the folder for the few names that could
    // share the section: in a large folder one such search costs a small part of a whole listing.
    bool listed = false;
    int searches = 0;
};

// Questions about one folder stamp answered by a search each before the folder is listed whole,
// as a sort by note asks once for every file.
const int kSearchesBeforeListing = 4;

const size_t kCachedLimit = 64;
std::mutex s_cacheLock;
std::unordered_map<std::wstring, CachedFile> s_files;
std::unordered_map<std::wstring, CachedFolder> s_folders;

std::wstring KeyOf(const CString& path)
{
    return std::wstring(VyxNoteFile::Folded(path));
}

// The one look-up of the note files kept: null unless kept under this stamp and count.
std::shared_ptr<VyxNoteFile> Cached(const CString& path, const FileStamp& stamp, ULONGLONG writes)
{
    std::lock_guard<std::mutex> hold(s_cacheLock);
    auto found = s_files.find(KeyOf(path));
    if (found == s_files.end() || found->second.stamp != stamp || found->second.writes != writes)
        return nullptr;
    return found->second.file;
}

// A null file forgets the path's copy.
void Keep(const CString& path, const FileStamp& stamp, ULONGLONG writes, const std::shared_ptr<VyxNoteFile>& file)
{
    std::lock_guard<std::mutex> hold(s_cacheLock);
    if (!file) {
        s_files.erase(KeyOf(path));
        return;
    }
    if (s_files.size() >= kCachedLimit)
        s_files.clear();
    s_files[KeyOf(path)] = CachedFile{stamp, writes, file};
}

// The note file as it stands on disk: the copy last read or written while neither its stamp nor
// its count of writes moved (both changed only by a writer holding the lock), else read again; an
// empty file when there is none, null (the last error saying why) when it cannot be read. To be
// read again, the lock is first waited for up to the bound: a reader holding the file open would
// keep a writer from putting its new file in place. Unless held, what is read without it is still
// one whole version of the file, which every writer replaces whole.
std::shared_ptr<VyxNoteFile> ReadStanding(const CString& path, NoteFileLock& lock, DWORD wait, bool held)
{
    // Both before the file is read: a copy is never kept under a newer stamp or count than its own.
    const ULONGLONG writes = lock.Writes();
    const bool heldBefore = lock.IsHeld();
    FileStamp stamp;
    const bool stamped = FileStamp::Read(path, stamp);
    const DWORD stampError = stamped ? 0 : GetLastError();
    const bool kept = stamped && lock.CountsWrites();
    if (kept)
        if (std::shared_ptr<VyxNoteFile> cached = Cached(path, stamp, writes))
            return cached;
    if (!lock.Take(wait) && held) {
        SetLastError(lock.Failure());
        return nullptr;
    }
    auto file = std::make_shared<VyxNoteFile>();
    // Found missing under the lock, it is still missing: in a large folder, each look-up of a
    // missing name reads the whole folder.
    if (heldBefore && (stampError == ERROR_FILE_NOT_FOUND || stampError == ERROR_PATH_NOT_FOUND))
        return file;
    if (file->Load(path) == VyxNoteFile::Unreadable)
        return nullptr;
    if (kept)
        Keep(path, stamp, writes, file);
    return file;
}

// As it stands, read under the lock every writer takes.
std::shared_ptr<VyxNoteFile> ReadLocked(const CString& path)
{
    NoteFileLock lock(path);
    return ReadStanding(path, lock, NoteFileLock::kLongestWait, true);
}

// Why the change may not be made to the note file as it stands (0 when it may): its section
// holds another note than the one it was made for, the folder no longer holds its file, or holds
// a file of the name it was to take.
int Unmet(const VyxNoteFile& file, const VyxNoteSession::Change& change)
{
    if (change.onlyIfHolding) {
        CString stored;
        if (!file.Find(change.section, kNoteKey, stored))
            stored.Empty();
        if (stored != change.holding)
            return VyxNoteStore::NoteChanged;
    }
    if (change.presence == VyxNoteStore::FileThere && LookUpExactName(change.file) != NameLookup::Exact)
        return VyxNoteStore::NoteFileGone;
    if (change.presence == VyxNoteStore::NameFree && LookUpExactName(change.file) != NameLookup::Missing)
        return VyxNoteStore::NoteNameTaken;
    return 0;
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

VyxNoteSession::FolderNames ListFolder(const CString& folder, const std::function<void()>& betweenEntries = nullptr)
{
    VyxNoteSession::FolderNames names;
    VyxFileFind find;
    unsigned listed = 0;
    for (BOOL more = find.FindFileIn(folder, L"*"); more;) {
        more = find.FindNextFile();
        if (!find.IsDots())
            AddName(names, find.GetFileName());
        if (betweenEntries && ++listed % 128 == 0)
            betweenEntries();
    }
    return names;
}

// Characters a name search must leave open: where the folded section and the file system's own
// comparison of names could disagree, and the brackets a section spells as braces. Only letters of
// the plain set that no other character folds to are matched as themselves.
bool IsOpenInSearch(wchar_t ch)
{
    static const std::vector<bool> open = [] {
        std::vector<bool> table(0x10000, false);
        std::wstring all(0x10000, L'\0');
        for (size_t i = 1; i < all.size(); ++i)
            all[i] = static_cast<wchar_t>(i);
        std::wstring lower(all);
        CharLowerBuffW(&lower[1], static_cast<DWORD>(lower.size() - 1));
        for (size_t i = 0x80; i < all.size(); ++i)
            if (lower[i] != all[i] || (i >= 0xd800 && i <= 0xdfff)) {
                table[i] = true;
                table[static_cast<unsigned short>(lower[i])] = true;
            }
        std::wstring upper(all);
        CharUpperBuffW(&upper[1], static_cast<DWORD>(upper.size() - 1));
        for (size_t i = 0x80; i < all.size(); ++i)
            if (upper[i] != all[i]) {
                table[i] = true;
                table[static_cast<unsigned short>(upper[i])] = true;
            }
        for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
            if (table[letter] || table[letter + 32])
                table[letter] = table[letter + 32] = true;
        for (wchar_t bracket : {L'[', L']', L'{', L'}'})
            table[bracket] = true;
        return table;
    }();
    return open[static_cast<unsigned short>(ch)];
}

// The names of the folder whose section is the name's, found by one search; false when the
// search could not say (the caller lists the folder instead).
bool FindSharing(const CString& folder, const CString& name, VyxNoteSession::FolderNames& names)
{
    const CString core = VyxNoteFile::Trimmed(name);
    // The leading star stands for what the pattern leaves out at the start: a "?" just after a
    // star matches nothing under Wine, and a dot there reads as the old "up to the last dot" form.
    int first = 0;
    while (first < core.GetLength() && (IsOpenInSearch(core[first]) || core[first] == L'.'))
        ++first;
    if (first == core.GetLength())
        return false;
    CString pattern = L"*";
    for (int i = first; i < core.GetLength(); ++i)
        pattern += IsOpenInSearch(core[i]) ? L'?' : core[i];
    pattern += L'*';
    const std::wstring section = KeyOf(SectionOfName(name));
    VyxFileFind find;
    BOOL more = find.FindFileIn(folder, pattern);
    if (!more && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_NO_MORE_FILES)
        return false;
    while (more) {
        more = find.FindNextFile();
        const CString found = find.GetFileName();
        if (!find.IsDots() && KeyOf(SectionOfName(found)) == section)
            AddName(names, found);
    }
    return true;
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
        // What answers meanwhile may list the folder too: the first listing stands.
        if (found == session->m_folders.end())
            found = session->m_folders.emplace(KeyOf(m_folder), ListFolder(m_folder, session->m_betweenEntries)).first;
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
        found = s_folders.insert_or_assign(KeyOf(m_folder), CachedFolder{stamp, {}, false, 0}).first;
    }
    VyxNoteSession::FolderNames searched;
    if (!found->second.listed &&
        (++found->second.searches > kSearchesBeforeListing || !FindSharing(m_folder, name, searched))) {
        found->second.names = ListFolder(m_folder);
        found->second.listed = true;
    }
    const VyxNoteSession::FolderNames& names = found->second.listed ? found->second.names : searched;
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
    VyxNoteSession::FolderNames listed;
    if (!counted && !FindSharing(m_folder, name, listed))
        listed = ListFolder(m_folder);
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
    // What is shown never waits long: a process that holds the lock and hangs cannot hold the window.
    NoteFileLock lock(path);
    return ReadStanding(path, lock, kReadWait, false);
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

bool VyxNoteStore::ReadNoteAsItStands(const wchar_t* filePath, CString& note) const
{
    note.Empty();
    CString path;
    if (!LocateNoteFile(path, false) || SharesSection(filePath))
        return true;
    std::shared_ptr<VyxNoteFile> file = ReadLocked(path);
    if (!file)
        return false;
    file->Find(GetSectionOf(filePath), kNoteKey, note);
    return true;
}

std::unique_ptr<NoteFileLock> VyxNoteStore::HoldNoteFile() const
{
    // Where the notes are, or the folder's own place for them when there are none yet.
    CString path;
    LocateNoteFile(path, false);
    auto lock = std::make_unique<NoteFileLock>(path);
    if (!lock->Take(NoteFileLock::kLongestWait)) {
        SetLastError(lock->Failure());
        return nullptr;
    }
    return lock;
}

CString VyxNoteStore::GetFailureText(DWORD error)
{
    return NoteFileLock::FailureText(error);
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

int VyxNoteStore::WriteNote(const wchar_t* filePath, const wchar_t* text, Presence presence) const
{
    return Write(filePath, text, presence, nullptr);
}

int VyxNoteStore::DeleteNote(const wchar_t* filePath) const
{
    return Write(filePath, nullptr, AnyPresence, nullptr);
}

int VyxNoteStore::ReplaceNote(const wchar_t* filePath, const wchar_t* expected, const wchar_t* text) const
{
    const CString holding = EncodeLineBreaks(expected);
    return Write(filePath, text, AnyPresence, &holding);
}

int VyxNoteStore::Write(const wchar_t* filePath, const wchar_t* text, Presence presence, const CString* holding) const
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
    // In the location's folder as the file system names it; a member's file is the archive's,
    // which the look-ups of its folder do not name.
    if (m_archiveFileName.IsEmpty() && presence != AnyPresence) {
        MakePath(change.file, nullptr, m_folder, NameOf(filePath), nullptr);
        change.presence = presence;
    }
    if (holding) {
        change.onlyIfHolding = true;
        change.holding = *holding;
    }
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
        // Checked here for what the job reads meanwhile, and again when the file is written.
        if (const int unmet = Unmet(*found->second.file, change))
            return unmet;
        Apply(*found->second.file, change);
        found->second.changes.push_back(change);
        return NoteWritten;
    }
    std::vector<int> outcomes;
    if (!PutNoteFile(path, m_folder, m_archiveFileName, GetCacheFolder(), {change}, &outcomes))
        return NoteFailed;
    return outcomes.front();
}

bool VyxNoteStore::PutNoteFile(const CString& path, const CString& folder, const CString& archive,
                               const CString& cacheRoot, const std::vector<VyxNoteSession::Change>& changes,
                               std::vector<int>* outcomes)
{
    if (outcomes)
        outcomes->assign(changes.size(), NoteWritten);
    if (changes.empty())
        return true;
    NoteFileLock lock(path);
    if (!lock.Take(NoteFileLock::kLongestWait)) {
        SetLastError(lock.Failure());
        return false;
    }
    // As it stands: another process of the program may have written the file since this one read it.
    std::shared_ptr<VyxNoteFile> stands = ReadStanding(path, lock, 0, true);
    if (!stands)
        return false;
    auto file = std::make_shared<VyxNoteFile>(*stands);
    bool changed = false;
    for (size_t i = 0; i < changes.size(); ++i) {
        const int unmet = Unmet(*file, changes[i]);
        if (outcomes && unmet)
            (*outcomes)[i] = unmet;
        if (!unmet) {
            Apply(*file, changes[i]);
            changed = true;
        }
    }
    if (!changed)
        return true;
    FileStamp stamp;
    if (file->IsEmpty()) {
        VyxCacheIndex index(cacheRoot);
        CString found;
        if (index.FindNoteFile(found, folder, archive) && found.CompareNoCase(path) == 0)
            index.DeleteNoteFile(folder, archive);
        else
            DeleteFileW(path);
        lock.Written();
        Keep(path, stamp, 0, nullptr);
        return !PathExists(path, kFileNotFolder);
    }
    if (!file->Save(path))
        return false;
    ++s_fileWrites;
    lock.Written();
    if (FileStamp::Read(path, stamp) && lock.CountsWrites())
        Keep(path, stamp, lock.Writes(), file);
    else
        Keep(path, stamp, 0, nullptr);
    return true;
}
