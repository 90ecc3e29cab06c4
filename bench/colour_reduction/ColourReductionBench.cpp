// The colour reduction of a 12-megapixel photograph-like picture (4000 x 3000, 24 bits) to 256
// colours without a dialog: time per reduction, the peak memory the reduction adds to the process
// (its own process, so the peak is the reduction's) and the peak address space the process used.
// Under Wine the working set is the host's resident memory; the page-file figure is not kept.
// Fails when the reduction gives no picture of 256 colours. (A small run reduces 1,000 x 750.)
#include "image/DibCore.h"
#include "image/DibQuant.h"

#include "../BenchArgs.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const LONG kWidth = BenchSize(4000L, 1000L);
const LONG kHeight = BenchSize(3000L, 750L);
int g_reduced = 0;

// Smooth light and colour, hard edges and a fine sensor-like grain: about as many distinct
// colours as a real photograph of this size.
HGLOBAL MakePhotograph()
{
    HGLOBAL dib = CreateDib(kWidth, kHeight, 24);
    DibLock lock(dib);
    BYTE* bits = DibBits(lock.get());
    const DWORD row = DibRowSize(lock.get());
    unsigned noise = 12345;
    for (LONG y = 0; y < kHeight; ++y) {
        BYTE* p = bits + static_cast<size_t>(kHeight - 1 - y) * row;
        for (LONG x = 0; x < kWidth; ++x, p += 3) {
            noise = noise * 1664525u + 1013904223u;
            int grain = static_cast<int>((noise >> 24) & 15) - 8;
            int sky = y < kHeight / 3 + (x / 50) % 40 ? 1 : 0;
            int light = (x * 180 / kWidth + y * 60 / kHeight);
            int blue = sky ? 150 + light / 3 : 40 + light / 2;
            int green = sky ? 120 + light / 4 : 70 + light / 3 + ((x / 97 + y / 61) & 3) * 12;
            int red = sky ? 90 + light / 5 : 60 + light / 2 + ((x * y / 4096) & 31);
            p[0] = static_cast<BYTE>(std::clamp(blue + grain, 0, 255));
            p[1] = static_cast<BYTE>(std::clamp(green + grain, 0, 255));
            p[2] = static_cast<BYTE>(std::clamp(red + grain, 0, 255));
        }
    }
    return dib;
}

// Memory sampled through the run: the progress callback looks every few calls.
struct Usage
{
    SIZE_T workingSet;
    ULONGLONG addressSpace;
};

Usage Now()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return {counters.WorkingSetSize, status.ullTotalVirtual - status.ullAvailVirtual};
}

Usage g_baseline = {};
Usage g_peak = {};
int g_calls = 0;

int Sample(int)
{
    if (++g_calls % 32 == 0) {
        Usage now = Now();
        g_peak.workingSet = std::max(g_peak.workingSet, now.workingSet);
        g_peak.addressSpace = std::max(g_peak.addressSpace, now.addressSpace);
    }
    return 0;
}

HGLOBAL g_photograph = nullptr;

// The reducer as ReduceDibTo256Colors runs it without a dialog, with a sampling callback.
void ColourReduction12Mp(benchmark::State& state)
{
    g_peak = g_baseline;
    for (auto _ : state) {
        CQuant quant;
        quant.m_graph.SetSource(g_photograph);
        quant.SetProgress(Sample);
        quant.Quantize();
        HGLOBAL result = quant.m_graph.DetachResult();
        if (!result || GetDibBitCount(result) != 8) {
            if (result)
                GlobalFree(result);
            state.SkipWithError("the reduction gave no picture of 256 colours");
            break;
        }
        ++g_reduced;
        GlobalFree(result);
    }
    state.counters["peak_MB"] = static_cast<double>(g_peak.workingSet - g_baseline.workingSet) / 1048576.0;
    state.counters["address_space_MB"] = static_cast<double>(g_peak.addressSpace) / 1048576.0;
}

BENCHMARK(ColourReduction12Mp)->Unit(benchmark::kSecond)->Iterations(BenchIterations(2));

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    g_photograph = MakePhotograph();
    g_baseline = Now();
    std::printf("%ld x %ld picture: %.1f MB as a DIB; peak_MB is the working set the reduction adds, "
                "address_space_MB the process's whole use of its address space at the peak\n",
                kWidth, kHeight, static_cast<double>(GlobalSize(g_photograph)) / 1048576.0);
    BenchRun();
    BenchMeasured(g_reduced > 0, "no picture was reduced");
    GlobalFree(g_photograph);
    return BenchExitCode();
}
