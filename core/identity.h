#pragma once

// Who a nick is, for the privilege and ban tests.
//
// Bans follow the nick changes the seen tracker has watched: two nicks are the same user when the tracker
// knows both as one user. A nick the tracker does not know is only the same as a nick equal to it ignoring
// letter case, so an unknown sender is never taken for an unknown banned nick.
//
// Privileges only go forward: a user the connection sees holds them when the nick it first had there is
// the owner's or a privileged one, whatever it is called now. Taking a privileged nick gains nothing, and
// giving it back keeps nothing. A sender the connection does not see has only its nick as evidence.

#include "core/botstate.h"
#include "irc/channelroster.h"

namespace core {

bool SameUser(const BotState& state, const QString& a, const QString& b);

// The owner, or anyone on the privileged list.
bool IsPrivileged(const BotState& state, const irc::ChannelRoster& roster, const QString& nick);

bool IsBanned(const BotState& state, const QString& nick);

} // namespace core
