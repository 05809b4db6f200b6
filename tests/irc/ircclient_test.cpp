// The IRC client against a scripted server: registration, nick fallback, PING and CTCP answers, channel
// tracking, line splitting, bad input and what goes out.

#include "irc/ircclient.h"
#include "irc/outgoing.h"
#include "support/fakeircserver.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using irc::TIrcClient;
using testing_support::FakeIrcServer;
using testing_support::RunEventsFor;
using testing_support::WaitFor;

// A literal with its NUL bytes.
template <std::size_t N> QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// Records the client's events as short texts, in the order they come.
class ClientTest : public ::testing::Test {
protected:
    FakeIrcServer server;
    TIrcClient client;
    QStringList events;

    void SetUp() override
    {
        client.Host = QStringLiteral("127.0.0.1");
        client.Port = server.Port();
        client.SetNick(QStringLiteral("Tessarin"));
        client.Username = QStringLiteral("Tessarin");
        client.RealName = QStringLiteral("Tessarin");
        // Lines go out as they are sent; the pace has tests of its own.
        client.Settings.Pace.IntervalMs = 0;
        const auto record = [this](const QString& text) { events.append(text); };
        QObject::connect(&client, &TIrcClient::OnConnected, [record] { record("connected"); });
        QObject::connect(&client, &TIrcClient::OnConnect, [record] { record("connect"); });
        QObject::connect(&client, &TIrcClient::OnDisconnected, [record] { record("disconnected"); });
        QObject::connect(&client, &TIrcClient::OnRegistered, [record] { record("registered"); });
        QObject::connect(&client, &TIrcClient::OnConnectFailed, [record] { record("connect failed"); });
        QObject::connect(&client, &TIrcClient::OnSocketError,
            [record](const QString& text) { record("socket error " + text); });
        QObject::connect(&client, &TIrcClient::OnMessage,
            [record](irc::TIrcUser* user, irc::TIrcChannel* channel, const QString& text) {
                record("message " + user->Nick + " " + (channel ? channel->Name : "-") + " " + text);
            });
        QObject::connect(&client, &TIrcClient::OnError,
            [record](irc::TIrcUser*, const QString& numeric, const QString& text) {
                record("error " + numeric + " " + text);
            });
        QObject::connect(&client, &TIrcClient::OnJoined,
            [this, record](irc::TIrcChannel* channel) { record("joined " + channel->Name); });
        QObject::connect(&client, &TIrcClient::OnParted,
            [record](irc::TIrcChannel* channel) { record("parted " + channel->Name); });
        QObject::connect(
            &client, &TIrcClient::OnKicked, [record](irc::TIrcUser* kicker, irc::TIrcChannel* channel) {
                record("kicked " + channel->Name + " by " + kicker->Nick + " " + kicker->Reason);
            });
        QObject::connect(
            &client, &TIrcClient::OnNames, [record](const irc::TIrcUsers*, irc::TIrcChannel* channel) {
                record("names " + (channel ? channel->Nicks().join(',') : "-"));
            });
        QObject::connect(&client, &TIrcClient::OnAction,
            [record](irc::TIrcUser* user, irc::TIrcChannel*, const QString& text) {
                record("action " + user->Nick + " " + text);
            });
    }

    // Connects and registers; the registration lines are taken off the server's record.
    void Register()
    {
        client.Connect();
        ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
        server.Send(":irc.test 001 Tessarin :Welcome");
        ASSERT_TRUE(WaitFor([this] { return client.CurrentState() == TIrcClient::State::Connected; }));
        server.Lines.clear();
        events.clear();
    }

    // Sends lines and then a PING, and waits for its PONG: everything before it has been handled.
    void Feed(const QByteArray& bytes)
    {
        static int round = 0;
        const QByteArray token = "sync" + QByteArray::number(++round);
        server.SendRaw(bytes);
        server.Send("PING :" + token);
        ASSERT_TRUE(server.WaitForLine("PONG :" + token));
        server.Lines.removeAll("PONG :" + token);
    }
};

