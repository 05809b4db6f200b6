#pragma once

// The one reading of "a number" in settings and command parameters: an optional sign and decimal digits,
// nothing else, within the signed 32-bit range.

#include <QString>
#include <optional>

namespace core {

std::optional<int> ParseInteger(const QString& text);

} // namespace core
