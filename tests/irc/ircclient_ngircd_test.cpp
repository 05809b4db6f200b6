// The IRC client against a real ngircd, with a second client written here playing the other user.

#include "irc/ircclient.h"
#include "support/ngircd.h"
#include "support/qtprint.h"
#include "support/testircclient.h"

#include <gtest/gtest.h>

namespace {

using irc::TIrcClient;
using testing_support::Ngircd;
using testing_support::TestIrcClient;
using testing_support::WaitFor;

void Configure(TIrcClient& client, quint16 port)
{
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = port;
    client.SetNick(QStringLiteral("Tessarin"));
    client.Username = QStringLiteral("Tessarin");
    client.RealName = QStringLiteral("Tessarin");
}

TEST(IrcClientOnNgircd, AnswersTheServersPingAndTakesTheAlternativeNick)
{
    // The server pings every new client and lets it register only once it has answered.
    Ngircd server(true);
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient squatter;
    ASSERT_TRUE(squatter.Register(server.Port(), "Tessarin"));
    TestIrcClient bob;
    ASSERT_TRUE(bob.Register(server.Port(), "Bob"));
    bob.Send("JOIN #dice");
    ASSERT_TRUE(bob.WaitForLine(" 366 Bob #dice "));

    TIrcClient client;
    Configure(client, server.Port());
    int disconnects = 0;
    int pings = 0;
    QObject::connect(&client, &TIrcClient::OnDisconnected, [&] { ++disconnects; });
    QObject::connect(&client, &TIrcClient::OnPingPong, [&] { ++pings; });
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return client.CurrentState() == TIrcClient::State::Connected; }));
    EXPECT_EQ(client.Nick(), "Tessarin-Secundus");
    ASSERT_TRUE(client.Join("#dice"));
    ASSERT_TRUE(WaitFor([&] {
        const irc::ChannelPtr dice = client.Channels().Find("#dice");
        return dice && dice->Nicks().size() == 2;
    }));
    const irc::ChannelPtr dice = client.Channels().Find("#dice");
    EXPECT_TRUE(dice->IsOperator(dice->Names()[static_cast<std::size_t>(dice->IndexOf("Bob"))]))
        << "Bob opened it";

    EXPECT_EQ(pings, 1);
    EXPECT_EQ(disconnects, 0);
    ASSERT_TRUE(client.Say("#dice", "still here"));
    EXPECT_TRUE(bob.WaitForLine("PRIVMSG #dice :still here").has_value());
}

TEST(IrcClientOnNgircd, TakesItsNickBackWhenTheOldConnectionIsGone)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient oldConnection;
    ASSERT_TRUE(oldConnection.Register(server.Port(), "Tessarin"));

    TIrcClient client;
    Configure(client, server.Port());
    client.Settings.NickRetryIntervalMs = 100;
    QStringList status;
    QObject::connect(&client, &TIrcClient::OnStatus, [&](const QString& text) { status.append(text); });
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return client.CurrentState() == TIrcClient::State::Connected; }));
    EXPECT_EQ(client.Nick(), "Tessarin-Secundus");

    oldConnection.Send("QUIT :gone");
    ASSERT_TRUE(WaitFor([&] { return client.Nick() == "Tessarin"; }));
    EXPECT_EQ(status.last(), "Took back the nick Tessarin.");
    QStringList heard;
    QObject::connect(&client, &TIrcClient::OnMessage,
        [&](irc::TIrcUser*, irc::TIrcChannel*, const QString& text) { heard.append(text); });
    TestIrcClient bob;
    ASSERT_TRUE(bob.Register(server.Port(), "Bob"));
    bob.Send("PRIVMSG Tessarin :are you back?");
    EXPECT_TRUE(WaitFor([&] { return heard.contains("are you back?"); })) << "the server knows it so too";
}

TEST(IrcClientOnNgircd, GivesUpWhenBothNicksAreTaken)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient first;
    ASSERT_TRUE(first.Register(server.Port(), "Tessarin"));
    TestIrcClient second;
    ASSERT_TRUE(second.Register(server.Port(), "Tessarin-Secundus"));

    TIrcClient client;
    Configure(client, server.Port());
    QStringList errors;
    QObject::connect(&client, &TIrcClient::OnError,
        [&](irc::TIrcUser*, const QString& numeric, const QString&) { errors.append(numeric); });
    bool disconnected = false;
    QObject::connect(&client, &TIrcClient::OnDisconnected, [&] { disconnected = true; });
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return disconnected; }));
    EXPECT_EQ(errors, QStringList({ "433", "433" }));
}

} // namespace
