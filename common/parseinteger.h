#pragma once

// The one reading of "a number" in settings, command parameters and roll texts: an optional sign and
// decimal digits, nothing else (no blanks around them), within the signed 32-bit range.

#include <QStringView>
#include <optional>

namespace common {

std::optional<int> ParseInteger(QStringView text);

} // namespace common
