#pragma once

// The game-system dice pools as commands: srtest, sredge, srext and sr3test (Shadowrun), ex and exalted
// (Exalted), ep (Eclipse Phase), dryh (Don't Rest Your Head) and match. Results go to the reply target;
// a complaint about the parameter goes privately to the asker, except for Exalted, whose every answer goes
// to the reply target as "nick: text".

#include "commands/services.h"

namespace commands {

void ShadowrunTestCommand(const CommandCall& call, Services& services);
void ShadowrunEdgeCommand(const CommandCall& call, Services& services);
void ShadowrunExtendedCommand(const CommandCall& call, Services& services);
void Shadowrun3TestCommand(const CommandCall& call, Services& services);
void ExaltedCommand(const CommandCall& call, Services& services);
void EclipsePhaseCommand(const CommandCall& call, Services& services);
void DryhCommand(const CommandCall& call, Services& services);
void MatchCommand(const CommandCall& call, Services& services);

} // namespace commands
