// The IRC client over TLS against a real ngircd with a self-signed certificate made for the test: refused
// by default with a clear reason, accepted when its fingerprint is pinned, refused for another pin, and a
// handshake that fails or never ends counts as a failed connect.

#include "irc/ircclient.h"
#include "support/fakeircserver.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/testircclient.h"

#include <gtest/gtest.h>

namespace {

using irc::TIrcClient;
using testing_support::IrcDaemon;
using testing_support::SelfSignedCertificate;
using testing_support::TestIrcClient;
using testing_support::WaitFor;

class TlsClientTest : public ::testing::Test {
protected:
    TIrcClient client;
    QStringList status;
    QStringList failures;
    bool registered = false;

    void SetUp() override
    {
        client.Host = QStringLiteral("127.0.0.1");
        client.SetNick(QStringLiteral("Tessarin"));
        client.Username = QStringLiteral("Tessarin");
        client.RealName = QStringLiteral("Tessarin");
        client.Settings.Tls = true;
        QObject::connect(
            &client, &TIrcClient::OnStatus, [this](const QString& text) { status.append(text); });
        QObject::connect(&client, &TIrcClient::OnConnectFailed,
            [this](const QString& reason) { failures.append(reason); });
        QObject::connect(&client, &TIrcClient::OnRegistered, [this] { registered = true; });
    }
};

TEST_F(TlsClientTest, ASelfSignedCertificateIsRefusedUnlessItsFingerprintIsPinned)
{
    SelfSignedCertificate certificate;
    ASSERT_TRUE(certificate.Made()) << certificate.Error().toStdString();
    const auto server = IrcDaemon::Ngircd(&certificate);
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    const QString fingerprint = irc::FingerprintText(certificate.Digest());
    client.Port = server->TlsPort();

    client.Connect();
    ASSERT_TRUE(WaitFor([this] { return !failures.isEmpty(); }));
    EXPECT_FALSE(registered);
    EXPECT_EQ(client.CurrentState(), TIrcClient::State::Disconnected);
    ASSERT_EQ(status.size(), 1);
    const QString expectedStart
        = "TLS connection to 127.0.0.1:" + QString::number(server->TlsPort()) + " failed: ";
    EXPECT_TRUE(status[0].startsWith(expectedStart)) << status[0].toStdString();
    EXPECT_TRUE(status[0].contains("self-signed")) << status[0].toStdString();
    EXPECT_TRUE(status[0].contains("The server's certificate has the SHA-256 fingerprint " + fingerprint
        + "; pin it with tls_fingerprint to trust it."))
        << status[0].toStdString();

    // Another certificate's fingerprint is no better.
    status.clear();
    failures.clear();
    client.Settings.TlsFingerprint = QString(64, u'a');
    client.Connect();
    ASSERT_TRUE(WaitFor([this] { return !failures.isEmpty(); }));
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status[0].endsWith("fingerprint " + fingerprint + ", not the pinned one."))
        << status[0].toStdString();

    // Pinned (written as openssl prints it), it is taken, and the bot talks to users on the plain port.
    status.clear();
    failures.clear();
    TestIrcClient bob;
    ASSERT_TRUE(bob.Register(server->Port(), "Bob"));
    bob.Send("JOIN #dice");
    ASSERT_TRUE(bob.WaitForLine(" 366 Bob #dice "));
    client.Settings.TlsFingerprint = "sha256 Fingerprint=" + fingerprint;
    client.Connect();
    ASSERT_TRUE(WaitFor([this] { return registered; })) << failures.join(' ').toStdString();
    EXPECT_TRUE(status.isEmpty());
    ASSERT_TRUE(client.Join("#dice"));
    ASSERT_TRUE(bob.WaitForLine(":Tessarin!").has_value());
    QString heard;
    QObject::connect(&client, &TIrcClient::OnMessage,
        [&](irc::TIrcUser*, irc::TIrcChannel*, const QString& text) { heard = text; });
    bob.Send(QByteArray("PRIVMSG #dice :w\xc3\xbcrfel"));
    ASSERT_TRUE(WaitFor([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard, QStringLiteral("w\u00fcrfel"));
    ASSERT_TRUE(client.Say("#dice", QStringLiteral("encrypted \u20ac")));
    EXPECT_TRUE(bob.WaitForLine("PRIVMSG #dice :encrypted \xe2\x82\xac").has_value());
}

TEST_F(TlsClientTest, AHandshakeThatFailsOrNeverEndsIsAFailedConnect)
{
    // ngircd's plain port takes a TLS hello for the start of an IRC line and waits for its end.
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    client.Port = server->Port();
    client.Settings.ConnectTimeoutMs = 1000;
    client.Connect();
    ASSERT_TRUE(WaitFor([this] { return !failures.isEmpty(); }, 5000));
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status[0].startsWith("TLS connection to 127.0.0.1:")) << status[0].toStdString();

    // A server that accepts the connection and never says a word.
    testing_support::FakeIrcServer silent;
    status.clear();
    failures.clear();
    client.Port = silent.Port();
    client.Settings.ConnectTimeoutMs = 300;
    client.Connect();
    ASSERT_TRUE(WaitFor([this] { return !failures.isEmpty(); }, 3000));
    EXPECT_EQ(failures, QStringList({ "TLS handshake timed out" }));
    EXPECT_EQ(status,
        QStringList({ "TLS connection to 127.0.0.1:" + QString::number(silent.Port())
            + " failed: TLS handshake timed out." }));
}

} // namespace
