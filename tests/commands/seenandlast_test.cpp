#include "commands/lastcommand.h"
#include "core/seentracker.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using core::ChannelEvent;
using testing_support::WaitUntil;

const QString Now = QStringLiteral("It is now 10:15:02 07.12.26 for me, just so that you knew.");

class SeenCommand : public testing_support::BotFixture {
protected:
    void SetUp() override
    {
        Start();
        roster.Nicks["#rpg"] = { "Alice" };
    }
    void Join(const QString& channel, const QString& nick)
    {
        bot->OnChannelUpdate(channel, ChannelEvent::Joined, nick);
    }
};

TEST_F(SeenCommand, AnswersEveryFormPrivately)
{
    Join("#rpg", "Bob");
    bot->OnNickChange("Bob", "Robert");
    bot->OnNickChange("Robert", "Bobby");
    EXPECT_EQ(Say("Ann", "#rpg", ",seen bob names"),
        QStringList({ "PRIVMSG Ann :Here are the nicks I've seen this user using: Bob, Robert, Bobby." }));
    EXPECT_EQ(Say("Ann", "#rpg", ",seen robert around"),
        QStringList({ "PRIVMSG Ann :Here are the channels I've seen user robert on: #rpg." }));
    EXPECT_EQ(Say("Ann", "#rpg", ",seen anyone"),
        QStringList({ "PRIVMSG Ann :Users I've seen:  Alice; Bob(nicks:Robert,Bobby); that's it." }));
    EXPECT_EQ(Say("Ann", "#rpg", ",seen Zed"), QStringList({ "PRIVMSG Ann :Never heard of this user." }));
    EXPECT_EQ(Say("Ann", "#rpg", ",seen"), QStringList({ "PRIVMSG Ann :Never heard of this user." }));
    EXPECT_EQ(Say("Ann", QString(), ",seen Bob"),
        QStringList({ "PRIVMSG Ann :I've heard the name, but I haven't seen this user around there." }));
}

TEST_F(SeenCommand, AnyoneWithOneLaterNickShowsNoNickList)
{
    Join("#solo", "Bob"); // nobody else is on #solo
    bot->OnNickChange("Bob", "Robert");
    EXPECT_EQ(Say("Ann", QString(), ",seen anyone"),
        QStringList({ "PRIVMSG Ann :Users I've seen:  Bob; that's it." }));
}

TEST_F(SeenCommand, TellsWhenAUserCameLeftAndSpoke)
{
    Join("#rpg", "Bob");
    EXPECT_EQ(Say("Ann", "#rpg", ",seen Bob #rpg"),
        QStringList(
            { "PRIVMSG Ann :User Bob last connected to the channel #rpg at 10:15:02 07.12.26, and connected "
              "when I was on the channel.",
                "PRIVMSG Ann :" + Now }));

    Say("Bob", "#rpg", "hello all");
    bot->OnChannelUpdate("#rpg", ChannelEvent::Parted, "Bob");
    EXPECT_EQ(Say("Ann", "#rpg", ",seen Bob"),
        QStringList(
            { "PRIVMSG Ann :User Bob last connected to the channel #rpg at 10:15:02 07.12.26, and connected "
              "when I was on the channel.",
                "PRIVMSG Ann :User Bob last left the channel #rpg at 10:15:02 07.12.26 and left the channel "
                "when I was on it.",
                "PRIVMSG Ann :User Bob last sent a message on channel #rpg at 10:15:02 07.12.26",
                "PRIVMSG Ann :" + Now }));
    EXPECT_EQ(Say("Ann", "#rpg", ",seen alice"),
        QStringList({ "PRIVMSG Ann :User alice last connected to the channel #rpg at 10:15:02 07.12.26, and "
                      "was already "
                      "online when I indexed the channel.",
            "PRIVMSG Ann :" + Now }));
}

