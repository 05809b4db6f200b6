// The IRC client's network behaviour against a scripted server: SASL through capability negotiation and
// the NickServ fallback, the dead-connection check and the registration time-out, the paced send queue as
// the client feeds it, rationed CTCP answers, and long messages split for the prefix the server adds.

#include "irc/ircclient.h"
#include "irc/outgoing.h"
#include "support/fakeircserver.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using irc::TIrcClient;
using testing_support::FakeIrcServer;
using testing_support::RunEventsFor;
using testing_support::WaitFor;

const QByteArray UserLine = "USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin";

class NetworkClientTest : public ::testing::Test {
protected:
    FakeIrcServer server;
    TIrcClient client;
    QStringList status;
    QStringList socketErrors;
    bool registered = false;
    bool disconnected = false;

    void SetUp() override
    {
        client.Host = QStringLiteral("127.0.0.1");
        client.Port = server.Port();
        client.SetNick(QStringLiteral("Tessarin"));
        client.Username = QStringLiteral("Tessarin");
        client.RealName = QStringLiteral("Tessarin");
        client.Settings.Pace.IntervalMs = 0;
        QObject::connect(
            &client, &TIrcClient::OnStatus, [this](const QString& text) { status.append(text); });
        QObject::connect(
            &client, &TIrcClient::OnSocketError, [this](const QString& text) { socketErrors.append(text); });
        QObject::connect(&client, &TIrcClient::OnRegistered, [this] { registered = true; });
        QObject::connect(&client, &TIrcClient::OnDisconnected, [this] { disconnected = true; });
    }

    void Welcome()
    {
        server.Send(":irc.test 001 Tessarin :Welcome");
        ASSERT_TRUE(WaitFor([this] { return registered; }));
    }

    // Lines the server received after the one given.
    QList<QByteArray> LinesAfter(const QByteArray& line) const
    {
        const qsizetype at = server.Lines.indexOf(line);
        return at < 0 ? QList<QByteArray>() : server.Lines.mid(at + 1);
    }

    void ExpectNoPasswordIn(const QStringList& texts, const QString& password)
    {
        for (const QString& text : texts)
            EXPECT_FALSE(text.contains(password)) << text.toStdString();
    }
};

TEST_F(NetworkClientTest, LogsInWithSaslPlainBeforeRegistering)
{
    const QString password = QStringLiteral("pa55:w\u00f6rd");
    client.Settings.SaslAccount = QStringLiteral("dicebot");
    client.Settings.SaslPassword = password;
    client.Settings.NickServPassword = QStringLiteral("not-needed");
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    EXPECT_EQ(server.Lines, QList<QByteArray>({ "CAP LS 302", "NICK Tessarin", UserLine }));

    // A list in two lines, the mechanisms given as the capability's value.
    server.Send(":irc.test CAP * LS * :multi-prefix away-notify");
    server.Send(":irc.test CAP * LS :sasl=EXTERNAL,PLAIN account-notify");
    ASSERT_TRUE(server.WaitForLine("CAP REQ :account-notify sasl"));
    server.Send(":irc.test CAP * ACK :account-notify sasl");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE PLAIN"));
    server.Send("AUTHENTICATE +");
    ASSERT_TRUE(WaitFor([this] { return LinesAfter("AUTHENTICATE PLAIN").size() == 1; }));
    const QByteArray answer = LinesAfter("AUTHENTICATE PLAIN").first();
    ASSERT_TRUE(answer.startsWith("AUTHENTICATE "));
    EXPECT_EQ(
        QByteArray::fromBase64(answer.mid(13)), QByteArray("dicebot\0dicebot\0", 16) + password.toUtf8());
    server.Send(":irc.test 900 Tessarin Tessarin!t@h dicebot :You are now logged in as dicebot");
    server.Send(":irc.test 903 Tessarin :SASL authentication successful");
    ASSERT_TRUE(server.WaitForLine("CAP END"));
    EXPECT_FALSE(registered) << "registration waits for CAP END";
    Welcome();
    RunEventsFor(50);
    EXPECT_EQ(LinesAfter("CAP END"), QList<QByteArray>()) << "logged in: no NickServ identify";
    EXPECT_EQ(status, QStringList({ "SASL: logged in as dicebot." }));
}

