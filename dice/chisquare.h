#pragma once

// Pearson's chi-square test of a die's faces against a fair die, for the luck command: the statistic and
// its p-value from the regularized upper incomplete gamma function.

#include <cstdint>
#include <map>

namespace dice {

// Q(a, x) = Γ(a, x) / Γ(a), the regularized upper incomplete gamma function. Requires: a > 0, x >= 0.
double RegularizedGammaQ(double a, double x);

// The probability that a chi-square variable with the given degrees of freedom is at least chiSquare.
double ChiSquarePValue(double chiSquare, int degreesOfFreedom);

struct FairnessTest {
    std::int64_t Dice = 0;
    double Mean = 0;
    double ExpectedMean = 0;
    // False when some face is expected fewer than five times, too few for the test to mean anything.
    bool Enough = false;
    double PValue = 1;
};

// Tests counts (face 1 .. sides to how often it came up; missing faces never came up) against a fair die.
FairnessTest TestFairness(int sides, const std::map<int, std::int64_t>& counts);

} // namespace dice
