#pragma once

// The command table: one row per command, in the order the dispatcher tests them. A row names its command
// words, the privilege flag that guards it (if any) and its handler. Rows whose command this build does
// not provide have no handler and never match, so their words get the unknown-command reply.

#include "commands/services.h"

#include <QStringList>
#include <span>

namespace commands {

using CommandHandler = void (*)(const CommandCall& call, Services& services);

struct CommandRow {
    QStringList Words;
    bool core::BotState::*Gate = nullptr;
    CommandHandler Run = nullptr;
    // A row may also claim a whole line that has no command word of its own (the bare tarot form).
    bool (*ClaimsLine)(const QString& line) = nullptr;
    // The gate refuses quit with its own phrase, privately.
    bool RefusedPrivately = false;
};

std::span<const CommandRow> CommandTable();

} // namespace commands
