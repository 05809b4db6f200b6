#include "commands/rollcommand.h"

#include "dice/rollerror.h"
#include "dice/rolltext.h"

namespace commands {

void ReplyToRoll(irc::Sender& out, const QString& nick, const QString& target, const dice::RollResult& roll)
{
    if (roll.Error != dice::NoError) {
        const QString message = dice::RollErrorMessage(roll.Error);
        if (!message.isEmpty())
            out.Say(nick, nick + QStringLiteral(", ") + message);
        return;
    }
    const QString result = dice::StripSpaces(roll.Text);
    if (roll.Comment.isEmpty())
        out.Say(target, nick + QStringLiteral(": ") + result);
    else
        out.Say(target, nick + QStringLiteral(", ") + roll.Comment + QStringLiteral(": ") + result);
}

void RollCommand(const CommandCall& call, Services& services)
{
    ReplyToRoll(services.Out, call.Nick, call.Target, dice::EvaluateRoll(call.Parameter));
}

} // namespace commands
