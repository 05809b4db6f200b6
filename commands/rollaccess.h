#pragma once

// Who may see a kept roll, whichever command reads it back: a public roll, everyone; a secret roll (made
// with ,gmroll in a channel), its roller and the game master of that channel; a private roll (made in a
// private message, or answered privately in silent mode), its roller alone.
//
// The roller is an identity: a roll made while the network told the roller's services account belongs to
// that account, whatever nick asks for it; a roll made without one belongs to the nick, and to a user the
// connection first saw under that nick (a user is followed forward through his nick changes, never back).

#include "commands/rollhistory.h"
#include "commands/services.h"

namespace commands {

// The user behind nick as a roller: his account where the connection knows he is logged in to one.
Roller RollerOf(const irc::ChannelRoster& roster, const QString& nick);

// Whether who rolled the roll.
bool IsRollerOf(const RollRecord& record, const Roller& who);

// Whether nick may see the roll, as its roller or the game master of its channel or because it is public.
bool MaySee(const Services& services, const RollRecord& record, const QString& nick);

// Whether nick may see the roll as its roller or the game master of its channel.
bool KnowsSecret(const Services& services, const RollRecord& record, const QString& nick);

} // namespace commands
