#include "commands/rollhistorycommands.h"

#include "common/parseinteger.h"

#include <QDateTime>

namespace commands {

namespace {

QString RollTime(const RollRecord& record)
{
    return QDateTime::fromMSecsSinceEpoch(record.TimeMs).toString(QStringLiteral("hh:mm:ss dd.MM.yyyy"));
}

// "#42 by Kell at 21:05:09 07.12.2026: Kell: 12"
QString RecallText(const RollRecord& record)
{
    return u'#' + QString::number(record.Number) + QStringLiteral(" by ") + record.Nick
        + QStringLiteral(" at ") + RollTime(record) + QStringLiteral(": ") + record.Reply;
}

} // namespace

void RecordRoll(Services& services, const CommandCall& call, const QString& reply)
{
    if (!reply.isEmpty())
        services.Rolls.Record(call.Target, call.Nick, call.Line, reply, dice::RecordedFaces());
}

// ",rolls [nick] [n]": the words may come in either order; a number is the count, anything else the nick.
void RollsCommand(const CommandCall& call, Services& services)
{
    QString nick = call.Nick;
    int count = DefaultRollsListed;
    for (const QString& word : call.Parameter.split(u' ', Qt::SkipEmptyParts)) {
        if (const std::optional<int> number = common::ParseInteger(word))
            count = std::clamp(*number, 1, MaxRollsListed);
        else
            nick = word;
    }
    const QList<RollRecord> rolls = services.Rolls.Recent(call.Target, nick, count);
    if (rolls.isEmpty()) {
        services.Out.Say(call.Nick,
            call.Nick + QStringLiteral(", I have no rolls by ") + nick
                + (call.Target == call.Nick ? QStringLiteral(" in private.") : QStringLiteral(" here.")));
        return;
    }
    for (const RollRecord& record : rolls) {
        if (!services.Out.Say(call.Nick,
                u'#' + QString::number(record.Number) + u' ' + RollTime(record) + u' ' + record.Command
                    + QStringLiteral(" => ") + record.Reply))
            return;
    }
}

// A roll is recalled where it was made, or privately to the one who rolled it.
void RecallCommand(const CommandCall& call, Services& services)
{
    const QString text = call.Parameter.trimmed();
    const std::optional<int> number = common::ParseInteger(text.startsWith(u'#') ? text.mid(1) : text);
    const std::optional<RollRecord> record = number ? services.Rolls.Find(*number) : std::nullopt;
    if (!record) {
        services.Out.Say(call.Nick, call.Nick + QStringLiteral(", I have no roll #") + text + u'.');
        return;
    }
    const bool here = record->Place.compare(call.Target, Qt::CaseInsensitive) == 0;
    const bool toRoller
        = call.Target == call.Nick && record->Nick.compare(call.Nick, Qt::CaseInsensitive) == 0;
    if (!here && !toRoller) {
        services.Out.Say(call.Nick,
            call.Nick + QStringLiteral(", roll #") + QString::number(record->Number)
                + QStringLiteral(" was made elsewhere; only its roller can recall it privately."));
        return;
    }
    services.Out.Say(call.Target, RecallText(*record));
}

} // namespace commands
