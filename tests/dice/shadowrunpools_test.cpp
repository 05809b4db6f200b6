#include "dice/shadowrunpools.h"
#include "support/qtprint.h"
#include "support/scriptedfaces.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedFaces;

using Pool = dice::PoolReply (*)(const QString&, dice::FaceSource&);

struct PoolCase {
    const char* Parameter;
    QList<int> Faces;
    const char* Expected;
};

// Each case must roll exactly its scripted faces, all of them d6.
void ExpectAnswers(Pool pool, std::initializer_list<PoolCase> cases)
{
    for (const PoolCase& c : cases) {
        ScriptedFaces faces(c.Faces);
        const dice::PoolReply reply = pool(c.Parameter, faces);
        EXPECT_FALSE(reply.Refused) << c.Parameter;
        EXPECT_EQ(reply.Text, c.Expected) << c.Parameter;
        EXPECT_EQ(faces.Used(), faces.Scripted()) << c.Parameter;
        EXPECT_EQ(faces.Sides, QList<int>(faces.Used(), 6)) << c.Parameter;
    }
}

struct RefusalCase {
    const char* Parameter;
    const char* Expected;
};

void ExpectRefusals(Pool pool, std::initializer_list<RefusalCase> cases)
{
    for (const RefusalCase& c : cases) {
        ScriptedFaces faces({});
        const dice::PoolReply reply = pool(c.Parameter, faces);
        EXPECT_TRUE(reply.Refused) << c.Parameter;
        EXPECT_EQ(reply.Text, c.Expected) << c.Parameter;
        EXPECT_EQ(faces.Used(), 0) << c.Parameter;
    }
}

TEST(ShadowrunPools, CountsHitsGlitchesAndCriticalGlitches)
{
    struct Case {
        QList<int> Faces;
        int Hits;
        bool Glitch;
        bool Critical;
    };
    const Case cases[] = {
        { { 1, 1, 5, 6 }, 2, true, false }, // exactly half the dice show 1
        { { 1, 1, 2, 5, 6 }, 2, false, false }, // two of five is less than half
        { { 1, 1, 1, 2, 5 }, 1, true, false },
        { { 1, 1, 2, 3 }, 0, true, true },
        { { 1 }, 0, true, true },
        { { 4, 4, 4 }, 0, false, false },
        { { 5, 6, 6 }, 3, false, false },
    };
    for (const Case& c : cases) {
        const dice::ShadowrunCount count = dice::CountShadowrunRoll(c.Faces);
        EXPECT_EQ(count.Hits, c.Hits) << testing::PrintToString(c.Faces);
        EXPECT_EQ(count.Glitch, c.Glitch) << testing::PrintToString(c.Faces);
        EXPECT_EQ(count.CriticalGlitch, c.Critical) << testing::PrintToString(c.Faces);
    }
}

TEST(ShadowrunPools, TestShowsHitsAndOnAskingEveryDie)
{
    ExpectAnswers(dice::ShadowrunTest,
        {
            { "4", { 5, 1, 1, 3 }, ", hits: 1. Glitch!" },
            { "4 full", { 5, 1, 1, 3 }, ", dice: [5,1,1,3], hits: 1. Glitch!" },
            { "4 f", { 1, 1, 3, 2 }, ", dice: [1,1,3,2], hits: 0. Critical glitch!" },
            { "  3  FULL", { 6, 5, 2 }, ", dice: [6,5,2], hits: 2" },
            { "3 Perception", { 6, 4, 2 }, ", hits: 1" },
        });
}

