// Secret and private rolls on real servers, tried as a curious player would: a stranger asks for others'
// luck, takes a roller's nick, or the nick of the owner or the game master, and learns nothing; the roller
// and the game master see what they should through nick changes and a restart. On InspIRCd linked to
// Anope identities are accounts; on ngircd they are nicks, followed forward through nick changes.

#include "core/settingsfiles.h"
#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/servicesnetwork.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <gtest/gtest.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::SelfSignedCertificate;
using testing_support::ServicesNetwork;
using testing_support::TempFiles;
using testing_support::TestIrcClient;

const QByteArray NobodyElse = "no game master is here to see that roll; only you saw it.";

class SecretRolls : public ::testing::Test {
protected:
    TempFiles files;
    std::unique_ptr<HeadlessBot> bot;
    quint16 port = 0;

    // The bot on #dice with the given owner (none: the placeholder of a new configuration) and
    // tessarin.ini, its store kept; it is on #dice once the watcher sees it come.
    void StartBot(TestIrcClient& watcher, const QByteArray& ini, const QString& owner = {})
    {
        if (files.Read("settings.conf").isEmpty()) {
            files.Write("settings.conf",
                (core::SettingsFileLines(core::BotState()).join(QStringLiteral("\r\n"))
                    + QStringLiteral("\r\n"))
                    .toUtf8());
            files.Write("tessarin.ini", "[store]\nkeep = yes\n" + ini);
        }
        QStringList arguments { "--files", files.Path(), "--server", "127.0.0.1:" + QString::number(port),
            "--join", "#dice", "--set", "flood/line_interval=0", "--set", "flood/burst_lines=100" };
        if (!owner.isEmpty())
            arguments << "--owner" << owner;
        bot = std::make_unique<HeadlessBot>();
        ASSERT_TRUE(bot->Start(arguments));
        ASSERT_TRUE(bot->WaitForLine("Joined #dice")) << bot->Lines().join('\n').toStdString();
        ASSERT_TRUE(watcher.WaitForLine(" JOIN ").has_value());
    }

    void Restart(TestIrcClient& watcher, const QString& owner = {})
    {
        ASSERT_EQ(bot->Finish(), 0);
        ASSERT_NO_FATAL_FAILURE(StartBot(watcher, {}, owner));
    }

    std::unique_ptr<TestIrcClient> Arrive(const QByteArray& nick)
    {
        auto user = std::make_unique<TestIrcClient>();
        if (!user->Register(port, nick))
            return nullptr;
        user->Send("JOIN #dice");
        if (!user->WaitForLine(" 366 " + nick + " #dice "))
            return nullptr;
        return user;
    }

    // Sends line to target and returns the bot's first answer to nick that holds answer.
    static std::optional<QByteArray> Ask(TestIrcClient& user, const QByteArray& nick,
        const QByteArray& target, const QByteArray& line, const QByteArray& answer)
    {
        user.Send("PRIVMSG " + target + " :" + line);
        return user.WaitForLine("PRIVMSG " + nick + " :" + answer);
    }

    static bool ChangeNick(TestIrcClient& user, const QByteArray& nick)
    {
        user.Send("NICK " + nick);
        return user.WaitForLine(" NICK :" + nick).has_value();
    }

    // Whether a user on #dice was told anything of the secret roll before the channel heard of it: the
    // bot says it to the game masters first, and the server keeps one client's lines in order.
    static bool HeardSecret(TestIrcClient& user, const QByteArray& roller, const QByteArray& comment)
    {
        EXPECT_TRUE(user.WaitForLine("PRIVMSG #dice :" + roller + " rolled in secret."));
        return std::any_of(user.Lines.cbegin(), user.Lines.cend(), [&](const QByteArray& line) {
            return line.contains(comment) && !line.contains(" PRIVMSG #dice :");
        });
    }
};

class SecretRollsOnServices : public SecretRolls {
protected:
    SelfSignedCertificate certificate;
    std::unique_ptr<ServicesNetwork> network;

    void StartNetwork()
    {
        ASSERT_TRUE(certificate.Made()) << certificate.Error().toStdString();
        network = std::make_unique<ServicesNetwork>(certificate, true);
        ASSERT_TRUE(network->Start()) << network->Problem().toStdString();
        port = network->Port();
        for (const QByteArray account : { "Kell", "Boss", "Vera" })
            ASSERT_TRUE(network->RegisterAccount(account, account.toLower() + "-secret"));
    }

