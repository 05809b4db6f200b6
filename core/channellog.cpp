#include "core/channellog.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

const QStringList* ChannelLogs::Find(const QString& target) const
{
    const qsizetype index = m_index.value(target, -1);
    return index < 0 ? nullptr : &m_logs.at(index);
}

void ChannelLogs::Append(
    const QString& target, const QString& sender, const QString& text, const Clock& clock, int limit)
{
    qsizetype index = m_index.value(target, -1);
    if (index < 0) {
        m_logs.append(QStringList {
            target,
            QStringLiteral("Logging channel ") + target + QStringLiteral(" since ") + clock.LogStampNow()
                + QStringLiteral("(local)"),
        });
        index = m_logs.size() - 1;
        m_index.insert(target, index);
    }
    QStringList& log = m_logs[index];
    log.append(u'<' + sender + QStringLiteral("> ") + text);
    // One line out per line in keeps the log at its limit; the two fixed lines always stay.
    if (log.size() > limit && log.size() > 2)
        log.removeAt(2);
    if (m_kept)
        m_changed.insert(target);
}

void ChannelLogs::Clear()
{
    m_logs.clear();
    m_index.clear();
    m_changed.clear();
}

bool ChannelLogs::Load(QSqlDatabase& db)
{
    Clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT target, lines FROM channel_logs ORDER BY position")))
        return false;
    while (query.next()) {
        m_index.insert(query.value(0).toString(), m_logs.size());
        m_logs.append(query.value(1).toString().split(u'\n'));
    }
    return true;
}

bool ChannelLogs::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("INSERT OR REPLACE INTO channel_logs (position, target, lines) VALUES (?, ?, ?)"));
    for (const QString& target : std::as_const(m_changed)) {
        const qsizetype index = m_index.value(target, -1);
        if (index < 0)
            continue;
        query.addBindValue(index);
        query.addBindValue(target);
        query.addBindValue(m_logs.at(index).join(u'\n'));
        if (!query.exec())
            return false;
    }
    m_changed.clear();
    return true;
}

} // namespace core
