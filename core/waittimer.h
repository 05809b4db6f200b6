#pragma once

// A wait that its owner starts and stops and that ends in a call back. The bot's waits are QTimers
// (QtWaitTimer); a test hands an owner waits of its own instead and ends each one when it chooses, so what
// the owner schedules can be checked without depending on the machine's clock or speed.

#include <QTimer>
#include <functional>

namespace core {

class WaitTimer {
public:
    virtual ~WaitTimer() = default;
    // Starts a wait of ms milliseconds, replacing one that runs; Elapsed is called when it ends.
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;

    std::function<void()> Elapsed;
};

class QtWaitTimer final : public WaitTimer {
public:
    QtWaitTimer()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (Elapsed)
                Elapsed();
        });
    }
    void Start(int ms) override { m_timer.start(ms); }
    void Stop() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace core
