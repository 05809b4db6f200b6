#pragma once

// The gate in front of the control commands: with the command's privilege flag clear everybody passes;
// with it set, the owner, the privileged users and the bot's creator pass.

#include "core/botstate.h"

namespace commands {

// The creator's nick passes every gate, compared exactly.
inline const QString CreatorNick = QStringLiteral("Vaddox");

bool PassesGate(const core::BotState& state, bool flagSet, const QString& nick);

} // namespace commands
