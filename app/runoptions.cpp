#include "app/runoptions.h"

namespace app {

void ApplyClassicOptions(const RunOptions& options, core::BotState& state)
{
    if (options.ServerAddress)
        state.ServerAddress = *options.ServerAddress;
    if (options.ServerPort)
        state.ServerPort = *options.ServerPort;
    if (options.BotNick)
        state.BotNick = *options.BotNick;
    if (options.OwnerNick)
        state.OwnerNick = *options.OwnerNick;
}

void ApplyIniOptions(const RunOptions& options, core::ExtraSettings& settings)
{
    for (const auto& [key, value] : options.Settings) {
        if (const core::SettingKey* row = core::FindSettingKey(key))
            row->Apply(settings, value);
    }
}

QStringList ReplacedNames(const RunOptions& options)
{
    QStringList names;
    const std::pair<bool, QString> classic[] = {
        { options.ServerAddress.has_value(), QStringLiteral("ServerAddress") },
        { options.ServerPort.has_value(), QStringLiteral("ServerPort") },
        { options.BotNick.has_value(), QStringLiteral("BotNick") },
        { options.OwnerNick.has_value(), QStringLiteral("OwnerNick") },
    };
    for (const auto& [set, name] : classic) {
        if (set)
            names.append(name);
    }
    for (const auto& [key, value] : options.Settings)
        names.append(key);
    return names;
}

std::optional<std::pair<QString, std::optional<int>>> ParseServerOption(const QString& text)
{
    QString host = text;
    QString port;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return std::nullopt;
        port = rest.mid(1);
        if (rest.startsWith(u':') && port.isEmpty())
            return std::nullopt;
    } else if (text.count(u':') == 1) {
        host = text.section(u':', 0, 0);
        port = text.section(u':', 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    if (host.isEmpty())
        return std::nullopt;
    if (port.isEmpty())
        return std::pair { host, std::optional<int>() };
    bool ok = false;
    const int number = port.toInt(&ok);
    if (!ok || number < core::ServerPortRange.Min || number > core::ServerPortRange.Max)
        return std::nullopt;
    return std::pair { host, std::optional<int>(number) };
}

} // namespace app
