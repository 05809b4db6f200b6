// The program's entry point: reads the command line and starts the bot in the chosen mode.

#include "app/consolesession.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessarin"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.ALPHA"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("An IRC bot for tabletop role-playing groups."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption console(QStringLiteral("console"),
        QStringLiteral("Talk to the bot on standard input and output, without a server."));
    const QCommandLineOption files(QStringLiteral("files"),
        QStringLiteral("Use <dir> as the data folder instead of files/ in the working folder."),
        QStringLiteral("dir"), QStringLiteral("files"));
    parser.addOptions({ console, files });
    parser.process(application);

    // The console is the only mode so far, so it is also what runs without options.
    app::ConsoleSession session(parser.value(files));
    session.Start();
    return QCoreApplication::exec();
}
