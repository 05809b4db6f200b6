#include "commands/aliases.h"

#include "commands/textfolder.h"
#include "common/asciicase.h"
#include "irc/textcodec.h"

#include <QFile>
#include <optional>

namespace commands {

namespace {

std::optional<QString> FirstLineOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray line = file.readLine(AliasTable::MaxExpansionBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    const qsizetype end = line.indexOf('\r') >= 0 ? line.indexOf('\r') : line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    return irc::DecodeText(line);
}

} // namespace

bool AliasTable::Load(const QString& folder)
{
    m_rows.clear();
    if (!FolderListable(folder))
        return false;
    for (const QFileInfo& info : TextFilesIn(folder)) {
        const std::optional<QString> expansion = FirstLineOf(info.filePath());
        if (!expansion)
            return false;
        m_rows.append(
            { common::AsciiLower(NameBeforeFirstDot(info.fileName())), common::AsciiLower(*expansion) });
    }
    return true;
}

bool AliasTable::IsEmpty() const
{
    return m_rows.isEmpty() || m_rows.first().Name.isEmpty();
}

QString AliasTable::Resolve(const QString& line) const
{
    if (IsEmpty())
        return line;
    // Alias files are written for the default command character, whatever the bot's setting is.
    const qsizetype space = line.indexOf(u' ');
    QString word = space < 0 ? line : line.left(space);
    const QString rest = space < 0 ? QString() : line.mid(space + 1);
    if (word.startsWith(u','))
        word.remove(0, 1);
    word = common::AsciiLower(word);

    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        if (m_rows.at(i).Name != word)
            continue;
        QString expansion = m_rows.at(i).Expansion;
        static const QString marker = QStringLiteral(" parameter");
        const qsizetype at = expansion.indexOf(marker);
        if (at >= 0)
            expansion.replace(at, marker.size(), u' ' + rest);
        return expansion.startsWith(u',') ? expansion : u',' + expansion;
    }
    return line;
}

} // namespace commands
