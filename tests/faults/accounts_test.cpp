// The headless bot on a network with services (InspIRCd linked to Anope): who is the owner is decided by
// the services account, whatever the nick; the creator's account opens nothing unless the operator allows it;
// a private log is its account's; the bot logs in itself with SASL PLAIN or with its client certificate
// (EXTERNAL), and with sasl_required it will not stay on the network without its login.

#include "core/settingsfiles.h"
#include "irc/ircclient.h"
#include "support/headlessbot.h"
#include "support/qtprint.h"
#include "support/servicesnetwork.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::RunEventsFor;
using testing_support::SelfSignedCertificate;
using testing_support::ServicesNetwork;
using testing_support::TempFiles;
using testing_support::TestIrcClient;
using testing_support::WaitFor;

const QByteArray Denied = "You're not my daddy and I won't listen to you.";
const QByteArray Obeyed = "Yes, chief, I'll be your dicebot.";

class AccountsOnServices : public ::testing::Test {
protected:
    SelfSignedCertificate certificate;
    std::unique_ptr<ServicesNetwork> network;
    TempFiles files;
    HeadlessBot bot;

    void StartNetwork(bool accountTag = true)
    {
        ASSERT_TRUE(certificate.Made()) << certificate.Error().toStdString();
        network = std::make_unique<ServicesNetwork>(certificate, accountTag);
        ASSERT_TRUE(network->Start()) << network->Problem().toStdString();
    }

