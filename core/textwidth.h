#pragma once

// How wide a text is when drawn in the classic 8-point sans-serif dialog font at 96 dots per inch, and
// the word wrapping of long replies to a width in those pixels. Widths come from a table of per-character
// advances (about 5 pixels for an average lower-case letter), so the same text always breaks at the same
// places on every machine.

#include <QString>
#include <QStringList>

namespace core {

int CharWidth(char32_t character);
int TextWidth(QStringView text);

// Breaks text into lines no wider than width: explicit line ends start new lines, a line breaks at its
// last blank that still fits (the blank is dropped), and a word wider than a whole line is cut at the
// last character that fits. Empty lines are left out, as they cannot be sent.
QStringList WrapText(const QString& text, int width);

} // namespace core
