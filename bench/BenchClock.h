// Seconds on the performance counter, for the figures a benchmark prints beside Google
// Benchmark's own; the benchmarks' scratch files.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

inline double BenchSeconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The calling thread's processor time in seconds: on a machine shared with other work it says
// more than the clock does.
inline double BenchThreadSeconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The host's load average over the last minute, -1 when it cannot be read: figures are printed
// beside the load they were measured under.
inline double BenchLoadAverage()
{
    double load = -1;
    if (FILE* file = _wfopen(L"Z:\\proc\\loadavg", L"r")) {
        if (std::fscanf(file, "%lf", &load) != 1)
            load = -1;
        std::fclose(file);
    }
    return load;
}

// The middle of a benchmark's rounds (the upper middle of an even count), 0 for none: one slow
// round on a shared machine does not move it.
inline double BenchMedian(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A file of this run in the temporary folder: "vyx_<bench>_<process id>_<name>".
inline std::wstring BenchTempFile(const wchar_t* bench, const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"vyx_" + bench + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}
