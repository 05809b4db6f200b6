#include "commands/lastcommand.h"

#include "commands/services.h"
#include "common/parseinteger.h"
#include "core/channellog.h"

namespace commands {

QStringList LinesToReplay(const QStringList& log, const QString& parameter)
{
    const qsizetype count = log.size();
    const std::optional<int> asked = common::ParseInteger(parameter);
    const qsizetype n = (asked && *asked >= 1 && *asked <= count - 1) ? *asked : count - 2;
    // With n = count - 1 the header is also the first replayed line, so it is sent twice.
    return QStringList { log.value(1) } + log.mid(count - n, n);
}

LogReplay::LogReplay(core::BotState& state, const core::ChannelLogs& logs, const irc::ChannelRoster& roster,
    irc::Sender& out, core::Lockouts& locks, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_logs(logs)
    , m_roster(roster)
    , m_out(out)
    , m_locks(locks)
{
    ReplayTimer.setInterval(LinePauseMs);
    connect(&ReplayTimer, &QTimer::timeout, this, &LogReplay::SendNext);
}

void LogReplay::Last(const CommandCall& call)
{
    // A replay under way is refused like one within the lock-out: a second one would take its place.
    if (m_state.LastLocked || Running()) {
        m_out.Say(call.Nick, m_state.Phrase(core::LastTimeoutReply));
        return;
    }
    const QStringList* log = m_logs.Find(core::LogOwnerOf(m_roster, call.Target));
    if (!log) {
        m_out.Say(call.Nick, QStringLiteral("Sorry, I don't store PM logs."));
        return;
    }
    QStringList lines = LinesToReplay(*log, call.Parameter);
    m_recipient = call.Nick;
    m_out.Say(m_recipient, lines.takeFirst());
    m_pending = lines;
    if (m_pending.isEmpty()) {
        Finish();
        return;
    }
    SendNext();
    if (Running())
        ReplayTimer.start();
}

void LogReplay::SendNext()
{
    if (m_pending.isEmpty() || !m_out.Say(m_recipient, m_pending.takeFirst()))
        m_pending.clear();
    if (!m_pending.isEmpty())
        return;
    ReplayTimer.stop();
    Finish();
}

// The lock-out is counted from the end of the replay, so that it keeps replays apart by its whole length
// however long the replay took.
void LogReplay::Finish()
{
    m_locks.StartLast();
    Q_EMIT Finished();
}

void LastCommand(const CommandCall& call, Services& services)
{
    services.Replay.Last(call);
}

} // namespace commands
