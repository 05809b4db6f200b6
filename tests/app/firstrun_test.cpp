// The operator's first steps with the program: --init makes a data folder, --settings shows what the bot
// would run with, and a headless start without a folder or a server is refused at once with exit code 2.
// Then the forms of the command log: plain in a pipe, stamped when asked, marked for the journal.

#include "core/extrasettings.h"
#include "core/settingsfiles.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testing_support::TempFiles;

struct ProgramRun {
    int ExitCode = -1;
    QStringList Out;
    QString Err;
};

ProgramRun RunProgram(const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARIN_BINARY), arguments);
    ProgramRun run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The value and source --settings gives for a name, as "SOURCE VALUE".
QString Reported(const QStringList& report, const QString& name)
{
    const QStringList lines = report.filter(QRegularExpression("^" + QRegularExpression::escape(name) + " "));
    return lines.size() == 1 ? lines.first().mid(name.size()).simplified() : QStringLiteral("not once");
}

TEST(FirstRun, InitMakesAFolderWhoseSettingsAreEveryDefaultButTheOwner)
{
    TempFiles parent;
    const QString folder = parent.PathOf("new/data");
    const ProgramRun init = RunProgram({ "--init", folder });
    ASSERT_EQ(init.ExitCode, 0) << init.Err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder + "/PokerDeck.txt"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/custom/rumour.txt"));
    EXPECT_EQ(
        QFileInfo(folder + "/tessarin.ini").permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
        QFileDevice::Permissions())
        << "it may come to hold passwords";

    const ProgramRun settings = RunProgram({ "--settings", "--files", folder });
    ASSERT_EQ(settings.ExitCode, 0) << settings.Err.toStdString();
    // Every default but the owner, whom the operator is left to name.
    core::BotState defaults;
    defaults.OwnerNick.clear();
    const QStringList values = core::SettingsFileLines(defaults);
    for (std::size_t i = 0; i < core::SettingsLineCount; ++i) {
        const QString name = core::SettingsLineNames()[i];
        EXPECT_EQ(Reported(settings.Out, name), ("file " + values[qsizetype(i)]).trimmed())
            << name.toStdString();
    }
    for (const core::SettingKey& key : core::SettingKeys())
        EXPECT_EQ(Reported(settings.Out, key.Name), ("file " + key.Show(defaults.Extra)).trimmed())
            << key.Name.toStdString();

    // A second --init writes nothing over the folder the operator may have edited by now.
    QFile settingsFile(folder + "/settings.conf");
    ASSERT_TRUE(settingsFile.open(QIODevice::Append));
    settingsFile.write("edited\r\n");
    settingsFile.close();
    const ProgramRun again = RunProgram({ "--init", folder });
    EXPECT_EQ(again.ExitCode, 2);
    EXPECT_TRUE(again.Err.contains("settings.conf")) << again.Err.toStdString();
    QFile reread(folder + "/settings.conf");
    ASSERT_TRUE(reread.open(QIODevice::ReadOnly));
    EXPECT_TRUE(reread.readAll().endsWith("edited\r\n"));
}

TEST(FirstRun, WhatCannotRunIsRefusedWithTwoBeforeAnythingConnects)
{
    TempFiles files;
    TempFiles withServer;
    withServer.Write("settings.conf", "127.0.0.1\r\n1\r\n");
    const QString missing = files.PathOf("nowhere");
    const struct {
        QStringList Arguments;
        const char* Says;
    } cases[] = {
        { { "--headless", "--files", missing, "--server", "127.0.0.1:1" }, "does not exist" },
        { { "--headless", "--files", files.Path() }, "No server address" },
        { { "--headless", "--files", files.Path(), "--server", "127.0.0.1:1", "--log-level", "loud" },
            "log/level is not one of error, warning, info." },
        { { "--headless", "--files", withServer.Path(), "--set", "log/stamps=maybe" }, "log/stamps" },
        { { "--headless", "--init", files.Path() }, "exclude each other" },
        { { "--headless", "--files", files.Path(), "--nope" }, "tessarin: Unknown option 'nope'." },
        { { "--settings", "--files", missing }, "does not exist" },
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(c.Says)) << run.Err.toStdString();
        EXPECT_FALSE(run.Out.join('\n').contains("Connect command issued"))
            << c.Arguments.join(' ').toStdString();
    }
}

