// Google Benchmark's command line from the wide arguments of wmain (the executables link with
// -municode); "--small" is the benchmarks' own (BenchOutcome.h) and is not passed on.
#pragma once

#include "BenchOutcome.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <string>
#include <vector>

inline void InitializeBenchmarks(int argc, wchar_t** argv)
{
    // The library keeps pointers into the arguments: they live as long as the process.
    static std::vector<std::string> narrow;
    static std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && lstrcmpW(argv[i], L"--small") == 0)
            continue;
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(n > 0 ? n - 1 : 0, '\0');
        if (n > 1)
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, &text[0], n, nullptr, nullptr);
        narrow.push_back(text);
    }
    for (auto& text : narrow)
        args.push_back(&text[0]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
}
