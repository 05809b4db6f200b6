#include "commands/bot.h"

#include "commands/textfolder.h"
#include "core/settingsfiles.h"

namespace commands {

Bot::Bot(const QString& filesDir, irc::Sender& out, const irc::ChannelRoster& roster,
    const core::Clock& clock, QObject* parent)
    : QObject(parent)
    , m_filesDir(filesDir)
    , m_out(out)
    , m_roster(roster)
    , m_clock(clock)
    , m_locks(m_state)
    , m_countdown(m_state, out)
    , m_replay(m_state, out, m_locks)
    , m_drawer(m_state, out)
    , m_dispatcher({ m_state, out, m_log, clock, m_locks, m_custom, m_aliases, m_countdown, m_replay,
          m_drawer, roster, filesDir })
    , m_pipeline({ m_state, out, m_log, clock, m_locks, m_dispatcher, roster })
{
    const auto announceIfDone = [this] {
        if (!OutputUnderWay())
            Q_EMIT OutputFinished();
    };
    connect(&m_countdown.CountTimer, &QTimer::timeout, this, announceIfDone);
    connect(&m_replay, &LogReplay::Finished, this, announceIfDone);
    connect(&m_drawer, &DrawerFetch::Finished, this, announceIfDone);
}

bool Bot::OutputUnderWay() const
{
    return m_countdown.Running() || m_replay.Running() || m_drawer.Running();
}

void Bot::Start()
{
    core::LoadAtStart(m_state, m_filesDir);
    m_state.Extra = core::LoadExtraSettings(m_filesDir);
    m_locks.ApplyIntervals();
    // The log size is fixed again at every connect; until then the loaded setting holds.
    m_state.LogLimit = m_state.LogLines + 2;
    m_custom.Scan(CustomFolder(m_filesDir));
    // A broken alias file is not fatal at start: the aliases read before it serve.
    m_aliases.Load(AliasFolder(m_filesDir));
}

void Bot::OnMessage(const QString& sender, const QString& channel, const QString& line)
{
    m_pipeline.OnMessage(sender, channel, line);
}

void Bot::OnChannelUpdate(const QString& channel, core::ChannelEvent event, const QString& nick)
{
    core::OnChannelUpdate(m_state, channel, m_roster.NicksOn(channel), event, nick, m_clock.StampNow());
}

void Bot::OnNickChange(const QString& oldNick, const QString& newNick)
{
    core::OnNickChange(m_state, oldNick, newNick);
}

bool Bot::RescanCustomFiles()
{
    const QString folder = CustomFolder(m_filesDir);
    m_custom.Scan(folder);
    return FolderListable(folder);
}

bool Bot::ReloadAliases()
{
    return m_aliases.Load(AliasFolder(m_filesDir));
}

QString Bot::Close()
{
    m_out.Disconnect();
    return core::SaveAtClose(m_state, m_filesDir);
}

} // namespace commands
