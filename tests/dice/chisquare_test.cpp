#include "dice/chisquare.h"
#include "dice/randomsource.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(ChiSquare, PValuesMatchPublishedTables)
{
    const struct {
        double ChiSquare;
        int Freedom;
        double P;
    } table[] = {
        { 3.841459, 1, 0.05 },
        { 6.634897, 1, 0.01 },
        { 10.827566, 1, 0.001 },
        { 5.991465, 2, 0.05 },
        { 11.070498, 5, 0.05 },
        { 15.086272, 5, 0.01 },
        { 30.143527, 19, 0.05 },
        { 0.554300, 5, 0.99 }, // the lower series
        { 1.145476, 5, 0.95 },
        { 124.342113, 100, 0.05 },
        { 0, 3, 1 },
    };
    for (const auto& row : table)
        EXPECT_NEAR(dice::ChiSquarePValue(row.ChiSquare, row.Freedom), row.P, row.P * 1e-5)
            << row.ChiSquare << " on " << row.Freedom;
}

TEST(ChiSquare, TheRegularizedGammaFunctionMatchesClosedForms)
{
    // Q(1, x) = e^-x, and Q(1/2, x) = erfc(sqrt x), on both sides of x = a + 1.
    for (const double x : { 0.1, 0.9, 1.6, 4.0, 30.0 }) {
        EXPECT_NEAR(dice::RegularizedGammaQ(1, x), std::exp(-x), 1e-12 * std::exp(-x)) << x;
        EXPECT_NEAR(dice::RegularizedGammaQ(0.5, x), std::erfc(std::sqrt(x)), 1e-10 * std::erfc(std::sqrt(x)))
            << x;
    }
}

TEST(FaceRecording, KeepsTheDrawsMadeWhileItLives)
{
    dice::SeedGenerator(7);
    dice::RandomBelow(6);
    std::vector<dice::RolledFace> expected;
    {
        const dice::FaceRecording recording;
        for (const int sides : { 6, 20, 100 })
            expected.push_back({ sides, dice::RandomBelow(sides) + 1 });
        EXPECT_EQ(recording.Faces(), expected);
        EXPECT_EQ(dice::RecordedFaces(), expected);
    }
    dice::RandomBelow(6);
    EXPECT_TRUE(dice::RecordedFaces().empty());
}

} // namespace