// Users still on a channel are noted as such only when the bot really sends the part request for it.
TEST_F(SeenCommand, APartCommandMarksEveryoneStillThereOnlyWhenTheBotLeaves)
{
    struct Case {
        const char* What;
        const char* Sender;
        const char* Line;
        bool PrivilegedPart;
        bool Silent;
        bool Connected;
        bool Marked;
    };
    const Case cases[] = {
        { "anybody may part", "Bob", ",part", false, false, true, true },
        { "addressed by nick", "Bob", "Tessarin, ,part", false, false, true, true },
        { "a refused part", "Bob", ",part", true, false, true, false },
        { "the owner's part", "Kell", ",part", true, false, true, true },
        { "a silent part names the nick", "Bob", ",part", false, true, true, false },
        { "a part that cannot go out", "Bob", ",part", false, false, false, false },
        { "not the bare command line", "Bob", ",part now", false, false, true, false },
    };
    const QStringList stillThere { " (was still online when I left the channel)." };
    // Each case starts with a bot that remembers nothing of the one before.
    files.Write("tessarin.ini", "[store]\nkeep = no\n");
    for (const Case& c : cases) {
        Start();
        out.Connected = true;
        bot->State().OwnerNick = "Kell";
        roster.Nicks["#rpg"] = { "Alice", "Bob", "Kell" };
        Join("#rpg", "Bob");
        bot->State().PrivilegedPart = c.PrivilegedPart;
        bot->State().Silent = c.Silent;
        out.Connected = c.Connected;
        bot->OnMessage(c.Sender, "#rpg", c.Line);
        out.Take();
        const core::TChatUser& alice = bot->Seen().Users().at(*bot->Seen().Find("Alice"));
        EXPECT_EQ(alice.LeaveNotes, c.Marked ? stillThere : QStringList({ QString() })) << c.What;
        out.Connected = true;
        EXPECT_EQ(Say("Ann", "#rpg", ",seen Alice #rpg").size(), c.Marked ? 3 : 2) << c.What;
    }
}

// Of a secret or private channel only those the bot sees there hear anything; anyone else gets the
// answer for a channel the bot knows nothing of. The bot remembers the channel's secrecy after leaving it.
TEST_F(SeenCommand, TellsOfASecretChannelOnlyThoseTheBotSeesThere)
{
    const QString Unheard = "I've heard the name, but I haven't seen this user around there.";
    const QString KellOnHidden = "User Kell last connected to the channel #hidden at 10:15:02 07.12.26, and "
                                 "was already online when I indexed the channel.";
    roster.Nicks["#hidden"] = { "Tessarin", "Kell", "Vera" };
    roster.Secret = { "#hidden" };
    bot->OnChannelUpdate("#hidden", ChannelEvent::Other, QString());
    Join("#rpg", "Kell");
    struct Case {
        const char* Asker;
        const char* Line;
        QString Answer;
    };
    const auto check = [this](const char* phase, std::initializer_list<Case> cases) {
        for (const Case& c : cases)
            EXPECT_EQ(
                Say(c.Asker, QString(), c.Line).value(0), "PRIVMSG " + QString(c.Asker) + " :" + c.Answer)
                << phase << ": " << c.Asker << " " << c.Line;
    };
    check("on the channel",
        {
            { "Vera", ",seen Kell #hidden", KellOnHidden },
            { "vera", ",seen Kell #hidden", KellOnHidden },
            { "Vera", ",seen Kell around", "Here are the channels I've seen user Kell on: #hidden, #rpg." },
            { "Mallory", ",seen Kell #hidden", Unheard },
            { "Mallory", ",seen Kell around", "Here are the channels I've seen user Kell on: #rpg." },
            { "Mallory", ",seen Kell #rpg",
                "User Kell last connected to the channel #rpg at 10:15:02 "
                "07.12.26, and connected when I was on the channel." },
        });
    EXPECT_EQ(Say("Mallory", "#hidden", ",seen Kell"), QStringList({ "PRIVMSG Mallory :" + Unheard }))
        << "asked as if in the channel";

    // The bot leaves both channels: the connection knows neither any more.
    roster.Nicks.remove("#hidden");
    roster.Nicks.remove("#rpg");
    roster.Secret.clear();
    check("after the bot left",
        {
            { "Vera", ",seen Kell #hidden", Unheard },
            { "Vera", ",seen Kell around", "Here are the channels I've seen user Kell on: #rpg." },
            { "Mallory", ",seen Kell #rpg",
                "User Kell last connected to the channel #rpg at 10:15:02 "
                "07.12.26, and connected when I was on the channel." },
        });

    // Back on the channel, which is public now.
    roster.Nicks["#hidden"] = { "Tessarin", "Kell" };
    bot->OnChannelUpdate("#hidden", ChannelEvent::Other, QString());
    check("made public", { { "Mallory", ",seen Kell #hidden", KellOnHidden } });
}

