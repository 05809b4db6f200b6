#pragma once

// A network with services for the account tests: InspIRCd on free loopback ports (in the clear and over
// TLS, asking clients for certificates) linked to Anope, whose NickServ keeps accounts and answers SASL
// PLAIN and EXTERNAL. The server offers account-notify, extended-join and WHOX, and account-tag unless the
// test leaves it out (as older servers do).
//
// Anope's configuration is Debian's own from /etc/anope, copied into a temporary folder with the few
// changes a test network needs: the link, no e-mail, no delay or protection on registered nicks, no limit
// on connections from one address. A change
// that does not apply (Debian changed the file) fails the start, with the reason.

#include "support/ircdaemon.h"
#include "support/testircclient.h"

#include <QDirIterator>

namespace testing_support {

class ServicesNetwork {
public:
    explicit ServicesNetwork(const SelfSignedCertificate& certificate, bool accountTag = true)
        : m_port(FreeLoopbackPort())
        , m_tlsPort(FreeLoopbackPort())
        , m_linkPort(FreeLoopbackPort())
    {
        SelfSignedCertificate::MakeReadableByAll(m_dir.path());
        m_ircd.setProcessChannelMode(QProcess::MergedChannels);
        m_services.setProcessChannelMode(QProcess::MergedChannels);
        WriteInspircdConfig(certificate, accountTag);
    }

