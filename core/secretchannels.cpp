#include "core/secretchannels.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

void SecretChannels::Note(const QString& channel, bool secret)
{
    const QString name = channel.toLower();
    if (m_secret.contains(name) == secret)
        return;
    if (secret)
        m_secret.insert(name);
    else
        m_secret.remove(name);
    if (m_kept)
        m_changed.insert(name);
}

void SecretChannels::Clear()
{
    m_secret.clear();
    m_changed.clear();
}

bool SecretChannels::Load(QSqlDatabase& db)
{
    Clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT channel FROM secret_channels")))
        return false;
    while (query.next())
        m_secret.insert(query.value(0).toString());
    return true;
}

// Channels change their secrecy seldom: every change is written at once.
bool SecretChannels::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    QSqlQuery add(db);
    add.prepare(QStringLiteral("INSERT OR IGNORE INTO secret_channels VALUES (?)"));
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("DELETE FROM secret_channels WHERE channel = ?"));
    for (const QString& name : std::as_const(m_changed)) {
        QSqlQuery& query = m_secret.contains(name) ? add : remove;
        query.addBindValue(name);
        if (!query.exec())
            return false;
    }
    m_changed.clear();
    return true;
}

} // namespace core
