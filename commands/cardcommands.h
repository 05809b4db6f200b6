#pragma once

// The card commands: tarot spreads, and the shared poker deck (draw, drawhand, return, newdeck).

#include "commands/services.h"

namespace commands {

// The largest spread: a whole tarot deck. Larger counts would only flood the channel.
inline constexpr int MaxTarotCards = 78;

void TarotCommand(const CommandCall& call, Services& services);
void DrawCommand(const CommandCall& call, Services& services);
void DrawHandCommand(const CommandCall& call, Services& services);
void ReturnCommand(const CommandCall& call, Services& services);
void NewDeckCommand(const CommandCall& call, Services& services);

} // namespace commands
