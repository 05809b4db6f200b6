#include "core/seentracker.h"

#include "irc/casemapping.h"

namespace core {

namespace {

void AddChannelEntry(TChatUser& user, const QString& channel, const QString& stamp, const QString& note)
{
    user.Channels.append(channel);
    user.JoinTimes.append(stamp);
    user.JoinNotes.append(note);
    user.LeaveTimes.append(QString());
    user.LeaveNotes.append(QString());
    user.LastMessageTimes.append(NeverSpoke);
}

void SetLeave(TChatUser& user, qsizetype entry, const QString& stamp, const QString& note)
{
    user.LeaveTimes[entry] = stamp;
    user.LeaveNotes[entry] = note;
}

} // namespace

SeenTracker::SeenTracker(const Clock& clock)
    : m_clock(clock)
{
}

void SeenTracker::IndexNick(const QString& nick, qsizetype user)
{
    qsizetype& last = m_index[irc::FoldName(nick)];
    last = std::max(last, user);
}

qsizetype SeenTracker::AddUser(const QString& nick)
{
    m_users.append(TChatUser { nick, {}, {}, {}, {}, {}, {}, {} });
    const qsizetype user = m_users.size() - 1;
    IndexNick(nick, user);
    m_exactIndex[nick] = user;
    MarkChanged(user);
    return user;
}

void SeenTracker::MarkChanged(qsizetype user)
{
    if (m_kept)
        m_changed.insert(user);
}

void SeenTracker::NoteJoin(const QString& channel, const QString& nick, const QString& stamp)
{
    const std::optional<qsizetype> found = Find(nick);
    const qsizetype index = found ? *found : AddUser(nick);
    MarkChanged(index);
    TChatUser& user = m_users[index];
    const std::optional<qsizetype> entry = FindUserChannel(user, channel);
    if (!entry) {
        AddChannelEntry(user, channel, stamp, notes::Connected);
        return;
    }
    // A new join starts the record afresh, the last message included.
    user.JoinTimes[*entry] = stamp;
    user.JoinNotes[*entry] = notes::Connected;
    user.LeaveTimes[*entry].clear();
    user.LeaveNotes[*entry].clear();
    user.LastMessageTimes[*entry] = NeverSpoke;
}

void SeenTracker::NoteLeave(
    const QString& channel, const QString& nick, const QString& stamp, const QString& note)
{
    const std::optional<qsizetype> user = Find(nick);
    if (!user)
        return;
    TChatUser& tracked = m_users[*user];
    if (const std::optional<qsizetype> entry = FindUserChannel(tracked, channel)) {
        SetLeave(tracked, *entry, stamp, note);
        MarkChanged(*user);
    }
}

std::optional<qsizetype> SeenTracker::Find(const QString& nick) const
{
    const auto found = m_index.constFind(irc::FoldName(nick));
    if (found == m_index.cend())
        return std::nullopt;
    return *found;
}

std::optional<qsizetype> SeenTracker::FindExact(const QString& nick) const
{
    const auto found = m_exactIndex.constFind(nick);
    if (found == m_exactIndex.cend())
        return std::nullopt;
    return *found;
}

std::optional<qsizetype> FindUserChannel(const TChatUser& user, const QString& channel)
{
    for (qsizetype entry = user.Channels.size() - 1; entry >= 0; --entry) {
        if (irc::SameName(user.Channels.at(entry), channel))
            return entry;
    }
    return std::nullopt;
}

void SeenTracker::TakeInChannel(
    const QString& channel, const QStringList& nicks, const QString& stamp, bool markIndexed)
{
    if (m_indexedChannels.contains(channel))
        return;
    for (const QString& nick : nicks) {
        const std::optional<qsizetype> found = Find(nick);
        const qsizetype index = found ? *found : AddUser(nick);
        TChatUser& user = m_users[index];
        if (!FindUserChannel(user, channel)) {
            AddChannelEntry(user, channel, stamp, notes::AlreadyOnline);
            MarkChanged(index);
        }
    }
    if (markIndexed || !nicks.isEmpty())
        m_indexedChannels.insert(channel);
}

void SeenTracker::OnChannelUpdate(const QString& channel, const QStringList& nicks, ChannelEvent event,
    const QString& nick, const QString& stamp)
{
    TakeInChannel(channel, nicks, stamp, false);
    switch (event) {
    case ChannelEvent::Joined:
        NoteJoin(channel, nick, stamp);
        break;
    case ChannelEvent::Parted:
        NoteLeave(channel, nick, stamp, notes::Parted);
        break;
    case ChannelEvent::Kicked:
        NoteLeave(channel, nick, stamp, notes::Kicked);
        break;
    case ChannelEvent::Quit:
        if (const std::optional<qsizetype> user = Find(nick)) {
            TChatUser& tracked = m_users[*user];
            for (qsizetype entry = 0; entry < tracked.Channels.size(); ++entry)
                SetLeave(tracked, entry, stamp, notes::Quit);
            MarkChanged(*user);
        }
        break;
    case ChannelEvent::Other:
        break;
    }
}

void SeenTracker::OnNickChange(const QString& oldNick, const QString& newNick)
{
    const std::optional<qsizetype> user = Find(oldNick);
    if (!user || Find(newNick) == user)
        return;
    m_users[*user].LaterNicks.append(newNick);
    IndexNick(newNick, *user);
    MarkChanged(*user);
}

void SeenTracker::OnChannelMessage(const QString& nick, const QString& channel, const QString& stamp)
{
    const std::optional<qsizetype> user = Find(nick);
    if (!user)
        return;
    TChatUser& tracked = m_users[*user];
    if (const std::optional<qsizetype> entry = FindUserChannel(tracked, channel)) {
        tracked.LastMessageTimes[*entry] = stamp;
        MarkChanged(*user);
    }
}

void SeenTracker::OnBotLeftChannel(const QString& channel, const QStringList& nicks, const QString& stamp)
{
    for (const QString& nick : nicks)
        NoteLeave(channel, nick, stamp, notes::BotLeft);
}

void SeenTracker::OnBotKickedOut(const QString& channel, const QStringList& nicks, const QString& stamp)
{
    for (const QString& nick : nicks) {
        const std::optional<qsizetype> user = FindExact(nick);
        if (!user)
            continue;
        TChatUser& tracked = m_users[*user];
        if (const std::optional<qsizetype> entry = FindUserChannel(tracked, channel)) {
            SetLeave(tracked, *entry, stamp, notes::BotKicked);
            MarkChanged(*user);
        }
    }
}

void SeenTracker::Clear()
{
    m_users.clear();
    m_index.clear();
    m_exactIndex.clear();
    m_indexedChannels.clear();
    m_changed.clear();
    m_uncommitted.clear();
    EndMoving();
}

} // namespace core
