#include "core/channellog.h"

#include "core/namekeys.h"
#include "irc/casemapping.h"
#include "irc/ircchannels.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

size_t qHash(const LogOwner& owner, size_t seed)
{
    return qHashMulti(seed, owner.Name, owner.IsAccount);
}

LogOwner LogOwnerOf(const irc::ChannelRoster& roster, const QString& target)
{
    if (irc::IsChannelName(target) || !roster.TellsAccounts())
        return { target };
    const irc::TIrcUser* user = roster.FindUser(target);
    if (!user || !user->Account || user->Account->isEmpty())
        return { target };
    return { irc::FoldName(*user->Account), true };
}

const QStringList* ChannelLogs::Find(const LogOwner& owner) const
{
    const qsizetype index = m_index.value(owner, -1);
    return index < 0 ? nullptr : &m_logs.at(index);
}

void ChannelLogs::Append(const LogOwner& owner, const QString& target, const QString& sender,
    const QString& text, const Clock& clock, int limit)
{
    qsizetype index = m_index.value(owner, -1);
    if (index < 0) {
        m_logs.append(QStringList {
            target,
            QStringLiteral("Logging channel ") + target + QStringLiteral(" since ") + clock.LogStampNow()
                + QStringLiteral("(local)"),
        });
        m_owners.append(owner);
        index = m_logs.size() - 1;
        m_index.insert(owner, index);
    }
    QStringList& log = m_logs[index];
    log.append(u'<' + sender + QStringLiteral("> ") + text);
    // One line out per line in keeps the log at its limit; the two fixed lines always stay.
    if (log.size() > limit && log.size() > 2)
        log.removeAt(2);
    if (m_kept)
        m_changed.insert(index);
}

void ChannelLogs::Refold(irc::CaseMapping from, irc::CaseMapping to)
{
    m_index.clear();
    for (qsizetype index = 0; index < m_owners.size(); ++index) {
        LogOwner& owner = m_owners[index];
        if (owner.IsAccount) {
            owner.Name = irc::Refold(owner.Name, from, to).value_or(UnownedKey);
            if (m_kept)
                m_changed.insert(index);
        }
        m_index.insert(owner, index);
    }
}

void ChannelLogs::Clear()
{
    m_logs.clear();
    m_owners.clear();
    m_index.clear();
    m_changed.clear();
    m_uncommitted.clear();
}

// Rows written before logs had owners have no account: they stay the logs of their channel or nick.
bool ChannelLogs::Load(QSqlDatabase& db)
{
    Clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT target, account, lines FROM channel_logs ORDER BY position")))
        return false;
    while (query.next()) {
        const QString account = query.value(1).toString();
        const LogOwner owner
            = account.isEmpty() ? LogOwner { query.value(0).toString() } : LogOwner { account, true };
        m_index.insert(owner, m_logs.size());
        m_owners.append(owner);
        m_logs.append(query.value(2).toString().split(u'\n'));
    }
    return true;
}

bool ChannelLogs::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO channel_logs (position, target, account, lines) VALUES (?, ?, ?, ?)"));
    for (const qsizetype index : std::as_const(m_changed)) {
        const LogOwner& owner = m_owners.at(index);
        query.addBindValue(index);
        query.addBindValue(m_logs.at(index).value(0));
        query.addBindValue(owner.IsAccount ? QVariant(owner.Name) : QVariant(QMetaType::fromType<QString>()));
        query.addBindValue(m_logs.at(index).join(u'\n'));
        if (!query.exec())
            return false;
    }
    m_uncommitted.unite(std::exchange(m_changed, {}));
    return true;
}

} // namespace core