TEST_F(NetworkClientTest, AWrongPasswordIsLoggedAndTheBotRegistersAndIdentifiesAnyway)
{
    client.Settings.SaslAccount = QStringLiteral("dicebot");
    client.Settings.SaslPassword = QStringLiteral("wrong-horse");
    client.Settings.NickServPassword = QStringLiteral("battery staple");
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test CAP * LS :sasl");
    ASSERT_TRUE(server.WaitForLine("CAP REQ :sasl"));
    server.Send(":irc.test CAP Tessarin ACK :sasl");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE PLAIN"));
    server.Send("AUTHENTICATE +");
    server.Send(":irc.test 904 Tessarin :SASL authentication failed");
    ASSERT_TRUE(server.WaitForLine("CAP END"));
    Welcome();
    ASSERT_TRUE(server.WaitForLine("PRIVMSG NickServ :IDENTIFY battery staple"));
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0],
        "SASL: logging in as dicebot failed (904 SASL authentication failed); check sasl_account and "
        "sasl_password in tessarin.ini; registering without logging in.");
    EXPECT_EQ(status[1], "Identifying to NickServ.");
    ExpectNoPasswordIn(status, "wrong-horse");
    ExpectNoPasswordIn(status, "battery");
    EXPECT_EQ(client.CurrentState(), TIrcClient::State::Connected);
}

TEST_F(NetworkClientTest, ServersWithoutSaslPlainGetCapEndAndALogLine)
{
    const struct {
        QList<QByteArray> Answers;
        QString Status;
    } cases[] = {
        { { ":irc.test CAP * LS :multi-prefix" },
            "SASL: the server does not offer it; registering without logging in." },
        { { ":irc.test CAP * LS :sasl=EXTERNAL" },
            "SASL: the server offers only EXTERNAL, not PLAIN; registering without logging in." },
        { { ":irc.test CAP * LS :sasl", ":irc.test CAP * NAK :sasl" },
            "SASL: the server refused it; registering without logging in." },
    };
    client.Settings.SaslAccount = QStringLiteral("dicebot");
    client.Settings.SaslPassword = QStringLiteral("secret");
    for (const auto& c : cases) {
        server.Lines.clear();
        status.clear();
        registered = false;
        client.Connect();
        ASSERT_TRUE(server.WaitForLine(UserLine));
        for (const QByteArray& answer : c.Answers)
            server.Send(answer);
        ASSERT_TRUE(server.WaitForLine("CAP END")) << c.Status.toStdString();
        Welcome();
        EXPECT_EQ(status, QStringList({ c.Status }));
    }

    // A server that knows no CAP at all registers the bot on NICK and USER.
    server.Lines.clear();
    status.clear();
    registered = false;
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test 421 * CAP :Unknown command");
    Welcome();
    EXPECT_EQ(status,
        QStringList({ "SASL: the server does not negotiate capabilities; registering without logging in." }));
    EXPECT_FALSE(server.Lines.contains("CAP END"));
}

TEST_F(NetworkClientTest, LongCredentialsGoInPiecesOf400)
{
    // 16 bytes of account names and NULs and a 284-byte password: exactly 400 characters of base64, so an
    // empty piece follows.
    client.Settings.SaslAccount = QStringLiteral("dicebot");
    client.Settings.SaslPassword = QString(284, u'p');
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test CAP * LS :sasl");
    server.Send(":irc.test CAP * ACK :sasl");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE PLAIN"));
    server.Send("AUTHENTICATE +");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE +"));
    const QList<QByteArray> pieces = LinesAfter("AUTHENTICATE PLAIN");
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0].size(), 13 + 400);

    server.Lines.clear();
    client.Settings.SaslPassword = QString(300, u'p');
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test CAP * LS :sasl");
    server.Send(":irc.test CAP * ACK :sasl");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE PLAIN"));
    server.Send("AUTHENTICATE +");
    ASSERT_TRUE(WaitFor([this] { return LinesAfter("AUTHENTICATE PLAIN").size() == 2; }));
    RunEventsFor(50);
    const QList<QByteArray> more = LinesAfter("AUTHENTICATE PLAIN");
    ASSERT_EQ(more.size(), 2) << "no empty piece after a shorter last one";
    EXPECT_EQ(QByteArray::fromBase64(more[0].mid(13) + more[1].mid(13)),
        QByteArray("dicebot\0dicebot\0", 16) + QByteArray(300, 'p'));
}

TEST_F(NetworkClientTest, PingsASilentServerAndDropsAConnectionThatStaysSilent)
{
    // The answer may take long enough that no busy machine runs out of it while the test looks.
    client.Settings.IdleTimeoutMs = 200;
    client.Settings.PingTimeoutMs = 4000;
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    Welcome();
    ASSERT_TRUE(server.WaitForLine("PING :irc.test"));
    server.Send(":irc.test PONG irc.test :irc.test");
    ASSERT_TRUE(WaitFor([this] { return server.Lines.count("PING :irc.test") == 2; }))
        << "silent again: pinged again";
    EXPECT_FALSE(disconnected) << "the answer showed the connection alive";

    ASSERT_TRUE(WaitFor([this] { return disconnected; }));
    EXPECT_EQ(server.Lines.count("PING :irc.test"), 2) << "no third ping while waiting for the answer";
    EXPECT_EQ(socketErrors, QStringList({ "No answer from the server for 4.2 seconds." }));
}