TEST(ShadowrunPools, EdgeRerollsSixesRoundAfterRoundAndJudgesTheGlitchOnTheFirst)
{
    ExpectAnswers(dice::ShadowrunEdgeTest,
        {
            { "3 full", { 6, 6, 2, 6, 5, 3 },
                ", iteration 1, dice: [6,6,2], hits: 2, iteration 2, dice: [6,5], hits: 2, iteration 3, "
                "dice: [3], "
                "hits: 0, successes: 4" },
            { "3", { 6, 6, 2, 6, 5, 3 }, ", successes: 4" },
            { "4", { 1, 1, 6, 2, 1 }, ", successes: 1. Glitch!" },
            { "2", { 6, 3, 1 }, ", successes: 1" }, // a rerolled 1 makes no glitch
            { "2", { 1, 1 }, ", successes: 0. Critical glitch!" },
        });
}

TEST(ShadowrunPools, EdgeStopsRerollingAfterTwentyRounds)
{
    ScriptedFaces sixes = ScriptedFaces::Always(6);
    const dice::PoolReply reply = dice::ShadowrunEdgeTest("100 full", sixes);
    EXPECT_EQ(sixes.Used(), 100 * (dice::MaxExplosions + 1));
    EXPECT_TRUE(reply.Text.endsWith(", iteration 21, dice: [...], hits: 100, successes: 2100"))
        << qPrintable(reply.Text);
    EXPECT_TRUE(
        reply.Text.contains("], hits: 100, iteration 4, dice: [...]")); // three rounds fill the listing
    EXPECT_LT(reply.Text.size(), 1500);
}

TEST(ShadowrunPools, ExtendedTestShrinksThePoolUntilTheThresholdOrTheEnd)
{
    ExpectAnswers(dice::ShadowrunExtendedTest,
        {
            { "3 4 full", { 5, 6, 1, 1, 1, 5 },
                ", iteration 1, dice: [5,6,1], hits: 2, iteration 2, dice: [1,1], hits: 0 (Critical "
                "glitch!), "
                "iteration 3, dice: [5], hits: 1, glitches: 1, first on roll 2, critical glitches: 1, "
                "failure "
                "after 3 dice pool rolls and 3 hits total." },
            { "3 3", { 5, 6, 1, 1, 1, 5 },
                ", glitches: 1, first on roll 2, critical glitches: 1, success in 3 dice pool rolls and 3 "
                "hits "
                "total." },
            { "5 2", { 5, 6, 1, 2, 3 },
                ", glitches: 0, critical glitches: 0, success in 1 dice pool rolls and 2 hits total." },
            { "4 10", { 1, 1, 5, 2, 2, 3, 4, 1, 1, 1 },
                ", glitches: 3, first on roll 1, critical glitches: 2, failure after 4 dice pool rolls and 1 "
                "hits "
                "total." },
        });

    ScriptedFaces blanks = ScriptedFaces::Always(2);
    EXPECT_EQ(dice::ShadowrunExtendedTest("10 1", blanks).Text,
        ", glitches: 0, critical glitches: 0, failure after 10 dice pool rolls and 0 hits total.");
    EXPECT_EQ(blanks.Used(), 55); // 10 + 9 + ... + 1
}

TEST(ShadowrunPools, ExtendedTestFoldsTheRollsPastTheListing)
{
    ScriptedFaces fours = ScriptedFaces::Always(4);
    const QString many = dice::ShadowrunExtendedTest("100 5 full", fours).Text;
    EXPECT_TRUE(many.contains(", iteration 3, dice: [")) << qPrintable(many); // 100 + 99 + 98 dice listed
    EXPECT_TRUE(many.contains("], hits: 0, iterations 4 to 100, hits: 0, glitches: 0,")) << qPrintable(many);
    EXPECT_LT(many.size(), 1000);

    // The roll that reaches the threshold is the first that no longer fits.
    QList<int> faces(100 + 99 + 98 + 97, 4);
    faces.last() = 5;
    ScriptedFaces lastHit(faces);
    EXPECT_TRUE(
        dice::ShadowrunExtendedTest("100 1 f", lastHit)
            .Text.endsWith("], hits: 0, iteration 4, hits: 1, glitches: 0, critical glitches: 0, success "
                           "in 4 dice pool rolls and 1 hits total."));
}

