// Strangers against the headless bot on a real ngircd, a network without services accounts: a user who
// takes the owner's nick and gives it back, a user called by the creator's nick, relays aimed at private
// users and lists of targets, questions about a secret channel. The owner keeps his rights through his own
// nick changes, and a banned user stays banned through hers. A ban catches the other spellings of a nick
// where the server takes them as one (InspIRCd comparing as rfc1459), and only there.

#include "core/settingsfiles.h"
#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::TempFiles;
using testing_support::TestIrcClient;

const QByteArray Denied = "You're not my daddy and I won't listen to you.";
const QByteArray AskChannel = "Where should I say that? Name the channel. Channel names start with \"#\".";

class TrustOnServer : public ::testing::Test {
protected:
    explicit TrustOnServer(std::unique_ptr<IrcDaemon> daemon)
        : server(std::move(daemon))
    {
    }

    std::unique_ptr<IrcDaemon> server;
    TempFiles files;
    HeadlessBot bot;

    void SetUp() override { ASSERT_TRUE(server->Start()) << server->Output().toStdString(); }

    // Starts the bot with Boss as its owner, join reserved to the privileged, and the given ban list, and
    // waits until it is on #dice (and the other channels given), where the watcher sees what it says.
    void StartBot(TestIrcClient& watcher, const QByteArray& banned = {}, const QString& channels = "#dice")
    {
        core::BotState state;
        state.PrivilegedJoin = true;
        files.Write("settings.conf",
            (core::SettingsFileLines(state).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        files.Write("banned.conf", banned);
        ASSERT_TRUE(watcher.Register(server->Port(), "Watcher"));
        watcher.Send("JOIN #dice");
        ASSERT_TRUE(watcher.WaitForLine(" 366 Watcher #dice "));
        ASSERT_NO_FATAL_FAILURE(RestartBot(channels));
        ASSERT_TRUE(watcher.WaitForLine(":Tessarin!").has_value()) << bot.Lines().join('\n').toStdString();
    }

    // Starts the bot (again, on the files it left) and lets it join channels.
    void RestartBot(const QString& channels)
    {
        ASSERT_TRUE(bot.Start({ "--files", files.Path(), "--server",
            "127.0.0.1:" + QString::number(server->Port()), "--owner", "Boss", "--join", channels, "--set",
            "flood/line_interval=0", "--set", "flood/burst_lines=100" }));
    }

    // A user who registers (under the user name given, else his nick) and joins #dice.
    std::unique_ptr<TestIrcClient> Arrive(const QByteArray& nick, const QByteArray& userName = {})
    {
        auto user = std::make_unique<TestIrcClient>();
        if (!user->Register(server->Port(), nick, userName))
            return nullptr;
        user->Send("JOIN #dice");
        if (!user->WaitForLine(" 366 " + nick + " #dice "))
            return nullptr;
        return user;
    }

    static bool ChangeNick(TestIrcClient& user, const QByteArray& nick)
    {
        user.Send("NICK " + nick);
        return user.WaitForLine(" NICK :" + nick).has_value();
    }
};

class TrustOnNgircd : public TrustOnServer {
protected:
    TrustOnNgircd()
        : TrustOnServer(IrcDaemon::Ngircd())
    {
    }
};

TEST_F(TrustOnNgircd, TakingTheOwnersNickGainsNothingAndTheOwnerKeepsHisRightsThroughHisOwnChanges)
{
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher));
    const auto mallory = Arrive("Mallory");
    ASSERT_TRUE(mallory);

