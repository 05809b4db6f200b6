#include "commands/privilegegate.h"

#include "core/identity.h"

namespace commands {

bool PassesGate(
    const core::BotState& state, const irc::ChannelRoster& roster, bool flagSet, const QString& nick)
{
    return !flagSet || core::IsPrivileged(state, roster, nick);
}

} // namespace commands
