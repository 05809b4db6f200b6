#pragma once

// Don't Rest Your Head: white discipline, red madness and black exhaustion d6. Each die showing 1 to 3 is
// a success; the pool holding the highest die dominates, a tie going to the pool with the higher next
// dice, then to discipline, madness and exhaustion in that order.

#include "dice/pools.h"

namespace dice {

inline constexpr int MaxDryhPool = 100;

struct DryhPools {
    int Discipline = 0;
    int Madness = 0;
    int Exhaustion = 0;
};

// The pools asked for by "D [M [E]]", or the complaint (text after the nick) when they are not valid.
struct DryhRequest {
    DryhPools Pools;
    QString Refusal;
};

DryhRequest ReadDryhPools(const QString& parameter);

enum class DryhPool { Discipline, Madness, Exhaustion };

// The dominating pool of the rolled faces; a pool without dice never dominates, and discipline always
// has dice.
DryhPool DominatingPool(
    const QList<int>& discipline, const QList<int>& madness, const QList<int>& exhaustion);

// ": Discipline:(5,2,1) Madness:(3) Exhaustion:(6,4). Degree: 3. Exhaustion dominates." (pools without dice
// are left out; the degree is the number of successes).
QString RollDryh(const DryhPools& pools, FaceSource& faces);

} // namespace dice
