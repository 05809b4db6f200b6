// Which mode the program starts in without --headless: the main window where there is a display, the
// console where there is none or where --console asks for it.

#include "support/tempfiles.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

using testing_support::TempFiles;

// The program on a data folder of its own, with a display (offscreen, so that nothing appears) or without.
void Start(QProcess& process, const TempFiles& files, bool display, const QStringList& options = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    if (display) {
        environment.insert("DISPLAY", ":99");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARIN_BINARY), options + QStringList { "--files", files.Path() });
    ASSERT_TRUE(process.waitForStarted(10000));
    process.write(",nosuchcommand\n");
    process.closeWriteChannel();
}

bool RunsToTheEndOfInput(QProcess& process)
{
    const bool finished = process.waitForFinished(20000);
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

TEST(ProgramMode, WithoutADisplayItIsTheConsole)
{
    TempFiles files;
    QProcess process;
    Start(process, files, false);
    ASSERT_TRUE(RunsToTheEndOfInput(process));
    EXPECT_TRUE(process.readAllStandardOutput().startsWith("[Nick] <Tessarin> I can't imagine"));
}

TEST(ProgramMode, WithADisplayConsoleStillAsksForTheConsole)
{
    TempFiles files;
    QProcess process;
    Start(process, files, true, { "--console" });
    ASSERT_TRUE(RunsToTheEndOfInput(process));
    EXPECT_TRUE(process.readAllStandardOutput().startsWith("[Nick] <Tessarin> I can't imagine"));
}

TEST(ProgramMode, WithADisplayItIsTheMainWindow)
{
    TempFiles files;
    QProcess process;
    Start(process, files, true);
    // The window does not read standard input, so its end does not end the program as the console's would.
    EXPECT_FALSE(process.waitForFinished(1500));
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    // SIGTERM closes the window as the operator would, which writes the files.
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22);
}

TEST(ProgramMode, ADisplayThatDoesNotAnswerIsTheConsole)
{
    TempFiles files;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    // Nobody serves this display: Qt would end the program before its first line.
    environment.insert("DISPLAY", ":97");
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARIN_BINARY), { "--files", files.Path() });
    ASSERT_TRUE(process.waitForStarted(10000));
    process.write(",nosuchcommand\n");
    process.closeWriteChannel();
    ASSERT_TRUE(RunsToTheEndOfInput(process));
    EXPECT_TRUE(process.readAllStandardOutput().startsWith("[Nick] <Tessarin> I can't imagine"));
    EXPECT_TRUE(process.readAllStandardError().startsWith("The display cannot be reached"));
}

} // namespace
