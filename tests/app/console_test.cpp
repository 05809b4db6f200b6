// Runs the program in console mode as a user would: lines in on standard input, replies out on standard
// output, command-log lines on standard error.

#include "support/headlessbot.h"
#include "support/qtprint.h"
#include "support/smallfilesystem.h"
#include "support/tempfiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using testing_support::TempFiles;

struct ConsoleRun {
    int ExitCode = -1;
    QStringList Out;
    QStringList Err;
};

ConsoleRun RunConsole(const QString& filesDir, const QByteArray& input, const QStringList& options = {})
{
    QProcess process;
    process.start(
        QStringLiteral(TESSARIN_BINARY), QStringList { "--console", "--files", filesDir } + options);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    ConsoleRun run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.Err = QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return run;
}

const QString Unknown = QStringLiteral("I can't imagine what the hell you are babbling about.");

TEST(Console, AnswersAsTheBotWouldInAChannel)
{
    TempFiles files;
    files.Write("banned.conf", "Troll\r\n");
    files.Write("aliases/big.txt", ",roll parameter full\r\n");
    files.Write("custom/my table.txt", "one\r\ntwo\r\nthree\r\n");
    ConsoleRun run = RunConsole(files.Path(),
        ",ROLLL 2d6\n"
        ",big 4d6\n"
        ",my table 3\n"
        "/as Troll\n"
        ",help\n"
        "/as Kell\n"
        "/channel #rpg\n"
        "Tessarin, my table 1\n"
        "/msg ,my table 2\n");
    ASSERT_EQ(run.ExitCode, 0);
    ASSERT_EQ(run.Out.size(), 6);
    EXPECT_TRUE(QRegularExpression("^\\[#console\\] <Tessarin> Nick: \x02\\d+\x02\\[\\d,\\d,\\d,\\d\\]$")
                    .match(run.Out[1])
                    .hasMatch())
        << run.Out[1].toStdString();
    run.Out.removeAt(1);
    EXPECT_EQ(run.Out,
        QStringList({
            "[Nick] <Tessarin> " + Unknown,
            "[#console] <Tessarin> three",
            "[Troll] <Tessarin> Silence, you funny fool! Lol banned.",
            "[#rpg] <Tessarin> one",
            "[Kell] <Tessarin> two",
        }));
    ASSERT_EQ(run.Err.size(), 8);
    EXPECT_TRUE(run.Err[0].endsWith(". User Nick on channel #console. Commandword=ROLLL. Parameter=2d6"));
    EXPECT_TRUE(run.Err[1].endsWith(". Commandword=roll. Parameter=4d6 full"));
    EXPECT_EQ(run.Err[4], "Troll is banned. Command rejected.");
    EXPECT_EQ(run.Err[5], "my table 1");
    EXPECT_TRUE(run.Err[7].endsWith(". User Kell on channel Kell. Commandword=my. Parameter=table 2"));
}

// The console user is the owner ("Nick" by default): a /nick keeps the owner's rights, and a user who
// takes the owner's nick gets none.
TEST(Console, PrivilegesFollowANickChangeOnlyForward)
{
    TempFiles files;
    const ConsoleRun run = RunConsole(files.Path(),
        "hello\n"
        "/nick Nick_afk\n"
        ",be dicerollan\n"
        "/as Mallory\n"
        "hello\n"
        "/nick Nick\n"
        ",be not dicerollan\n");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out,
        QStringList({ "[#console] <Tessarin> Yes, chief, I'll be your dicebot.",
            "[#console] <Tessarin> You're not my daddy and I won't listen to you." }));
}

