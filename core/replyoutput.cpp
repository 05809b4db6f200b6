#include "core/replyoutput.h"

#include "core/textcap.h"

#include <QRegularExpression>

namespace core {

namespace {

constexpr qsizetype MaxActionChars = 2500;

QStringList ReplyLines(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineEnd);
}

} // namespace

void SayWrapped(irc::Sender& out, const QString& target, const QString& text)
{
    for (const QString& line : ReplyLines(text)) {
        if (!out.Say(target, line))
            return;
    }
}

void SayWrappedWithActions(irc::Sender& out, const QString& target, const QString& text)
{
    static const QString actionMark = QStringLiteral("/me ");
    for (const QString& line : ReplyLines(text)) {
        const bool sent = line.startsWith(actionMark)
            ? out.Action(target, CapChars(line.mid(actionMark.size()), MaxActionChars))
            : out.Say(target, line);
        if (!sent)
            return;
    }
}

} // namespace core
