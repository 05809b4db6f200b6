#include "core/replyoutput.h"

#include "core/textcap.h"
#include "core/textwidth.h"

namespace core {

namespace {

constexpr qsizetype MaxActionChars = 2500;

} // namespace

void SayWrapped(irc::Sender& out, const QString& target, const QString& text, int lineWidth)
{
    for (const QString& line : WrapText(text, lineWidth)) {
        if (!out.Say(target, line))
            return;
    }
}

void SayWrappedWithActions(irc::Sender& out, const QString& target, const QString& text, int lineWidth)
{
    static const QString actionMark = QStringLiteral("/me ");
    for (const QString& line : WrapText(text, lineWidth)) {
        const bool sent = line.startsWith(actionMark)
            ? out.Action(target, CapChars(line.mid(actionMark.size()), MaxActionChars))
            : out.Say(target, line);
        if (!sent)
            return;
    }
}

} // namespace core
