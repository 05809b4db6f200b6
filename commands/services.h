#pragma once

// What a command handler is given: the call (who asked, where replies go, the parameter) and the bot's
// services. Handlers reach nothing else.

#include "commands/aliases.h"
#include "commands/carddeck.h"
#include "commands/countdown.h"
#include "commands/customfiles.h"
#include "commands/lastcommand.h"
#include "commands/rollhistory.h"
#include "commands/warecommand.h"
#include "core/botstate.h"
#include "core/clock.h"
#include "core/commandlog.h"
#include "core/lockouts.h"
#include "core/secretchannels.h"
#include "core/seentracker.h"
#include "irc/channelroster.h"
#include "irc/sender.h"

namespace commands {

inline QString CustomFolder(const QString& filesDir)
{
    return filesDir + QStringLiteral("/custom");
}

inline QString AliasFolder(const QString& filesDir)
{
    return filesDir + QStringLiteral("/aliases");
}

struct CommandCall {
    QString Nick;
    QString Target;
    QString Parameter;
    QString Line; // the whole command line, for commands that read more than their parameter
    // The channel the line was said in, also when the reply goes privately; empty for a private message.
    QString Place = QString();
    // A dice result of the call is shown to the roller and the game master only (see RecordRoll).
    bool Secret = false;
};

struct Services {
    core::BotState& State;
    irc::Sender& Out;
    core::CommandLog& Log;
    const core::Clock& Time;
    core::Lockouts& Locks;
    CustomFiles& Custom;
    AliasTable& Aliases;
    Countdown& Count;
    LogReplay& Replay;
    DrawerFetch& Drawer;
    const irc::ChannelRoster& Roster;
    QString FilesDir;
    RollHistory& Rolls;
    CardDeck& Deck;
    core::SeenTracker& Seen;
    const core::SecretChannels& SecretPlaces;
};

// The same services with another output, for a command whose answer the caller passes on itself.
inline Services WithOutput(const Services& services, irc::Sender& out)
{
    return { services.State, out, services.Log, services.Time, services.Locks, services.Custom,
        services.Aliases, services.Count, services.Replay, services.Drawer, services.Roster,
        services.FilesDir, services.Rolls, services.Deck, services.Seen, services.SecretPlaces };
}

// Says text privately to nick, addressed to him: "Kell, text".
inline void TellPrivately(Services& services, const QString& nick, const QString& text)
{
    services.Out.Say(nick, nick + QStringLiteral(", ") + text);
}

} // namespace commands
