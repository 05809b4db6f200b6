#include "commands/luckcommand.h"
#include "core/storeschema.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

struct Ask {
    const char* Nick;
    const char* Target;
    const char* Line;
    QStringList Expected; // "%1" stands for the reply of roll #1
};

// Each table runs once with the rolls still waiting in memory and once after they were written.
class RollHistoryCommands : public testing_support::BotFixture, public ::testing::WithParamInterface<bool> {
protected:
    QString first;

    void SetUp() override
    {
        Start();
        first = Say("Bob", "#rpg", ",roll 3d6").value(0).section(" :", 1);
        Say("Bob", "#rpg", ",roll 1d1 sword");
        Say("Bob", "#other", ",roll 1d1");
        Say("Bob", "Bob", ",roll 1d1 alone");
        Say("Bob", "#rpg", ",roll nonsense"); // an error is no result
        if (GetParam())
            bot->Kept().Flush();
    }

    void Check(const std::vector<Ask>& table)
    {
        for (const Ask& ask : table) {
            QStringList expected;
            for (const QString& line : ask.Expected)
                expected.append(line.contains("%1") ? line.arg(first) : line);
            EXPECT_EQ(Say(ask.Nick, ask.Target, ask.Line), expected) << ask.Line << " by " << ask.Nick;
        }
    }
};

TEST_P(RollHistoryCommands, RecallSaysARollAgainWhereItWasMadeOrToItsRoller)
{
    Check({
        { "Carol", "#rpg", ",recall 1", { "PRIVMSG #rpg :#1 by Bob at 10:15:02 07.12.2026: %1" } },
        { "Carol", "#rpg", ",recall #2",
            { "PRIVMSG #rpg :#2 by Bob at 10:15:02 07.12.2026: Bob, sword: 1" } },
        { "Carol", "#other", ",recall 1",
            { "PRIVMSG Carol :Carol, roll #1 was made elsewhere; only its roller can recall it "
              "privately." } },
        { "bob", "bob", ",recall 3", { "PRIVMSG bob :#3 by Bob at 10:15:02 07.12.2026: Bob: 1" } },
        { "Bob", "Bob", ",recall 4", { "PRIVMSG Bob :#4 by Bob at 10:15:02 07.12.2026: Bob, alone: 1" } },
        { "Carol", "Carol", ",recall 4",
            { "PRIVMSG Carol :Carol, roll #4 was made elsewhere; only its roller can recall it "
              "privately." } },
        { "Carol", "#rpg", ",recall 5", { "PRIVMSG Carol :Carol, I have no roll #5." } },
        { "Carol", "#rpg", ",recall me", { "PRIVMSG Carol :Carol, I have no roll #me." } },
    });
}

TEST_P(RollHistoryCommands, RollsListsTheLastRollsOfANickInThisPlacePrivately)
{
    const QString two = "PRIVMSG %1 :#2 10:15:02 07.12.2026 ,roll 1d1 sword => Bob, sword: 1";
    const QString one = "PRIVMSG %1 :#1 10:15:02 07.12.2026 ,roll 3d6 => ";
    Check({
        { "Bob", "#rpg", ",rolls", { two.arg("Bob"), one.arg("Bob") + first } },
        { "Carol", "#rpg", ",rolls BOB 1", { two.arg("Carol") } },
        { "Carol", "#rpg", ",rolls 1 Bob", { two.arg("Carol") } },
        { "Bob", "#other", ",rolls", { "PRIVMSG Bob :#3 10:15:02 07.12.2026 ,roll 1d1 => Bob: 1" } },
        { "Bob", "Bob", ",rolls",
            { "PRIVMSG Bob :#4 10:15:02 07.12.2026 ,roll 1d1 alone => Bob, alone: 1" } },
        { "Carol", "Carol", ",rolls Bob", { "PRIVMSG Carol :Carol, I have no rolls by Bob in private." } },
        { "Carol", "#rpg", ",rolls", { "PRIVMSG Carol :Carol, I have no rolls by Carol here." } },
    });
}

