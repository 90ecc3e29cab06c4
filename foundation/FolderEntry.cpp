#include "foundation/FolderEntry.h"

#include "foundation/VyxPath.h"

#include <algorithm>

namespace {

// Calls of systems later than the oldest one the program runs on, asked of the system at the first
// use; where one is missing the entry is judged by its attributes alone.
using FinalPathFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using SetInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
const int kBasicInformation = 0;       // FileBasicInfo
const int kDispositionInformation = 4; // FileDispositionInfo

// FILE_BASIC_INFO: times left at zero stay as they are.
struct BasicInformation
{
    LONGLONG creation, lastAccess, lastWrite, change;
    DWORD attributes;
    DWORD padding;
};
static_assert(sizeof(BasicInformation) == 40, "the system's layout");

template <typename Function> Function KernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

FinalPathFunction FinalPathCall()
{
    static const FinalPathFunction call = KernelFunction<FinalPathFunction>("GetFinalPathNameByHandleW");
    return call;
}

// The path the system reached through the handle, links followed; "" when it cannot say.
CString FinalPath(HANDLE handle)
{
    const FinalPathFunction finalPath = FinalPathCall();
    if (!finalPath)
        return CString();
    CString path;
    DWORD length = finalPath(handle, path.GetBuffer(MAX_PATH + 1), MAX_PATH + 1, 0);
    path.ReleaseBuffer(length <= MAX_PATH ? static_cast<int>(length) : 0);
    if (length > MAX_PATH) {
        const DWORD needed = length;
        length = finalPath(handle, path.GetBuffer(static_cast<int>(needed)), needed, 0);
        path.ReleaseBuffer(length < needed ? static_cast<int>(length) : 0);
    }
    return path;
}

// Whether the handle reached the folder's own entry of that name: Wine shows a link made on the
// host as the file it leads to (attributes and all), and only the path reached tells them apart.
bool ReachedEntryOf(HANDLE handle, const wchar_t* folder, const wchar_t* name)
{
    const CString reached = FinalPath(handle);
    if (reached.IsEmpty())
        return !FinalPathCall();
    HANDLE folderHandle =
        CreateFileW(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folderHandle == INVALID_HANDLE_VALUE)
        return false;
    CString expected;
    RemovePathSeparator(expected, FinalPath(folderHandle));
    CloseHandle(folderHandle);
    return !expected.IsEmpty() && reached == expected + L"\\" + name;
}

} // namespace

bool FolderEntry::Open(const wchar_t* folder, const WIN32_FIND_DATAW& found)
{
    Close();
    const wchar_t* name = found.cFileName;
    if (!folder || !*folder || !wcscmp(name, L".") || !wcscmp(name, L"..") ||
        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    m_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    MakePath(m_path, nullptr, folder, name, nullptr);
    // Opened as itself where the system can (a link stays a link), and shared, so that a process
    // still writing the entry, which shares nothing, keeps it.
    const DWORD access = m_folder ? FILE_READ_ATTRIBUTES : GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES;
    // A name ending in a dot or a blank is reached as it stands.
    m_handle =
        CreateFileW(ExactPath(m_path), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | (m_folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr);
    if (m_handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION facts = {};
    const bool itself = GetFileInformationByHandle(m_handle, &facts) &&
                        !(facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                        ((facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == m_folder &&
                        ReachedEntryOf(m_handle, folder, name);
    if (!itself) {
        Close();
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return true;
}

bool FolderEntry::Open(const wchar_t* folder, const wchar_t* name)
{
    CString path;
    WIN32_FIND_DATAW found = {};
    if (LookUpExactName(MakePath(path, nullptr, folder, name, nullptr), nullptr, &found) != NameLookup::Exact) {
        Close();
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    return Open(folder, found);
}

bool FolderEntry::ReadHead(std::string& bytes, size_t size)
{
    bytes.clear();
    LARGE_INTEGER start = {}, length = {};
    if (m_handle == INVALID_HANDLE_VALUE || m_folder || !GetFileSizeEx(m_handle, &length) ||
        !SetFilePointerEx(m_handle, start, nullptr, FILE_BEGIN))
        return false;
    // One byte past the file's end: a file that grew since is seen longer than it was.
    bytes.resize(static_cast<size_t>(std::min<ULONGLONG>(size, static_cast<ULONGLONG>(length.QuadPart) + 1)));
    DWORD read = 0;
    if (!ReadFile(m_handle, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        bytes.clear();
        return false;
    }
    bytes.resize(read);
    return true;
}

bool FolderEntry::Remove()
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return false;
    if (m_folder) {
        Close();
        return RemoveDirectoryW(ExactPath(m_path)) != FALSE;
    }
    static const SetInformationFunction setInformation =
        KernelFunction<SetInformationFunction>("SetFileInformationByHandle");
    bool removed = false;
    if (setInformation) {
        // Through the handle: the file judged is the one deleted, whatever took its name since.
        BY_HANDLE_FILE_INFORMATION facts = {};
        if (GetFileInformationByHandle(m_handle, &facts) && (facts.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
            BasicInformation basic = {};
            const DWORD kept = facts.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY;
            basic.attributes = kept ? kept : static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
            setInformation(m_handle, kBasicInformation, &basic, sizeof(basic));
        }
        BOOLEAN deleteFile = TRUE;
        removed = setInformation(m_handle, kDispositionInformation, &deleteFile, sizeof(deleteFile)) != FALSE;
        Close();
        return removed;
    }
    Close();
    SetFileAttributesW(ExactPath(m_path), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(ExactPath(m_path)) != FALSE;
}

void FolderEntry::Close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}
