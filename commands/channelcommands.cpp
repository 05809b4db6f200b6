#include "commands/channelcommands.h"

#include "core/identity.h"
#include "core/placesettings.h"
#include "core/seentracker.h"
#include "core/textcap.h"

namespace commands {

bool IsChannelName(const QString& name)
{
    static const QString prefixes = QStringLiteral("#&+!");
    if (name.size() < 2 || !prefixes.contains(name.front()))
        return false;
    for (const QChar c : name) {
        if (c == u' ' || c == u',' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

void JoinCommand(const CommandCall& call, Services& services)
{
    core::BotState& state = services.State;
    if (!IsChannelName(call.Parameter) || !services.Out.Join(call.Parameter)) {
        const QString tail = state.PrivilegedJoin
            ? QStringLiteral(". Make sure you specified the name correctly.")
            : QStringLiteral(", chief. Make sure you specified the name correctly.");
        services.Out.Say(call.Target, QStringLiteral("Can't join channel ") + call.Parameter + tail);
        return;
    }
    state.JoinRequester = call.Target;
    services.Out.Say(
        call.Target, QStringLiteral("Joining channel ") + call.Parameter + QStringLiteral(", chief."));
}

void PartCommand(const CommandCall& call, Services& services)
{
    services.Out.Say(call.Target, QStringLiteral("Leaving this channel, chief."));
    // Only a part request that went out for a channel takes the bot away from its users; one for a nick
    // (a private or silent request) is refused by the server. The seen records note the leave for the
    // bare command line only.
    if (!services.Out.Part(call.Target) || !IsChannelName(call.Target)
        || call.Line != core::CommandPrefixAt(services.State, call.Place) + QStringLiteral("part"))
        return;
    services.Seen.OnBotLeftChannel(
        call.Target, services.Roster.NicksOn(call.Target), services.Time.StampNow());
}

void QuitCommand(const CommandCall& call, Services& services)
{
    const core::BotState& state = services.State;
    if (state.PrivilegedQuit)
        services.Out.Say(call.Target, state.Phrase(core::QuitByOwnerReply));
    else
        services.Out.Say(
            call.Target, call.Nick + QStringLiteral(", ") + state.Phrase(core::QuitByAnyoneReply));
    services.Out.Disconnect();
}

void DoCommand(const CommandCall& call, Services& services)
{
    services.Out.Action(call.Target, call.Parameter);
}

namespace {

void Relay(const CommandCall& call, Services& services, const QString& channel, const QString& message)
{
    services.Out.Say(channel, call.Nick + QStringLiteral(" says: ") + message);
    services.State.SayRequester = call.Target;
    services.Locks.StartSay();
}

const QString AskForChannel
    = QStringLiteral("Where should I say that? Name the channel. Channel names start with \"#\".");
// The same whether the bot is on the channel or not: a secret channel's presence stays hidden.
const QString NotWhereYouAre = QStringLiteral("I only relay to a channel where I can see you too.");

// Why a relay may not go to channel, or nothing when it may. The bot speaks to one place at a time, and
// for a sender who passes only because "say" is open to all, only into a channel where it sees him too:
// nobody may make it message a private user or a list of targets, nor speak where he could not himself.
std::optional<QString> RelayRefusal(const CommandCall& call, Services& services, const QString& channel)
{
    const core::BotState& state = services.State;
    if (channel.contains(u','))
        return AskForChannel;
    if (state.PrivilegedSay)
        return std::nullopt;
    if (!call.Parameter.startsWith(u'#'))
        return AskForChannel;
    if (core::IsPrivileged(state, services.Roster, call.Nick))
        return std::nullopt;
    if (!IsChannelName(channel))
        return AskForChannel;
    if (!services.Roster.Sees(channel, call.Nick))
        return NotWhereYouAre;
    return std::nullopt;
}

} // namespace

void SayCommand(const CommandCall& call, Services& services)
{
    const core::BotState& state = services.State;
    const qsizetype space = call.Parameter.indexOf(u' ');
    const QString channel = space < 0 ? call.Parameter : call.Parameter.left(space);
    const QString message
        = space < 0 ? QString() : core::CapChars(call.Parameter.mid(space + 1), MaxRelayChars);

    if (const std::optional<QString> refusal = RelayRefusal(call, services, channel)) {
        services.Out.Say(call.Target, *refusal);
        return;
    }
    // A relay with nobody to receive it, or nothing to say, would only be refused by the server.
    if (channel.isEmpty() || message.isEmpty()) {
        services.Out.Say(
            call.Target, QStringLiteral("What should I say there? Put the message after the name."));
        return;
    }
    if (!state.PrivilegedSay && state.SayLocked) {
        services.Out.Say(call.Target, state.Phrase(core::SayTimeoutReply));
        return;
    }
    Relay(call, services, channel, message);
}

} // namespace commands
