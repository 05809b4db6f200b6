#pragma once

// The one countdown of the bot: the count command starts it, and CountTimer posts the next value into the
// channel (or private conversation) that owns it until the end value is passed. The owning target may
// pause and resume it; privileged users may stop it.

#include "core/botstate.h"
#include "irc/sender.h"

#include <QObject>
#include <QTimer>

namespace commands {

struct CommandCall;
struct Services;

class Countdown : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxChannelLines = 30;
    static constexpr int MaxChannelSeconds = 600;

    Countdown(core::BotState& state, irc::Sender& out, QObject* parent = nullptr);

    void Count(const CommandCall& call, Services& services);

    // Posts the current value and steps towards the end; also run once when a countdown starts.
    void CountTick();

    bool Running() const { return CountTimer.isActive(); }

    QTimer CountTimer;

private:
    void StartRequest(const CommandCall& call, const QString& parameter, bool exempt);

    core::BotState& m_state;
    irc::Sender& m_out;
};

// The count command's row handler.
void CountCommand(const CommandCall& call, Services& services);

} // namespace commands