    // Before any change, as the owner's nick, and after giving it back.
    const QByteArray nicks[] = { "Mallory", "Boss", "Mallory" };
    for (const QByteArray& nick : nicks) {
        if (&nick != &nicks[0]) {
            ASSERT_TRUE(ChangeNick(*mallory, nick));
        }
        mallory->Send("PRIVMSG #dice :,be dicerollan");
        EXPECT_TRUE(mallory->WaitForLine("PRIVMSG #dice :" + Denied).has_value()) << nick.data();
        mallory->Send("PRIVMSG #dice :,join #mine");
        EXPECT_TRUE(mallory->WaitForLine("PRIVMSG #dice :" + Denied).has_value()) << nick.data();
        mallory->Send("PRIVMSG Tessarin :,quit");
        EXPECT_TRUE(
            mallory->WaitForLine("PRIVMSG " + nick + " :No. And I'm logging this, you know.").has_value())
            << nick.data();
    }
    // Out of the bot's sight under the taken nick: in private after a part, and back on the channel.
    ASSERT_TRUE(ChangeNick(*mallory, "Boss"));
    mallory->Send("PART #dice");
    ASSERT_TRUE(mallory->WaitForLine(" PART #dice"));
    mallory->Send("PRIVMSG Tessarin :,be dicerollan");
    EXPECT_TRUE(mallory->WaitForLine("PRIVMSG Boss :" + Denied).has_value());
    mallory->Send("JOIN #dice");
    ASSERT_TRUE(mallory->WaitForLine(" 366 Boss #dice "));
    mallory->Send("PRIVMSG #dice :,be dicerollan");
    EXPECT_TRUE(mallory->WaitForLine("PRIVMSG #dice :" + Denied).has_value());
    ASSERT_TRUE(ChangeNick(*mallory, "Mallory"));
    EXPECT_FALSE(bot.Lines().contains("Joining channel #mine, chief."));

    // The real owner connects later, and goes away under another nick.
    const auto boss = Arrive("Boss");
    ASSERT_TRUE(boss);
    boss->Send("PRIVMSG #dice :,be dicerollan");
    EXPECT_TRUE(boss->WaitForLine("PRIVMSG #dice :Yes, chief, I'll be your dicebot.").has_value());
    ASSERT_TRUE(ChangeNick(*boss, "Boss_afk"));
    boss->Send("PRIVMSG #dice :,join #mine");
    EXPECT_TRUE(boss->WaitForLine("PRIVMSG #dice :Joining channel #mine, chief.").has_value());
    boss->Send("PRIVMSG #dice :,quit");
    EXPECT_TRUE(
        boss->WaitForLine("PRIVMSG #dice :Oh let killing me be a burden on your conscience!").has_value());
    EXPECT_TRUE(watcher.WaitForLine(" QUIT ").has_value()) << "the bot leaves the server";
    bot.Finish();
}

// Once the owner has a hostmask, a user connected under his nick from elsewhere is nobody.
TEST_F(TrustOnNgircd, AnOwnersHostmaskClosesHisNick)
{
    files.Write("tessarin.ini", "[access]\nowner_hostmask = *!*@home.example\n");
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher));
    const auto boss = Arrive("Boss");
    ASSERT_TRUE(boss);
    boss->Send("PRIVMSG #dice :,be dicerollan");
    EXPECT_TRUE(boss->WaitForLine("PRIVMSG #dice :" + Denied).has_value());
    boss->Send("PRIVMSG Tessarin :,quit");
    EXPECT_TRUE(boss->WaitForLine("PRIVMSG Boss :No. And I'm logging this, you know.").has_value());
    EXPECT_EQ(bot.Finish(), 0);
}

TEST_F(TrustOnNgircd, TheCreatorsNickOpensNothingWithoutAccounts)
{
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher));
    const auto vaddox = Arrive("Vaddox");
    ASSERT_TRUE(vaddox);
    vaddox->Send("PRIVMSG #dice :,hello");
    EXPECT_TRUE(vaddox->WaitForLine("PRIVMSG #dice :Hello, Vaddox, good job creating me!").has_value());
    vaddox->Send("PRIVMSG #dice :,be dicerollan");
    EXPECT_TRUE(vaddox->WaitForLine("PRIVMSG #dice :" + Denied).has_value());
    vaddox->Send("PRIVMSG Tessarin :,join #mine");
    EXPECT_TRUE(vaddox->WaitForLine("PRIVMSG Vaddox :" + Denied).has_value());
    vaddox->Send("PRIVMSG #dice :,quit");
    EXPECT_TRUE(vaddox->WaitForLine("PRIVMSG Vaddox :No. And I'm logging this, you know.").has_value());
    EXPECT_EQ(bot.Finish(), 0) << "still connected until told to stop";
}

