// The dice notation of r per call: reading the text, rolling it on the bot's generator and showing the
// answer, for the expressions other dice rollers are measured with and for the largest roll allowed.

#include "bench/figures.h"
#include "dice/notationformat.h"
#include "dice/notationparser.h"

namespace {

void ParseRollShow(benchmark::State& state, const char* text)
{
    const QString roll = QString::fromLatin1(text);
    dice::GeneratorFaces faces;
    for (auto _ : state) {
        const dice::RollText parsed = std::get<dice::RollText>(dice::ParseNotation(roll));
        const auto rolled = std::get<std::vector<dice::RollOutcome>>(dice::RollNotation(parsed, faces));
        benchmark::DoNotOptimize(dice::FormatNotation(parsed, rolled, 400));
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(ParseRollShow, 3d6, "3d6");
BENCHMARK_CAPTURE(ParseRollShow, 4d6dl1, "4d6dl1");
BENCHMARK_CAPTURE(ParseRollShow, 10d10_successes, "10d10>=7");
BENCHMARK_CAPTURE(ParseRollShow, 100d6, "100d6");
BENCHMARK_CAPTURE(ParseRollShow, 2d6_plus_3_times_2, "(2d6+3)*2");
// The worst a user can ask for: the most dice, each exploding, rerolled and counted, shortened to fit.
BENCHMARK_CAPTURE(ParseRollShow, worst_1000_dice, "10#{99d6!r1kh50>=4f1, d4}kh1");

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithFigures(argc, argv);
}
