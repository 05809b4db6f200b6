// The Dark Heresy and Shadowrun commands through the whole bot: where replies go, how entry files are
// found and read, and the bounds on what users ask for. The rules themselves are tested in tests/games.

#include "commands/bot.h"
#include "dice/randomsource.h"
#include "support/botfixture.h"
#include "support/fixedclock.h"
#include "support/qtprint.h"
#include "support/recordingsender.h"
#include "support/seedsearch.h"
#include "support/tempfiles.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class GameCommandTest : public ::testing::Test {
protected:
    testing_support::TempFiles files;
    testing_support::RecordingSender out;
    testing_support::FixedClock clock;
    testing_support::FixedRoster roster;
    std::unique_ptr<commands::Bot> bot;

    void SetUp() override
    {
        bot = std::make_unique<commands::Bot>(files.Path(), out, roster, clock);
        bot->Start();
    }

    QStringList Say(const QString& line)
    {
        bot->OnMessage("Nick", "#dice", line);
        return out.Take();
    }

    // Runs the line with the generator pinned to a seed whose first draws are the (range, value) pairs given.
    QStringList SayWithDraws(const QString& line, std::initializer_list<std::pair<int, int>> draws)
    {
        const std::optional<std::uint32_t> seed = testing_support::SeedGiving(draws);
        EXPECT_TRUE(seed);
        const dice::ReseedPin pin(seed.value_or(0));
        return Say(line);
    }

    void WriteEntries(const QString& name, int entries, bool closed = true)
    {
        QByteArray text = "a line before the first entry\r\n;\r\n";
        for (int n = 1; n <= entries; ++n) {
            text += name.toUtf8() + " " + QByteArray::number(n) + "a\r\n" + name.toUtf8() + " "
                + QByteArray::number(n) + "b\r\n";
            if (closed || n < entries)
                text += ";\r\n";
        }
        files.Write(name, text);
    }
};

const QString Zone = QStringLiteral(
    "PRIVMSG Nick :Make sure you specified correct damage zone, I have to data for what you have specified.");

TEST_F(GameCommandTest, ResultsGoToTheChannelAndComplaintsToTheNick)
{
    EXPECT_EQ(SayWithDraws(",DR 50 semi", { { 100, 22 } }),
        QStringList(
            { "PRIVMSG #dice :Nick: 23 Success by 2 degrees! It's one additional hit. Hit locations: body, "
              "body." }));
    EXPECT_EQ(SayWithDraws(",dhburst 3", { { 100, 44 } }),
        QStringList({ "PRIVMSG #dice :Nick, [45]: Body, body, arm." }));
    EXPECT_EQ(
        Say(",dhfall high"), QStringList({ "PRIVMSG #dice :Please specify the falling height, Nick." }));
    EXPECT_EQ(Say(",dhhit -3"),
        QStringList(
            { "PRIVMSG Nick :You're obviously trying to roll several DH hits, but I can't figure out your "
              "parameters.",
                "PRIVMSG Nick :I only understand integer parameters, chum." }));
    EXPECT_EQ(Say(",srnade 4 launcher"),
        QStringList({ "PRIVMSG #dice :Nick, the projectile hit right on target!" }));

    const QStringList bare = Say(",dhroll");
    ASSERT_EQ(bare.size(), 1);
    EXPECT_TRUE(
        QRegularExpression("^PRIVMSG #dice :Nick: ([1-9]|[1-9][0-9]|100)$").match(bare.first()).hasMatch())
        << bare.first().toStdString();
    const QStringList npc = Say(",srnpc elf mage");
    ASSERT_EQ(npc.size(), 1);
    EXPECT_TRUE(QRegularExpression("^PRIVMSG #dice :Nick, elf: BOD \\d+, .*, Magic [1-6]\\.$")
                    .match(npc.first())
                    .hasMatch())
        << npc.first().toStdString();
}

TEST_F(GameCommandTest, AHugeHitCountIsCappedWithAPrivateNote)
{
    const QStringList many = Say(",dhhit 1000000");
    ASSERT_EQ(many.size(), 21);
    EXPECT_EQ(many.first(), "PRIVMSG Nick :Nick, I roll at most 20 hits at a time, so here are 20.");
    EXPECT_TRUE(many.last().startsWith("PRIVMSG #dice :Nick, hit 20 [")) << many.last().toStdString();
}

TEST_F(GameCommandTest, CriticalHitsAreReadFromTheFileTheUserNames)
{
    WriteEntries("E Head.txt", 10);
    WriteEntries("R Arm.txt", 4, false);
    files.Write("secret.txt", ";\r\nnot for users\r\n;\r\n");
    EXPECT_EQ(Say(",dhcrit E Head 25"),
        QStringList({ "PRIVMSG #dice :E Head.txt 10a", "PRIVMSG #dice :E Head.txt 10b" }));
    EXPECT_EQ(Say(",dhcrit E head 2"),
        QStringList({ "PRIVMSG #dice :E Head.txt 2a", "PRIVMSG #dice :E Head.txt 2b" }));
    EXPECT_EQ(Say(",dhcrit R Arm 3"),
        QStringList({ "PRIVMSG #dice :R Arm.txt 3a", "PRIVMSG #dice :R Arm.txt 3b" }));
    for (const char* line :
        { ",dhcrit E Foot 3", ",dhcrit R Arm 4", ",dhcrit R Arm 9", ",dhcrit E/../secret 1" })
        EXPECT_EQ(Say(line), QStringList({ Zone })) << line;
    EXPECT_EQ(Say(",dhcrit E Head 0"),
        QStringList({ "PRIVMSG Nick :Make sure you specified correct crit wounds number." }));
    const QStringList usage = Say(",dhcrit e Head 3");
    ASSERT_EQ(usage.size(), 6);
    EXPECT_EQ(usage[1], "PRIVMSG Nick : ,dhcrit [damage_type] [damage_zone] [crit_wounds]");
}

TEST_F(GameCommandTest, HallucinogenAndDivinationQuoteTheirFiles)
{
    EXPECT_EQ(Say(",dhhal"),
        QStringList(
            { "PRIVMSG Nick :I seem to have lost the file with the answers. Maybe you have seen it?" }));
    EXPECT_TRUE(Say(",dhdiv f").isEmpty());
    EXPECT_TRUE(bot->Log().Lines().last().startsWith("Divination.txt could not be read"));

    WriteEntries("Hallucinogen.txt", 10);
    WriteEntries("Divination.txt", 28);
    EXPECT_EQ(SayWithDraws(",dhhal", { { 10, 6 } }),
        QStringList({ "PRIVMSG #dice :Hallucinogen.txt 7a", "PRIVMSG #dice :Hallucinogen.txt 7b" }));
    EXPECT_EQ(SayWithDraws(",dhdiv F", { { 100, 99 } }),
        QStringList({ "PRIVMSG #dice :Divination.txt 28aDivination.txt 28b" }));
}

} // namespace