TEST_F(ClientTest, RegistersAndBecomesConnectedOnTheWelcome)
{
    client.Password = QStringLiteral("secret");
    client.Connect();
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    EXPECT_EQ(server.Lines,
        QList<QByteArray>(
            { "CAP LS 302", "PASS secret", "NICK Tessarin", "USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin" }));
    EXPECT_EQ(client.CurrentState(), TIrcClient::State::Registering);
    server.Send(":irc.test 001 Tessarin :Welcome");
    ASSERT_TRUE(WaitFor([this] { return events.contains("registered"); }));
    EXPECT_EQ(events, QStringList({ "connected", "connect", "registered" }));
    EXPECT_EQ(client.ServerHost(), "irc.test");
}

TEST_F(ClientTest, FallsBackToTheAlternativeNickAndGivesUpAfterTheSecondRefusal)
{
    client.Connect();
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    server.Send(":irc.test 433 * Tessarin :Nickname already in use");
    ASSERT_TRUE(server.WaitForLine("NICK Tessarin-Secundus"));
    EXPECT_EQ(client.Nick(), "Tessarin-Secundus");
    server.Send(":irc.test 433 * Tessarin-Secundus :Nickname already in use");
    ASSERT_TRUE(WaitFor([this] { return events.contains("disconnected"); }));
    EXPECT_EQ(events,
        QStringList({ "connected", "connect", "error 433 * Tessarin :Nickname already in use",
            "error 433 * Tessarin-Secundus :Nickname already in use", "disconnected" }));
    EXPECT_EQ(client.Nick(), "Tessarin") << "disconnected, the configured nick again";
}

TEST_F(ClientTest, ANickSetWhileConnectingIsTheOneRegisteredAndReplaced)
{
    client.Connect();
    client.SetNick(QStringLiteral("Dicebot"));
    ASSERT_TRUE(server.WaitForLine("NICK Dicebot"));
    server.Send(":irc.test 433 * Dicebot :Nickname already in use");
    EXPECT_TRUE(server.WaitForLine("NICK Tessarin-Secundus"));
}

TEST_F(ClientTest, AnswersPingAndCtcpQueriesWithoutRaisingMessages)
{
    Register();
    Feed("PING :12345\r\n"
         ":Bob!b@h PRIVMSG Tessarin :\001VERSION\001\r\n"
         ":Bob!b@h PRIVMSG #dice :\001CLIENTINFO\001\r\n"
         ":Bob!b@h PRIVMSG Tessarin :\001PING 99 bottles\r\n"
         ":Bob!b@h PRIVMSG Tessarin :\001SOUND boing\001\r\n"
         ":Bob!b@h PRIVMSG Tessarin :\001ACTION waves\001\r\n");
    ASSERT_EQ(server.Lines.size(), 4);
    EXPECT_EQ(server.Lines[0], "PONG :12345");
    EXPECT_EQ(server.Lines[1], "NOTICE Bob :\001VERSION Tessarin 1.4.ALPHA\001");
    EXPECT_TRUE(server.Lines[2].startsWith("NOTICE Bob :\001CLIENTINFO Tessarin 1.4.ALPHA"))
        << server.Lines[2].data();
    EXPECT_EQ(server.Lines[3], "NOTICE Bob :\001PING 99 bottles\001");
    EXPECT_EQ(events, QStringList({ "action Bob waves" }));
}

// Each connection follows the mapping its server names, once: a server that has named none by the end of
// its greeting (or names one this program does not know) compares as ascii.
TEST_F(ClientTest, FollowsTheCaseMappingTheServerNames)
{
    using irc::CaseMapping;
    struct Case {
        QByteArray Greeting;
        CaseMapping Named;
    };
    const QByteArray features = ":irc.test 005 Tessarin CHANTYPES=# ";
    const QByteArray supported = " :are supported by this server\r\n";
    const QByteArray endOfMotd = ":irc.test 376 Tessarin :End of MOTD\r\n";
    const Case cases[] = {
        { features + "CASEMAPPING=rfc1459 NICKLEN=30" + supported + endOfMotd, CaseMapping::Rfc1459 },
        { features + "CASEMAPPING=rfc1459-strict" + supported + endOfMotd, CaseMapping::StrictRfc1459 },
        { features + "CASEMAPPING=ascii" + supported + endOfMotd, CaseMapping::Ascii },
        { features + "CASEMAPPING=rfc7613" + supported + endOfMotd, CaseMapping::Ascii },
        { features + "NICKLEN=30" + supported + endOfMotd, CaseMapping::Ascii },
        { ":irc.test 422 Tessarin :MOTD File is missing\r\n", CaseMapping::Ascii },
    };
    QList<CaseMapping> named;
    QObject::connect(
        &client, &TIrcClient::OnCaseMapping, [&named](CaseMapping mapping) { named.append(mapping); });
    for (const Case& c : cases) {
        // From a mapping other than the one to be named, so that following it is a change.
        irc::SetCurrentCaseMapping(c.Named == CaseMapping::Ascii ? CaseMapping::Rfc1459 : CaseMapping::Ascii);
        ASSERT_NO_FATAL_FAILURE(Register());
        named.clear();
        Feed(c.Greeting);
        EXPECT_EQ(named, QList<CaseMapping>({ c.Named })) << c.Greeting.data();
        EXPECT_EQ(irc::CurrentCaseMapping(), c.Named) << c.Greeting.data();
    }
}

