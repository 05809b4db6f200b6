// The connection settings of tessarin.ini, and the lifecycle with them against a scripted server: a
// server that never welcomes the bot uses up the reconnect attempts, the SASL outcome reaches the command
// log without the password, and the dead-connection check ends in a reconnect.

#include "core/connection.h"
#include "core/extrasettings.h"
#include "support/fakeircserver.h"
#include "support/fixedclock.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace {

using testing_support::FakeIrcServer;
using testing_support::WaitFor;

const QByteArray UserLine = "USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin";
const QString Stamp = QStringLiteral("10:15:02 07.12.26");

TEST(ConnectionSettings, AreReadFromTessarinIniWithDefaultsForWhatIsMissingOrWrong)
{
    testing_support::TempFiles files;
    EXPECT_TRUE(core::LoadExtraSettings(files.Path()).Problems.isEmpty()) << "no file, no problem";
    const core::ConnectionSettings defaults;
    EXPECT_FALSE(defaults.Tls);
    EXPECT_EQ(defaults.DeadAfterMs, 240000);
    EXPECT_EQ(defaults.BurstLines, 5);
    EXPECT_EQ(defaults.BurstBytes, 2048);
    EXPECT_EQ(defaults.LineIntervalMs, 1000);

    files.Write("tessarin.ini",
        "[help]\nhome_page=https://example.org\n"
        "[connection]\ntls=yes\ntls_fingerprint=AB:CD\nsasl_account=dicebot\n"
        "sasl_password=\"comma, semicolon; and all\"\nnickserv_password=hunter2\nconnect_timeout=2.5\n"
        "register_timeout=0\ndead_after=90\nping_timeout=abc\nsasl_passwort=oops\n"
        "[flood]\nburst_lines=8\nburst_bytes=4096\nline_interval=0.5\nqueue_per_user=1.5\n"
        "lines_per_message=3\nctcp_per_minute=0\n");
    const core::ExtraSettings settings = core::LoadExtraSettings(files.Path());
    const core::ConnectionSettings& c = settings.Connection;
    EXPECT_EQ(settings.HomePage, "https://example.org");
    EXPECT_TRUE(c.Tls);
    EXPECT_TRUE(c.TlsFingerprint.isEmpty());
    EXPECT_EQ(c.SaslAccount, "dicebot");
    EXPECT_EQ(c.SaslPassword, "comma, semicolon; and all");
    EXPECT_EQ(c.NickServPassword, "hunter2");
    EXPECT_EQ(c.ConnectTimeoutMs, 2500);
    EXPECT_EQ(c.RegisterTimeoutMs, 60000);
    EXPECT_EQ(c.DeadAfterMs, 90000);
    EXPECT_EQ(c.PingTimeoutMs, 60000);
    EXPECT_EQ(c.BurstLines, 8);
    EXPECT_EQ(c.BurstBytes, 4096);
    EXPECT_EQ(c.LineIntervalMs, 500);
    EXPECT_EQ(c.QueuePerUser, 40);
    EXPECT_EQ(c.LinesPerMessage, 3);
    EXPECT_EQ(c.CtcpPerMinute, 0);
    // In the order of the keys, as QSettings gives them.
    EXPECT_EQ(settings.Problems,
        QStringList(
            { "tessarin.ini: connection/ping_timeout is not a number of seconds from 0.1 to 3600; it keeps "
              "its default.",
                "tessarin.ini: connection/register_timeout is not a number of seconds from 0.1 to 3600; it "
                "keeps its "
                "default.",
                "tessarin.ini: connection/sasl_passwort is not a setting; it keeps its default.",
                "tessarin.ini: connection/tls_fingerprint is not a SHA-256 fingerprint (64 hex digits); it "
                "keeps its "
                "default.",
                "tessarin.ini: flood/queue_per_user is not a whole number from 1 to 10000; it keeps its "
                "default." }));
    for (const QString& problem : settings.Problems)
        EXPECT_FALSE(problem.contains("oops")) << "values are never repeated, a password could be one";
}

TEST(ConnectionSettings, EachKeyTakesItsValueAndRefusesNonsense)
{
    core::ConnectionSettings settings;
    for (const QString& key : core::ConnectionSettingKeys()) {
        if (key.contains("sasl") || key.contains("nickserv"))
            continue;
        EXPECT_FALSE(core::ApplyConnectionSetting(settings, key, QStringLiteral("nan")).isEmpty())
            << key.toStdString();
    }
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "connection/tls", "On"), QString());
    EXPECT_TRUE(settings.Tls);
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "flood/line_interval", "0"), QString());
    EXPECT_EQ(settings.LineIntervalMs, 0);
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "flood/burst_bytes", "100"),
        "is not a whole number from 512 to 65536");
    EXPECT_EQ(settings.BurstBytes, 2048);
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "connection/dead_after", "1e9"),
        "is not a number of seconds from 0.1 to 86400");
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "nope", "1"), "is not a setting");
    const QString fingerprint = QString(64, u'0');
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "connection/tls_fingerprint", fingerprint), QString());
    EXPECT_EQ(settings.TlsFingerprint, fingerprint);
}

