#include "core/seentracker.h"
#include "core/storeschema.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

using testing_support::WaitUntil;

QByteArray Deck()
{
    QByteArray bytes;
    for (int i = 1; i <= 54; ++i)
        bytes += "Card " + QByteArray::number(i) + "\r\n";
    return bytes;
}

class KeptState : public testing_support::BotFixture {
protected:
    void SetUp() override
    {
        files.Write("PokerDeck.txt", Deck());
        Settings("[store]\nkeep = yes\n");
    }

    // Users join, talk, change nick, roll and draw.
    void PlayASession()
    {
        Start();
        roster.Nicks["#rpg"] = QStringList { "Tessarin", "Alice", "Bob" };
        bot->OnChannelUpdate("#rpg", core::ChannelEvent::Other, QString());
        roster.Nicks["#rpg"].append("Kell");
        bot->OnChannelUpdate("#rpg", core::ChannelEvent::Joined, "Kell");
        Say("Alice", "#rpg", "hello all");
        bot->OnNickChange("Bob", "Robert");
        Say("Robert", "#rpg", ",roll 3d6");
        Say("Kell", "#rpg", ",dr 40");
        Say("Alice", "#rpg", ",draw");
        Say("Kell", "#rpg", ",drawhand");
        Say("Kell", "Kell", ",roll 1d20 privately");
    }

    // What the players can learn of the kept data.
    QStringList Ask()
    {
        QStringList answers;
        for (const auto& [nick, target, line] : std::initializer_list<std::tuple<QString, QString, QString>> {
                 { "Zed", "Zed", ",seen Alice #rpg" },
                 { "Zed", "Zed", ",seen Robert #rpg" },
                 { "Zed", "Zed", ",seen Kell #rpg" },
                 { "Zed", "Zed", ",seen" },
                 { "Kell", "#rpg", ",rolls" },
                 { "Kell", "Kell", ",rolls" },
                 { "Zed", "#rpg", ",rolls Robert" },
                 { "Zed", "#rpg", ",recall 2" },
                 { "Zed", "Zed", ",luck Kell" },
             })
            answers += Say(nick, target, line);
        return answers;
    }

    // The process dies: what the last flush wrote is all that is left.
    void Kill()
    {
        bot->Kept().Flush();
        bot.reset();
        out.Take();
    }

    void Settings(const QByteArray& ini) { files.Write("tessarin.ini", ini); }
};

TEST_F(KeptState, ARestartCarriesOnWhereTheLastFlushLeftOff)
{
    PlayASession();
    const QStringList answers = Ask();
    const QList<QStringList> logs = bot->Logs().All();
    const QList<int> deck = bot->Deck().Drawn();
    Kill();
    Start();
    EXPECT_EQ(bot->Logs().All(), logs);
    EXPECT_EQ(bot->Deck().Drawn(), deck);
    EXPECT_EQ(deck.size(), 8); // a card and a hand of seven
    EXPECT_EQ(Ask(), answers);
    // The nick index works on the users read back, a later nick included.
    EXPECT_EQ(bot->Seen().Find("robert"), bot->Seen().Find("Bob"));
    // Numbers go on after those set aside before the process died.
    Say("Kell", "#rpg", ",roll 1d4");
    EXPECT_EQ(
        bot->Rolls().Recent("#rpg", { "Kell", {} }, 1, [](const auto&) { return true; }).value(0).Number,
        1 + commands::RollHistory::NumbersReservedAhead);
}

