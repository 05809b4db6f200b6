#pragma once

// Length caps on user text. A cap counts characters (code points), never cuts one in half, and so never
// leaves half of a surrogate pair or of a UTF-8 sequence behind.

#include <QString>

namespace core {

// The first maxChars characters of text (all of it when it is shorter).
QString CapChars(const QString& text, qsizetype maxChars);

} // namespace core
