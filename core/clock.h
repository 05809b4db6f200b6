#pragma once

// The source of the current time for every stamp the bot writes. The bot reads the time only through a
// Clock so that tests can fix it.

#include <QDateTime>

namespace core {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const = 0;
    // Cheaper than Now() where only the passing of seconds matters.
    virtual qint64 SecondsSinceEpoch() const { return Now().toSecsSinceEpoch(); }
};

class SystemClock final : public Clock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
    qint64 SecondsSinceEpoch() const override { return QDateTime::currentSecsSinceEpoch(); }
};

} // namespace core
