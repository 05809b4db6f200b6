#include "core/secretchannels.h"

#include "irc/casemapping.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace core {

bool SecretChannels::IsSecret(const QString& channel) const
{
    return std::any_of(m_secret.cbegin(), m_secret.cend(),
        [&channel](const QString& secret) { return irc::SameName(secret, channel); });
}

void SecretChannels::Note(const QString& channel, bool secret)
{
    if (IsSecret(channel) == secret)
        return;
    if (secret) {
        m_secret.append(channel);
        if (m_kept)
            m_changed.insert(channel);
        return;
    }
    for (qsizetype i = m_secret.size() - 1; i >= 0; --i) {
        if (!irc::SameName(m_secret.at(i), channel))
            continue;
        if (m_kept)
            m_changed.insert(m_secret.at(i));
        m_secret.removeAt(i);
    }
}

void SecretChannels::Clear()
{
    m_secret.clear();
    m_changed.clear();
    m_uncommitted.clear();
}

bool SecretChannels::Load(QSqlDatabase& db)
{
    Clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT channel FROM secret_channels")))
        return false;
    while (query.next())
        m_secret.append(query.value(0).toString());
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
    m_uncommitted.unite(std::exchange(m_changed, {}));
    return true;
}

} // namespace core