// A headless run against a port nobody listens on: it logs the connect (info) and its failure (warning)
// and ends with 1.
TEST(FirstRun, TheCommandLogTakesTheFormItsStreamAndSettingsAskFor)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString address = "127.0.0.1:" + QString::number(probe.serverPort());
    probe.close();
    TempFiles files;
    const QString connectPattern = "Connect command issued on .*\\.";
    const QString failure = QRegularExpression::escape("Unable to connect to " + address);
    const QString stamp = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ";
    const struct {
        const char* Name;
        QStringList Options;
        bool Journal;
        QStringList Patterns;
    } cases[] = {
        { "plain in a file", {}, false, { connectPattern, failure } },
        { "stamped when asked", { "--set", "log/stamps=yes" }, false,
            { stamp + "info: " + connectPattern, stamp + "warning: " + failure } },
        { "marked on the journal", {}, true, { "<6>" + connectPattern, "<4>" + failure } },
        { "only warnings and worse", { "--log-level", "warning" }, true, { "<4>" + failure } },
    };
    for (const auto& c : cases) {
        const QString outPath = files.PathOf("out.log");
        QFile::remove(outPath);
        files.Write("out.log", "");
        struct stat status = {};
        ASSERT_EQ(::stat(QFile::encodeName(outPath).constData(), &status), 0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("JOURNAL_STREAM");
        // The journal is recognised by the device and inode of the stream, which here is the file.
        if (c.Journal)
            environment.insert("JOURNAL_STREAM", QString("%1:%2").arg(status.st_dev).arg(status.st_ino));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(outPath);
        process.start(QStringLiteral(TESSARIN_BINARY),
            QStringList { "--headless", "--files", files.Path(), "--server", address } + c.Options);
        ASSERT_TRUE(process.waitForFinished(20000)) << c.Name;
        EXPECT_EQ(process.exitCode(), 1) << c.Name;
        const QStringList lines = QString::fromUtf8(files.Read("out.log")).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), c.Patterns.size()) << c.Name << "\n" << lines.join('\n').toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(QRegularExpression("^" + c.Patterns[i] + "$").match(lines[i]).hasMatch())
                << c.Name << ": " << lines[i].toStdString();
    }
}

// The operator's tools for the store work beside a running bot: a copy made while it holds the store is a
// sound store of its own, and the check tells a sound store from a damaged or missing one by exit code.
TEST(FirstRun, TheStoreIsCopiedWhileTheBotRunsAndCheckedWithoutBeingWritten)
{
    TempFiles files;
    QProcess rolled;
    rolled.start(QStringLiteral(TESSARIN_BINARY), { "--console", "--files", files.Path() });
    rolled.write(",roll 1d1\n");
    rolled.closeWriteChannel();
    ASSERT_TRUE(rolled.waitForFinished(30000));
    // A bot holding the store (and the folder) while the copy is made.
    QProcess bot;
    bot.start(QStringLiteral(TESSARIN_BINARY), { "--console", "--files", files.Path() });
    ASSERT_TRUE(bot.waitForStarted(10000));
    bot.write(",seen Nobody\n");
    ASSERT_TRUE(bot.waitForReadyRead(10000));

    TempFiles copies;
    const ProgramRun backup
        = RunProgram({ "--backup", copies.PathOf("sound/tessarin.db"), "--files", files.Path() });
    EXPECT_EQ(backup.ExitCode, 1) << "no folder for the copy";
    QDir(copies.Path()).mkpath("sound");
    const ProgramRun copied
        = RunProgram({ "--backup", copies.PathOf("sound/tessarin.db"), "--files", files.Path() });
    EXPECT_EQ(copied.ExitCode, 0) << copied.Err.toStdString();
    EXPECT_EQ(
        RunProgram({ "--backup", copies.PathOf("sound/tessarin.db"), "--files", files.Path() }).ExitCode, 1)
        << "never over a file";
    bot.closeWriteChannel();
    ASSERT_TRUE(bot.waitForFinished(30000));
    EXPECT_EQ(bot.exitCode(), 0);

    // A store whose table pages were overwritten, as a failing disk would.
    QDir(copies.Path()).mkpath("damaged");
    const QString damaged = copies.PathOf("damaged/tessarin.db");
    QProcess::execute("sqlite3",
        { damaged,
            "CREATE TABLE schema_version (version INTEGER); INSERT INTO schema_version VALUES (1); CREATE "
            "TABLE t (x); "
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) INSERT INTO t "
            "SELECT "
            "hex(randomblob(50)) FROM n;" });
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(4096 * 8);
    file.write(QByteArray(4096 * 4, '\x5a'));
    file.close();
    copies.Write("junk/tessarin.db", "no database");

    const struct {
        const char* Folder;
        int ExitCode;
        const char* Says;
    } checks[] = {
        { "sound", 0, "rows in rolls: 1" },
        { "damaged", 1, "integrity_check: " },
        { "junk", 2, "" },
        { "missing", 2, "" },
    };
    for (const auto& check : checks) {
        SCOPED_TRACE(check.Folder);
        const QByteArray before = copies.Read(QString(check.Folder) + "/tessarin.db");
        const ProgramRun run = RunProgram({ "--check", "--files", copies.PathOf(check.Folder) });
        EXPECT_EQ(run.ExitCode, check.ExitCode) << run.Err.toStdString();
        EXPECT_TRUE(run.Out.contains(QString(check.Says)) || run.Out.join('\n').contains(check.Says))
            << run.Out.join('\n').toStdString();
        EXPECT_EQ(copies.Read(QString(check.Folder) + "/tessarin.db"), before) << "checked, not written";
    }
}

} // namespace
