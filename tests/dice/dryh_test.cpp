#include "dice/dryh.h"
#include "support/qtprint.h"
#include "support/scriptedfaces.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedFaces;

TEST(DontRestYourHead, ReadsUpToThreePools)
{
    struct Case {
        const char* Parameter;
        int Discipline, Madness, Exhaustion;
    };
    const Case cases[] = {
        { "4", 4, 0, 0 },
        { "4 3", 4, 3, 0 },
        { "4 3 5", 4, 3, 5 },
        { "  4  3 5 sneaking past", 4, 3, 5 },
        { "100 100 100", 100, 100, 100 },
        { "1 0 0", 1, 0, 0 },
    };
    for (const Case& c : cases) {
        const dice::DryhRequest request = dice::ReadDryhPools(c.Parameter);
        EXPECT_EQ(request.Refusal, "") << c.Parameter;
        EXPECT_EQ(request.Pools.Discipline, c.Discipline) << c.Parameter;
        EXPECT_EQ(request.Pools.Madness, c.Madness) << c.Parameter;
        EXPECT_EQ(request.Pools.Exhaustion, c.Exhaustion) << c.Parameter;
    }
}

TEST(DontRestYourHead, RefusesMissingOrOutOfRangePools)
{
    const char* unclear = ": Please specify the dice pool parameters, namely the number of white, red and "
                          "black dice you wish to roll.";
    const char* discipline = ": Dice number must be more than 0 and less than 101.";
    const char* others = ": Madness and exhaustion dice numbers must be no less than 0 and less than 101.";
    const std::pair<const char*, const char*> cases[] = {
        { "", unclear },
        { "four", unclear },
        { "4 x", unclear },
        { "4 3 x", unclear },
        { "0", discipline },
        { "101 1", discipline },
        { "-1", discipline },
        { "4 -1", others },
        { "4 101", others },
        { "4 0 101", others },
    };
    for (const auto& [parameter, expected] : cases)
        EXPECT_EQ(dice::ReadDryhPools(parameter).Refusal, expected) << parameter;
}

TEST(DontRestYourHead, TheHighestDieDominatesWithTiesBrokenByTheNextDiceThenByOrder)
{
    using enum dice::DryhPool;
    struct Case {
        QList<int> Discipline, Madness, Exhaustion;
        dice::DryhPool Expected;
    };
    const Case cases[] = {
        { { 6 }, { 5 }, { 4 }, Discipline },
        { { 5 }, { 6 }, { 4 }, Madness },
        { { 5 }, { 4 }, { 6 }, Exhaustion },
        { { 3, 6 }, { 4, 6 }, {}, Madness }, // the next highest decides
        { { 2, 6 }, { 6, 1 }, {}, Discipline },
        { { 6, 2 }, {}, { 3, 6 }, Exhaustion },
        { { 6, 3 }, { 6, 3, 1 }, {}, Madness }, // one more die
        { { 6, 4 }, { 4, 6 }, { 6, 4 }, Discipline }, // a full tie goes by order
        { { 5, 4 }, { 6, 4 }, { 4, 6 }, Madness },
        { { 1 }, {}, {}, Discipline },
    };
    for (const Case& c : cases)
        EXPECT_EQ(dice::DominatingPool(c.Discipline, c.Madness, c.Exhaustion), c.Expected)
            << testing::PrintToString(c.Discipline) << testing::PrintToString(c.Madness)
            << testing::PrintToString(c.Exhaustion);
}

TEST(DontRestYourHead, ShowsEachPoolTheDegreeAndTheDominatingPool)
{
    ScriptedFaces faces({ 5, 2, 1, 3, 6, 4 });
    EXPECT_EQ(dice::RollDryh({ 3, 1, 2 }, faces),
        ": Discipline:(5,2,1) Madness:(3) Exhaustion:(6,4). Degree: 3. Exhaustion dominates.");
    EXPECT_EQ(faces.Sides, QList<int>(6, 6));

    ScriptedFaces fours({ 4, 4, 6 });
    EXPECT_EQ(dice::RollDryh({ 2, 0, 1 }, fours),
        ": Discipline:(4,4) Exhaustion:(6). Degree: 0. Exhaustion dominates.");
    EXPECT_EQ(fours.Used(), 3);
}

} // namespace
