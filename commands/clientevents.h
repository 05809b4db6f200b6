#pragma once

// Feeds the bot from its IRC client: messages into the pipeline, channel updates and nick changes into
// the seen tracker. Whoever owns both (the headless runner, the main window) calls this once.

#include "commands/bot.h"
#include "irc/ircclient.h"

namespace commands {

void FeedBotFromClient(Bot& bot, irc::TIrcClient& client);

// The seen tracker's reading of a channel update.
core::ChannelEvent ChannelEventOf(irc::TIrcChannelUpdateType type);

} // namespace commands
