#pragma once

// The settings that apply at one place: a channel, or a nick for private messages. A channel's own value
// (core/channelsettings.h) comes first; without one, and in private messages, the global setting applies.
// Every reader asks here, so the decision is made in one spot.

#include "core/botstate.h"
#include "core/gamesystem.h"

namespace core {

// The text a command line must start with at the place (see CommandPrefix).
QString CommandPrefixAt(const BotState& state, const QString& place);

// The command character at the place as users are told it (see EffectiveCommandChar).
QString CommandCharAt(const BotState& state, const QString& place);

// Whether replies to commands at the place go privately to the sender.
bool SilentAt(const BotState& state, const QString& place);

// Whether a bare dice expression ("2d6") at the place is rolled.
bool DicebotAt(const BotState& state, const QString& place);

// Whether "[[2d6+3]]" in an ordinary line on the channel is rolled.
bool InlineRollsOn(const BotState& state, const QString& channel);

// The system whose pool ",r 9" rolls at the place.
GameSystem GameSystemAt(const BotState& state, const QString& place);

// The game master at the place as ,channel shows it: the channel's or the configured one (a nick, an
// account entry or a mask), else the owner as his settings name him; "nobody" when nothing does.
QString GameMasterOf(const BotState& state, const QString& place);
// The channel's or the configured game master; empty when neither is set (the owner is then the game
// master, see core::IsGameMaster).
QString GameMasterEntryAt(const BotState& state, const QString& place);

// A setting of a channel as ,channel shows it: the value that applies and whether it is the channel's own.
struct AppliedSetting {
    QString Text;
    bool Own = false;
};
AppliedSetting AppliedAt(const BotState& state, const QString& channel, const QString& key);

} // namespace core
