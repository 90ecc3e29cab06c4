#include "foundation/ReplacementFile.h"

#include "foundation/FolderEntry.h"
#include "foundation/TempFile.h"
#include "foundation/TempMarker.h"

#include <algorithm>
#include <cwctype>
#include <fcntl.h>
#include <io.h>
#include <mutex>
#include <set>
#include <string>

namespace {

// What the new file takes of the one it replaces; read-only is refused instead.
const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// "<name>." and ".tmp" around eight hexadecimal digits, the form CreateTempFileBeside gives.
const int kTemporarySuffix = 13;

bool IsRefusedTarget(DWORD attributes)
{
    // The platform's rename would write over these where opening the file to write would not.
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

bool IsTemporaryOf(const CString& entry, const CString& name)
{
    const int length = name.GetLength();
    if (entry.GetLength() != length + kTemporarySuffix || entry.Left(length).CompareNoCase(name) != 0 ||
        entry[length] != L'.' || entry.Right(4).CompareNoCase(L".tmp") != 0)
        return false;
    for (int i = length + 1; i < length + 9; ++i)
        if (!iswxdigit(entry[i]))
            return false;
    return true;
}

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD done = 0;
    return WriteFile(file, data, size, &done, nullptr) && done == size;
}

// The mark's file: the mark, then the new file's name in UTF-16 ended by a zero.
std::string Claim(const CString& name)
{
    std::string bytes;
    for (int i = 0; i <= name.GetLength(); ++i) {
        const wchar_t ch = i < name.GetLength() ? name[i] : L'\0';
        bytes += static_cast<char>(ch & 0xFF);
        bytes += static_cast<char>((ch >> 8) & 0xFF);
    }
    return bytes;
}

// The name a mark's file claims, empty when it holds none (a mark alone, or a temporary an
// earlier version marked at its head, followed by its own bytes).
CString ClaimedName(const std::string& bytes)
{
    const size_t at = TempMarker::kSize;
    if (bytes.size() < at + 4 || (bytes.size() - at) % 2 != 0 || bytes[bytes.size() - 2] || bytes[bytes.size() - 1])
        return CString();
    CString name;
    for (size_t i = at; i + 2 < bytes.size(); i += 2) {
        const wchar_t ch =
            static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (!ch)
            return CString();
        name += ch;
    }
    return name;
}

std::mutex s_cleanedLock;
std::set<std::wstring> s_cleaned;
const size_t kCleanedLimit = 4096;

// True the first time a process asks for the target.
bool FirstAskFor(const wchar_t* target)
{
    CString folded(target);
    folded.MakeLower();
    std::lock_guard<std::mutex> lock(s_cleanedLock);
    if (s_cleaned.size() >= kCleanedLimit)
        s_cleaned.clear();
    return s_cleaned.insert(std::wstring(folded.GetString())).second;
}

} // namespace

ReplacementFile::~ReplacementFile()
{
    Discard();
}

bool ReplacementFile::Fail(DWORD error)
{
    Discard();
    SetLastError(error ? error : ERROR_WRITE_FAULT);
    return false;
}

bool ReplacementFile::Create(const wchar_t* target, Access access)
{
    Discard();
    m_target = target ? target : L"";
    m_failed = m_finished = m_reads = false;
    if (m_target.IsEmpty())
        return Fail(ERROR_INVALID_PARAMETER);
    // In a large folder every look-up of a name that is not there reads the whole folder: the
    // sweep's listing tells the target's attributes too.
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!SweepBeside(m_target, &attributes))
        attributes = GetFileAttributesW(m_target);
    if (IsRefusedTarget(attributes))
        return Fail(ERROR_ACCESS_DENIED);
    // The mark first, then the file it names: from the moment the new file has its name, a crash
    // leaves it known as the program's.
    HANDLE mark = CreateTempFileBeside(m_target, m_markPath);
    if (mark == INVALID_HANDLE_VALUE) {
        m_markPath.Empty();
        return Fail(GetLastError());
    }
    TempMarker::Hold(m_markPath, true);
    const std::string made = TempMarker::Make();
    bool marked = WriteAll(mark, made.data(), static_cast<DWORD>(made.size()));
    const bool reads = access == ReadWrite;
    HANDLE file = marked ? CreateTempFileBeside(m_target, m_path, reads ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE)
                         : INVALID_HANDLE_VALUE;
    DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE) {
        const int cut = std::max(m_path.ReverseFind(L'\\'), m_path.ReverseFind(L'/'));
        const std::string claim = Claim(m_path.Mid(cut + 1));
        marked = WriteAll(mark, claim.data(), static_cast<DWORD>(claim.size())) && FlushFileBuffers(mark);
        error = GetLastError();
    }
    CloseHandle(mark);
    if (file == INVALID_HANDLE_VALUE) {
        m_path.Empty();
        return Fail(error);
    }
    m_file = file;
    m_reads = reads;
    TempMarker::Hold(m_path, true);
    return marked || Fail(error);
}

