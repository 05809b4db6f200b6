#pragma once

// Who a nick is, for the privilege and ban tests. Two nicks name the same user when they are equal
// ignoring letter case.

#include "core/botstate.h"

namespace core {

bool SameUser(const QString& a, const QString& b);

// The owner, or anyone on the privileged list.
bool IsPrivileged(const BotState& state, const QString& nick);

bool IsBanned(const BotState& state, const QString& nick);

} // namespace core
