#pragma once

// The commands that move the bot and speak through it: join, part, quit, do and say. The dispatcher's
// gate has already let the sender through where a command is privileged.

#include "commands/services.h"

namespace commands {

inline constexpr qsizetype MaxRelayChars = 1000;

// A single channel name as servers know them: it starts with #, &, + or ! and holds no blank, comma or
// control character. Anything else ("0", a list of channels) could make the bot leave or flood.
bool IsChannelName(const QString& name);

void JoinCommand(const CommandCall& call, Services& services);
void PartCommand(const CommandCall& call, Services& services);
void QuitCommand(const CommandCall& call, Services& services);
void DoCommand(const CommandCall& call, Services& services);
void SayCommand(const CommandCall& call, Services& services);

} // namespace commands
