#pragma once

// The gate in front of the control commands: with the command's privilege flag clear everybody passes;
// with it set, the owner and the privileged users pass.

#include "core/botstate.h"
#include "irc/channelroster.h"

namespace commands {

bool PassesGate(
    const core::BotState& state, const irc::ChannelRoster& roster, bool flagSet, const QString& nick);

} // namespace commands