// A private log kept before logs had owners stays its nick's; one kept since belongs to an account and
// comes back as such, and so does a channel the bot knew as secret, though it is not on it yet.
TEST_F(KeptState, PrivateLogsAndSecretChannelsKeepTheirOwnersAcrossAnUpgradeAndARestart)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("version2"));
        db.setDatabaseName(files.PathOf("tessarin.db"));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const QStringList& step : core::SchemaSteps().mid(0, 2)) {
            for (const QString& statement : step)
                ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        ASSERT_TRUE(query.exec("CREATE TABLE schema_version (version INTEGER)"));
        ASSERT_TRUE(query.exec("INSERT INTO schema_version VALUES (2)"));
        ASSERT_TRUE(query.exec("INSERT INTO channel_logs VALUES (0, 'Kell', 'Kell\nLogging channel Kell "
                               "since 06.12.26 09:00:00(local)\n<Kell> kept before')"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("version2"));
    const auto replay = [this](const QString& nick) {
        bot->OnMessage(nick, QString(), ",last");
        bot->Replay().ReplayTimer.setInterval(1);
        EXPECT_TRUE(WaitUntil([this] { return !bot->Replay().Running(); }));
        bot->State().LastLocked = false;
        return out.Take();
    };
    Start();
    EXPECT_EQ(replay("Kell"),
        QStringList({ "PRIVMSG Kell :Logging channel Kell since 06.12.26 09:00:00(local)",
            "PRIVMSG Kell :<Kell> kept before", "PRIVMSG Kell :<Kell> ,last" }));

    roster.Accounts = true;
    const irc::UserPtr kell = roster.Users.Add("Kell");
    kell->Account = "Kell";
    Say("Kell", QString(), "open the vault quietly");
    roster.Nicks["#hidden"] = { "Tessarin", "Kell" };
    roster.Secret = { "#hidden" };
    bot->OnChannelUpdate("#hidden", core::ChannelEvent::Other, QString());
    Kill();
    roster.Nicks.clear();
    roster.Secret.clear();
    kell->Nick = "Kell_away";
    Start();
    EXPECT_EQ(replay("Kell_away").mid(1),
        QStringList(
            { "PRIVMSG Kell_away :<Kell> open the vault quietly", "PRIVMSG Kell_away :<Kell_away> ,last" }));
    EXPECT_EQ(Say("Zed", QString(), ",seen Kell #hidden"),
        QStringList({ "PRIVMSG Zed :I've heard the name, but I haven't seen this user around there." }));
}

// Once the server says it compares names as rfc1459, what was kept under one spelling of a nick, account
// or channel answers to every spelling the server takes as one; after a restart, names compare as the
// kept keys were made until a server says otherwise.
TEST_F(KeptState, KeptNamesFollowTheServersCaseMappingAcrossARestart)
{
    Start();
    roster.Accounts = true;
    roster.Users.Add("Troll[1]")->Account = "Troll[1]";
    roster.Nicks["#a[b]"] = { "Tessarin", "Troll[1]" };
    bot->OnChannelUpdate("#a[b]", core::ChannelEvent::Other, QString());
    const QString roll = Say("Troll[1]", "#a[b]", ",roll 1d1").value(0).section(" :", 1);
    Say("Troll[1]", QString(), "a private word");
    bot->State().PerChannel.Set("#a[b]", core::InlineKey, "yes");
    const auto ask = [this] {
        QStringList answers = Say("troll{1}", "#A{B}", ",rolls");
        answers += Say("Zed", "Zed", ",seen troll{1} #A{B}").value(0);
        answers += bot->State().PerChannel.Value("#A{B}", core::InlineKey).value_or("unset");
        bot->OnMessage("troll{1}", QString(), ",last");
        bot->Replay().ReplayTimer.setInterval(1);
        EXPECT_TRUE(WaitUntil([this] { return !bot->Replay().Running(); }));
        bot->State().LastLocked = false;
        answers += out.Take().value(1);
        return answers;
    };
    EXPECT_EQ(ask(),
        QStringList({ "PRIVMSG troll{1} :troll{1}, I have no rolls by troll{1} here.",
            "PRIVMSG Zed :Never heard of this user.", "unset", "PRIVMSG troll{1} :<troll{1}> ,last" }))
        << "other names to an ascii server";

    irc::SetCurrentCaseMapping(irc::CaseMapping::Rfc1459);
    bot->FollowCaseMapping(irc::CaseMapping::Rfc1459);
    const QStringList followed {
        "PRIVMSG troll{1} :#1 10:15:02 07.12.2026 ,roll 1d1 => " + roll,
        "PRIVMSG Zed :User troll{1} last connected to the channel #A{B} at 10:15:02 07.12.26, and was "
        "already online when I indexed the channel.",
        "yes",
        "PRIVMSG troll{1} :<Troll[1]> a private word",
    };
    EXPECT_EQ(ask(), followed);
    Kill();
    irc::SetCurrentCaseMapping(irc::CaseMapping::Ascii);
    Start();
    EXPECT_EQ(irc::CurrentCaseMapping(), irc::CaseMapping::Rfc1459);
    EXPECT_EQ(ask(), followed);
}

TEST_F(KeptState, WithKeepingOffARestartStartsAfreshAndNoFileIsWritten)
{
    Settings("[store]\nkeep = no\n");
    PlayASession();
    EXPECT_EQ(Say("Kell", "#rpg", ",rolls").size(), 1); // the history still serves while the bot runs
    Kill();
    Start();
    EXPECT_TRUE(bot->Seen().Users().isEmpty());
    EXPECT_TRUE(bot->Logs().All().isEmpty());
    EXPECT_TRUE(bot->Deck().Drawn().isEmpty());
    EXPECT_EQ(
        Say("Kell", "#rpg", ",rolls"), QStringList { "PRIVMSG Kell :Kell, I have no rolls by Kell here." });
    EXPECT_FALSE(QFile::exists(files.PathOf("tessarin.db")));
}

// A damaged file is said once and kept as it was under another name; the bot keeps its data in a new one.
TEST_F(KeptState, ADamagedFileIsSetAsideOnceAndANewOneKeepsTheData)
{
    const QByteArray junk = QByteArray("not a database ").repeated(300);
    files.Write("tessarin.db", junk);
    Start();
    const QString aside = files.PathOf("tessarin.db.damaged-" + QDate::currentDate().toString(Qt::ISODate));
    ASSERT_EQ(bot->Log().Lines().size(), 1);
    EXPECT_TRUE(bot->Log().Lines().at(0).startsWith("tessarin.db could not be used ("));
    EXPECT_TRUE(bot->Log().Lines().at(0).endsWith(
        "it is kept as it was under the name " + aside + ", and the bot starts a new one in its place."));
    EXPECT_EQ(Say("Alice", "#rpg", ",roll 1d1"), QStringList { "PRIVMSG #rpg :Alice: 1" });
    Kill();
    EXPECT_EQ(files.Read(QFileInfo(aside).fileName()), junk);
    Start();
    EXPECT_TRUE(bot->Rolls().Find(1).has_value());
}

// A roll number once said never names another roll: not after a crash lost the rolls of the last second,
// nor after every roll expired. A clean stop goes on from the last number said.
TEST_F(KeptState, ARollNumberOnceSaidNeverNamesAnotherRoll)
{
    Settings("[store]\nkeep = yes\nroll_days = 1\n");
    Start();
    Say("Alice", "#rpg", ",roll 1d1");
    Say("Alice", "#rpg", ",roll 1d1 never written"); // #2 is said, then the process dies
    bot.reset();
    out.Take();

    Start();
    Say("Alice", "#rpg", ",roll 1d1");
    EXPECT_EQ(bot->Rolls().LastNumber(), 1 + commands::RollHistory::NumbersReservedAhead);
    EXPECT_EQ(bot->Close(), QString());
    bot.reset();

    clock.Moment = clock.Moment.addDays(2);
    Start();
    Say("Alice", "#rpg", ",roll 1d1");
    EXPECT_EQ(bot->Rolls().LastNumber(), 2 + commands::RollHistory::NumbersReservedAhead);
}

TEST_F(KeptState, UsersNotSeenForTheConfiguredDaysAreForgottenAtStart)
{
    Settings("[store]\nkeep = yes\nseen_days = 2\n");
    Start();
    roster.Nicks["#rpg"] = QStringList { "Old", "Gone" };
    bot->OnChannelUpdate("#rpg", core::ChannelEvent::Other, QString());
    Kill();
    clock.Moment = clock.Moment.addDays(1);
    Start();
    Say("Gone", "#rpg", "still here"); // seen again, so kept
    bot->OnNickChange("Gone", "Back");
    Kill();
    clock.Moment = clock.Moment.addDays(2);
    Start();
    ASSERT_EQ(bot->Seen().Users().size(), 1);
    EXPECT_FALSE(bot->Seen().Find("Old"));
    EXPECT_EQ(bot->Seen().Find("back"), 0);
    // The renumbered users were written back whole: a further restart reads the same.
    Kill();
    Start();
    ASSERT_EQ(bot->Seen().Users().size(), 1);
    EXPECT_EQ(bot->Seen().Users().at(0).LaterNicks, QStringList { "Back" });
}

// A user moved to another id when those before him were forgotten keeps the time he was last seen, so he
// is forgotten in his turn.
TEST_F(KeptState, AUserMovedWhenOthersWereForgottenKeepsWhenHeWasLastSeen)
{
    Settings("[store]\nkeep = yes\nseen_days = 2\n");
    Start();
    roster.Nicks["#rpg"] = QStringList { "Old" };
    bot->OnChannelUpdate("#rpg", core::ChannelEvent::Other, QString());
    Kill();
    clock.Moment = clock.Moment.addDays(1);
    Start();
    roster.Nicks["#rpg"] = QStringList { "Mover" };
    bot->OnChannelUpdate("#rpg", core::ChannelEvent::Joined, "Mover");
    Kill();
    clock.Moment = clock.Moment.addSecs(36 * 3600); // Old is forgotten, Mover moves to his place
    Start();
    ASSERT_EQ(bot->Seen().Users().size(), 1);
    Kill();
    clock.Moment = clock.Moment.addDays(1); // two and a half days since Mover was seen
    Start();
    EXPECT_TRUE(bot->Seen().Users().isEmpty());
}

// The order in which channels were given settings outlives a restart: in the full table the least recently
// set gives way, not the first by name.
TEST_F(KeptState, AFullChannelSettingsTableGivesWayInTheOrderOfSettingAfterARestart)
{
    Settings("[store]\nkeep = yes\nchannel_settings = 3\n");
    Start();
    for (const char* channel : { "#a", "#b", "#c", "#a" })
        Say("Nick", QString(), QStringLiteral(",channel %1 set silent yes").arg(channel));
    Kill();
    Start();
    EXPECT_EQ(Say("Nick", QString(), ",channel #d set silent yes"),
        QStringList { "PRIVMSG Nick :#d: silent is yes now." });
    EXPECT_EQ(bot->State().PerChannel.All().keys(), QStringList({ "#a", "#c", "#d" }));
}

} // namespace
