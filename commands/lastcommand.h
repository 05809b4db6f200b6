#pragma once

// The last command (also "lastlines"): replays the recent lines of the channel it was asked in, privately,
// a tenth of a second apart, then keeps the command locked for a while. One replay runs at a time. Asked
// privately (or where replies go privately), it replays the asker's own private conversation: the one of
// his services account where the network tells accounts, of his nick elsewhere.

#include "core/botstate.h"
#include "core/channellog.h"
#include "core/lockouts.h"
#include "irc/sender.h"

#include <QObject>
#include <QTimer>

namespace commands {

struct CommandCall;
struct Services;

// The log lines the last command sends for a log and its parameter: the header, then the last n lines
// (all message lines when the parameter is no usable number).
QStringList LinesToReplay(const QStringList& log, const QString& parameter);

class LogReplay : public QObject {
    Q_OBJECT
public:
    static constexpr int LinePauseMs = 100;

    LogReplay(core::BotState& state, const core::ChannelLogs& logs, const irc::ChannelRoster& roster,
        irc::Sender& out, core::Lockouts& locks, QObject* parent = nullptr);

    void Last(const CommandCall& call);
    bool Running() const { return !m_pending.isEmpty(); }

    QTimer ReplayTimer;

Q_SIGNALS:
    void Finished();

private:
    void SendNext();
    void Finish();

    core::BotState& m_state;
    const core::ChannelLogs& m_logs;
    const irc::ChannelRoster& m_roster;
    irc::Sender& m_out;
    core::Lockouts& m_locks;
    QString m_recipient;
    QStringList m_pending;
};

void LastCommand(const CommandCall& call, Services& services);

} // namespace commands
