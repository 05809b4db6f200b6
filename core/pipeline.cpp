#include "core/pipeline.h"

#include "common/asciicase.h"
#include "core/channellog.h"
#include "core/identity.h"
#include "core/placesettings.h"
#include "core/seentracker.h"
#include "core/textcap.h"

namespace core {

Pipeline::Pipeline(PipelineServices services)
    : m_services(services)
{
}

void Pipeline::OnMessage(const QString& sender, const QString& channel, const QString& line)
{
    Message message { sender, channel, line, channel.isEmpty() ? sender : channel };
    LogLine(message);
    NoteSighting(message);
    if (SilentAt(m_services.State, channel))
        message.Target = sender;
    AnswerRecognitionQuestion(message);
    RecognizeByCommandChar(message);
    RecognizeByNick(message);
    PlayOtherBotDialog(message);
    RollBareDice(message);
    RollInlineDice(message);
}

bool IsDiceExpression(const QString& line)
{
    const auto digitAt
        = [&line](qsizetype i) { return i >= 0 && i < line.size() && line[i] >= u'0' && line[i] <= u'9'; };
    const qsizetype d = line.indexOf(u'd');
    if (d < 0 || !digitAt(d + 1))
        return false;
    if (d == 0)
        return true;
    const qsizetype space = line.indexOf(u' ');
    return (space < 0 || d < space) && digitAt(d - 1);
}

void Pipeline::LogLine(const Message& message)
{
    m_services.Logs.Append(LogOwnerOf(m_services.Roster, message.Target), message.Target, message.Sender,
        message.Line, m_services.Time, m_services.State.LogLimit);
}

void Pipeline::NoteSighting(const Message& message)
{
    if (message.Channel.isEmpty())
        return;
    SeenTracker& seen = m_services.Seen;
    // Asking the roster for a channel's nicks costs more than the rest of the sighting.
    if (!seen.IsIndexed(message.Channel))
        seen.TakeInChannel(
            message.Channel, m_services.Roster.NicksOn(message.Channel), m_services.Time.StampNow(), true);
    seen.OnChannelMessage(message.Sender, message.Channel, m_services.Time.StampNow());
}

void Pipeline::AnswerRecognitionQuestion(const Message& message)
{
    // The question is asked with a comma whatever the command character is, so that a user who does not
    // know the character can still find it out.
    static const QString question = QStringLiteral(",how do you recognize commands");
    if (common::AsciiLower(message.Line) != question)
        return;
    m_services.Out.Say(message.Target,
        QStringLiteral("I recognize messages that start with a ")
            + CommandCharAt(m_services.State, message.Channel) + QStringLiteral(" as commands."));
}

void Pipeline::RecognizeByCommandChar(Message& message)
{
    const QString prefix = CommandPrefixAt(m_services.State, message.Channel);
    if (!message.Line.startsWith(prefix))
        return;
    message.Line = m_services.Commands.ResolveAlias(message.Line);
    m_services.Commands.DispatchAt(message.Channel, message.Sender, message.Target, message.Line);
    message.Handled = true;
}

void Pipeline::RecognizeByNick(Message& message)
{
    // "Tessarin, roll 2d6"; where the operator allows it also "Tessarin: roll 2d6", as clients write it
    // when they complete a nick.
    const BotState& state = m_services.State;
    const QString& nick = state.BotNick;
    const auto addressedWith = [&message, &nick](QLatin1String separator) {
        return message.Line.startsWith(nick)
            && QStringView(message.Line).mid(nick.size()).startsWith(separator);
    };
    if (!addressedWith(QLatin1String(", "))
        && !(state.Extra.AddressWithColon && addressedWith(QLatin1String(": "))))
        return;
    const qsizetype addressSize = nick.size() + 2;
    const QString command = CapChars(message.Line.mid(addressSize), MaxAddressedCommandChars);
    m_services.Log.Append(command);
    m_services.Commands.DispatchAt(message.Channel, message.Sender, message.Target, command);
    message.Handled = true;
}

void Pipeline::PlayOtherBotDialog(const Message& message)
{
    if (message.Channel.isEmpty())
        return;
    BotState& state = m_services.State;
    if (state.Teamrocketing && common::AsciiLower(message.Line).contains(QLatin1String("team rocket"))) {
        if (state.HelpLocked) {
            m_services.Out.Say(message.Channel, QStringLiteral("Noes, we've just performed for you."));
        } else {
            state.MeowthActive = true;
            m_services.Out.SetNick(QStringLiteral("Meowth"));
        }
    }
    if (state.MeowthActive && message.Line.contains(QLatin1String("Surrender now or prepare to fight!"))) {
        m_services.Out.Say(message.Channel, QStringLiteral("Meowth, that's right!"));
        m_services.Out.SetNick(state.BotNick);
        m_services.Out.Action(message.Channel, QStringLiteral("bows"));
        m_services.Locks.StartHelp();
    }
}

void Pipeline::RollBareDice(const Message& message)
{
    const BotState& state = m_services.State;
    if (!DicebotAt(state, message.Channel) || message.Handled
        || IsBanned(state, m_services.Roster, message.Sender) || !IsDiceExpression(message.Line))
        return;
    m_services.Commands.RollDice(message.Sender, message.Target, message.Line);
    m_services.Log.Append(m_services.Time.LogStampNow() + QStringLiteral(". User ") + message.Sender
        + QStringLiteral(" on channel ") + message.Target + QStringLiteral(". Commandword=") + message.Line
        + u'.');
}

void Pipeline::RollInlineDice(const Message& message)
{
    const BotState& state = m_services.State;
    if (message.Handled || message.Channel.isEmpty() || !message.Line.contains(QLatin1String("[["))
        || !InlineRollsOn(state, message.Channel) || IsBanned(state, m_services.Roster, message.Sender))
        return;
    m_services.Commands.RollInline(message.Sender, message.Target, message.Line);
    m_services.Log.Append(m_services.Time.LogStampNow() + QStringLiteral(". User ") + message.Sender
        + QStringLiteral(" on channel ") + message.Target + QStringLiteral(". Inline rolls=") + message.Line
        + u'.');
}

} // namespace core
