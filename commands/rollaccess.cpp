#include "commands/rollaccess.h"

#include "core/identity.h"

namespace commands {

Roller RollerOf(const irc::ChannelRoster& roster, const QString& nick)
{
    const irc::TIrcUser* user = roster.FindUser(nick);
    if (!user)
        return { nick, QString(), nick };
    return { nick, user->Account ? user->Account->toLower() : QString(), user->FirstNick };
}

bool IsRollerOf(const RollRecord& record, const Roller& who)
{
    if (!record.Account.isEmpty())
        return record.Account == who.Account;
    return record.Nick.compare(who.Nick, Qt::CaseInsensitive) == 0
        || record.Nick.compare(who.FirstNick, Qt::CaseInsensitive) == 0;
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
