#pragma once

// Who a user is, for the privilege and ban tests.
//
// An entry of the privileged or banned list, or the owner, is a nick, a services account ("$a:name") or a
// "nick!user@host" mask (see hostmask.h). Accounts and masks are matched against what the connection
// knows of the user now. A nick entry depends on the evidence setting: where accounts are the evidence
// (the network tells them, or the operator chose them), it names the account the user must be logged in
// to; otherwise it is a nick, with these rules:
//
// Bans follow the nick changes the seen tracker has watched: two nicks are the same user when the tracker
// knows both as one user. A nick the tracker does not know is only the same as a nick equal to it ignoring
// letter case, so an unknown sender is never taken for an unknown banned nick.
//
// Privileges only go forward: a user the connection sees holds them when the nick it first had there is
// the owner's or a privileged one, whatever it is called now. Taking a privileged nick gains nothing, and
// giving it back keeps nothing. A sender the connection does not see has only its nick as evidence.
//
// The creator, logged in to the services account of that name, passes as privileged too; his nick alone
// opens nothing.

#include "core/botstate.h"
#include "core/seentracker.h"
#include "irc/channelroster.h"

namespace core {

inline const QString CreatorName = QStringLiteral("Vaddox");

// Whether a and b are nicks of one tracked user (a nick change in between), or else equal ignoring case.
bool SameUser(const SeenTracker& seen, const QString& a, const QString& b);

// The owner, or anyone on the privileged list, or the creator.
bool IsPrivileged(const BotState& state, const irc::ChannelRoster& roster, const QString& nick);

// Whether nick is a game master at place (a channel, or a nick for a private message), who sees the
// secret rolls made there: the channel's or the configured game master, an entry matched as the privileged
// list's are. With neither set, the owner: by his account or mask when either is set, else by his nick
// unless it is still the placeholder of a new configuration.
bool IsGameMaster(
    const BotState& state, const irc::ChannelRoster& roster, const QString& place, const QString& nick);

bool IsBanned(
    const BotState& state, const SeenTracker& seen, const irc::ChannelRoster& roster, const QString& nick);

} // namespace core
