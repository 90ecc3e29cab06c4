// Names that differ only in letter case can stand side by side under this platform (files brought
// from another system), while the platform looks every name up without regard to case: once the
// entry of one such name is gone, the name reaches the other one. Every primitive that works on a
// file or folder by its name (deleting, renaming, moving, copying from or onto it) asks here first
// and never works on that other file: it fails with kRefused as the thread's last error, for which
// GetLastErrorText() gives the refusal naming both.
#pragma once

#include "foundation/VyxPath.h"

class TwinNameGuard
{
public:
    // An error of the program's own (the application bit set): no system error means this.
    static constexpr DWORD kRefused = 0x20000000 | 0x0035;

    enum class Role {
        Existing, // a name worked on as it stands: its file is gone when it leads elsewhere
        Target,   // a name a file is to be made or put under
    };
    // Where the path's last name leads (LookUpExactName, found as it fills it); OtherCase is
    // refused: kRefused becomes the last error and the names are kept for its text.
    static NameLookup Check(const wchar_t* path, Role role = Role::Existing, WIN32_FIND_DATAW* found = nullptr);
    // Whether Check refuses the name.
    static bool Refuses(const wchar_t* path, Role role = Role::Existing)
    {
        return Check(path, role) == NameLookup::OtherCase;
    }
    // The text of the thread's latest refusal; empty when there was none.
    static CString LastRefusalText();
    // The text for a path whose name leads to the entry named otherName.
    static CString Text(const wchar_t* path, const wchar_t* otherName, Role role = Role::Existing);
};
