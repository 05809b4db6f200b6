#pragma once

// The seen tracker: every user the bot has seen on its channels, under which nicks, and when each came,
// left and last spoke on each channel. It is fed by events (names lists, joins, parts, kicks, quits, nick
// changes, messages) and answers who a nick is, which the privilege and ban tests rely on.
//
// Users are kept in the order first seen, and are never removed while the bot runs. Lookups go through an
// index by folded nick (later nicks included, folded as the server compares names) that always names the
// last user with that nick, so a lookup costs the same with a hundred users as with a hundred thousand.
//
// As a part of the store the users and the indexed channels are read back at start (those not seen for a
// number of days forgotten), and each user that changed is written at the next flush, a few per slice.

#include "core/chatuser.h"
#include "core/clock.h"
#include "core/store.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <optional>

namespace core {

// What happened on a channel, as far as the tracker cares.
enum class ChannelEvent { Joined, Parted, Kicked, Quit, Other };

namespace notes {
inline const QString AlreadyOnline = QStringLiteral("was already online when I indexed the channel.");
inline const QString Connected = QStringLiteral("connected when I was on the channel.");
inline const QString Parted = QStringLiteral(" and left the channel when I was on it.");
inline const QString Kicked = QStringLiteral(" and was kicked off the channel when I was on it.");
inline const QString Quit = QStringLiteral(" and quit.");
inline const QString BotLeft = QStringLiteral(" (was still online when I left the channel).");
inline const QString BotKicked = QStringLiteral(" (was still online when I was kicked).");
} // namespace notes

inline const QString NeverSpoke = QStringLiteral("never");

// The entry of the user's channels that is channel as the server compares names (the last such).
std::optional<qsizetype> FindUserChannel(const TChatUser& user, const QString& channel);

class SeenTracker final : public StorePart {
public:
    // The clock dates what is written to the store, and tells which users to forget at start.
    explicit SeenTracker(const Clock& clock);

    const QList<TChatUser>& Users() const { return m_users; }
    // The last user whose first nick or any later nick is nick as the server compares names.
    std::optional<qsizetype> Find(const QString& nick) const;
    // The last user whose first nick equals nick exactly; later nicks do not count.
    std::optional<qsizetype> FindExact(const QString& nick) const;
    bool IsIndexed(const QString& channel) const { return m_indexedChannels.contains(channel); }

    // Takes in the users of a channel the bot has not indexed yet. markIndexed says whether the channel
    // counts as indexed afterwards even when nicks is empty.
    void TakeInChannel(
        const QString& channel, const QStringList& nicks, const QString& stamp, bool markIndexed);
    // A channel update raised for a channel the bot is on: takes the channel in first when it is new.
    void OnChannelUpdate(const QString& channel, const QStringList& nicks, ChannelEvent event,
        const QString& nick, const QString& stamp);
    void OnNickChange(const QString& oldNick, const QString& newNick);
    void OnChannelMessage(const QString& nick, const QString& channel, const QString& stamp);
    // The bot left a channel on a part command: everybody still there is noted as such.
    void OnBotLeftChannel(const QString& channel, const QStringList& nicks, const QString& stamp);
    // The bot was kicked and could not rejoin.
    void OnBotKickedOut(const QString& channel, const QStringList& nicks, const QString& stamp);
    // Forgets every user and indexed channel.
    void Clear();
    // Indexes the nicks again, after the server's case mapping changed.
    void RebuildIndexes();

    // Keeps the users in the store from now on, forgetting at load those not seen for forgetAfterDays (0:
    // none). Only while kept are changes noted, so that a bot that keeps nothing notes nothing.
    void Keep(int forgetAfterDays);
    void StopKeeping();
    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override;
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;
    void Committed() override;
    void RolledBack() override;

private:
    void IndexNick(const QString& nick, qsizetype user);
    qsizetype AddUser(const QString& nick);
    void NoteJoin(const QString& channel, const QString& nick, const QString& stamp);
    void NoteLeave(const QString& channel, const QString& nick, const QString& stamp, const QString& note);
    void MarkChanged(qsizetype user);
    bool Forget(QSqlDatabase& db);
    bool LoadUsers(QSqlDatabase& db);
    bool LoadChannels(QSqlDatabase& db);
    void EndMoving();

    const Clock& m_clock;
    QList<TChatUser> m_users;
    // Folded nick (first or later) to the last user that has it, and first nick to its last user.
    QHash<QString, qsizetype> m_index;
    QHash<QString, qsizetype> m_exactIndex;
    QSet<QString> m_indexedChannels;

    bool m_kept = false;
    int m_forgetAfterDays = 0;
    QSet<qsizetype> m_changed;
    QSet<QString> m_writtenChannels;
    // What was written since the last commit: the users, the indexed channels before, the moves before.
    QSet<qsizetype> m_uncommitted;
    QSet<QString> m_committedChannels;
    qsizetype m_committedMoves = 0;
    // Stored id to place among the users, while loading.
    QHash<qint64, qsizetype> m_places;
    // When users were forgotten at start, ids no longer match places: each user after the first forgotten
    // one moves from its stored id to its place, in the order of places, so that the file holds every user
    // once whenever a flush is committed between two moves. Empty when nothing is left to move, once the
    // last move is committed.
    QList<qint64> m_storedIds;
    // When each of them was last seen, as stored.
    QList<qint64> m_storedLastSeen;
    qsizetype m_nextToMove = 0;
};

} // namespace core
