#include "irc/sendqueue.h"

#include "irc/casemapping.h"

#include <algorithm>

namespace irc {

void SendQueue::PushUrgent(const QByteArray& line)
{
    m_urgent.push_back(line);
}

void SendQueue::PushProtocol(const QByteArray& line)
{
    m_protocol.push_back(line);
}

QStringList SendQueue::Push(const QString& owner, const QByteArray& line, const QString& target)
{
    const QString key = FoldName(owner);
    auto found = m_owners.find(key);
    if (found == m_owners.end()) {
        found = m_owners.insert(key, Owner { owner, {} });
        m_turns.push_back(key);
    }
    found->Lines.push_back({ line, target });
    ++m_total;

    QStringList dropped;
    const qsizetype ownerLimit = std::max(1, m_pace.OwnerLimit);
    while (static_cast<qsizetype>(m_owners.value(key).Lines.size()) > ownerLimit)
        dropped.append(DropOldest(key));
    const qsizetype totalLimit = std::max(1, m_pace.TotalLimit);
    while (m_total > totalLimit) {
        // The owner with the most lines waiting gives one up; ties go to the one whose turn is furthest.
        QString longest;
        std::size_t most = 0;
        for (const QString& turn : m_turns) {
            const std::size_t size = m_owners.value(turn).Lines.size();
            if (size >= most) {
                most = size;
                longest = turn;
            }
        }
        dropped.append(DropOldest(longest));
    }
    return dropped;
}

QString SendQueue::DropOldest(const QString& key)
{
    const auto found = m_owners.find(key);
    const QString name = found->Name;
    found->Lines.pop_front();
    --m_total;
    if (found->Lines.empty()) {
        m_owners.erase(found);
        m_turns.erase(std::find(m_turns.begin(), m_turns.end(), key));
    }
    return name;
}

void SendQueue::Hold(const QString& target)
{
    if (!IsHeld(target))
        m_heldTargets.append(target);
}

bool SendQueue::IsHeld(const QString& target) const
{
    return std::any_of(m_heldTargets.cbegin(), m_heldTargets.cend(),
        [&target](const QString& held) { return SameName(held, target); });
}

void SendQueue::Release(const QString& target)
{
    m_heldTargets.removeIf([&target](const QString& held) { return SameName(held, target); });
}

qsizetype SendQueue::DropHeld(const QString& target)
{
    Release(target);
    qsizetype dropped = 0;
    for (auto it = m_owners.begin(); it != m_owners.end();) {
        const auto removed
            = std::remove_if(it->Lines.begin(), it->Lines.end(), [&target](const Entry& entry) {
                  return !entry.Target.isEmpty() && SameName(entry.Target, target);
              });
        dropped += std::distance(removed, it->Lines.end());
        it->Lines.erase(removed, it->Lines.end());
        if (!it->Lines.empty()) {
            ++it;
            continue;
        }
        m_turns.erase(std::find(m_turns.begin(), m_turns.end(), it.key()));
        it = m_owners.erase(it);
    }
    m_total -= dropped;
    return dropped;
}

std::deque<SendQueue::Entry>::iterator SendQueue::NextFree(Owner& owner)
{
    if (m_heldTargets.isEmpty())
        return owner.Lines.begin();
    return std::find_if(owner.Lines.begin(), owner.Lines.end(),
        [this](const Entry& entry) { return entry.Target.isEmpty() || !IsHeld(entry.Target); });
}

const QByteArray* SendQueue::NextLine()
{
    if (!m_protocol.empty())
        return &m_protocol.front();
    for (const QString& key : m_turns) {
        Owner& owner = m_owners[key];
        const auto next = NextFree(owner);
        if (next != owner.Lines.end())
            return &next->Line;
    }
    return nullptr;
}

void SendQueue::Drain(qint64 nowMs)
{
    if (m_pace.IntervalMs <= 0) {
        m_held.clear();
        m_heldBytes = 0;
        return;
    }
    while (!m_held.empty() && nowMs - m_lastHandled >= m_pace.IntervalMs) {
        m_heldBytes -= m_held.front();
        m_held.pop_front();
        m_lastHandled += m_pace.IntervalMs;
    }
}

bool SendQueue::Fits(qsizetype bytes) const
{
    if (m_pace.IntervalMs <= 0 || m_held.empty())
        return true;
    return static_cast<qsizetype>(m_held.size()) < m_pace.BurstLines
        && m_heldBytes + bytes <= m_pace.BurstBytes;
}

void SendQueue::Sent(const QByteArray& line, qint64 nowMs)
{
    if (m_pace.IntervalMs <= 0)
        return;
    // The server starts on a line as soon as it has nothing else to handle.
    if (m_held.empty())
        m_lastHandled = nowMs;
    m_held.push_back(line.size());
    m_heldBytes += line.size();
}

QList<QByteArray> SendQueue::Take(qint64 nowMs)
{
    Drain(nowMs);
    QList<QByteArray> lines;
    for (const QByteArray& line : m_urgent) {
        // An urgent line takes room left in the burst while no other line waits for it: however many of
        // them come (a server that pings every second), the other lines keep their pace.
        if (m_total == 0 && Fits(line.size()))
            Sent(line, nowMs);
        lines.append(line);
    }
    m_urgent.clear();
    while (!m_protocol.empty() && Fits(m_protocol.front().size())) {
        Sent(m_protocol.front(), nowMs);
        lines.append(m_protocol.front());
        m_protocol.pop_front();
    }
    if (!m_protocol.empty())
        return lines;
    // An owner whose lines are all held passes its turn on; a round of such owners ends the taking.
    std::size_t passed = 0;
    while (!m_turns.empty() && passed < m_turns.size()) {
        const QString key = m_turns.front();
        const auto owner = m_owners.find(key);
        const auto next = NextFree(*owner);
        if (next == owner->Lines.end()) {
            m_turns.pop_front();
            m_turns.push_back(key);
            ++passed;
            continue;
        }
        if (!Fits(next->Line.size()))
            break;
        passed = 0;
        const QByteArray line = next->Line;
        owner->Lines.erase(next);
        --m_total;
        Sent(line, nowMs);
        lines.append(line);
        m_turns.pop_front();
        if (owner->Lines.empty())
            m_owners.erase(owner);
        else
            m_turns.push_back(key);
    }
    return lines;
}

qint64 SendQueue::Wait(qint64 nowMs)
{
    Drain(nowMs);
    if (!m_urgent.empty())
        return 0;
    const QByteArray* next = NextLine();
    if (!next)
        return -1;
    if (Fits(next->size()))
        return 0;
    return std::max<qint64>(1, m_lastHandled + m_pace.IntervalMs - nowMs);
}

void SendQueue::Clear()
{
    m_urgent.clear();
    m_protocol.clear();
    m_heldTargets.clear();
    m_owners.clear();
    m_turns.clear();
    m_total = 0;
    m_held.clear();
    m_heldBytes = 0;
    m_lastHandled = 0;
}

void SendQueue::Refold()
{
    QHash<QString, Owner> owners;
    std::deque<QString> turns;
    for (const QString& key : m_turns) {
        Owner& owner = m_owners[key];
        const QString folded = FoldName(owner.Name);
        const auto found = owners.find(folded);
        if (found == owners.end()) {
            owners.insert(folded, std::move(owner));
            turns.push_back(folded);
        } else {
            std::move(owner.Lines.begin(), owner.Lines.end(), std::back_inserter(found->Lines));
        }
    }
    m_owners = std::move(owners);
    m_turns = std::move(turns);
}

} // namespace irc
