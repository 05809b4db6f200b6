#include "app/signalpipe.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

int s_pipe[2] = { -1, -1 };

void WriteSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
}

} // namespace

SignalPipe::SignalPipe(QObject* parent)
    : QObject(parent)
{
}

SignalPipe::~SignalPipe()
{
    for (const int signal : std::as_const(m_caught))
        ::signal(signal, SIG_DFL);
}

bool SignalPipe::Catch(std::initializer_list<int> numbers)
{
    if (s_pipe[0] < 0 && ::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    if (!m_notifier) {
        m_notifier.emplace(s_pipe[0], QSocketNotifier::Read);
        connect(&*m_notifier, &QSocketNotifier::activated, this, [this] {
            char byte;
            while (::read(s_pipe[0], &byte, 1) > 0)
                Q_EMIT Received(static_cast<unsigned char>(byte));
        });
    }
    struct sigaction action = {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : numbers) {
        if (::sigaction(signal, &action, nullptr) != 0)
            return false;
        m_caught.append(signal);
    }
    return true;
}

} // namespace app
