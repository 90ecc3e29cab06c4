#include "fileops/CopyTarget.h"

#include "fileops/FileIdentity.h"
#include "foundation/FolderEntry.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/TempMarker.h"
#include "foundation/VyxPath.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <string>

namespace {

CopyTarget::WriteFunction& WriteHook()
{
    static CopyTarget::WriteFunction hook;
    return hook;
}

// What one write call is given at most. A larger write has the host's kernel (under Wine) look
// for room for the file's cache in pieces as large as the write: on a machine whose memory is
// broken up, a 1 MB write then takes three times as long as sixteen of 64 KB.
const DWORD kWritePiece = 64 * 1024;

// Another copy, or a file or folder of the user's, may hold a name: the next one is tried.
const int kTemporaryNameTries = 64;
const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const wchar_t kTemporaryPattern[] = L"$*.tmp";
// "$", the process id and a serial of eight hexadecimal digits each, ".tmp".
const int kTemporaryNameLength = 21;
// In each temporary folder: the program's mark (TempMarker), then the names of the files it is to
// hold under names of their own (extracted members). A folder without it is not the program's.
const wchar_t kMarkName[] = L"$owner.mark";
const LONGLONG kLargestMark = 1 << 20;

// The id of the process that made a temporary folder of that name; false for any other name.
bool ParseTemporaryName(const wchar_t* name, DWORD& process)
{
    if (!name || wcslen(name) != kTemporaryNameLength || name[0] != L'$' || _wcsicmp(name + 17, L".tmp") != 0)
        return false;
    process = 0;
    for (int i = 1; i < 17; ++i) {
        if (!iswxdigit(name[i]))
            return false;
        if (i < 9)
            process =
                process << 4 | static_cast<DWORD>(iswdigit(name[i]) ? name[i] - L'0' : (towupper(name[i]) - L'A' + 10));
    }
    return true;
}

CString TemporaryName(const wchar_t* folder)
{
    // Starting from the clock: an earlier process of the same id may have left names behind.
    static LONG serial = static_cast<LONG>(GetTickCount());
    CString name, path;
    name.Format(L"$%08lX%08lX.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                static_cast<unsigned long>(InterlockedIncrement(&serial)));
    return MakePath(path, nullptr, folder, name, nullptr);
}

thread_local CopyTarget::Batch* t_batch = nullptr;

CString MarkPath(const wchar_t* folder)
{
    CString path;
    return MakePath(path, nullptr, folder, kMarkName, nullptr);
}

// The mark of a temporary folder and the names it was told of; false when it has none (or a link
// stands in its place).
bool ReadMark(const wchar_t* folder, std::string& mark, std::set<CString>& claimed)
{
    FolderEntry file;
    std::string bytes;
    if (!file.Open(folder, kMarkName) || !file.ReadHead(bytes, kLargestMark + 1) || bytes.size() < TempMarker::kSize ||
        bytes.size() > kLargestMark)
        return false;
    mark = bytes.substr(0, TempMarker::kSize);
    // The names follow, in UTF-16 each ended by a zero.
    std::wstring name;
    for (size_t at = TempMarker::kSize; at + 1 < bytes.size(); at += 2) {
        const wchar_t ch = static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                                static_cast<unsigned char>(bytes[at + 1]) << 8);
        if (ch) {
            name += ch;
        } else if (!name.empty()) {
            CString folded(name.c_str());
            claimed.insert(folded.MakeLower());
            name.clear();
        }
    }
    return true;
}

// Empties a temporary folder of the program's of what the program named in it (copies under
// the temporary form, the names its mark was told of) and removes it; whatever else it holds
// stays, and so then does the folder with its mark. A link among them is another's: it stays,
// and what it leads to is never touched. None (one that could not be made) is no folder: its
// "*" would be every file of the current directory.
bool RemoveTemporaryFolder(const CString& path)
{
    if (path.IsEmpty())
        return false;
    std::string mark;
    std::set<CString> claimed;
    ReadMark(path, mark, claimed);
    bool others = false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path + L"\\*", &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            CString name = data.cFileName, folded = name;
            folded.MakeLower();
            DWORD process = 0;
            if (name == L"." || name == L".." || name.CompareNoCase(kMarkName) == 0)
                continue;
            const bool ours = !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                              (ParseTemporaryName(name, process) || claimed.count(folded));
            FolderEntry entry;
            if (!ours || !entry.Open(path, data) || !entry.Remove())
                others = true;
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    FolderEntry markFile;
    if (others || (markFile.Open(path, kMarkName) && !markFile.Remove()))
        return false;
    return RemoveDirectoryW(path) != FALSE;
}

} // namespace

