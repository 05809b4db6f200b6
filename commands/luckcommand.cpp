#include "commands/luckcommand.h"

#include "commands/rollaccess.h"
#include "dice/chisquare.h"

namespace commands {

namespace {

QString Verdict(const dice::FairnessTest& test)
{
    if (!test.Enough)
        return QStringLiteral("too few to tell");
    if (test.PValue >= UnusualBelow)
        return QStringLiteral("looks fair");
    return QStringLiteral("unusual, p = ") + QString::number(test.PValue, 'g', 1);
}

} // namespace

QString LuckSummary(const FaceCounts& counts)
{
    QStringList parts;
    for (const auto& [sides, faces] : counts) {
        const std::map<int, std::int64_t> tally(faces.begin(), faces.end());
        const dice::FairnessTest test = dice::TestFairness(sides, tally);
        parts.append(u'd' + QString::number(sides) + QStringLiteral(": ") + QString::number(test.Dice)
            + (test.Dice == 1 ? QStringLiteral(" die") : QStringLiteral(" dice")) + QStringLiteral(", mean ")
            + QString::number(test.Mean, 'f', 2) + QStringLiteral(" (fair ")
            + QString::number(test.ExpectedMean, 'f', 2) + QStringLiteral("), ") + Verdict(test));
    }
    return parts.join(QStringLiteral("; "));
}

// One's own luck counts every roll one made; someone else's only his public rolls, and so does the line
// for all dice.
void LuckCommand(const CommandCall& call, Services& services)
{
    const QString named = call.Parameter.trimmed();
    const QString nick = named.isEmpty() ? call.Nick : named;
    const bool own = irc::SameName(nick, call.Nick);
    const QString counted = LuckSummary(services.Rolls.Counts(RollerOf(services.Roster, nick),
        own ? RollHistory::CountScope::Own : RollHistory::CountScope::Public));
    services.Out.Say(call.Nick,
        counted.isEmpty()
            ? call.Nick + QStringLiteral(", ") + nick + QStringLiteral(" has rolled no dice yet.")
            : nick + QStringLiteral("'s dice: ") + counted + u'.');
    const QString all = LuckSummary(services.Rolls.Counts({}, RollHistory::CountScope::Public));
    if (!all.isEmpty())
        services.Out.Say(call.Nick, QStringLiteral("All dice: ") + all + u'.');
}

} // namespace commands
