#pragma once

// Pure readings of a command line: the split into command word and parameter, and the recognition of the
// bare tarot form.

#include <QString>

namespace commands {

inline constexpr qsizetype MaxParameterChars = 500;

struct CommandLine {
    QString Word; // as typed; compared in lower case
    QString Parameter; // the text after the first space, case kept, capped
};

// prefix is the command character; a line that starts with it loses it from the word. Runs of spaces are
// kept, so a second space makes the parameter start with a space.
CommandLine SplitCommandLine(const QString& line, const QString& prefix);

// The line without its first character (a character outside the basic plane is removed whole).
QString WithoutFirstChar(const QString& line);

// A tarot request written without the command word, such as ",3cT" or ",12cD full": the first lower-case
// "c" stands at position 3 or 4 and the second character is a digit.
bool IsBareTarotForm(const QString& line);

} // namespace commands