TEST_F(TrustOnNgircd, RelaysToPrivateUsersAndListsAreRefusedAndBansFollowNickChanges)
{
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher, "Troll\r\n"));
    const auto mallory = Arrive("Mallory");
    const auto victim = Arrive("Victim");
    const auto troll = Arrive("Troll");
    ASSERT_TRUE(mallory && victim && troll);

    for (const QByteArray line : { ",say #dice,Victim hello victim", ",say Victim hello victim" }) {
        mallory->Send("PRIVMSG #dice :" + line);
        // The victim is on #dice: a relay would have reached her before the refusal.
        EXPECT_TRUE(victim->WaitForLine("PRIVMSG #dice :" + AskChannel).has_value()) << line.data();
    }
    for (const QByteArray& received : victim->Lines)
        EXPECT_FALSE(received.contains("says:")) << received.data();

    mallory->Send("PRIVMSG #dice :,say #dice relayed");
    EXPECT_TRUE(victim->WaitForLine("PRIVMSG #dice :Mallory says: relayed").has_value())
        << "no lock-out was started by the refusals";

    ASSERT_TRUE(ChangeNick(*troll, "Gnome"));
    troll->Send("PRIVMSG #dice :,roll 1d6");
    EXPECT_TRUE(troll->WaitForLine("PRIVMSG Gnome :Silence, you funny fool! Lol banned.").has_value());
    EXPECT_EQ(bot.Finish(), 0);
}

// A ban stays with the banned user through his nick changes, and never lands on the user whose nick he
// took, nor on the real owner of a nick that somebody else carried through the banned one.
TEST_F(TrustOnNgircd, ABanStaysWithTheBannedUserAndNeverMovesToAnother)
{
    const QByteArray Silenced = "Silence, you funny fool! Lol banned.";
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher, "Troll\r\n"));
    const auto troll = Arrive("Troll");
    const auto kell = Arrive("Kell");
    ASSERT_TRUE(troll && kell);
    ASSERT_TRUE(ChangeNick(*kell, "Kell_away"));
    ASSERT_TRUE(ChangeNick(*troll, "Kell"));
    troll->Send("PRIVMSG #dice :,roll 1d6");
    EXPECT_TRUE(troll->WaitForLine("PRIVMSG Kell :" + Silenced).has_value());
    troll->Send("QUIT");
    ASSERT_TRUE(watcher.WaitForLine(" QUIT "));

    // Somebody takes the free banned nick, carries it on to Kell and quits.
    const auto mallory = Arrive("Mallory");
    ASSERT_TRUE(mallory);
    ASSERT_TRUE(ChangeNick(*mallory, "Troll"));
    ASSERT_TRUE(ChangeNick(*mallory, "Kell"));
    mallory->Send("QUIT");
    ASSERT_TRUE(watcher.WaitForLine(" QUIT ").has_value()) << "the watcher sees the second Kell quit";

    ASSERT_TRUE(ChangeNick(*kell, "Kell"));
    for (int run = 1; run <= 2; ++run) {
        kell->Send("PRIVMSG #dice :,roll 1d1");
        EXPECT_TRUE(kell->WaitForLine("PRIVMSG #dice :Kell: 1").has_value()) << "run " << run;
        if (run == 1) {
            EXPECT_EQ(bot.Finish(), 0);
            ASSERT_TRUE(kell->WaitForLine(" QUIT ").has_value());
            ASSERT_NO_FATAL_FAILURE(RestartBot("#dice"));
            ASSERT_TRUE(kell->WaitForLine(":Tessarin!").has_value());
        }
    }
    for (const QByteArray& received : kell->Lines)
        EXPECT_FALSE(received.contains(Silenced)) << received.data();
    EXPECT_EQ(bot.Finish(), 0);
}