TEST(ShadowrunPools, FourthEditionRefusesBadPoolsAndThresholds)
{
    for (Pool pool : { dice::ShadowrunTest, dice::ShadowrunEdgeTest, dice::ShadowrunExtendedTest }) {
        ExpectRefusals(pool,
            {
                { "", ", make sure you specified the dice pool size correctly." },
                { "full", ", make sure you specified the dice pool size correctly." },
                { "5x 3", ", make sure you specified the dice pool size correctly." },
                { "99999999999 3", ", make sure you specified the dice pool size correctly." },
                { "0 3", ", dice pool size must be more than zero." },
                { "-4 3", ", dice pool size must be more than zero." },
                { "101 3", ", dice pool size must be less than 101." },
            });
    }
    ExpectRefusals(dice::ShadowrunExtendedTest,
        {
            { "10", ", make sure you specified the threshold correctly." },
            { "10 full", ", make sure you specified the threshold correctly." },
            { "10 0", ", threshold must be more than zero." },
        });
}

TEST(ShadowrunPools, ThirdEditionDieExplodesOnSixesWithinBounds)
{
    ScriptedFaces chain({ 6, 6, 2 });
    EXPECT_EQ(dice::RollShadowrun3Die(chain), QList<int>({ 6, 6, 2 }));
    ScriptedFaces sixes = ScriptedFaces::Always(6);
    EXPECT_EQ(dice::RollShadowrun3Die(sixes).size(), dice::MaxExplosions + 1);
}

TEST(ShadowrunPools, ThirdEditionCountsSuccessesAndTheRuleOfOne)
{
    ExpectAnswers(dice::Shadowrun3Test,
        {
            { "3 vs 4", { 6, 2, 3, 4 }, " rolls, we got: 2 successes." },
            { "3 vs 8 full", { 6, 2, 3, 6, 1 }, " rolls, we got: [6+2,3,6+1]. 1 success." },
            { "2 vs 7", { 6, 1, 1 }, " rolls, we got: 1 success." }, // 6+1 reaches 7
            { "3", { 6, 2, 3, 4 }, " rolls, we got: [8,3,4]. Highest: 8." },
            { "3 VS 5 F Dodge  roll", { 6, 2, 3, 4 }, " (Dodge  roll) rolls, we got: [6+2,3,4]. 1 success." },
            { "3 Dodge vs 4", { 1, 2, 3 }, " (Dodge vs 4) rolls, we got: [1,2,3]. Highest: 3." },
            { "2 vs 2", { 1, 1 }, " rolls, we got: Disastrous result!" },
            { "2 full", { 1, 1 }, " rolls, we got: [1,1]. Disastrous result!" },
            { "1", { 1 }, " rolls, we got: [1]. Disastrous result!" },
            { "2 vs 2", { 1, 2 }, " rolls, we got: 1 success." },
            { "2 vs 3", { 1, 2 }, " rolls, we got: 0 successes." },
        });
}

TEST(ShadowrunPools, ThirdEditionRefusesBadPoolsAndTargetNumbers)
{
    ExpectRefusals(dice::Shadowrun3Test,
        {
            { "", ": Please make sure you've specified the dice pool size." },
            { "   ", ": Please make sure you've specified the dice pool size." },
            { "0", ": Please make sure you've specified the dice pool size." },
            { "-1 vs 4", ": Please make sure you've specified the dice pool size." },
            { "ten", ": Please make sure the dice pool specified is an integer." },
            { "51", ": Please make sure the dice pool size specified is no more than 50." },
            { "5 vs", ": Please make sure the target number specified is an integer." },
            { "5 vs four", ": Please make sure the target number specified is an integer." },
            { "5 vs 1", ": Please make sure the target number is no less than two." },
            { "5 full vs -3", ": Please make sure the target number is no less than two." },
        });
}

} // namespace
