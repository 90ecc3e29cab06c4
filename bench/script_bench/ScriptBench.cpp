// Drawing scripts run for every thumbnail drawn: a 5,000-iteration loop and the first run of
// 6,000 distinct statements (each compiled once), with a settings file present (the log at its
// default level, debug lines off) and without one (no log at all). Goal: with the file, both
// within 2x of the same runs without it. Fails when a script did not run.
// A loop filling an array, 5,000 and 40,000 elements (each element is a variable of its own).
// Goal: the time an element at 40,000 within 2x of that at 5,000 (each found in constant time).
// And the memory 200,000 elements take, ten a statement. Goal: at most 64 MB.
#include "foundation/VyxIni.h"
#include "script/VyxScript.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Seconds a run, by script and with (1) or without (0) the settings file.
std::map<std::pair<std::string, int>, double> g_seconds;

std::wstring ScratchPath(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"vyx_script_bench_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}

void WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// The settings file of the run: present with a few sections, or none at all.
class Settings
{
public:
    explicit Settings(bool present) : m_previous(theAppIni.GetPath())
    {
        if (!present) {
            theAppIni.SetPath(L"");
            return;
        }
        m_path = ScratchPath(L"Vyx.ini");
        WriteText(m_path,
                  "[LOG]\r\nLevel=4\r\nFolder=log\r\n[KWDoc]\r\nMultiProcess=1\r\n[SPI]\r\nSPIDIR=$(ExeDir)\r\n");
        theAppIni.SetPath(m_path.c_str());
    }
    ~Settings()
    {
        theAppIni.SetPath(m_previous);
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
    }

private:
    CString m_previous;
    std::wstring m_path;
};

std::string LoopScript()
{
    return "i=0\r\nn=0\r\nWHILE i<5000\r\n  n=n+i*2\r\n  i=i+1\r\nWEND\r\n";
}

std::string DistinctStatements()
{
    std::string text;
    for (int i = 0; i < 6000; ++i)
        text += "v" + std::to_string(i) + "=" + std::to_string(i) + "+1\r\n";
    return text;
}

void RunScript(benchmark::State& state, const std::string& name, const std::string& text, bool settingsFile)
{
    std::wstring path = ScratchPath(L"script.txt");
    WriteText(path, text);
    Settings settings(settingsFile);
    double seconds = 0;
    for (auto _ : state) {
        const double start = BenchSeconds();
        VyxScript script;
        script.Initialize();
        if (script.Load(path.c_str()) != 1 || script.Run() != 1) {
            state.SkipWithError("the script did not run");
            break;
        }
        seconds += BenchSeconds() - start;
    }
    if (state.iterations() > 0)
        g_seconds[{name, settingsFile ? 1 : 0}] = seconds / static_cast<double>(state.iterations());
    DeleteFileW(path.c_str());
}

void Loop5000(benchmark::State& state)
{
    RunScript(state, "the loop of 5,000", LoopScript(), state.range(0) != 0);
}

void FirstRunOf6000Statements(benchmark::State& state)
{
    RunScript(state, "6,000 statements run first", DistinctStatements(), state.range(0) != 0);
}

std::string ArrayLoop(int elements)
{
    return "i=0\r\nWHILE i<" + std::to_string(elements) + "\r\n  a[i]=i\r\n  i=i+1\r\nWEND\r\n";
}

// Seconds an element, by element count.
std::map<int, double> g_elementSeconds;

void FillArray(benchmark::State& state)
{
    const int elements = static_cast<int>(state.range(0));
    RunScript(state, "array " + std::to_string(elements), ArrayLoop(elements), false);
    g_elementSeconds[elements] = g_seconds[{"array " + std::to_string(elements), 0}] / elements;
    state.counters["us/element"] = g_elementSeconds[elements] * 1e6;
}

// The memory committed, as the other benchmarks weigh it (the figure this platform fills for sure).
size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

double g_arrayMegabytes = 0;

void MemoryOf200000Elements(benchmark::State& state)
{
    const int elements = static_cast<int>(state.range(0));
    std::wstring path = ScratchPath(L"array.txt");
    // Ten elements a pass, a statement each: 200,000 of them within a run's 250,000 statements.
    std::string text = "i=0\r\nWHILE i<" + std::to_string(elements) + "\r\n";
    for (int k = 0; k < 10; ++k)
        text += "  a[i+" + std::to_string(k) + "]=i\r\n";
    text += "  i=i+10\r\nWEND\r\nlast=a[" + std::to_string(elements - 1) + "]\r\n";
    WriteText(path, text);
    for (auto _ : state) {
        const size_t before = PrivateBytes();
        VyxScript script;
        script.Initialize();
        const VyxVariant* last = nullptr;
        if (script.Load(path.c_str()) != 1 || script.Run() != 1 ||
            !(last = script.GetMainFunction().GetLocalVariables().Lookup(L"last")) || last->GetInt() != elements - 10) {
            state.SkipWithError("the script did not run");
            break;
        }
        const size_t after = PrivateBytes();
        g_arrayMegabytes = after > before ? (after - before) / 1048576.0 : 0.0;
        state.counters["MB"] = g_arrayMegabytes;
    }
    DeleteFileW(path.c_str());
}

// Argument: the elements.
BENCHMARK(FillArray)
    ->Arg(BenchSize(5000, 1000))
    ->Arg(BenchSize(40000, 8000))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(BenchIterations(3));
BENCHMARK(MemoryOf200000Elements)->Arg(BenchSize(200000, 20000))->Unit(benchmark::kMillisecond)->Iterations(1);

// Argument: 1 with the settings file, 0 without.
BENCHMARK(Loop5000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5));
BENCHMARK(FirstRunOf6000Statements)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    BenchRun();
    for (const char* name : {"the loop of 5,000", "6,000 statements run first"}) {
        const double without = g_seconds[{name, 0}], with = g_seconds[{name, 1}];
        std::printf("%s: %.1f ms with the settings file, %.1f ms without (%.2fx; goal: within 2x)\n", name, with * 1000,
                    without * 1000, without > 0 ? with / without : 0.0);
        if (BenchMeasured(with > 0 && without > 0, "%s took no time", name))
            BenchGoal(with <= 2 * without, "%s took %.2fx with the settings file (goal: 2x)", name, with / without);
    }
    const int few = BenchSize(5000, 1000), many = BenchSize(40000, 8000);
    const double fewSeconds = g_elementSeconds[few], manySeconds = g_elementSeconds[many];
    std::printf("array: %.2f us an element at %d, %.2f us at %d (%.2fx; goal: within 2x)\n", fewSeconds * 1e6, few,
                manySeconds * 1e6, many, fewSeconds > 0 ? manySeconds / fewSeconds : 0.0);
    if (BenchMeasured(fewSeconds > 0 && manySeconds > 0, "the array loops took no time"))
        BenchGoal(manySeconds <= 2 * fewSeconds, "an element at %d took %.2fx that at %d (goal: 2x)", many,
                  manySeconds / fewSeconds, few);
    std::printf("array of %d elements: %.1f MB (goal: at most 64 MB)\n", BenchSize(200000, 20000), g_arrayMegabytes);
    if (BenchMeasured(g_arrayMegabytes > 0, "the array took no memory"))
        BenchGoal(g_arrayMegabytes <= 64, "the array took %.1f MB (goal: 64 MB)", g_arrayMegabytes);
    return BenchExitCode();
}
