#pragma once

// The console mode: a way to try the bot without any server. Each line typed on standard input is a
// channel message to the bot from the console user; a few slash commands change who speaks and where,
// and the first line of a nick in a channel counts as that nick joining it. SIGINT, SIGTERM and SIGHUP end
// the session as "/quit" does, so that Ctrl-C or a closed terminal loses nothing.
// Command-log lines go to standard error, in the form tessarin.ini's [log] group chooses.

#include "app/consolesender.h"
#include "app/folderguard.h"
#include "app/logoutput.h"
#include "app/runoptions.h"
#include "app/signalpipe.h"
#include "commands/bot.h"
#include "core/clock.h"
#include "irc/casemapping.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTextStream>

namespace app {

// The console's channels: whoever speaks in a channel is on it from then on.
class ConsoleRoster final : public irc::ChannelRoster {
public:
    QStringList NicksOn(const QString& channel) const override
    {
        return m_nicks.value(irc::FoldName(channel));
    }
    const irc::TIrcUser* FindUser(const QString& nick) const override { return m_users.Find(nick).get(); }

    // Returns true when nick was not on channel before.
    bool Arrive(const QString& channel, const QString& nick);
    void Rename(const QString& oldNick, const QString& newNick);

private:
    // The nicks on each channel, by folded channel name.
    QHash<QString, QStringList> m_nicks;
    // One record per channel a nick is on, so that privileges follow a /nick as they do on a server.
    irc::TIrcUsers m_users;
};

class ConsoleSession : public QObject {
    Q_OBJECT
public:
    // The options' tessarin.ini settings (--set, --log-level) replace the file's for this run.
    explicit ConsoleSession(RunOptions options, QObject* parent = nullptr);

    // Loads the bot and starts reading standard input. At the end of input (or "/quit", or a stop signal)
    // the bot is closed, its files written, and the application quits with 0, or 1 when the files could
    // not be written. Returns 2 instead, having told why on standard error, when the data folder must not
    // be used (see FolderGuard).
    std::optional<int> Start();

private:
    void ReadInput();
    void HandleLine(const QString& line);
    void Finish();
    void CloseAndQuit();

    RunOptions m_options;
    FolderGuard m_guard;
    QTextStream m_stdout;
    LogOutput m_errors;
    core::SystemClock m_clock;
    ConsoleSender m_sender;
    ConsoleRoster m_roster;
    commands::Bot m_bot;
    QSocketNotifier m_input;
    SignalPipe m_stopSignals;
    QByteArray m_pending;
    QString m_user;
    QString m_channel = QStringLiteral("#console");
    bool m_finishing = false;
};

} // namespace app
