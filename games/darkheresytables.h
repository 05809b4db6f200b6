#pragma once

// The Dark Heresy tables and hit allocation: random hit locations (dhhit), several hits from one location
// (dhburst), falling damage (dhfall), and the entry files behind the critical hits (dhcrit), the
// hallucinogen grenade (dhhal) and the divination (dhdiv).
//
// Entry files are lists of lines in which a line of exactly ";" separates entries: entry N is made of the
// lines after the N-th ";" line, up to the next one. Text before the first ";" is never shown.

#include "games/draws.h"
#include "games/gamereply.h"

#include <QStringList>
#include <optional>

namespace games {

// dhhit never sends more hit messages than this for one command.
inline constexpr int MaxHitMessages = 20;

// dhhit: one hit location without a parameter, a numbered hit per message for a count.
GameReplies DarkHeresyHits(const QString& nick, const QString& parameter, Draws& draws = GeneratorDraws());

// dhburst: one roll, its location and the hits that follow from it (6 unless a count is given).
GameReplies DarkHeresyBurst(const QString& nick, const QString& parameter, Draws& draws = GeneratorDraws());

// dhfall: damage and location of a fall from a height in whole metres.
GameReplies DarkHeresyFall(const QString& nick, const QString& parameter, Draws& draws = GeneratorDraws());

// The lines of entry `number` (from 1) of an entry file. Nothing when the file ends before the entry's
// closing ";" line, or for a number below 1.
std::optional<QStringList> EntryOfFile(const QStringList& fileLines, int number);

// The divination entry (1 to 28) of a d100 roll.
int DivinationEntry(int roll);

// dhcrit: what a parameter such as "E Head 11" asks for.
struct CritRequest {
    enum Kind {
        Usage, // not a damage type letter: the usage lines go to the nick
        BadWounds, // no readable critical-wounds number of at least 1
        BadZone, // a key that cannot name a file of the data folder
        Entry, // entry Wounds of the file named Key + ".txt"
    };
    Kind Result = Usage;
    QString Key;
    int Wounds = 0;
};

CritRequest ParseCritRequest(const QString& parameter);

QStringList CritUsageLines();
QString CritWoundsMessage();
QString CritZoneMessage();

// dhhal's message when its file or entry is missing.
QString LostFileMessage();

// The replies of the file-based commands, given the lines of their entry file (nothing when it could not be
// read). Empty lines of an entry are not sent.

// dhcrit: the entry's lines to the target, or the damage-zone message to the nick.
GameReplies DarkHeresyCrit(const CritRequest& request, const std::optional<QStringList>& fileLines);

// dhhal: a random one of the ten entries, line by line, or the lost-file message to the nick.
GameReplies DarkHeresyHallucinogen(
    const std::optional<QStringList>& fileLines, Draws& draws = GeneratorDraws());

// dhdiv: the first line of the entry a d100 picks, with the second line right after it when the parameter
// is "full" or "f" (any letter case). Nothing at all when the file or the entry is missing.
GameReplies DarkHeresyDivination(
    const QString& parameter, const std::optional<QStringList>& fileLines, Draws& draws = GeneratorDraws());

// The number of critical-wound entries in a critical-hit file; larger numbers read the last one.
inline constexpr int CritEntries = 10;
inline constexpr int HallucinogenEntries = 10;

} // namespace games
