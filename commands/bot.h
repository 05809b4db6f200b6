#pragma once

// The whole bot without its windows: state, command log, lock-outs, aliases, custom files, the dispatcher
// and the message pipeline, wired together. Whoever runs the bot (the console, the headless runner, the
// main window) creates one, feeds it messages and closes it.

#include "commands/aliases.h"
#include "commands/carddeck.h"
#include "commands/countdown.h"
#include "commands/customfiles.h"
#include "commands/dispatcher.h"
#include "commands/lastcommand.h"
#include "commands/rollhistory.h"
#include "commands/warecommand.h"
#include "core/botstate.h"
#include "core/channellog.h"
#include "core/channelsettingsstore.h"
#include "core/clock.h"
#include "core/commandlog.h"
#include "core/lockouts.h"
#include "core/pipeline.h"
#include "core/secretchannels.h"
#include "core/seentracker.h"
#include "core/store.h"

#include <QObject>
#include <functional>
#include <optional>

namespace commands {

class Bot : public QObject {
    Q_OBJECT
public:
    Bot(const QString& filesDir, irc::Sender& out, const irc::ChannelRoster& roster, const core::Clock& clock,
        QObject* parent = nullptr);
    ~Bot() override;

    // Reads the configuration files, lets adjust change what they said (the command line's settings),
    // then reads back what the store kept and scans the custom files and aliases.
    void Start(const std::function<void(core::BotState&)>& adjust = {});

    // One PRIVMSG; channel is empty for a private message.
    void OnMessage(const QString& sender, const QString& channel, const QString& line);

    // Somebody else joined, left, was kicked from or quit a channel the bot is on (or anything else
    // changed there); the channel's user list and whether it is secret are read from the roster.
    void OnChannelUpdate(const QString& channel, core::ChannelEvent event, const QString& nick);
    void OnNickChange(const QString& oldNick, const QString& newNick);
    void OnKickedOut(const QString& channel, const QStringList& nicks);
    // The server said how it compares names (the mapping in force is already that one): what the bot
    // keeps under keys made from names is keyed again when they were made under another.
    void FollowCaseMapping(irc::CaseMapping mapping);

    // Reads the custom-file folder again. False when the folder is there but cannot be listed; the list is
    // then empty. A missing folder is an empty list, not a failure.
    bool RescanCustomFiles();
    // Reads the alias folder again. False when the folder is there but cannot be listed (there are then no
    // aliases) or an alias file could not be read (the aliases read before it serve).
    bool ReloadAliases();

    // Disconnects, writes what the store has not yet written and the configuration files. Returns the
    // failure, or an empty text.
    QString Close();

    // Whether timed output (a countdown, a log replay, a drawer being fetched) is still going out.
    bool OutputUnderWay() const;

    core::BotState& State() { return m_state; }
    core::CommandLog& Log() { return m_log; }
    core::Lockouts& Locks() { return m_locks; }
    Countdown& Count() { return m_countdown; }
    LogReplay& Replay() { return m_replay; }
    DrawerFetch& Drawer() { return m_drawer; }
    core::Store& Kept() { return m_store; }
    RollHistory& Rolls() { return m_rolls; }
    const core::ChannelLogs& Logs() const { return m_logs; }
    const core::SeenTracker& Seen() const { return m_seen; }
    const CardDeck& Deck() const { return m_deck; }
    const CustomFiles& Custom() const { return m_custom; }
    const AliasTable& Aliases() const { return m_aliases; }
    const QString& FilesDir() const { return m_filesDir; }

Q_SIGNALS:
    // Timed output has come to an end.
    void OutputFinished();

private:
    void OpenStore();
    QString TakeKeptData();
    void ForgetKeptData();

    QString m_filesDir;
    irc::Sender& m_out;
    const irc::ChannelRoster& m_roster;
    const core::Clock& m_clock;
    core::BotState m_state;
    core::CommandLog m_log;
    core::Lockouts m_locks;
    // The store is declared before its parts so that it outlives them.
    core::Store m_store;
    core::SeenTracker m_seen;
    core::ChannelLogs m_logs;
    core::SecretChannels m_secretChannels;
    CardDeck m_deck;
    core::ChannelSettingsStore m_channelSettingsStore;
    RollHistory m_rolls;
    CustomFiles m_custom;
    AliasTable m_aliases;
    Countdown m_countdown;
    LogReplay m_replay;
    DrawerFetch m_drawer;
    Dispatcher m_dispatcher;
    core::Pipeline m_pipeline;
};

} // namespace commands
