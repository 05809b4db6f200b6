// The connection lifecycle on a real ngircd: kicked and back at once, the server gone and back with the
// channels rejoined, and the give-up once the server stays away.

#include "core/connection.h"
#include "support/fixedclock.h"
#include "support/ngircd.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <gtest/gtest.h>

namespace {

using testing_support::TestIrcClient;
using testing_support::WaitFor;

TEST(ConnectionOnNgircd, RejoinsAfterAKickAndAfterTheServerComesBackThenGivesUp)
{
    testing_support::Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    testing_support::TempFiles files;
    core::BotState state;
    core::CommandLog log;
    testing_support::FixedClock clock;
    irc::TIrcClient client;
    core::Connection connection(state, log, client, clock, files.Path());
    state.ServerAddress = QStringLiteral("127.0.0.1");
    state.ServerPort = server.Port();
    state.ReconnectInterval = 100;
    state.ReconnectAttempts = 1000;
    connection.ApplyReconnectSettings();
    connection.ChannelConenctTimer.setInterval(50);
    const auto logged = [&log](const QString& line, int count) {
        return WaitFor([&] { return log.Lines().count(line) >= count; });
    };

    auto bob = std::make_unique<TestIrcClient>();
    ASSERT_TRUE(bob->Register(server.Port(), "Bob"));
    bob->Send("JOIN #dice");
    ASSERT_TRUE(bob->WaitForLine(" 366 Bob #dice "));

    connection.Connect();
    ASSERT_TRUE(WaitFor([&] { return client.CurrentState() == irc::TIrcClient::State::Connected; }));
    ASSERT_TRUE(client.Join("#dice"));
    ASSERT_TRUE(logged("Joined #dice", 1));
    ASSERT_TRUE(bob->WaitForLine(" JOIN :#dice"));

    bob->Send("KICK #dice Tessarin :out you go");
    ASSERT_TRUE(bob->WaitForLine(" JOIN :#dice")) << "back at once";
    ASSERT_TRUE(logged("Joined #dice", 2));
    EXPECT_EQ(state.CurrentChannels, QStringList({ "#dice" }));

    server.Stop();
    bob.reset();
    ASSERT_TRUE(logged("Disconnected from server.", 1));
    ASSERT_TRUE(WaitFor([&] {
        return log.Lines().count(
                   "Unable to connect to " + state.ServerAddress + ':' + QString::number(state.ServerPort))
            >= 2;
    }));
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    ASSERT_TRUE(logged("Joined #dice", 3)) << "rejoined once the server was back";
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(state.CurrentChannels, QStringList({ "#dice" }));

    state.ReconnectAttempts = 2;
    connection.ApplyReconnectSettings();
    const qsizetype before = log.Lines().size();
    server.Stop();
    const QString giveUp
        = QStringLiteral("Unable to reconnect to the server in the specified number of attempts.");
    ASSERT_TRUE(logged(giveUp, 1));
    const QStringList after = log.Lines().mid(before);
    EXPECT_TRUE(after.contains("Disconnected from server.")) << "after the server's farewell notice";
    EXPECT_EQ(after.last(), giveUp);
    EXPECT_EQ(after.filter("Attempted to connect on ").size(), 3);
    EXPECT_EQ(after.filter("Unable to connect to ").size(), 3);
    EXPECT_TRUE(state.CurrentChannels.isEmpty());
    EXPECT_FALSE(state.AutoReconnect);
}

} // namespace
