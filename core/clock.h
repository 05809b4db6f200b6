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
    virtual qint64 MsSinceEpoch() const { return Now().toMSecsSinceEpoch(); }

    // The stamps of the current second (see stamps.h). Reading the local time costs more than handling a
    // whole message, so each is formatted once a second.
    QString StampNow() const;
    QString LogStampNow() const;

private:
    void Refresh() const;

    mutable qint64 m_second = -1;
    mutable QString m_stamp;
    mutable QString m_logStamp;
};

class SystemClock final : public Clock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
    qint64 SecondsSinceEpoch() const override { return QDateTime::currentSecsSinceEpoch(); }
    qint64 MsSinceEpoch() const override { return QDateTime::currentMSecsSinceEpoch(); }
};

} // namespace core
