#pragma once

// The match pool: 1 to 100 d10, read for sets of equal faces, each shown as count x face ("3x7"), the
// widest set first and, among sets as wide, the higher face first.

#include "dice/pools.h"

namespace dice {

inline constexpr int MaxMatchDice = 100;

struct MatchSet {
    int Count = 0;
    int Face = 0;
};

// The sets of two or more equal faces, widest first.
QList<MatchSet> FindMatches(const QList<int>& faces);

// "N": ": [3,7,3,10,7,3], matches: 3x3, 2x7" or ": [3,7,1], no matches!".
PoolReply MatchRoll(const QString& parameter, FaceSource& faces);

} // namespace dice
