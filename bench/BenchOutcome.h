// What a benchmark run comes to besides its figures. A run that measured nothing (an error, no
// picture decoded, no thumbnail made, a count of zero) and a goal that was missed are printed with
// what was missed, and the process ends non-zero (BenchExitCode); a crash ends it non-zero anyway.
// "--small" (or VYX_BENCH_SMALL=1) runs every benchmark once at a small size, as the test run does:
// only "measured something" counts then, since a loaded machine says nothing of the goals.
#pragma once

#include <benchmark/benchmark.h>

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench_outcome {

struct Outcome
{
    std::vector<std::string> nothing;
    std::vector<std::string> missed;
};

inline Outcome& Get()
{
    static Outcome outcome;
    return outcome;
}

inline std::string Format(const char* format, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof(text), format, args);
    return text;
}

// Notes each run that ended in an error before the console prints it.
class Reporter : public benchmark::ConsoleReporter
{
public:
    Reporter() : benchmark::ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports)
            if (run.error_occurred)
                Get().nothing.push_back(run.benchmark_name() + ": " + run.error_message);
        benchmark::ConsoleReporter::ReportRuns(reports);
    }
};

} // namespace bench_outcome

// Asked at static initialisation too (the registrations' iteration counts), so read from the
// process's own command line and environment rather than from wmain's arguments.
inline bool BenchSmall()
{
    static const bool small = [] {
        const wchar_t* line = GetCommandLineW();
        if (line && std::wcsstr(line, L" --small"))
            return true;
        const char* variable = std::getenv("VYX_BENCH_SMALL");
        return variable && std::strcmp(variable, "1") == 0;
    }();
    return small;
}

// full at full size, small in a small run.
template <typename T> inline T BenchSize(T full, T small)
{
    return BenchSmall() ? small : full;
}

// A registration's iterations: one in a small run.
inline int BenchIterations(int full)
{
    return BenchSize(full, 1);
}

// Nothing was measured (always a failure, at any size).
inline void BenchNothing(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = bench_outcome::Format(format, args);
    va_end(args);
    std::printf("MEASURED NOTHING: %s\n", text.c_str());
    std::fflush(stdout);
    bench_outcome::Get().nothing.push_back(text);
}

// Whether something was measured; prints and counts what was not.
inline bool BenchMeasured(bool measured, const char* format, ...)
{
    if (measured)
        return true;
    va_list args;
    va_start(args, format);
    const std::string text = bench_outcome::Format(format, args);
    va_end(args);
    BenchNothing("%s", text.c_str());
    return false;
}

// A goal: a miss is printed and, at full size, fails the run.
inline bool BenchGoal(bool met, const char* format, ...)
{
    if (met)
        return true;
    va_list args;
    va_start(args, format);
    const std::string text = bench_outcome::Format(format, args);
    va_end(args);
    std::printf("GOAL MISSED%s: %s\n", BenchSmall() ? " (a small run: not counted)" : "", text.c_str());
    std::fflush(stdout);
    if (!BenchSmall())
        bench_outcome::Get().missed.push_back(text);
    return false;
}

// Runs the benchmarks the command line selects; a run that ended in an error, or none run at
// all, measured nothing.
inline size_t BenchRun()
{
    bench_outcome::Reporter reporter;
    const size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stdout);
    if (ran == 0)
        BenchNothing("no benchmark ran");
    return ran;
}

// The process's exit code: 1 when anything measured nothing or a goal was missed, each listed.
inline int BenchExitCode()
{
    const bench_outcome::Outcome& outcome = bench_outcome::Get();
    if (outcome.nothing.empty() && outcome.missed.empty()) {
        std::printf("\nbenchmark passed%s\n", BenchSmall() ? " (small run: something was measured)" : "");
        std::fflush(stdout);
        return 0;
    }
    std::printf("\nbenchmark FAILED:\n");
    for (const std::string& text : outcome.nothing)
        std::printf("  measured nothing: %s\n", text.c_str());
    for (const std::string& text : outcome.missed)
        std::printf("  goal missed: %s\n", text.c_str());
    std::fflush(stdout);
    return 1;
}
