// The time of the generator test window's run: a million d100 rolls from the bot's generator, counted and
// judged (the window wants it well under 100 ms, since it blocks the program while it runs).

#include "app/generatortest.h"

#include <benchmark/benchmark.h>

namespace {

void MillionRolls(benchmark::State& state)
{
    dice::GeneratorFaces faces;
    for (auto _ : state)
        benchmark::DoNotOptimize(app::RunGeneratorTest(faces));
    state.SetItemsProcessed(state.iterations() * app::GeneratorTestResult::Rolls);
}
BENCHMARK(MillionRolls)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
