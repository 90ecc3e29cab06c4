// What the shipped program's file holds of its dialogs and menus, read from the file itself, so
// that the suite can tell which of them it has seen and which it left out.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct DialogResource
{
    WORD id = 0;
    std::wstring caption;
    // The ids of its controls (static texts' -1 left out).
    std::set<int> controls;
};

struct MenuEntry
{
    WORD menu = 0;     // the menu resource
    std::wstring path; // "ファイル(&F) > 印刷(&P)...\tCtrl+P"
    UINT command = 0;  // its command id
};

class ProgramResources
{
public:
    explicit ProgramResources(const std::wstring& file);
    ~ProgramResources();
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    const std::vector<DialogResource>& Dialogs() const { return m_dialogs; }
    // Every command entry of the menu (sub-menus walked, separators left out); empty when the file
    // has no such menu.
    std::vector<MenuEntry> MenuEntries(WORD menu) const;

private:
    HMODULE m_module = nullptr;
    std::vector<DialogResource> m_dialogs;
};

// Parses a dialog template (plain or extended); false when it is not one.
bool ParseDialogTemplate(const BYTE* data, size_t size, DialogResource& out);
