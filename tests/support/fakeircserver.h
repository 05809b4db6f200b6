#pragma once

// A scripted IRC server on a loopback port for what a real server will not do on demand: split and
// garbage lines, refusals, sudden disconnects. It accepts one client at a time and records the lines it
// receives.

#include "support/waitfor.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace testing_support {

class FakeIrcServer {
public:
    FakeIrcServer() { Listen(0); }

    bool Listen(quint16 port)
    {
        if (!m_server.listen(QHostAddress::LocalHost, port))
            return false;
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                delete m_client;
                m_client = socket;
                ++Accepted;
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Read(socket); });
            }
        });
        return true;
    }

    // Stops listening and drops the client, as a server that goes away does.
    void Shutdown()
    {
        m_server.close();
        DropClient();
    }

    quint16 Port() const { return m_server.serverPort(); }

    bool WaitForClient(int count = 1)
    {
        return WaitFor([&] { return Accepted >= count; });
    }

    void SendRaw(const QByteArray& bytes)
    {
        if (m_client) {
            m_client->write(bytes);
            m_client->flush();
        }
    }
    void Send(const QByteArray& line) { SendRaw(line + "\r\n"); }

    void DropClient()
    {
        if (m_client)
            m_client->abort();
    }

    bool WaitForLine(const QByteArray& line, int timeoutMs = 5000)
    {
        return WaitFor([&] { return Lines.contains(line); }, timeoutMs);
    }

    // Everything the client sent, exactly as sent, and split into lines at CR LF.
    QByteArray Raw;
    QList<QByteArray> Lines;
    int Accepted = 0;

private:
    void Read(QTcpSocket* socket)
    {
        const QByteArray bytes = socket->readAll();
        Raw += bytes;
        m_pending += bytes;
        qsizetype end;
        while ((end = m_pending.indexOf("\r\n")) >= 0) {
            Lines.append(m_pending.left(end));
            m_pending.remove(0, end + 2);
        }
    }

    QTcpServer m_server;
    QTcpSocket* m_client = nullptr;
    QByteArray m_pending;
};

} // namespace testing_support
