#pragma once

// Keeps the channels' own settings in the store, one row per channel and key, so that a restart keeps
// every table's choices.

#include "core/botstate.h"
#include "core/store.h"

namespace core {

class ChannelSettingsStore final : public StorePart {
public:
    explicit ChannelSettingsStore(BotState& state);

    // Rows whose key or value this version does not take are left out.
    bool Load(QSqlDatabase& db) override;
    // A few values per channel: comparing them is cheaper than marking every change.
    bool HasChanges() const override { return m_state.PerChannel.All() != m_written; }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;
    void Committed() override { m_committed = m_written; }
    void RolledBack() override { m_written = m_committed; }

private:
    BotState& m_state;
    ChannelSettings::Table m_written;
    ChannelSettings::Table m_committed;
};

} // namespace core
