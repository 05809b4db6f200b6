#include "app/generatortest.h"

#include <algorithm>
#include <cstdlib>

namespace app {

namespace {

bool Within(double value, double low, double high)
{
    return value >= low && value <= high;
}

} // namespace

GeneratorTestResult RunGeneratorTest(dice::FaceSource& faces)
{
    GeneratorTestResult result;
    constexpr int Sides = GeneratorTestResult::Sides;
    int previous = 0;
    for (int roll = 0; roll < GeneratorTestResult::Rolls; ++roll) {
        const int face = faces.Roll(Sides);
        if (face < 1 || face > Sides) {
            ++result.OutOfRange;
            continue;
        }
        ++result.ValueCounts[static_cast<std::size_t>(face - 1)];
        if (previous != 0) {
            const int difference = std::abs(face - previous);
            ++result.DifferenceCounts[static_cast<std::size_t>(difference)];
            result.DifferenceSum += difference;
        }
        previous = face;
    }

    std::int64_t weightedSum = 0;
    for (int value = 1; value <= Sides; ++value) {
        const int count = result.ValueCounts[static_cast<std::size_t>(value - 1)];
        result.LargestCount = std::max(result.LargestCount, count);
        result.SmallestCount = std::min(result.SmallestCount, count);
        weightedSum += std::int64_t { value } * count;
    }
    result.AverageValue = static_cast<double>(weightedSum) / GeneratorTestResult::Rolls;
    result.AverageDifference = static_cast<double>(result.DifferenceSum) / GeneratorTestResult::Rolls;
    result.Passed = result.OutOfRange == 0 && Within(result.AverageValue, 50.4, 50.6)
        && result.SmallestCount >= 9000 && result.LargestCount <= 11000
        && Within(result.AverageDifference, 33.2, 33.4);
    return result;
}

QString AverageValueText(const GeneratorTestResult& result)
{
    return QStringLiteral("Average value rolled: ") + QString::number(result.AverageValue, 'f', 4)
        + QStringLiteral(". Maximal number of repetitions: ") + QString::number(result.LargestCount)
        + QStringLiteral(". Minimal number of repetitions: ") + QString::number(result.SmallestCount) + u'.';
}

QString AverageDifferenceText(const GeneratorTestResult& result)
{
    return QStringLiteral("Average difference: ") + QString::number(result.AverageDifference, 'f', 4);
}

QString VerdictText(const GeneratorTestResult& result)
{
    return result.Passed ? QStringLiteral("TEST PASSED") : QStringLiteral("TEST FAILED");
}

} // namespace app