bool CopyTarget::WriteMark(const wchar_t* folder, const std::string& mark)
{
    HANDLE file = CreateFileW(MarkPath(folder), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, mark.data(), static_cast<DWORD>(mark.size()), &written, nullptr) &&
                    written == mark.size() && FlushFileBuffers(file);
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return ok;
}

bool CopyTarget::ClaimName(const wchar_t* temporaryFolder, const wchar_t* name)
{
    HANDLE file = CreateFileW(MarkPath(temporaryFolder), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes;
    for (const wchar_t* p = name ? name : L"";; ++p) {
        bytes += static_cast<char>(*p & 0xFF);
        bytes += static_cast<char>((*p >> 8) & 0xFF);
        if (!*p)
            break;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

bool CopyTarget::IsReadOnlyFile(const wchar_t* path)
{
    // Windows refuses to replace such a file; Wine would replace it, so it is asked first.
    DWORD attributes = GetFileAttributesW(ExactPath(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyTarget::SetWriteFunction(WriteFunction write)
{
    WriteHook() = std::move(write);
}

CString CopyTarget::MakeTemporaryFolder(const wchar_t* folder)
{
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        CString path = TemporaryName(folder);
        if (CreateDirectoryW(path, nullptr)) {
            TempMarker::Hold(path, true);
            // Marked before anything goes in: a clean-up removes only a folder with the mark.
            if (WriteMark(path, TempMarker::Make()))
                return path;
            const DWORD error = GetLastError();
            RemoveDirectoryW(path);
            TempMarker::Hold(path, false);
            SetLastError(error ? error : ERROR_CANNOT_MAKE);
            return CString();
        }
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return CString();
    }
    SetLastError(ERROR_CANNOT_MAKE);
    return CString();
}

void CopyTarget::ReleaseTemporaryFolder(const wchar_t* path)
{
    RemoveTemporaryFolder(path);
    TempMarker::Hold(path, false);
}

int CopyTarget::RemoveLeftovers(const wchar_t* folder)
{
    CString pattern;
    MakePath(pattern, nullptr, folder, kTemporaryPattern, nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int removed = 0;
    do {
        DWORD process = 0, marked = 0;
        FILETIME started;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ParseTemporaryName(data.cFileName, process))
            continue;
        // A link of such a name is left as it is, and what it leads to is not entered.
        FolderEntry temporary;
        if (!temporary.Open(folder, data))
            continue;
        temporary.Close();
        const CString path = temporary.GetPath();
        // Only a folder the program marked, of a process that no longer uses it (another one
        // running may be writing into its own); a user's folder of such a name is left alone.
        std::string mark;
        std::set<CString> claimed;
        if (!ReadMark(path, mark, claimed) || !TempMarker::Read(mark.data(), mark.size(), marked, started) ||
            marked != process || !TempMarker::IsLeft(mark.data(), mark.size(), path))
            continue;
        if (RemoveTemporaryFolder(path))
            ++removed;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return removed;
}

CopyTarget::Batch::Batch() : m_outer(t_batch)
{
    t_batch = this;
}

CopyTarget::Batch::~Batch()
{
    for (const auto& entry : m_folders) {
        RemoveTemporaryFolder(entry.second);
        TempMarker::Hold(entry.second, false);
    }
    t_batch = m_outer;
}

CopyTarget::~CopyTarget()
{
    Abandon();
}

CString CopyTarget::TemporaryFolderFor(const CString& folder)
{
    m_ownsFolder = t_batch == nullptr;
    if (m_ownsFolder)
        return MakeTemporaryFolder(folder);
    CString key(folder);
    key.MakeLower();
    CString& shared = t_batch->m_folders[std::wstring(key)];
    // Made again should something have taken it away since.
    if (shared.IsEmpty() || GetFileAttributesW(shared) == INVALID_FILE_ATTRIBUTES) {
        if (!shared.IsEmpty())
            TempMarker::Hold(shared, false);
        shared = MakeTemporaryFolder(folder);
    }
    return shared;
}

void CopyTarget::ReleaseOwnFolder()
{
    if (m_ownsFolder && !m_folder.IsEmpty())
        ReleaseTemporaryFolder(m_folder);
    m_folder.Empty();
    m_ownsFolder = false;
}

DWORD CopyTarget::Create(const wchar_t* target, bool replace)
{
    Abandon();
    m_target = target ? target : L"";
    m_written = 0;
    m_replace = replace;
    CString folder;
    GetPathPart(folder, m_target, PartFolder);
    // A bare "X:" would name the drive's current directory.
    if (folder.GetLength() == 2 && folder[1] == L':')
        folder += L'\\';
    m_folder = TemporaryFolderFor(folder);
    if (m_folder.IsEmpty()) {
        DWORD error = GetLastError();
        return error ? error : ERROR_CANNOT_MAKE;
    }
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        m_temporary = TemporaryName(m_folder);
        m_file = CreateFileW(m_temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file != INVALID_HANDLE_VALUE)
            return 0;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            m_temporary.Empty();
            ReleaseOwnFolder();
            return error ? error : ERROR_CANNOT_MAKE;
        }
    }
    m_temporary.Empty();
    ReleaseOwnFolder();
    return ERROR_CANNOT_MAKE;
}

DWORD CopyTarget::Write(const void* data, DWORD size)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    const WriteFunction& hook = WriteHook();
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (DWORD done = 0, piece = 0; done < size; done += piece) {
        piece = std::min(kWritePiece, size - done);
        DWORD written = 0;
        BOOL ok = hook ? hook(m_file, bytes + done, piece, &written)
                       : ::WriteFile(m_file, bytes + done, piece, &written, nullptr);
        if (!ok) {
            DWORD error = GetLastError();
            return error ? error : ERROR_WRITE_FAULT;
        }
        m_written += written;
        // A write that took fewer bytes than it was given ran out of room.
        if (written != piece)
            return ERROR_DISK_FULL;
    }
    return 0;
}

DWORD CopyTarget::Close()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return 0;
    BOOL closed = CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    // A volume that defers its writes reports their failure only here.
    return closed ? 0 : GetLastError();
}

DWORD CopyTarget::Finish(HANDLE source)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    // The times go on through the open handle (closing leaves them); a source whose facts cannot
    // be read leaves the copy with its own. Times and attributes come from one query of the open
    // source, not from a second look-up by name.
    BY_HANDLE_FILE_INFORMATION facts;
    const bool known = GetFileInformationByHandle(source, &facts) != FALSE;
    if (known)
        SetFileTime(m_file, &facts.ftCreationTime, &facts.ftLastAccessTime, &facts.ftLastWriteTime);
    LARGE_INTEGER size = {};
    DWORD error = GetFileSizeEx(m_file, &size) && static_cast<ULONGLONG>(size.QuadPart) == m_written
                      ? 0
                      : static_cast<DWORD>(ERROR_WRITE_FAULT);
    DWORD closing = Close();
    error = error ? error : closing;
    if (!error && known && (facts.dwFileAttributes & kKeptAttributes))
        SetFileAttributesW(m_temporary, facts.dwFileAttributes & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE));
    if (!error)
        error = PutInPlace(source);
    if (error) {
        Abandon();
        return error;
    }
    m_temporary.Empty();
    ReleaseOwnFolder();
    return 0;
}

DWORD CopyTarget::PutInPlace(HANDLE source)
{
    // The usual case, no file at the target, in one step; a file there is replaced unless it is
    // read-only, the source itself or a file spelled otherwise, or the copy was not to replace
    // anything.
    if (MoveFileExW(m_temporary, m_target, 0))
        return 0;
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        return error;
    if (!m_replace)
        return ERROR_FILE_EXISTS;
    FileIdentity there, copied;
    if (there.Read(m_target) && copied.Read(source) && there == copied)
        return kOntoSource;
    if (IsReadOnlyFile(m_target))
        return ERROR_ACCESS_DENIED;
    return MoveEntryReplacing(m_temporary, m_target) ? 0 : GetLastError();
}

void CopyTarget::Abandon()
{
    Close();
    if (!m_temporary.IsEmpty())
        DeleteFileForced(m_temporary);
    m_temporary.Empty();
    ReleaseOwnFolder();
}
