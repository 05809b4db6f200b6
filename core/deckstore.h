#pragma once

// Keeps the poker deck's drawn cards in the store, so a restart neither reshuffles nor refills the deck.

#include "core/botstate.h"
#include "core/store.h"

namespace core {

class DeckStore final : public StorePart {
public:
    explicit DeckStore(BotState& state);

    bool Load(QSqlDatabase& db) override;
    // The deck is a few dozen numbers: comparing it is cheaper than marking every command that draws.
    bool HasChanges() const override { return m_state.CardDeck != m_written; }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;

private:
    BotState& m_state;
    QList<int> m_written;
};

} // namespace core
