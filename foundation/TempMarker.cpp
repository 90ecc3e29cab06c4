#include "foundation/TempMarker.h"

#include <cstring>
#include <mutex>
#include <set>

namespace {

// Sixteen bytes no text file or picture starts with: a zero, the signature, a zero.
const char kSignature[16] = {'\0', 'V', 'y', 'x', ' ', 't', 'e', 'm', 'p', 'o', 'r', 'a', 'r', 'y', '\r', '\0'};

void PutDword(std::string& out, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

DWORD GetDword(const unsigned char* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

std::mutex s_heldLock;
std::set<std::wstring> s_held;

std::wstring Key(const wchar_t* path)
{
    const wchar_t* name = path ? path : L"";
    for (const wchar_t* p = name; *p; ++p)
        if (*p == L'\\' || *p == L'/')
            name = p + 1;
    CString folded(name);
    folded.MakeLower();
    return std::wstring(folded.GetString(), static_cast<size_t>(folded.GetLength()));
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

} // namespace

bool TempMarker::StartOf(HANDLE process, FILETIME& started)
{
    FILETIME exited, kernel, user;
    return GetProcessTimes(process, &started, &exited, &kernel, &user) != FALSE;
}

std::string TempMarker::Make()
{
    FILETIME started = {0, 0};
    StartOf(GetCurrentProcess(), started);
    return MakeFor(GetCurrentProcessId(), started);
}

std::string TempMarker::MakeFor(DWORD process, const FILETIME& started)
{
    std::string mark(kSignature, sizeof(kSignature));
    PutDword(mark, process);
    PutDword(mark, started.dwLowDateTime);
    PutDword(mark, started.dwHighDateTime);
    PutDword(mark, 0);
    return mark;
}

bool TempMarker::Read(const void* bytes, size_t size, DWORD& process, FILETIME& started)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    if (!p || size < kSize || std::memcmp(p, kSignature, sizeof(kSignature)) != 0)
        return false;
    process = GetDword(p + 16);
    started.dwLowDateTime = GetDword(p + 20);
    started.dwHighDateTime = GetDword(p + 24);
    return true;
}

bool TempMarker::IsLeft(const void* bytes, size_t size, const wchar_t* path)
{
    DWORD process = 0;
    FILETIME started = {0, 0};
    if (!Read(bytes, size, process, started))
        return false;
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process);
    if (!handle) {
        // A process that cannot be asked may be running: what it made stays.
        return GetLastError() != ERROR_ACCESS_DENIED;
    }
    FILETIME now = {0, 0};
    const bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    const bool same = !StartOf(handle, now) || SameTime(now, started);
    CloseHandle(handle);
    // A process that started later only took over the id of the one that made it.
    if (!running || !same)
        return true;
    return process == GetCurrentProcessId() && !IsHeld(path);
}

void TempMarker::Hold(const wchar_t* path, bool held)
{
    std::lock_guard<std::mutex> lock(s_heldLock);
    if (held)
        s_held.insert(Key(path));
    else
        s_held.erase(Key(path));
}

bool TempMarker::IsHeld(const wchar_t* path)
{
    std::lock_guard<std::mutex> lock(s_heldLock);
    return s_held.count(Key(path)) != 0;
}