class LifecycleTest : public ::testing::Test {
protected:
    testing_support::TempFiles files;
    FakeIrcServer server;
    core::BotState state;
    core::CommandLog log;
    testing_support::FixedClock clock;
    irc::TIrcClient client;
    core::Connection connection { state, log, client, clock, files.Path() };
    int stopped = 0;

    void SetUp() override
    {
        state.ServerAddress = QStringLiteral("127.0.0.1");
        state.ServerPort = server.Port();
        state.ReconnectInterval = 30;
        state.ReconnectAttempts = 1;
        state.Extra.Connection.LineIntervalMs = 0;
        connection.ApplyReconnectSettings();
        connection.ChannelConenctTimer.setInterval(20);
        QObject::connect(&connection, &core::Connection::Stopped, [this] { ++stopped; });
    }

    QString Server() const { return "127.0.0.1:" + QString::number(state.ServerPort); }
};

TEST_F(LifecycleTest, AServerThatAcceptsAndNeverAnswersUsesUpTheAttempts)
{
    state.Extra.Connection.RegisterTimeoutMs = 200;
    connection.Connect();
    ASSERT_TRUE(WaitFor([this] { return stopped == 1; }, 5000));
    const QStringList connection { "Connected to " + Server(), "Disconnected from server.", "Socket error!",
        "No welcome from the server within 0.2 seconds." };
    const QString attempt = "Attempted to connect on " + Stamp + ".";
    EXPECT_EQ(log.Lines(),
        QStringList({ "Connect command issued on " + Stamp + "." }) + connection + QStringList { attempt }
            + connection + QStringList { attempt } + connection
            + QStringList { "Unable to reconnect to the server in the specified number of attempts." });
    EXPECT_EQ(server.Accepted, 3);
    EXPECT_FALSE(state.AutoReconnect);
}

TEST_F(LifecycleTest, TheSaslOutcomeIsLoggedAndThePasswordNeverIs)
{
    state.Extra.Connection.SaslAccount = QStringLiteral("dicebot");
    state.Extra.Connection.SaslPassword = QStringLiteral("sesame");
    state.Extra.Connection.NickServPassword = QStringLiteral("open-sesame");
    connection.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test CAP * LS :sasl");
    ASSERT_TRUE(server.WaitForLine("CAP REQ :sasl"));
    server.Send(":irc.test CAP * ACK :sasl");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE PLAIN"));
    server.Send("AUTHENTICATE +");
    server.Send(":irc.test 904 Tessarin :SASL authentication failed");
    ASSERT_TRUE(server.WaitForLine("CAP END"));
    server.Send(":irc.test 001 Tessarin :Welcome");
    ASSERT_TRUE(server.WaitForLine("PRIVMSG NickServ :IDENTIFY open-sesame"));
    server.Send(":NickServ!s@services NOTICE Tessarin :Invalid password for Tessarin.");
    ASSERT_TRUE(WaitFor([this] { return log.Lines().contains("Invalid password for Tessarin."); }));
    EXPECT_TRUE(
        log.Lines().contains("SASL: logging in as dicebot failed (904 SASL authentication failed); check "
                             "sasl_account and sasl_password in tessarin.ini. Registering without "
                             "logging in."));
    EXPECT_TRUE(log.Lines().contains("Identifying to NickServ."));
    const QByteArray encoded = QByteArray("dicebot\0dicebot\0sesame", 23).toBase64();
    for (const QString& line : log.Lines()) {
        EXPECT_FALSE(line.contains("sesame")) << line.toStdString();
        EXPECT_FALSE(line.contains(QString::fromLatin1(encoded))) << line.toStdString();
    }
    EXPECT_TRUE(state.Connected);
}

TEST_F(LifecycleTest, ADeadConnectionIsFoundAndReplacedAndTheChannelsRejoined)
{
    state.Extra.Connection.DeadAfterMs = 150;
    state.Extra.Connection.PingTimeoutMs = 150;
    connection.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test 001 Tessarin :Welcome");
    server.Send(":Tessarin!t@h JOIN #dice");
    ASSERT_TRUE(WaitFor([this] { return state.CurrentChannels == QStringList { "#dice" }; }));
    // From here on the server says nothing and does not answer the ping.
    ASSERT_TRUE(server.WaitForLine("PING :irc.test"));
    ASSERT_TRUE(server.WaitForClient(2));
    const qsizetype reconnected = log.Lines().indexOf("Attempted to connect on " + Stamp + ".");
    ASSERT_GE(reconnected, 3);
    EXPECT_EQ(log.Lines().mid(reconnected - 3, 3),
        QStringList(
            { "Disconnected from server.", "Socket error!", "No answer from the server for 0.3 seconds." }));
    server.Lines.clear();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test 001 Tessarin :Welcome back");
    EXPECT_TRUE(server.WaitForLine("JOIN #dice"));
    EXPECT_EQ(connection.AttemptsLeft(), 0);
}

} // namespace
