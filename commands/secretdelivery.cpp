#include "commands/secretdelivery.h"

#include "core/identity.h"

namespace commands {

namespace {

bool InPublic(const CommandCall& call)
{
    return call.Target != call.Nick;
}

} // namespace

QStringList GameMastersPresent(const Services& services, const CommandCall& call)
{
    QStringList masters;
    for (const QString& channel : services.State.CurrentChannels) {
        for (const QString& nick : services.Roster.NicksOn(channel)) {
            if (masters.size() == MaxGameMasterCopies)
                return masters;
            const auto same = [&nick](const QString& other) { return irc::SameName(nick, other); };
            if (!same(call.Nick) && std::none_of(masters.cbegin(), masters.cend(), same)
                && core::IsGameMaster(services.State, services.Roster, call.Place, nick))
                masters.append(nick);
        }
    }
    return masters;
}

QString SecretRollerName(const CommandCall& call)
{
    return InPublic(call) ? call.Nick + QStringLiteral(" in ") + call.Target : call.Nick;
}

void DeliverSecretly(Services& services, const CommandCall& call, const QStringList& masters,
    const QStringList& rollerLines, const QStringList& masterLines)
{
    for (const QString& line : rollerLines)
        services.Out.Say(call.Nick, line);
    for (const QString& master : masters) {
        for (const QString& line : masterLines)
            services.Out.Say(master, line);
    }
    if (masters.isEmpty() && !core::IsGameMaster(services.State, services.Roster, call.Place, call.Nick))
        TellPrivately(
            services, call.Nick, QStringLiteral("no game master is here to see that roll; only you saw it."));
    if (InPublic(call))
        services.Out.Say(call.Target, call.Nick + QStringLiteral(" rolled in secret."));
}

} // namespace commands
