// The PDFs the Wine session's printer writes (scripts/pdf-printer.sh), for the tests and benchmarks
// that print: where they land, which are there, and waiting for a new one to be whole.
#pragma once

#include "ScratchFolder.h"

#include <windows.h>

#include <set>
#include <string>

namespace printed {

// A host path as Wine shows it ("Z:" is the host's root).
inline std::wstring WindowsPathOf(const std::string& linuxPath)
{
    std::wstring path = L"Z:";
    for (char c : linuxPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

// The printer's output folder; empty when the session has no printer.
inline std::wstring PdfOutFolder()
{
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("VYX_PDF_OUT", folder, MAX_PATH))
        return std::wstring();
    return WindowsPathOf(folder);
}

inline std::set<std::wstring> PdfFiles(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*.pdf").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            names.insert(found.cFileName);
        while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return names;
}

// The first PDF that is not among the earlier ones, once it is whole (it ends with its end marker
// and has stopped growing); empty after the bound.
inline std::wstring WaitForNewPdf(const std::wstring& folder, const std::set<std::wstring>& earlier, DWORD boundMs)
{
    std::wstring path;
    size_t size = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < boundMs; Sleep(100)) {
        for (const std::wstring& name : PdfFiles(folder))
            if (!earlier.count(name))
                path = folder + L"\\" + name;
        if (path.empty())
            continue;
        std::string bytes = ScratchFolder::ReadFile(path);
        bool whole = !bytes.empty() && bytes.size() == size &&
                     bytes.find("%%EOF", bytes.size() > 32 ? bytes.size() - 32 : 0) != std::string::npos;
        if (whole)
            return path;
        size = bytes.size();
    }
    return std::wstring();
}

} // namespace printed
