#include "commands/luckcommand.h"

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

void LuckCommand(const CommandCall& call, Services& services)
{
    const QString nick = call.Parameter.trimmed().isEmpty() ? call.Nick : call.Parameter.trimmed();
    const QString own = LuckSummary(services.Rolls.Counts(nick));
    services.Out.Say(call.Nick,
        own.isEmpty() ? call.Nick + QStringLiteral(", ") + nick + QStringLiteral(" has rolled no dice yet.")
                      : nick + QStringLiteral("'s dice: ") + own + u'.');
    const QString all = LuckSummary(services.Rolls.Counts(QString()));
    if (!all.isEmpty())
        services.Out.Say(call.Nick, QStringLiteral("All dice: ") + all + u'.');
}

} // namespace commands
