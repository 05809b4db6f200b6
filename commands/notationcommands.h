#pragma once

// The commands of the dice notation (dice/notation.h): r answers in the reply target, gmroll (gr) only to
// the roller and the game master of the place, and inline rolls answer the "[[...]]" of a channel line.
// Each reseeds the generator once, then draws every die from it. Mistakes are answered privately.

#include "commands/services.h"

namespace commands {

void NotationRollCommand(const CommandCall& call, Services& services);

void SecretRollCommand(const CommandCall& call, Services& services);

// Rolls the first three "[[...]]" of the line and answers them on one line: "Kell: [[2d6+3]] = 11".
void AnswerInlineRolls(Services& services, const QString& nick, const QString& target, const QString& line);

} // namespace commands
