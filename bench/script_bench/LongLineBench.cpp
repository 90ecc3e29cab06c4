// Compiling one long expression line, from 1,024 characters up to the longest line a script may
// hold, for the shapes that build the longest postfix lists (operators, list elements, calls,
// indexes); parsing a statement continued over many lines, and a drawing command's many
// parameters; splitting a script text of up to 131,072 lines. Goal: time linear in the length
// (the fitted complexity reads O(N)).
#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxText.h"
#include "script/VyxPostfix.h"
#include "script/VyxScript.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::wstring Line(const wchar_t* unit, size_t length)
{
    std::wstring text;
    while (text.size() + wcslen(unit) <= length)
        text += unit;
    return text;
}

void CompileLongLine(benchmark::State& state, const wchar_t* unit)
{
    const std::wstring text = Line(unit, static_cast<size_t>(state.range(0)));
    VyxPostfix calc;
    for (auto _ : state) {
        try {
            auto list = calc.Compile(text.c_str());
            benchmark::DoNotOptimize(list);
        } catch (VyxGlobalErrorException* e) {
            delete e;
            state.SkipWithError("the line was refused");
            break;
        }
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK_CAPTURE(CompileLongLine, Equals, L"=")
    ->RangeMultiplier(4)
    ->Range(1024, VyxPostfix::MaxFormulaLength)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(CompileLongLine, Sum, L"a+")
    ->RangeMultiplier(4)
    ->Range(1024, VyxPostfix::MaxFormulaLength)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(CompileLongLine, ListElements, L"a,")
    ->RangeMultiplier(4)
    ->Range(1024, VyxPostfix::MaxFormulaLength)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(CompileLongLine, Indexes, L"[1]")
    ->RangeMultiplier(4)
    ->Range(1024, VyxPostfix::MaxFormulaLength)
    ->Complexity(benchmark::oN);

// The script text of lines, each the unit, parsed as a script's main function parses it.
void ParseLines(benchmark::State& state, const wchar_t* first, const wchar_t* unit)
{
    std::wstring text = first;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += unit;
    text += L"1\n";
    VyxScript script;
    script.Initialize();
    for (auto _ : state) {
        VyxText lines;
        lines.SetText(text.c_str(), L'\n');
        try {
            script.GetMainFunction().Clear();
            script.GetMainFunction().ParseText(lines);
        } catch (VyxGlobalErrorException* e) {
            delete e;
            state.SkipWithError("the text was refused");
            break;
        }
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK_CAPTURE(ParseLines, ContinuedLines, L"x=0", L"+\\\n1")
    ->RangeMultiplier(4)
    ->Range(512, VyxPostfix::MaxFormulaLength / 3)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(ParseLines, Parameters, L"BOX (0,0)-(50,50)", L",1")
    ->RangeMultiplier(4)
    ->Range(512, VyxPostfix::MaxFormulaLength / 3)
    ->Complexity(benchmark::oN);

void SplitLines(benchmark::State& state)
{
    std::wstring text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += L"x=1\n";
    for (auto _ : state) {
        VyxText lines;
        benchmark::DoNotOptimize(lines.SetText(text.c_str(), L'\n'));
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(SplitLines)->RangeMultiplier(8)->Range(1024, 131072)->Complexity(benchmark::oN);

} // namespace
