// Rolls per second for typical roll texts, each roll including the reseed that every dice term makes.

#include "bench/figures.h"
#include "dice/randomsource.h"
#include "dice/roller.h"

namespace {

void Roll(benchmark::State& state, const char* text)
{
    const QString roll = QString::fromLatin1(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(dice::EvaluateRoll(roll));
    state.SetItemsProcessed(state.iterations());
}

// The part of every dice term that no roll text can avoid: one reseed and three draws.
void ReseedAndDrawThree(benchmark::State& state)
{
    for (auto _ : state) {
        dice::RandomizeGenerator();
        for (int i = 0; i < 3; ++i)
            benchmark::DoNotOptimize(dice::RandomBelow(6));
    }
}
BENCHMARK(ReseedAndDrawThree);

BENCHMARK_CAPTURE(Roll, 3d6, "3d6");
BENCHMARK_CAPTURE(Roll, 4d6_droplow, "4d6 droplow");
BENCHMARK_CAPTURE(Roll, 1d20_plus_5_full, "1d20+5 full");
BENCHMARK_CAPTURE(Roll, 20_pools_of_100d6_tn_5, "20#100d6 tn 5");
BENCHMARK_CAPTURE(Roll, grouped, "6d6#(2+d20)*(4d6/4)");

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithFigures(argc, argv);
}
