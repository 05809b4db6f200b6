#pragma once

// Unix signals as Qt signals. The handler only writes the signal's number into a pipe; the event loop reads
// it and raises Received, where anything may be done in peace (the self-pipe pattern). One instance at a
// time; while it lives the signals given are its, and its end gives them back to their default actions.

#include <QObject>
#include <QSocketNotifier>
#include <optional>

namespace app {

class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;

    // Catches the signals from now on; false when the pipe or a handler could not be had.
    bool Catch(std::initializer_list<int> numbers);

Q_SIGNALS:
    void Received(int signal);

private:
    std::optional<QSocketNotifier> m_notifier;
    QList<int> m_caught;
};

} // namespace app
