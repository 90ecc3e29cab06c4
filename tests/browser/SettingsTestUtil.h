// Driving the controls of the settings dialogs by their messages, as the user's clicks and typing
// reach them; usable from the test thread or from a helper thread that answers a modal dialog.
#pragma once

#include "common/BrowserTestUtil.h"
#include "common/Clicks.h"
#include "controls/CColourPickerXP.h"

#include <string>

namespace settingstest {

// The whole text at once (the edit announces the change itself).
inline void Type(HWND dialog, UINT id, const wchar_t* text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The focus leaving an edit, as its parent hears it.
inline void Leave(HWND dialog, UINT id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline void Choose(HWND dialog, UINT id, int index)
{
    HWND control = GetDlgItem(dialog, id);
    SendMessageW(control, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
}

// A colour chosen in a picker's popup (CLR_DEFAULT: its default entry).
inline void Pick(HWND dialog, UINT id, COLORREF colour)
{
    SendMessageW(GetDlgItem(dialog, id), WMU_COLOUR_SELENDOK, colour, 0);
}

inline bool Checked(HWND dialog, UINT id)
{
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline int Chosen(HWND dialog, UINT id)
{
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

inline CString Text(HWND dialog, UINT id)
{
    return TextOf(GetDlgItem(dialog, id));
}

inline bool Enabled(HWND dialog, UINT id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Shows a page of a property sheet; its window, null when the sheet refused.
inline HWND ShowPage(HWND sheet, int index)
{
    if (!SendMessageW(sheet, PSM_SETCURSEL, index, 0))
        return nullptr;
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// A picture of the window saved when VYX_SETTINGS_SHOT names a folder (nothing is checked on it).
inline void Shot(HWND window, const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VYX_SETTINGS_SHOT", folder, MAX_PATH) || !IsWindow(window))
        return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    // Wine copies window surfaces to the screen from its idle pump: the picture is taken after the
    // window's thread has been idle a while.
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        PumpUntil([] { return false; }, 400);
    else
        Sleep(400);
    RECT rect;
    GetWindowRect(window, &rect);
    SaveScreenBitmap(rect, (std::wstring(folder) + L"\\" + name).c_str());
}

// The settings file as text without one section (a section that may change when nothing else may).
inline std::string WithoutSection(const std::string& text, const std::string& section)
{
    std::string out, header = "[" + section + "]";
    bool skipping = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line[0] == '[')
            skipping = line.compare(0, header.size(), header) == 0;
        if (!skipping)
            out += line;
    }
    return out;
}

} // namespace settingstest
