#pragma once

// The commands that tell about the bot and change its modes: who, hello, be, how, list and aliases.

#include "commands/services.h"

namespace commands {

void WhoCommand(const CommandCall& call, Services& services);
void HelloCommand(const CommandCall& call, Services& services);
void BeCommand(const CommandCall& call, Services& services);
void HowCommand(const CommandCall& call, Services& services);
void ListCommand(const CommandCall& call, Services& services);
void AliasesCommand(const CommandCall& call, Services& services);

// The answer to how: the gated commands and the modes that are on.
QString DescribeSettings(const core::BotState& state);

} // namespace commands
