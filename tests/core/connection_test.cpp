// The connection lifecycle against a scripted server: log lines, the channel list and favourites file,
// requester replies, notices, socket errors, the keep-alive, reconnecting, rejoining and giving up.

#include "core/connection.h"
#include "support/fakeircserver.h"
#include "support/fixedclock.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace {

using testing_support::FakeIrcServer;
using testing_support::RunEventsFor;
using testing_support::WaitFor;

const QString Stamp = QStringLiteral("10:15:02 07.12.26");
const QString GiveUpLine
    = QStringLiteral("Unable to reconnect to the server in the specified number of attempts.");

class ConnectionTest : public ::testing::Test {
protected:
    testing_support::TempFiles files;
    FakeIrcServer server;
    core::BotState state;
    core::CommandLog log;
    testing_support::FixedClock clock;
    irc::TIrcClient client;
    core::Connection connection { state, log, client, clock, files.Path() };
    int stopped = 0;
    const quint16 port = server.Port();

    void SetUp() override
    {
        state.ServerAddress = QStringLiteral("127.0.0.1");
        state.ServerPort = port;
        state.OwnerNick = QStringLiteral("Boss");
        state.ReconnectInterval = 30;
        state.ReconnectAttempts = 2;
        // Lines go out as they are sent; the pace has tests of its own.
        state.Extra.Connection.Pace.IntervalMs = 0;
        connection.ApplyReconnectSettings();
        connection.ChannelConenctTimer.setInterval(20);
        QObject::connect(&connection, &core::Connection::Stopped, [this] { ++stopped; });
    }

    QString Server() const { return "127.0.0.1:" + QString::number(port); }

    void ConnectAndRegister()
    {
        connection.Connect();
        ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
        server.Send(":irc.test 001 Tessarin :Welcome");
        ASSERT_TRUE(WaitFor([this] { return client.CurrentState() == irc::TIrcClient::State::Connected; }));
    }

    // Sends lines and waits for the PONG of a PING sent after them: by then they have been handled.
    void Feed(const QByteArray& lines)
    {
        server.Lines.clear();
        server.SendRaw(lines);
        server.Send("PING :fed");
        ASSERT_TRUE(server.WaitForLine("PONG :fed"));
        server.Lines.removeAll("PONG :fed");
    }

    bool WaitForLog(const QString& line, int count = 1)
    {
        return WaitFor([&] { return log.Lines().count(line) >= count; });
    }

    // The messages the server received for a target.
    QList<QByteArray> LinesTo(const QByteArray& target) const
    {
        QList<QByteArray> lines;
        for (const QByteArray& line : server.Lines) {
            if (line.startsWith("PRIVMSG " + target + " :"))
                lines.append(line);
        }
        return lines;
    }

    qsizetype KickWhileRepliesWait();
};

TEST_F(ConnectionTest, AConnectToAClosedPortIsLoggedAndLeavesTheBotIdle)
{
    server.Shutdown();
    connection.Connect();
    ASSERT_TRUE(WaitFor([this] { return stopped == 1; }));
    RunEventsFor(100);
    EXPECT_EQ(log.Lines(),
        QStringList({ "Connect command issued on " + Stamp + ".", "Unable to connect to " + Server() }));
    EXPECT_FALSE(connection.ReconnectTimer.isActive());
    EXPECT_FALSE(state.Connected);
}

TEST_F(ConnectionTest, KeepsTheChannelListAndTheFavouritesFile)
{
    state.LogLines = 7;
    ConnectAndRegister();
    EXPECT_EQ(
        log.Lines(), QStringList({ "Connect command issued on " + Stamp + ".", "Connected to " + Server() }));
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(state.LogLimit, 9);
    EXPECT_EQ(connection.AttemptsLeft(), 2);

    state.JoinRequester = QStringLiteral("Bob");
    Feed(":Tessarin!t@h JOIN #dice\r\n:Tessarin!t@h JOIN #rpg\r\n:Tessarin!t@h JOIN #dice\r\n");
    EXPECT_EQ(state.CurrentChannels, QStringList({ "#dice", "#rpg" }));
    EXPECT_EQ(files.Read("favorite_channels.conf"), "#dice\r\n#rpg\r\n");
    EXPECT_EQ(log.Lines().mid(2), QStringList({ "Joined #dice", "Joined #rpg", "Joined #dice" }));
    EXPECT_TRUE(state.JoinRequester.isEmpty());

    Feed(":Tessarin!t@h PART #dice\r\n:Bob!b@h KICK #rpg Tessarin :out\r\n");
    EXPECT_EQ(state.CurrentChannels, QStringList({ "#rpg" })) << "a kick keeps the channel";
    EXPECT_EQ(files.Read("favorite_channels.conf"), "#dice\r\n#rpg\r\n") << "only joins rewrite it";
    ASSERT_TRUE(server.WaitForLine("JOIN #rpg")) << "rejoined at once after the kick";
}

