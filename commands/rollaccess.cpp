#include "commands/rollaccess.h"

#include "core/identity.h"
#include "irc/casemapping.h"

namespace commands {

Roller RollerOf(const irc::ChannelRoster& roster, const QString& nick)
{
    const irc::TIrcUser* user = roster.FindUser(nick);
    if (!user)
        return { nick, QString(), nick };
    return { nick, user->Account ? irc::FoldName(*user->Account) : QString(), user->FirstNick };
}

bool IsRollerOf(const RollRecord& record, const Roller& who)
{
    if (!record.Account.isEmpty())
        return record.Account == who.Account;
    return irc::SameName(record.Nick, who.Nick) || irc::SameName(record.Nick, who.FirstNick);
}

bool KnowsSecret(const Services& services, const RollRecord& record, const QString& nick)
{
    if (IsRollerOf(record, RollerOf(services.Roster, nick)))
        return true;
    return record.Kind == RollKind::Secret
        && core::IsGameMaster(services.State, services.Roster, record.Place, nick);
}

bool MaySee(const Services& services, const RollRecord& record, const QString& nick)
{
    return record.Kind == RollKind::Public || KnowsSecret(services, record, nick);
}

} // namespace commands
