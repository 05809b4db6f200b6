// The program in headless mode against servers that misbehave or go away: TLS with a self-signed
// certificate, SASL with the right and a wrong password, the server killed and started again, a server
// that accepts connections and never answers, one that stops answering while connected, garbage and a
// 100 KB line, and a data folder that cannot be written any more when the bot shuts down.

#include "irc/ircclient.h"
#include "support/fakeircserver.h"
#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <random>

namespace {

using testing_support::FakeIrcServer;
using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::TempFiles;
using testing_support::TestIrcClient;
using testing_support::WaitFor;

const QString GiveUp
    = QStringLiteral("Unable to reconnect to the server in the specified number of attempts.");

QString Address(quint16 port)
{
    return "127.0.0.1:" + QString::number(port);
}

TEST(Faults, ConnectionOptionsThatCannotBeTakenEndTheProgramAtOnce)
{
    for (const QStringList& options :
        { QStringList { "--set", "nope=1" }, QStringList { "--set", "flood/burst_lines" },
            QStringList { "--set", "flood/burst_lines=0" }, QStringList { "--tls-fingerprint", "12:34" } }) {
        HeadlessBot bot;
        ASSERT_TRUE(bot.Start(QStringList { "--server", "127.0.0.1:1" } + options));
        EXPECT_EQ(bot.Finish(0), 2) << options.join(' ').toStdString();
        EXPECT_TRUE(bot.Lines().isEmpty()) << "refused before the bot starts";
    }
}

TEST(Faults, TlsRefusesASelfSignedServerUntilItsFingerprintIsPinned)
{
    testing_support::SelfSignedCertificate certificate;
    ASSERT_TRUE(certificate.Made()) << certificate.Error().toStdString();
    const auto server = IrcDaemon::Ngircd(&certificate);
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    const QString fingerprint = irc::FingerprintText(certificate.Digest());
    TempFiles files;

    HeadlessBot refused;
    ASSERT_TRUE(refused.Start({ "--files", files.Path(), "--server", Address(server->TlsPort()), "--tls" }));
    EXPECT_EQ(refused.Finish(0), 1) << "a failed first connect ends the run";
    const QStringList lines = refused.Lines();
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[1].startsWith("TLS connection to " + Address(server->TlsPort()) + " failed: "));
    EXPECT_TRUE(lines[1].contains("self-signed"));
    EXPECT_TRUE(lines[1].endsWith(
        "SHA-256 fingerprint " + fingerprint + "; pin it with tls_fingerprint to trust it."))
        << lines[1].toStdString();
    EXPECT_EQ(lines[2], "Unable to connect to " + Address(server->TlsPort()));

    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server->Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    files.Write(
        "tessarin.ini", "[connection]\ntls = yes\ntls_fingerprint = " + fingerprint.toLatin1() + "\n");
    HeadlessBot pinned;
    ASSERT_TRUE(
        pinned.Start({ "--files", files.Path(), "--server", Address(server->TlsPort()), "--join", "#dice" }));
    ASSERT_TRUE(tester.WaitForLine(":Tessarin!").has_value()) << pinned.Lines().join('\n').toStdString();
    tester.Send("PRIVMSG #dice :,roll 1d6 secure");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG #dice :Tester, secure: ").has_value());
    EXPECT_EQ(pinned.Finish(), 0);
}

