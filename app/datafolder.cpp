#include "app/datafolder.h"

#include "core/configfile.h"
#include "core/extrasettings.h"
#include "core/settingsfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace app {

namespace {

// Every file under the samples folder, by its path below it.
QStringList SampleFiles(const QString& samples)
{
    QStringList names;
    QDirIterator files(samples, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        names.append(QDir(samples).relativeFilePath(files.next()));
    names.sort();
    return names;
}

QString WriteFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    QDir().mkpath(QFileInfo(path).path());
    if (const QString why = core::WriteFileAtomically(path, bytes); !why.isEmpty())
        return QStringLiteral("Could not write %1: %2").arg(path, why);
    return QFile::setPermissions(path, permissions)
        ? QString()
        : QStringLiteral("Could not set the permissions of ") + path;
}

} // namespace

QString InitDataFolder(const QString& dir, const QString& samples)
{
    const QDir folder(dir);
    const QStringList tables = SampleFiles(samples);
    if (tables.isEmpty())
        return QStringLiteral("The sample tables are missing from ") + samples;
    const QStringList written = QStringList { core::files::Settings, core::files::Privileged,
        core::files::Banned, core::files::Messages, core::files::FavoriteChannels, core::ExtraSettingsFile }
        + tables;
    QStringList present;
    for (const QString& name : written) {
        if (QFileInfo::exists(folder.filePath(name)))
            present.append(name);
    }
    if (!present.isEmpty())
        return QStringLiteral("%1 already holds %2; --init never overwrites a file.")
            .arg(folder.absolutePath(), present.join(QStringLiteral(", ")));
    if (!QDir().mkpath(folder.absolutePath()))
        return QStringLiteral("Could not make the folder ") + folder.absolutePath();

    constexpr auto shared
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    for (const QString& name : tables) {
        QFile sample(QDir(samples).filePath(name));
        if (!sample.open(QIODevice::ReadOnly))
            return QStringLiteral("Could not read the sample ") + name;
        const QString problem = WriteFile(folder.filePath(name), sample.readAll(), shared);
        if (!problem.isEmpty())
            return problem;
    }
    // The owner is left for the operator to name: a placeholder nick would be anybody's who takes it.
    core::BotState defaults;
    defaults.OwnerNick.clear();
    QString problem = core::SaveAtClose(defaults, dir);
    if (problem.isEmpty())
        problem = core::SaveFavoriteChannels(defaults, dir);
    if (problem.isEmpty())
        // Passwords go into tessarin.ini: the bot's user alone may read it.
        problem = WriteFile(folder.filePath(core::ExtraSettingsFile),
            core::DefaultExtraSettingsText().toUtf8(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return problem;
}

} // namespace app
