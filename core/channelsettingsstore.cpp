#include "core/channelsettingsstore.h"

#include <QSqlQuery>
#include <QVariant>

namespace core {

ChannelSettingsStore::ChannelSettingsStore(BotState& state)
    : m_state(state)
{
}

bool ChannelSettingsStore::Load(QSqlDatabase& db)
{
    QSqlQuery query(db);
    // Set again in the order their channels were last given a setting, each channel's rows together, so
    // that the order outlives the restart.
    if (!query.exec(
            QStringLiteral("SELECT channel, key, value FROM channel_settings ORDER BY set_order, channel")))
        return false;
    ChannelSettings loaded;
    while (query.next()) {
        const QString key = query.value(1).toString();
        const CheckedValue value = CheckChannelValue(key, query.value(2).toString());
        if (value.Refusal.isEmpty())
            loaded.Set(query.value(0).toString(), key, value.Text);
    }
    m_state.PerChannel = loaded;
    m_written = m_committed = loaded.All();
    return true;
}

bool ChannelSettingsStore::WriteChanges(QSqlDatabase& db, int /*maxRows*/)
{
    if (!HasChanges())
        return true;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("DELETE FROM channel_settings")))
        return false;
    query.prepare(
        QStringLiteral("INSERT INTO channel_settings (channel, key, value, set_order) VALUES (?, ?, ?, ?)"));
    const ChannelSettings::Table& all = m_state.PerChannel.All();
    for (auto channel = all.cbegin(); channel != all.cend(); ++channel) {
        for (auto value = channel->Values.cbegin(); value != channel->Values.cend(); ++value) {
            query.addBindValue(channel.key());
            query.addBindValue(value.key());
            query.addBindValue(value.value());
            query.addBindValue(channel->SetOrder);
            if (!query.exec())
                return false;
        }
    }
    m_written = all;
    return true;
}

} // namespace core