TEST_F(NetworkClientTest, AServerThatNeverWelcomesTheBotIsGivenUp)
{
    client.Settings.RegisterTimeoutMs = 300;
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    server.Send(":irc.test NOTICE * :*** Looking up your hostname...");
    ASSERT_TRUE(WaitFor([this] { return disconnected; }, 3000));
    EXPECT_EQ(socketErrors, QStringList({ "No welcome from the server within 0.3 seconds." }));
    EXPECT_FALSE(registered);
}

TEST_F(NetworkClientTest, RepliesGoOutAtThePaceTakingTurnsAndPongsGoFirst)
{
    client.Settings.Pace = { 1, 2048, 500, 40, 2000 };
    // Every message gets three lines of answer into the channel.
    QObject::connect(
        &client, &TIrcClient::OnMessage, [this](irc::TIrcUser* user, irc::TIrcChannel*, const QString&) {
            for (int i = 1; i <= 3; ++i)
                client.Say("#dice", user->Nick + ' ' + QString::number(i));
        });
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    Welcome();
    server.Lines.clear();
    // One burst line, then one every half second: the PING comes after six replies were queued, and its
    // answer goes out ahead of them all; the replies take turns.
    server.SendRaw(":Bob!b@h PRIVMSG #dice :,roll\r\n:Ann!a@h PRIVMSG #dice :,roll\r\nPING :now\r\n");
    ASSERT_TRUE(WaitFor([&] { return server.Lines.size() == 7; }));
    EXPECT_EQ(server.Lines,
        QList<QByteArray>(
            { "PONG :now", "PRIVMSG #dice :Bob 1", "PRIVMSG #dice :Ann 1", "PRIVMSG #dice :Bob 2",
                "PRIVMSG #dice :Ann 2", "PRIVMSG #dice :Bob 3", "PRIVMSG #dice :Ann 3" }));
}

TEST_F(NetworkClientTest, DropsTheOldestLinesOfAUserPastTheBoundAndSaysSo)
{
    client.Settings.Pace = { 1, 2048, 1000, 3, 2000 };
    QObject::connect(
        &client, &TIrcClient::OnMessage, [this](irc::TIrcUser* user, irc::TIrcChannel*, const QString& text) {
            client.Say(user->Nick, text);
        });
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    Welcome();
    QByteArray flood;
    for (int i = 0; i < 8; ++i)
        flood += ":Bob!b@h PRIVMSG Tessarin :" + QByteArray::number(i) + "\r\n";
    server.SendRaw(flood);
    ASSERT_TRUE(WaitFor([this] { return !status.isEmpty(); }));
    EXPECT_EQ(status, QStringList({ "Send queue full: dropped 5 waiting lines for Bob." }));
    EXPECT_EQ(client.WaitingLines(), 3);
}

