#pragma once

// The shared poker deck: the cards drawn from it, as lines of the deck file in the order drawn, until a new
// deck is opened. As a part of the store the drawn cards are read back at start, so a restart neither
// reshuffles nor refills the deck.

#include "core/store.h"

#include <QList>
#include <optional>

namespace commands {

class CardDeck final : public core::StorePart {
public:
    const QList<int>& Drawn() const { return m_drawn; }
    // Draws a card not drawn yet from a deck of deckSize lines; nothing when none is left.
    std::optional<int> Draw(qsizetype deckSize);
    // Puts the card back; false when it was not drawn.
    bool Return(int card);
    void Clear() { m_drawn.clear(); }

    bool Load(QSqlDatabase& db) override;
    // The deck is a few dozen numbers: comparing it is cheaper than marking every command that draws.
    // Empty lists are not compared: their data pointers may be null, which memcmp must not be given.
    bool HasChanges() const override
    {
        return m_drawn.size() != m_written.size() || (!m_drawn.isEmpty() && m_drawn != m_written);
    }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;
    void Committed() override { m_committed = m_written; }
    void RolledBack() override { m_written = m_committed; }

private:
    QList<int> m_drawn;
    QList<int> m_written;
    QList<int> m_committed;
};

} // namespace commands
