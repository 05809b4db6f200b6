#include "commands/rollcommand.h"

#include "commands/rollhistorycommands.h"
#include "dice/rollerror.h"
#include "dice/rolltext.h"

namespace commands {

QString ReplyToRoll(
    irc::Sender& out, const QString& nick, const QString& target, const dice::RollResult& roll)
{
    if (roll.Error != dice::NoError) {
        const QString message = dice::RollErrorMessage(roll.Error);
        if (!message.isEmpty())
            out.Say(nick, nick + QStringLiteral(", ") + message);
        return QString();
    }
    const QString result = dice::StripSpaces(roll.Text);
    const QString reply = roll.Comment.isEmpty()
        ? nick + QStringLiteral(": ") + result
        : nick + QStringLiteral(", ") + roll.Comment + QStringLiteral(": ") + result;
    out.Say(target, reply);
    return reply;
}

void RollCommand(const CommandCall& call, Services& services)
{
    RecordRoll(services, call,
        ReplyToRoll(services.Out, call.Nick, call.Target, dice::EvaluateRoll(call.Parameter)));
}

} // namespace commands
