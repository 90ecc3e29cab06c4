// Writes shell shortcut (".lnk") files for the tests that follow them.
#pragma once

#include <windows.h>

#include <shlobj.h>

// Saves a shell link at path after configure has set it up; false when it could not be saved.
template <class Configure> bool SaveShortcut(const wchar_t* path, Configure configure)
{
    CoInitialize(nullptr);
    IShellLinkW* shell = nullptr;
    bool saved = false;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                         reinterpret_cast<void**>(&shell)) == S_OK) {
        configure(shell);
        IPersistFile* file = nullptr;
        if (shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK) {
            saved = file->Save(path, TRUE) == S_OK;
            file->Release();
        }
        shell->Release();
    }
    CoUninitialize();
    return saved;
}

inline bool MakeShortcut(const wchar_t* link, const wchar_t* target)
{
    return SaveShortcut(link, [&](IShellLinkW* shell) { shell->SetPath(target); });
}
