#include "commands/bot.h"

#include "core/settingsfiles.h"

namespace commands {

Bot::Bot(const QString& filesDir, irc::Sender& out, const core::Clock& clock, QObject* parent)
    : QObject(parent)
    , m_filesDir(filesDir)
    , m_out(out)
    , m_locks(m_state)
    , m_countdown(m_state, out)
    , m_dispatcher({ m_state, out, m_log, clock, m_locks, m_custom, m_aliases, m_countdown, filesDir })
    , m_pipeline({ m_state, out, m_log, clock, m_locks, m_dispatcher })
{
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

QString Bot::Close()
{
    m_out.Disconnect();
    return core::SaveAtClose(m_state, m_filesDir);
}

} // namespace commands
