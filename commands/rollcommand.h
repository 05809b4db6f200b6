#pragma once

// The roll command, and the reply every roll gets (also a bare dice expression in dicebot mode): the
// result in the reply target, prefixed with the roller's nick and comment; an error privately.

#include "commands/services.h"
#include "dice/roller.h"

namespace commands {

// Returns the result said in target, or an empty text when the roll failed.
QString ReplyToRoll(
    irc::Sender& out, const QString& nick, const QString& target, const dice::RollResult& roll);

void RollCommand(const CommandCall& call, Services& services);

} // namespace commands
