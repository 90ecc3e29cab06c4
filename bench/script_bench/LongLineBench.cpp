// Compiling one long expression line, from 1,024 characters up to the longest line a script may
// hold, for the shapes that build the longest postfix lists (operators, list elements, calls,
// indexes). Goal: compile time linear in the line's length (the fitted complexity reads O(N)).
#include "foundation/VyxGlobalErrorException.h"
#include "script/VyxPostfix.h"

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

} // namespace
