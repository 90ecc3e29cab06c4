#include "catalogue/VyxCacheIndex.h"

#include "catalogue/ListedSideFiles.h"
#include "catalogue/VyxCacheFolder.h"
#include "foundation/FileStamp.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

#include <climits>
#include <cwctype>
#include <iterator>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace {

struct SideFileKind
{
    const wchar_t* inFolderName;
    const wchar_t* section;
    const wchar_t* centralPattern;
};

const SideFileKind kKinds[VyxCacheIndex::KindCount] = {
    {L"_THUMBS_.KWI", L"Thumbsnail", L"%08d.kwt"},
    {L"_NOTE_.KWI", L"Note", L"%08d.kwn"},
    {L"_CONFIG_.KWI", L"Config", L"%08d.kwc"},
};
const wchar_t* const kExtensions[VyxCacheIndex::KindCount] = {L".kwt", L".kwn", L".kwc"};
const wchar_t kCounterKey[] = L"CacheSeqNo";

bool ValidKind(int kind)
{
    return kind >= 0 && kind < VyxCacheIndex::KindCount;
}

CString InFolderPath(int kind, const wchar_t* folder)
{
    return CString(folder ? folder : L"") + L"\\" + kKinds[kind].inFolderName;
}

bool IsFile(const wchar_t* path)
{
    return PathExists(path, kFileNotFolder);
}

// The kind's file in the folder itself. A name the folder's last listing did not show is not asked
// for: under this platform a look-up of a name a large folder lacks reads the whole folder.
bool IsInFolderFile(int kind, const wchar_t* folder, const CString& path, bool trustListing)
{
    if (trustListing && ListedSideFiles::KnownMissing(folder, ListedSideFiles::OfIndexKind(kind)))
        return false;
    return IsFile(path);
}

bool StartsWithNoCase(const CString& text, const CString& prefix)
{
    return text.GetLength() >= prefix.GetLength() && text.Left(prefix.GetLength()).CompareNoCase(prefix) == 0;
}

// Trimmed and upper-cased, as the settings functions compare keys and the file system names.
std::wstring Folded(const wchar_t* text, int length = -1)
{
    CString folded = length < 0 ? CString(text ? text : L"") : CString(text, length);
    folded.Trim();
    return folded.MakeUpper().GetString();
}

// The shared names of each index section as last read, kept while the index file stands as it was
// and no settings write of the process came in between: items look their side files up one by one.
struct HeldSharedNames
{
    FileStamp stamp;
    unsigned writeCount = 0;
    VyxCacheIndex::SharedNames shared;
};
std::mutex s_sharedLock;
// The index file is read, changed and written back whole by the window and by the cache writer's
// thread: one change at a time, or both take the same free number or drop the other's entry.
std::recursive_mutex s_indexChange;
std::unordered_map<std::wstring, HeldSharedNames> s_shared;
const size_t kHeldIndexes = 16;

} // namespace

VyxCacheIndex::VyxCacheIndex() {}

VyxCacheIndex::VyxCacheIndex(const wchar_t* cacheRoot)
{
    SetCacheFolder(cacheRoot);
}

void VyxCacheIndex::SetCacheFolder(const wchar_t* cacheRoot)
{
    RemovePathSeparator(m_root, cacheRoot ? cacheRoot : L"");
    if (m_root.IsEmpty()) {
        m_indexPath.Empty();
        m_index.SetPath(L"");
        return;
    }
    m_indexPath = m_root + L"\\_cache_.lst";
    m_index.SetPath(m_indexPath);
}

const wchar_t* VyxCacheIndex::GetSectionName(int kind)
{
    return ValidKind(kind) ? kKinds[kind].section : L"";
}

const wchar_t* VyxCacheIndex::GetInFolderName(int kind)
{
    return ValidKind(kind) ? kKinds[kind].inFolderName : L"";
}

CString VyxCacheIndex::EscapeKey(const wchar_t* text)
{
    CString key(text ? text : L"");
    key.Replace(L'=', L'|');
    return key;
}

