#include "commands/help.h"

#include "commands/helptopics.h"
#include "common/asciicase.h"

namespace commands {

namespace {

// The request address and the bot's home page are the operator's to give; without them users are sent
// to the owner.
QString RequestLine(const core::BotState& state)
{
    const QString start = QStringLiteral("Everything is up to you, really, feel free to make requests ");
    if (state.Extra.RequestAddress.isEmpty())
        return start + QStringLiteral("to my owner, ") + state.OwnerNick + u'.';
    return start + QStringLiteral("at ") + state.Extra.RequestAddress + u'.';
}

QString HomePageLine(const core::BotState& state)
{
    if (state.Extra.HomePage.isEmpty())
        return QStringLiteral("You can also get your own Tessarin bot: ask my owner, ") + state.OwnerNick
            + u'.';
    return QStringLiteral("You can also get your own Tessarin bot here: ") + state.Extra.HomePage;
}

bool Matches(const HelpTopic& topic, const QString& parameter)
{
    if (!topic.IgnoreCase)
        return topic.Words.contains(parameter);
    const QString lower = common::AsciiLower(parameter);
    return topic.Words.contains(lower);
}

} // namespace

QStringList HelpLines(const QString& parameter, const core::BotState& state)
{
    for (const HelpTopic& topic : HelpTopics()) {
        if (!Matches(topic, parameter))
            continue;
        QStringList lines = topic.Lines;
        if (topic.Words.contains(QLatin1String("dnd")))
            lines.append(RequestLine(state));
        return lines;
    }
    return GeneralHelp() + QStringList { HomePageLine(state) };
}

void HelpCommand(const CommandCall& call, Services& services)
{
    if (services.State.HelpLocked) {
        services.Out.Say(call.Target, services.State.Phrase(core::HelpTimeoutReply));
        return;
    }
    for (const QString& line : HelpLines(call.Parameter, services.State))
        services.Out.Say(call.Nick, line);
    services.Locks.StartHelp();
}

} // namespace commands
