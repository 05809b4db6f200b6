#include "core/deckstore.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

DeckStore::DeckStore(BotState& state)
    : m_state(state)
{
}

bool DeckStore::Load(QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT drawn FROM deck WHERE id = 1")))
        return false;
    m_state.CardDeck.clear();
    if (query.next()) {
        const QString drawn = query.value(0).toString();
        for (const QString& card : drawn.split(u',', Qt::SkipEmptyParts))
            m_state.CardDeck.append(card.toInt());
    }
    m_written = m_state.CardDeck;
    return true;
}

bool DeckStore::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    if (!HasChanges())
        return true;
    QStringList cards;
    for (const int card : std::as_const(m_state.CardDeck))
        cards.append(QString::number(card));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO deck (id, drawn) VALUES (1, ?)"));
    query.addBindValue(cards.join(u','));
    if (!query.exec())
        return false;
    m_written = m_state.CardDeck;
    return true;
}

} // namespace core
