#include "core/configfile.h"

#include "irc/textcodec.h"

#include <QFile>
#include <QSaveFile>

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

QString WriteConfigLines(const QString& path, const QStringList& lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    for (const QString& line : lines) {
        // A line break inside a value would shift every later line of the file, so it becomes a blank.
        QString flat = line;
        flat.replace(u'\r', u' ').replace(u'\n', u' ');
        const QByteArray bytes = flat.toUtf8() + "\r\n";
        if (file.write(bytes) != bytes.size())
            return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace core
