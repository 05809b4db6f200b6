#pragma once

// The random generator check: a hundred-sided die rolled a million times, the count of every face and of
// every difference between consecutive faces, and a verdict against fixed bounds. Widget-free, so the
// window, the tests and the benchmark share it.

#include "dice/pools.h"

#include <QString>
#include <array>
#include <cstdint>

namespace app {

struct GeneratorTestResult {
    static constexpr int Sides = 100;
    static constexpr int Rolls = 1000000;

    // ValueCounts[v - 1] is how often face v came up; DifferenceCounts[d] how often two consecutive faces
    // were d apart.
    std::array<int, Sides> ValueCounts {};
    std::array<int, Sides> DifferenceCounts {};
    std::int64_t DifferenceSum = 0;
    // Faces outside 1 .. 100 from a broken face source; they are counted nowhere else and fail the test.
    int OutOfRange = 0;
    int LargestCount = 0;
    int SmallestCount = Rolls;
    // Both averages are taken over the million rolls.
    double AverageValue = 0;
    double AverageDifference = 0;
    bool Passed = false;
};

// Rolls the die a million times from faces (which is not reseeded) and judges the outcome: the average
// face within 50.4 .. 50.6, every face between 9000 and 11000 times, the average difference within
// 33.2 .. 33.4, all bounds inclusive.
GeneratorTestResult RunGeneratorTest(dice::FaceSource& faces);

// "Average value rolled: 50.5012. Maximal number of repetitions: 10243. Minimal number of repetitions: 9795."
QString AverageValueText(const GeneratorTestResult& result);
// "Average difference: 33.3301"
QString AverageDifferenceText(const GeneratorTestResult& result);
// "TEST PASSED" or "TEST FAILED"
QString VerdictText(const GeneratorTestResult& result);

} // namespace app
