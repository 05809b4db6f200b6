#include "core/lockouts.h"

namespace core {

Lockouts::Lockouts(BotState& state, QObject* parent)
    : QObject(parent)
    , m_state(state)
{
    for (QTimer* timer : { &Timer1, &SayTimer, &LastTimer })
        timer->setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] { m_state.HelpLocked = false; });
    connect(&SayTimer, &QTimer::timeout, this, [this] { m_state.SayLocked = false; });
    connect(&LastTimer, &QTimer::timeout, this, [this] { m_state.LastLocked = false; });
    ApplyIntervals();
}

void Lockouts::ApplyIntervals()
{
    Timer1.setInterval(m_state.HelpTimeout);
    SayTimer.setInterval(m_state.SayTimeout);
    LastTimer.setInterval(m_state.LastTimeout);
}

void Lockouts::StartHelp()
{
    m_state.HelpLocked = true;
    if (!Timer1.isActive())
        Timer1.start();
}

void Lockouts::StartSay()
{
    m_state.SayLocked = true;
    // A relay while the lock-out runs does not lengthen it.
    if (!SayTimer.isActive())
        SayTimer.start();
}

void Lockouts::StartLast()
{
    m_state.LastLocked = true;
    if (!LastTimer.isActive())
        LastTimer.start();
}

} // namespace core
