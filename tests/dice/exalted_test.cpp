#include "dice/exalted.h"
#include "support/qtprint.h"
#include "support/scriptedfaces.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedFaces;

TEST(Exalted, CountsSuccessesDoubleTensAndBotches)
{
    struct Case {
        QList<int> Faces;
        int Target;
        bool Damage;
        int Successes;
        bool Botch;
    };
    const Case cases[] = {
        { { 10, 7, 3 }, 7, false, 3, false },
        { { 10, 7, 3 }, 7, true, 2, false }, // a damage roll counts a 10 once
        { { 10, 10, 6 }, 7, false, 4, false }, { { 6, 1 }, 6, false, 1, false },
        { { 10, 1 }, 7, false, 2, false }, { { 1, 3, 5 }, 7, false, 0, true },
        { { 2, 3, 5 }, 7, false, 0, false }, { { 9, 1 }, 10, false, 0, true },
        { { 1 }, 7, true, 0, false }, // a damage roll cannot botch
    };
    for (const Case& c : cases) {
        const dice::ExaltedCount count = dice::CountExaltedRoll(c.Faces, c.Target, c.Damage);
        EXPECT_EQ(count.Successes, c.Successes) << testing::PrintToString(c.Faces);
        EXPECT_EQ(count.Botch, c.Botch) << testing::PrintToString(c.Faces);
    }
}

TEST(Exalted, RollsAPoolAFlurryOrAMagicalFlurry)
{
    struct Case {
        const char* Parameter;
        QList<int> Faces;
        const char* Expected;
    };
    const Case cases[] = {
        { "3", { 10, 7, 3 }, "[10,7,3]. Successes total: 3" },
        { "3 damage", { 10, 7, 3 }, "[10,7,3]. Successes total: 2" },
        { "3 vs 3", { 10, 7, 3 }, "[10,7,3]. Successes total: 4" },
        { "2 VS 10", { 10, 9 }, "[10,9]. Successes total: 2" },
        { "2", { 1, 4 }, "[1,4]. Botch!" },
        { "2 Dodge", { 2, 4 }, "[2,4]. Successes total: 0" },
        // Action k of a flurry of X loses X + k - 1 dice.
        { "5 flurry 2", { 7, 8, 1, 10, 2 },
            "action 1: [7,8,1]. Successes total: 2; action 2: [10,2]. Successes total: 2; Total successes: "
            "4" },
        { "5 flurry 3", { 1, 2, 3 },
            "action 1: [1,2]. Botch!; action 2: [3]. Successes total: 0; action 3: []. Successes total: 0; "
            "Total "
            "successes: 0" },
        { "2 multi 3 vs 7", { 10, 10, 1, 2, 7, 3 },
            "action 1: [10,10]. Successes total: 4; action 2: [1,2]. Botch!; action 3: [7,3]. Successes "
            "total: 1; "
            "Total successes: 5" },
        { "3 vs 9 flurry 1", { 9, 8 }, "action 1: [9,8]. Successes total: 1; Total successes: 1" },
    };
    for (const Case& c : cases) {
        ScriptedFaces faces(c.Faces);
        const dice::PoolReply reply = dice::ExaltedRoll(c.Parameter, faces);
        EXPECT_FALSE(reply.Refused) << c.Parameter;
        EXPECT_EQ(reply.Text, c.Expected) << c.Parameter;
        EXPECT_EQ(faces.Used(), faces.Scripted()) << c.Parameter;
        EXPECT_EQ(faces.Sides, QList<int>(faces.Used(), 10)) << c.Parameter;
    }
}

TEST(Exalted, ALargeMagicalFlurryStaysShort)
{
    ScriptedFaces tens = ScriptedFaces::Always(10);
    const QString text = dice::ExaltedRoll("100 multi 20", tens).Text;
    EXPECT_EQ(tens.Used(), 2000);
    EXPECT_TRUE(text.contains("action 4: [...]. Successes total: 200;")) << qPrintable(text);
    EXPECT_TRUE(text.endsWith("Total successes: 4000")) << qPrintable(text);
    EXPECT_LT(text.size(), 2000); // against some 6000 with every die shown
}

TEST(Exalted, RefusesBadParameters)
{
    const QString pool
        = "please make sure the dice pool size is specified correctly. Must be a number between 1 and 100.";
    const QString target
        = "please make sure your target number is between 2 and 10. We are rolling d10s, after all.";
    const QString flurry
        = "please make sure the number of actions in the flurry is no less than 1 and no more than 20.";
    const QString magical = "please make sure the number of actions in the magical flurry is no less than 1 "
                            "and no more than 20.";
    const QString both
        = "A roll can't be a flurry pool and a magical flurry at the same time. Make up your mind already!";
    const QString damage = "A damage roll can't be a constant pool or a flurry. Make up your mind already!";
    const QString penalty
        = "You can't roll a flurry with a maximal penalty greater than the number of the dice in your "
          "dicepool was to begin with.";
    const std::pair<const char*, QString> cases[] = {
        { "", pool },
        { "seven", pool },
        { "0", pool },
        { "101", pool },
        { "7 vs", target },
        { "7 vs 1", target },
        { "7 vs 11", target },
        { "7 vs x", target },
        { "7 flurry", flurry },
        { "7 flurry 0", flurry },
        { "7 flurry 21", flurry },
        { "7 multi", magical },
        { "7 multi 0", magical },
        { "7 multi 21", magical },
        { "7 flurry 2 multi 2", both },
        { "7 damage flurry 2", damage },
        { "7 multi 2 damage", damage },
        { "4 flurry 3", penalty },
        { "38 flurry 20", penalty },
    };
    for (const auto& [parameter, expected] : cases) {
        ScriptedFaces faces({});
        const dice::PoolReply reply = dice::ExaltedRoll(parameter, faces);
        EXPECT_TRUE(reply.Refused) << parameter;
        EXPECT_EQ(reply.Text, expected) << parameter;
        EXPECT_EQ(faces.Used(), 0) << parameter;
    }
}

} // namespace