TEST_F(SeenCommand, PrivilegesFollowAWatchedNickChange)
{
    bot->State().PrivilegedUsers = { "Mira" };
    bot->State().PrivilegedHow = true;
    Join("#rpg", "Mira");
    // The connection renames its record of the user as it tells the bot of the change.
    roster.Users.Add("Mira")->Nick = "Mira_away";
    bot->OnNickChange("Mira", "Mira_away");
    EXPECT_EQ(Say("Mira_away", "#rpg", ",how").first().left(30), "PRIVMSG #rpg :I'm generally OK");
    EXPECT_EQ(Say("Mallory", "#rpg", ",how"),
        QStringList({ "PRIVMSG #rpg :You're not my daddy and I won't listen to you." }));
}

class LastCommand : public testing_support::BotFixture {
protected:
    void SetUp() override { Start(); }

    // Lets a replay run to its end and returns everything it sent.
    QStringList Replay(const QString& nick, const QString& channel, const QString& line)
    {
        bot->OnMessage(nick, channel, line);
        bot->Replay().ReplayTimer.setInterval(1);
        EXPECT_TRUE(WaitUntil([this] { return !bot->Replay().Running(); }));
        bot->State().LastLocked = false;
        bot->Locks().LastTimer.stop();
        return out.Take();
    }
};

TEST(LinesToReplay, PicksTheRangeTheParameterAsks)
{
    const QStringList log { "#rpg", "header", "<a> 1", "<a> 2", "<a> 3", "<a> 4", "<a> 5", "<a> 6" };
    const QStringList all { "header", "<a> 1", "<a> 2", "<a> 3", "<a> 4", "<a> 5", "<a> 6" };
    EXPECT_EQ(commands::LinesToReplay(log, ""), all);
    EXPECT_EQ(commands::LinesToReplay(log, "2"), QStringList({ "header", "<a> 5", "<a> 6" }));
    for (const char* everything : { "0", "-3", "abc", "8", "2 lines" })
        EXPECT_EQ(commands::LinesToReplay(log, everything), all) << everything;
    EXPECT_EQ(commands::LinesToReplay(log, "7"), QStringList({ "header" }) + all); // the header twice
}

TEST_F(LastCommand, ReplaysTheChannelPrivatelyAndLocksItself)
{
    for (int i = 1; i <= 150; ++i)
        Say("Bob", "#rpg", QString::number(i));
    const QStringList all = Replay("Ann", "#rpg", ",last");
    ASSERT_EQ(all.size(), 101); // the header and the last 100 lines, the command itself among them
    EXPECT_TRUE(all[0].startsWith("PRIVMSG Ann :Logging channel #rpg since 07.12.26 10:15:02(local)"));
    EXPECT_EQ(all[1], "PRIVMSG Ann :<Bob> 52");
    EXPECT_EQ(all.last(), "PRIVMSG Ann :<Ann> ,last");

    EXPECT_EQ(Replay("Ann", "#rpg", ",lastlines 5").mid(1),
        QStringList({ "PRIVMSG Ann :<Bob> 148", "PRIVMSG Ann :<Bob> 149", "PRIVMSG Ann :<Bob> 150",
            "PRIVMSG Ann :<Ann> ,last", "PRIVMSG Ann :<Ann> ,lastlines 5" }));
}

TEST_F(LastCommand, SpacesTheLinesAndRefusesASecondRequestMeanwhile)
{
    for (int i = 1; i <= 5; ++i)
        Say("Bob", "#rpg", QString::number(i));
    bot->OnMessage("Ann", "#rpg", ",last");
    EXPECT_EQ(out.Lines.size(), 2); // the header and the first line at once
    EXPECT_TRUE(bot->Replay().Running());
    EXPECT_EQ(bot->Replay().ReplayTimer.interval(), 100);
    EXPECT_EQ(bot->Locks().LastTimer.interval(), 120000);
    out.Take();

    EXPECT_EQ(Say("Cid", "#rpg", ",last"), QStringList({ "PRIVMSG Cid :Not so fast, Speedy Gonsalez!" }));
    ASSERT_TRUE(WaitUntil([this] { return !bot->Replay().Running(); }));
    EXPECT_EQ(out.Take().size(), 5); // the log as it stood when the replay began
    EXPECT_TRUE(bot->State().LastLocked);

    bot->Locks().LastTimer.start(1);
    ASSERT_TRUE(WaitUntil([this] { return !bot->State().LastLocked; }));
}

