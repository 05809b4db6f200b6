#include "core/storefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace core {

namespace {

FileTrouble TroubleOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_OK:
        return FileTrouble::None;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FileTrouble::Held;
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        return FileTrouble::Full;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return FileTrouble::Damaged;
    default:
        return FileTrouble::Other;
    }
}

// SQLite tells a folder that cannot be written as a disk I/O error or a read-only database, which sends
// the operator looking at the disk.
FileFailure Explained(int code, const QString& message, const QString& path)
{
    FileFailure failure { TroubleOf(code), message };
    const QString folder = QFileInfo(path).absolutePath();
    if (failure.Trouble == FileTrouble::Full && QFileInfo(folder).isDir() && !QFileInfo(folder).isWritable())
        failure.Why = QStringLiteral("the data folder %1 is read-only").arg(folder);
    else if (failure.Why.isEmpty())
        failure.Why = failure.Trouble == FileTrouble::None ? QStringLiteral("SQLite gave no reason")
                                                           : QStringLiteral("SQLite error %1").arg(code);
    return failure;
}

} // namespace

FileFailure LastFailure(const QSqlDatabase& db, const QString& path)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    auto* connection = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3* const*>(handle.data())
        : nullptr;
    if (!connection)
        return FailureOf(db.lastError(), path);
    const int code = sqlite3_extended_errcode(connection);
    return Explained(
        code, code == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(connection)), path);
}

FileFailure FailureOf(const QSqlError& error, const QString& path)
{
    const QString message = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    const int code = error.nativeErrorCode().toInt();
    return Explained(code == SQLITE_OK && !message.isEmpty() ? SQLITE_ERROR : code, message, path);
}

QString DamagedName(const QString& path, QDate day)
{
    const QString first = path + QStringLiteral(".damaged-") + day.toString(Qt::ISODate);
    QString name = first;
    const auto taken = [](const QString& candidate) {
        return QFileInfo::exists(candidate) || QFileInfo::exists(candidate + QStringLiteral("-wal"))
            || QFileInfo::exists(candidate + QStringLiteral("-shm"));
    };
    for (int number = 2; taken(name); ++number)
        name = first + u'-' + QString::number(number);
    return name;
}

QString SetAsideDamaged(const QString& path, QDate day)
{
    const QString name = DamagedName(path, day);
    if (!QFile::rename(path, name))
        return QString();
    for (const QString& suffix : { QStringLiteral("-wal"), QStringLiteral("-shm") }) {
        if (QFileInfo::exists(path + suffix))
            QFile::rename(path + suffix, name + suffix);
    }
    return name;
}

} // namespace core
