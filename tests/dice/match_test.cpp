#include "dice/match.h"
#include "support/qtprint.h"
#include "support/scriptedfaces.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedFaces;

TEST(Match, FindsSetsWidestFirstThenHighest)
{
    const std::pair<QList<int>, const char*> cases[] = {
        { { 3, 7, 3, 10, 7, 3 }, "3x3 2x7" },
        { { 1, 2, 3 }, "" },
        { { 5, 5, 9, 9 }, "2x9 2x5" },
        { { 10, 10, 10, 10 }, "4x10" },
        { { 2, 2, 2, 8, 8, 8, 8, 1 }, "4x8 3x2" },
    };
    for (const auto& [faces, expected] : cases) {
        QStringList sets;
        for (const dice::MatchSet& set : dice::FindMatches(faces))
            sets.append(QString::number(set.Count) + u'x' + QString::number(set.Face));
        EXPECT_EQ(sets.join(u' '), expected) << testing::PrintToString(faces);
    }
}

TEST(Match, ShowsTheDiceAndTheirSets)
{
    ScriptedFaces sets({ 3, 7, 3, 10, 7, 3 });
    EXPECT_EQ(dice::MatchRoll("6", sets).Text, ": [3,7,3,10,7,3], matches: 3x3, 2x7");
    EXPECT_EQ(sets.Sides, QList<int>(6, 10));

    ScriptedFaces none({ 1, 2, 3 });
    EXPECT_EQ(dice::MatchRoll(" 3 dice", none).Text, ": [1,2,3], no matches!");
    EXPECT_EQ(none.Used(), 3);
}

TEST(Match, RefusesACountOutsideOneToAHundred)
{
    for (const char* parameter : { "", "six", "0", "101", "-5", "99999999999" }) {
        ScriptedFaces faces({});
        const dice::PoolReply reply = dice::MatchRoll(parameter, faces);
        EXPECT_TRUE(reply.Refused) << parameter;
        EXPECT_EQ(reply.Text, ", please make sure you specify the number of rolls correctly.") << parameter;
        EXPECT_EQ(faces.Used(), 0) << parameter;
    }
}

} // namespace
