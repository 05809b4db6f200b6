#pragma once

// Real IRC servers for the network and fault tests, each started by the test in the foreground on free
// loopback ports with a configuration written into a temporary folder:
//
// - ngircd, in the clear and optionally over TLS with a self-signed certificate made for the test;
// - InspIRCd with the flood limits of ircd-hybrid (the strictest of Debian's servers, which cannot be
//   installed beside ngircd): a burst of 5 lines, then one line a second, and a client with more than 2560
//   bytes waiting is closed ("RecvQ exceeded"); or without flood limits. InspIRCd compares names as
//   rfc1459 unless told ascii (ngircd always compares as ascii).
//
// A server can be killed outright, frozen (SIGSTOP: connections stay open and nothing answers), thawed
// and started again on the same ports.

#include "support/waitfor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <csignal>
#include <unistd.h>

namespace testing_support {

inline quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A self-signed certificate for "irc.tessarin.test" with its key, made with openssl in a folder of its own.
class SelfSignedCertificate {
public:
    SelfSignedCertificate()
    {
        MakeReadableByAll(m_dir.path());
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"),
            { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                "-keyout", KeyPath(), "-out", CertificatePath(), "-days", "2", "-subj",
                "/CN=irc.tessarin.test" });
        if (!openssl.waitForFinished(20000) || openssl.exitCode() != 0) {
            m_error = QString::fromUtf8(openssl.readAll());
            return;
        }
        QFile::setPermissions(KeyPath(), QFileDevice::ReadOwner | QFileDevice::ReadOther);
        const QList<QSslCertificate> certificates = QSslCertificate::fromPath(CertificatePath());
        if (certificates.size() == 1)
            m_digest = certificates.first().digest(QCryptographicHash::Sha256);
    }

    bool Made() const { return !m_digest.isEmpty(); }
    QString Error() const { return m_error; }
    QString CertificatePath() const { return m_dir.filePath("cert.pem"); }
    QString KeyPath() const { return m_dir.filePath("key.pem"); }
    // The SHA-256 digest of the certificate.
    QByteArray Digest() const { return m_digest; }

    static void MakeReadableByAll(const QString& path)
    {
        QFile::setPermissions(path,
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                | QFileDevice::WriteOther | QFileDevice::ExeOther);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_digest;
    QString m_error;
};

class IrcDaemon {
public:
    enum class Kind { Ngircd, Inspircd };

    // With a certificate, ngircd also listens for TLS on TlsPort().
    static std::unique_ptr<IrcDaemon> Ngircd(const SelfSignedCertificate* certificate = nullptr)
    {
        auto daemon = std::unique_ptr<IrcDaemon>(new IrcDaemon(Kind::Ngircd));
        QString tls;
        if (certificate) {
            daemon->m_tlsPort = FreeLoopbackPort();
            tls = QStringLiteral("[SSL]\nCertFile = %1\nKeyFile = %2\nPorts = %3\n")
                      .arg(certificate->CertificatePath(), certificate->KeyPath())
                      .arg(daemon->m_tlsPort);
        }
        daemon->WriteFile("motd", "Tessarin test server\n");
        daemon->WriteFile("ngircd.conf",
            QStringLiteral("[Global]\nName = irc.tessarin.test\nInfo = Tessarin test server\n"
                           "AdminInfo1 = Tests\nAdminInfo2 = Loopback\nAdminEMail = root@localhost\n"
                           "Listen = 127.0.0.1\nPorts = %1\nMotdFile = %2\nPidFile = %3\n"
                           "[Limits]\nMaxNickLength = 30\nMaxPenaltyTime = 0\nMaxConnectionsIP = 0\n"
                           "[Options]\nPAM = no\nIdent = no\nDNS = no\n%4")
                .arg(daemon->m_port)
                .arg(daemon->m_dir.filePath("motd"), daemon->m_dir.filePath("ngircd.pid"), tls)
                .toUtf8());
        return daemon;
    }

    static std::unique_ptr<IrcDaemon> StrictInspircd()
    {
        return Inspircd("recvq=\"2560\" threshold=\"5\" commandrate=\"1000\" fakelag=\"yes\"");
    }

    // A server that never holds a client back, for measuring a client rather than the server's flood
    // control; caseMapping is "rfc1459" or "ascii"; modules are further lines of its configuration.
    static std::unique_ptr<IrcDaemon> UnthrottledInspircd(
        const QString& caseMapping = QStringLiteral("rfc1459"), const QString& modules = {})
    {
        return Inspircd("recvq=\"1048576\" threshold=\"1000000\" commandrate=\"1000000000\" fakelag=\"no\"",
            caseMapping, modules);
    }

