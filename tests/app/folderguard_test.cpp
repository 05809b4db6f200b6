// What the program refuses before it runs on a data folder: a second bot on it, root on a folder that
// belongs to another user, a tessarin.ini it cannot read, files it could not write at its end. Each is the
// program itself, ending with 2 and saying why, before anything is read or written.

#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <QProcess>
#include <csignal>
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using testing_support::TempFiles;

constexpr uid_t Nobody = 65534;

struct ProgramRun {
    bool Started = false;
    int ExitCode = -1;
    QString Err;
};

// The console on folder, with input; as the user nobody when asked (the test is then root).
ProgramRun RunConsole(const QString& folder, const QStringList& options = {}, bool asNobody = false)
{
    QProcess process;
    if (asNobody) {
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                ::_exit(127);
        });
    }
    process.start(QStringLiteral(TESSARIN_BINARY), QStringList { "--console", "--files", folder } + options);
    ProgramRun run;
    run.Started = process.waitForStarted(10000);
    process.write("/quit\n");
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool GiveTo(const QString& path, uid_t user, QFile::Permissions permissions)
{
    return ::chown(QFile::encodeName(path).constData(), user, user) == 0
        && QFile::setPermissions(path, permissions);
}

TEST(FolderGuard, ASecondBotOnTheFolderIsRefusedUntilTheFirstIsGoneHoweverItEnded)
{
    TempFiles files;
    QProcess first;
    first.start(QStringLiteral(TESSARIN_BINARY), { "--console", "--files", files.Path() });
    ASSERT_TRUE(first.waitForStarted(10000));
    first.write(",roll 1d1\n");
    ASSERT_TRUE(first.waitForReadyRead(10000));

    const ProgramRun second = RunConsole(files.Path());
    EXPECT_EQ(second.ExitCode, 2);
    EXPECT_TRUE(
        second.Err.contains(QStringLiteral("Another Tessarin (pid %1) is running on the data folder %2")
                                .arg(first.processId())
                                .arg(files.Path())))
        << second.Err.toStdString();

    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(10000));
    const ProgramRun after = RunConsole(files.Path());
    EXPECT_EQ(after.ExitCode, 0) << after.Err.toStdString();
}

TEST(FolderGuard, RootOnAnothersFolderAndFilesTheBotCannotReadOrWriteAreRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving files to another user needs root";
    struct Case {
        const char* Name;
        // Made root's, readable and writable by root alone; empty: none.
        QString RootsFile;
        bool AsNobody;
        QStringList Options;
        int ExitCode;
        QString Says;
    };
    const Case cases[] = {
        { "root on nobody's folder", {}, false, {}, 2, "Not running as root on %1, which belongs to nobody" },
        { "root, told it may", {}, false, { "--allow-root" }, 0, {} },
        { "nobody, on his own folder", {}, true, {}, 0, {} },
        { "a tessarin.ini only root reads", "tessarin.ini", true, {}, 2, "Cannot read %1/tessarin.ini" },
        { "a settings.conf only root writes", "settings.conf", true, {}, 2,
            "Cannot write settings.conf in %1: the bot could not save them" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFiles files;
        files.Write("tessarin.ini", "[store]\nkeep = no\n");
        files.Write("settings.conf", "");
        for (const QString& name :
            { QString(), QStringLiteral("tessarin.ini"), QStringLiteral("settings.conf") }) {
            const bool roots = !name.isEmpty() && name == c.RootsFile;
            ASSERT_TRUE(GiveTo(files.PathOf(name), roots ? 0 : Nobody,
                name.isEmpty() ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                               : QFile::ReadOwner | QFile::WriteOwner));
        }
        const ProgramRun run = RunConsole(files.Path(), c.Options, c.AsNobody);
        if (c.AsNobody && !run.Started)
            GTEST_SKIP() << "the program cannot be started as nobody here";
        EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err.toStdString();
        if (!c.Says.isEmpty()) {
            EXPECT_TRUE(run.Err.contains(c.Says.arg(files.Path()))) << run.Err.toStdString();
        }
    }
}

} // namespace
