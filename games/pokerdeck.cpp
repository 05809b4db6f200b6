#include "games/pokerdeck.h"

#include "common/asciicase.h"
#include "dice/randomsource.h"

namespace games {

std::optional<int> DrawCard(QList<int>& drawn, qsizetype deckSize)
{
    QList<int> available;
    for (int line = 0; line < deckSize; ++line) {
        if (!drawn.contains(line))
            available.append(line);
    }
    if (available.isEmpty())
        return std::nullopt;
    // Picking among the whole deck until a card still in it comes up gives every remaining card the same
    // chance; after many misses the pick is made among the remaining cards directly, which is the same.
    int card = -1;
    for (int tries = 0; tries < 1000 && card < 0; ++tries) {
        const int pick = dice::RandomBelow(static_cast<int>(deckSize));
        if (!drawn.contains(pick))
            card = pick;
    }
    if (card < 0)
        card = available.at(dice::RandomBelow(static_cast<int>(available.size())));
    drawn.append(card);
    return card;
}

std::optional<int> FindCard(const QStringList& deck, const QString& name)
{
    const QString wanted = common::AsciiLower(name);
    for (qsizetype line = deck.size() - 1; line >= 0; --line) {
        if (common::AsciiLower(deck.at(line)) == wanted)
            return static_cast<int>(line);
    }
    return std::nullopt;
}

} // namespace games