TEST_F(ClientTest, TracksItsChannelsAndTellsChannelFromPrivateMessages)
{
    Register();
    Feed(":Tessarin!t@h JOIN :#dice\r\n"
         ":irc.test 353 Tessarin = #dice :Tessarin @Bob\r\n"
         ":irc.test 366 Tessarin #dice :End of NAMES list\r\n"
         ":Bob!b@h PRIVMSG #dice :hello there\r\n"
         ":Bob!b@h PRIVMSG Tessarin :psst\r\n"
         ":Bob!b@h PRIVMSG #elsewhere :far away\r\n"
         ":Ann!a@h JOIN #dice\r\n");
    EXPECT_EQ(server.Lines, QList<QByteArray>({ "MODE #dice " }));
    EXPECT_EQ(events,
        QStringList({ "joined #dice", "names Tessarin,Bob", "message Bob #dice hello there",
            "message Bob - psst", "message Bob - far away" }));
    EXPECT_EQ(client.Channels().Find("#DICE")->Nicks(), QStringList({ "Tessarin", "Bob", "Ann" }));

    events.clear();
    Feed(":Bob!b@h KICK #dice Tessarin :behave\r\n"
         ":Tessarin!t@h JOIN #dice\r\n"
         ":Tessarin!t@h PART #dice\r\n");
    EXPECT_EQ(events, QStringList({ "kicked #dice by Bob behave", "joined #dice", "parted #dice" }));
    EXPECT_EQ(client.Channels().Find("#dice"), nullptr);
    EXPECT_EQ(client.Users().Find("Bob"), nullptr) << "nobody holds Bob any more";
}

// Whether a channel is secret or private: perhaps, until the answer to the MODE the bot asks on joining
// tells the whole mode set; then from later mode changes, and from a names reply that marks the channel.
TEST_F(ClientTest, LearnsWhetherAChannelIsSecretFromModeRepliesModeChangesAndNames)
{
    Register();
    const struct {
        QByteArray Line;
        bool Secret;
        QString Modes;
    } table[] = {
        { ":Tessarin!t@h JOIN :#dice", true, "" },
        { ":irc.test 353 Tessarin = #dice :Tessarin @Bob", true, "" },
        { ":irc.test 324 Tessarin #dice +ntl 12", false, "nt" },
        { ":Bob!b@h MODE #dice +p", true, "ntp" },
        { ":irc.test 353 Tessarin = #dice :Tessarin @Bob", true, "ntp" },
        { ":Bob!b@h MODE #dice -p", false, "nt" },
        { ":irc.test 353 Tessarin @ #dice :Tessarin @Bob", true, "nts" },
        { ":Bob!b@h MODE #dice -s+k key", false, "nt" },
        { ":irc.test 353 Tessarin * #dice :Tessarin @Bob", true, "ntp" },
        { ":irc.test 324 Tessarin #dice +kn key", false, "n" },
        { ":irc.test 324 Tessarin #elsewhere +s", false, "n" },
    };
    for (const auto& row : table) {
        Feed(row.Line + "\r\n");
        EXPECT_EQ(client.MayBeSecret("#DICE"), row.Secret) << row.Line.data();
        EXPECT_EQ(client.Channels().Find("#dice")->Modes, row.Modes) << row.Line.data();
    }
    EXPECT_EQ(client.Channels().Find("#dice")->Limit, 0) << "the last mode reply set no limit";
    EXPECT_EQ(client.Channels().Find("#dice")->Key, "key");
    EXPECT_FALSE(client.MayBeSecret("#elsewhere")) << "a channel the bot is not on";
}

