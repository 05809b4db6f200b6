#pragma once

// Who a nick is, for the privilege and ban tests. Identity follows the nick changes the seen tracker has
// watched: two nicks are the same user when the tracker knows both as one user. A nick the tracker does
// not know is only the same as a nick equal to it ignoring letter case, so an unknown sender never passes
// for an unknown owner, and is never taken for an unknown banned nick.

#include "core/botstate.h"

namespace core {

bool SameUser(const BotState& state, const QString& a, const QString& b);

// The owner, or anyone on the privileged list.
bool IsPrivileged(const BotState& state, const QString& nick);

bool IsBanned(const BotState& state, const QString& nick);

} // namespace core
