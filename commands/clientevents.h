#pragma once

// Feeds the bot from its IRC client and connection: messages into the pipeline, channel updates, nick
// changes and a kick for good into the seen tracker, and the server's case mapping into every key. Whoever
// owns them (the headless runner, the main window) calls this once.

#include "commands/bot.h"
#include "core/connection.h"
#include "irc/ircclient.h"

namespace commands {

void FeedBotFromClient(Bot& bot, irc::TIrcClient& client, core::Connection& connection);

// The seen tracker's reading of a channel update.
core::ChannelEvent ChannelEventOf(irc::TIrcChannelUpdateType type);

} // namespace commands