// The bot on #dice with 29 replies for it and three private ones waiting at the pace is kicked; returns
// how many replies reached #dice before the rejoin went out.
qsizetype ConnectionTest::KickWhileRepliesWait()
{
    state.Extra.Connection.Pace.IntervalMs = 100;
    ConnectAndRegister();
    Feed(":Tessarin!t@h JOIN #dice\r\n");
    for (int i = 0; i < 29; ++i)
        client.Say("#dice", "reply " + QString::number(i));
    for (int i = 0; i < 3; ++i)
        client.Say("Bob", "private " + QString::number(i));
    server.Send(":Bob!b@h KICK #dice Tessarin :out");
    if (!server.WaitForLine("JOIN #dice"))
        return -1;
    const qsizetype before = LinesTo("#dice").size();
    // Meanwhile the private replies go on, and no reply goes to a channel the bot is not on.
    EXPECT_TRUE(WaitFor([this] { return LinesTo("Bob").size() == 3; }));
    EXPECT_EQ(LinesTo("#dice").size(), before);
    return before;
}

TEST_F(ConnectionTest, AKickedBotRejoinsAheadOfWaitingRepliesWhichThenFollow)
{
    const qsizetype before = KickWhileRepliesWait();
    ASSERT_GE(before, 0);
    EXPECT_LE(before, 8) << "the rejoin waited behind the replies";
    server.Send(":Tessarin!t@h JOIN #dice");
    ASSERT_TRUE(WaitFor([this] { return LinesTo("#dice").size() == 29; }));
    EXPECT_EQ(LinesTo("#dice").last(), "PRIVMSG #dice :reply 28");
}

TEST_F(ConnectionTest, RepliesWaitingForARefusedRejoinAreDroppedAndLogged)
{
    const qsizetype before = KickWhileRepliesWait();
    ASSERT_GE(before, 0);
    server.Send(":irc.test 474 Tessarin #dice :Cannot join channel (+b)");
    const QString dropped
        = "Could not rejoin #dice: dropped " + QString::number(29 - before) + " lines waiting for it.";
    ASSERT_TRUE(WaitForLog(dropped));
    client.Say("Bob", "after");
    ASSERT_TRUE(server.WaitForLine("PRIVMSG Bob :after"));
    EXPECT_EQ(LinesTo("#dice").size(), before);
}

TEST_F(ConnectionTest, ServerErrorsTellEachRequesterOnce)
{
    ConnectAndRegister();
    state.JoinRequester = QStringLiteral("#dice");
    state.SayRequester = QStringLiteral("Bob");
    Feed(":irc.test 474 Tessarin #dice :Cannot join channel (+b)\r\n:irc.test 401 Tessarin Nobody :No such "
         "nick\r\n");
    RunEventsFor(50);
    EXPECT_EQ(server.Lines,
        QList<QByteArray>({ "PRIVMSG #dice :Can't do that, chief. I'm banned or something.",
            "PRIVMSG Bob :Somehow I can't transmit your message." }));
    EXPECT_TRUE(log.Lines().contains("Tessarin #dice :Cannot join channel (+b)"));
    EXPECT_TRUE(log.Lines().contains("Tessarin Nobody :No such nick"));
}

TEST_F(ConnectionTest, TellingRequestersWhileDisconnectedEnds)
{
    state.JoinRequester = QStringLiteral("#dice");
    state.SayRequester = QStringLiteral("Bob");
    EXPECT_FALSE(client.Say("#dice", "hello"));
    EXPECT_EQ(log.Lines(), QStringList(3, "Not connected to server."));
    EXPECT_TRUE(state.JoinRequester.isEmpty());
    EXPECT_TRUE(state.SayRequester.isEmpty());
}

TEST_F(ConnectionTest, OnlyTheServerCanSayTheBotIsNotConnected)
{
    ConnectAndRegister();
    Feed(":Bob!b@h NOTICE Tessarin :you are Not Connected To The Server, ha\r\n");
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(log.Lines().last(), "you are Not Connected To The Server, ha");

    server.Send(":irc.test NOTICE Tessarin :*** You are not connected to the server");
    ASSERT_TRUE(WaitForLog("Connected to " + Server(), 2));
    EXPECT_EQ(log.Lines().mid(3),
        QStringList({ "*** You are not connected to the server", "Disconnected from server.",
            "Attempted to connect on " + Stamp + ".", "Connected to " + Server() }));
}

