// Folders of pictures for the benchmarks: one picture under many names (hard links, where the file
// system has them, so that thousands of large pictures take the disk space of one), removed with
// everything in them afterwards.
#pragma once

#include "common/ScratchTree.h"

#include <windows.h>

#include <string>
#include <vector>

// count files named p00000.jpg ... in the folder (made when missing), all holding the bytes.
inline std::vector<std::wstring> MakePictureFolder(const std::wstring& folder, int count,
                                                   const std::vector<BYTE>& bytes)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> paths;
    const std::wstring first = folder + L"\\p00000.jpg";
    HANDLE file = CreateFileW(first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    paths.push_back(first);
    for (int i = 1; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\p%05d.jpg", i);
        const std::wstring path = folder + name;
        if (!CreateHardLinkW(path.c_str(), first.c_str(), nullptr))
            CopyFileW(first.c_str(), path.c_str(), FALSE);
        paths.push_back(path);
    }
    return paths;
}