// Plays a server that checks the SASL password: it answers 903 when the credentials are right and 904
// otherwise, then welcomes the bot, and a user asks for a roll.
void PlaySaslServer(FakeIrcServer& server, const QByteArray& password, bool& accepted)
{
    ASSERT_TRUE(server.WaitForLine("CAP LS 302"));
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    server.Send(":irc.test CAP * LS :multi-prefix sasl=PLAIN");
    ASSERT_TRUE(server.WaitForLine("CAP REQ :sasl"));
    server.Send(":irc.test CAP * ACK :sasl");
    ASSERT_TRUE(server.WaitForLine("AUTHENTICATE PLAIN"));
    server.Send("AUTHENTICATE +");
    QByteArray credentials;
    ASSERT_TRUE(WaitFor([&] {
        for (const QByteArray& line : server.Lines) {
            if (line.startsWith("AUTHENTICATE ") && line != "AUTHENTICATE PLAIN")
                credentials = QByteArray::fromBase64(line.mid(13));
        }
        return !credentials.isEmpty();
    }));
    accepted = credentials == QByteArray("dicebot\0dicebot\0", 16) + password;
    if (accepted) {
        server.Send(":irc.test 900 Tessarin Tessarin!t@h dicebot :You are now logged in as dicebot");
        server.Send(":irc.test 903 Tessarin :SASL authentication successful");
    } else {
        server.Send(":irc.test 904 Tessarin :SASL authentication failed");
    }
    ASSERT_TRUE(server.WaitForLine("CAP END"));
    server.Send(":irc.test 001 Tessarin :Welcome");
    ASSERT_TRUE(server.WaitForLine("JOIN #dice"));
    server.Send(":Tessarin!t@h JOIN #dice");
    server.Send(":Tester!t@h PRIVMSG #dice :,roll 1d6 alive");
    ASSERT_TRUE(WaitFor([&] {
        return std::any_of(server.Lines.begin(), server.Lines.end(),
            [](const QByteArray& line) { return line.startsWith("PRIVMSG #dice :Tester, alive: "); });
    }));
}

TEST(Faults, SaslLogsInWithTheRightPasswordAndSaysSoClearlyWithAWrongOne)
{
    const QByteArray password = "open, sesame";
    for (const QByteArray& configured : { QByteArray("\"open, sesame\""), QByteArray("open sesame") }) {
        FakeIrcServer server;
        TempFiles files;
        files.Write(
            "tessarin.ini", "[connection]\nsasl_account = dicebot\nsasl_password = " + configured + "\n");
        HeadlessBot bot;
        ASSERT_TRUE(
            bot.Start({ "--files", files.Path(), "--server", Address(server.Port()), "--join", "#dice" }));
        bool accepted = false;
        PlaySaslServer(server, password, accepted);
        EXPECT_EQ(accepted, configured.startsWith('"'));
        EXPECT_EQ(bot.Finish(), 0) << "no crash either way";
        const QStringList lines = bot.Lines();
        if (accepted) {
            EXPECT_TRUE(lines.contains("SASL: logged in as dicebot.")) << lines.join('\n').toStdString();
        } else {
            EXPECT_TRUE(
                lines.contains("SASL: logging in as dicebot failed (904 SASL authentication failed); check "
                               "sasl_account and sasl_password in tessarin.ini; registering without logging "
                               "in."))
                << lines.join('\n').toStdString();
        }
        for (const QString& line : lines) {
            EXPECT_FALSE(line.contains("sesame")) << line.toStdString();
            EXPECT_FALSE(line.contains("ZGljZWJvd"))
                << "the base64 of the credentials: " << line.toStdString();
        }
    }
}

TEST(Faults, AKilledServerIsReconnectedToOnceItIsBackAndTheChannelsRejoined)
{
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(200, 100));
    HeadlessBot bot;
    ASSERT_TRUE(
        bot.Start({ "--files", files.Path(), "--server", Address(server->Port()), "--join", "#dice" }));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice"));

    server->Stop(true);
    ASSERT_TRUE(bot.WaitForLine("Disconnected from server."));
    ASSERT_TRUE(bot.WaitForLine("Unable to connect to " + Address(server->Port()), 2));
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    ASSERT_TRUE(bot.WaitForLine("Connected to " + Address(server->Port()), 2));
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server->Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice", 2, 15000)) << "rejoined after the reconnect";
    tester.Send("PRIVMSG #dice :,roll 1d6 back");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG #dice :Tester, back: ").has_value());
    EXPECT_FALSE(bot.Lines().contains(GiveUp));
    EXPECT_EQ(bot.Finish(), 0);
}

