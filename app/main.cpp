// The program's entry point: reads the command line and starts the bot in the chosen mode: the main
// window where a display is available, otherwise the console, or headless on request.

#include "app/consolesession.h"
#include "app/headlessrunner.h"
#include "app/mainwindow.h"
#include "core/extrasettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 2;
}

// The windows need a display: an X server or a Wayland compositor. --console and --headless never open
// one.
bool WantsWindows(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--console") == 0 || std::strcmp(argv[i], "--headless") == 0)
            return false;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    const bool windows = WantsWindows(argc, argv);
    std::unique_ptr<QCoreApplication> application;
    if (windows)
        application = std::make_unique<QApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessarin"));
    QCoreApplication::setApplicationVersion(irc::ProgramVersion);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("An IRC bot for tabletop role-playing groups."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption console(QStringLiteral("console"),
        QStringLiteral("Talk to the bot on standard input and output, without a server."));
    const QCommandLineOption headless(QStringLiteral("headless"),
        QStringLiteral("Run the bot on its server without windows, printing the command log."));
    const QCommandLineOption files(QStringLiteral("files"),
        QStringLiteral("Use <dir> as the data folder instead of files/ in the working folder."),
        QStringLiteral("dir"), QStringLiteral("files"));
    const QCommandLineOption server(QStringLiteral("server"),
        QStringLiteral("Headless: connect to <host[:port]> in this run."), QStringLiteral("host[:port]"));
    const QCommandLineOption nick(QStringLiteral("nick"),
        QStringLiteral("Headless: the bot's nick in this run."), QStringLiteral("nick"));
    const QCommandLineOption owner(QStringLiteral("owner"),
        QStringLiteral("Headless: the owner's nick in this run."), QStringLiteral("nick"));
    const QCommandLineOption join(QStringLiteral("join"),
        QStringLiteral("Headless: the channels to join, comma-separated (default: the favourite channels)."),
        QStringLiteral("#a,#b"));
    const QCommandLineOption tls(
        QStringLiteral("tls"), QStringLiteral("Headless: connect over TLS in this run."));
    const QCommandLineOption fingerprint(QStringLiteral("tls-fingerprint"),
        QStringLiteral("Headless: connect over TLS and accept the server certificate with this SHA-256 "
                       "fingerprint in this run."),
        QStringLiteral("hex"));
    const QCommandLineOption set(QStringLiteral("set"),
        QStringLiteral("Headless: replace a [connection] or [flood] setting of tessarin.ini in this run, for "
                       "example flood/line_interval=2 (may be repeated)."),
        QStringLiteral("group/key=value"));
    parser.addOptions({ console, headless, files, server, nick, owner, join, tls, fingerprint, set });
    parser.process(*application);

    if (parser.isSet(console) && parser.isSet(headless))
        return Fail(QStringLiteral("--console and --headless exclude each other."));

    if (parser.isSet(headless)) {
        app::HeadlessOptions options;
        options.FilesDir = parser.value(files);
        if (parser.isSet(server)) {
            const auto parsed = app::ParseServerOption(parser.value(server));
            if (!parsed)
                return Fail(QStringLiteral("--server wants HOST or HOST:PORT with a port from 1 to 65535."));
            options.ServerAddress = parsed->first;
            options.ServerPort = parsed->second;
        }
        if (parser.isSet(nick))
            options.BotNick = parser.value(nick);
        if (parser.isSet(owner))
            options.OwnerNick = parser.value(owner);
        if (parser.isSet(join))
            options.Channels = parser.value(join).split(u',', Qt::SkipEmptyParts);
        // A pinned certificate only makes sense over TLS.
        if (parser.isSet(tls) || parser.isSet(fingerprint))
            options.ConnectionSettings.append({ QStringLiteral("connection/tls"), QStringLiteral("yes") });
        if (parser.isSet(fingerprint))
            options.ConnectionSettings.append(
                { QStringLiteral("connection/tls_fingerprint"), parser.value(fingerprint) });
        for (const QString& setting : parser.values(set)) {
            const qsizetype equals = setting.indexOf(u'=');
            if (equals < 0)
                return Fail(QStringLiteral("--set wants GROUP/KEY=VALUE, one of: ")
                    + core::ConnectionSettingKeys().join(QStringLiteral(", ")));
            options.ConnectionSettings.append({ setting.left(equals).trimmed(), setting.mid(equals + 1) });
        }
        core::ConnectionSettings check;
        for (const auto& [key, value] : options.ConnectionSettings) {
            const QString problem = core::ApplyConnectionSetting(check, key, value);
            if (!problem.isEmpty())
                return Fail(key + u' ' + problem + u'.');
        }
        app::HeadlessRunner runner(std::move(options));
        runner.Start();
        return QCoreApplication::exec();
    }

    if (windows && !parser.isSet(console)) {
        // The program ends when the main window has been closed and its files written, or at once by the
        // tray menu's Exit; a hidden main window with another window closed last does not end it.
        QApplication::setQuitOnLastWindowClosed(false);
        app::TForm1 window(parser.value(files));
        QObject::connect(&window, &app::TForm1::Finished, [] { QCoreApplication::exit(0); });
        QObject::connect(&window, &app::TForm1::ExitChosen, [] { QCoreApplication::exit(0); });
        window.show();
        return QCoreApplication::exec();
    }

    // Without a display the console is also what runs without options.
    app::ConsoleSession session(parser.value(files));
    session.Start();
    return QCoreApplication::exec();
}
