#include "catalogue/NoteFileLock.h"

#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

const size_t kKept = 64;

// The name of the lock this thread last found taken by another kind of object.
thread_local CString t_takenName;

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

// The count, in memory every process maps by its name. Each process keeps the counts it used
// open, so that they last while any process of the program runs.
std::shared_ptr<volatile LONGLONG> MapCounter(const CString& name)
{
    static std::mutex lock;
    static std::map<std::wstring, HANDLE> kept;
    std::lock_guard<std::mutex> hold(lock);
    auto found = kept.find(std::wstring(name));
    if (found == kept.end()) {
        // A view still mapped keeps its mapping.
        if (kept.size() >= kKept) {
            for (const auto& entry : kept)
                CloseHandle(entry.second);
            kept.clear();
        }
        HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONGLONG), name);
        if (!mapping)
            return nullptr;
        found = kept.emplace(std::wstring(name), mapping).first;
    }
    void* view = MapViewOfFile(found->second, FILE_MAP_WRITE, 0, 0, sizeof(LONGLONG));
    if (!view)
        return nullptr;
    return std::shared_ptr<volatile LONGLONG>(static_cast<volatile LONGLONG*>(view), [](volatile LONGLONG* mapped) {
        UnmapViewOfFile(const_cast<LONGLONG*>(mapped));
    });
}

// The lock's name and count for a note file, as last found while its folder's times stand: the
// name asks the file system for the folder's volume and index, which costs a hundred times the
// look at its times. A folder made again under the same path has other times.
struct Identity
{
    FILETIME created = {}, written = {};
    CString name;
    std::shared_ptr<volatile LONGLONG> writes;
};

Identity IdentityOf(const CString& path)
{
    static std::mutex lock;
    static std::unordered_map<std::wstring, Identity> known;
    CString folder, key(path);
    GetPathPart(folder, path, PartFolder);
    key.MakeLower();
    WIN32_FILE_ATTRIBUTE_DATA facts;
    const bool stamped = GetFileAttributesExW(folder, GetFileExInfoStandard, &facts) != FALSE;
    if (stamped) {
        std::lock_guard<std::mutex> hold(lock);
        auto found = known.find(std::wstring(key));
        if (found != known.end() && CompareFileTime(&found->second.created, &facts.ftCreationTime) == 0 &&
            CompareFileTime(&found->second.written, &facts.ftLastWriteTime) == 0)
            return found->second;
    }
    Identity identity;
    identity.name = NoteFileLock::NameFor(path);
    identity.writes = MapCounter(identity.name + L"-writes");
    if (stamped) {
        identity.created = facts.ftCreationTime;
        identity.written = facts.ftLastWriteTime;
        std::lock_guard<std::mutex> hold(lock);
        if (known.size() >= kKept)
            known.clear();
        known[std::wstring(key)] = identity;
    }
    return identity;
}

} // namespace

NoteFileLock::NoteFileLock(const CString& path)
{
    const Identity identity = IdentityOf(path);
    m_name = identity.name;
    m_writes = identity.writes;
}

NoteFileLock::~NoteFileLock()
{
    if (m_held)
        ReleaseMutex(m_mutex);
    if (m_mutex)
        CloseHandle(m_mutex);
}

bool NoteFileLock::Take(DWORD bound)
{
    if (m_held)
        return true;
    if (!m_mutex) {
        m_mutex = CreateMutexW(nullptr, FALSE, m_name);
        if (!m_mutex) {
            // The name belongs to an object of another kind: no wait would ever get it.
            m_failure = GetLastError() == ERROR_INVALID_HANDLE ? kNameTaken : GetLastError();
            if (m_failure == kNameTaken)
                t_takenName = m_name;
            return false;
        }
    }
    const DWORD waited = WaitForSingleObject(m_mutex, bound);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    m_failure = m_held ? 0 : ERROR_TIMEOUT;
    return m_held;
}

ULONGLONG NoteFileLock::Writes() const
{
    // Read whole also while a writer counts: a 32-bit process reads 64 bits in two halves.
    return m_writes ? static_cast<ULONGLONG>(InterlockedCompareExchange64(m_writes.get(), 0, 0)) : 0;
}

void NoteFileLock::Written()
{
    if (m_writes && m_held)
        InterlockedIncrement64(m_writes.get());
}

CString NoteFileLock::NameFor(const CString& path)
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

CString NoteFileLock::FailureText(DWORD failure)
{
    if (failure == kNameTaken)
        return L"コメントファイルの排他に使う名前「" + t_takenName +
               L"」を、ほかのプログラムが別の種類のオブジェクトに使っているため、コメントファイルを書き換えられません"
               L"。";
    const DWORD kept = GetLastError();
    SetLastError(failure);
    CString text = GetLastErrorText();
    SetLastError(kept);
    return text;
}
