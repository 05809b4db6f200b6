#pragma once

// ",channel": shows a channel's settings (its own and the global ones that apply there) and changes the
// channel's own. Anyone may look; the owner and the privileged users may change any channel, a channel's
// operators only theirs. Every answer goes privately to the asker.
//
//   ,channel                      the settings of the channel the line was said in
//   ,channel set KEY VALUE        gives the channel its own value
//   ,channel unset KEY            the channel follows the global setting again
//   ,channel #name ...            the same for the named channel; needed in a private message

#include "commands/services.h"

namespace commands {

void ChannelSettingsCommand(const CommandCall& call, Services& services);

} // namespace commands
