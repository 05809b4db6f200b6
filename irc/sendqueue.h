#pragma once

// The one queue every line the bot writes to its server goes through, so that the server never sees more
// than it takes from one client and never closes the connection for flooding.
//
// The pace is a token bucket modelled on the server's side: a server takes a burst of lines at once, then
// handles one line per interval, and kills a client whose unhandled lines pass a byte limit. The queue
// keeps its own picture of those unhandled lines (what it sent, less one line per interval) and sends a
// line only while that picture stays within the burst in lines and in bytes.
//
// Urgent lines (PONG, registration, the dead-connection PING) go before everything else and never wait.
// While no other line waits they count against the burst (so the lines after them wait the longer);
// while others wait they do not, so that no stream of urgent lines can hold the others up.
//
// Protocol lines (the bot's own rejoins and nick changes) keep the pace but go before every owner's line,
// and no owner's bound ever drops them: the bot must not stay off a channel behind a user's flood.
//
// Every other line belongs to an owner, the user a reply is for; owners take turns line by line, so one
// user's flood cannot starve the others. Each owner may have a bounded number of lines waiting: past it
// that owner's oldest waiting line is dropped. A line may name its target (the channel or nick it is
// sent to); lines for a held target wait, without holding up the owner's other lines, until the target
// is released or its lines are dropped.
//
// The queue is a plain value driven by the caller's clock (milliseconds), so it can be tested without
// waiting.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

namespace irc {

struct SendPace {
    // The burst: lines and bytes the server may hold unhandled at once.
    int BurstLines = 5;
    int BurstBytes = 2048;
    // The server handles one line per interval; 0 sends everything at once.
    int IntervalMs = 1000;
    // Lines one owner may have waiting, and all owners together.
    int OwnerLimit = 40;
    int TotalLimit = 2000;
};

class SendQueue {
public:
    void SetPace(const SendPace& pace) { m_pace = pace; }
    const SendPace& Pace() const { return m_pace; }

    // A line that goes before every other at the next Take, whatever the burst.
    void PushUrgent(const QByteArray& line);

    // A line that goes before every owner's line, at the pace.
    void PushProtocol(const QByteArray& line);

    // A line on behalf of owner (a nick or channel, matched as the server compares names), for target when
    // one is given. Returns the owners whose oldest waiting line was dropped to keep the bounds, one entry
    // per line dropped (usually none).
    QStringList Push(const QString& owner, const QByteArray& line, const QString& target = QString());

    // Lines for a held target (matched as the server compares names) stay waiting until it is released.
    void Hold(const QString& target);
    bool IsHeld(const QString& target) const;
    void Release(const QString& target);
    // Releases the target and drops the lines waiting for it; returns how many.
    qsizetype DropHeld(const QString& target);

    // The lines that may be written at nowMs, in the order to write them; they count as sent from then on.
    QList<QByteArray> Take(qint64 nowMs);

    // Milliseconds from nowMs until Take can give another line: 0 when it can now, -1 when nothing waits.
    qint64 Wait(qint64 nowMs);

    // Lines waiting, urgent and protocol ones included.
    qsizetype Waiting() const { return m_urgent.size() + m_protocol.size() + m_total; }

    // Forgets the waiting lines and what the server was thought to hold: a new connection starts afresh.
    void Clear();

    // Keys the owners again after the server's case mapping changed; owners it now takes as one merge,
    // in the turn of the first, the first's lines before the other's.
    void Refold();

private:
    struct Entry {
        QByteArray Line;
        // The target as given, or empty.
        QString Target;
    };
    struct Owner {
        QString Name;
        std::deque<Entry> Lines;
    };

    // The first line of the owner that is not held; end() when all are.
    std::deque<Entry>::iterator NextFree(Owner& owner);
    // The line Take would send next, or nullptr when none may go.
    const QByteArray* NextLine();
    void Drain(qint64 nowMs);
    bool Fits(qsizetype bytes) const;
    void Sent(const QByteArray& line, qint64 nowMs);
    // Drops the oldest waiting line of the owner at key; returns that owner's name.
    QString DropOldest(const QString& key);

    SendPace m_pace;
    std::deque<QByteArray> m_urgent;
    std::deque<QByteArray> m_protocol;
    // The held targets as given: a handful at most, the channels the bot is rejoining.
    QStringList m_heldTargets;
    // Owners with lines waiting, keyed by their folded name; m_turns is the order they take turns in.
    QHash<QString, Owner> m_owners;
    std::deque<QString> m_turns;
    qsizetype m_total = 0;
    // The lines the server is thought to hold unhandled (their sizes), and when it last handled one.
    std::deque<qsizetype> m_held;
    qsizetype m_heldBytes = 0;
    qint64 m_lastHandled = 0;
};

} // namespace irc
