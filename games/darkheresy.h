#pragma once

// The Dark Heresy percentile test (dhroll / dr) and the hit-location rules it shares with the hit
// allocation commands.
//
// The parameter is a target, optionally followed by up to two option words:
//   shot                 a single shot          melee, close   a melee attack
//   short, burst, semi   semi-automatic fire    scatter        a scatter weapon at point blank
//   long, full           full-automatic fire    overheats      a weapon that may overheat
// The target is a number or a flat dice expression (40+10, 2d10+20); a target that cannot be read gets
// a bare d100.

#include "games/draws.h"

#include <QString>

namespace games {

// The location number of a roll: its two digits swapped (23 gives 32, 7 gives 70, 1 gives 100, 100 gives 1).
int LocationFromRoll(int roll);

// The hit list of several hits starting from a location number, such as "body, body, arm.". The first
// hit's zone is taken from four bands (head, arm, body, leg); from the sixth hit on the list ends with
// "each additional: ...".
QString DescribeHitLocations(int location, long long hits);

// As DescribeHitLocations with the first word capitalised ("Body, body, arm.").
QString DescribeHitLocationsCapitalised(int location, long long hits);

// The whole dhroll reply after "nick: ", such as "23 Success by 2 degrees! It's one additional hit. Hit
// locations: body, body.".
QString RollDarkHeresyTest(const QString& parameter, Draws& draws = GeneratorDraws());

} // namespace games
