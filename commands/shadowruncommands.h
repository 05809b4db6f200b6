#pragma once

// The Shadowrun aids: srnpc (a non-player character's attributes) and srnade (grenade scatter). Both
// answer in the reply target with the nick, ", " and the result.

#include "commands/services.h"

namespace commands {

void ShadowrunNpcCommand(const CommandCall& call, Services& services);
void ShadowrunGrenadeCommand(const CommandCall& call, Services& services);

} // namespace commands
