#pragma once

// The dice-expression roller behind the roll command and dicebot mode. A roll text is one or more pools
// ("3d6", "2#3d6", "6d6#(2+d20)*(4d6/4)", "3d6;1d4"), then option words (droplow [n], short or s, full or
// f, tn or vs n) and a comment.

#include <QString>

namespace dice {

struct RollResult {
    QString Text; // what was rolled, as shown to users (only meaningful when Error is 0)
    QString Comment; // the user's words after the options
    int Error = 0; // a RollError code
};

inline constexpr qsizetype MaxRollTextChars = 500;
inline constexpr int MaxRepeats = 20;

// The control character that toggles bold on IRC.
inline constexpr QChar Bold = QChar(2);

RollResult EvaluateRoll(const QString& text);

} // namespace dice