TEST_P(RollHistoryCommands, KeepsTheFacesEachRollDrew)
{
    const std::optional<commands::RollRecord> roll = bot->Rolls().Find(1);
    ASSERT_TRUE(roll);
    ASSERT_EQ(roll->Faces.size(), 3u);
    int sum = 0;
    for (const dice::RolledFace& face : roll->Faces) {
        EXPECT_EQ(face.Sides, 6);
        sum += face.Face;
    }
    EXPECT_TRUE(first.endsWith(QString::number(sum))) << first.toStdString();
    EXPECT_EQ(bot->Rolls().Counts({ "bob", {} }, commands::RollHistory::CountScope::Own)[1][1], 3);
}

// Every command that says a dice result keeps it, where it was said, with the faces it drew; a secret roll
// is kept as a secret roll of its channel, answered to the roller alone.
TEST_P(RollHistoryCommands, EveryDiceCommandKeepsItsResult)
{
    bot->State().Extra.Dice.InlineRolls = true;
    const struct {
        const char* Line;
        const char* SaidTo;
        commands::RollKind Kind;
        const char* Reply;
        int Faces;
    } table[] = {
        { ",r 2d1+1 hit", "#rpg", commands::RollKind::Public,
            "Bob, hit: 2d1 [1, 1] + 1 = \x02"
            "3\x02",
            2 },
        { ",gmroll 1d1", "Bob", commands::RollKind::Secret,
            "Bob: 1d1 [1] = \x02"
            "1\x02",
            1 },
        { "I swing [[1d1+2]] and [[d1]]", "#rpg", commands::RollKind::Public,
            "Bob: [[1d1+2]] = \x02"
            "3\x02, [[d1]] = \x02"
            "1\x02",
            2 },
        { ",dr 100", "#rpg", commands::RollKind::Public, nullptr, 1 },
        { ",srtest 2", "#rpg", commands::RollKind::Public, nullptr, 2 },
    };
    for (const auto& row : table) {
        const QStringList said = Say("Bob", "#rpg", row.Line);
        const QList<commands::RollRecord> kept
            = bot->Rolls().Recent("#rpg", { "Bob", {} }, 1, [](const auto&) { return true; });
        ASSERT_EQ(kept.size(), 1) << row.Line;
        EXPECT_EQ(kept[0].Command, row.Line);
        EXPECT_EQ(kept[0].Kind, row.Kind) << row.Line;
        if (row.Reply) {
            EXPECT_EQ(kept[0].Reply, QString(row.Reply));
        }
        EXPECT_TRUE(said.contains("PRIVMSG " + QString(row.SaidTo) + " :" + kept[0].Reply))
            << said.join('\n').toStdString();
        EXPECT_EQ(kept[0].Faces.size(), size_t(row.Faces)) << row.Line;
    }
}

