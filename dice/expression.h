#pragma once

// Evaluating one pool expression: dice terms and numbers joined by + - * / with parentheses. Every
// dice term is rolled on the bot's generator, reseeded once per term.

#include <QString>

namespace dice {

struct TermResult {
    double Value = 0;
    QString Display; // "12[5,4,3]" for dice, the formatted value for a number
    int Hits = 0;
    int Error = 0;
};

struct PoolResult {
    double Total = 0;
    QString Values; // each term's value, with the operators and parentheses as typed: "(2+15)*3"
    QString Dice; // each term's display in the same layout: "(2+15[15])*3[1,1,1]"
    int Hits = 0;
    bool SingleTerm = false; // no operator was left once the groups had been replaced by their values
    int Error = 0;
};

inline constexpr int MaxDice = 100;
inline constexpr int MaxSides = 10000;

// Rolls one term: "3d6", "d20", "2.5". drop is the number of lowest dice to drop (0 for none); a die
// that reaches targetNumber (when it is 1 or more) is a hit.
TermResult RollTerm(const QString& term, int drop, int targetNumber);

// An expression without parentheses. "*" and "/" bind before "+" and "-"; "*" and "/" group from the
// right, "+" and "-" from the left.
PoolResult EvaluateFlatExpression(const QString& expression, int drop, int targetNumber);

// An expression that may hold parentheses. Each group's value is rounded to two decimals before it is
// used, and that rounding shows: (1/3)*3 is 0.99.
PoolResult EvaluateExpression(const QString& expression, int drop, int targetNumber);

} // namespace dice