CString VyxCacheIndex::UnescapeKey(const wchar_t* text)
{
    CString key(text ? text : L"");
    key.Replace(L'|', L'=');
    return key;
}

CString VyxCacheIndex::GetLocationKey(const wchar_t* folder, const wchar_t* archiveFileName)
{
    CString drive, serial, volume;
    GetPathPart(drive, folder, PartDrive);
    GetVolumeSerialText(serial, folder);
    if (drive.GetLength() == 2 && drive[1] == L':' && iswalpha(drive[0])) {
        volume = serial;
        CString root = drive + L"\\";
        if (GetDriveTypeW(root) == DRIVE_REMOTE) {
            wchar_t remote[MAX_PATH] = {};
            DWORD length = MAX_PATH;
            if (WNetGetConnectionW(drive, remote, &length) == NO_ERROR)
                volume.Format(L"%s:%s", remote, serial.GetString());
        }
    } else {
        volume.Format(L"%s:%s", drive.GetString(), serial.GetString());
    }
    CString rest;
    RemovePathSeparator(rest, CString(folder ? folder : L"").Mid(drive.GetLength()));
    return GetArchiveKey(EscapeKey(volume + rest), archiveFileName);
}

CString VyxCacheIndex::GetArchiveKey(const wchar_t* folderKey, const wchar_t* archiveFileName)
{
    CString key(folderKey ? folderKey : L"");
    if (archiveFileName && *archiveFileName)
        key += L"/" + EscapeKey(archiveFileName);
    return key;
}

CString VyxCacheIndex::GetSideFileName(int kind, const wchar_t* folder, const wchar_t* archiveFileName) const
{
    std::lock_guard<std::recursive_mutex> hold(s_indexChange);
    if (!ValidKind(kind))
        return CString();
    CString inFolder = InFolderPath(kind, folder);
    // Written next: a file the folder got since its listing must not be shadowed by a new one.
    if (!HasCacheFolder() || IsFile(inFolder))
        return inFolder;
    const wchar_t* section = kKinds[kind].section;
    CString key = GetLocationKey(folder, archiveFileName);
    CString name;
    m_index.GetString(name, section, key, L"");
    // An entry that names anything else than a file of the program's own form, or a file an
    // earlier key holds, is replaced.
    if (!IsCentralFileName(kind, name) || !OwnsCentralName(kind, key, name)) {
        const int number = TakeFreeNumber(kind);
        if (number < 0)
            return inFolder;
        name.Format(kKinds[kind].centralPattern, number);
        m_index.WriteInt(section, kCounterKey, number + 1);
        m_index.WriteString(section, key, name);
    }
    return GetCentralFilePath(kind, name);
}

CString VyxCacheIndex::GetThumbsFileName(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return GetSideFileName(KindThumbs, folder, archiveFileName);
}

CString VyxCacheIndex::GetNoteFileName(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return GetSideFileName(KindNote, folder, archiveFileName);
}

CString VyxCacheIndex::GetConfigFileName(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return GetSideFileName(KindConfig, folder, archiveFileName);
}

bool VyxCacheIndex::FindSideFile(int kind, CString& out, const wchar_t* folder, const wchar_t* archiveFileName,
                                 bool trustListing) const
{
    if (!ValidKind(kind))
        return false;
    out = InFolderPath(kind, folder);
    if (IsInFolderFile(kind, folder, out, trustListing))
        return true;
    if (!HasCacheFolder())
        return false;
    CString name;
    const CString key = GetLocationKey(folder, archiveFileName);
    m_index.GetString(name, kKinds[kind].section, key, L"");
    const CString central = GetCentralFilePath(kind, name);
    if (central.IsEmpty() || !OwnsCentralName(kind, key, name))
        return false;
    out = central;
    return IsFile(out);
}

bool VyxCacheIndex::FindThumbsFile(CString& out, const wchar_t* folder, const wchar_t* archiveFileName,
                                   bool trustListing) const
{
    return FindSideFile(KindThumbs, out, folder, archiveFileName, trustListing);
}

bool VyxCacheIndex::FindNoteFile(CString& out, const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return FindSideFile(KindNote, out, folder, archiveFileName);
}