TEST(Faults, AServerThatAcceptsAndNeverAnswersIsGivenUpAfterTheAttempts)
{
    FakeIrcServer silent;
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(100, 1));
    HeadlessBot bot;
    ASSERT_TRUE(bot.Start({ "--files", files.Path(), "--server", Address(silent.Port()), "--set",
        "connection/register_timeout=0.3" }));
    EXPECT_EQ(bot.Finish(0, 10000), 1);
    const QStringList lines = bot.Lines();
    EXPECT_EQ(lines.count("No welcome from the server within 0.3 seconds."), 3)
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.count("Connected to " + Address(silent.Port())), 3);
    EXPECT_EQ(lines.value(lines.size() - 1), GiveUp);
    EXPECT_EQ(silent.Accepted, 3) << "the first connect and two attempts";
}

// The command line's store settings are in place before the store opens, as tessarin.ini's are.
TEST(Faults, TheCommandLineDecidesWhetherTheStoreIsKept)
{
    struct Case {
        const char* Ini;
        const char* Set;
        bool Written;
    };
    for (const Case& c :
        { Case { "", "store/keep=no", false }, Case { "[store]\nkeep = no\n", "store/keep=yes", true },
            Case { "[store]\nkeep = no\n", "store/roll_days=30", false } }) {
        FakeIrcServer silent;
        TempFiles files;
        files.Write("settings.conf", testing_support::SettingsFile(100, 0));
        files.Write("tessarin.ini", c.Ini);
        HeadlessBot bot;
        ASSERT_TRUE(bot.Start({ "--files", files.Path(), "--server", Address(silent.Port()), "--set", c.Set,
            "--set", "connection/register_timeout=0.3" }));
        EXPECT_EQ(bot.Finish(0, 10000), 1);
        EXPECT_EQ(QFileInfo::exists(files.PathOf("tessarin.db")), c.Written) << c.Ini << " " << c.Set;
    }
}

TEST(Faults, AServerThatStopsAnsweringIsFoundDeadAndReconnectedToWhenItWakes)
{
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(200, 100));
    HeadlessBot bot;
    ASSERT_TRUE(bot.Start({ "--files", files.Path(), "--server", Address(server->Port()), "--join", "#dice",
        "--set", "connection/dead_after=0.5", "--set", "connection/ping_timeout=0.5", "--set",
        "connection/register_timeout=1" }));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice"));

    server->Pause();
    ASSERT_TRUE(bot.WaitForLine("No answer from the server for 1 seconds.", 1, 5000));
    // The frozen server's kernel still takes connections; none is welcomed.
    ASSERT_TRUE(bot.WaitForLine("No welcome from the server within 1 seconds.", 1, 5000));
    server->Resume();
    TestIrcClient tester;
    ASSERT_TRUE(tester.Register(server->Port(), "Tester"));
    tester.Send("JOIN #dice");
    ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice", 2, 15000))
        << bot.Lines().join('\n').toStdString() << server->Output().toStdString();
    tester.Send("PRIVMSG #dice :,roll 1d6 awake");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG #dice :Tester, awake: ").has_value());
    EXPECT_EQ(bot.Finish(), 0);
}