// Who sees what of secret, private and public rolls, on a network that tells accounts. Kell is logged in
// to "kell", rolls in secret, in private and in public, and changes nick to Kell_away; Mallory then takes
// the nick Kell without logging in. Boss, logged in to "boss", is the game master of #t; Carol is anyone.
TEST_P(RollHistoryCommands, SecretAndPrivateRollsAreShownOnlyToTheirRollerAndTheGameMaster)
{
    roster.Accounts = true;
    bot->State().Extra.Dice.GameMaster = "$a:boss";
    const irc::UserPtr kell = roster.Users.Add("Kell", "k@home");
    kell->Account = "Kell";
    roster.Users.Add("Boss", "b@home")->Account = "boss";
    roster.Users.Add("Carol", "c@home")->Account = "";
    Say("Kell", "#t", ",gr 1d1000 sneak"); // #5
    Say("Kell", "Kell", ",r 1d1 alone"); // #6
    Say("Kell", "#t", ",r 1d1 open"); // #7
    if (GetParam())
        bot->Kept().Flush();
    kell->Nick = "Kell_away";
    roster.Users.Add("Kell", "m@evil")->Account = "";
    const QString secret = bot->Rolls().Find(5)->Reply;
    const QString secretText = "#5 by Kell at 10:15:02 07.12.2026: " + secret;
    const QString refused
        = "Kell, roll #5 was rolled in secret; only its roller and the game master can recall it.";
    const QString publicLine = "#7 10:15:02 07.12.2026 ,r 1d1 open => Kell, open: 1d1 [1] = \x02"
                               "1\x02";
    const QString secretLine = "#5 10:15:02 07.12.2026 ,gr 1d1000 sneak => " + secret;
    const QString luckOne = "d1: 1 die, mean 1.00 (fair 1.00), too few to tell";
    Check({
        { "Kell", "#t", ",recall 5", { "PRIVMSG Kell :" + refused } },
        { "Kell", "Kell", ",recall 6",
            { "PRIVMSG Kell :Kell, roll #6 was made elsewhere; only its roller can recall it privately." } },
        { "Kell", "Kell", ",rolls", { "PRIVMSG Kell :Kell, I have no rolls by Kell in private." } },
        { "Kell", "#t", ",rolls", { "PRIVMSG Kell :" + publicLine } },
        { "Kell", "#t", ",reveal 5",
            { "PRIVMSG Kell :Kell, only its roller and the game master can reveal roll #5." } },
        { "Kell_away", "#t", ",recall 5", { "PRIVMSG Kell_away :" + secretText } },
        { "Kell_away", "Kell_away", ",rolls",
            { "PRIVMSG Kell_away :#6 10:15:02 07.12.2026 ,r 1d1 alone => Kell, alone: 1d1 [1] = \x02"
              "1\x02" } },
        { "Kell_away", "#t", ",rolls",
            { "PRIVMSG Kell_away :" + publicLine, "PRIVMSG Kell_away :" + secretLine } },
        { "Boss", "Boss", ",recall 5", { "PRIVMSG Boss :" + secretText } },
        { "Boss", "Boss", ",recall 6",
            { "PRIVMSG Boss :Boss, roll #6 was made elsewhere; only its roller can recall it privately." } },
        { "Boss", "#t", ",rolls Kell_away",
            { "PRIVMSG Boss :" + publicLine, "PRIVMSG Boss :" + secretLine } },
        { "Carol", "#t", ",rolls Kell_away", { "PRIVMSG Carol :" + publicLine } },
        { "Carol", "#t", ",reveal 7",
            { "PRIVMSG Carol :Carol, roll #7 was not rolled in secret in a channel: there is nothing to "
              "reveal." } },
        { "Boss", "Boss", ",reveal 5", { "PRIVMSG #t :Kell's secret roll #5: " + secret } },
    });
    // Luck: one's own identity's rolls, someone else's public ones; all dice, the public ones.
    EXPECT_EQ(Say("Kell", "Kell", ",luck").value(0), "PRIVMSG Kell :Kell, Kell has rolled no dice yet.");
    const QStringList luck = Say("Carol", "#t", ",luck Kell_away");
    EXPECT_EQ(luck.value(0), "PRIVMSG Carol :Kell_away's dice: " + luckOne + ".");
    EXPECT_FALSE(luck.value(1).contains("d1000")) << luck.value(1).toStdString();
    EXPECT_TRUE(Say("Kell_away", "Kell_away", ",luck").value(0).contains("d1000: 1 die"));
}

INSTANTIATE_TEST_SUITE_P(, RollHistoryCommands, ::testing::Values(false, true),
    [](const auto& info) { return info.param ? "Written" : "Waiting"; });

// A store kept before rolls had kinds: the rolls kept under the roller's own nick (in private, in silent
// mode or in secret) become his private rolls, the others stay public; the face counts kept then mixed
// secret faces in, so they count for their roller's own luck only.
class RollHistoryUpgrade : public testing_support::BotFixture { };

