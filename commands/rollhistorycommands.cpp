#include "commands/rollhistorycommands.h"

#include "commands/rollaccess.h"
#include "common/parseinteger.h"
#include "irc/casemapping.h"

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

// The roll a ",recall N" or ",reveal N" names ("42" or "#42"), or nothing after telling the asker so.
std::optional<RollRecord> NamedRoll(const CommandCall& call, Services& services)
{
    const QString text = call.Parameter.trimmed();
    const std::optional<int> number = common::ParseInteger(text.startsWith(u'#') ? text.mid(1) : text);
    const std::optional<RollRecord> record = number ? services.Rolls.Find(*number) : std::nullopt;
    if (!record)
        TellPrivately(services, call.Nick, QStringLiteral("I have no roll #") + text + u'.');
    return record;
}

QString NumberText(const RollRecord& record)
{
    return QStringLiteral("roll #") + QString::number(record.Number);
}

} // namespace

void RecordRoll(Services& services, const CommandCall& call, const QString& reply)
{
    if (reply.isEmpty())
        return;
    const bool toRoller = call.Target == call.Nick;
    const RollKind kind = call.Secret && !call.Place.isEmpty() ? RollKind::Secret
        : toRoller                                             ? RollKind::Private
                                                               : RollKind::Public;
    services.Rolls.Record(kind, kind == RollKind::Secret ? call.Place : call.Target,
        RollerOf(services.Roster, call.Nick), call.Line, reply, dice::RecordedFaces());
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
    const bool inPrivate = call.Target == call.Nick;
    const QList<RollRecord> rolls
        = services.Rolls.Recent(inPrivate ? QString() : call.Target, RollerOf(services.Roster, nick), count,
            [&](const RollRecord& record) { return MaySee(services, record, call.Nick); });
    if (rolls.isEmpty()) {
        services.Out.Say(call.Nick,
            call.Nick + QStringLiteral(", I have no rolls by ") + nick
                + (inPrivate ? QStringLiteral(" in private.") : QStringLiteral(" here.")));
        return;
    }
    for (const RollRecord& record : rolls) {
        if (!services.Out.Say(call.Nick,
                u'#' + QString::number(record.Number) + u' ' + RollTime(record) + u' ' + record.Command
                    + QStringLiteral(" => ") + record.Reply))
            return;
    }
}

// A public roll is recalled where it was made, or privately to its roller; a private one privately to its
// roller; a secret one privately to its roller or the game master of its channel.
void RecallCommand(const CommandCall& call, Services& services)
{
    const std::optional<RollRecord> record = NamedRoll(call, services);
    if (!record)
        return;
    const bool inPrivate = call.Target == call.Nick;
    if (record->Kind == RollKind::Secret) {
        if (KnowsSecret(services, *record, call.Nick))
            services.Out.Say(call.Nick, RecallText(*record));
        else
            TellPrivately(services, call.Nick,
                NumberText(*record)
                    + QStringLiteral(" was rolled in secret; only its roller and the game "
                                     "master can recall it."));
        return;
    }
    const bool here = record->Kind == RollKind::Public && irc::SameName(record->Place, call.Target);
    const bool toRoller = inPrivate && IsRollerOf(*record, RollerOf(services.Roster, call.Nick));
    if (!here && !toRoller)
        return TellPrivately(services, call.Nick,
            NumberText(*record)
                + QStringLiteral(" was made elsewhere; only its roller can recall it privately."));
    services.Out.Say(call.Target, RecallText(*record));
}

void RevealCommand(const CommandCall& call, Services& services)
{
    const std::optional<RollRecord> record = NamedRoll(call, services);
    if (!record)
        return;
    if (record->Kind != RollKind::Secret)
        return TellPrivately(services, call.Nick,
            NumberText(*record)
                + QStringLiteral(" was not rolled in secret in a channel: there is nothing to reveal."));
    if (!KnowsSecret(services, *record, call.Nick))
        return TellPrivately(services, call.Nick,
            QStringLiteral("only its roller and the game master can reveal ") + NumberText(*record) + u'.');
    services.Out.Say(record->Place,
        record->Nick + QStringLiteral("'s secret roll #") + QString::number(record->Number)
            + QStringLiteral(": ") + record->Reply);
}

} // namespace commands
