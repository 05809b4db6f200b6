#include "commands/rollaccess.h"

#include "core/identity.h"

namespace commands {

Roller RollerOf(const irc::ChannelRoster& roster, const QString& nick)
{
    const irc::TIrcUser* user = roster.FindUser(nick);
    return { nick, user && user->Account ? user->Account->toLower() : QString() };
}

bool IsRollerOf(const RollRecord& record, const Roller& who)
{
    return record.Account.isEmpty() ? record.Nick.compare(who.Nick, Qt::CaseInsensitive) == 0
                                    : record.Account == who.Account;
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
