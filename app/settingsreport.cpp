#include "app/settingsreport.h"

#include "core/extrasettings.h"

#include <QDir>
#include <algorithm>
#include <variant>

namespace app {

namespace {

QString Source(bool fromOption, bool fromFile)
{
    if (fromOption)
        return QStringLiteral("option");
    return fromFile ? QStringLiteral("file") : QStringLiteral("default");
}

struct Row {
    QString Name;
    QString Source;
    QString Value;
};

// Names and sources in columns as wide as the widest of all rows, so that the values line up.
QStringList Aligned(const QList<std::variant<QString, Row>>& lines)
{
    qsizetype nameWidth = 0;
    for (const auto& line : lines) {
        if (const Row* row = std::get_if<Row>(&line))
            nameWidth = std::max(nameWidth, row->Name.size());
    }
    QStringList out;
    for (const auto& line : lines) {
        if (const Row* row = std::get_if<Row>(&line))
            out.append((row->Name.leftJustified(nameWidth + 2) + row->Source.leftJustified(9) + row->Value)
                           .trimmed());
        else
            out.append(std::get<QString>(line));
    }
    return out;
}

} // namespace

QStringList SettingsReport(const core::BotState& state, const core::SettingsLinesTaken& taken,
    const QStringList& fromOptions, const QString& filesDir)
{
    const QDir folder(filesDir);
    QList<std::variant<QString, Row>> lines;
    lines.append(QStringLiteral("# %1, one value per line in this order")
                     .arg(QDir::toNativeSeparators(folder.absoluteFilePath(core::files::Settings))));
    const QStringList values = core::SettingsFileLines(state);
    const auto& names = core::SettingsLineNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        lines.append(Row { names[i], Source(fromOptions.contains(names[i]), taken[i]),
            values.value(static_cast<qsizetype>(i)) });

    lines.append(QString());
    lines.append(
        QStringLiteral("# ") + QDir::toNativeSeparators(folder.absoluteFilePath(core::ExtraSettingsFile)));
    const core::ExtraSettings& extra = state.Extra;
    for (const core::SettingKey& key : core::SettingKeys()) {
        const QString value = key.Show(extra);
        lines.append(
            Row { key.Name, Source(fromOptions.contains(key.Name), extra.FromFile.contains(key.Name)),
                key.Secret && !value.isEmpty() ? MaskedPassword : value });
    }
    for (const QString& problem : extra.Problems)
        lines.append(QStringLiteral("# ") + problem);
    return Aligned(lines);
}

} // namespace app
