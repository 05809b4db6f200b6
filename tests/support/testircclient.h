#pragma once

// The other person on the server in end-to-end tests: a bare IRC client that registers, sends raw lines
// and waits (with a deadline) for lines containing a text. It answers the server's PINGs by itself.

#include "support/waitfor.h"

#include <QFile>
#include <QSslKey>
#include <QSslSocket>
#include <functional>

namespace testing_support {

class TestIrcClient {
public:
    TestIrcClient()
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { Read(); });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] { Closed = true; });
    }

    // Connects and registers, with the nick as user name unless one is given (some servers take fewer
    // characters in a user name than in a nick); true once the server has welcomed the nick.
    bool Register(quint16 port, const QByteArray& nick, const QByteArray& user = {})
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        if (!WaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }))
            return false;
        return Greet(nick, user.isEmpty() ? nick : user);
    }

    // The same over TLS, presenting a client certificate; the server's own certificate is not checked.
    bool RegisterWithCertificate(
        quint16 port, const QByteArray& nick, const QString& certificatePath, const QString& keyPath)
    {
        const QList<QSslCertificate> certificates = QSslCertificate::fromPath(certificatePath);
        QFile key(keyPath);
        if (certificates.isEmpty() || !key.open(QIODevice::ReadOnly))
            return false;
        m_socket.setLocalCertificate(certificates.first());
        m_socket.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec));
        m_socket.setPeerVerifyMode(QSslSocket::VerifyNone);
        m_socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        if (!WaitFor([this] { return m_socket.isEncrypted(); }))
            return false;
        return Greet(nick, nick);
    }

    void Send(const QByteArray& line)
    {
        m_socket.write(line + "\r\n");
        m_socket.flush();
    }

    // The first line after those already waited for that contains text.
    std::optional<QByteArray> WaitForLine(const QByteArray& text, int timeoutMs = 10000)
    {
        std::optional<QByteArray> found;
        WaitFor(
            [&] {
                for (; m_next < Lines.size(); ++m_next) {
                    if (Lines.at(m_next).contains(text)) {
                        found = Lines.at(m_next++);
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }

    QList<QByteArray> Lines;
    bool Closed = false;
    // Called with each line as it arrives, before it is kept.
    std::function<void(const QByteArray&)> OnLine;

private:
    bool Greet(const QByteArray& nick, const QByteArray& user)
    {
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Send("NICK " + nick);
        Send("USER " + user + " 0 * :" + nick);
        return WaitForLine(" 001 " + nick + " ").has_value();
    }

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
            if (OnLine)
                OnLine(line);
            Lines.append(line);
        }
    }

    QSslSocket m_socket;
    QByteArray m_pending;
    qsizetype m_next = 0;
};

} // namespace testing_support
