#pragma once

// The in-memory logs of recent lines, one per channel or private conversation. Line 0 of a log is its key
// (the target name, compared exactly), line 1 a header saying since when it logs, and the message lines
// follow, oldest first, at most LogLimit lines in all.

#include "core/botstate.h"
#include "core/clock.h"

namespace core {

// The index in ChannelLogs of the log keyed by target, or -1.
qsizetype FindChannelLog(const BotState& state, const QString& target);

// Appends "<sender> text" to the log of target, creating the log first (dated by clock) when there is
// none.
void AppendToLog(
    BotState& state, const QString& target, const QString& sender, const QString& text, const Clock& clock);

} // namespace core
