#include "browser/InstanceHandOver.h"

#include <cwchar>

namespace InstanceHandOver {

namespace {

const wchar_t kMark[] = L"Vyx.RunningInstance";
const DWORD kLongestPath = 32767;

struct Search
{
    DWORD self;
    HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != search->self && ::GetPropW(window, kMark)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void MarkWindow(HWND window)
{
    ::SetPropW(window, kMark, reinterpret_cast<HANDLE>(1));
}

void UnmarkWindow(HWND window)
{
    ::RemovePropW(window, kMark);
}

bool IsMarked(HWND window)
{
    return ::GetPropW(window, kMark) != nullptr;
}

HWND FindRunningWindow(DWORD timeoutMs, const std::function<bool()>& ended)
{
    Search search = {::GetCurrentProcessId(), nullptr};
    const DWORD start = ::GetTickCount();
    for (;;) {
        ::EnumWindows(&FindMarked, reinterpret_cast<LPARAM>(&search));
        if (search.found || (ended && ended()) || ::GetTickCount() - start >= timeoutMs)
            return search.found;
        ::Sleep(50);
    }
}

bool SendLocation(HWND running, const CString& path, DWORD timeoutMs)
{
    if (!running || path.IsEmpty() || static_cast<DWORD>(path.GetLength()) > kLongestPath)
        return false;
    COPYDATASTRUCT data = {};
    data.dwData = kLocationTag;
    data.cbData = static_cast<DWORD>((path.GetLength() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.GetString());
    // The running instance brings itself forward: the user started this one to see the folder.
    DWORD process = 0;
    ::GetWindowThreadProcessId(running, &process);
    ::AllowSetForegroundWindow(process);
    DWORD_PTR taken = 0;
    return ::SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, timeoutMs,
                                 &taken) != 0 &&
           taken != 0;
}

bool ReadLocation(const COPYDATASTRUCT* data, CString& path)
{
    if (!data || data->dwData != kLocationTag || !data->lpData || data->cbData % sizeof(wchar_t) != 0)
        return false;
    const DWORD length = data->cbData / sizeof(wchar_t);
    if (length < 2 || length > kLongestPath + 1)
        return false;
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    if (text[length - 1] != L'\0' || std::wcslen(text) != length - 1)
        return false;
    path = text;
    return true;
}

CString DiskPart(const CString& location)
{
    const int inner = location.Find(L'/');
    return inner >= 0 ? location.Left(inner) : location;
}

} // namespace InstanceHandOver
