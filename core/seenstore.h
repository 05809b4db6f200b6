#pragma once

// Keeps the seen tracker's users and indexed channels in the store: reads them back at start (forgetting
// those not seen for the configured number of days) and writes the users the tracker marked as changed.

#include "core/botstate.h"
#include "core/clock.h"
#include "core/store.h"

namespace core {

class SeenStore final : public StorePart {
public:
    // forgetAfterDays 0 keeps every user.
    SeenStore(BotState& state, const Clock& clock, int forgetAfterDays);

    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override;
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;

private:
    bool Forget(QSqlDatabase& db);
    bool LoadUsers(QSqlDatabase& db);
    bool LoadChannels(QSqlDatabase& db);

    BotState& m_state;
    const Clock& m_clock;
    int m_forgetAfterDays;
    QSet<QString> m_writtenChannels;
    // Stored id to place in the tracker, while loading.
    QHash<qint64, qsizetype> m_places;
    // Users were forgotten, so ids no longer match places: the next write replaces every row.
    bool m_rewriteAll = false;
};

// Rebuilds the tracker's nick indexes from its users, as if they had been seen in order.
void RebuildUserIndexes(BotState& state);

} // namespace core