FILE* ReplacementFile::Stream()
{
    if (m_stream || m_file == INVALID_HANDLE_VALUE)
        return m_stream;
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(m_file), (m_reads ? _O_RDWR : _O_WRONLY) | _O_BINARY);
    if (descriptor < 0)
        return nullptr;
    m_stream = _fdopen(descriptor, m_reads ? "w+b" : "wb");
    if (!m_stream) {
        _close(descriptor);
        m_file = INVALID_HANDLE_VALUE;
        m_failed = true;
    }
    return m_stream;
}

bool ReplacementFile::Write(const void* data, size_t size)
{
    if (m_failed || (!m_stream && m_file == INVALID_HANDLE_VALUE))
        return false;
    if (m_stream) {
        m_failed = size > 0 && std::fwrite(data, 1, size, m_stream) != size;
        return !m_failed;
    }
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (size > 0 && !m_failed) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        m_failed = !WriteAll(m_file, bytes, piece);
        bytes += piece;
        size -= piece;
    }
    return !m_failed;
}

bool ReplacementFile::Finish()
{
    if (m_finished)
        return !m_failed;
    if (m_file == INVALID_HANDLE_VALUE)
        return false;
    // A volume that defers its writes reports their failure only at the flush or the close.
    bool ok =
        !m_failed && (!m_stream || (std::fflush(m_stream) == 0 && !std::ferror(m_stream))) && FlushFileBuffers(m_file);
    DWORD error = ok ? 0 : GetLastError();
    if (!(m_stream ? std::fclose(m_stream) == 0 : CloseHandle(m_file) != FALSE) && ok) {
        ok = false;
        error = ERROR_WRITE_FAULT;
    }
    m_stream = nullptr;
    m_file = INVALID_HANDLE_VALUE;
    m_finished = true;
    m_failed = !ok;
    if (!ok) {
        SetLastError(error ? error : ERROR_WRITE_FAULT);
        return false;
    }
    const DWORD attributes = m_targetAttributes = GetFileAttributesW(m_target);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(m_path, (attributes & kKeptAttributes) ? attributes & kKeptAttributes
                                                                  : static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    return true;
}

bool ReplacementFile::PutInPlace()
{
    const bool finishedBefore = m_finished;
    if (m_path.IsEmpty() || !Finish())
        return Fail(GetLastError());
    // Finish read them a moment ago, unless it ran before this call.
    if (IsRefusedTarget(finishedBefore ? GetFileAttributesW(m_target) : m_targetAttributes))
        return Fail(ERROR_ACCESS_DENIED);
    if (!MoveFileExW(m_path, m_target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Fail(GetLastError());
    TempMarker::Hold(m_path, false);
    m_path.Empty();
    // The file is in place: its mark has nothing left to show.
    Discard();
    return true;
}

void ReplacementFile::Discard()
{
    if (m_stream)
        std::fclose(m_stream);
    else if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_stream = nullptr;
    m_file = INVALID_HANDLE_VALUE;
    // The file before its mark, so that no file of the program's stands without one.
    if (!m_path.IsEmpty()) {
        DeleteFileW(m_path);
        TempMarker::Hold(m_path, false);
        m_path.Empty();
    }
    if (!m_markPath.IsEmpty()) {
        DeleteFileW(m_markPath);
        TempMarker::Hold(m_markPath, false);
        m_markPath.Empty();
    }
}

int ReplacementFile::RemoveLeftoversBeside(const wchar_t* target)
{
    int removed = 0;
    SweepBeside(target, nullptr, &removed);
    return removed;
}

bool ReplacementFile::SweepBeside(const wchar_t* target, DWORD* attributes, int* removedCount)
{
    if (!target || !*target || !FirstAskFor(target))
        return false;
    const CString path(target);
    const int cut = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    if (cut < 0)
        return false;
    const CString folder = path.Left(cut + 1), name = path.Mid(cut + 1);
    // One listing finds the file itself (in any letter case) and its temporaries.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path + L"*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    int removed = 0;
    const size_t longestMark = TempMarker::kSize + 2 * (name.GetLength() + kTemporarySuffix + 1);
    // A name spelled exactly so is the one the platform opens, whatever twins in another letter
    // case stand beside it.
    bool exact = false;
    do {
        if (attributes && !exact && name.CompareNoCase(data.cFileName) == 0) {
            *attributes = data.dwFileAttributes;
            exact = name == data.cFileName;
        }
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsTemporaryOf(data.cFileName, name))
            continue;
        // A link of such a name is left as it is: the file it leads to is not this folder's.
        FolderEntry entry;
        std::string head;
        if (!entry.Open(folder, data) || !entry.ReadHead(head, longestMark + 2) ||
            !TempMarker::IsLeft(head.data(), head.size(), entry.GetPath()))
            continue;
        const CString claimed = ClaimedName(head);
        FolderEntry file;
        if (!claimed.IsEmpty() && claimed.CompareNoCase(data.cFileName) != 0 && IsTemporaryOf(claimed, name) &&
            file.Open(folder, claimed) && file.Remove())
            ++removed;
        if (entry.Remove())
            ++removed;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    if (removedCount)
        *removedCount = removed;
    return true;
}
