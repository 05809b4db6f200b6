#include "core/channellog.h"

namespace core {

qsizetype FindChannelLog(const BotState& state, const QString& target)
{
    return state.ChannelLogIndex.value(target, -1);
}

void AppendToLog(
    BotState& state, const QString& target, const QString& sender, const QString& text, const Clock& clock)
{
    qsizetype index = FindChannelLog(state, target);
    if (index < 0) {
        state.ChannelLogs.append(QStringList {
            target,
            QStringLiteral("Logging channel ") + target + QStringLiteral(" since ") + clock.LogStampNow()
                + QStringLiteral("(local)"),
        });
        index = state.ChannelLogs.size() - 1;
        state.ChannelLogIndex.insert(target, index);
    }
    QStringList& log = state.ChannelLogs[index];
    log.append(u'<' + sender + QStringLiteral("> ") + text);
    // One line out per line in keeps the log at its limit; the two fixed lines always stay.
    if (log.size() > state.LogLimit && log.size() > 2)
        log.removeAt(2);
    MarkLogChanged(state, target);
}

} // namespace core