// A lock-out shorter than the replay: it must neither let a second request cut the replay off nor run out
// while the replay is still being sent.
TEST_F(LastCommand, ALongReplayRunsToItsEndAndTheLockOutFollowsIt)
{
    bot->State().LastTimeout = 300;
    bot->Locks().ApplyIntervals();
    for (int i = 1; i <= 15; ++i)
        Say("Bob", "#rpg", QString::number(i));
    bot->OnMessage("Alice", "#rpg", ",last");
    ASSERT_TRUE(WaitUntil([this] { return out.Lines.size() >= 7; })); // 0.6 s: the header and six lines
    EXPECT_FALSE(bot->Locks().LastTimer.isActive()) << "the lock-out waits for the replay's end";

    bot->OnMessage("Bob", "#rpg", ",last 4");
    ASSERT_TRUE(WaitUntil([this] { return !bot->Replay().Running(); }));
    const QStringList sent = out.Take();
    ASSERT_EQ(sent.size(), 18);
    EXPECT_EQ(sent.filter("PRIVMSG Bob :"), QStringList({ "PRIVMSG Bob :Not so fast, Speedy Gonsalez!" }));
    const QStringList alice = sent.filter("PRIVMSG Alice :");
    ASSERT_EQ(alice.size(), 17); // the header, the fifteen lines and the command itself
    EXPECT_EQ(alice[1], "PRIVMSG Alice :<Bob> 1");
    EXPECT_EQ(alice.last(), "PRIVMSG Alice :<Alice> ,last");

    EXPECT_TRUE(bot->Locks().LastTimer.isActive());
    EXPECT_EQ(Say("Cid", "#rpg", ",last"), QStringList({ "PRIVMSG Cid :Not so fast, Speedy Gonsalez!" }));
    ASSERT_TRUE(WaitUntil([this] { return !bot->State().LastLocked; }));
    EXPECT_EQ(Say("Cid", "#rpg", ",last 1").size(), 2);
}

TEST_F(LastCommand, PrivateAndSilentRequestsUseTheSendersOwnLog)
{
    EXPECT_EQ(Replay("Ann", "#rpg", ",last"),
        QStringList({ "PRIVMSG Ann :Logging channel #rpg since 07.12.26 10:15:02(local)",
            "PRIVMSG Ann :<Ann> ,last" }));
    EXPECT_EQ(Replay("Ann", QString(), ",last 1"),
        QStringList({ "PRIVMSG Ann :Logging channel Ann since 07.12.26 10:15:02(local)",
            "PRIVMSG Ann :<Ann> ,last 1" }));
    bot->State().Silent = true;
    EXPECT_EQ(Replay("Bob", "#rpg", ",last"), QStringList({ "PRIVMSG Bob :Sorry, I don't store PM logs." }));
    EXPECT_FALSE(bot->State().LastLocked);
}

// Where the network tells accounts, a private log is the account's: its user keeps it through a nick
// change, and whoever takes his nick without logged in to it replays only his own lines.
TEST_F(LastCommand, APrivateLogFollowsItsOwnersAccountAndNeverANickAlone)
{
    roster.Accounts = true;
    const irc::UserPtr kell = roster.Users.Add("Kell");
    kell->Account = "Kell";
    Say("Kell", QString(), ",gr d20 open the vault quietly");
    kell->Nick = "Kell_away";
    const irc::UserPtr mallory = roster.Users.Add("Kell");
    mallory->Account = "";
    EXPECT_EQ(Replay("Kell", QString(), ",last"),
        QStringList({ "PRIVMSG Kell :Logging channel Kell since 07.12.26 10:15:02(local)",
            "PRIVMSG Kell :<Kell> ,last" }));
    mallory->Account = "Mallory";
    EXPECT_EQ(Replay("Kell", QString(), ",last").mid(1), QStringList({ "PRIVMSG Kell :<Kell> ,last" }));
    EXPECT_EQ(Replay("Kell_away", QString(), ",last").mid(1),
        QStringList({ "PRIVMSG Kell_away :<Kell> ,gr d20 open the vault quietly",
            "PRIVMSG Kell_away :<Kell_away> ,last" }));
}

} // namespace
