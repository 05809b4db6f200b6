#pragma once

// The settings that apply to one place (a channel, or a nick for private messages): whether inline rolls
// are answered there and who its game master is. Today they come from tessarin.ini for every place;
// asking here keeps the decision in one spot for when places get their own.

#include "core/botstate.h"

namespace core {

// Whether "[[2d6+3]]" in an ordinary line on the channel is rolled.
bool InlineRollsOn(const BotState& state, const QString& channel);

// The nick that sees the secret rolls made at the place: the configured game master, else the owner.
QString GameMasterOf(const BotState& state, const QString& place);

} // namespace core
