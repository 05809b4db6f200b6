#include "sessiondatafolder.h"

#include "core/botstate.h"
#include "core/configfile.h"
#include "core/settingsfiles.h"

#include <QDirIterator>

namespace fuzzing {

namespace {

const QByteArray Settings = "[store]\n"
                            "keep = no\n"
                            "[flood]\n"
                            "line_interval = 0\n"
                            "[connection]\n"
                            "sasl_account = Tessarin\n"
                            "sasl_password = dicebag77\n";

} // namespace

SessionDataFolder::SessionDataFolder(const QString& samples)
{
    QDirIterator sample(samples, QDir::Files, QDirIterator::Subdirectories);
    while (sample.hasNext()) {
        const QString path = sample.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_files.Write(QDir(samples).relativeFilePath(path), file.readAll());
    }
    core::BotState state;
    state.ServerAddress = QStringLiteral("127.0.0.1");
    state.BotNick = QString::fromLatin1(BotNick);
    state.OwnerNick = QString::fromLatin1(OwnerNick);
    state.PrivilegedUsers = QStringList { QString::fromLatin1(PrivilegedNick) };
    state.BannedUsers = QStringList { QString::fromLatin1(BannedNick) };
    core::SaveAtClose(state, Path());
    m_files.Write(core::ExtraSettingsFile, Settings);
    Restore();
}

// Written only when a run changed it: a write is synced to the disk, which takes longer than a short input.
void SessionDataFolder::Restore() const
{
    const QStringList favorites { QString::fromLatin1(FavoriteChannel) };
    if (core::ReadConfigList(m_files.PathOf(core::files::FavoriteChannels)) == favorites)
        return;
    core::BotState state;
    state.CurrentChannels = favorites;
    core::SaveFavoriteChannels(state, Path());
}

} // namespace fuzzing
