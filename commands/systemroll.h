#pragma once

// ",r" where a game system applies (core::GameSystemAt): a parameter in the pool form is the system's own
// pool command, with its rules, replies and roll history entry; anything else, and every ",r" where no
// system applies, is the dice notation roller.

#include "commands/services.h"

namespace commands {

// The pool form: the first word is a whole number ("9", "7 vs 8", "45 shot", "3 2 1"). A dice expression
// ("2d6", "d20+3", "4dF") never is.
bool IsPoolForm(const QString& parameter);

void SystemRollCommand(const CommandCall& call, Services& services);

// ",gmroll" where a game system applies and the parameter is in the pool form: the system's roll, shown
// to the roller and the game master only (see secretdelivery.h). False, having done nothing, otherwise.
bool SecretSystemRoll(const CommandCall& call, Services& services);

} // namespace commands
