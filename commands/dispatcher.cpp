#include "commands/dispatcher.h"

#include "commands/commandline.h"
#include "commands/commandtable.h"
#include "commands/notationcommands.h"
#include "commands/privilegegate.h"
#include "commands/quotetextfile.h"
#include "commands/rollcommand.h"
#include "commands/rollhistorycommands.h"
#include "common/asciicase.h"
#include "common/parseinteger.h"
#include "core/identity.h"
#include "core/placesettings.h"
#include "dice/randomsource.h"
#include "irc/ircchannels.h"

namespace commands {

Dispatcher::Dispatcher(Services services)
    : m_services(services)
{
}

QString Dispatcher::ResolveAlias(const QString& line)
{
    return m_services.Aliases.Resolve(line);
}

void Dispatcher::Dispatch(const QString& nick, const QString& target, const QString& line)
{
    DispatchAt(irc::IsChannelName(target) ? target : QString(), nick, target, line);
}

void Dispatcher::DispatchAt(
    const QString& channel, const QString& nick, const QString& target, const QString& line)
{
    const core::BotState& state = m_services.State;
    const CommandLine split = SplitCommandLine(line, core::CommandPrefixAt(state, channel));
    m_services.Log.Append(m_services.Time.LogStampNow() + QStringLiteral(". User ") + nick
        + QStringLiteral(" on channel ") + target + QStringLiteral(". Commandword=") + split.Word
        + QStringLiteral(". Parameter=") + split.Parameter);

    if (core::IsBanned(state, m_services.Roster, nick)) {
        m_services.Out.Say(nick, state.Phrase(core::BannedReply));
        m_services.Log.Append(nick + QStringLiteral(" is banned. Command rejected."));
        return;
    }

    const CommandCall call { nick, target, split.Parameter, line, channel };
    // A dice command keeps the faces it rolls in its roll history entry.
    const dice::FaceRecording faces;
    if (QuoteCustomFile(line, split.Word, call) || RunTableRow(line, split.Word, call))
        return;
    m_services.Out.Say(nick, state.Phrase(core::UnknownCommandReply));
}

void Dispatcher::RollDice(const QString& nick, const QString& target, const QString& line)
{
    const dice::FaceRecording faces;
    RecordRoll(m_services, { nick, target, line, line },
        ReplyToRoll(m_services.Out, nick, target, dice::EvaluateRoll(line)));
}

void Dispatcher::RollInline(const QString& nick, const QString& target, const QString& line)
{
    const dice::FaceRecording faces;
    AnswerInlineRolls(m_services, nick, target, line);
}

// Custom files come before the built-in commands, so a custom file may take a built-in command's place.
bool Dispatcher::QuoteCustomFile(const QString& line, const QString& word, const CommandCall& call)
{
    const CustomFiles& custom = m_services.Custom;
    const QString prefix = core::CommandPrefixAt(m_services.State, call.Place);
    const auto withoutPrefix
        = [&prefix](const QString& text) { return text.startsWith(prefix) ? text.mid(prefix.size()) : text; };

    // The whole line names a file: ",my table".
    if (custom.Contains(line) || custom.Contains(WithoutFirstChar(line))) {
        QuoteCustom(call, withoutPrefix(line));
        return true;
    }
    // The line names a file and ends in an entry number: ",my table 7".
    const qsizetype lastSpace = line.lastIndexOf(u' ');
    if (lastSpace >= 0) {
        const QString lastWord = line.mid(lastSpace + 1);
        const QString name = withoutPrefix(line.left(lastSpace));
        if (common::ParseInteger(lastWord) && custom.Contains(name)) {
            QuoteCustom({ call.Nick, call.Target, lastWord, call.Line, call.Place }, name);
            return true;
        }
    }
    // The command word names a file: ",table 7".
    if (custom.Contains(word)) {
        QuoteCustom(call, word);
        return true;
    }
    return false;
}

void Dispatcher::QuoteCustom(const CommandCall& call, const QString& name)
{
    QuoteTextFile(m_services, call, QStringLiteral("custom/") + m_services.Custom.FileName(name));
}

bool Dispatcher::RunTableRow(const QString& line, const QString& word, const CommandCall& call)
{
    const QString lowerWord = common::AsciiLower(word);
    for (const CommandRow& row : CommandTable()) {
        if (!row.Run)
            continue;
        if (!row.Words.contains(lowerWord) && !(row.ClaimsLine && row.ClaimsLine(line)))
            continue;
        const core::BotState& state = m_services.State;
        if (row.Gate && !PassesGate(state, m_services.Roster, state.*row.Gate, call.Nick)) {
            if (row.RefusedPrivately)
                m_services.Out.Say(call.Nick, state.Phrase(core::QuitRefusedReply));
            else
                m_services.Out.Say(call.Target, state.Phrase(core::AccessDeniedReply));
            return true;
        }
        row.Run(call, m_services);
        return true;
    }
    return false;
}

} // namespace commands
