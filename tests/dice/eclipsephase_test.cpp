#include "dice/eclipsephase.h"
#include "support/qtprint.h"
#include "support/scriptedfaces.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedFaces;

TEST(EclipsePhase, JudgesMarginsCriticalsAndTheFixedRolls)
{
    struct Case {
        int Roll;
        int Target;
        const char* Expected;
    };
    const Case cases[] = {
        { 43, 50, "Success with MoS 7." },
        { 50, 50, "Success with MoS 0." },
        { 21, 50, "Success with MoS 29." },
        { 20, 50, "Excellent success with MoS 30." },
        { 33, 50, "Critical success with MoS 17." },
        { 11, 50, "Critical success with MoS 39." },
        { 0, 30, "Critical success with MoS 30." },
        { 0, -5, "Critical success!" }, // 00 always succeeds
        { 98, 99, "Success with MoS 1." },
        { 99, 99, "Critical failure!" }, // 99 always fails
        { 99, 150, "Critical failure!" },
        { 99, 50, "Critical failure with MoF 49." },
        { 66, 50, "Critical failure with MoF 16." },
        { 79, 50, "Failure with MoF 29." },
        { 80, 50, "Severe failure with MoF 30. Could be flip-flopped with Moxie." },
        { 51, 50, "Failure with MoF 1. Could be flip-flopped with Moxie." },
        { 90, 20, "Severe failure with MoF 70. Could be flip-flopped with Moxie." },
        { 9, 5, "Failure with MoF 4." },
        { 19, 15, "Failure with MoF 4." },
        { 5, -1, "Failure with MoF 6." },
    };
    for (const Case& c : cases)
        EXPECT_EQ(dice::EclipseVerdict(c.Roll, c.Target), c.Expected) << c.Roll << " vs " << c.Target;
}

TEST(EclipsePhase, DecidesOpposedTests)
{
    using enum dice::OpposedOutcome;
    struct Case {
        int RollA, TargetA, RollB, TargetB;
        dice::OpposedOutcome Expected;
    };
    const Case cases[] = {
        { 40, 50, 60, 50, SideA }, // success beats failure
        { 60, 50, 40, 50, SideB },
        { 60, 50, 70, 50, Stalemate }, // two failures
        { 22, 50, 45, 50, SideA }, // a critical beats a higher plain success
        { 45, 50, 22, 50, SideB },
        { 30, 50, 45, 50, SideB }, // the higher success wins
        { 45, 50, 30, 80, SideA },
        { 33, 50, 44, 50, SideB }, // two criticals: the higher wins
        { 40, 50, 40, 60, Stalemate },
        { 0, -10, 45, 50, SideA },
        { 99, 99, 98, 99, SideB },
    };
    for (const Case& c : cases)
        EXPECT_EQ(dice::JudgeOpposed(c.RollA, c.TargetA, c.RollB, c.TargetB), c.Expected)
            << c.RollA << " vs " << c.TargetA << ", " << c.RollB << " vs " << c.TargetB;
}

TEST(EclipsePhase, AnswersStraightAndOpposedTests)
{
    struct Case {
        const char* Parameter;
        QList<int> Faces;
        const char* Expected;
    };
    const Case cases[] = {
        { "25 Freerunning", { 100 }, ", Freerunning: 00 vs 25. Critical success with MoS 25." },
        { "25", { 52 }, ": 52 vs 25. Failure with MoF 27. Could be flip-flopped with Moxie." },
        { "25 versus 30", { 7 }, ", versus 30: 07 vs 25. Success with MoS 18." },
        { "50 vs 75 Shooting", { 39, 88 },
            ", Shooting: side A: 39 vs 50. Success with MoS 11. Side B: 88 vs 75. Critical failure with MoF "
            "13. "
            "Side A wins." },
        { "50 VS 75", { 39, 45 },
            ": side A: 39 vs 50. Success with MoS 11. Side B: 45 vs 75. Excellent success with MoS 30. Side "
            "B wins." },
        { "20 vs 30", { 57, 42 },
            ": side A: 57 vs 20. Severe failure with MoF 37. Side B: 42 vs 30. Failure with MoF 12. Could be "
            "flip-flopped with Moxie. Stalemate." },
    };
    for (const Case& c : cases) {
        ScriptedFaces faces(c.Faces);
        const dice::PoolReply reply = dice::EclipsePhaseTest(c.Parameter, faces);
        EXPECT_FALSE(reply.Refused) << c.Parameter;
        EXPECT_EQ(reply.Text, c.Expected) << c.Parameter;
        EXPECT_EQ(faces.Used(), faces.Scripted()) << c.Parameter;
        EXPECT_EQ(faces.Sides, QList<int>(faces.Used(), 100)) << c.Parameter;
    }
}

TEST(EclipsePhase, RefusesTargetsThatAreNoWholeNumberInRange)
{
    for (const char* parameter : { "", "fifty", "1000", "-1000", "2147483648", "-2147483648", "50 vs",
             "50 vs x", "50 vs 1000", "vs 50" }) {
        ScriptedFaces faces({});
        const dice::PoolReply reply = dice::EclipsePhaseTest(parameter, faces);
        EXPECT_TRUE(reply.Refused) << parameter;
        EXPECT_EQ(reply.Text, ", please make sure the target number is a whole number from -999 to 999.")
            << parameter;
        EXPECT_EQ(faces.Used(), 0) << parameter;
    }
}

} // namespace
