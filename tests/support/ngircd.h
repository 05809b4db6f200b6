#pragma once

// A real ngircd for end-to-end tests: started on a free loopback port with a configuration written into a
// temporary folder (30-character nicks, no PAM, no ident, no DNS, no flood penalties), in the foreground.

#include "support/waitfor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace testing_support {

class Ngircd {
public:
    // With authPing the server pings every new client and registers it only once it has answered. A port
    // of 0 is a free one the system picks. With an operator name, "OPER name name" makes a client an IRC
    // operator (who may lift flood limits with +F).
    explicit Ngircd(bool authPing = false, quint16 port = 0, const QString& operatorName = QString())
    {
        // Started as root, ngircd runs as nobody, which must still write its pid file here.
        QFile::setPermissions(m_dir.path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                | QFileDevice::WriteOther | QFileDevice::ExeOther);
        m_port = port;
        if (m_port == 0) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            m_port = probe.serverPort();
            probe.close();
        }
        WriteFile("motd", "Tessarin test server\n");
        WriteFile("ngircd.conf",
            QStringLiteral("[Global]\nName = irc.tessarin.test\nInfo = Tessarin test server\n"
                           "AdminInfo1 = Tests\nAdminInfo2 = Loopback\nAdminEMail = root@localhost\n"
                           "Listen = 127.0.0.1\nPorts = %1\nMotdFile = %2\nPidFile = %3\n"
                           "[Limits]\nMaxNickLength = 30\nMaxPenaltyTime = 0\nMaxConnectionsIP = 0\n"
                           "[Options]\nPAM = no\nIdent = no\nDNS = no\nRequireAuthPing = %4\n")
                    .arg(m_port)
                    .arg(m_dir.filePath("motd"), m_dir.filePath("ngircd.pid"))
                    .arg(authPing ? "yes" : "no")
                    .toUtf8()
                + (operatorName.isEmpty() ? QByteArray()
                                          : QStringLiteral("[Operator]\nName = %1\nPassword = %1\n")
                                                .arg(operatorName)
                                                .toUtf8()));
        m_process.setProcessChannelMode(QProcess::MergedChannels);
    }

    ~Ngircd() { Stop(); }

    quint16 Port() const { return m_port; }
    QString Output() { return QString::fromUtf8(m_output += m_process.readAll()); }

    // Starts the server and waits until it accepts connections.
    bool Start()
    {
        const QString binary = QStandardPaths::findExecutable(
            QStringLiteral("ngircd"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin") });
        if (binary.isEmpty())
            return false;
        m_process.start(binary, { "-n", "-f", m_dir.filePath("ngircd.conf") });
        if (!m_process.waitForStarted(5000))
            return false;
        return WaitFor([this] {
            if (m_process.state() != QProcess::Running)
                return true;
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            return probe.waitForConnected(200);
        }) && m_process.state() == QProcess::Running;
    }

    void Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        m_output += m_process.readAll();
    }

private:
    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    QProcess m_process;
    QByteArray m_output;
};

} // namespace testing_support
