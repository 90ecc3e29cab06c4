#include "CopyTestUtil.h"

#include "common/ScratchTree.h"
#include "foundation/VyxFileStatus.h"

#include <algorithm>

std::string PatternBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 16);
    }
    return bytes;
}

bool WriteBytes(const CString& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadBytes(const CString& path)
{
    return ScratchFolder::ReadFile(path.GetString());
}

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFile(const CString& path, size_t size, unsigned seed)
{
    return WriteBytes(path, PatternBytes(size, seed));
}

std::vector<CString> FolderEntries(const CString& folder)
{
    std::vector<CString> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder + L"\\*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        CString name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

FailingWrites::FailingWrites(unsigned long long limit, DWORD error, bool shortWrite) : m_limit(limit)
{
    CopyTarget::SetWriteFunction([this, error, shortWrite](HANDLE file, const void* data, DWORD size, DWORD* written) {
        unsigned long long room = m_written < m_limit ? m_limit - m_written : 0;
        DWORD allowed = static_cast<DWORD>(std::min<unsigned long long>(room, size));
        *written = 0;
        if (allowed > 0 && !::WriteFile(file, data, allowed, written, nullptr))
            return FALSE;
        m_written += *written;
        if (allowed == size || shortWrite)
            return TRUE;
        SetLastError(error);
        return FALSE;
    });
}

FailingWrites::~FailingWrites()
{
    CopyTarget::SetWriteFunction(nullptr);
}

LockedFile::LockedFile(const CString& path, DWORD share) : m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, path, opened, share] {
        HANDLE file = CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        m_locked = file != INVALID_HANDLE_VALUE;
        SetEvent(opened);
        WaitForSingleObject(m_release, INFINITE);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    });
    WaitForSingleObject(opened, INFINITE);
    CloseHandle(opened);
}

LockedFile::~LockedFile()
{
    SetEvent(m_release);
    m_thread.join();
    CloseHandle(m_release);
}

CString SmallDiskFolder()
{
    wchar_t unixPath[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"VYX_SMALL_DISK", unixPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    // Wine shows the host's root as drive Z:.
    CString folder = CString(L"Z:") + unixPath;
    folder.Replace(L'/', L'\\');
    ULARGE_INTEGER freeBytes, totalBytes;
    // Only a file system of its own is small; the bare folder lies on the big disk.
    if (!GetDiskFreeSpaceExW(folder, &freeBytes, &totalBytes, nullptr) || totalBytes.QuadPart > 16 * 1024 * 1024)
        return CString();
    return folder;
}

void SetFileTimes(const CString& path, long long seconds)
{
    HANDLE file = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FILETIME time;
    UnixTimeToFileTime(seconds, time);
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

CString HostAlias(const CString& path)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path) : nullptr;
    if (!name)
        return CString();
    wchar_t wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, MAX_PATH * 2);
    HeapFree(GetProcessHeap(), 0, name);
    CString alias = CString(L"Z:") + wide;
    alias.Replace(L'/', L'\\');
    return alias;
}

SecondDriveFolder::SecondDriveFolder()
{
    wchar_t drive[8] = {};
    DWORD length = GetEnvironmentVariableW(L"VYX_SECOND_DRIVE", drive, 8);
    if (length != 2 || drive[1] != L':')
        return;
    static int serial = 0;
    CString path;
    path.Format(L"%s\\scratch_%lu_%d", drive, GetCurrentProcessId(), ++serial);
    if (CreateDirectoryW(path, nullptr))
        m_path = path;
}

SecondDriveFolder::~SecondDriveFolder()
{
    if (!m_path.IsEmpty())
        RemoveTree(m_path.GetString());
}
