#pragma once

// The headless mode: the bot on a server without any window, for running as a service. It loads its
// files, applies the command-line options for this run, connects at once, joins its start channels when
// registered, prints every command-log line on standard output and follows the reconnect policy. SIGHUP
// reads the lines of settings.conf the operator edited, the phrases, user lists, tessarin.ini, custom
// files and aliases again (or, when the terminal it was started from has closed, stops as below); SIGINT or
// SIGTERM says QUIT to the server, writes the configuration files and ends the program.

#include "app/folderguard.h"
#include "app/logoutput.h"
#include "app/runoptions.h"
#include "app/signalpipe.h"
#include "commands/bot.h"
#include "core/clock.h"
#include "core/connection.h"
#include "irc/ircclient.h"

#include <QObject>
#include <QTimer>
#include <optional>

namespace app {

class HeadlessRunner : public QObject {
    Q_OBJECT
public:
    // How long the bot waits for the server to close the connection after its QUIT.
    static constexpr int QuitWaitMs = 3000;
    static inline const QString QuitMessage = QStringLiteral("Stopped by the operator.");

    explicit HeadlessRunner(RunOptions options, QObject* parent = nullptr);

    // Loads the bot and connects; the application then quits with 0 after SIGINT or SIGTERM, with 1 when
    // the bot is left without a connection that anything will bring back (or the files could not be
    // written). Returns 2 instead, having told why on standard error, when the data folder does not exist or
    // no server address is set; nothing has connected then.
    std::optional<int> Start();

private:
    std::optional<int> Refuse(const QString& problem);
    void ApplyOptions();
    void RestoreLoadedSettings();
    void JoinStartChannels();
    void Reload();
    // Returns what the log says of settings.conf.
    QString ReloadSettings();
    void Stop();
    void Finish(int exitCode);

    RunOptions m_options;
    FolderGuard m_guard;
    LogOutput m_output;
    LogOutput m_errors;
    core::SystemClock m_clock;
    irc::TIrcClient m_client;
    commands::Bot m_bot;
    core::Connection m_connection;
    SignalPipe m_signals;
    QTimer m_quitWait;
    // The settings as loaded, for those the options replace.
    QString m_loadedAddress;
    int m_loadedPort = 0;
    QString m_loadedNick;
    QString m_loadedOwner;
    // Started from a terminal, without being asked to outlive it: its hangup ends the run (SIGHUP from
    // anywhere else is a reload).
    bool m_stopsWithTerminal = false;
    // SIGINT or SIGTERM came: the end of the connection is the end of the run, not a failure.
    bool m_stopping = false;
    bool m_finishing = false;
};

} // namespace app
