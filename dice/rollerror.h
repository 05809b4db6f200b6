#pragma once

// The roller's error codes and the sentences users are told for them. A roll either succeeds (code 0)
// or fails with exactly one of these codes; nothing else ever escapes the roller.

#include <QString>

namespace dice {

enum RollError {
    NoError = 0,
    DiceCountNotInteger = 1,
    SidesNotInteger = 2,
    DiceCountTooLow = 3,
    DiceCountTooHigh = 4,
    SidesTooLow = 5,
    SidesTooHigh = 6,
    NoDieInTerm = 7,
    UnbalancedParentheses = 8,
    RepeatsTooLow = 9,
    RepeatsTooHigh = 10,
    ShortAndFull = 11,
    BadParameters = 12,
    MissingTargetNumber = 13,
    TargetNumberTooLow = 14,
    DroppingTooMany = 15,
};

// The sentence for codes 1 to 15; empty for any other code.
QString RollErrorMessage(int code);

} // namespace dice