// A data folder fresh from --init names no owner: a user called by the placeholder nick is nobody, and
// the log says so.
TEST_F(TrustOnNgircd, AFreshDataFolderHasNoOwnerUntilTheOperatorNamesOne)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral(TESSARIN_BINARY), { "--init", files.Path() }), 0);
    const auto nick = Arrive("Nick");
    ASSERT_TRUE(nick);
    ASSERT_TRUE(
        bot.Start({ "--files", files.Path(), "--server", "127.0.0.1:" + QString::number(server->Port()),
            "--join", "#dice", "--set", "flood/line_interval=0" }));
    ASSERT_TRUE(nick->WaitForLine(":Tessarin!").has_value()) << bot.Lines().join('\n').toStdString();
    nick->Send("PRIVMSG #dice :,be dicerollan");
    EXPECT_TRUE(nick->WaitForLine("PRIVMSG #dice :" + Denied).has_value());
    nick->Send("PRIVMSG Tessarin :,quit");
    EXPECT_TRUE(nick->WaitForLine("PRIVMSG Nick :No. And I'm logging this, you know.").has_value());
    EXPECT_EQ(bot.Finish(), 0);
    EXPECT_EQ(bot.Lines().filter("No owner is set").size(), 1) << bot.Lines().join('\n').toStdString();
}

// A secret channel: those the bot sees on it hear what the bot saw there, through a nick change and a
// restart; a stranger hears what he would of a channel the bot knows nothing of, and cannot relay into
// it, with the same refusal as for a channel the bot is not on.
TEST_F(TrustOnNgircd, ASecretChannelIsToldOnlyToThoseOnIt)
{
    const QByteArray Unheard = "I've heard the name, but I haven't seen this user around there.";
    const QByteArray NotThere = "I only relay to a channel where I can see you too.";
    const auto kell = Arrive("Kell");
    ASSERT_TRUE(kell);
    kell->Send("JOIN #hidden");
    ASSERT_TRUE(kell->WaitForLine(" 366 Kell #hidden "));
    kell->Send("MODE #hidden +s");
    ASSERT_TRUE(kell->WaitForLine(" MODE #hidden +s"));
    TestIrcClient vera;
    ASSERT_TRUE(vera.Register(server->Port(), "Vera"));
    vera.Send("JOIN #hidden");
    ASSERT_TRUE(vera.WaitForLine(" 366 Vera #hidden "));
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher, {}, "#dice,#hidden"));
    ASSERT_TRUE(vera.WaitForLine(":Tessarin!").has_value()) << "the bot is on #hidden";
    kell->Send("PRIVMSG #hidden :meet me at the docks");
    const auto mallory = Arrive("Mallory");
    ASSERT_TRUE(mallory);

    for (int run = 1; run <= 2; ++run) {
        // The stranger, on #dice only.
        mallory->Send("PRIVMSG #dice :,seen Kell #hidden");
        EXPECT_TRUE(mallory->WaitForLine("PRIVMSG Mallory :" + Unheard).has_value()) << "run " << run;
        mallory->Send("PRIVMSG #dice :,seen Kell around");
        EXPECT_TRUE(
            mallory->WaitForLine("PRIVMSG Mallory :Here are the channels I've seen user Kell on: #dice.")
                .has_value())
            << "run " << run;
        for (const QByteArray channel : { "#hidden", "#nowhere" }) {
            mallory->Send("PRIVMSG #dice :,say " + channel + " psst");
            EXPECT_TRUE(mallory->WaitForLine("PRIVMSG #dice :" + NotThere).has_value()) << channel.data();
        }

        // Vera, on #hidden only, asks privately under a new nick each run.
        const QByteArray asker = "Vera_" + QByteArray::number(run);
        ASSERT_TRUE(ChangeNick(vera, asker));
        vera.Send("PRIVMSG Tessarin :,seen Kell #hidden");
        EXPECT_TRUE(
            vera.WaitForLine("PRIVMSG " + asker + " :User Kell last connected to the channel #hidden at ")
                .has_value())
            << "run " << run;
        EXPECT_TRUE(
            vera.WaitForLine("PRIVMSG " + asker + " :User Kell last sent a message on channel #hidden at ")
                .has_value())
            << "run " << run;
        vera.Send("PRIVMSG Tessarin :,seen Kell around");
        const std::optional<QByteArray> around
            = vera.WaitForLine("PRIVMSG " + asker + " :Here are the channels I've seen user Kell on: ");
        ASSERT_TRUE(around.has_value());
        EXPECT_TRUE(around->contains("#hidden")) << around->data();

        if (run == 1) {
            vera.Send("PRIVMSG Tessarin :,say #hidden the coast is clear");
            EXPECT_TRUE(
                kell->WaitForLine("PRIVMSG #hidden :" + asker + " says: the coast is clear").has_value());
            // The store keeps what the bot saw, and that the channel is secret.
            EXPECT_EQ(bot.Finish(), 0);
            ASSERT_TRUE(vera.WaitForLine(" QUIT ").has_value());
            ASSERT_NO_FATAL_FAILURE(RestartBot("#dice,#hidden"));
            ASSERT_TRUE(vera.WaitForLine(":Tessarin!").has_value()) << "the bot is back on #hidden";
            ASSERT_TRUE(mallory->WaitForLine(" QUIT ").has_value());
            ASSERT_TRUE(mallory->WaitForLine(":Tessarin!").has_value()) << "and on #dice";
        }
    }
    for (const QByteArray& received : kell->Lines)
        EXPECT_FALSE(received.contains("Mallory says")) << received.data();
    EXPECT_EQ(bot.Finish(), 0);
}

