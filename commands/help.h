#pragma once

// The help command: the lines of the topic the parameter names (or the general help), sent privately,
// then a global lock-out so that help cannot be used to flood.

#include "commands/services.h"

namespace commands {

// The lines help sends for parameter, which is matched as typed (untrimmed).
QStringList HelpLines(const QString& parameter, const core::BotState& state);

void HelpCommand(const CommandCall& call, Services& services);

} // namespace commands
