#pragma once

// Shadowrun dice pools. Fourth edition: the plain test (srtest), the edge test with the Rule of Six
// (sredge) and the extended test (srext), each a pool of 1 to 100 d6 where a 5 or 6 is a hit. Third
// edition: the test against a target number with the Rules of Six and One (sr3test), 1 to 50 d6.
//
// Each function takes the command's parameter and answers with the text that follows the asker's nick.

#include "dice/pools.h"

namespace dice {

inline constexpr int MaxShadowrunPool = 100;
inline constexpr int MaxShadowrun3Pool = 50;

// One fourth-edition roll: hits are 5s and 6s; a glitch when at least half of the dice show 1; a critical
// glitch when a glitch comes with no hit.
struct ShadowrunCount {
    int Hits = 0;
    int Ones = 0;
    bool Glitch = false;
    bool CriticalGlitch = false;
};

ShadowrunCount CountShadowrunRoll(const QList<int>& faces);

// "N [f|full]": ", hits: 3", or with full ", dice: [5,1,6,3], hits: 2"; a glitch adds ". Glitch!" or
// ". Critical glitch!".
PoolReply ShadowrunTest(const QString& parameter, FaceSource& faces);

// "N [f|full]": every 6 is rolled again and its hits added, round after round while 6s come. The glitch
// is judged on the first round. ", successes: 4", or with full every round first
// (", iteration 1, dice: [6,5,1,6], hits: 3, iteration 2, ...").
PoolReply ShadowrunEdgeTest(const QString& parameter, FaceSource& faces);

// "N THRESHOLD [f|full]": the pool is rolled with one die fewer each time until its hits add up to the
// threshold or no die is left. Reports glitches, the roll of the first, critical glitches, then
// ", success in 3 dice pool rolls and 12 hits total." (or a failure once the pool is spent).
PoolReply ShadowrunExtendedTest(const QString& parameter, FaceSource& faces);

// One third-edition die: a 6 is rolled again and added, while 6s come (at most MaxExplosions rerolls).
QList<int> RollShadowrun3Die(FaceSource& faces);

// "N [vs TN] [full|f] [comment]": " rolls, we got: " then the successes against the target number, or
// without one every die's total and the highest. All dice showing 1 is "Disastrous result!".
PoolReply Shadowrun3Test(const QString& parameter, FaceSource& faces);

} // namespace dice