bool VyxCacheIndex::FindConfigFile(CString& out, const wchar_t* folder, const wchar_t* archiveFileName,
                                   bool trustListing) const
{
    return FindSideFile(KindConfig, out, folder, archiveFileName, trustListing);
}

bool VyxCacheIndex::HasThumbsFile(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    CString path;
    return FindThumbsFile(path, folder, archiveFileName);
}

bool VyxCacheIndex::HasNoteFile(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    CString path;
    return FindNoteFile(path, folder, archiveFileName);
}

bool VyxCacheIndex::HasConfigFile(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    CString path;
    return FindConfigFile(path, folder, archiveFileName);
}

int VyxCacheIndex::DeleteSideFile(int kind, const wchar_t* folder, const wchar_t* archiveFileName) const
{
    std::lock_guard<std::recursive_mutex> hold(s_indexChange);
    if (!ValidKind(kind))
        return 1;
    CString path = InFolderPath(kind, folder);
    if (HasCacheFolder() && !IsFile(path)) {
        const wchar_t* section = kKinds[kind].section;
        CString key = GetLocationKey(folder, archiveFileName);
        CString name;
        m_index.GetString(name, section, key, L"");
        const CString central = GetCentralFilePath(kind, name);
        if (!central.IsEmpty() && OwnsCentralName(kind, key, name))
            path = central;
        m_index.WriteString(section, key, nullptr);
    }
    if (IsFile(path))
        DeleteFileW(path);
    return 1;
}

int VyxCacheIndex::DeleteThumbsFile(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return DeleteSideFile(KindThumbs, folder, archiveFileName);
}

int VyxCacheIndex::DeleteNoteFile(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return DeleteSideFile(KindNote, folder, archiveFileName);
}

int VyxCacheIndex::DeleteConfigFile(const wchar_t* folder, const wchar_t* archiveFileName) const
{
    return DeleteSideFile(KindConfig, folder, archiveFileName);
}

void VyxCacheIndex::RenameFolder(const wchar_t* newPath, const wchar_t* oldPath) const
{
    std::lock_guard<std::recursive_mutex> hold(s_indexChange);
    if (!HasCacheFolder())
        return;
    // K: the paths as plain folders; K': each path as an archive file in its parent folder.
    CString oldParent, oldName, newParent, newName;
    GetPathPart(oldParent, oldPath, PartFolder);
    GetPathPart(oldName, oldPath, PartFileName);
    GetPathPart(newParent, newPath, PartFolder);
    GetPathPart(newName, newPath, PartFileName);
    const CString oldKey = GetLocationKey(oldPath, nullptr), newKey = GetLocationKey(newPath, nullptr);
    const CString oldArchiveKey = GetLocationKey(oldParent, oldName);
    const CString newArchiveKey = GetLocationKey(newParent, newName);

    for (int kind = 0; kind < KindCount; ++kind) {
        const wchar_t* section = kKinds[kind].section;
        std::vector<wchar_t> buffer;
        if (!m_index.GetWholeSection(section, buffer))
            continue;
        const SharedNames shared = FindSharedNames(buffer);
        std::vector<wchar_t> rewritten;
        bool changed = false;
        for (const wchar_t* entry = buffer.data(); *entry; entry += wcslen(entry) + 1) {
            CString text(entry);
            if (StartsWithNoCase(text, oldKey) && text.GetLength() > oldKey.GetLength() &&
                wcschr(L"\\/=", text[oldKey.GetLength()])) {
                text = newKey + text.Mid(oldKey.GetLength());
                changed = true;
            } else if (StartsWithNoCase(text, oldArchiveKey) && text.GetLength() > oldArchiveKey.GetLength() &&
                       text[oldArchiveKey.GetLength()] == L'=') {
                // Only the archive's own key: a longer name that merely begins alike is another file.
                CString value = text.Mid(oldArchiveKey.GetLength() + 1);
                text = newArchiveKey + text.Mid(oldArchiveKey.GetLength());
                changed = true;
                const CString central = GetCentralFilePath(kind, value);
                if (kind == KindThumbs && !central.IsEmpty() && OwnsName(shared, oldArchiveKey, value))
                    VyxCacheFolder::RewriteArchiveName(central, newName);
            }
            rewritten.insert(rewritten.end(), text.GetString(), text.GetString() + text.GetLength() + 1);
        }
        rewritten.push_back(0);
        if (changed)
            m_index.WriteSection(section, rewritten.data());
    }
}

