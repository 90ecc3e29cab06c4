// A fresh folder under the temporary folder, in the framework's strings, removed with everything
// in it at the end (the same in the standard library's strings: ScratchFolder.h).
#pragma once

#include "framework/Framework.h"

#include <string>

class FrameworkScratchFolder
{
public:
    FrameworkScratchFolder();
    ~FrameworkScratchFolder();
    FrameworkScratchFolder(const FrameworkScratchFolder&) = delete;
    FrameworkScratchFolder& operator=(const FrameworkScratchFolder&) = delete;

    const CString& Path() const { return m_path; }
    // The folder joined with a relative name.
    CString operator/(LPCWSTR name) const { return m_path + L"\\" + name; }
    // Writes bytes to a file in the folder; returns its path.
    CString WriteFile(LPCWSTR name, const std::string& bytes) const;
    static std::string ReadFile(LPCWSTR path);
    // Removes the folders that test programs no longer running left behind (one still in use when
    // its test ended, say), so that they do not pile up in the folder pickers of later runs.
    static void RemoveLeftovers();

private:
    CString m_path;
};