TEST(Faults, GarbageIsSurvivedAndA100KilobyteLineEndsTheConnectionForANewOne)
{
    FakeIrcServer server;
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(100, 10));
    HeadlessBot bot;
    ASSERT_TRUE(
        bot.Start({ "--files", files.Path(), "--server", Address(server.Port()), "--join", "#dice" }));
    ASSERT_TRUE(server.WaitForLine("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin"));
    server.Send(":irc.test 001 Tessarin :Welcome");
    ASSERT_TRUE(server.WaitForLine("JOIN #dice"));
    server.Send(":Tessarin!t@h JOIN #dice");

    std::mt19937 random(11);
    QByteArray garbage;
    for (int i = 0; i < 64 * 1024; ++i) {
        garbage += static_cast<char>(random() & 0xFF);
        if (i % 8000 == 7999)
            garbage += '\n';
    }
    garbage += QByteArrayLiteral(
        "\r\n:Tester!t@h PRIVMSG #dice :\xff\xfe\r\n\0\0\0\r\n:Tester!t@h PRIVMSG\r\n:\r\n \r\n");
    server.SendRaw(garbage + "\r\n:Tester!t@h PRIVMSG #dice :,roll 1d6 sturdy\r\n");
    ASSERT_TRUE(WaitFor([&] {
        return std::any_of(server.Lines.begin(), server.Lines.end(),
            [](const QByteArray& line) { return line.startsWith("PRIVMSG #dice :Tester, sturdy: "); });
    })) << bot.Lines().join('\n').toStdString();
    EXPECT_EQ(server.Accepted, 1);

    server.SendRaw(":Tester!t@h PRIVMSG #dice :" + QByteArray(100 * 1024, 'x') + "\r\n");
    ASSERT_TRUE(bot.WaitForLine("Line too long"));
    ASSERT_TRUE(server.WaitForClient(2));
    ASSERT_TRUE(
        WaitFor([&] { return server.Lines.count("USER Tessarin 127.0.0.1 127.0.0.1 :Tessarin") == 2; }));
    server.Send(":irc.test 001 Tessarin :Welcome back");
    server.Send(":Tester!t@h PRIVMSG Tessarin :,roll 1d6 again");
    EXPECT_TRUE(WaitFor([&] {
        return std::any_of(server.Lines.begin(), server.Lines.end(),
            [](const QByteArray& line) { return line.startsWith("PRIVMSG Tester :Tester, again: "); });
    }));
    const QStringList lines = bot.Lines();
    const qsizetype error = lines.indexOf("Socket error!");
    ASSERT_GE(error, 1);
    EXPECT_EQ(lines.mid(error - 1, 3),
        QStringList({ "Disconnected from server.", "Socket error!", "Line too long" }));
    EXPECT_EQ(bot.Finish(), 0);
}

TEST(Faults, AFolderThatCannotBeWrittenAtShutdownIsReportedAndTheOldFilesStayWhole)
{
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    // Written with bare line feeds, which the bot never writes: any rewrite would show.
    QByteArray settings = testing_support::SettingsFile(10000, 10);
    settings.replace("\r\n", "\n");
    files.Write("settings.conf", settings);
    files.Write("previleged.conf", "Alice\n");
    files.Write("banned.conf", "Mallory\n");
    files.Write("messages.conf", "");
    // An open database would keep the folder from being made read-only under the running bot.
    files.Write("tessarin.ini", "[store]\nkeep = no\n");

    // As root, permissions stop no write: the bot runs in a mount namespace of its own, where its folder is
    // a bind mount that is made read-only; the mount goes away with the bot. Otherwise the folder's
    // permissions do. nsenter takes the bot's root directory too (-r), as the test may run in a chroot.
    const bool root = ::geteuid() == 0;
    const QStringList wrapper = root ? QStringList { "unshare", "-m", "--propagation", "private", "sh", "-c",
        "mount --bind \"$0\" \"$0\" && exec \"$@\"", files.Path() }
                                     : QStringList();
    HeadlessBot bot;
    ASSERT_TRUE(bot.Start(
        { "--files", files.Path(), "--server", Address(server->Port()), "--join", "#dice" }, wrapper));
    ASSERT_TRUE(bot.WaitForLine("Joined #dice")) << bot.Lines().join('\n').toStdString();
    // The favourites are written right after the join is logged.
    ASSERT_TRUE(WaitFor([&] { return files.Read("favorite_channels.conf") == "#dice\r\n"; }));
    const QStringList names = QDir(files.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    std::map<QString, QByteArray> before;
    for (const QString& name : names)
        before[name] = files.Read(name);

    if (root) {
        ASSERT_EQ(QProcess::execute("nsenter",
                      { "-t", QString::number(bot.Pid()), "-m", "-r", "mount", "-o", "remount,ro,bind",
                          files.Path() }),
            0);
    } else {
        QFile::setPermissions(files.Path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    const int exitCode = bot.Finish();
    if (!root)
        QFile::setPermissions(
            files.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(
        bot.Errors().startsWith("Could not write " + QDir(files.Path()).filePath("settings.conf") + ": "))
        << bot.Errors().toStdString();
    EXPECT_EQ(QDir(files.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot), names)
        << "no half-written files";
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(files.Read(name), bytes) << name.toStdString();
}

} // namespace
