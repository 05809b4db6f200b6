#pragma once

// A bare IRC user for the load and flood tests: a TestIrcClient whose every line received or sent is kept
// with the time it happened on a clock shared by all the test's users, so that the order and delay of the
// bot's replies can be measured.

#include "support/testircclient.h"

#include <QElapsedTimer>

namespace testing_support {

class TimedIrcClient {
public:
    struct Line {
        qint64 Time;
        QByteArray Text;
    };

    explicit TimedIrcClient(const QElapsedTimer& clock)
        : m_clock(clock)
    {
        m_client.OnLine = [this](const QByteArray& line) { Received.append({ m_clock.elapsed(), line }); };
    }

    // Connects, registers and joins channel (when given); true once the server has listed its names.
    bool Register(quint16 port, const QByteArray& nick, const QByteArray& channel = {})
    {
        m_nick = nick;
        if (!m_client.Register(port, nick))
            return false;
        if (channel.isEmpty())
            return true;
        Send("JOIN " + channel);
        return WaitForLine(" 366 " + nick + " " + channel + " ");
    }

    void Send(const QByteArray& line)
    {
        Sent.append({ m_clock.elapsed(), line });
        m_client.Send(line);
    }

    // Whether a line containing text has come (among all lines, not only new ones), waiting for it.
    bool WaitForLine(const QByteArray& text, int timeoutMs = 10000)
    {
        return WaitFor([&] { return Count(text) > 0; }, timeoutMs);
    }

    qsizetype Count(const QByteArray& text) const
    {
        return std::count_if(
            Received.cbegin(), Received.cend(), [&](const Line& line) { return line.Text.contains(text); });
    }

    const QByteArray& Nick() const { return m_nick; }
    bool Closed() const { return m_client.Closed; }

    QList<Line> Received;
    QList<Line> Sent;

private:
    const QElapsedTimer& m_clock;
    TestIrcClient m_client;
    QByteArray m_nick;
};

} // namespace testing_support
