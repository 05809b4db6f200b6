#pragma once

// Quoting one entry of a text table in the data folder, for the built-in table commands and the custom
// files.

#include "commands/services.h"

namespace commands {

// Sends the entry of filesDir/relativePath that selector names (an entry number, or anything else for a
// random entry) to the call's target. A table that cannot be read gets the lost-file phrase, privately,
// and the custom files are scanned again so that a vanished one stops being a command.
void QuoteTextFile(Services& services, const CommandCall& call, const QString& relativePath);

} // namespace commands