    std::unique_ptr<TestIrcClient> ArriveLoggedIn(const QByteArray& nick, const QByteArray& account)
    {
        auto user = Arrive(nick);
        if (!user)
            return nullptr;
        user->Send("PRIVMSG NickServ :IDENTIFY " + account + " " + account.toLower() + "-secret");
        return user->WaitForLine(" 900 ") ? std::move(user) : nullptr;
    }
};

// The owner is known by his account alone: the placeholder nick on settings.conf's line 5 and the channel
// game master's nick are taken by strangers who are not logged in.
TEST_F(SecretRollsOnServices, NeitherANickNorThePlaceholderOpensASecret)
{
    ASSERT_NO_FATAL_FAILURE(StartNetwork());
    const auto carol = Arrive("Carol");
    ASSERT_TRUE(carol);
    ASSERT_NO_FATAL_FAILURE(StartBot(*carol, "[access]\nowner_account = Boss\n"));
    const auto kell = ArriveLoggedIn("Kell", "Kell");
    const auto gm = ArriveLoggedIn("Gm", "Boss");
    const auto placeholder = Arrive("Nick");
    ASSERT_TRUE(kell && gm && placeholder);

    // #1 public, #2 secret, #3 private.
    ASSERT_TRUE(Ask(*carol, "#dice", "#dice", ",r 1d1", "Carol: 1d1 [1] = "));
    const auto secret = Ask(*kell, "Kell", "#dice", ",gr d1000 sneak", "Kell, sneak: d1000 [");
    ASSERT_TRUE(secret);
    const QByteArray secretText = secret->mid(secret->indexOf(" :") + 2);
    EXPECT_TRUE(gm->WaitForLine("PRIVMSG Gm :Kell in #dice, sneak: d1000 ["));
    EXPECT_FALSE(HeardSecret(*placeholder, "Kell", "sneak"));
    ASSERT_TRUE(Ask(*kell, "Kell", "Tessarin", ",r d20 alone", "Kell, alone: d20 ["));

    // Someone else's luck counts his public rolls, and so does the line for all dice.
    ASSERT_TRUE(Ask(*carol, "Carol", "#dice", ",luck Kell", "Carol, Kell has rolled no dice yet."));
    const auto all = carol->WaitForLine("PRIVMSG Carol :All dice: ");
    ASSERT_TRUE(all);
    EXPECT_TRUE(all->endsWith(":All dice: d1: 1 die, mean 1.00 (fair 1.00), too few to tell."))
        << all->toStdString();

    // Kell steps away; a stranger takes his nick without his account.
    ASSERT_TRUE(ChangeNick(*kell, "Kell_away"));
    const auto mallory = Arrive("Kell");
    ASSERT_TRUE(mallory);
    EXPECT_TRUE(Ask(*mallory, "Kell", "Tessarin", ",rolls", "Kell, I have no rolls by Kell in private."));
    EXPECT_TRUE(Ask(*mallory, "Kell", "Tessarin", ",recall 2",
        "Kell, roll #2 was rolled in secret; only its roller and the game master can recall it."));
    EXPECT_TRUE(Ask(*mallory, "Kell", "Tessarin", ",recall 3",
        "Kell, roll #3 was made elsewhere; only its roller can recall it privately."));
    EXPECT_TRUE(Ask(*mallory, "Kell", "#dice", ",luck", "Kell, Kell has rolled no dice yet."));

    // The roller under his new nick and the game master still see it all, also after a restart.
    EXPECT_TRUE(Ask(*kell, "Kell_away", "Tessarin", ",recall 2", "#2 by Kell at "));
    EXPECT_TRUE(Ask(*gm, "Gm", "Tessarin", ",recall 2", "#2 by Kell at "));
    ASSERT_NO_FATAL_FAILURE(Restart(*carol));
    EXPECT_TRUE(Ask(*kell, "Kell_away", "Tessarin", ",rolls", "#3 "));
    EXPECT_TRUE(Ask(*kell, "Kell_away", "#dice", ",rolls", "#2 "));
    EXPECT_TRUE(Ask(*mallory, "Kell", "Tessarin", ",reveal 2", "Kell, only its roller and the game master"));
    gm->Send("PRIVMSG #dice :,reveal 2");
    EXPECT_TRUE(carol->WaitForLine("PRIVMSG #dice :Kell's secret roll #2: " + secretText));

    // The channel's game master named by nick is that nick's account: a stranger under the nick gets
    // nothing, and the roller is told that nobody else saw the roll.
    ASSERT_TRUE(Ask(*gm, "Gm", "#dice", ",channel set gm Vera", "#dice: gm is Vera now."));
    const auto vera = Arrive("Vera");
    ASSERT_TRUE(vera);
    EXPECT_TRUE(Ask(*kell, "Kell_away", "#dice", ",gr d1000 ambush", "Kell_away, ambush: d1000 ["));
    EXPECT_TRUE(kell->WaitForLine("PRIVMSG Kell_away :Kell_away, " + NobodyElse));
    EXPECT_FALSE(HeardSecret(*vera, "Kell_away", "ambush"));
    EXPECT_FALSE(HeardSecret(*gm, "Kell_away", "ambush"));
    EXPECT_EQ(bot->Finish(), 0);
}

