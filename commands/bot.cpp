#include "commands/bot.h"

#include "commands/textfolder.h"
#include "core/settingsfiles.h"

#include <QDir>

namespace commands {

Bot::Bot(const QString& filesDir, irc::Sender& out, const irc::ChannelRoster& roster,
    const core::Clock& clock, QObject* parent)
    : QObject(parent)
    , m_filesDir(filesDir)
    , m_out(out)
    , m_roster(roster)
    , m_clock(clock)
    , m_locks(m_state)
    , m_rolls(m_store, clock)
    , m_countdown(m_state, out)
    , m_replay(m_state, m_logs, out, m_locks)
    , m_drawer(m_state, out)
    , m_dispatcher({ m_state, out, m_log, clock, m_locks, m_custom, m_aliases, m_countdown, m_replay,
          m_drawer, roster, filesDir, m_rolls, m_deck })
    , m_pipeline({ m_state, out, m_log, clock, m_locks, m_dispatcher, roster, m_logs })
{
    const auto announceIfDone = [this] {
        if (!OutputUnderWay())
            Q_EMIT OutputFinished();
    };
    connect(&m_countdown.CountTimer, &QTimer::timeout, this, announceIfDone);
    connect(&m_replay, &LogReplay::Finished, this, announceIfDone);
    connect(&m_drawer, &DrawerFetch::Finished, this, announceIfDone);
    connect(&m_store, &core::Store::Failed, this, [this](const QString& why) {
        m_state.Changes = {};
        m_logs.SetKept(false);
        m_log.Append(QStringLiteral("Could not write ") + core::StoreFile + QStringLiteral(" (") + why
            + QStringLiteral("); from now on the bot keeps everything in memory only."));
    });
}

Bot::~Bot()
{
    m_store.Flush();
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
    OpenStore();
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

// With the store off or unusable, the kept data start empty as they always did, and only the roll history
// lives on, in memory.
void Bot::OpenStore()
{
    const core::StoreSettings& settings = m_state.Extra.Store;
    const QString path = settings.Keep ? QDir(m_filesDir).filePath(core::StoreFile) : QString();
    QString problem = m_store.Open(path);
    if (m_store.OnDisk()) {
        m_seenStore.emplace(m_state, m_clock, settings.SeenDays);
        m_store.AddPart(*m_seenStore);
        m_store.AddPart(m_logs);
        m_store.AddPart(m_deck);
    }
    m_rolls.SetKeepDays(settings.RollDays);
    m_store.AddPart(m_rolls);
    if (const QString loadProblem = m_store.LoadParts(); !loadProblem.isEmpty()) {
        problem = loadProblem;
        ForgetKeptData();
    }
    m_state.Changes.Tracking = m_store.OnDisk();
    m_logs.SetKept(m_store.OnDisk());
    if (!problem.isEmpty())
        m_log.Append(QStringLiteral("Could not use ") + path + QStringLiteral(" (") + problem
            + QStringLiteral("); the bot keeps everything in memory only."));
}

void Bot::ForgetKeptData()
{
    m_state.ChatUsers.clear();
    m_state.ChatUserIndex.clear();
    m_state.ChatUserExactIndex.clear();
    m_state.IndexedChannels.clear();
    m_logs.Clear();
    m_deck.Clear();
    m_state.Changes = {};
    QSqlDatabase memory = m_store.Database();
    m_rolls.Load(memory);
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
    m_store.Flush();
    return core::SaveAtClose(m_state, m_filesDir);
}

} // namespace commands
