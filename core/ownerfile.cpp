#include "core/ownerfile.h"

#include <QFile>
#include <QFileInfo>

namespace core {

void CreateOwnerOnly(const QString& path)
{
    constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    // Created with the mode it keeps, so that nobody else can open it even for a moment; the umask may
    // only take permissions away, and those the owner needs are given back.
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        file.setPermissions(ownerOnly);
}

void KeepToOwner(const QString& path)
{
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (!QFileInfo(path).isFile())
        return;
    const QFileDevice::Permissions permissions = QFile::permissions(path);
    if (permissions & others)
        QFile::setPermissions(path, permissions & ~others);
}

} // namespace core
