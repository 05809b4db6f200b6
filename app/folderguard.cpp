#include "app/folderguard.h"

#include "core/extrasettings.h"
#include "core/settingsfiles.h"
#include "core/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

QString UserName(uid_t uid)
{
    const passwd* user = ::getpwuid(uid);
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(uid);
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

QString RootOnAnothersFolder(const QString& dir, bool allowRoot)
{
    struct stat folder { };
    if (allowRoot || ::geteuid() != 0 || ::stat(Native(dir).constData(), &folder) != 0 || folder.st_uid == 0)
        return {};
    const QString owner = UserName(folder.st_uid);
    return QStringLiteral("Not running as root on %1, which belongs to %2: every file the bot wrote would be "
                          "root's, and the bot could not write them again as %2. Run it as %2 (sudo -u %2 "
                          "tessarin ...), or give --allow-root.")
        .arg(dir, owner);
}

QString UnreadableSettings(const QString& dir)
{
    const QString path = QDir(dir).filePath(core::ExtraSettingsFile);
    if (!QFileInfo::exists(path) || ::access(Native(path).constData(), R_OK) == 0)
        return {};
    return QStringLiteral(
        "Cannot read %1 (%2): it holds the TLS, SASL and NickServ settings the bot must not "
        "connect without. Make it readable by %3 (chown %3 %1).")
        .arg(path, QString::fromLocal8Bit(std::strerror(errno)), UserName(::geteuid()));
}

// The files the bot writes at its end, and the folder it makes new ones in.
QString Unwritable(const QString& dir)
{
    if (::access(Native(dir).constData(), W_OK | X_OK) != 0)
        return QStringLiteral(
            "Cannot write in %1 (%2): the bot writes its files there. Make it writable by %3.")
            .arg(dir, QString::fromLocal8Bit(std::strerror(errno)), UserName(::geteuid()));
    const QString store = core::StoreFile;
    QStringList unwritable;
    for (const QString& name : { core::files::Settings, core::files::Privileged, core::files::Banned,
             core::files::Messages, core::files::FavoriteChannels, store, store + QStringLiteral("-wal"),
             store + QStringLiteral("-shm") }) {
        const QString path = QDir(dir).filePath(name);
        if (QFileInfo::exists(path) && ::access(Native(path).constData(), R_OK | W_OK) != 0)
            unwritable.append(name);
    }
    if (unwritable.isEmpty())
        return {};
    return QStringLiteral("Cannot write %1 in %2: the bot could not save them at its end. Give them to %3 "
                          "(chown %3 ...).")
        .arg(unwritable.join(QStringLiteral(", ")), dir, UserName(::geteuid()));
}

} // namespace

FolderGuard::~FolderGuard()
{
    if (m_lock >= 0)
        ::close(m_lock);
}

QString FolderGuard::Take(const QString& dir, bool allowRoot)
{
    const QString folder = QDir(dir).absolutePath();
    if (!QFileInfo(folder).isDir())
        return {};
    // In this order: root must not make the lock file, and a second bot is told of the first whatever else.
    QString problem = RootOnAnothersFolder(folder, allowRoot);
    if (problem.isEmpty())
        problem = Lock(folder);
    if (problem.isEmpty())
        problem = UnreadableSettings(folder);
    if (problem.isEmpty())
        problem = Unwritable(folder);
    return problem;
}

// The lock file holds the pid of the bot that has the folder, for the one refused to name it. The lock is
// held through a descriptor open for reading only: a file open for writing would keep the folder's
// filesystem from being made read-only, and a lock file left by another user still locks.
QString FolderGuard::Lock(const QString& dir)
{
    const QByteArray path = Native(QDir(dir).filePath(LockFile));
    const int writer = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const int lock = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (lock < 0) {
        const int error = errno;
        if (writer >= 0)
            ::close(writer);
        return QStringLiteral("Cannot open %1 (%2), which keeps a second bot off the folder.")
            .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error)));
    }
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        char pid[32] = {};
        const ssize_t read = ::pread(lock, pid, sizeof pid - 1, 0);
        ::close(lock);
        if (writer >= 0)
            ::close(writer);
        const QString running
            = read > 0 ? QStringLiteral(" (pid %1)").arg(QString::fromLatin1(pid).trimmed()) : QString();
        return QStringLiteral("Another Tessarin%1 is running on the data folder %2; stop it first (the "
                              "service: systemctl stop tessarin).")
            .arg(running, dir);
    }
    if (writer >= 0) {
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        // The pid only names this bot to a second one; the lock holds without it.
        if (::ftruncate(writer, 0) == 0) {
            const ssize_t written = ::pwrite(writer, pid.constData(), static_cast<size_t>(pid.size()), 0);
            Q_UNUSED(written);
        }
        ::close(writer);
    }
    m_lock = lock;
    return {};
}

} // namespace app
