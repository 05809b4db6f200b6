#pragma once

// A wait that ends only when the test says so, and remembers how long each wait it was given was to last.

#include "core/waittimer.h"

#include <QList>

namespace testing_support {

class ManualTimer final : public core::WaitTimer {
public:
    void Start(int ms) override
    {
        Active = true;
        Waits.append(ms);
    }
    void Stop() override { Active = false; }
    bool IsActive() const override { return Active; }

    // Ends the running wait as its time would.
    void End()
    {
        Active = false;
        Elapsed();
    }

    bool Active = false;
    QList<int> Waits;
};

} // namespace testing_support