    // An unthrottled server whose channels have the mode "d" of InspIRCd's delaymsg module: a parameter when
    // set, none when unset, as its 005 line tells.
    static std::unique_ptr<IrcDaemon> InspircdWithDelayMode()
    {
        return UnthrottledInspircd(QStringLiteral("rfc1459"), "<module name=\"delaymsg\">\n");
    }

    ~IrcDaemon() { Stop(); }

    quint16 Port() const { return m_port; }
    quint16 TlsPort() const { return m_tlsPort; }
    QString Output() { return QString::fromUtf8(m_output += m_process.readAll()); }

    // Starts the server (again, on the same ports) and waits until it accepts connections.
    bool Start()
    {
        QString binary;
        QStringList arguments;
        if (m_kind == Kind::Ngircd) {
            binary = Find("ngircd");
            arguments = { "-n", "-f", m_dir.filePath("ngircd.conf") };
        } else {
            binary = Find("inspircd");
            arguments = { "--nofork", "--config=" + m_dir.filePath("inspircd.conf") };
            if (::geteuid() == 0)
                arguments.append("--runasroot");
        }
        if (binary.isEmpty())
            return false;
        m_process.start(binary, arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        const auto listening = [this](quint16 port) {
            if (port == 0 || m_process.state() != QProcess::Running)
                return true;
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(200);
        };
        return WaitFor([&] { return listening(m_port) && listening(m_tlsPort); })
            && m_process.state() == QProcess::Running;
    }

    // Ends the server politely (it says goodbye to its clients) or, with kill, at once.
    void Stop(bool kill = false)
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        Resume();
        if (kill)
            m_process.kill();
        else
            m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        m_output += m_process.readAll();
    }

    // Freezes the server: it keeps its connections but reads and answers nothing until Resume.
    void Pause()
    {
        if (m_process.state() == QProcess::Running && !m_paused) {
            ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP);
            m_paused = true;
        }
    }
    void Resume()
    {
        if (m_paused) {
            ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT);
            m_paused = false;
        }
    }

private:
    // flood is the connect class's receive queue and flood-control attributes; modules are further lines
    // of the configuration.
    static std::unique_ptr<IrcDaemon> Inspircd(const QString& flood,
        const QString& caseMapping = QStringLiteral("rfc1459"), const QString& modules = {})
    {
        auto daemon = std::unique_ptr<IrcDaemon>(new IrcDaemon(Kind::Inspircd));
        daemon->WriteFile("motd", "Tessarin test server\n");
        daemon->WriteFile("inspircd.conf",
            QStringLiteral(
                "<server name=\"irc.tessarin.test\" description=\"Tessarin test server\" network=\"Test\">\n"
                "<admin name=\"Tests\" nick=\"tests\" email=\"root@localhost\">\n"
                "<bind address=\"127.0.0.1\" port=\"%1\" type=\"clients\">\n"
                "<connect name=\"main\" allow=\"*\" timeout=\"60\" pingfreq=\"120\" "
                "hardsendq=\"1048576\" softsendq=\"65536\" %5 localmax=\"500\" globalmax=\"500\" "
                "useident=\"no\" limit=\"5000\" maxconnwarn=\"no\" resolvehostnames=\"no\">\n"
                "<files motd=\"%2\">\n<pid file=\"%3\">\n"
                "<log method=\"file\" type=\"* -USERINPUT -USEROUTPUT\" level=\"default\" "
                "target=\"%4\">\n"
                "<performance clonesonconnect=\"no\" quietbursts=\"yes\">\n<limits maxnick=\"30\">\n"
                "<options casemapping=\"%6\">\n%7")
                .arg(daemon->m_port)
                .arg(daemon->m_dir.filePath("motd"), daemon->m_dir.filePath("inspircd.pid"),
                    daemon->m_dir.filePath("inspircd.log"), flood, caseMapping, modules)
                .toUtf8());
        return daemon;
    }

    explicit IrcDaemon(Kind kind)
        : m_kind(kind)
        , m_port(FreeLoopbackPort())
    {
        // Started as root, ngircd runs as nobody, which must still write its pid file here.
        SelfSignedCertificate::MakeReadableByAll(m_dir.path());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
    }

    static QString Find(const char* name)
    {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        return found.isEmpty() ? QStandardPaths::findExecutable(QString::fromLatin1(name),
                   { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin") })
                               : found;
    }

    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    Kind m_kind;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    QProcess m_process;
    QByteArray m_output;
    bool m_paused = false;
};

} // namespace testing_support
