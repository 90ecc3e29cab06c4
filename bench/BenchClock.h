// Seconds on the performance counter, for the figures a benchmark prints beside Google
// Benchmark's own.
#pragma once

#include <windows.h>

inline double BenchSeconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
