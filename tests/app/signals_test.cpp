// The headless bot and the operator's signals, against a real ngircd: SIGHUP reads the edited lines of
// settings.conf, the phrases, user lists, tessarin.ini, custom files and aliases again; SIGTERM says QUIT
// with a message, then writes the files, keeping the operator's edits, and ends with 0.

#include "support/headlessbot.h"
#include "support/ngircd.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::Ngircd;
using testing_support::TempFiles;
using testing_support::TestIrcClient;

TEST(Signals, SighupTakesTheFilesAsTheyAreNowAndSigtermSaysQuitAndSaves)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server.Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(10000, 10));
    files.Write("banned.conf", "Tester\r\n");

    HeadlessBot bot;
    ASSERT_TRUE(bot.Start({ "--files", files.Path(), "--server",
        "127.0.0.1:" + QString::number(server.Port()), "--join", "#dice" }));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice"));
    tester.Send("PRIVMSG #dice :,mytable");
    ASSERT_TRUE(tester.WaitForLine("PRIVMSG Tester :Silence, you funny fool! Lol banned."));

    // The operator edits the server and the owner; the server given on the command line still wins for
    // this run.
    files.Write("settings.conf",
        "127.0.0.1\r\n6667\r\nTessarin\r\n#name\r\nTester\r\n0\r\n0\r\n0\r\n1\r\n1\r\n0\r\n"
        "10000\r\n60000\r\n120000\r\n0\r\n0\r\n0\r\n100\r\n500\r\n,\r\n10000\r\n10\r\n");
    files.Write("messages.conf", "Say what?\r\n");
    files.Write("banned.conf", "");
    files.Write("custom/mytable.txt", "the one entry\r\n");
    files.Write("aliases/greet.txt", ",mytable\r\n");
    files.Write("tessarin.ini", "[log]\nlevel=warning\n[flood]\nburst_lines=zero\n");
    ::kill(static_cast<pid_t>(bot.Pid()), SIGHUP);
    EXPECT_TRUE(
        bot.WaitForLine("tessarin.ini: flood/burst_lines is not a whole number from 1 to 100; it keeps its "
                        "default."));
    tester.Send("PRIVMSG #dice :,nosuchcommand");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :Say what?"));
    tester.Send("PRIVMSG #dice :,greet");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG #dice :the one entry"));
    EXPECT_TRUE(bot.Running()) << "SIGHUP no longer ends the program";

    EXPECT_EQ(bot.Finish(SIGTERM), 0);
    EXPECT_TRUE(tester.WaitForLine(" QUIT :").value_or("").startsWith(":Tessarin!"));
    const QString log = bot.Lines().join('\n');
    EXPECT_TRUE(
        log.contains("Read the files again on SIGHUP: 1 of 11 reply phrases from messages.conf, 0 "
                     "privileged nicks and 0 banned nicks, tessarin.ini (1 of its keys), 1 custom file, 1 "
                     "alias; settings.conf: edited ServerAddress, OwnerNick."))
        << log.toStdString();
    EXPECT_TRUE(log.contains("The server, port, nick and log size read from settings.conf take effect at the "
                             "next connect."));
    EXPECT_FALSE(log.contains("Commandword=greet")) << "the level taken on SIGHUP leaves command lines out";
    const QList<QByteArray> saved = files.Read("settings.conf").split('\n');
    ASSERT_GE(saved.size(), 22);
    EXPECT_EQ(saved[0], "127.0.0.1\r") << "the operator's edits are kept";
    EXPECT_EQ(saved[4], "Tester\r");
    EXPECT_EQ(saved[1], "6667\r") << "the command line's port is for the run only";
    EXPECT_TRUE(files.Read("messages.conf").startsWith("Say what?\r\nSilence, you funny fool!"));
}

TEST(Signals, TheQuitCarriesTheStopMessageAndWaitsForTheServerToClose)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server.Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    TempFiles files;
    HeadlessBot bot;
    ASSERT_TRUE(bot.Start({ "--files", files.Path(), "--server",
        "127.0.0.1:" + QString::number(server.Port()), "--join", "#dice" }));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice"));
    EXPECT_EQ(bot.Finish(SIGINT), 0);
    const std::optional<QByteArray> quit = tester.WaitForLine(" QUIT :");
    ASSERT_TRUE(quit.has_value());
    EXPECT_TRUE(quit->startsWith(":Tessarin!")) << quit->constData();
    EXPECT_TRUE(quit->contains("Stopped by the operator.")) << quit->constData();
    // The server closed the connection after the QUIT: the bot saw it go before writing its files.
    EXPECT_TRUE(bot.Lines().contains("Disconnected from server."));
    EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22);
}

// Started from a terminal, the bot ends with it (saving its files) unless it was started under nohup; a
// bot that must outlive its terminal is the service's. The terminal here is a pseudo-terminal the test
// opens and makes the bot's own (setsid --ctty), then closes as a terminal window would.
TEST(Signals, AClosedTerminalStopsTheBotUnlessItWasStartedUnderNohup)
{
    Ngircd server;
    ASSERT_TRUE(server.Start()) << server.Output().toStdString();
    for (const bool nohup : { false, true }) {
        SCOPED_TRACE(nohup ? "under nohup" : "plain");
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(terminal, 0);
        ASSERT_EQ(::grantpt(terminal), 0);
        ASSERT_EQ(::unlockpt(terminal), 0);
        TempFiles files;
        HeadlessBot bot;
        bot.SetInput(QString::fromLocal8Bit(::ptsname(terminal)));
        const QStringList wrapper
            = nohup ? QStringList { "setsid", "--ctty", "nohup" } : QStringList { "setsid", "--ctty" };
        ASSERT_TRUE(bot.Start(
            { "--files", files.Path(), "--server", "127.0.0.1:" + QString::number(server.Port()) }, wrapper));
        ASSERT_TRUE(bot.WaitForLineStarting("Connected to ").has_value());

        ::close(terminal);
        if (nohup) {
            EXPECT_TRUE(bot.WaitForLineStarting("Read the files again on SIGHUP").has_value());
            EXPECT_TRUE(bot.Running());
            EXPECT_EQ(bot.Finish(SIGTERM), 0);
        } else {
            EXPECT_EQ(bot.Finish(0), 0);
            EXPECT_TRUE(bot.Lines().contains(
                "The terminal the bot was started from has closed: stopping. A bot that must outlive its "
                "terminal runs as the service, or under nohup."))
                << bot.Lines().join('\n').toStdString();
            EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22) << "the files are written at the end";
        }
    }
}

} // namespace
