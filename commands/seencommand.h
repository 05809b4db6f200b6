#pragma once

// The seen command: when a user was last seen joining, leaving or speaking on a channel, under which nicks
// and on which channels, or everybody the bot has seen. Every answer is private. Of a secret or private
// channel only those the bot sees there hear anything: to anyone else the bot answers as it does for a
// channel it knows nothing of, so that nobody learns who is on it, or that the bot is.

#include "commands/services.h"

#include <functional>

namespace commands {

inline constexpr qsizetype MaxSeenPlaceChars = 500;

// Whether the asker may hear what the bot saw on a channel.
using MayHearOf = std::function<bool(const QString& channel)>;

// The answers to seen with parameter, asked in target at the time now.
QStringList SeenReplies(const core::SeenTracker& seen, const QString& parameter, const QString& target,
    const QDateTime& now, const MayHearOf& mayHearOf);

void SeenCommand(const CommandCall& call, Services& services);

} // namespace commands