void VyxCacheIndex::BuildDriveKeys()
{
    wchar_t drives[26 * 4 + 2] = {};
    DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(sizeof(drives) / sizeof(drives[0])), drives);
    if (length == 0 || length >= sizeof(drives) / sizeof(drives[0]))
        return;
    for (const wchar_t* root = drives; *root; root += wcslen(root) + 1) {
        int index = GetDriveIndex(root);
        if (index < 0)
            continue;
        UINT type = GetDriveTypeW(root);
        if (type == DRIVE_REMOVABLE || type == DRIVE_FIXED || type == DRIVE_RAMDISK)
            GetVolumeSerialText(m_driveKeys[index], root);
        else
            m_driveKeys[index].Empty();
    }
}

CString VyxCacheIndex::GetDriveOfVolume(const wchar_t* serial) const
{
    CString drive;
    for (int i = 0; i < 26; ++i)
        if (!m_driveKeys[i].IsEmpty() && m_driveKeys[i].CompareNoCase(serial) == 0) {
            drive.Format(L"%c:", static_cast<wchar_t>(L'A' + i));
            break;
        }
    return drive;
}

// A key is a volume ("server share:serial" or the serial alone, in hexadecimal digits), the rest
// of the folder, and "/" with the archive's name when it names a location in an archive. Parsed by
// hand: the maintenance dialog parses every key of an index that may hold tens of thousands.
CString VyxCacheIndex::ParseKey(const wchar_t* key, CString& archiveFileName) const
{
    archiveFileName.Empty();
    if (!key)
        return CString();
    auto hexDigits = [](const wchar_t* p) {
        const wchar_t* start = p;
        while (iswxdigit(*p))
            ++p;
        return static_cast<int>(p - start);
    };
    CString share, serial;
    const wchar_t* rest = nullptr;
    if (const wchar_t* colon = wcschr(key, L':')) {
        if (int digits = hexDigits(colon + 1)) {
            share = CString(key, static_cast<int>(colon - key));
            serial = CString(colon + 1, digits);
            rest = colon + 1 + digits;
        }
    }
    if (!rest) {
        const int digits = hexDigits(key);
        if (!digits)
            return CString();
        serial = CString(key, digits);
        rest = key + digits;
    }
    CString path(rest);
    const int slash = path.Find(L'/');
    if (slash >= 0) {
        // The archive's name was escaped with the rest of the key: it is shown as it is named.
        archiveFileName = UnescapeKey(path.Mid(slash + 1));
        path = path.Left(slash);
    }
    return share + GetDriveOfVolume(serial) + UnescapeKey(path);
}

bool VyxCacheIndex::IsCentralFileName(int kind, const wchar_t* name)
{
    if (!ValidKind(kind) || !name)
        return false;
    size_t digits = 0;
    while (name[digits] >= L'0' && name[digits] <= L'9')
        ++digits;
    // "%08d" writes at least eight digits; the number is an int.
    return digits >= 8 && digits <= 10 && _wcsicmp(name + digits, kExtensions[kind]) == 0;
}

CString VyxCacheIndex::GetCentralFilePath(int kind, const wchar_t* name) const
{
    if (!HasCacheFolder() || !IsCentralFileName(kind, name))
        return CString();
    return m_root + L"\\" + name;
}

