#pragma once

// Who a user is, for the privilege and ban tests.
//
// An entry of the privileged or banned list, or the owner, is a nick, a services account ("$a:name") or a
// "nick!user@host" mask (see hostmask.h). Accounts and masks are matched against what the connection
// knows of the user now. A nick entry depends on the evidence setting: where accounts are the evidence
// (the network tells them, or the operator chose them), it names the account the user must be logged in
// to; otherwise it is a nick, with these rules:
//
// Privileges only go forward: a user the connection sees holds them when the nick it first had there is
// the owner's or a privileged one, whatever it is called now. Taking a privileged nick gains nothing, and
// giving it back keeps nothing; the connection remembers who took a nick beyond the user's stay in sight
// (see irc/ircusers.h), so a part, a private message or a reconnect does not launder it. A sender the
// connection has never seen take his nick has only that nick as evidence.
//
// Once the operator has given the owner an account or a hostmask, nicks alone open nothing: neither the
// owner's nick nor, where nicks are the evidence, the plain entries of the privileged list. An owner's
// nick that is empty or still the placeholder of a new configuration names nobody.
//
// Bans by nick hold on the nick, and on a user the connection sees for as long as he is in sight, when
// any nick he had there (the first one, or one he changed to) is banned: a ban follows the banned user,
// never lands on someone who did not hold the nick, and ends with the session.
//
// The creator, logged in to the services account of that name, passes as privileged too when the operator
// allows it ([access] creator); his nick alone opens nothing.

#include "core/botstate.h"
#include "core/seentracker.h"
#include "irc/channelroster.h"

namespace core {

inline const QString CreatorName = QStringLiteral("Vaddox");

// Whether a and b are nicks of one tracked user (a nick change in between), or else the same name to the
// server. It picks the greeting; it opens nothing.
bool SameUser(const SeenTracker& seen, const QString& a, const QString& b);

// Whether line 5 of the settings names an owner: not empty, and not the placeholder a new configuration
// carries.
bool OwnerNickIsSet(const BotState& state);
// The nick that names the owner where nicks do: the settings' own, or the console's user while they name
// none; empty when nobody's is.
QString OwnerNickInForce(const BotState& state);
// Whether anything names an owner: his nick, account or hostmask.
bool OwnerIsSet(const BotState& state);
// What the operator should hear about the owner's settings on a network that does or does not tell
// accounts: nobody is the owner, or a bare nick names an account anybody could register. Empty when they
// are sound.
QString OwnerWarning(const BotState& state, bool networkTellsAccounts);

// The owner, or anyone on the privileged list, or the creator.
bool IsPrivileged(const BotState& state, const irc::ChannelRoster& roster, const QString& nick);

// Whether nick is a game master at place (a channel, or a nick for a private message), who sees the
// secret rolls made there: the channel's or the configured game master, an entry matched as the privileged
// list's are. With neither set, the owner.
bool IsGameMaster(
    const BotState& state, const irc::ChannelRoster& roster, const QString& place, const QString& nick);

bool IsBanned(const BotState& state, const irc::ChannelRoster& roster, const QString& nick);

} // namespace core
