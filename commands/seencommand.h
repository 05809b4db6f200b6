#pragma once

// The seen command: when a user was last seen joining, leaving or speaking on a channel, under which nicks
// and on which channels, or everybody the bot has seen. Every answer is private.

#include "commands/services.h"

namespace commands {

inline constexpr qsizetype MaxSeenPlaceChars = 500;

// The answers to seen with parameter, asked in target at the time now.
QStringList SeenReplies(
    const core::SeenTracker& seen, const QString& parameter, const QString& target, const QDateTime& now);

void SeenCommand(const CommandCall& call, Services& services);

} // namespace commands
