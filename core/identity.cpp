#include "core/identity.h"

namespace core {

bool SameUser(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsPrivileged(const BotState& state, const QString& nick)
{
    if (SameUser(nick, state.OwnerNick))
        return true;
    for (const QString& entry : state.PrivilegedUsers) {
        if (SameUser(entry, nick))
            return true;
    }
    return false;
}

bool IsBanned(const BotState& state, const QString& nick)
{
    for (const QString& entry : state.BannedUsers) {
        if (SameUser(entry, nick))
            return true;
    }
    return false;
}

} // namespace core