TEST(Console, RollsDiceByCommandAndInDicebotMode)
{
    TempFiles files;
    // Dicebot mode on: the seventeenth line of the settings file.
    files.Write("settings.conf",
        "\r\n6667\r\nTessarin\r\n#name\r\nNick\r\n0\r\n0\r\n0\r\n1\r\n1\r\n0\r\n"
        "10000\r\n60000\r\n120000\r\n0\r\n0\r\n1\r\n");
    const ConsoleRun run = RunConsole(files.Path(), ",roll 3d6 Attack\n2d6\nhello 2d6\n/as Bob\n,roll 0d6\n");
    ASSERT_EQ(run.ExitCode, 0);
    ASSERT_EQ(run.Out.size(), 3) << run.Out.join('\n').toStdString();
    EXPECT_TRUE(
        QRegularExpression("^\\[#console\\] <Tessarin> Nick, Attack: \\d+$").match(run.Out[0]).hasMatch())
        << run.Out[0].toStdString();
    EXPECT_TRUE(QRegularExpression("^\\[#console\\] <Tessarin> Nick: \\d+$").match(run.Out[1]).hasMatch())
        << run.Out[1].toStdString();
    EXPECT_EQ(run.Out[2], "[Bob] <Tessarin> Bob, reroll number too low.");
    EXPECT_FALSE(
        run.Err.filter(QRegularExpression("\\. User Nick on channel #console\\. Commandword=2d6\\.$"))
            .isEmpty());
}

TEST(Console, WritesTheConfigurationAtTheEndOfInput)
{
    TempFiles files;
    const ConsoleRun run = RunConsole(files.Path(), "hello\n/quit\n,never read\n");
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22);
    EXPECT_EQ(files.Read("messages.conf").count("\r\n"), 11);
}

TEST(Console, SurvivesGarbageFilesAndHugeOrBinaryLines)
{
    TempFiles files;
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(static_cast<char>((i * 131) % 256));
    for (const char* name : { "settings.conf", "previleged.conf", "banned.conf", "messages.conf",
             "favorite_channels.conf", "aliases/x.txt", "custom/y.txt" })
        files.Write(name, garbage);
    QByteArray input = "," + QByteArray(1024 * 1024, 'r') + "\n";
    input += QByteArray("\xff\xfe,\x01\x02\x00zz\n", 9);
    input += "Tessarin, " + QByteArray(5000, ' ') + "\n";
    input += ",ROLL 2d6";
    const ConsoleRun run = RunConsole(files.Path(), input);
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_FALSE(run.Out.isEmpty());
}

// Ctrl-C, a kill or a closed terminal end the session as /quit does: what it changed is saved.
TEST(Console, SigintSigtermAndSighupSaveWhatTheSessionChangedAndEndWithZero)
{
    for (const int signal : { SIGINT, SIGTERM, SIGHUP }) {
        SCOPED_TRACE(signal);
        TempFiles files;
        QProcess process;
        // As a terminal starts it: a test run in the background would hand SIGINT down ignored.
        process.setChildProcessModifier([] { ::signal(SIGINT, SIG_DFL); });
        process.start(QStringLiteral(TESSARIN_BINARY), { "--console", "--files", files.Path() });
        ASSERT_TRUE(process.waitForStarted(10000));
        // Standard input stays open, so only the signal can end the session.
        process.write(",be dicerollan\n");
        QByteArray out;
        for (int wait = 0; wait < 100 && !out.contains("your dicebot."); ++wait) {
            process.waitForReadyRead(100);
            out += process.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains("your dicebot.")) << out.constData();
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QList<QByteArray> saved = files.Read("settings.conf").split('\n');
        ASSERT_EQ(saved.size(), 23);
        EXPECT_EQ(saved[16], "1\r") << "dicebot mode, line 17";
    }
}

TEST(Console, SetReplacesASettingOfTessarinIniForTheRun)
{
    TempFiles files;
    const ConsoleRun run = RunConsole(files.Path(), ",roll 1d6\n", { "--set", "store/keep=no" });
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(files.PathOf("tessarin.db")));
}

TEST(Console, AMissingDataFolderMeansDefaultsAndAReportedWriteFailure)
{
    const ConsoleRun run = RunConsole(QStringLiteral("/nonexistent/tessarin"), ",x\n");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, QStringList({ "[Nick] <Tessarin> " + Unknown }));
    EXPECT_TRUE(run.Err.last().contains("settings.conf")) << run.Err.last().toStdString();
}

