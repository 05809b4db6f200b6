#pragma once

// The three one-shot lock-outs that keep help, relays and log replays from running too often. Starting a
// lock-out sets its flag in the state and starts its timer unless it already runs (a running lock-out is
// never lengthened); the tick clears the flag and stops the timer.

#include "core/botstate.h"

#include <QObject>
#include <QTimer>

namespace core {

class Lockouts : public QObject {
    Q_OBJECT
public:
    explicit Lockouts(BotState& state, QObject* parent = nullptr);

    // Takes the intervals from HelpTimeout, SayTimeout and LastTimeout.
    void ApplyIntervals();

    void StartHelp();
    void StartSay();
    void StartLast();

    QTimer Timer1;
    QTimer SayTimer;
    QTimer LastTimer;

private:
    BotState& m_state;
};

} // namespace core
