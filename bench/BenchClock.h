// What the benchmarks time with and where they put their scratch files.
#pragma once

#include <windows.h>

#include <string>

// Seconds on the performance counter.
inline double BenchNow()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

// A file of this run in the temporary folder: "vyx_<bench>_<process id>_<name>".
inline std::wstring BenchTempFile(const wchar_t* bench, const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"vyx_" + bench + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}
