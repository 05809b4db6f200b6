#pragma once

// The roll history's side of the commands: RecordRoll, the one call each dice command makes with the
// result it said, and the rolls, recall and luck commands that read the history back.

#include "commands/services.h"

namespace commands {

inline constexpr int DefaultRollsListed = 5;
inline constexpr int MaxRollsListed = 20;

// Keeps a dice result the bot has just said in the reply target, with the faces the command rolled (the
// dispatcher records them). An empty reply, for a roll that failed, keeps nothing.
void RecordRoll(Services& services, const CommandCall& call, const QString& reply);

void RollsCommand(const CommandCall& call, Services& services);
void RecallCommand(const CommandCall& call, Services& services);

} // namespace commands