// A full disk fails the writes at the end of the session: every file keeps what it held, the reason is said
// with the file's name, and the exit code says so. Once there is room again the same session saves.
TEST(Console, AFullDiskKeepsTheFilesWholeAndEndsWithOne)
{
    const testing_support::SmallFilesystem disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    QFile settings(disk.Path() + "/settings.conf");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    const QByteArray written = testing_support::SettingsFile(30, 5);
    settings.write(written);
    settings.close();
    ASSERT_TRUE(disk.Fill());

    const ConsoleRun full = RunConsole(disk.Path(), ",be dicerollan\n");
    EXPECT_EQ(full.ExitCode, 1);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), written);
    settings.close();
    ASSERT_FALSE(full.Err.isEmpty());
    EXPECT_TRUE(full.Err.last().contains(disk.Path() + "/settings.conf: No space left on device"))
        << full.Err.join('\n').toStdString();

    disk.Empty();
    const ConsoleRun roomy = RunConsole(disk.Path(), ",be dicerollan\n");
    EXPECT_EQ(roomy.ExitCode, 0) << roomy.Err.join('\n').toStdString();
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll().split('\n').value(16), "1\r") << "dicebot mode, line 17";
}

// "Edit the files, then restart": the operator's edits made while the bot runs survive its stop, and the
// bot's own change (dicebot mode) is written into them.
TEST(Console, FilesEditedWhileTheBotRunsKeepTheEditsAtTheEnd)
{
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(30, 5));
    QProcess process;
    process.start(QStringLiteral(TESSARIN_BINARY), { "--console", "--files", files.Path() });
    ASSERT_TRUE(process.waitForStarted(10000));
    process.write(",roll 1d1\n");
    ASSERT_TRUE(process.waitForReadyRead(10000));

    QList<QByteArray> edited = testing_support::SettingsFile(30, 5).split('\n');
    edited[0] = "irc.example.org\r";
    edited[1] = "6697\r";
    files.Write("settings.conf", edited.join('\n'));
    files.Write("messages.conf", "Say what?\r\n");
    process.write(",be dicerollan\n/quit\n");
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);

    QList<QByteArray> expected = edited;
    expected[16] = "1\r";
    EXPECT_EQ(files.Read("settings.conf"), expected.join('\n'));
    EXPECT_EQ(files.Read("messages.conf"), "Say what?\r\n");
    const QString log = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(log.contains("settings.conf was edited while the bot ran: the edits are kept; the bot's own "
                             "changes written into it: Dicerollan."))
        << log.toStdString();
}

} // namespace

TEST(Console, WithTheStoreOnASecondRunCarriesOnFromTheFirst)
{
    TempFiles files;
    files.Write("tessarin.ini", "[store]\nkeep = yes\n");
    files.Write("PokerDeck.txt", "Ace\r\nKing\r\n");
    const ConsoleRun first = RunConsole(files.Path(), "hello there\n,roll 1d1 sword\n,draw\n");
    ASSERT_EQ(first.ExitCode, 0);
    ASSERT_EQ(first.Out.size(), 2) << first.Out.join('\n').toStdString();
    const QString drawn = first.Out[1].section(", ", 1);

    const ConsoleRun second = RunConsole(files.Path(), ",rolls\n,recall 1\n,draw\n,last 10\n");
    ASSERT_EQ(second.ExitCode, 0);
    ASSERT_GE(second.Out.size(), 4) << second.Out.join('\n').toStdString();
    EXPECT_TRUE(QRegularExpression(
        "^\\[Nick\\] <Tessarin> #1 \\d\\d:\\d\\d:\\d\\d \\d\\d\\.\\d\\d\\.\\d{4} ,roll 1d1 "
        "sword => Nick, sword: 1$")
                    .match(second.Out[0])
                    .hasMatch())
        << second.Out[0].toStdString();
    EXPECT_TRUE(second.Out[1].startsWith("[#console] <Tessarin> #1 by Nick at "))
        << second.Out[1].toStdString();
    EXPECT_TRUE(second.Out[1].endsWith(": Nick, sword: 1"));
    // The deck of two goes on: the other card comes out.
    EXPECT_NE(second.Out[2].section(", ", 1), drawn);
    EXPECT_FALSE(second.Out.filter("<Nick> hello there").isEmpty()) << second.Out.join('\n').toStdString();
}
