#include "core/extrasettings.h"

#include <QDir>
#include <QSettings>

namespace core {

ExtraSettings LoadExtraSettings(const QString& filesDir)
{
    const QSettings file(QDir(filesDir).filePath(ExtraSettingsFile), QSettings::IniFormat);
    ExtraSettings settings;
    settings.RequestAddress = file.value(QStringLiteral("help/request_address")).toString().trimmed();
    settings.HomePage = file.value(QStringLiteral("help/home_page")).toString().trimmed();
    settings.DrawerHost = file.value(QStringLiteral("ware/host")).toString().trimmed();
    return settings;
}

} // namespace core
