#include "app/windowsmode.h"

#include "app/folderguard.h"
#include "app/mainwindow.h"
#include "app/programoptions.h"
#include "app/signalpipe.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QTcpSocket>
#include <csignal>
#include <cstdio>

namespace app {

namespace {

// Whether the X server that DISPLAY ("[host]:number[.screen]") names takes connections: its local socket,
// or for a host its TCP port 6000 + number (where SSH forwards it).
bool XServerAnswers(const QString& display)
{
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return false;
    const QString host = display.left(colon);
    bool ok = false;
    const int number = display.mid(colon + 1).section(u'.', 0, 0).toInt(&ok);
    if (!ok || number < 0)
        return false;
    constexpr int WaitMs = 1000;
    if (host.isEmpty() || host == QLatin1String("unix")) {
        // The server listens on a file in /tmp/.X11-unix, or in the abstract namespace under the same name.
        for (const bool abstract : { false, true }) {
            QLocalSocket socket;
            if (abstract)
                socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
            socket.connectToServer(QStringLiteral("/tmp/.X11-unix/X%1").arg(number));
            if (socket.waitForConnected(WaitMs))
                return true;
        }
        return false;
    }
    QTcpSocket socket;
    socket.connectToHost(host, static_cast<quint16>(6000 + number));
    return socket.waitForConnected(WaitMs);
}

bool WaylandAnswers(const QString& display)
{
    const QString path = QDir::isAbsolutePath(display)
        ? display
        : QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath(display);
    QLocalSocket socket;
    socket.connectToServer(path);
    return socket.waitForConnected(1000);
}

// Qt ends the program when it cannot open the display it was given; a display that does not answer is
// found here first, so that the program can start the console instead.
bool DisplayReachable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty() && WaylandAnswers(wayland))
        return true;
    const QString x = qEnvironmentVariable("DISPLAY");
    return !x.isEmpty() && XServerAnswers(x);
}

} // namespace

std::optional<int> RunWindowsIfWanted(int& argc, char* argv[])
{
    if (ProgramOptions::AsksForNoWindows(argc, argv))
        return std::nullopt;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    if (!DisplayReachable()) {
        std::fprintf(stderr, "The display cannot be reached; starting the console instead.\n");
        return std::nullopt;
    }
    QApplication application(argc, argv);
    ProgramOptions options;
    const QString problem = options.Process(application);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 2;
    }
    // The program ends when the main window has been closed and its files written, or at once by the tray
    // menu's Exit; a hidden main window with another window closed last does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    FolderGuard guard;
    if (const QString refused = guard.Take(options.Run().FilesDir, options.Run().AllowRoot);
        !refused.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(refused));
        return 2;
    }
    TForm1 window(options.Run().FilesDir);
    QObject::connect(&window, &TForm1::Finished, [] { QCoreApplication::exit(0); });
    QObject::connect(&window, &TForm1::ExitChosen, [] { QCoreApplication::exit(0); });
    // SIGTERM and SIGINT close the window as the operator would: the files are written, and a failure to
    // write them ends the program with 1 (instead of waiting for the operator).
    SignalPipe stopSignals;
    stopSignals.Catch({ SIGINT, SIGTERM });
    QObject::connect(&stopSignals, &SignalPipe::Received, &window, [&window] {
        if (!window.close())
            QCoreApplication::exit(1);
    });
    window.show();
    return QApplication::exec();
}

} // namespace app
