#pragma once

// The headless mode: the bot on a server without any window, for running as a service. It loads its
// files, applies the command-line options for this run, connects at once, joins its start channels when
// registered, prints every command-log line on standard output and follows the reconnect policy. SIGINT
// or SIGTERM writes the configuration files and ends the program.

#include "commands/bot.h"
#include "core/clock.h"
#include "core/connection.h"
#include "irc/ircclient.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTextStream>
#include <optional>

namespace app {

struct HeadlessOptions {
    QString FilesDir;
    // Each option that is set replaces the loaded setting for this run only: the files keep the loaded
    // value unless the setting was changed again during the run.
    std::optional<QString> ServerAddress;
    std::optional<int> ServerPort;
    std::optional<QString> BotNick;
    std::optional<QString> OwnerNick;
    // The channels to join once registered; without it, the favourite channels.
    std::optional<QStringList> Channels;
    // Connection settings of tessarin.ini replaced for this run, as key ("connection/tls") and value.
    QList<std::pair<QString, QString>> ConnectionSettings;
};

class HeadlessRunner : public QObject {
    Q_OBJECT
public:
    explicit HeadlessRunner(HeadlessOptions options, QObject* parent = nullptr);
    ~HeadlessRunner() override;

    // Loads the bot and connects. The application quits with 0 after SIGINT or SIGTERM, with 1 when the
    // bot is left without a connection that anything will bring back (or the files could not be written).
    void Start();

private:
    void ApplyOptions();
    void RestoreLoadedSettings();
    void JoinStartChannels();
    void Finish(int exitCode);

    HeadlessOptions m_options;
    QTextStream m_stdout;
    QTextStream m_stderr;
    core::SystemClock m_clock;
    irc::TIrcClient m_client;
    commands::Bot m_bot;
    core::Connection m_connection;
    std::optional<QSocketNotifier> m_signals;
    // The settings as loaded, for those the options replace.
    QString m_loadedAddress;
    int m_loadedPort = 0;
    QString m_loadedNick;
    QString m_loadedOwner;
    bool m_finishing = false;
};

// Splits "HOST" or "HOST:PORT" (an IPv6 address in brackets: "[::1]:6667"). Nothing when the port is not a
// number from 1 to 65535 or the host is empty.
std::optional<std::pair<QString, std::optional<int>>> ParseServerOption(const QString& text);

} // namespace app
