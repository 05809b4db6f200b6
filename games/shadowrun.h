#pragma once

// Shadowrun (fourth edition) aids: a non-player character built by spending 191 to 200 build points on
// the eight attributes of a metatype (srnpc), and where a grenade or other projectile lands (srnade).

#include "games/draws.h"

#include <QString>
#include <array>
#include <optional>

namespace games {

// BOD, AGI, REA, STR (physical), CHA, INT, LOG, WIL (mental), in this order.
inline constexpr int AttributeCount = 8;
using Attributes = std::array<int, AttributeCount>;

struct Metatype {
    QString Name; // as shown: "human", "ork", "orc", "dwarf", "elf", "troll"
    Attributes Minimum;
    Attributes Maximum;
    int MinimumEdge;
};

// The metatype a word names (ork, orc, elf, dwarf, troll, in any letter case); a human for anything else.
Metatype MetatypeFromWord(const QString& word);

struct ShadowrunNpc {
    Metatype Kind;
    Attributes Values {};
    int Edge = 0;
    std::optional<int> Magic;
    std::optional<int> Resonance;
    int BuildPoints = 0;
};

// Generates a character. dominant names one attribute to favour ("BOD" ... "WIL" in capitals raises it to
// its maximum, any other letter case to one below); anything else favours none.
ShadowrunNpc BuildShadowrunNpc(const Metatype& metatype, const QString& dominant, bool awakened,
    bool technomancer, Draws& draws = GeneratorDraws());

// "troll: BOD 10, AGI 3, ..., Edge 2, Magic 4."
QString DescribeShadowrunNpc(const ShadowrunNpc& npc);

QString GenerateShadowrunNpc(const Metatype& metatype, const QString& dominant, bool awakened,
    bool technomancer, Draws& draws = GeneratorDraws());

// The whole srnpc reply after "nick, ": "[metatype] [magician|adept|mystic adept|technomancer|...]
// [attribute]".
QString ShadowrunNpcFromParameter(const QString& parameter, Draws& draws = GeneratorDraws());

// Scatter in metres (never below 0) of a projectile type word after the given net hits.
long long ScatterDistance(const QString& typeWord, long long netHits, Draws& draws = GeneratorDraws());

// The whole srnade reply after "nick, ": "[type] hits" or "hits" for a standard grenade.
QString GrenadeScatter(const QString& parameter, Draws& draws = GeneratorDraws());

} // namespace games
