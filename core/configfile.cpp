#include "core/configfile.h"

#include "irc/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace core {

std::optional<ConfigLines> ReadConfigLines(const QString& path)
{
    QFile file(path);
    const qint64 size = file.open(QIODevice::ReadOnly) ? file.size() : -1;
    if (size < 0 || size > MaxConfigFileBytes)
        return std::nullopt;
    // The buffer is the file's size and a byte more, to see whether it grew since: one of the limit's size
    // for every small file cost more than reading it, and tables are read at every quote.
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() > size)
        bytes += file.read(MaxConfigFileBytes + 1 - bytes.size());
    if (bytes.size() > MaxConfigFileBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;

    ConfigLines result;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        const qsizetype length = end - start;
        if (length > MaxConfigLineBytes)
            result.Lines.emplace_back(std::nullopt);
        else
            result.Lines.emplace_back(irc::DecodeText(bytes.mid(start, length)));
        if (end < bytes.size() && bytes.at(end) == '\r' && end + 1 < bytes.size()
            && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;
    }
    return result;
}

std::optional<QStringList> ReadConfigList(const QString& path)
{
    const std::optional<ConfigLines> file = ReadConfigLines(path);
    if (!file)
        return std::nullopt;
    QStringList list;
    list.reserve(static_cast<qsizetype>(file->Lines.size()));
    for (const auto& line : file->Lines) {
        if (!line)
            return std::nullopt;
        list.append(*line);
    }
    return list;
}

namespace {

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes the rename that put a file in place last through a power cut; a filesystem that cannot sync a
// folder has nothing to make last.
void SyncFolderOf(const QString& path)
{
    const int folder = ::open(
        QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}

} // namespace

// Unbuffered, so that a full disk fails the write that meets it: a buffered write is only tried when the
// file is closed, and QSaveFile would then put an empty file in the old one's place.
QString WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    // QSaveFile syncs before it renames but does not say whether the sync worked; space a filesystem only
    // allocates when syncing runs out there. A filesystem that cannot sync has nothing left to write.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString why = SystemError(errno);
        file.cancelWriting();
        return why;
    }
    if (file.size() != bytes.size()) {
        file.cancelWriting();
        return QStringLiteral("%1 bytes of %2 reached the disk").arg(file.size()).arg(bytes.size());
    }
    if (!file.commit())
        return file.errorString();
    SyncFolderOf(path);
    return {};
}

QString WriteConfigLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        // A line break inside a value would shift every later line of the file, so it becomes a blank.
        QString flat = line;
        flat.replace(u'\r', u' ').replace(u'\n', u' ');
        bytes += flat.toUtf8() + "\r\n";
    }
    return WriteFileAtomically(path, bytes);
}

} // namespace core
