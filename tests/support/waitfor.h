#pragma once

// Runs the event loop until a condition holds or a deadline passes, so that a missing event fails the
// test instead of hanging it.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace testing_support {

template <typename Condition> bool WaitFor(Condition done, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    // The ticker wakes the loop up now and then so that the deadline is seen even when nothing happens.
    QTimer ticker;
    ticker.start(10);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Lets the event loop run for a while, for checks that something does not happen.
inline void RunEventsFor(int ms)
{
    WaitFor([] { return false; }, ms);
}

} // namespace testing_support
