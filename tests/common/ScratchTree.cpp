#include "ScratchTree.h"

#include <windows.h>

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            // A linked folder is left alone: entering it deletes what it names, and Wine's
            // RemoveDirectoryW on a host link removes the folder it names when that is empty.
            const DWORD attributes = data.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                continue;
            // A name ending in a dot or a blank is reached only in the "\\?\" form.
            const bool trimmed = name.back() == L'.' || name.back() == L' ';
            const bool extended = folder.compare(0, 4, L"\\\\?\\") == 0;
            const std::wstring path = (trimmed && !extended ? L"\\\\?\\" : L"") + folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}
