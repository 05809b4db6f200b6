#pragma once

// Reading and writing the numbers of roll texts: decimal constants (whole numbers are read as every
// number of the bot is, by common::ParseInteger) and the way results are shown (whole numbers plainly,
// anything else with two decimals).

#include <QString>
#include <optional>

namespace dice {

// A decimal constant: leading blanks, a sign, digits with an optional fraction, an optional exponent.
// Values too large for a double come back as infinity; the caller treats them as a failure.
std::optional<double> ParseConstant(QStringView text);

// "12", "-3", "3.50", "-0.33".
QString FormatReal(double value);

// At most maxUnits UTF-16 units of text, never ending in half of a surrogate pair.
QString LeftWhole(const QString& text, qsizetype maxUnits);

// The text with every space character removed.
QString StripSpaces(const QString& text);

} // namespace dice