    // Boss owns the bot; join is reserved to the privileged; a failed connection is retried after a
    // second, three times; log replays lock the command for lastTimeout ms.
    void WriteSettings(const QByteArray& ini = {}, int lastTimeout = core::BotState().LastTimeout)
    {
        core::BotState state;
        state.PrivilegedJoin = true;
        state.ReconnectInterval = 1000;
        state.ReconnectAttempts = 3;
        state.LastTimeout = lastTimeout;
        files.Write("settings.conf",
            (core::SettingsFileLines(state).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        files.Write("tessarin.ini", ini);
    }

    bool StartBot(quint16 port, const QStringList& options = {})
    {
        return bot.Start(QStringList { "--files", files.Path(), "--server",
                             "127.0.0.1:" + QString::number(port), "--owner", "Boss", "--join", "#dice",
                             "--set", "flood/line_interval=0", "--set", "flood/burst_lines=100" }
            + options);
    }

    std::unique_ptr<TestIrcClient> Arrive(const QByteArray& nick)
    {
        auto user = std::make_unique<TestIrcClient>();
        if (!user->Register(network->Port(), nick))
            return nullptr;
        user->Send("JOIN #dice");
        if (!user->WaitForLine(" 366 " + nick + " #dice "))
            return nullptr;
        return user;
    }

    static bool LogIn(TestIrcClient& user, const QByteArray& account, const QByteArray& password)
    {
        user.Send("PRIVMSG NickServ :IDENTIFY " + account + " " + password);
        return user.WaitForLine(" 900 ").has_value();
    }

    // Asks the bot privately for the asker's own private log, again while the lock-out of the replay
    // before lasts, and returns the lines of the replay: from its header to the request itself, which the
    // log holds too. Each request is told apart by a word the replay ignores. Empty when none came.
    static QList<QByteArray> ReplayOwnLog(TestIrcClient& user, const QByteArray& nick)
    {
        static int requests = 0;
        const QByteArray to = " PRIVMSG " + nick + " :";
        QList<QByteArray> replay;
        const QDeadlineTimer deadline(20000);
        for (int attempt = 0; attempt < 50 && replay.isEmpty() && !deadline.hasExpired(); ++attempt) {
            const QByteArray request = ",last request" + QByteArray::number(++requests);
            const qsizetype from = user.Lines.size();
            user.Send("PRIVMSG Tessarin :" + request);
            bool locked = false;
            WaitFor([&] {
                for (qsizetype i = from; i < user.Lines.size(); ++i) {
                    locked = user.Lines.at(i).endsWith(to + "Not so fast, Speedy Gonsalez!");
                    if (locked)
                        return true;
                    if (!user.Lines.at(i).endsWith(to + "<" + nick + "> " + request))
                        continue;
                    for (qsizetype j = from; j <= i; ++j) {
                        const qsizetype text = user.Lines.at(j).indexOf(to);
                        if (text >= 0)
                            replay.append(user.Lines.at(j).mid(text + to.size()));
                    }
                    return true;
                }
                return false;
            });
            // The lock-out is a millisecond long.
            if (locked)
                RunEventsFor(10);
        }
        return replay;
    }

    // Sends a command to #dice and waits for the bot's answer there.
    static bool Answers(TestIrcClient& user, const QByteArray& command, const QByteArray& answer)
    {
        user.Send("PRIVMSG #dice :" + command);
        return user.WaitForLine("PRIVMSG #dice :" + answer).has_value();
    }
};

TEST_F(AccountsOnServices, TheOwnersAccountCountsUnderAnyNickAndHisNickAloneDoesNot)
{
    ASSERT_NO_FATAL_FAILURE(StartNetwork());
    ASSERT_TRUE(network->RegisterAccount("Boss", "boss-secret"));
    ASSERT_TRUE(network->RegisterAccount("Vaddox", "maker-secret"));
    WriteSettings();
    const auto watcher = Arrive("Watcher");
    ASSERT_TRUE(watcher);
    ASSERT_TRUE(StartBot(network->Port()));
    ASSERT_TRUE(watcher->WaitForLine(":Tessarin!").has_value()) << bot.Lines().join('\n').toStdString();

    // The owner's nick, and the creator's, without their accounts.
    const auto mallory = Arrive("Boss");
    const auto stranger = Arrive("Vaddox");
    ASSERT_TRUE(mallory && stranger);
    EXPECT_TRUE(Answers(*mallory, ",be dicerollan", Denied));
    EXPECT_TRUE(Answers(*stranger, ",join #mine", Denied));

    // Logged in to the owner's account under another nick, through a nick change.
    const auto kell = Arrive("Kell");
    const auto maker = Arrive("Maker");
    ASSERT_TRUE(kell && maker);
    ASSERT_TRUE(LogIn(*kell, "Boss", "boss-secret"));
    EXPECT_TRUE(Answers(*kell, ",be dicerollan", Obeyed));
    kell->Send("NICK Kell_afk");
    ASSERT_TRUE(kell->WaitForLine(" NICK :Kell_afk"));
    EXPECT_TRUE(Answers(*kell, ",join #mine", "Joining channel #mine, chief."));
    // Anybody may register the creator's account where nobody has: his pass is off unless the operator
    // turns it on.
    ASSERT_TRUE(LogIn(*maker, "Vaddox", "maker-secret"));
    EXPECT_TRUE(Answers(*maker, ",join #made", Denied));
    EXPECT_EQ(bot.Finish(), 0);
    EXPECT_TRUE(
        bot.Lines().filter("The owner Boss is a bare nick on a network with services accounts").size() == 1)
        << bot.Lines().join('\n').toStdString();
}

// Without account tags the bot learns accounts from WHOX when it joins, from extended JOINs, from
// account-notify when somebody logs in later, and from WHOIS for who speaks to it from outside.
TEST_F(AccountsOnServices, WithoutAccountTagsEachWayOfTellingAccountsIsFollowed)
{
    ASSERT_NO_FATAL_FAILURE(StartNetwork(false));
    ASSERT_TRUE(network->RegisterAccount("Boss", "boss-secret"));
    ASSERT_TRUE(network->RegisterAccount("troll-acct", "troll-secret"));
    WriteSettings();
    files.Write("banned.conf", "$a:troll-acct\r\n");
    const auto early = Arrive("Early");
    ASSERT_TRUE(early);
    ASSERT_TRUE(LogIn(*early, "Boss", "boss-secret"));
    ASSERT_TRUE(StartBot(network->Port()));
    ASSERT_TRUE(early->WaitForLine(":Tessarin!").has_value()) << bot.Lines().join('\n').toStdString();
    // Told by WHOX. The bot asked on joining, before it read anything Early says: once it has answered
    // her, the accounts have come in.
    ASSERT_TRUE(Answers(*early, ",hello", "Hello, Early!"));
    EXPECT_TRUE(Answers(*early, ",be dicerollan", Obeyed));

    // Logged in before joining: told by the JOIN.
    auto late = std::make_unique<TestIrcClient>();
    ASSERT_TRUE(late->Register(network->Port(), "Late"));
    ASSERT_TRUE(LogIn(*late, "Boss", "boss-secret"));
    late->Send("JOIN #dice");
    ASSERT_TRUE(late->WaitForLine(" 366 Late #dice "));
    EXPECT_TRUE(Answers(*late, ",join #late", "Joining channel #late, chief."));

    // Logged in while on the channel: told by account-notify; and logged out again.
    const auto third = Arrive("Third");
    ASSERT_TRUE(third);
    EXPECT_TRUE(Answers(*third, ",join #third", Denied));
    ASSERT_TRUE(LogIn(*third, "Boss", "boss-secret"));
    EXPECT_TRUE(Answers(*third, ",join #third", "Joining channel #third, chief."));
    third->Send("PRIVMSG NickServ :LOGOUT");
    ASSERT_TRUE(third->WaitForLine(" 901 "));
    EXPECT_TRUE(Answers(*third, ",join #fourth", Denied));

    // From outside the bot's channels the account comes with nothing: the bot asks the server before it
    // answers. An account ban holds in private, and the owner's account opens the gates there too.
    TestIrcClient troll;
    ASSERT_TRUE(troll.Register(network->Port(), "Troll"));
    ASSERT_TRUE(LogIn(troll, "troll-acct", "troll-secret"));
    TestIrcClient outsider;
    ASSERT_TRUE(outsider.Register(network->Port(), "Outsider"));
    ASSERT_TRUE(LogIn(outsider, "Boss", "boss-secret"));
    for (int line = 0; line < 2; ++line) {
        troll.Send("PRIVMSG Tessarin :,hello");
        EXPECT_TRUE(troll.WaitForLine("PRIVMSG Troll :Silence, you funny fool! Lol banned.").has_value());
    }
    outsider.Send("PRIVMSG Tessarin :,be dicerollan");
    EXPECT_TRUE(outsider.WaitForLine("PRIVMSG Outsider :Yes, chief, I'll be your dicebot.").has_value());
    EXPECT_EQ(bot.Finish(), 0);
}

// A private conversation's log belongs to the account its user is logged in to: he replays it under
// another nick and after a restart, and whoever takes his nick without the account replays only what he
// said himself, never the comment of the secret roll.
TEST_F(AccountsOnServices, APrivateLogIsReplayedToItsAccountAndNeverToItsNickAlone)
{
    const QByteArray secret = "<Kell> ,gr d20 open the vault quietly";
    ASSERT_NO_FATAL_FAILURE(StartNetwork());
    ASSERT_TRUE(network->RegisterAccount("Kell", "kell-secret"));
    WriteSettings({}, 1);
    const auto watcher = Arrive("Watcher");
    ASSERT_TRUE(watcher);
    ASSERT_TRUE(StartBot(network->Port()));
    ASSERT_TRUE(watcher->WaitForLine(":Tessarin!").has_value()) << bot.Lines().join('\n').toStdString();

    const auto kell = Arrive("Kell");
    ASSERT_TRUE(kell);
    ASSERT_TRUE(LogIn(*kell, "Kell", "kell-secret"));
    kell->Send("PRIVMSG Tessarin :,gr d20 open the vault quietly");
    ASSERT_TRUE(kell->WaitForLine("PRIVMSG Kell :Kell, open the vault quietly: ").has_value());
    kell->Send("NICK Kell_away");
    ASSERT_TRUE(kell->WaitForLine(" NICK :Kell_away"));
    TestIrcClient mallory;
    ASSERT_TRUE(mallory.Register(network->Port(), "Kell"));

    for (int run = 1; run <= 2; ++run) {
        const QList<QByteArray> stolen = ReplayOwnLog(mallory, "Kell");
        ASSERT_FALSE(stolen.isEmpty()) << "run " << run;
        EXPECT_TRUE(stolen.first().startsWith("Logging channel Kell since ")) << stolen.first().data();
        // Her own requests only: no line of Kell's, the secret roll's comment least of all.
        for (const QByteArray& line : stolen.mid(1))
            EXPECT_TRUE(line.startsWith("<Kell> ,last request")) << "run " << run << ": " << line.data();
        const QList<QByteArray> own = ReplayOwnLog(*kell, "Kell_away");
        EXPECT_TRUE(own.contains(secret)) << "run " << run;

        if (run == 1) {
            // The store keeps the logs with their owners.
            EXPECT_EQ(bot.Finish(), 0);
            ASSERT_TRUE(watcher->WaitForLine(" QUIT "));
            ASSERT_TRUE(StartBot(network->Port()));
            ASSERT_TRUE(watcher->WaitForLine(":Tessarin!").has_value())
                << bot.Lines().join('\n').toStdString();
        }
    }
    EXPECT_EQ(bot.Finish(), 0);
}

TEST_F(AccountsOnServices, TheBotLogsInWithItsPasswordOrItsCertificate)
{
    ASSERT_NO_FATAL_FAILURE(StartNetwork());
    SelfSignedCertificate botCertificate;
    ASSERT_TRUE(botCertificate.Made());
    ASSERT_TRUE(network->RegisterAccount("dicebot", "dice-secret", &botCertificate));
    const auto watcher = Arrive("Watcher");
    ASSERT_TRUE(watcher);

    WriteSettings("[connection]\nsasl_account = dicebot\nsasl_password = dice-secret\n");
    ASSERT_TRUE(StartBot(network->Port()));
    EXPECT_TRUE(bot.WaitForLine("SASL: logged in as dicebot.")) << bot.Lines().join('\n').toStdString();
    ASSERT_TRUE(watcher->WaitForLine(":Tessarin!").has_value());
    EXPECT_EQ(bot.Finish(), 0);

    const QString fingerprint = irc::FingerprintText(certificate.Digest());
    WriteSettings(("[connection]\ntls = yes\ntls_fingerprint = " + fingerprint + "\nsasl_certificate = "
        + botCertificate.CertificatePath() + "\nsasl_key = " + botCertificate.KeyPath() + "\n")
                      .toUtf8());
    HeadlessBot secure;
    ASSERT_TRUE(secure.Start({ "--files", files.Path(), "--server",
        "127.0.0.1:" + QString::number(network->TlsPort()), "--owner", "Boss", "--join", "#dice" }));
    EXPECT_TRUE(secure.WaitForLine("SASL: logged in as dicebot.")) << secure.Lines().join('\n').toStdString();
    ASSERT_TRUE(watcher->WaitForLine(":Tessarin!").has_value());
    EXPECT_EQ(secure.Finish(), 0);
}

TEST_F(AccountsOnServices, ARequiredLoginThatFailsKeepsTheBotOffTheNetworkAndRetrying)
{
    ASSERT_NO_FATAL_FAILURE(StartNetwork());
    ASSERT_TRUE(network->RegisterAccount("dicebot", "dice-secret"));
    const auto watcher = Arrive("Watcher");
    ASSERT_TRUE(watcher);
    WriteSettings("[connection]\nsasl_account = dicebot\nsasl_password = wrong\nsasl_required = yes\n");
    ASSERT_TRUE(StartBot(network->Port()));

    const QString why = "SASL: logging in as dicebot failed (904 SASL authentication failed); check "
                        "sasl_account and sasl_password in tessarin.ini; sasl_required is set, so the bot "
                        "disconnects and tries again later.";
    // The first attempt and a reconnect a second later both end the same way.
    EXPECT_TRUE(bot.WaitForLine(why, 2, 20000)) << bot.Lines().join('\n').toStdString();
    EXPECT_TRUE(bot.Lines().contains("Disconnected: not logged in, and sasl_required is set."));
    for (const QByteArray& line : watcher->Lines)
        EXPECT_FALSE(line.contains(":Tessarin!")) << "the bot never joined: " << line.data();
    EXPECT_EQ(bot.Finish(), 0);
}

} // namespace
