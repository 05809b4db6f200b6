#include "core/logstore.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

LogStore::LogStore(BotState& state)
    : m_state(state)
{
}

bool LogStore::Load(QSqlDatabase& db)
{
    m_state.ChannelLogs.clear();
    m_state.ChannelLogIndex.clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT target, lines FROM channel_logs ORDER BY position")))
        return false;
    while (query.next()) {
        const QString target = query.value(0).toString();
        m_state.ChannelLogIndex.insert(target, m_state.ChannelLogs.size());
        m_state.ChannelLogs.append(query.value(1).toString().split(u'\n'));
    }
    return true;
}

bool LogStore::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("INSERT OR REPLACE INTO channel_logs (position, target, lines) VALUES (?, ?, ?)"));
    for (const QString& target : std::as_const(m_state.Changes.Logs)) {
        const qsizetype index = m_state.ChannelLogIndex.value(target, -1);
        if (index < 0)
            continue;
        query.addBindValue(index);
        query.addBindValue(target);
        query.addBindValue(m_state.ChannelLogs.at(index).join(u'\n'));
        if (!query.exec())
            return false;
    }
    m_state.Changes.Logs.clear();
    return true;
}

} // namespace core
