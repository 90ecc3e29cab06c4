#include "foundation/MarkedTempFile.h"

#include "foundation/FolderEntry.h"
#include "foundation/TempFile.h"
#include "foundation/TempMarker.h"

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <set>

namespace {

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, bytes, piece, &done, nullptr) || done != piece)
            return false;
        bytes += piece;
        size -= piece;
    }
    return true;
}

bool SeekTo(HANDLE file, ULONGLONG offset)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

// "<name>.XXXXXXXX.tmp", the form CreateTempFileBeside gives.
bool IsTemporaryOf(const CString& entry, const CString& name)
{
    const int length = name.GetLength();
    if (entry.GetLength() != length + 13 || entry.Left(length).CompareNoCase(name) != 0 || entry[length] != L'.' ||
        entry.Right(4).CompareNoCase(L".tmp") != 0)
        return false;
    for (int i = length + 1; i < length + 9; ++i)
        if (!iswxdigit(entry[i]))
            return false;
    return true;
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

MarkedTempFile::~MarkedTempFile()
{
    Discard();
}

bool MarkedTempFile::Create(const wchar_t* target)
{
    Discard();
    m_target = target ? target : L"";
    m_head.clear();
    m_length = 0;
    m_failed = false;
    m_file = CreateTempFileBeside(m_target, m_path);
    if (m_file == INVALID_HANDLE_VALUE) {
        m_path.Empty();
        return false;
    }
    TempMarker::Hold(m_path, true);
    // The mark goes in before anything else: from here on a crash leaves a file known as ours.
    const std::string mark = TempMarker::Make();
    if (!WriteAll(m_file, mark.data(), mark.size())) {
        const DWORD error = GetLastError();
        Discard();
        SetLastError(error ? error : ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

bool MarkedTempFile::Write(const void* data, size_t size)
{
    if (m_file == INVALID_HANDLE_VALUE || m_failed)
        return false;
    const char* bytes = static_cast<const char*>(data);
    // The first bytes wait in memory while the mark stands where they go.
    if (m_head.size() < TempMarker::kSize) {
        const size_t taken = std::min<size_t>(size, TempMarker::kSize - m_head.size());
        m_head.append(bytes, taken);
        bytes += taken;
        size -= taken;
        m_length += taken;
    }
    if (size == 0)
        return true;
    if (!WriteAll(m_file, bytes, size)) {
        m_failed = true;
        return false;
    }
    m_length += size;
    return true;
}

bool MarkedTempFile::Finish()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return !m_failed && !m_path.IsEmpty();
    // What was written goes to the disk with the mark still at its head, and only then is the mark
    // written over: a crash leaves a marked file, but for the moment between the last flush and
    // the file being put in place.
    bool ok =
        !m_failed && FlushFileBuffers(m_file) && SeekTo(m_file, 0) && WriteAll(m_file, m_head.data(), m_head.size());
    // A file shorter than the mark loses what is left of it.
    if (ok && m_length < TempMarker::kSize)
        ok = SeekTo(m_file, m_length) && SetEndOfFile(m_file);
    ok = ok && FlushFileBuffers(m_file);
    DWORD error = ok ? 0 : GetLastError();
    // A volume that defers its writes reports their failure only here.
    if (!CloseHandle(m_file) && ok) {
        ok = false;
        error = GetLastError();
    }
    m_file = INVALID_HANDLE_VALUE;
    m_failed = !ok;
    if (!ok)
        SetLastError(error ? error : ERROR_WRITE_FAULT);
    return ok;
}

bool MarkedTempFile::PutInPlace()
{
    if (m_path.IsEmpty() || !Finish() ||
        !MoveFileExW(m_path, m_target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard();
        SetLastError(error ? error : ERROR_WRITE_FAULT);
        return false;
    }
    TempMarker::Hold(m_path, false);
    m_path.Empty();
    return true;
}

void MarkedTempFile::Discard()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!m_path.IsEmpty()) {
        DeleteFileW(m_path);
        TempMarker::Hold(m_path, false);
    }
    m_path.Empty();
}

int MarkedTempFile::RemoveLeftoversBeside(const wchar_t* target)
{
    if (!target || !*target || !FirstAskFor(target))
        return 0;
    const CString path(target);
    const int cut = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    const CString folder = path.Left(cut + 1), name = path.Mid(cut + 1);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path + L".*.tmp", &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int removed = 0;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsTemporaryOf(data.cFileName, name))
            continue;
        // A link of such a name is left as it is: the file it leads to is not this folder's.
        FolderEntry entry;
        std::string head;
        if (!entry.Open(folder, data) || !entry.ReadHead(head, TempMarker::kSize) ||
            !TempMarker::IsLeft(head.data(), head.size(), entry.GetPath()))
            continue;
        if (entry.Remove())
            ++removed;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return removed;
}
