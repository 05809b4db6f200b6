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
    QString Address;
    std::optional<QString> Account;

    Shown(const irc::ChannelRoster& roster, const QString& nick)
        : Nick(nick)
        , FirstNick(nick)
    {
        if (const irc::TIrcUser* user = roster.FindUser(nick)) {
            FirstNick = user->FirstNick;
            Address = user->Address;
            Account = user->Account;
        }
    }

    bool LoggedInTo(const QString& account) const
    {
        return Account && !Account->isEmpty() && irc::SameName(*Account, account);
    }
};

bool AccountsAreEvidence(const BotState& state, const irc::ChannelRoster& roster)
{
    const Evidence proof = state.Extra.Access.Proof;
    return proof == Evidence::Account || (proof == Evidence::Automatic && roster.TellsAccounts());
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

bool FitsPrivilegeEntry(const QString& entry, const Shown& user, bool byAccount)
{
    if (const std::optional<bool> fits = FitsMarkedEntry(entry, user))
        return *fits;
    return byAccount ? user.LoggedInTo(entry) : irc::SameName(user.FirstNick, entry);
}

bool IsOwner(const BotState& state, const Shown& user, bool byAccount)
{
    const AccessSettings& access = state.Extra.Access;
    if (!access.OwnerHostmask.isEmpty() && MatchesHostmask(access.OwnerHostmask, user.Nick, user.Address))
        return true;
    if (!access.OwnerAccount.isEmpty() && user.LoggedInTo(access.OwnerAccount))
        return true;
    // With an account of his own set, the owner's nick names no account.
    if (byAccount && !access.OwnerAccount.isEmpty())
        return false;
    return FitsPrivilegeEntry(state.OwnerNick, user, byAccount);
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

bool IsPrivileged(const BotState& state, const irc::ChannelRoster& roster, const QString& nick)
{
    const Shown user(roster, nick);
    const bool byAccount = AccountsAreEvidence(state, roster);
    if (IsOwner(state, user, byAccount) || user.LoggedInTo(CreatorName))
        return true;
    for (const QString& entry : state.PrivilegedUsers) {
        if (FitsPrivilegeEntry(entry, user, byAccount))
            return true;
    }
    return false;
}

bool IsGameMaster(
    const BotState& state, const irc::ChannelRoster& roster, const QString& place, const QString& nick)
{
    const Shown user(roster, nick);
    const bool byAccount = AccountsAreEvidence(state, roster);
    if (const QString entry = GameMasterEntryAt(state, place); !entry.isEmpty())
        return FitsPrivilegeEntry(entry, user, byAccount);
    const AccessSettings& access = state.Extra.Access;
    if (!access.OwnerAccount.isEmpty() || !access.OwnerHostmask.isEmpty())
        return (!access.OwnerAccount.isEmpty() && user.LoggedInTo(access.OwnerAccount))
            || (!access.OwnerHostmask.isEmpty()
                && MatchesHostmask(access.OwnerHostmask, user.Nick, user.Address));
    return state.OwnerNick != DefaultOwnerNick && FitsPrivilegeEntry(state.OwnerNick, user, byAccount);
}

bool IsBanned(
    const BotState& state, const SeenTracker& seen, const irc::ChannelRoster& roster, const QString& nick)
{
    std::optional<Shown> user;
    for (const QString& entry : state.BannedUsers) {
        if (IsAccountEntry(entry) || IsHostmaskEntry(entry)) {
            if (!user)
                user.emplace(roster, nick);
            if (*FitsMarkedEntry(entry, *user))
                return true;
        } else if (SameUser(seen, entry, nick)) {
            return true;
        }
    }
    return false;
}

} // namespace core
