#include "commands/shadowruncommands.h"

#include "games/shadowrun.h"

namespace commands {

void ShadowrunNpcCommand(const CommandCall& call, Services& services)
{
    services.Out.Say(
        call.Target, call.Nick + QStringLiteral(", ") + games::ShadowrunNpcFromParameter(call.Parameter));
}

void ShadowrunGrenadeCommand(const CommandCall& call, Services& services)
{
    services.Out.Say(call.Target, call.Nick + QStringLiteral(", ") + games::GrenadeScatter(call.Parameter));
}

} // namespace commands