    ~ServicesNetwork()
    {
        for (QProcess* process : { &m_services, &m_ircd }) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(5000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    quint16 Port() const { return m_port; }
    quint16 TlsPort() const { return m_tlsPort; }
    // Why the start failed, and what the programs said.
    QString Problem() const { return m_problem; }

    // Starts the server, then the services, and waits until they are linked.
    bool Start()
    {
        if (!WriteAnopeConfig())
            return false;
        QStringList ircdArguments { "--nofork", "--config=" + m_dir.filePath("inspircd.conf") };
        if (::geteuid() == 0)
            ircdArguments.append("--runasroot");
        m_ircd.start(QStringLiteral("/usr/sbin/inspircd"), ircdArguments);
        const auto listening = [](quint16 port) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(200);
        };
        if (!m_ircd.waitForStarted(5000)
            || !WaitFor([&] { return m_ircd.state() != QProcess::Running || listening(m_linkPort); })
            || m_ircd.state() != QProcess::Running)
            return Fail(QStringLiteral("InspIRCd did not start: ") + QString::fromUtf8(m_ircd.readAll()));
        const QString anope = m_dir.filePath("anope");
        m_services.start(QStringLiteral("/usr/sbin/anope"),
            { "--nofork", "--confdir=" + anope, "--dbdir=" + anope + "/data", "--logdir=" + anope + "/logs",
                "--modulesdir=/usr/lib/anope" });
        QByteArray said;
        const bool linked = m_services.waitForStarted(5000)
            && WaitFor(
                [&] {
                    said += m_services.readAll();
                    return said.contains("is done syncing") || m_services.state() != QProcess::Running;
                },
                30000);
        if (!linked || m_services.state() != QProcess::Running)
            return Fail(QStringLiteral("Anope did not link: ") + QString::fromUtf8(said));
        return true;
    }

    // Registers nick as an account with NickServ; with a client certificate, registers over TLS with it
    // and adds its fingerprint to the account, so that the certificate logs in with SASL EXTERNAL.
    bool RegisterAccount(const QByteArray& nick, const QByteArray& password,
        const SelfSignedCertificate* clientCertificate = nullptr)
    {
        TestIrcClient user;
        if (clientCertificate ? !user.RegisterWithCertificate(
                m_tlsPort, nick, clientCertificate->CertificatePath(), clientCertificate->KeyPath())
                              : !user.Register(m_port, nick))
            return false;
        user.Send("PRIVMSG NickServ :REGISTER " + password + " " + nick + "@tessarin.test");
        if (!user.WaitForLine(" 900 " + nick + " "))
            return false;
        if (clientCertificate) {
            user.Send("PRIVMSG NickServ :CERT ADD");
            if (!user.WaitForLine("certificate list"))
                return false;
        }
        user.Send("QUIT");
        return WaitFor([&] { return user.Closed; });
    }

private:
    void WriteInspircdConfig(const SelfSignedCertificate& certificate, bool accountTag)
    {
        WriteFile("inspircd.conf",
            QStringLiteral(
                "<server name=\"irc.tessarin.test\" description=\"Tessarin test server\" network=\"Test\" "
                "id=\"001\">\n"
                "<admin name=\"Tests\" nick=\"tests\" email=\"root@localhost\">\n"
                "<module name=\"spanningtree\">\n<module name=\"services_account\">\n<module name=\"sasl\">\n"
                "<module name=\"cap\">\n<module name=\"ircv3\">\n%9"
                "<module name=\"hidechans\">\n<module name=\"ssl_gnutls\">\n<module name=\"sslinfo\">\n"
                "<sslprofile name=\"tls\" provider=\"gnutls\" certfile=\"%1\" keyfile=\"%2\" "
                "requestclientcert=\"yes\" hash=\"sha256\">\n"
                "<bind address=\"127.0.0.1\" port=\"%3\" type=\"clients\">\n"
                "<bind address=\"127.0.0.1\" port=\"%4\" type=\"clients\" sslprofile=\"tls\">\n"
                "<bind address=\"127.0.0.1\" port=\"%5\" type=\"servers\">\n"
                "<link name=\"services.tessarin.test\" ipaddr=\"127.0.0.1\" port=\"%5\" "
                "allowmask=\"127.0.0.0/8\" sendpass=\"linkpass\" recvpass=\"linkpass\">\n"
                "<uline server=\"services.tessarin.test\" silent=\"yes\">\n"
                "<sasl target=\"services.tessarin.test\">\n"
                "<connect name=\"main\" allow=\"*\" timeout=\"60\" pingfreq=\"120\" hardsendq=\"1048576\" "
                "softsendq=\"65536\" recvq=\"8192\" threshold=\"100\" commandrate=\"100000\" fakelag=\"no\" "
                "localmax=\"500\" globalmax=\"500\" useident=\"no\" limit=\"5000\" maxconnwarn=\"no\" "
                "resolvehostnames=\"no\">\n"
                "<files motd=\"%6\">\n<pid file=\"%7\">\n"
                "<log method=\"file\" type=\"* -USERINPUT -USEROUTPUT\" level=\"default\" target=\"%8\">\n"
                "<performance clonesonconnect=\"no\" quietbursts=\"yes\">\n<limits maxnick=\"30\">\n")
                .arg(certificate.CertificatePath(), certificate.KeyPath())
                .arg(m_port)
                .arg(m_tlsPort)
                .arg(m_linkPort)
                .arg(m_dir.filePath("motd"), m_dir.filePath("inspircd.pid"), m_dir.filePath("inspircd.log"),
                    accountTag ? QStringLiteral("<module name=\"ircv3_accounttag\">\n") : QString())
                .toUtf8());
        WriteFile("motd", "Tessarin test network\n");
    }

    bool WriteAnopeConfig()
    {
        const QString anope = m_dir.filePath("anope");
        QDir().mkpath(anope + "/data");
        QDir().mkpath(anope + "/logs");
        QDirIterator shipped(QStringLiteral("/etc/anope"), { "*.conf", "*.motd" }, QDir::Files);
        while (shipped.hasNext()) {
            const QString path = shipped.next();
            QFile::copy(path, anope + u'/' + QFileInfo(path).fileName());
        }
        const QString port = QString::number(m_linkPort);
        return Patch("anope/services.conf",
                   { { "value = \"services.example.com\"", "value = \"services.tessarin.test\"" },
                       { "name = \"services.example.com\"", "name = \"services.tessarin.test\"" },
                       { "port = 7000", "port = " + port }, { "\"mypassword\"", "\"linkpass\"" },
                       { "#id = \"00A\"", "id = \"00A\"" },
                       { "pid = \"/var/run/anope/anope.pid\"", "pid = \"" + anope + "/anope.pid\"" },
                       { "motd = \"/etc/anope/services.motd\"", "motd = \"" + anope + "/services.motd\"" },
                       { "usemail = yes", "usemail = no" },
                       { "casemap = \"ascii\"", "casemap = \"rfc1459\"" } })
            && Patch("anope/nickserv.conf",
                { { "forceemail = yes", "forceemail = no" }, { "regdelay = 30s", "regdelay = 0s" },
                    { "defaults = \"killprotect ", "defaults = \"" } })
            && Patch("anope/operserv.conf", { { "defaultsessionlimit = 3", "defaultsessionlimit = 0" } });
    }

    bool Patch(const QString& name, const QList<std::pair<QString, QString>>& changes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return Fail(name + QStringLiteral(" is missing: is anope installed?"));
        QString text = QString::fromUtf8(file.readAll());
        file.close();
        for (const auto& [from, to] : changes) {
            if (!text.contains(from))
                return Fail(name + QStringLiteral(" has no \"") + from + u'"');
            text.replace(from, to);
        }
        WriteFile(name, text.toUtf8());
        return true;
    }

    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        file.remove();
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    bool Fail(const QString& problem)
    {
        m_problem = problem;
        return false;
    }

    QTemporaryDir m_dir;
    quint16 m_port;
    quint16 m_tlsPort;
    quint16 m_linkPort;
    QProcess m_ircd;
    QProcess m_services;
    QString m_problem;
};

} // namespace testing_support
