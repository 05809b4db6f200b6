#pragma once

// The logs of recent lines, one per channel or private conversation. Line 0 of a log is the name it was
// started under (the channel, or the sender's nick), line 1 a header saying since when it logs, and the
// message lines follow, oldest first, at most the limit in all. As a part of the store the logs are read
// back at start, and each log a line was added to is written whole (it is small) at the next flush.

#include "core/clock.h"
#include "core/store.h"
#include "irc/channelroster.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <utility>

namespace core {

// Whom a log belongs to: a channel, by its name; or a private conversation, by the services account its
// user is logged in to where the network tells accounts (folded as the server compares names, so that
// letter case does not part one account's logs), else by his nick. Names compare exactly.
struct LogOwner {
    QString Name;
    bool IsAccount = false;

    bool operator==(const LogOwner& other) const = default;
};

size_t qHash(const LogOwner& owner, size_t seed = 0);

// The owner of the log for target: the channel, or for a nick (a private conversation, or a silent
// channel's replies) that user's account where the roster tells one, so that whoever takes the nick later
// without the account does not reach the log, and the user keeps it under any nick.
LogOwner LogOwnerOf(const irc::ChannelRoster& roster, const QString& target);

class ChannelLogs final : public StorePart {
public:
    // The log of owner, or null.
    const QStringList* Find(const LogOwner& owner) const;
    // Appends "<sender> text" to the log of owner, creating the log first (named target and dated by
    // clock) when there is none, and drops its oldest message line when it then has more than limit lines.
    void Append(const LogOwner& owner, const QString& target, const QString& sender, const QString& text,
        const Clock& clock, int limit);
    const QList<QStringList>& All() const { return m_logs; }
    // Forgets every log.
    void Clear();
    // Keys the accounts' logs again after the server's case mapping changed from from to to. The log of
    // an account whose key to would part belongs to nobody from then on (UnownedKey, namekeys.h): it may be
    // the log of any one of the accounts to tells apart.
    void Refold(irc::CaseMapping from, irc::CaseMapping to);

    // Only while kept are changes noted for the store, so that a bot that keeps nothing notes nothing.
    void SetKept(bool kept) { m_kept = kept; }
    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override { return !m_changed.isEmpty(); }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;
    void Committed() override { m_uncommitted.clear(); }
    void RolledBack() override { m_changed.unite(std::exchange(m_uncommitted, {})); }

private:
    QList<QStringList> m_logs;
    // The owner of each log in m_logs, and each owner's place there.
    QList<LogOwner> m_owners;
    QHash<LogOwner, qsizetype> m_index;
    bool m_kept = false;
    // The logs changed since the last write, and those written since the last commit.
    QSet<qsizetype> m_changed;
    QSet<qsizetype> m_uncommitted;
};

} // namespace core
