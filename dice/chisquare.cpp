#include "dice/chisquare.h"

#include <cmath>

namespace dice {

namespace {

constexpr int MaxIterations = 1000;
constexpr double Epsilon = 1e-15;
constexpr double Tiny = 1e-300;

// The series for the lower function P(a, x), which converges fast for x < a + 1.
double LowerSeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < MaxIterations; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * Epsilon)
            break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// The continued fraction for Q(a, x), evaluated with Lentz's method, for x >= a + 1.
double UpperFraction(double a, double x)
{
    double b = x + 1.0 - a;
    double c = 1.0 / Tiny;
    double d = 1.0 / b;
    double h = d;
    for (int n = 1; n < MaxIterations; ++n) {
        const double an = -n * (n - a);
        b += 2.0;
        d = an * d + b;
        d = std::fabs(d) < Tiny ? Tiny : d;
        c = b + an / c;
        c = std::fabs(c) < Tiny ? Tiny : c;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < Epsilon)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

} // namespace

double RegularizedGammaQ(double a, double x)
{
    if (x <= 0)
        return 1.0;
    return x < a + 1.0 ? 1.0 - LowerSeries(a, x) : UpperFraction(a, x);
}

double ChiSquarePValue(double chiSquare, int degreesOfFreedom)
{
    return RegularizedGammaQ(degreesOfFreedom / 2.0, chiSquare / 2.0);
}

FairnessTest TestFairness(int sides, const std::map<int, std::int64_t>& counts)
{
    FairnessTest test;
    double total = 0;
    for (const auto& [face, count] : counts) {
        test.Dice += count;
        total += static_cast<double>(face) * static_cast<double>(count);
    }
    test.ExpectedMean = (sides + 1) / 2.0;
    if (test.Dice == 0)
        return test;
    test.Mean = total / static_cast<double>(test.Dice);
    if (sides < 2)
        return test;
    const double expected = static_cast<double>(test.Dice) / sides;
    test.Enough = expected >= 5;
    // Faces that never came up each add the whole expected count.
    double chiSquare = (sides - static_cast<double>(counts.size())) * expected;
    for (const auto& [face, count] : counts) {
        const double difference = static_cast<double>(count) - expected;
        chiSquare += difference * difference / expected;
    }
    test.PValue = ChiSquarePValue(chiSquare, sides - 1);
    return test;
}

} // namespace dice