struct ComparingServer {
    const char* Name;
    std::function<std::unique_ptr<IrcDaemon>()> Make;
    // Whether the server takes "troll{1}" for "Troll[1]".
    bool OneNick;
};

void PrintTo(const ComparingServer& server, std::ostream* out)
{
    *out << server.Name;
}

class BansOnAServer : public TrustOnServer, public ::testing::WithParamInterface<ComparingServer> {
protected:
    BansOnAServer()
        : TrustOnServer(GetParam().Make())
    {
    }
};

TEST_P(BansOnAServer, CatchTheSpellingsTheServerTakesAsTheBannedNick)
{
    TestIrcClient watcher;
    ASSERT_NO_FATAL_FAILURE(StartBot(watcher, "Troll[1]\r\n"));
    const auto troll = Arrive("troll{1}", "troll");
    ASSERT_TRUE(troll);
    troll->Send("PRIVMSG #dice :,roll 1d1");
    const QByteArray answer = GetParam().OneNick ? "PRIVMSG troll{1} :Silence, you funny fool! Lol banned."
                                                 : "PRIVMSG #dice :troll{1}: 1";
    EXPECT_TRUE(troll->WaitForLine(answer).has_value()) << bot.Lines().join('\n').toStdString();
    EXPECT_EQ(bot.Finish(), 0);
}

INSTANTIATE_TEST_SUITE_P(, BansOnAServer,
    ::testing::Values(
        ComparingServer { "InspircdRfc1459", [] { return IrcDaemon::UnthrottledInspircd(); }, true },
        ComparingServer { "InspircdAscii", [] { return IrcDaemon::UnthrottledInspircd("ascii"); }, false },
        ComparingServer { "Ngircd", [] { return IrcDaemon::Ngircd(); }, false }),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