int VyxCacheIndex::TakeFreeNumber(int kind) const
{
    const wchar_t* section = kKinds[kind].section;
    std::unordered_set<std::wstring> taken;
    std::vector<wchar_t> entries;
    m_index.GetWholeSection(section, entries);
    for (const wchar_t* entry = entries.data(); *entry; entry += wcslen(entry) + 1) {
        const wchar_t* equals = wcschr(entry, L'=');
        if (!equals)
            continue;
        CString value(equals + 1);
        value.Trim();
        taken.insert(value.MakeUpper().GetString());
    }
    // A damaged counter (negative, or behind the entries) must not hand out a number in use.
    int start = m_index.GetInt(section, kCounterKey, 0);
    if (start < 0 || start == INT_MAX)
        start = 0;
    int number = start;
    do {
        CString name;
        name.Format(kKinds[kind].centralPattern, number);
        CString upper = name;
        if (!taken.count(upper.MakeUpper().GetString()) && !PathExists(m_root + L"\\" + name, kFileNotFolder))
            return number;
        number = number == INT_MAX - 1 ? 0 : number + 1;
    } while (number != start);
    return -1;
}

void VyxCacheIndex::RemoveEntries(int kind, const std::vector<CString>& keys) const
{
    std::lock_guard<std::recursive_mutex> hold(s_indexChange);
    if (!ValidKind(kind) || !HasCacheFolder() || keys.empty())
        return;
    std::unordered_set<std::wstring> removed;
    for (CString key : keys)
        removed.insert(key.MakeUpper().GetString());
    const wchar_t* section = kKinds[kind].section;
    std::vector<wchar_t> buffer;
    if (!m_index.GetWholeSection(section, buffer))
        return;
    std::vector<wchar_t> kept;
    bool changed = false;
    for (const wchar_t* entry = buffer.data(); *entry; entry += wcslen(entry) + 1) {
        const wchar_t* equals = wcschr(entry, L'=');
        CString key = equals ? CString(entry, static_cast<int>(equals - entry)) : CString(entry);
        if (removed.count(key.MakeUpper().GetString())) {
            changed = true;
            continue;
        }
        kept.insert(kept.end(), entry, entry + wcslen(entry) + 1);
    }
    kept.push_back(0);
    if (changed)
        m_index.WriteSection(section, kept.data());
}

VyxCacheIndex::SharedNames VyxCacheIndex::FindSharedNames(const std::vector<wchar_t>& entries)
{
    SharedNames first;
    std::unordered_set<std::wstring> shared;
    for (const wchar_t* entry = entries.data(); !entries.empty() && *entry; entry += wcslen(entry) + 1) {
        const wchar_t* equals = wcschr(entry, L'=');
        if (!equals)
            continue;
        const std::wstring key = Folded(entry, static_cast<int>(equals - entry)), name = Folded(equals + 1);
        if (name.empty() || _wcsicmp(key.c_str(), kCounterKey) == 0)
            continue;
        if (!first.emplace(name, key).second)
            shared.insert(name);
    }
    for (auto at = first.begin(); at != first.end();)
        at = shared.count(at->first) ? std::next(at) : first.erase(at);
    return first;
}

bool VyxCacheIndex::OwnsName(const SharedNames& shared, const wchar_t* key, const wchar_t* name)
{
    auto found = shared.find(Folded(name));
    return found == shared.end() || found->second == Folded(key);
}

bool VyxCacheIndex::OwnsCentralName(int kind, const CString& key, const CString& name) const
{
    FileStamp stamp;
    if (!ValidKind(kind) || !FileStamp::Read(m_indexPath, stamp))
        return true;
    const unsigned writeCount = VyxIni::GetWriteCount();
    const std::wstring held = Folded(m_indexPath) + L"|" + kKinds[kind].section;
    {
        std::lock_guard<std::mutex> hold(s_sharedLock);
        auto found = s_shared.find(held);
        if (found != s_shared.end() && found->second.stamp == stamp && found->second.writeCount == writeCount)
            return OwnsName(found->second.shared, key, name);
    }
    std::vector<wchar_t> entries;
    m_index.GetWholeSection(kKinds[kind].section, entries);
    HeldSharedNames read{stamp, writeCount, FindSharedNames(entries)};
    const bool owns = OwnsName(read.shared, key, name);
    std::lock_guard<std::mutex> hold(s_sharedLock);
    if (s_shared.size() >= kHeldIndexes)
        s_shared.clear();
    s_shared[held] = std::move(read);
    return owns;
}
