#pragma once

// A clock that always tells the time a test set.

#include "core/clock.h"

namespace testing_support {

class FixedClock final : public core::Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(10, 15, 2)))
        : Moment(std::move(now))
    {
    }
    QDateTime Now() const override { return Moment; }

    QDateTime Moment;
};

} // namespace testing_support