TEST_F(RollHistoryUpgrade, RollsKeptUnderTheRollersNickBecomeHisPrivateRolls)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "before-kinds");
        db.setDatabaseName(files.PathOf(core::StoreFile));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        QStringList statements { "CREATE TABLE schema_version (version INTEGER)",
            "INSERT INTO schema_version VALUES (2)" };
        statements += core::SchemaSteps().at(0) + core::SchemaSteps().at(1);
        const QString now = QString::number(clock.Now().toMSecsSinceEpoch());
        statements
            << "INSERT INTO rolls (number, time, place, place_key, nick, nick_key, command, reply, faces) "
               "VALUES (1, "
                + now + ", '#t', '#t', 'Kell', 'kell', ',r d6', 'Kell: 4', '6:4'), (2, " + now
                + ", 'Kell', 'kell', 'Kell', 'kell', ',gr d6', 'Kell: 5', '6:5')"
            << "INSERT INTO face_counts VALUES ('kell', 6, 4, 1), ('kell', 6, 5, 1)";
        for (const QString& statement : statements)
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
    }
    QSqlDatabase::removeDatabase("before-kinds");
    Start();
    ASSERT_TRUE(bot->Kept().OnDisk());
    const QString luck = "PRIVMSG Kell :Kell's dice: d6: 2 dice, mean 4.50 (fair 3.50), too few to tell.";
    EXPECT_EQ(Say("Carol", "#t", ",recall 1"),
        QStringList({ "PRIVMSG #t :#1 by Kell at 10:15:02 07.12.2026: Kell: 4" }));
    EXPECT_EQ(Say("Carol", "Carol", ",recall 2"),
        QStringList({ "PRIVMSG Carol :Carol, roll #2 was made elsewhere; only its roller can recall it "
                      "privately." }));
    EXPECT_EQ(Say("Kell", "Kell", ",recall 2"),
        QStringList({ "PRIVMSG Kell :#2 by Kell at 10:15:02 07.12.2026: Kell: 5" }));
    EXPECT_EQ(Say("Carol", "#t", ",luck Kell"),
        QStringList({ "PRIVMSG Carol :Carol, Kell has rolled no dice yet." }));
    EXPECT_EQ(Say("Kell", "#t", ",luck"), QStringList({ luck }));
}

TEST(LuckSummary, GivesCountMeanAndVerdictPerDieSize)
{
    const struct {
        commands::FaceCounts Counts;
        QString Expected;
    } table[] = {
        { { { 6, { { 1, 10 }, { 2, 10 }, { 3, 10 }, { 4, 10 }, { 5, 10 }, { 6, 10 } } } },
            "d6: 60 dice, mean 3.50 (fair 3.50), looks fair" },
        // 60 sixes: chi-square 300 on five degrees of freedom.
        { { { 6, { { 6, 60 } } } }, "d6: 60 dice, mean 6.00 (fair 3.50), unusual, p = 1e-62" },
        // 14, 6 on a coin: chi-square 3.2, p = 0.0736.
        { { { 2, { { 1, 14 }, { 2, 6 } } } }, "d2: 20 dice, mean 1.30 (fair 1.50), looks fair" },
        // 16, 4: chi-square 7.2, p = 0.0073.
        { { { 2, { { 1, 16 }, { 2, 4 } } } }, "d2: 20 dice, mean 1.20 (fair 1.50), unusual, p = 0.007" },
        { { { 20, { { 20, 1 } } }, { 4, { { 1, 2 } } } },
            "d4: 2 dice, mean 1.00 (fair 2.50), too few to tell; d20: 1 die, mean 20.00 (fair 10.50), too "
            "few "
            "to tell" },
        // A one-sided die can only show 1, and nothing can be unfair about it.
        { { { 1, { { 1, 30 } } } }, "d1: 30 dice, mean 1.00 (fair 1.00), too few to tell" },
        { {}, "" },
    };
    for (const auto& row : table)
        EXPECT_EQ(commands::LuckSummary(row.Counts), row.Expected);
}

} // namespace
