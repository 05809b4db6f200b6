#pragma once

// Exalted dice pools: 1 to 100 d10 against a target number (7 unless "vs" gives 2 to 10). Each die at or
// above it is a success and a 10 counts two, except in a damage roll; no success with at least one 1 is
// a botch. A flurry of X actions rolls action k with the pool less X + k - 1 dice; a magical flurry
// ("multi X") rolls X actions of the whole pool.

#include "dice/pools.h"

namespace dice {

inline constexpr int MaxExaltedPool = 100;
inline constexpr int MaxExaltedActions = 20;

struct ExaltedCount {
    int Successes = 0;
    bool Botch = false;
};

ExaltedCount CountExaltedRoll(const QList<int>& faces, int target, bool damage);

// "N [vs TN] [flurry X | multi X] [damage]": the result text, which the command sends after the nick and
// ": ". One roll reads "[10,7,3,1]. Successes total: 3" or "[4,1]. Botch!"; the actions of a flurry are
// each "action 1: [...]. ..." and end in "Total successes: 5".
PoolReply ExaltedRoll(const QString& parameter, FaceSource& faces);

} // namespace dice
