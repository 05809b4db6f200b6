#pragma once

// The luck command: privately, for each die size a nick rolled, how many dice, their mean against a fair
// die's, and whether a chi-square test of the faces finds anything unusual; then the same for the whole
// bot.

#include "commands/services.h"

namespace commands {

// Below this p-value the faces are called unusual.
inline constexpr double UnusualBelow = 0.01;

// "d6: 120 dice, mean 3.42 (fair 3.50), looks fair; d20: ..." for the counts, or an empty text.
QString LuckSummary(const FaceCounts& counts);

void LuckCommand(const CommandCall& call, Services& services);

} // namespace commands
