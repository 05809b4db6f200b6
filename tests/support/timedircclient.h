#pragma once

// A bare IRC user for the load and flood tests: like TestIrcClient, but every line it receives or sends is
// kept with the time it happened on a clock shared by all the test's users, so that the order and delay
// of the bot's replies can be measured.

#include "support/waitfor.h"

#include <QElapsedTimer>
#include <QTcpSocket>

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
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { Read(); });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] { Closed = true; });
    }

    // Connects, registers and joins channel (when given); true once the server has listed its names.
    bool Register(quint16 port, const QByteArray& nick, const QByteArray& channel = {})
    {
        m_nick = nick;
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        if (!WaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }))
            return false;
        Send("NICK " + nick);
        Send("USER " + nick + " 0 * :" + nick);
        if (!WaitForLine(" 001 " + nick + " "))
            return false;
        if (channel.isEmpty())
            return true;
        Send("JOIN " + channel);
        return WaitForLine(" 366 " + nick + " " + channel + " ");
    }

    void Send(const QByteArray& line)
    {
        Sent.append({ m_clock.elapsed(), line });
        m_socket.write(line + "\r\n");
        m_socket.flush();
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

    QList<Line> Received;
    QList<Line> Sent;
    bool Closed = false;

private:
    void Read()
    {
        m_pending += m_socket.readAll();
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (line.startsWith("PING "))
                Send("PONG " + line.mid(5));
            Received.append({ m_clock.elapsed(), line });
        }
    }

    const QElapsedTimer& m_clock;
    QTcpSocket m_socket;
    QByteArray m_pending;
    QByteArray m_nick;
};

} // namespace testing_support
