#pragma once

// The one lower-casing of the bot's comparisons "in lower case" (command words, custom-file and alias
// names, option words, keywords): only the letters A to Z change. Unicode case folding would let look-alikes
// such as the long s (U+017F) or the Kelvin sign (U+212A) pass for "s" and "k".

#include <QString>

namespace common {

QString AsciiLower(QStringView text);

} // namespace common
