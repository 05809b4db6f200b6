// Runs the program in headless mode against a real ngircd, with a second client playing the user.

#include "support/ngircd.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <QProcess>
#include <QTcpServer>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using testing_support::Ngircd;
using testing_support::TempFiles;
using testing_support::TestIrcClient;
using testing_support::WaitFor;

const QByteArray Unknown = "I can't imagine what the hell you are babbling about.";

struct HeadlessRun {
    int ExitCode = -1;
    QStringList Out;
};

// Ends a headless run with a signal (none: waits for it to end by itself) and collects its output.
HeadlessRun Finish(QProcess& process, int signal)
{
    if (signal != 0)
        ::kill(static_cast<pid_t>(process.processId()), signal);
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    HeadlessRun run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return run;
}

// Waits until the program has printed a line count times, leaving its output to be read.
bool WaitForOutput(QProcess& process, const QByteArray& line, int count = 1)
{
    return WaitFor([&] { return process.peek(process.bytesAvailable()).count(line + '\n') >= count; });
}

void StartHeadless(QProcess& process, const QStringList& arguments)
{
    process.start(QStringLiteral(TESSARIN_BINARY), QStringList { "--headless" } + arguments);
    ASSERT_TRUE(process.waitForStarted(10000));
}

TEST(Headless, ServesAChannelOnARealServerAndSavesOnSigterm)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient squatter;
    ASSERT_TRUE(squatter.Register(server.Port(), "Tessarin"));
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server.Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    TempFiles files;
    files.Write("favorite_channels.conf", "#elsewhere\r\n");

    QProcess bot;
    const QString address = "127.0.0.1:" + QString::number(server.Port());
    StartHeadless(
        bot, { "--files", files.Path(), "--server", address, "--owner", "Tester", "--join", "#dice" });
    ASSERT_TRUE(tester.WaitForLine(":Tessarin-Secundus!").has_value()) << "the nick was taken";

    tester.Send("PRIVMSG #dice :,nosuchcommand");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :" + Unknown).has_value());
    tester.Send("PRIVMSG Tessarin-Secundus :,nosuchcommand either");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :" + Unknown).has_value());
    tester.Send("PRIVMSG Tessarin-Secundus :\001VERSION\001");
    EXPECT_TRUE(tester.WaitForLine("NOTICE Tester :\001VERSION Tessarin 1.4.ALPHA\001").has_value());
    tester.Send("KICK #dice Tessarin-Secundus :out");
    EXPECT_TRUE(tester.WaitForLine("JOIN :#dice").has_value()) << "back after the kick";
    EXPECT_TRUE(WaitForOutput(bot, "Joined #dice", 2));

    const HeadlessRun run = Finish(bot, SIGTERM);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Out.contains("Connected to " + address)) << run.Out.join('\n').toStdString();
    EXPECT_EQ(run.Out.count("Joined #dice"), 2);
    EXPECT_FALSE(run.Out.contains("Joined #elsewhere"));
    EXPECT_EQ(files.Read("favorite_channels.conf"), "#dice\r\n");
    const QList<QByteArray> settings = files.Read("settings.conf").split('\n');
    ASSERT_GE(settings.size(), 22);
    EXPECT_EQ(settings[0], "\r") << "the options were for this run only";
    EXPECT_EQ(settings[1], "6667\r");
    EXPECT_EQ(settings[4], "Nick\r");
}

TEST(Headless, SeesUsersComeChangeNickAndGoOnARealServer)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server.Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    TempFiles files;
    QProcess bot;
    StartHeadless(bot,
        { "--files", files.Path(), "--server", "127.0.0.1:" + QString::number(server.Port()), "--join",
            "#dice" });
    ASSERT_TRUE(tester.WaitForLine(":Tessarin!").has_value());
    ASSERT_TRUE(WaitForOutput(bot, "Joined #dice"));

    TestIrcClient walker;
    ASSERT_TRUE(walker.Register(server.Port(), "Walker"));
    walker.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(":Walker!").has_value());
    walker.Send("NICK Runner");
    walker.Send("PRIVMSG #dice :off I go");
    walker.Send("PART #dice");
    ASSERT_TRUE(tester.WaitForLine("PART #dice").has_value());

    tester.Send("PRIVMSG #dice :,seen walker names");
    EXPECT_TRUE(
        tester.WaitForLine("PRIVMSG Tester :Here are the nicks I've seen this user using: Walker, Runner.")
            .has_value());
    tester.Send("PRIVMSG #dice :,seen Runner");
    EXPECT_TRUE(tester.WaitForLine(" and left the channel when I was on it.").has_value());
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :User Runner last sent a message on channel #dice at ")
                    .has_value());
    tester.Send("PRIVMSG #dice :,seen Tester");
    EXPECT_TRUE(tester.WaitForLine("was already online when I indexed the channel.").has_value());
    EXPECT_EQ(Finish(bot, SIGTERM).ExitCode, 0);
}

TEST(Headless, JoinsTheFavouriteChannelsWithoutJoinAndSavesOnSigint)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server.Port(), "Tester"));
    tester.Send("JOIN #fav");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #fav "));
    TempFiles files;
    files.Write("favorite_channels.conf", "#fav\r\n");

    QProcess bot;
    StartHeadless(bot,
        { "--files", files.Path(), "--server", "127.0.0.1:" + QString::number(server.Port()), "--nick",
            "Dicebot" });
    EXPECT_TRUE(tester.WaitForLine(":Dicebot!").has_value());
    EXPECT_TRUE(WaitForOutput(bot, "Joined #fav"));
    const HeadlessRun run = Finish(bot, SIGINT);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Out.contains("Joined #fav")) << run.Out.join('\n').toStdString();
    EXPECT_EQ(files.Read("settings.conf").split('\n').value(2), "Tessarin\r");
}

TEST(Headless, EndsWithOneWhenTheServerCannotBeReached)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString address = "127.0.0.1:" + QString::number(probe.serverPort());
    probe.close();
    TempFiles files;
    QProcess bot;
    StartHeadless(bot, { "--files", files.Path(), "--server", address });
    const HeadlessRun run = Finish(bot, 0);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out.value(1), "Unable to connect to " + address);
    EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22) << "saved all the same";
}

TEST(Headless, RefusesAMalformedServerOption)
{
    for (const char* server : { "host:", "host:0", "host:70000", "host:port", "[::1", ":6667" }) {
        QProcess bot;
        StartHeadless(bot, { "--server", server });
        EXPECT_EQ(Finish(bot, 0).ExitCode, 2) << server;
    }
}

} // namespace