TEST_F(ClientTest, FollowsNickChangesOnlyWhenTheServerConfirmsThem)
{
    Register();
    client.SetNick(QStringLiteral("Meowth"));
    ASSERT_TRUE(server.WaitForLine("NICK Meowth"));
    EXPECT_EQ(client.Nick(), "Tessarin");
    Feed(":Tessarin!t@h NICK :Meowth\r\n:Bob!b@h PRIVMSG Meowth :hi\r\n");
    EXPECT_EQ(client.Nick(), "Meowth");
    EXPECT_EQ(events, QStringList({ "message Bob - hi" }));
}

TEST_F(ClientTest, ReadsLinesCutIntoPiecesAndSkipsEmptyOnes)
{
    Register();
    server.SendRaw(":Bob!b@h PRIVMSG Tessarin :hel");
    RunEventsFor(50);
    server.SendRaw("lo\r");
    RunEventsFor(50);
    Feed("\n\n\r\n:Bob!b@h PRIVMSG Tessarin :bare line end\n");
    EXPECT_EQ(events, QStringList({ "message Bob - hello", "message Bob - bare line end" }));
}

TEST_F(ClientTest, StaysConnectedThroughGarbage)
{
    Register();
    QByteArray many = ":Bob!b@h PRIVMSG Tessarin";
    for (int i = 0; i < 40; ++i)
        many += " p" + QByteArray::number(i);
    Feed(Bytes(":Bob!b@h PRIVMSG Tessarin :a\0b\r\n") + ":\r\n" + ":Bob!b@h\r\n" + ":irc.test 433\r\n"
        + ":irc.test 353\r\n" + ":irc.test 366\r\n" + ":irc.test 001\r\n" + many + "\r\n"
        + ":Bob!b@h PRIVMSG Tessarin :\xff\xfe\xe9t\xe9\r\n" + ":Bob!b@h PRIVMSG Tessarin :\001VERSION\r\n"
        + ":Bob!b@h PRIVMSG Tessarin :\001\r\n" + ":Bob!b@h KICK\r\n" + ":Bob!b@h MODE #x +oooo\r\n"
        + ":Bob!b@h NICK\r\n" + ":Bob!b@h JOIN\r\n" + "PING\r\n" + QByteArray(16384, 'x') + "\r\n");
    EXPECT_EQ(client.CurrentState(), TIrcClient::State::Connected);
    EXPECT_TRUE(events.contains(QStringLiteral("message Bob - a") + QChar(0) + "b"));
    EXPECT_TRUE(events.contains("message Bob - p0")) << "the text slot of the long line";
    EXPECT_TRUE(events.contains(QString::fromLatin1("message Bob - \xff\xfe\xe9t\xe9")));
    EXPECT_TRUE(server.Lines.contains("NOTICE Bob :\001VERSION Tessarin 1.4.ALPHA\001"));
    EXPECT_FALSE(events.contains("disconnected"));
}

TEST_F(ClientTest, ALineOverTheLimitEndsTheConnectionAsAnError)
{
    // A complete line one byte too long, and 100 KB without any line end.
    for (const QByteArray& bytes : { QByteArray(16385, 'x') + "\r\n", QByteArray(100 * 1024, 'x') }) {
        Register();
        server.SendRaw(bytes);
        ASSERT_TRUE(WaitFor([this] { return events.contains("disconnected"); }));
        EXPECT_EQ(events, QStringList({ "socket error Line too long", "disconnected" }));
    }
}

TEST_F(ClientTest, AServerThatHangsUpDisconnectsOnceAfterItsLastLines)
{
    Register();
    server.Send(":Bob!b@h PRIVMSG Tessarin :last words");
    server.DropClient();
    ASSERT_TRUE(WaitFor([this] { return events.contains("disconnected"); }));
    RunEventsFor(50);
    EXPECT_EQ(events, QStringList({ "message Bob - last words", "disconnected" }));
}