TEST_F(ConnectionTest, ASocketErrorDisconnectsThenLogsAndReconnects)
{
    ConnectAndRegister();
    server.SendRaw(QByteArray(20000, 'x'));
    ASSERT_TRUE(WaitForLog("Connected to " + Server(), 2));
    EXPECT_EQ(log.Lines().mid(2),
        QStringList({ "Disconnected from server.", "Socket error!", "Line too long",
            "Attempted to connect on " + Stamp + ".", "Connected to " + Server() }));
}

TEST_F(ConnectionTest, TheKeepAliveMessagesTheBotItselfOnceWelcomed)
{
    connection.RedrawTimer.setInterval(20);
    connection.Connect();
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    RunEventsFor(200); // ten keep-alive ticks before the welcome
    EXPECT_EQ(server.Lines,
        QList<QByteArray>({ "CAP LS 302", "NICK Tessarin", "USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin" }));
    server.Send(":irc.test 001 Tessarin :Welcome");
    EXPECT_TRUE(server.WaitForLine("PRIVMSG Tessarin :Ping-pong"));
    server.Send(":irc.test 433 Tessarin Tessarin-Secundus :taken, but we are registered");
    server.Send(":Tessarin!t@h NICK Meowth");
    EXPECT_TRUE(server.WaitForLine("PRIVMSG Meowth :Ping-pong"));
}

TEST_F(ConnectionTest, ReconnectsAndRejoinsItsChannelsInOrder)
{
    // Something said for a channel between the welcome and the rejoin waits for the bot to be back on it.
    int registrations = 0;
    QObject::connect(&client, &irc::TIrcClient::OnRegistered, [this, &registrations] {
        if (++registrations == 2)
            client.Say("#a", "still counting");
    });
    ConnectAndRegister();
    Feed(":Tessarin!t@h JOIN #b\r\n:Tessarin!t@h JOIN #a\r\n");
    server.DropClient();
    ASSERT_TRUE(server.WaitForClient(2));
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    server.Send(":irc.test 001 Tessarin :Welcome back");
    ASSERT_TRUE(server.WaitForLine("JOIN #a"));
    EXPECT_EQ(server.Lines.mid(server.Lines.indexOf("JOIN #b")), QList<QByteArray>({ "JOIN #b", "JOIN #a" }));
    EXPECT_FALSE(server.Lines.contains("PRIVMSG #a :still counting"));
    EXPECT_EQ(log.Lines().mid(4),
        QStringList({ "Disconnected from server.", "Attempted to connect on " + Stamp + ".",
            "Connected to " + Server() }));
    EXPECT_EQ(connection.AttemptsLeft(), 1) << "the successful attempt counts";
    EXPECT_FALSE(connection.ReconnectTimer.isActive());

    server.Send(":Tessarin!t@h JOIN #b");
    Feed(":Tessarin!t@h JOIN #a\r\n");
    EXPECT_TRUE(server.Lines.contains("PRIVMSG #a :still counting"));
}

TEST_F(ConnectionTest, GivesUpAfterAttemptsPlusOneFailures)
{
    ConnectAndRegister();
    Feed(":Tessarin!t@h JOIN #dice\r\n");
    server.Shutdown();
    ASSERT_TRUE(WaitFor([this] { return stopped == 1; }));
    RunEventsFor(100);
    const QStringList attempt { "Attempted to connect on " + Stamp + ".",
        "Unable to connect to " + Server() };
    EXPECT_EQ(log.Lines().mid(3),
        QStringList({ "Disconnected from server." }) + attempt + attempt + attempt
            + QStringList({ GiveUpLine }));
    EXPECT_FALSE(state.AutoReconnect);
    EXPECT_TRUE(state.CurrentChannels.isEmpty());
    EXPECT_FALSE(connection.ReconnectTimer.isActive());
    EXPECT_EQ(connection.AttemptsLeft(), 2);
}

TEST_F(ConnectionTest, WithNoAttemptsALiveReconnectStaysAndAFailedOneGivesUp)
{
    state.ReconnectAttempts = 0;
    connection.ApplyReconnectSettings();
    ConnectAndRegister();
    server.Lines.clear();
    server.DropClient();
    ASSERT_TRUE(WaitForLog("Connected to " + Server(), 2));
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    server.Send(":irc.test 001 Tessarin :Welcome back");
    ASSERT_TRUE(WaitFor([this] { return client.CurrentState() == irc::TIrcClient::State::Connected; }));
    RunEventsFor(150);
    EXPECT_TRUE(state.Connected);
    EXPECT_TRUE(state.AutoReconnect);
    EXPECT_FALSE(log.Lines().contains(GiveUpLine));

    server.Shutdown();
    ASSERT_TRUE(WaitFor([this] { return stopped == 1; }));
    EXPECT_EQ(log.Lines().count("Unable to connect to " + Server()), 1);
    EXPECT_EQ(log.Lines().last(), GiveUpLine);
}

} // namespace
