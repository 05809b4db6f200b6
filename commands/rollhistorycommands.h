#pragma once

// The roll history's side of the commands: RecordRoll, the one call each dice command makes with the
// result it said, and the rolls, recall and reveal commands that read the history back. Each shows a roll
// only to whom it may (see rollaccess.h).

#include "commands/services.h"

namespace commands {

inline constexpr int DefaultRollsListed = 5;
inline constexpr int MaxRollsListed = 20;

// Keeps a dice result the bot has just said, with the faces the command rolled (the dispatcher records
// them): a secret call's as a secret roll of its channel, one said privately to the roller as his private
// roll, any other as a public roll of the reply target. An empty reply, for a roll that failed, keeps
// nothing.
void RecordRoll(Services& services, const CommandCall& call, const QString& reply);

void RollsCommand(const CommandCall& call, Services& services);
void RecallCommand(const CommandCall& call, Services& services);
// ",reveal N": the roller or the game master shows a secret roll to the channel it was made in.
void RevealCommand(const CommandCall& call, Services& services);

} // namespace commands
