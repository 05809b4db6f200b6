#pragma once

// Showing rolled dice notation on one IRC line: the roll as typed with each dice term's faces in brackets
// ("4d6kh3 [6, 5, 3, ~1~] = 14", dropped and rerolled faces struck through, explosions joined with "!"),
// then the total in bold.

#include "dice/notationroller.h"

namespace dice {

// The control character that toggles strikethrough on IRC.
inline constexpr QChar Strike = QChar(0x1E);

// The answer for the rolls in at most budgetBytes of UTF-8: in full when it fits, else with each dice
// term's faces summarised ("[1000 dice, 2 dropped]"), else the totals alone; nothing when even the
// totals do not fit.
std::optional<QString> FormatNotation(
    const RollText& text, const std::vector<RollOutcome>& rolls, qsizetype budgetBytes);

// Each roll's total in bold, "14" or "3 successes", joined by "; ".
QString TotalsText(const std::vector<RollOutcome>& rolls);

// The bytes text takes in UTF-8.
qsizetype Utf8Bytes(QStringView text);

} // namespace dice
