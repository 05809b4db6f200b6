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
    , m_seen(clock)
    , m_channelSettingsStore(m_state)
    , m_rolls(m_store, clock)
    , m_countdown(m_state, out)
    , m_replay(m_state, m_logs, roster, out, m_locks)
    , m_drawer(m_state, out)
    , m_dispatcher({ m_state, out, m_log, clock, m_locks, m_custom, m_aliases, m_countdown, m_replay,
          m_drawer, roster, filesDir, m_rolls, m_deck, m_seen, m_secretChannels })
    , m_pipeline({ m_state, out, m_log, clock, m_locks, m_dispatcher, roster, m_logs, m_seen })
{
    const auto announceIfDone = [this] {
        if (!OutputUnderWay())
            Q_EMIT OutputFinished();
    };
    connect(&m_countdown.CountTimer, &QTimer::timeout, this, announceIfDone);
    connect(&m_replay, &LogReplay::Finished, this, announceIfDone);
    connect(&m_drawer, &DrawerFetch::Finished, this, announceIfDone);
    connect(&m_store, &core::Store::Failed, this, [this](const QString& why) {
        m_seen.StopKeeping();
        m_logs.SetKept(false);
        m_secretChannels.SetKept(false);
        m_log.Append(QStringLiteral("Could not write ") + core::StoreFile + QStringLiteral(" (") + why
                + QStringLiteral("); from now on the bot keeps everything in memory only."),
            core::LogLevel::Warning);
    });
    connect(&m_store, &core::Store::SetAside, this, [this](const QString& damagedName, const QString& why) {
        m_log.Append(core::StoreFile + QStringLiteral(" could not be used (") + why
                + QStringLiteral("): it is kept as it was under the name ") + damagedName
                + QStringLiteral(", and the bot starts a new one in its place."),
            core::LogLevel::Warning);
    });
    connect(&m_store, &core::Store::WriteWaiting, this, [this](const QString& why) {
        m_log.Append(QStringLiteral("Could not write ") + core::StoreFile + QStringLiteral(" (") + why
                + QStringLiteral("); the bot keeps the changes in memory and tries again each minute."),
            core::LogLevel::Warning);
    });
    connect(&m_store, &core::Store::WriteResumed, this, [this] {
        m_log.Append(
            core::StoreFile + QStringLiteral(" could be written again, with the changes kept meanwhile."));
    });
    connect(&m_store, &core::Store::Opened, this, [this] {
        // What the bot gathered in memory until now gives way to what the file keeps (see Store::OpenFile).
        const irc::CaseMapping current = irc::CurrentCaseMapping();
        const QString problem = TakeKeptData();
        irc::SetCurrentCaseMapping(current);
        if (problem.isEmpty()) {
            m_log.Append(core::StoreFile
                + QStringLiteral(" could be opened: the bot keeps its data there from now on."));
            FollowCaseMapping(current);
        } else {
            m_log.Append(QStringLiteral("Could not read ") + core::StoreFile + QStringLiteral(" (") + problem
                    + QStringLiteral("); the bot keeps everything in memory only."),
                core::LogLevel::Warning);
        }
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

void Bot::Start(const std::function<void(core::BotState&)>& adjust)
{
    core::LoadAtStart(m_state, m_filesDir);
    m_state.Extra = core::LoadExtraSettings(m_filesDir);
    if (adjust)
        adjust(m_state);
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
    // Messages bring most changes (rolls, log lines, sightings): written as they come, a busy second's
    // changes never wait for the commit all at once.
    m_store.WriteSoon();
}

void Bot::OnChannelUpdate(const QString& channel, core::ChannelEvent event, const QString& nick)
{
    m_seen.OnChannelUpdate(channel, m_roster.NicksOn(channel), event, nick, m_clock.StampNow());
    m_secretChannels.Note(channel, m_roster.MayBeSecret(channel));
}

void Bot::OnNickChange(const QString& oldNick, const QString& newNick)
{
    m_seen.OnNickChange(oldNick, newNick);
}

void Bot::OnKickedOut(const QString& channel, const QStringList& nicks)
{
    m_seen.OnBotKickedOut(channel, nicks, m_clock.StampNow());
}

// Every key in memory was made under the mapping of the store's keys: set at start, and followed at every
// change since.
void Bot::FollowCaseMapping(irc::CaseMapping mapping)
{
    const irc::CaseMapping before = m_store.KeyMapping();
    if (before == mapping)
        return;
    m_seen.RebuildIndexes();
    m_logs.Refold(before, mapping);
    m_state.PerChannel.Refold(before, mapping);
    // Writes the logs and settings above with their new keys, then keys the rolls again.
    m_store.RekeyNames(mapping);
}

// With the store off or unusable, the kept data start empty as they always did, and only the roll history
// lives on, in memory.
void Bot::OpenStore()
{
    const core::StoreSettings& settings = m_state.Extra.Store;
    const QString path = settings.Keep ? QDir(m_filesDir).filePath(core::StoreFile) : QString();
    const QString problem = m_store.Open(path);
    m_rolls.SetKeepDays(settings.RollDays);
    const QString loadProblem = TakeKeptData();
    if (!problem.isEmpty() || !loadProblem.isEmpty())
        m_log.Append(QStringLiteral("Could not use ") + path + QStringLiteral(" (")
                + (problem.isEmpty() ? loadProblem : problem)
                + (m_store.WaitingToOpen()
                        ? QStringLiteral("); the bot keeps everything in memory until it can, trying again "
                                         "each minute.")
                        : QStringLiteral("); the bot keeps everything in memory only.")),
            core::LogLevel::Warning);
}

// Reads back what the store keeps, once its file is open (at start, or once another program let it go).
// Returns why that failed, or an empty text.
QString Bot::TakeKeptData()
{
    // Names compare as the kept keys were made until a server says otherwise.
    irc::SetCurrentCaseMapping(m_store.KeyMapping());
    if (m_store.OnDisk()) {
        m_seen.Keep(m_state.Extra.Store.SeenDays);
        for (core::StorePart* part : std::initializer_list<core::StorePart*> {
                 &m_seen, &m_logs, &m_secretChannels, &m_deck, &m_channelSettingsStore })
            m_store.AddPart(*part);
    }
    m_store.AddPart(m_rolls);
    const QString problem = m_store.LoadParts();
    if (!problem.isEmpty())
        ForgetKeptData();
    if (!m_store.OnDisk())
        m_seen.StopKeeping();
    m_logs.SetKept(m_store.OnDisk());
    m_secretChannels.SetKept(m_store.OnDisk());
    return problem;
}

void Bot::ForgetKeptData()
{
    m_seen.Clear();
    m_logs.Clear();
    m_secretChannels.Clear();
    m_deck.Clear();
    m_state.PerChannel = {};
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
    m_rolls.ReleaseReservedNumbers();
    m_store.Flush();
    return core::SaveAtClose(m_state, m_filesDir, &m_log);
}

} // namespace commands
