#include "commands/commandline.h"

#include "core/textcap.h"

namespace commands {

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString WithoutFirstChar(const QString& line)
{
    if (line.isEmpty())
        return line;
    const bool pair = line.size() >= 2 && line.at(0).isHighSurrogate() && line.at(1).isLowSurrogate();
    return line.mid(pair ? 2 : 1);
}

CommandLine SplitCommandLine(const QString& line, const QString& prefix)
{
    const bool prefixed = !prefix.isEmpty() && line.startsWith(prefix);
    const qsizetype wordFrom = prefixed ? prefix.size() : 0;
    const qsizetype space = line.indexOf(u' ');
    if (space < 0)
        return { core::CapChars(line.mid(wordFrom), MaxParameterChars), {} };
    if (space < wordFrom) // the command character is a space: the word before it is empty
        return { {}, core::CapChars(line.mid(space + 1), MaxParameterChars) };
    return { line.mid(wordFrom, space - wordFrom), core::CapChars(line.mid(space + 1), MaxParameterChars) };
}

bool IsBareTarotForm(const QString& line)
{
    const qsizetype c = line.indexOf(u'c');
    return (c == 2 || c == 3) && line.size() >= 2 && IsDigit(line.at(1));
}

} // namespace commands
