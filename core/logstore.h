#pragma once

// Keeps the channel logs in the store: reads them back at start and writes each log the bot appended to.
// A log is small (LogLines lines), so it is written whole.

#include "core/botstate.h"
#include "core/store.h"

namespace core {

class LogStore final : public StorePart {
public:
    explicit LogStore(BotState& state);

    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override { return !m_state.Changes.Logs.isEmpty(); }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;

private:
    BotState& m_state;
};

} // namespace core
