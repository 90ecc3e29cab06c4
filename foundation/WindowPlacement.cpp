#include "foundation/WindowPlacement.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"

#include <algorithm>

namespace {

const wchar_t kFlags[] = L"WindowPlacement\\flags";
const wchar_t kShowCmd[] = L"WindowPlacement\\showCmd";
const wchar_t kMinPosition[] = L"WindowPlacement\\ptMinPosition";
const wchar_t kMaxPosition[] = L"WindowPlacement\\ptMaxPosition";
const wchar_t kNormalPosition[] = L"WindowPlacement\\rcNormalPosition";
const int kNeverSaved = 9821;
// Smaller than this, a window shows little more than its caption: no size anyone left it at.
const long long kMinimumWidth = 160;
const long long kMinimumHeight = 80;
// How much of the caption must lie on a screen for the window to be taken hold of.
const long long kMinimumGrip = 48;

int Field(const CString& text, int index)
{
    int value = 0;
    GetFieldInt(&value, text, index, L',');
    return value;
}

// A rectangle a user could have left the window in: not empty, inverted, tiny or huge, and with
// a piece of its caption on one of the screens.
bool IsUsableNormalRect(const RECT& r)
{
    const long long width = static_cast<long long>(r.right) - r.left;
    const long long height = static_cast<long long>(r.bottom) - r.top;
    if (width < kMinimumWidth || height < kMinimumHeight)
        return false;
    // Larger than any window can be made: a damaged value.
    if (width > GetSystemMetrics(SM_CXMAXTRACK) || height > GetSystemMetrics(SM_CYMAXTRACK))
        return false;
    return IsCaptionWithinReach(r);
}

} // namespace

bool IsCaptionWithinReach(const RECT& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return false;
    const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const RECT strip = {r.left, r.top, r.right, static_cast<LONG>(std::min<long long>(r.top + caption, r.bottom))};
    HMONITOR monitor = MonitorFromRect(&strip, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return false;
    RECT shown;
    if (!IntersectRect(&shown, &strip, &info.rcWork))
        return false;
    return shown.right - shown.left >= kMinimumGrip && (shown.bottom - shown.top) * 2 >= strip.bottom - strip.top;
}

void SaveWindowPlacement(HWND window, const wchar_t* section)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        return;
    CString text;
    WriteAppIniInt(section, kFlags, static_cast<int>(placement.flags));
    WriteAppIniInt(section, kShowCmd, static_cast<int>(placement.showCmd));
    text.Format(L"%d,%d", placement.ptMinPosition.x, placement.ptMinPosition.y);
    WriteAppIniString(section, kMinPosition, text);
    text.Format(L"%d,%d", placement.ptMaxPosition.x, placement.ptMaxPosition.y);
    WriteAppIniString(section, kMaxPosition, text);
    const RECT& r = placement.rcNormalPosition;
    text.Format(L"%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
    WriteAppIniString(section, kNormalPosition, text);
}

void RestoreWindowPlacement(HWND window, const wchar_t* section)
{
    int flags = GetAppIniInt(section, kFlags, kNeverSaved);
    if (flags == kNeverSaved)
        return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    placement.flags = static_cast<UINT>(flags);
    placement.showCmd = static_cast<UINT>(GetAppIniInt(section, kShowCmd, 0));
    CString text;
    GetAppIniString(text, section, kMinPosition, L"");
    placement.ptMinPosition = {Field(text, 0), Field(text, 1)};
    GetAppIniString(text, section, kMaxPosition, L"");
    placement.ptMaxPosition = {Field(text, 0), Field(text, 1)};
    GetAppIniString(text, section, kNormalPosition, L"");
    placement.rcNormalPosition = {Field(text, 0), Field(text, 1), Field(text, 2), Field(text, 3)};
    // A damaged or lost rectangle would open the window as a bare caption, or where no one can
    // reach it: the window keeps the placement it was made with.
    if (!IsUsableNormalRect(placement.rcNormalPosition))
        return;
    SetWindowPlacement(window, &placement);
}
