#pragma once

// The shared poker deck: the cards drawn since the deck was opened, as line numbers of the deck file, in
// the order drawn. A card once drawn stays out until it is returned or a new deck is opened.

#include <QList>
#include <QStringList>
#include <optional>

namespace games {

inline constexpr int FullDeck = 54;
inline constexpr int HandSize = 7;

// Draws one card not yet out, recording it in drawn; nothing when every card of the file is out.
std::optional<int> DrawCard(QList<int>& drawn, qsizetype deckSize);

// The last line of the deck equal to name ignoring letter case.
std::optional<int> FindCard(const QStringList& deck, const QString& name);

} // namespace games
