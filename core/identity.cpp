#include "core/identity.h"

#include "core/hostmask.h"
#include "core/placesettings.h"
#include "core/seentracker.h"

namespace core {

namespace {

// What the connection shows of the user behind a nick.
struct Shown {
    QString Nick;
    QString FirstNick;
    QStringList LaterNicks;
    QString Address;
    std::optional<QString> Account;

    Shown(const irc::ChannelRoster& roster, const QString& nick)
        : Nick(nick)
        , FirstNick(nick)
    {
        if (const irc::TIrcUser* user = roster.FindUser(nick)) {
            FirstNick = user->FirstNick;
            LaterNicks = user->LaterNicks;
            Address = user->Address;
            Account = user->Account;
        }
    }

    bool LoggedInTo(const QString& account) const
    {
        return Account && !Account->isEmpty() && irc::SameName(*Account, account);
    }

    bool HeldNick(const QString& nick) const
    {
        return irc::SameName(Nick, nick) || irc::SameName(FirstNick, nick)
            || std::any_of(LaterNicks.cbegin(), LaterNicks.cend(),
                [&nick](const QString& later) { return irc::SameName(later, nick); });
    }
};

// How plain nick entries are judged.
enum class PlainEntries { NameAccounts, NameFirstNicks, OpenNothing };

bool OwnerHasMarks(const AccessSettings& access)
{
    return !access.OwnerAccount.isEmpty() || !access.OwnerHostmask.isEmpty();
}

PlainEntries PlainEntriesFor(const BotState& state, const irc::ChannelRoster& roster)
{
    const Evidence proof = state.Extra.Access.Proof;
    if (proof == Evidence::Account || (proof == Evidence::Automatic && roster.TellsAccounts()))
        return PlainEntries::NameAccounts;
    return OwnerHasMarks(state.Extra.Access) ? PlainEntries::OpenNothing : PlainEntries::NameFirstNicks;
}

// An account or mask entry, whatever the evidence setting.
std::optional<bool> FitsMarkedEntry(const QString& entry, const Shown& user)
{
    if (IsAccountEntry(entry))
        return user.LoggedInTo(entry.mid(AccountEntryPrefix.size()));
    if (IsHostmaskEntry(entry))
        return MatchesHostmask(entry, user.Nick, user.Address);
    return std::nullopt;
}

bool FitsPrivilegeEntry(const QString& entry, const Shown& user, PlainEntries plain)
{
    if (const std::optional<bool> fits = FitsMarkedEntry(entry, user))
        return *fits;
    switch (plain) {
    case PlainEntries::NameAccounts:
        return user.LoggedInTo(entry);
    case PlainEntries::NameFirstNicks:
        return irc::SameName(user.FirstNick, entry);
    case PlainEntries::OpenNothing:
        return false;
    }
    return false;
}

bool IsOwner(const BotState& state, const Shown& user, PlainEntries plain)
{
    const AccessSettings& access = state.Extra.Access;
    if (OwnerHasMarks(access)) {
        return (!access.OwnerHostmask.isEmpty()
                   && MatchesHostmask(access.OwnerHostmask, user.Nick, user.Address))
            || (!access.OwnerAccount.isEmpty() && user.LoggedInTo(access.OwnerAccount));
    }
    const QString nick = OwnerNickInForce(state);
    return !nick.isEmpty() && FitsPrivilegeEntry(nick, user, plain);
}

} // namespace

bool SameUser(const SeenTracker& seen, const QString& a, const QString& b)
{
    const std::optional<qsizetype> userA = seen.Find(a);
    const std::optional<qsizetype> userB = seen.Find(b);
    if (userA && userB)
        return *userA == *userB;
    return irc::SameName(a, b);
}

bool OwnerNickIsSet(const BotState& state)
{
    const QString nick = state.OwnerNick.trimmed();
    return !nick.isEmpty() && nick != DefaultOwnerNick;
}

QString OwnerNickInForce(const BotState& state)
{
    return OwnerNickIsSet(state) ? state.OwnerNick : state.Extra.Access.LocalOwnerNick;
}

bool OwnerIsSet(const BotState& state)
{
    return OwnerNickIsSet(state) || OwnerHasMarks(state.Extra.Access);
}

QString OwnerWarning(const BotState& state, bool networkTellsAccounts)
{
    if (!OwnerIsSet(state))
        return QStringLiteral("No owner is set (line 5 of settings.conf, or owner_account or owner_hostmask "
                              "in tessarin.ini): only the privileged list passes the gates.");
    const AccessSettings& access = state.Extra.Access;
    if (networkTellsAccounts && access.Proof != Evidence::Nick && !OwnerHasMarks(access))
        return QStringLiteral("The owner %1 is a bare nick on a network with services accounts: whoever is "
                              "logged in to the account %1 is the owner. Set owner_account in tessarin.ini.")
            .arg(state.OwnerNick);
    return QString();
}

bool IsPrivileged(const BotState& state, const irc::ChannelRoster& roster, const QString& nick)
{
    const Shown user(roster, nick);
    const PlainEntries plain = PlainEntriesFor(state, roster);
    if (IsOwner(state, user, plain) || (state.Extra.Access.CreatorPasses && user.LoggedInTo(CreatorName)))
        return true;
    for (const QString& entry : state.PrivilegedUsers) {
        if (FitsPrivilegeEntry(entry, user, plain))
            return true;
    }
    return false;
}

bool IsGameMaster(
    const BotState& state, const irc::ChannelRoster& roster, const QString& place, const QString& nick)
{
    const Shown user(roster, nick);
    const PlainEntries plain = PlainEntriesFor(state, roster);
    if (const QString entry = GameMasterEntryAt(state, place); !entry.isEmpty())
        return FitsPrivilegeEntry(entry, user, plain);
    return IsOwner(state, user, plain);
}

bool IsBanned(const BotState& state, const irc::ChannelRoster& roster, const QString& nick)
{
    if (state.BannedUsers.isEmpty())
        return false;
    const Shown user(roster, nick);
    for (const QString& entry : state.BannedUsers) {
        if (const std::optional<bool> fits = FitsMarkedEntry(entry, user)) {
            if (*fits)
                return true;
        } else if (user.HeldNick(entry)) {
            return true;
        }
    }
    return false;
}

} // namespace core