// Registered under the alternative nick because the old connection still held the nick, the bot takes it
// back once it is free: told by MONITOR where the server offers it, else by asking every interval.
TEST_F(NetworkClientTest, TakesItsNickBackOnceItIsFree)
{
    struct Case {
        const char* What;
        QByteArray Features;
        bool Monitor;
    };
    const Case cases[] = {
        { "MONITOR", "CHANTYPES=# MONITOR=100 NICKLEN=30", true },
        { "no MONITOR", "CHANTYPES=# NICKLEN=30", false },
    };
    for (const Case& c : cases) {
        FakeIrcServer irc;
        TIrcClient bot;
        bot.Host = QStringLiteral("127.0.0.1");
        bot.Port = irc.Port();
        bot.SetNick(QStringLiteral("Tessarin"));
        bot.Settings.Pace.IntervalMs = 0;
        bot.Settings.NickRetryIntervalMs = 50;
        QStringList botStatus;
        QStringList errors;
        QObject::connect(&bot, &TIrcClient::OnStatus, [&](const QString& text) { botStatus.append(text); });
        QObject::connect(&bot, &TIrcClient::OnError,
            [&](irc::TIrcUser*, const QString& numeric, const QString&) { errors.append(numeric); });
        bot.Connect();
        ASSERT_TRUE(irc.WaitForLine("NICK Tessarin")) << c.What;
        irc.Send(":irc.test 433 * Tessarin :Nickname is already in use");
        ASSERT_TRUE(irc.WaitForLine("NICK Tessarin-Secundus")) << c.What;
        irc.SendRaw(":irc.test 001 Tessarin-Secundus :Welcome\r\n:irc.test 005 Tessarin-Secundus "
            + c.Features + " :are supported by this server\r\n");
        irc.Send(":Tessarin-Secundus!t@h JOIN #dice");
        ASSERT_TRUE(WaitFor([&] { return bot.Channels().Find("#dice") != nullptr; })) << c.What;
        EXPECT_EQ(botStatus,
            QStringList(
                { "The nick Tessarin is taken; registered as Tessarin-Secundus and waiting for Tessarin to "
                  "come free." }))
            << c.What;

        if (c.Monitor) {
            ASSERT_TRUE(irc.WaitForLine("MONITOR + Tessarin")) << c.What;
            irc.Send(":irc.test 730 Tessarin-Secundus :Tessarin!t@old.host");
            RunEventsFor(300); // six retry intervals
            EXPECT_EQ(irc.Lines.count("NICK Tessarin"), 1) << c.What << ": only the registration's";
            irc.Send(":irc.test 731 Tessarin-Secundus :Tessarin");
            ASSERT_TRUE(WaitFor([&] { return irc.Lines.count("NICK Tessarin") == 2; })) << c.What;
        } else {
            ASSERT_TRUE(WaitFor([&] { return irc.Lines.count("NICK Tessarin") == 2; })) << c.What;
            irc.Send(":irc.test 433 Tessarin-Secundus Tessarin :Nickname is already in use");
            ASSERT_TRUE(WaitFor([&] { return irc.Lines.count("NICK Tessarin") == 3; })) << c.What;
        }
        EXPECT_EQ(errors, QStringList({ "433" })) << c.What << ": a refused retry is no error";
        // Whatever the bot sends after the PONG it sent after the confirmation.
        irc.SendRaw(":Tessarin-Secundus!t@h NICK :Tessarin\r\nPING :back\r\n");
        ASSERT_TRUE(irc.WaitForLine("PONG :back")) << c.What;
        EXPECT_EQ(bot.Nick(), "Tessarin") << c.What;
        EXPECT_EQ(botStatus.last(), "Took back the nick Tessarin.") << c.What;
        RunEventsFor(200); // four retry intervals
        EXPECT_FALSE(irc.Lines.mid(irc.Lines.indexOf("PONG :back")).contains("NICK Tessarin"))
            << c.What << ": no more retries";
        EXPECT_EQ(irc.Lines.contains("MONITOR - Tessarin"), c.Monitor) << c.What;
    }
}

TEST_F(NetworkClientTest, RationsCtcpAnswersPerUser)
{
    int queries = 0;
    QObject::connect(&client, &TIrcClient::OnCTCPQuery, [&] { ++queries; });
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    Welcome();
    QByteArray flood;
    for (int i = 0; i < 6; ++i)
        flood += ":Bob!b@h PRIVMSG Tessarin :\001VERSION\001\r\n";
    flood += ":ann!a@h PRIVMSG Tessarin :\001PING 1\001\r\nPING :sync\r\n";
    server.SendRaw(flood);
    ASSERT_TRUE(server.WaitForLine("PONG :sync"));
    ASSERT_TRUE(server.WaitForLine("NOTICE ann :\001PING 1\001"));
    EXPECT_EQ(server.Lines.count("NOTICE Bob :\001VERSION Tessarin 1.4.ALPHA\001"), 3);
    EXPECT_EQ(queries, 7) << "the queries themselves are still raised";
}

TEST_F(NetworkClientTest, SplitsLongMessagesForThePrefixItHasSeen)
{
    client.Connect();
    ASSERT_TRUE(server.WaitForLine(UserLine));
    Welcome();
    server.Send(":Tessarin!~tess@dice.example JOIN #dice");
    ASSERT_TRUE(server.WaitForLine("MODE #dice "));
    ASSERT_TRUE(client.Say("#dice", QString(700, u'x')));
    const QByteArray prefix = ":Tessarin!~tess@dice.example ";
    const QByteArray head = "PRIVMSG #dice :";
    const qsizetype first = 512 - 2 - prefix.size() - head.size();
    ASSERT_TRUE(server.WaitForLine(head + QByteArray(700 - first, 'x')));
    EXPECT_EQ(server.Lines.at(server.Lines.size() - 2), head + QByteArray(first, 'x'))
        << "the first line fills what the relayed line may hold";
}

TEST(Fingerprints, ReadInTheUsualSpellingsAndWrittenWithColons)
{
    const QByteArray digest
        = QByteArray::fromHex("00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");
    const QString text = irc::FingerprintText(digest);
    EXPECT_EQ(text,
        "00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(irc::ParseFingerprint(text), digest);
    EXPECT_EQ(irc::ParseFingerprint(text.toLower().remove(':')), digest);
    EXPECT_EQ(irc::ParseFingerprint("sha256 Fingerprint=" + text), digest);
    EXPECT_TRUE(irc::ParseFingerprint(text.left(20)).isEmpty());
    EXPECT_TRUE(irc::ParseFingerprint(QString(64, u'g')).isEmpty());
    EXPECT_TRUE(irc::ParseFingerprint(QString()).isEmpty());
}

} // namespace
