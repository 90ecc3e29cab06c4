#include "catalogue/ListedSideFiles.h"

#include "catalogue/VyxCacheIndex.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace {

// A folder changed less than this before its listing began may change again within the same tick
// of its write time, unseen: what its listing saw is not kept. Write times of whole seconds come
// from a file system that keeps no finer ones (FAT's tick is two seconds). In 100 ns units.
const ULONGLONG kSecond = 10000000ull;
const ULONGLONG kSettledFine = kSecond / 10;
const ULONGLONG kSettledCoarse = 3 * kSecond;
// Folders remembered at most: those left long ago give way.
const size_t kMostFolders = 64;

struct Seen
{
    FileStamp stamp;
    unsigned kinds = 0;
};

std::mutex s_lock;
std::unordered_map<std::wstring, Seen> s_folders;

std::wstring KeyOf(const CString& folder)
{
    CString key(folder);
    key.TrimRight(L"\\/");
    return key.MakeUpper().GetString();
}

ULONGLONG Ticks(const FILETIME& time)
{
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// A folder on a disk of this machine whose file system moves a folder's write time when a name is
// made in it: another machine's clock tells nothing of how settled it is, a FAT root keeps no time
// and a link's own time stands still whatever its target gets.
bool IsLocalDisk(const CString& folder)
{
    if (folder.GetLength() < 3 || folder[1] != L':' || (folder[2] != L'\\' && folder[2] != L'/'))
        return false;
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    wchar_t root[MAX_PATH] = {};
    if (!GetVolumePathNameW(folder, root, MAX_PATH))
        return false;
    const UINT type = GetDriveTypeW(root);
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK)
        return false;
    wchar_t system[MAX_PATH] = {};
    if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH))
        return false;
    return lstrcmpiW(system, L"NTFS") == 0 || lstrcmpiW(system, L"ReFS") == 0;
}

bool IsSettled(const FILETIME& written)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG at = Ticks(written);
    const ULONGLONG settled = at % kSecond == 0 ? kSettledCoarse : kSettledFine;
    return at + settled <= Ticks(now);
}

} // namespace

ListedSideFiles::Listing::Listing(const wchar_t* folder) : m_folder(folder ? folder : L"")
{
    m_valid = IsLocalDisk(m_folder) && FileStamp::Read(m_folder, m_before) &&
              (m_before.written.dwLowDateTime || m_before.written.dwHighDateTime) && IsSettled(m_before.written);
}

void ListedSideFiles::Listing::Saw(unsigned kind)
{
    m_seen |= kind;
}

void ListedSideFiles::Listing::Finish() const
{
    const std::wstring key = KeyOf(m_folder);
    // A name made or removed while the folder was listed may have been missed.
    FileStamp after;
    const bool unchanged = m_valid && FileStamp::Read(m_folder, after) && after == m_before;
    std::lock_guard<std::mutex> hold(s_lock);
    if (!unchanged) {
        s_folders.erase(key);
        return;
    }
    if (s_folders.size() >= kMostFolders && !s_folders.count(key))
        s_folders.clear();
    s_folders[key] = Seen{m_before, m_seen};
}

bool ListedSideFiles::KnownMissing(const wchar_t* folder, Kind kind)
{
    if (!folder || !*folder)
        return false;
    const std::wstring key = KeyOf(folder);
    Seen seen;
    {
        std::lock_guard<std::mutex> hold(s_lock);
        auto found = s_folders.find(key);
        if (found == s_folders.end())
            return false;
        seen = found->second;
    }
    if (seen.kinds & kind)
        return false;
    // The folder itself is looked at (a name it has): any name made in it since changed its time.
    FileStamp now;
    if (FileStamp::Read(folder, now) && now == seen.stamp)
        return true;
    std::lock_guard<std::mutex> hold(s_lock);
    s_folders.erase(key);
    return false;
}

unsigned ListedSideFiles::KindOf(const wchar_t* name)
{
    for (int kind = 0; name && kind < VyxCacheIndex::KindCount; ++kind)
        if (lstrcmpiW(name, VyxCacheIndex::GetInFolderName(kind)) == 0)
            return OfIndexKind(kind);
    return 0;
}

void ListedSideFiles::Forget()
{
    std::lock_guard<std::mutex> hold(s_lock);
    s_folders.clear();
}
