// The folder of 100,000 empty files that folder_scan leaves in the temporary folder, for the
// benchmarks that want a large folder: its path, empty when folder_scan has not made it.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring LargeScanFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring large = std::wstring(temp) + L"vyx_folder_scan_100000";
    if (GetFileAttributesW((large + L"\\IMG_000000.JPG").c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::wstring();
    return large;
}
