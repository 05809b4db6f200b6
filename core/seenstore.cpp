#include "core/seentracker.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

namespace {

QString Joined(const QStringList& list)
{
    return list.join(u'\n');
}

QStringList Split(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

} // namespace

// The storage of the seen tracker.

void SeenTracker::RebuildIndexes()
{
    m_index.clear();
    m_exactIndex.clear();
    for (qsizetype user = 0; user < m_users.size(); ++user) {
        const TChatUser& tracked = m_users.at(user);
        m_index.insert(tracked.Nick.toLower(), user);
        m_exactIndex.insert(tracked.Nick, user);
        for (const QString& nick : tracked.LaterNicks)
            m_index.insert(nick.toLower(), user);
    }
}

void SeenTracker::Keep(int forgetAfterDays)
{
    m_kept = true;
    m_forgetAfterDays = forgetAfterDays;
}

void SeenTracker::StopKeeping()
{
    m_kept = false;
    m_changed.clear();
}

bool SeenTracker::Load(QSqlDatabase& db)
{
    Clear();
    if (!Forget(db) || !LoadUsers(db) || !LoadChannels(db))
        return false;
    m_places.clear();
    RebuildIndexes();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT channel FROM indexed_channels")))
        return false;
    while (query.next())
        m_indexedChannels.insert(query.value(0).toString());
    m_writtenChannels = m_indexedChannels;
    return true;
}

bool SeenTracker::Forget(QSqlDatabase& db)
{
    if (m_forgetAfterDays <= 0)
        return true;
    const qint64 before = m_clock.SecondsSinceEpoch() - qint64 { m_forgetAfterDays } * 86400;
    QSqlQuery channels(db);
    channels.prepare(QStringLiteral(
        "DELETE FROM user_channels WHERE user_id IN (SELECT id FROM users WHERE last_seen < ?)"));
    channels.addBindValue(before);
    QSqlQuery users(db);
    users.prepare(QStringLiteral("DELETE FROM users WHERE last_seen < ?"));
    users.addBindValue(before);
    return db.transaction() && channels.exec() && users.exec() && db.commit();
}

bool SeenTracker::LoadUsers(QSqlDatabase& db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, nick, later_nicks FROM users ORDER BY id")))
        return false;
    m_rewriteAll = false;
    m_places.clear();
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        m_rewriteAll = m_rewriteAll || id != m_users.size();
        m_places.insert(id, m_users.size());
        TChatUser user;
        user.Nick = query.value(1).toString();
        user.LaterNicks = Split(query.value(2).toString());
        m_users.append(user);
    }
    if (m_rewriteAll) {
        for (qsizetype user = 0; user < m_users.size(); ++user)
            m_changed.insert(user);
    }
    return true;
}

bool SeenTracker::LoadChannels(QSqlDatabase& db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT user_id, channel, join_time, join_note, leave_time, leave_note, "
                                   "last_message FROM user_channels ORDER BY user_id, position")))
        return false;
    while (query.next()) {
        const qsizetype place = m_places.value(query.value(0).toLongLong(), -1);
        if (place < 0)
            continue;
        TChatUser& user = m_users[place];
        user.Channels.append(query.value(1).toString());
        user.JoinTimes.append(query.value(2).toString());
        user.JoinNotes.append(query.value(3).toString());
        user.LeaveTimes.append(query.value(4).toString());
        user.LeaveNotes.append(query.value(5).toString());
        user.LastMessageTimes.append(query.value(6).toString());
    }
    return true;
}

bool SeenTracker::HasChanges() const
{
    return !m_changed.isEmpty() || m_indexedChannels.size() != m_writtenChannels.size();
}

bool SeenTracker::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    if (m_rewriteAll) {
        QSqlQuery clear(db);
        if (!clear.exec(QStringLiteral("DELETE FROM user_channels"))
            || !clear.exec(QStringLiteral("DELETE FROM users")))
            return false;
        m_rewriteAll = false;
    }
    QSqlQuery user(db);
    user.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO users (id, nick, later_nicks, last_seen) VALUES (?, ?, ?, ?)"));
    QSqlQuery clear(db);
    clear.prepare(QStringLiteral("DELETE FROM user_channels WHERE user_id = ?"));
    QSqlQuery entry(db);
    entry.prepare(QStringLiteral("INSERT INTO user_channels VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    const qint64 now = m_clock.SecondsSinceEpoch();
    for (const qsizetype index : std::as_const(m_changed)) {
        const TChatUser& tracked = m_users.at(index);
        user.addBindValue(index);
        user.addBindValue(tracked.Nick);
        user.addBindValue(Joined(tracked.LaterNicks));
        user.addBindValue(now);
        clear.addBindValue(index);
        if (!user.exec() || !clear.exec())
            return false;
        for (qsizetype i = 0; i < tracked.Channels.size(); ++i) {
            for (const QVariant& value : { QVariant(index), QVariant(i), QVariant(tracked.Channels.at(i)),
                     QVariant(tracked.JoinTimes.at(i)), QVariant(tracked.JoinNotes.at(i)),
                     QVariant(tracked.LeaveTimes.at(i)), QVariant(tracked.LeaveNotes.at(i)),
                     QVariant(tracked.LastMessageTimes.at(i)) })
                entry.addBindValue(value);
            if (!entry.exec())
                return false;
        }
    }
    m_changed.clear();
    QSqlQuery channel(db);
    channel.prepare(QStringLiteral("INSERT OR IGNORE INTO indexed_channels VALUES (?)"));
    for (const QString& name : std::as_const(m_indexedChannels)) {
        if (m_writtenChannels.contains(name))
            continue;
        channel.addBindValue(name);
        if (!channel.exec())
            return false;
        m_writtenChannels.insert(name);
    }
    return true;
}

} // namespace core
