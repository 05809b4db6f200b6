#include "core/seentracker.h"

namespace core {

namespace {

void IndexNick(BotState& state, const QString& nick, qsizetype user)
{
    qsizetype& last = state.ChatUserIndex[nick.toLower()];
    last = std::max(last, user);
}

qsizetype AddUser(BotState& state, const QString& nick)
{
    state.ChatUsers.append(TChatUser { nick, {}, {}, {}, {}, {}, {}, {} });
    const qsizetype user = state.ChatUsers.size() - 1;
    IndexNick(state, nick, user);
    state.ChatUserExactIndex[nick] = user;
    MarkUserChanged(state, user);
    return user;
}

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

void NoteJoin(BotState& state, const QString& channel, const QString& nick, const QString& stamp)
{
    const std::optional<qsizetype> found = FindChatUser(state, nick);
    const qsizetype index = found ? *found : AddUser(state, nick);
    MarkUserChanged(state, index);
    TChatUser& user = state.ChatUsers[index];
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

void NoteLeave(
    BotState& state, const QString& channel, const QString& nick, const QString& stamp, const QString& note)
{
    const std::optional<qsizetype> user = FindChatUser(state, nick);
    if (!user)
        return;
    TChatUser& tracked = state.ChatUsers[*user];
    if (const std::optional<qsizetype> entry = FindUserChannel(tracked, channel)) {
        SetLeave(tracked, *entry, stamp, note);
        MarkUserChanged(state, *user);
    }
}

} // namespace

std::optional<qsizetype> FindChatUser(const BotState& state, const QString& nick)
{
    const auto found = state.ChatUserIndex.constFind(nick.toLower());
    if (found == state.ChatUserIndex.cend())
        return std::nullopt;
    return *found;
}

std::optional<qsizetype> FindChatUserExact(const BotState& state, const QString& nick)
{
    const auto found = state.ChatUserExactIndex.constFind(nick);
    if (found == state.ChatUserExactIndex.cend())
        return std::nullopt;
    return *found;
}

std::optional<qsizetype> FindUserChannel(const TChatUser& user, const QString& channel)
{
    const qsizetype entry = user.Channels.lastIndexOf(channel);
    if (entry < 0)
        return std::nullopt;
    return entry;
}

void TakeInChannel(
    BotState& state, const QString& channel, const QStringList& nicks, const QString& stamp, bool markIndexed)
{
    if (state.IndexedChannels.contains(channel))
        return;
    for (const QString& nick : nicks) {
        const std::optional<qsizetype> found = FindChatUser(state, nick);
        const qsizetype index = found ? *found : AddUser(state, nick);
        TChatUser& user = state.ChatUsers[index];
        if (!FindUserChannel(user, channel)) {
            AddChannelEntry(user, channel, stamp, notes::AlreadyOnline);
            MarkUserChanged(state, index);
        }
    }
    if (markIndexed || !nicks.isEmpty())
        state.IndexedChannels.insert(channel);
}

void OnChannelUpdate(BotState& state, const QString& channel, const QStringList& nicks, ChannelEvent event,
    const QString& nick, const QString& stamp)
{
    TakeInChannel(state, channel, nicks, stamp, false);
    switch (event) {
    case ChannelEvent::Joined:
        NoteJoin(state, channel, nick, stamp);
        break;
    case ChannelEvent::Parted:
        NoteLeave(state, channel, nick, stamp, notes::Parted);
        break;
    case ChannelEvent::Kicked:
        NoteLeave(state, channel, nick, stamp, notes::Kicked);
        break;
    case ChannelEvent::Quit:
        if (const std::optional<qsizetype> user = FindChatUser(state, nick)) {
            TChatUser& tracked = state.ChatUsers[*user];
            for (qsizetype entry = 0; entry < tracked.Channels.size(); ++entry)
                SetLeave(tracked, entry, stamp, notes::Quit);
            MarkUserChanged(state, *user);
        }
        break;
    case ChannelEvent::Other:
        break;
    }
}

void OnNickChange(BotState& state, const QString& oldNick, const QString& newNick)
{
    const std::optional<qsizetype> user = FindChatUser(state, oldNick);
    if (!user || FindChatUser(state, newNick) == user)
        return;
    state.ChatUsers[*user].LaterNicks.append(newNick);
    IndexNick(state, newNick, *user);
    MarkUserChanged(state, *user);
}

void OnChannelMessage(BotState& state, const QString& nick, const QString& channel, const QString& stamp)
{
    const std::optional<qsizetype> user = FindChatUser(state, nick);
    if (!user)
        return;
    TChatUser& tracked = state.ChatUsers[*user];
    if (const std::optional<qsizetype> entry = FindUserChannel(tracked, channel)) {
        tracked.LastMessageTimes[*entry] = stamp;
        MarkUserChanged(state, *user);
    }
}

void OnBotLeftChannel(BotState& state, const QString& channel, const QStringList& nicks, const QString& stamp)
{
    for (const QString& nick : nicks)
        NoteLeave(state, channel, nick, stamp, notes::BotLeft);
}

void OnBotKickedOut(BotState& state, const QString& channel, const QStringList& nicks, const QString& stamp)
{
    for (const QString& nick : nicks) {
        const std::optional<qsizetype> user = FindChatUserExact(state, nick);
        if (!user)
            continue;
        TChatUser& tracked = state.ChatUsers[*user];
        if (const std::optional<qsizetype> entry = FindUserChannel(tracked, channel)) {
            SetLeave(tracked, *entry, stamp, notes::BotKicked);
            MarkUserChanged(state, *user);
        }
    }
}

} // namespace core
