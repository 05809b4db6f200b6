// The program's entry point: reads the command line and starts the bot in the chosen mode: the main
// window where a display is available, otherwise the console, or headless on request; or makes a data
// folder (--init), prints the settings (--settings), or copies or checks the store (--backup, --check).
//
// Exit codes: 0 a clean end; 1 the bot gave up reconnecting, or its files could not be written; 2 the
// command line or the configuration cannot be taken (nothing has connected then).

#include "app/consolesession.h"
#include "app/datafolder.h"
#include "app/headlessrunner.h"
#include "app/programoptions.h"
#include "app/settingsreport.h"
#include "app/storetools.h"
#include "app/windowsmode.h"
#include "core/extrasettings.h"
#include "irc/ircclient.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 2;
}

int InitFolder(const QString& dir)
{
    const QString problem = app::InitDataFolder(dir);
    if (!problem.isEmpty())
        return Fail(problem);
    QTextStream(stdout)
        << "Made the data folder " << QFileInfo(dir).absoluteFilePath()
        << ". Put the server, port, nick and owner on lines 1, 2, 3 and 5 of its settings.conf.\n";
    return 0;
}

int PrintSettings(const app::RunOptions& options)
{
    core::BotState state;
    const core::SettingsLinesTaken taken = core::LoadAtStart(state, options.FilesDir);
    state.Extra = core::LoadExtraSettings(options.FilesDir);
    app::ApplyClassicOptions(options, state);
    app::ApplyIniOptions(options, state.Extra);
    QTextStream out(stdout);
    for (const QString& line :
        app::SettingsReport(state, taken, app::ReplacedNames(options), options.FilesDir))
        out << line << '\n';
    out.flush();
    if (!QFileInfo(options.FilesDir).isDir())
        return Fail(QStringLiteral("The data folder %1 does not exist: every value above is a default.")
                        .arg(QFileInfo(options.FilesDir).absoluteFilePath()));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("tessarin"));
    QCoreApplication::setApplicationVersion(irc::ProgramVersion);
    if (const std::optional<int> exitCode = app::RunWindowsIfWanted(argc, argv))
        return *exitCode;

    QCoreApplication application(argc, argv);
    app::ProgramOptions options;
    const QString problem = options.Process(application);
    if (!problem.isEmpty())
        return Fail(problem);

    switch (options.Mode()) {
    case app::ProgramMode::Init:
        return InitFolder(options.InitDir());
    case app::ProgramMode::Settings:
        return PrintSettings(options.Run());
    case app::ProgramMode::Backup: {
        QTextStream out(stdout);
        QTextStream errors(stderr);
        return app::BackUpStore(options.Run().FilesDir, options.BackupFile(), out, errors);
    }
    case app::ProgramMode::Check: {
        QTextStream out(stdout);
        QTextStream errors(stderr);
        return app::CheckStore(options.Run().FilesDir, out, errors);
    }
    case app::ProgramMode::Headless: {
        app::HeadlessRunner runner(options.Run());
        if (const std::optional<int> refused = runner.Start())
            return *refused;
        return QCoreApplication::exec();
    }
    case app::ProgramMode::Windows:
    case app::ProgramMode::Console:
        break;
    }
    // Without a display (or windows) the console is also what runs without options.
    app::ConsoleSession session(options.Run());
    if (const std::optional<int> refused = session.Start())
        return *refused;
    return QCoreApplication::exec();
}