TEST_F(ClientTest, AHandlerThatDisconnectsDropsTheRestOfTheBuffer)
{
    Register();
    QObject::connect(&client, &TIrcClient::OnMessage, [this] { client.Disconnect(); });
    server.SendRaw(":Bob!b@h PRIVMSG Tessarin :one\r\n:Bob!b@h PRIVMSG Tessarin :two\r\n");
    ASSERT_TRUE(WaitFor([this] { return events.contains("disconnected"); }));
    RunEventsFor(50);
    EXPECT_EQ(events, QStringList({ "message Bob - one", "disconnected" }));
}

TEST_F(ClientTest, SendsCleanLinesThatFitWhenTheServerRelaysThem)
{
    Register();
    EXPECT_TRUE(client.Say("#dice", "hi\r\nQUIT :bye"));
    EXPECT_TRUE(client.Action("#dice", "bows\nJOIN #evil"));
    EXPECT_TRUE(client.Notice("Bob", QString::fromUtf8("a\0b", 3)));
    EXPECT_TRUE(client.Say("#dice", QString(2000, QChar(0x20AC))));
    EXPECT_TRUE(client.Join("#dice\r\nPRIVMSG #x :spam"));
    EXPECT_TRUE(client.Part("#dice"));
    ASSERT_TRUE(server.WaitForLine("PART #dice"));
    ASSERT_EQ(server.Lines.size(), 9);
    EXPECT_EQ(server.Lines[0], "PRIVMSG #dice :hi");
    EXPECT_EQ(server.Lines[1], "PRIVMSG #dice :\001ACTION bows\001");
    EXPECT_EQ(server.Lines[2], "NOTICE Bob :ab");
    // Until the bot has seen its own prefix, room is left for ":Tessarin!" with a 20-byte user name, "@",
    // a 63-byte host and a blank: 95 bytes, so 400 bytes of text (133 euro signs) follow the 15-byte head.
    QByteArray euros;
    for (int i = 3; i < 7; ++i) {
        const QByteArray& line = server.Lines[i];
        ASSERT_TRUE(line.startsWith("PRIVMSG #dice :")) << line.data();
        EXPECT_LE(line.size() + 2 + 95, 512);
        euros += line.mid(15);
    }
    EXPECT_EQ(server.Lines[3].size(), 15 + 399);
    EXPECT_TRUE(euros.endsWith(irc::CutMark)) << "four lines at most, the last marked";
    euros.chop(irc::CutMark.size());
    EXPECT_EQ(QString::fromUtf8(euros), QString(euros.size() / 3, QChar(0x20AC))) << "whole characters only";
    EXPECT_EQ(server.Lines[7], "JOIN #dice");
    for (const QByteArray& line : server.Lines) {
        EXPECT_LE(line.size() + 2, 512);
        EXPECT_FALSE(line.contains('\r') || line.contains('\n') || line.contains('\0'));
    }
}

TEST_F(ClientTest, SendingWhileDisconnectedWritesNothingAndReportsIt)
{
    EXPECT_FALSE(client.Say("#dice", "anyone?"));
    EXPECT_FALSE(client.Join("#dice"));
    EXPECT_EQ(events, QStringList({ "error  Not connected to server.", "error  Not connected to server." }));
    client.SetNick(QStringLiteral("Other"));
    EXPECT_EQ(client.Nick(), "Other") << "only stored";
    EXPECT_EQ(server.Accepted, 0);
}

TEST_F(ClientTest, AConnectThatNeverCompletesIsGivenUp)
{
    // A listener whose one-place queue is already full: further connects get no answer at all.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    QTcpSocket filler;
    filler.connectToHost(QHostAddress::LocalHost, ntohs(address.sin_port));
    ASSERT_TRUE(filler.waitForConnected(2000));

    client.Port = ntohs(address.sin_port);
    client.Settings.ConnectTimeoutMs = 300;
    client.Connect();
    EXPECT_TRUE(WaitFor([this] { return events.contains("connect failed"); }, 5000));
    EXPECT_EQ(client.CurrentState(), TIrcClient::State::Disconnected);
    ::close(listener);
}

} // namespace
