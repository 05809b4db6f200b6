#include "core/seentracker.h"
#include "irc/casemapping.h"

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

qint64 RowsOf(const TChatUser& user)
{
    return 1 + user.Channels.size();
}

// The statements that write a user whole, prepared once per call.
class UserStatements {
public:
    explicit UserStatements(const QSqlDatabase& db)
        : m_user(db)
        , m_clearChannels(db)
        , m_entry(db)
        , m_removeUser(db)
    {
        m_user.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO users (id, nick, later_nicks, last_seen) VALUES (?, ?, ?, ?)"));
        m_clearChannels.prepare(QStringLiteral("DELETE FROM user_channels WHERE user_id = ?"));
        m_entry.prepare(QStringLiteral("INSERT INTO user_channels VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        m_removeUser.prepare(QStringLiteral("DELETE FROM users WHERE id = ?"));
    }

    // Replaces the rows of id with user, seen at now.
    bool Write(qsizetype id, const TChatUser& user, qint64 lastSeen)
    {
        m_user.addBindValue(id);
        m_user.addBindValue(user.Nick);
        m_user.addBindValue(Joined(user.LaterNicks));
        m_user.addBindValue(lastSeen);
        m_clearChannels.addBindValue(id);
        if (!m_user.exec() || !m_clearChannels.exec())
            return false;
        for (qsizetype i = 0; i < user.Channels.size(); ++i) {
            for (const QVariant& value :
                { QVariant(id), QVariant(i), QVariant(user.Channels.at(i)), QVariant(user.JoinTimes.at(i)),
                    QVariant(user.JoinNotes.at(i)), QVariant(user.LeaveTimes.at(i)),
                    QVariant(user.LeaveNotes.at(i)), QVariant(user.LastMessageTimes.at(i)) })
                m_entry.addBindValue(value);
            if (!m_entry.exec())
                return false;
        }
        return true;
    }

    bool Remove(qint64 id)
    {
        m_removeUser.addBindValue(id);
        m_clearChannels.addBindValue(id);
        return m_removeUser.exec() && m_clearChannels.exec();
    }

private:
    QSqlQuery m_user;
    QSqlQuery m_clearChannels;
    QSqlQuery m_entry;
    QSqlQuery m_removeUser;
};

} // namespace

// The storage of the seen tracker.

void SeenTracker::RebuildIndexes()
{
    m_index.clear();
    m_exactIndex.clear();
    for (qsizetype user = 0; user < m_users.size(); ++user) {
        const TChatUser& tracked = m_users.at(user);
        m_index.insert(irc::FoldName(tracked.Nick), user);
        m_exactIndex.insert(tracked.Nick, user);
        for (const QString& nick : tracked.LaterNicks)
            m_index.insert(irc::FoldName(nick), user);
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
    m_uncommitted.clear();
    EndMoving();
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
    m_writtenChannels = m_committedChannels = m_indexedChannels;
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
    if (!query.exec(QStringLiteral("SELECT id, nick, later_nicks, last_seen FROM users ORDER BY id")))
        return false;
    m_places.clear();
    EndMoving();
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        m_places.insert(id, m_users.size());
        m_storedIds.append(id);
        m_storedLastSeen.append(query.value(3).toLongLong());
        TChatUser user;
        user.Nick = query.value(1).toString();
        user.LaterNicks = Split(query.value(2).toString());
        m_users.append(user);
    }
    // Ids rise with places and none is missing up to the first forgotten user; the users after it move.
    while (m_nextToMove < m_storedIds.size() && m_storedIds.at(m_nextToMove) == m_nextToMove)
        ++m_nextToMove;
    if (m_nextToMove == m_storedIds.size())
        EndMoving();
    m_committedMoves = m_nextToMove;
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
    return m_nextToMove < m_storedIds.size() || !m_changed.isEmpty()
        || m_indexedChannels.size() != m_writtenChannels.size();
}

// A user is written whole, its row with its channel rows, so that a call writes at most maxRows rows, or
// a single user that has more. The users to move come first; the changed users wait for them, since the id
// of a user added since the start may still be held by a row not yet moved.
bool SeenTracker::WriteChanges(QSqlDatabase& db, int maxRows)
{
    UserStatements statements(db);
    const qint64 now = m_clock.SecondsSinceEpoch();
    qint64 rows = 0;
    const auto fits = [&](qsizetype user) { return rows == 0 || RowsOf(m_users.at(user)) <= maxRows - rows; };
    const auto write = [&](qsizetype user, qint64 lastSeen) {
        rows += RowsOf(m_users.at(user));
        return statements.Write(user, m_users.at(user), lastSeen);
    };
    // A user moved keeps the time he was last seen; one written because he changed was seen now.
    for (; m_nextToMove < m_storedIds.size() && fits(m_nextToMove); ++m_nextToMove) {
        if (!statements.Remove(m_storedIds.at(m_nextToMove))
            || !write(m_nextToMove, m_storedLastSeen.at(m_nextToMove)))
            return false;
    }
    if (m_nextToMove < m_storedIds.size())
        return true;
    for (auto user = m_changed.begin(); user != m_changed.end() && fits(*user);) {
        if (!write(*user, now))
            return false;
        m_uncommitted.insert(*user);
        user = m_changed.erase(user);
    }
    QSqlQuery channel(db);
    channel.prepare(QStringLiteral("INSERT OR IGNORE INTO indexed_channels VALUES (?)"));
    for (const QString& name : std::as_const(m_indexedChannels)) {
        if (rows >= maxRows)
            break;
        if (m_writtenChannels.contains(name))
            continue;
        channel.addBindValue(name);
        if (!channel.exec())
            return false;
        m_writtenChannels.insert(name);
        ++rows;
    }
    return true;
}

void SeenTracker::Committed()
{
    m_uncommitted.clear();
    m_committedChannels = m_writtenChannels;
    if (m_nextToMove == m_storedIds.size())
        EndMoving();
    m_committedMoves = m_nextToMove;
}

// The users moved since the last commit are moved again: their old rows are back.
void SeenTracker::RolledBack()
{
    m_changed.unite(std::exchange(m_uncommitted, {}));
    m_writtenChannels = m_committedChannels;
    m_nextToMove = m_committedMoves;
}

void SeenTracker::EndMoving()
{
    m_storedIds.clear();
    m_storedLastSeen.clear();
    m_nextToMove = 0;
    m_committedMoves = 0;
}

} // namespace core
