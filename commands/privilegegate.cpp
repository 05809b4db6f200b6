#include "commands/privilegegate.h"

#include "core/identity.h"

namespace commands {

bool PassesGate(const core::BotState& state, bool flagSet, const QString& nick)
{
    return !flagSet || nick == CreatorNick || core::IsPrivileged(state, nick);
}

} // namespace commands
