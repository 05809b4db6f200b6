#include "commands/carddeck.h"

#include "games/pokerdeck.h"

#include <QSqlQuery>
#include <QVariant>

namespace commands {

std::optional<int> CardDeck::Draw(qsizetype deckSize)
{
    return games::DrawCard(m_drawn, deckSize);
}

bool CardDeck::Return(int card)
{
    const qsizetype out = m_drawn.lastIndexOf(card);
    if (out < 0)
        return false;
    m_drawn.removeAt(out);
    return true;
}

bool CardDeck::Load(QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT drawn FROM deck WHERE id = 1")))
        return false;
    m_drawn.clear();
    if (query.next()) {
        for (const QString& card : query.value(0).toString().split(u',', Qt::SkipEmptyParts))
            m_drawn.append(card.toInt());
    }
    m_written = m_committed = m_drawn;
    return true;
}

bool CardDeck::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    QStringList cards;
    for (const int card : std::as_const(m_drawn))
        cards.append(QString::number(card));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO deck (id, drawn) VALUES (1, ?)"));
    query.addBindValue(cards.join(u','));
    if (!query.exec())
        return false;
    m_written = m_drawn;
    return true;
}

} // namespace commands
