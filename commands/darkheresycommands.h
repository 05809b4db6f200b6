#pragma once

// The Dark Heresy commands: the test roll (dhroll, dr), hit locations (dhhit), hit allocation (dhburst),
// falling damage (dhfall), critical hits (dhcrit), the hallucinogen grenade (dhhal) and the divination
// (dhdiv). The entry files lie in the data folder: "E Head.txt" ... "X Leg.txt", "Hallucinogen.txt" and
// "Divination.txt".

#include "commands/services.h"
#include "games/gamereply.h"

namespace commands {

// Sends each reply to the call's target or privately to its nick, in order, until one cannot be sent.
void SendGameReplies(Services& services, const CommandCall& call, const games::GameReplies& replies);

void DarkHeresyRollCommand(const CommandCall& call, Services& services);
void DarkHeresyHitCommand(const CommandCall& call, Services& services);
void DarkHeresyBurstCommand(const CommandCall& call, Services& services);
void DarkHeresyFallCommand(const CommandCall& call, Services& services);
void DarkHeresyCritCommand(const CommandCall& call, Services& services);
void DarkHeresyHallucinogenCommand(const CommandCall& call, Services& services);
void DarkHeresyDivinationCommand(const CommandCall& call, Services& services);

} // namespace commands
