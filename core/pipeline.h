#pragma once

// The road of every channel or private message: log it, decide where replies go, recognise commands and
// hand them on, play the other-bot dialog and roll bare and inline dice. The stages run in the order written
// in OnMessage.

#include "core/botstate.h"
#include "core/channellog.h"
#include "core/clock.h"
#include "core/commandlog.h"
#include "core/lockouts.h"
#include "core/seentracker.h"
#include "irc/channelroster.h"
#include "irc/sender.h"

namespace core {

// What the pipeline hands recognised commands to.
class CommandHandler {
public:
    virtual ~CommandHandler() = default;
    virtual QString ResolveAlias(const QString& line) = 0;
    virtual void Dispatch(const QString& nick, const QString& target, const QString& line) = 0;
    // Dispatch with the channel the line was said in (empty for a private message), which a silent
    // channel's target no longer tells. Handlers that do not ask where take the plain Dispatch.
    virtual void DispatchAt(
        const QString& channel, const QString& nick, const QString& target, const QString& line)
    {
        Q_UNUSED(channel);
        Dispatch(nick, target, line);
    }
    // Rolls a line that is a bare dice expression and answers it as the roll command does.
    virtual void RollDice(const QString& nick, const QString& target, const QString& line) = 0;
    // Rolls the "[[...]]" of an ordinary channel line. Handlers without inline rolls ignore them.
    virtual void RollInline(const QString& nick, const QString& target, const QString& line)
    {
        Q_UNUSED(nick);
        Q_UNUSED(target);
        Q_UNUSED(line);
    }
};

// Whether a line that is not a command still reads as dice: "d6 for damage", "2d6", "3d10+2 to hit". The
// first "d" must stand in the first word, followed by a digit, and be the first character or follow a
// digit.
bool IsDiceExpression(const QString& line);

struct PipelineServices {
    BotState& State;
    irc::Sender& Out;
    CommandLog& Log;
    const Clock& Time;
    Lockouts& Locks;
    CommandHandler& Commands;
    const irc::ChannelRoster& Roster;
    ChannelLogs& Logs;
    SeenTracker& Seen;
};

class Pipeline {
public:
    static constexpr qsizetype MaxAddressedCommandChars = 1000;

    explicit Pipeline(PipelineServices services);

    // One PRIVMSG: channel is empty for a private message.
    void OnMessage(const QString& sender, const QString& channel, const QString& line);

private:
    struct Message {
        QString Sender;
        QString Channel;
        QString Line;
        QString Target;
        bool Handled = false;
    };

    void LogLine(const Message& message);
    void NoteSighting(const Message& message);
    void AnswerRecognitionQuestion(const Message& message);
    void RecognizeByCommandChar(Message& message);
    void RecognizeByNick(Message& message);
    void PlayOtherBotDialog(const Message& message);
    void RollBareDice(const Message& message);
    void RollInlineDice(const Message& message);

    PipelineServices m_services;
};

} // namespace core
