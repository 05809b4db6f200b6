#pragma once

// The logs of recent lines, one per channel or private conversation. Line 0 of a log is its key (the
// target name, compared exactly), line 1 a header saying since when it logs, and the message lines follow,
// oldest first, at most the limit in all. As a part of the store the logs are read back at start, and each
// log a line was added to is written whole (it is small) at the next flush.

#include "core/clock.h"
#include "core/store.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

namespace core {

class ChannelLogs final : public StorePart {
public:
    // The log keyed by target, or null.
    const QStringList* Find(const QString& target) const;
    // Appends "<sender> text" to the log of target, creating the log first (dated by clock) when there is
    // none, and drops its oldest message line when it then has more than limit lines.
    void Append(
        const QString& target, const QString& sender, const QString& text, const Clock& clock, int limit);
    const QList<QStringList>& All() const { return m_logs; }
    // Forgets every log.
    void Clear();

    // Only while kept are changes noted for the store, so that a bot that keeps nothing notes nothing.
    void SetKept(bool kept) { m_kept = kept; }
    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override { return !m_changed.isEmpty(); }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;

private:
    QList<QStringList> m_logs;
    QHash<QString, qsizetype> m_index; // key to its log in m_logs
    bool m_kept = false;
    QSet<QString> m_changed;
};

} // namespace core
