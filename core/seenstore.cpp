#include "core/seenstore.h"

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

void RebuildUserIndexes(BotState& state)
{
    state.ChatUserIndex.clear();
    state.ChatUserExactIndex.clear();
    for (qsizetype user = 0; user < state.ChatUsers.size(); ++user) {
        const TChatUser& tracked = state.ChatUsers.at(user);
        state.ChatUserIndex.insert(tracked.Nick.toLower(), user);
        state.ChatUserExactIndex.insert(tracked.Nick, user);
        for (const QString& nick : tracked.LaterNicks)
            state.ChatUserIndex.insert(nick.toLower(), user);
    }
}

SeenStore::SeenStore(BotState& state, const Clock& clock, int forgetAfterDays)
    : m_state(state)
    , m_clock(clock)
    , m_forgetAfterDays(forgetAfterDays)
{
}

bool SeenStore::Load(QSqlDatabase& db)
{
    m_state.ChatUsers.clear();
    if (!Forget(db) || !LoadUsers(db) || !LoadChannels(db))
        return false;
    m_places.clear();
    RebuildUserIndexes(m_state);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT channel FROM indexed_channels")))
        return false;
    while (query.next())
        m_state.IndexedChannels.insert(query.value(0).toString());
    m_writtenChannels = m_state.IndexedChannels;
    return true;
}

bool SeenStore::Forget(QSqlDatabase& db)
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

bool SeenStore::LoadUsers(QSqlDatabase& db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, nick, later_nicks FROM users ORDER BY id")))
        return false;
    m_rewriteAll = false;
    m_places.clear();
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        m_rewriteAll = m_rewriteAll || id != m_state.ChatUsers.size();
        m_places.insert(id, m_state.ChatUsers.size());
        TChatUser user;
        user.Nick = query.value(1).toString();
        user.LaterNicks = Split(query.value(2).toString());
        m_state.ChatUsers.append(user);
    }
    if (m_rewriteAll) {
        for (qsizetype user = 0; user < m_state.ChatUsers.size(); ++user)
            m_state.Changes.Users.insert(user);
    }
    return true;
}

bool SeenStore::LoadChannels(QSqlDatabase& db)
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
        TChatUser& user = m_state.ChatUsers[place];
        user.Channels.append(query.value(1).toString());
        user.JoinTimes.append(query.value(2).toString());
        user.JoinNotes.append(query.value(3).toString());
        user.LeaveTimes.append(query.value(4).toString());
        user.LeaveNotes.append(query.value(5).toString());
        user.LastMessageTimes.append(query.value(6).toString());
    }
    return true;
}

bool SeenStore::HasChanges() const
{
    return !m_state.Changes.Users.isEmpty() || m_state.IndexedChannels.size() != m_writtenChannels.size();
}

bool SeenStore::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
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
    for (const qsizetype index : std::as_const(m_state.Changes.Users)) {
        const TChatUser& tracked = m_state.ChatUsers.at(index);
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
    m_state.Changes.Users.clear();
    QSqlQuery channel(db);
    channel.prepare(QStringLiteral("INSERT OR IGNORE INTO indexed_channels VALUES (?)"));
    for (const QString& name : std::as_const(m_state.IndexedChannels)) {
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
