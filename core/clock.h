#pragma once

// The source of the current time for every stamp the bot writes. The bot reads the time only through a
// Clock so that tests can fix it.

#include <QDateTime>

namespace core {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

} // namespace core
