#include "foundation/WindowPlacement.h"

#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"

namespace {

const wchar_t kFlags[] = L"WindowPlacement\\flags";
const wchar_t kShowCmd[] = L"WindowPlacement\\showCmd";
const wchar_t kMinPosition[] = L"WindowPlacement\\ptMinPosition";
const wchar_t kMaxPosition[] = L"WindowPlacement\\ptMaxPosition";
const wchar_t kNormalPosition[] = L"WindowPlacement\\rcNormalPosition";
const int kNeverSaved = 9821;

int Field(const CString& text, int index)
{
    int value = 0;
    GetFieldInt(&value, text, index, L',');
    return value;
}

} // namespace

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
    SetWindowPlacement(window, &placement);
}
