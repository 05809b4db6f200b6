#pragma once

// Where a secret roll's result goes: to its roller, and to each game master of its place (core::IsGameMaster)
// the bot sees on its channels, by the nick he has now; when no game master is there, the roller is told
// that nobody else saw it. The channel hears only that the roll was made.

#include "commands/services.h"

namespace commands {

// A hostmask that fits everybody must not make a secret roll a flood.
inline constexpr int MaxGameMasterCopies = 3;

// The nicks of the game masters at the call's place whom the bot sees, the roller left out.
QStringList GameMastersPresent(const Services& services, const CommandCall& call);

// "Kell in #t" for a roll made in a channel, "Kell" for one made in private: how a game master is told
// whose roll it is.
QString SecretRollerName(const CommandCall& call);

// Says the roller's lines to the roller and the masters' lines to each of masters, tells the roller when
// nobody else saw it, and tells the channel that the roll was made.
void DeliverSecretly(Services& services, const CommandCall& call, const QStringList& masters,
    const QStringList& rollerLines, const QStringList& masterLines);

} // namespace commands
