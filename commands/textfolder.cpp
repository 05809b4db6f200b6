#include "commands/textfolder.h"

#include <QDir>

namespace commands {

QFileInfoList TextFilesIn(const QString& folder)
{
    QDir dir(folder);
    dir.setNameFilters({ QStringLiteral("*.txt") });
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryInfoList();
}

bool FolderListable(const QString& folder)
{
    const QFileInfo info(folder);
    return !info.exists() || (info.isDir() && info.isReadable() && info.isExecutable());
}

QString NameBeforeFirstDot(const QString& fileName)
{
    return fileName.section(u'.', 0, 0);
}

} // namespace commands