class SecretRollsOnNgircd : public SecretRolls {
protected:
    std::unique_ptr<IrcDaemon> server = IrcDaemon::Ngircd();
};

// Without accounts the roller and the game master are nicks, followed forward through their changes; the
// store keeps the rolls across a restart.
TEST_F(SecretRollsOnNgircd, TheRollerAndTheGameMasterKeepTheirRollsThroughNickChangesAndARestart)
{
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    port = server->Port();
    const auto carol = Arrive("Carol");
    ASSERT_TRUE(carol);
    ASSERT_NO_FATAL_FAILURE(StartBot(*carol, "[dice]\ngame_master = Vera\n", "Boss"));
    const auto kell = Arrive("Kell");
    const auto vera = Arrive("Vera");
    const auto boss = Arrive("Boss");
    ASSERT_TRUE(kell && vera && boss);

    const auto secret = Ask(*kell, "Kell", "#dice", ",gr d1000 sneak", "Kell, sneak: d1000 [");
    ASSERT_TRUE(secret);
    EXPECT_TRUE(vera->WaitForLine("PRIVMSG Vera :Kell in #dice, sneak: d1000 ["));
    EXPECT_FALSE(HeardSecret(*boss, "Kell", "sneak")) << "a game master is set: the owner is not one";
    ASSERT_TRUE(Ask(*kell, "Kell", "Tessarin", ",r d20 alone", "Kell, alone: d20 ["));
    ASSERT_TRUE(Ask(*carol, "Carol", "#dice", ",luck Kell", "Carol, Kell has rolled no dice yet."));

    ASSERT_TRUE(ChangeNick(*kell, "Kell_away"));
    ASSERT_TRUE(ChangeNick(*vera, "Vera_away"));
    EXPECT_TRUE(Ask(*kell, "Kell_away", "Tessarin", ",recall 1", "#1 by Kell at "));
    EXPECT_TRUE(Ask(*kell, "Kell_away", "Tessarin", ",rolls", "#2 "));
    EXPECT_TRUE(Ask(*vera, "Vera_away", "Tessarin", ",recall 1", "#1 by Kell at "));
    EXPECT_TRUE(Ask(*carol, "Carol", "Tessarin", ",recall 1",
        "Carol, roll #1 was rolled in secret; only its roller and the game master can recall it."));

    // A nick is followed forward only: they come back to their nicks before the bot starts anew.
    ASSERT_TRUE(ChangeNick(*kell, "Kell"));
    ASSERT_TRUE(ChangeNick(*vera, "Vera"));
    ASSERT_NO_FATAL_FAILURE(Restart(*carol, "Boss"));
    EXPECT_TRUE(Ask(*kell, "Kell", "Tessarin", ",rolls", "#2 "));
    EXPECT_TRUE(Ask(*kell, "Kell", "#dice", ",rolls", "#1 "));
    vera->Send("PRIVMSG #dice :,reveal 1");
    EXPECT_TRUE(carol->WaitForLine(
        "PRIVMSG #dice :Kell's secret roll #1: " + secret->mid(secret->indexOf(" :") + 2)));
    EXPECT_EQ(bot->Finish(), 0);
}

} // namespace
