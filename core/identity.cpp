#include "core/identity.h"

#include "core/seentracker.h"

namespace core {

bool SameUser(const BotState& state, const QString& a, const QString& b)
{
    const std::optional<qsizetype> userA = FindChatUser(state, a);
    const std::optional<qsizetype> userB = FindChatUser(state, b);
    if (userA && userB)
        return *userA == *userB;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsPrivileged(const BotState& state, const irc::ChannelRoster& roster, const QString& nick)
{
    const irc::TIrcUser* seen = roster.FindUser(nick);
    const QString& evidence = seen ? seen->FirstNick : nick;
    if (irc::SameName(evidence, state.OwnerNick))
        return true;
    for (const QString& entry : state.PrivilegedUsers) {
        if (irc::SameName(evidence, entry))
            return true;
    }
    return false;
}

bool IsBanned(const BotState& state, const QString& nick)
{
    for (const QString& entry : state.BannedUsers) {
        if (SameUser(state, entry, nick))
            return true;
    }
    return false;
}

} // namespace core
