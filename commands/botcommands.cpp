#include "commands/botcommands.h"

#include "commands/commandline.h"
#include "commands/privilegegate.h"
#include "common/asciicase.h"
#include "common/version.h"
#include "core/identity.h"

namespace commands {

void WhoCommand(const CommandCall& call, Services& services)
{
    services.Out.Say(call.Target,
        QStringLiteral("I am a mere DH IRC bot. My version is ") + common::VersionText
            + QStringLiteral(". My owner is ") + services.State.OwnerNick + u'.');
}

void HelloCommand(const CommandCall& call, Services& services)
{
    const core::BotState& state = services.State;
    if (!core::SameUser(services.Seen, call.Nick, state.OwnerNick) && call.Nick != core::CreatorName)
        services.Out.Say(call.Target, QStringLiteral("Hello, ") + call.Nick + u'!');
    else if (call.Nick != state.OwnerNick)
        services.Out.Say(call.Target, QStringLiteral("Hello, Vaddox, good job creating me!"));
    else
        services.Out.Say(call.Target, state.Phrase(core::HelloOwnerReply));
}

void BeCommand(const CommandCall& call, Services& services)
{
    core::BotState& state = services.State;
    irc::Sender& out = services.Out;
    const QString keyword = common::AsciiLower(call.Parameter);
    // Each keyword is tested on its own, so the answers follow the order of this list.
    if (keyword == QLatin1String("silent")) {
        state.Silent = true;
        out.Say(
            call.Nick, QStringLiteral("Yes, chief, I'll be quit, and will only answer on commands in PMs."));
    }
    if (keyword == QLatin1String("talkative")) {
        state.Silent = false;
        out.Say(call.Target, QStringLiteral("Yes, chief, I'll reply to the commands right in the channels."));
    }
    if (keyword == QLatin1String("teamrocketing")) {
        state.Teamrocketing = true;
        out.Say(call.Target, QStringLiteral("Ok, I'll be Meowth, then."));
    }
    if (keyword == QLatin1String("not teamrocketing")) {
        state.Teamrocketing = false;
        out.Say(call.Target, QStringLiteral("Ok, I won't mess with elder bots any more, then."));
    }
    if (keyword == QLatin1String("dicerollan")) {
        state.Dicerollan = true;
        out.Say(call.Target, QStringLiteral("Yes, chief, I'll be your dicebot."));
    }
    if (keyword == QLatin1String("not dicerollan")) {
        state.Dicerollan = false;
        out.Say(call.Target, QStringLiteral("Yes, chief, I won't be your dicebot any more."));
    }
    static const QString commandedOn = QStringLiteral("commanded on ");
    if (call.Parameter.startsWith(commandedOn)) {
        // Nothing after the words leaves the command character as it is.
        const QString rest = call.Parameter.mid(commandedOn.size());
        if (rest.isEmpty())
            return;
        const QString character = rest.left(rest.size() - WithoutFirstChar(rest).size());
        if (!core::CanBeCommandChar(character)) {
            out.Say(call.Target,
                QStringLiteral("No, chief, the command character must be a visible character, not a blank or "
                               "a control character."));
            return;
        }
        out.Say(call.Target,
            QStringLiteral(
                "Yes, chief, I will only get commands if the first character of the command line is \"")
                + character + QStringLiteral("\"."));
        state.CommandChar = character;
    }
}

QString DescribeSettings(const core::BotState& state)
{
    QString text = QStringLiteral("I'm generally OK. ");
    const std::pair<bool, const char*> gated[] = {
        { state.PrivilegedJoin, "join" },
        { state.PrivilegedPart, "part" },
        { state.PrivilegedBe, "be" },
        { state.PrivilegedQuit, "quit" },
        { state.PrivilegedSay, "say" },
        { state.PrivilegedHow, "how" },
    };
    QStringList owned;
    for (const auto& [gatedOn, word] : gated) {
        if (gatedOn)
            owned.append(QString::fromLatin1(word));
    }
    if (!owned.isEmpty())
        text += QStringLiteral("Only my owner can execute some of the commands: ")
            + owned.join(QStringLiteral(", ")) + u'.';
    if (state.Dicerollan)
        text += QStringLiteral(" I am currently employed as a dicebot.");
    if (state.Silent)
        text += QStringLiteral(" I am set to work in silent mode.");
    if (state.Teamrocketing)
        text += QStringLiteral(" I will take part in some of the dialogs other bots are set to perform.");
    return text;
}

void HowCommand(const CommandCall& call, Services& services)
{
    services.Out.Say(call.Target, DescribeSettings(services.State));
}

void ListCommand(const CommandCall& call, Services& services)
{
    const QStringList& names = services.Custom.Names();
    if (names.isEmpty())
        services.Out.Say(call.Target, QStringLiteral("I currently have no added custom text files."));
    else
        services.Out.Say(call.Target,
            QStringLiteral("I have a couple of them custom text files added: ")
                + names.join(QStringLiteral(", ")) + u'.');
}

void AliasesCommand(const CommandCall& call, Services& services)
{
    const AliasTable& aliases = services.Aliases;
    if (aliases.IsEmpty()) {
        services.Out.Say(call.Target, QStringLiteral("I currently have no command aliases."));
        return;
    }
    if (!call.Parameter.isEmpty()) {
        const QList<AliasRow>& rows = aliases.Rows();
        for (qsizetype i = rows.size() - 1; i >= 0; --i) {
            if (rows[i].Name == call.Parameter) {
                services.Out.Say(call.Target,
                    QStringLiteral("Alias \"") + rows[i].Name + QStringLiteral("\" is actually \"")
                        + rows[i].Expansion + QStringLiteral("\" command."));
                return;
            }
        }
    }
    QStringList names;
    for (const AliasRow& row : aliases.Rows())
        names.append(row.Name);
    services.Out.Say(call.Target,
        QStringLiteral("I have some command aliases, here they are: ") + names.join(QStringLiteral(", "))
            + u'.');
}

} // namespace commands
