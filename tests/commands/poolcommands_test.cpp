#include "commands/bot.h"
#include "dice/dryh.h"
#include "dice/eclipsephase.h"
#include "dice/exalted.h"
#include "dice/match.h"
#include "dice/randomsource.h"
#include "dice/shadowrunpools.h"
#include "support/botfixture.h"
#include "support/fixedclock.h"
#include "support/qtprint.h"
#include "support/recordingsender.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t PinnedSeed = 4357;

using Pool = dice::PoolReply (*)(const QString&, dice::FaceSource&);

// What a pool answers when the generator starts from the given seed.
QString FromSeed(std::uint32_t seed, Pool pool, const QString& parameter)
{
    dice::SeedGenerator(seed);
    dice::GeneratorFaces faces;
    return pool(parameter, faces).Text;
}

class PoolCommandsTest : public ::testing::Test {
protected:
    testing_support::TempFiles files;
    testing_support::RecordingSender out;
    testing_support::FixedClock clock;
    testing_support::FixedRoster roster;
    commands::Bot bot { files.Path(), out, roster, clock };

    void SetUp() override { bot.Start(); }

    QStringList Say(const QString& line)
    {
        bot.OnMessage("Bob", "#dice", line);
        return out.Take();
    }
};

TEST_F(PoolCommandsTest, ResultsGoToTheChannelAfterTheNick)
{
    struct Case {
        const char* Line;
        Pool Rolls;
        const char* Parameter;
        const char* Separator; // what the command puts between the nick and the pool's text
    };
    const Case cases[] = {
        { ",srtest 10 full", dice::ShadowrunTest, "10 full", "" },
        { ",sredge 12 f", dice::ShadowrunEdgeTest, "12 f", "" },
        { ",srext 10 8 full", dice::ShadowrunExtendedTest, "10 8 full", "" },
        { ",ex 7 vs 6 multi 3", dice::ExaltedRoll, "7 vs 6 multi 3", ": " },
        { ",EXALTED 7 damage", dice::ExaltedRoll, "7 damage", ": " },
        { ",ep 50 vs 75 Shooting", dice::EclipsePhaseTest, "50 vs 75 Shooting", "" },
        { ",match 12", dice::MatchRoll, "12", "" },
    };
    dice::ReseedPin pin(PinnedSeed);
    for (const Case& c : cases) {
        const QString expected
            = "PRIVMSG #dice :Bob" + QString(c.Separator) + FromSeed(PinnedSeed, c.Rolls, c.Parameter);
        dice::SeedGenerator(1); // the command must reseed, or it would roll from here
        EXPECT_EQ(Say(c.Line), QStringList({ expected })) << c.Line;
    }

    dice::SeedGenerator(PinnedSeed);
    dice::GeneratorFaces faces;
    const QString dryh = dice::RollDryh({ 4, 3, 5 }, faces);
    dice::SeedGenerator(1);
    EXPECT_EQ(Say(",dryh 4 3 5"), QStringList({ "PRIVMSG #dice :Bob" + dryh }));
}

TEST_F(PoolCommandsTest, TheThirdEditionTestGoesOnFromTheGeneratorAsItWas)
{
    dice::ReseedPin pin(PinnedSeed);
    dice::SeedGenerator(77);
    dice::GeneratorFaces faces;
    const QString first = dice::Shadowrun3Test("15 vs 4 full Dodge", faces).Text;
    const QString second = dice::Shadowrun3Test("10", faces).Text;

    dice::SeedGenerator(77);
    EXPECT_EQ(Say(",sr3test 15 vs 4 full Dodge"), QStringList({ "PRIVMSG #dice :Bob" + first }));
    EXPECT_EQ(Say(",sr3test 10"), QStringList({ "PRIVMSG #dice :Bob" + second }));
}

TEST_F(PoolCommandsTest, DontRestYourHeadReseedsOnlyForARoll)
{
    dice::ReseedPin pin(PinnedSeed);
    const QString fromSeventySeven = FromSeed(77, dice::Shadowrun3Test, "5");
    dice::SeedGenerator(77);
    EXPECT_EQ(Say(",dryh 0").size(), 1);
    EXPECT_EQ(Say(",sr3test 5"), QStringList({ "PRIVMSG #dice :Bob" + fromSeventySeven }));

    dice::SeedGenerator(PinnedSeed);
    dice::GeneratorFaces faces;
    dice::RollDryh({ 3, 0, 0 }, faces);
    const QString afterDryh = dice::Shadowrun3Test("5", faces).Text;
    dice::SeedGenerator(77);
    EXPECT_EQ(Say(",dryh 3").size(), 1);
    EXPECT_EQ(Say(",sr3test 5"), QStringList({ "PRIVMSG #dice :Bob" + afterDryh }));
}

TEST_F(PoolCommandsTest, ComplaintsGoToTheAskerExceptExaltedsToTheChannel)
{
    const std::pair<const char*, const char*> cases[] = {
        { ",srtest 0", "PRIVMSG Bob :Bob, dice pool size must be more than zero." },
        { ",sredge 101", "PRIVMSG Bob :Bob, dice pool size must be less than 101." },
        { ",srext 10", "PRIVMSG Bob :Bob, make sure you specified the threshold correctly." },
        { ",sr3test", "PRIVMSG Bob :Bob: Please make sure you've specified the dice pool size." },
        { ",dryh",
            "PRIVMSG Bob :Bob: Please specify the dice pool parameters, namely the number of white, red and "
            "black dice you wish to roll." },
        { ",ep high",
            "PRIVMSG Bob :Bob, please make sure the target number is a whole number from -999 to 999." },
        { ",match", "PRIVMSG Bob :Bob, please make sure you specify the number of rolls correctly." },
        { ",ex 4 flurry 3",
            "PRIVMSG #dice :Bob: You can't roll a flurry with a maximal penalty greater than the "
            "number of the dice in your dicepool was to begin with." },
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Say(line), QStringList({ expected })) << line;
}

TEST_F(PoolCommandsTest, NoParameterFloods)
{
    const char* commands[] = { "srtest", "sredge", "srext", "sr3test", "ex", "ep", "dryh", "match" };
    const QString parameters[] = { "100 full", "100 100 full", "50 vs 2147483647 full", "100 multi 20",
        "100 flurry 20", "100 100 100", "-2147483648", "2147483647 2147483647", "999 vs -999 x", "1 vs vs vs",
        QString(490, u'9'), QString::fromUtf8("\xef\xbc\x91\xef\xbc\x90 full") };
    for (const char* command : commands) {
        for (const QString& parameter : parameters) {
            const QString line = QStringLiteral(",") + command + u' ' + parameter;
            const QStringList replies = Say(line);
            ASSERT_EQ(replies.size(), 1) << qPrintable(line);
            EXPECT_LT(replies[0].size(), 2500) << qPrintable(line);
        }
    }
}

} // namespace
