#include "irc/ircclient.h"

#include "irc/outgoing.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace irc {

namespace {

// Acknowledges what was just read without waiting. A server that leaves Nagle's algorithm on holds its
// next lines until our acknowledgement arrives, and Linux delays that by up to 40 ms whenever it cannot
// ride on a reply: one busy channel then stalls every answer that long now and then. The kernel turns the
// setting off again by itself, so it is renewed at every read.
void AcknowledgeAtOnce(qintptr socket)
{
#ifdef TCP_QUICKACK
    const int on = 1;
    ::setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
    Q_UNUSED(socket);
#endif
}

QString Seconds(int ms)
{
    return QString::number(ms / 1000.0);
}

} // namespace

QString FingerprintText(const QByteArray& digest)
{
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

QByteArray ParseFingerprint(const QString& text)
{
    QString hex = text.section(u'=', -1);
    hex.remove(u':').remove(u' ').remove(u'-');
    static constexpr qsizetype DigestBytes = 32;
    if (hex.size() != 2 * DigestBytes)
        return {};
    for (const QChar c : hex) {
        if (!c.isDigit() && !(c.toLower() >= u'a' && c.toLower() <= u'f'))
            return {};
    }
    return QByteArray::fromHex(hex.toLatin1());
}

TIrcClient::TIrcClient(QObject* parent)
    : QObject(parent)
{
    m_clock.start();
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        if (m_state != State::Connecting)
            return;
        FailConnect(m_usingTls && m_socket.state() == QAbstractSocket::ConnectedState
                ? QStringLiteral("TLS handshake timed out")
                : QStringLiteral("Connection timed out"));
    });
    m_registerTimer.setSingleShot(true);
    connect(&m_registerTimer, &QTimer::timeout, this, [this] {
        if (m_state == State::Registering)
            FailConnection(QStringLiteral("No welcome from the server within %1 seconds.")
                               .arg(Seconds(Settings.RegisterTimeoutMs)));
    });
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &TIrcClient::HandleIdle);
    m_sendTimer.setSingleShot(true);
    connect(&m_sendTimer, &QTimer::timeout, this, &TIrcClient::Pump);
    connect(&m_nickTimer, &QTimer::timeout, this, &TIrcClient::TryWantedNick);
    m_accountTimer.setSingleShot(true);
    connect(&m_accountTimer, &QTimer::timeout, this, &TIrcClient::ExpireAccountLookups);
    connect(&m_socket, &QSslSocket::connected, this, [this] {
        if (!m_usingTls)
            HandleConnected();
    });
    connect(&m_socket, &QSslSocket::encrypted, this, &TIrcClient::HandleEncrypted);
    connect(&m_socket, &QSslSocket::sslErrors, this, &TIrcClient::HandleSslErrors);
    connect(&m_socket, &QSslSocket::readyRead, this, &TIrcClient::HandleReadyRead);
    connect(&m_socket, &QSslSocket::errorOccurred, this, &TIrcClient::HandleSocketError);
    connect(&m_socket, &QSslSocket::disconnected, this, &TIrcClient::HandleSocketDisconnected);
}

TIrcClient::~TIrcClient()
{
    // Handlers must not hear of a client that is going away.
    m_socket.disconnect(this);
    m_socket.abort();
}

QString TIrcClient::Nick() const
{
    return IsConnected() ? m_currentNick : m_nick;
}

void TIrcClient::SetNick(const QString& nick)
{
    if (IsConnected())
        SendProtocol(QStringLiteral("NICK ") + nick);
    else
        m_nick = nick;
}

QString TIrcClient::ServerText() const
{
    return Host + u':' + QString::number(Port);
}

void TIrcClient::Connect()
{
    if (m_state == State::Connecting) {
        m_connectTimer.stop();
        m_socket.abort();
    } else {
        ForcedClose();
    }
    ++m_generation;
    EndConnection();
    m_buffer.clear();
    m_channels.Clear();
    m_users.Clear();
    m_self = m_users.Add(m_nick);
    m_currentNick = m_nick;
    m_serverHost.clear();
    m_selfAddress.clear();
    m_tlsProblem.clear();
    m_cap = CapNegotiation();
    m_whox = false;
    m_askedAccounts.clear();
    m_modeSyntax = ModeSyntax();
    m_caseMappingTold = false;
    m_state = State::Connecting;
    m_connectTimer.start(Settings.ConnectTimeoutMs);
    if (const qintptr descriptor = std::exchange(OpenDescriptor, -1); descriptor >= 0) {
        AdoptSocket(descriptor);
        return;
    }
    m_usingTls = Settings.Tls;
    if (!m_usingTls) {
        m_socket.connectToHost(Host, Port);
        return;
    }
    if (!QSslSocket::supportsSsl()) {
        FailConnectLater(QStringLiteral("TLS is not available on this system"));
        return;
    }
    if (!Settings.TlsFingerprint.isEmpty() && ParseFingerprint(Settings.TlsFingerprint).isEmpty()) {
        FailConnectLater(QStringLiteral("The pinned fingerprint is not a SHA-256 fingerprint"));
        return;
    }
    QString problem;
    if (!LoadClientCertificate(problem)) {
        FailConnectLater(problem);
        return;
    }
    m_socket.setPeerVerifyName(Host);
    m_socket.connectToHostEncrypted(Host, Port);
}

void TIrcClient::AdoptSocket(qintptr descriptor)
{
    m_usingTls = false;
    if (!m_socket.setSocketDescriptor(descriptor)) {
        ::close(static_cast<int>(descriptor));
        FailConnectLater(m_socket.errorString());
        return;
    }
    // The connection is made, but its owner hears of it from the event loop, as after connectToHost.
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (m_generation == generation)
            HandleConnected();
    });
}

bool TIrcClient::LoadClientCertificate(QString& problem)
{
    m_socket.setLocalCertificate(QSslCertificate());
    m_socket.setPrivateKey(QSslKey());
    if (Settings.ClientCertificate.isEmpty())
        return true;
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(Settings.ClientCertificate);
    if (certificates.isEmpty()) {
        problem = QStringLiteral("The client certificate %1 cannot be read").arg(Settings.ClientCertificate);
        return false;
    }
    QFile keyFile(Settings.ClientKey.isEmpty() ? Settings.ClientCertificate : Settings.ClientKey);
    const QByteArray pem = keyFile.open(QIODevice::ReadOnly) ? keyFile.read(1 << 20) : QByteArray();
    for (const QSsl::KeyAlgorithm algorithm : { QSsl::Ec, QSsl::Rsa, QSsl::Dsa }) {
        const QSslKey key(pem, algorithm);
        if (!key.isNull()) {
            m_socket.setLocalCertificate(certificates.first());
            m_socket.setPrivateKey(key);
            return true;
        }
    }
    problem = QStringLiteral("The key of the client certificate cannot be read from %1 (it must be an "
                             "unencrypted PEM key)")
                  .arg(keyFile.fileName());
    return false;
}

void TIrcClient::Disconnect()
{
    if (m_state == State::Connecting)
        FailConnect(QStringLiteral("Connection abandoned"));
    else
        ForcedClose();
}

bool TIrcClient::Quit(const QString& reason)
{
    return SendUrgent(QStringLiteral("QUIT :"), reason);
}

// With a pinned fingerprint only that certificate is taken, whatever else would vouch for the server; the
// errors of any other one end the handshake, and the reason is kept for the log.
void TIrcClient::HandleSslErrors(const QList<QSslError>& errors)
{
    const QSslCertificate certificate = m_socket.peerCertificate();
    const QByteArray digest
        = certificate.isNull() ? QByteArray() : certificate.digest(QCryptographicHash::Sha256);
    const QByteArray pinned = ParseFingerprint(Settings.TlsFingerprint);
    if (!pinned.isEmpty() && digest == pinned) {
        m_socket.ignoreSslErrors();
        return;
    }
    QStringList texts;
    for (const QSslError& error : errors)
        texts.append(error.errorString());
    m_tlsProblem = texts.join(QStringLiteral("; "));
    if (!digest.isEmpty()) {
        m_tlsProblem += QStringLiteral(". The server's certificate has the SHA-256 fingerprint ")
            + FingerprintText(digest)
            + (pinned.isEmpty() ? QStringLiteral("; pin it with tls_fingerprint to trust it")
                                : QStringLiteral(", not the pinned one"));
    }
}

void TIrcClient::HandleEncrypted()
{
    if (m_state != State::Connecting)
        return;
    const QByteArray pinned = ParseFingerprint(Settings.TlsFingerprint);
    const QByteArray digest = m_socket.peerCertificate().digest(QCryptographicHash::Sha256);
    if (!pinned.isEmpty() && digest != pinned) {
        m_tlsProblem = QStringLiteral("The server's certificate has the SHA-256 fingerprint ")
            + FingerprintText(digest) + QStringLiteral(", not the pinned one");
        FailConnect(QStringLiteral("Certificate not pinned"));
        return;
    }
    HandleConnected();
}

void TIrcClient::HandleConnected()
{
    if (m_state != State::Connecting)
        return;
    m_connectTimer.stop();
    // Replies are small lines; without this they can wait for Nagle's algorithm.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const quint64 generation = m_generation;
    Q_EMIT OnConnected();
    if (m_generation != generation || m_state != State::Connecting)
        return;
    m_state = State::Registering;
    Q_EMIT OnConnect();
    if (m_generation != generation || m_state != State::Registering)
        return;

    m_queue.SetPace(Settings.Pace);
    m_pinged = false;
    m_idleTimer.start(std::max(1, Settings.IdleTimeoutMs));
    m_registerTimer.start(std::max(1, Settings.RegisterTimeoutMs));
    // The nick may have been set again while the connection was being made.
    m_currentNick = m_nick;
    if (m_self)
        m_self->Nick = m_nick;
    const QString local = m_socket.localAddress().toString();
    const bool external = m_usingTls && !Settings.ClientCertificate.isEmpty();
    for (const QString& line :
        m_cap.Start({ Settings.SaslAccount, Settings.SaslPassword, external, Settings.SaslRequired }))
        SendUrgent(line);
    if (!Password.isEmpty())
        SendUrgent(QStringLiteral("PASS ") + Password);
    SendUrgent(QStringLiteral("NICK ") + m_nick);
    SendUrgent(QStringLiteral("USER ") + Username + u' ' + local + u' '
            + (m_serverHost.isEmpty() ? local : m_serverHost) + QStringLiteral(" :"),
        RealName);
}

void TIrcClient::HandleReadyRead()
{
    if (!IsConnected())
        return;
    const QByteArray bytes = m_socket.readAll();
    AcknowledgeAtOnce(m_socket.socketDescriptor());
    if (!bytes.isEmpty()) {
        // Anything from the server shows that the connection lives.
        m_pinged = false;
        m_idleTimer.start(std::max(1, Settings.IdleTimeoutMs));
    }
    m_buffer += bytes;
    const quint64 generation = m_generation;
    qsizetype start = 0;
    qsizetype end;
    while ((end = m_buffer.indexOf('\n', start)) >= 0) {
        QByteArray line = m_buffer.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > MaxLineChars) {
            FailConnection(QStringLiteral("Line too long"));
            return;
        }
        HandleLine(line);
        // A handler closed or replaced the connection: its remaining lines are gone with it.
        if (m_generation != generation)
            return;
    }
    m_buffer.remove(0, start);
    if (m_buffer.size() > MaxLineChars + 1)
        FailConnection(QStringLiteral("Line too long"));
}

// The first time the server has been silent for IdleTimeoutMs it is pinged; silent for PingTimeoutMs more, it
// is taken for gone.
void TIrcClient::HandleIdle()
{
    if (!IsConnected())
        return;
    if (!m_pinged) {
        m_pinged = true;
        m_idleTimer.start(std::max(1, Settings.PingTimeoutMs));
        SendUrgent(QStringLiteral("PING :") + (m_serverHost.isEmpty() ? Host : m_serverHost));
        return;
    }
    FailConnection(
        QStringLiteral("No answer from the server for %1 seconds.")
            .arg(Seconds(std::max(1, Settings.IdleTimeoutMs) + std::max(1, Settings.PingTimeoutMs))));
}

void TIrcClient::HandleSocketError(QAbstractSocket::SocketError error)
{
    if (m_state == State::Connecting)
        FailConnect(m_socket.errorString());
    else if (error == QAbstractSocket::RemoteHostClosedError)
        HandleSocketDisconnected();
    else if (IsConnected())
        FailConnection(m_socket.errorString());
}

void TIrcClient::FailConnection(const QString& message)
{
    const quint64 generation = m_generation;
    Q_EMIT OnSocketError(message);
    // A handler usually disconnects; if it did not, the broken connection is closed here.
    if (m_generation == generation)
        ForcedClose();
}

void TIrcClient::HandleSocketDisconnected()
{
    if (!IsConnected())
        return;
    // Lines that arrived just before the close (an ERROR reply, for example) are still handled.
    if (m_socket.bytesAvailable() > 0) {
        const quint64 generation = m_generation;
        HandleReadyRead();
        if (m_generation != generation)
            return;
    }
    ++m_generation;
    EndConnection();
    m_users.Release(m_self);
    m_self.reset();
    m_buffer.clear();
    m_state = State::Disconnected;
    Q_EMIT OnDisconnected();
}

void TIrcClient::FailConnect(const QString& reason)
{
    ++m_generation;
    EndConnection();
    m_users.Release(m_self);
    m_self.reset();
    const QString tlsProblem = m_usingTls ? (m_tlsProblem.isEmpty() ? reason : m_tlsProblem) : QString();
    m_socket.abort();
    m_state = State::Disconnected;
    const quint64 generation = m_generation;
    if (!tlsProblem.isEmpty())
        Q_EMIT OnStatus(QStringLiteral("TLS connection to ") + ServerText() + QStringLiteral(" failed: ")
            + tlsProblem + u'.');
    if (m_generation == generation)
        Q_EMIT OnConnectFailed(reason);
}

void TIrcClient::FailConnectLater(const QString& reason)
{
    QTimer::singleShot(0, this, [this, reason, generation = m_generation] {
        if (m_generation == generation && m_state == State::Connecting)
            FailConnect(reason);
    });
}

void TIrcClient::ForcedClose()
{
    if (!IsConnected())
        return;
    ++m_generation;
    EndConnection();
    m_users.Release(m_self);
    m_self.reset();
    m_state = State::Disconnecting;
    Q_EMIT OnDisconnect();
    m_socket.abort();
    m_buffer.clear();
    m_state = State::Disconnected;
    Q_EMIT OnDisconnected();
}

void TIrcClient::EndConnection()
{
    m_connectTimer.stop();
    m_registerTimer.stop();
    m_idleTimer.stop();
    m_sendTimer.stop();
    ForgetNickRecovery();
    m_accountTimer.stop();
    for (const HeldLine& line : m_accountLookups.TakeAll())
        m_users.Release(line.User);
    m_queue.Clear();
    m_drops.clear();
    m_lineOwner.clear();
}

bool TIrcClient::CheckConnected()
{
    if (IsConnected())
        return true;
    Q_EMIT OnError(nullptr, QString(), QStringLiteral("Not connected to server."));
    return false;
}

bool TIrcClient::SendUrgent(const QString& head, const QString& text)
{
    if (!CheckConnected())
        return false;
    m_queue.PushUrgent(ComposeLine(head, text));
    Pump();
    return true;
}

bool TIrcClient::SendProtocol(const QString& head)
{
    if (!CheckConnected())
        return false;
    m_queue.PushProtocol(ComposeLine(head));
    Pump();
    return true;
}

bool TIrcClient::SendLine(const QString& head, const QString& text, const QString& tail)
{
    if (!CheckConnected())
        return false;
    Enqueue(m_lineOwner, ComposeLine(head, text, tail, RelayPrefix()));
    Pump();
    return true;
}

bool TIrcClient::SendMessage(
    const QString& target, const QString& head, const QString& text, const QString& tail)
{
    if (!CheckConnected())
        return false;
    const QString owner = m_lineOwner.isEmpty() ? target : m_lineOwner;
    const QList<QByteArray> lines
        = ComposeLines(head, text, tail, RelayPrefix(), Settings.MaxLinesPerMessage);
    for (const QByteArray& line : lines)
        Enqueue(owner, line, target);
    Pump();
    return true;
}

void TIrcClient::Enqueue(const QString& owner, const QByteArray& line, const QString& target)
{
    const QStringList dropped = m_queue.Push(owner, line, target);
    if (dropped.isEmpty())
        return;
    // One report per owner for everything dropped while this event is handled.
    if (m_drops.isEmpty())
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (m_generation == generation)
                ReportDrops();
        });
    for (const QString& name : dropped)
        ++m_drops[name];
}

void TIrcClient::ReportDrops()
{
    const QHash<QString, int> drops = std::exchange(m_drops, {});
    for (auto it = drops.cbegin(); it != drops.cend(); ++it) {
        const QString who = it.key().isEmpty() ? QStringLiteral("the bot itself") : it.key();
        Q_EMIT OnStatus(QStringLiteral("Send queue full: dropped %1 waiting line%2 for %3.")
                            .arg(it.value())
                            .arg(it.value() == 1 ? QString() : QStringLiteral("s"))
                            .arg(who));
    }
}

void TIrcClient::Pump()
{
    if (!IsConnected())
        return;
    const qint64 now = m_clock.elapsed();
    const QList<QByteArray> lines = m_queue.Take(now);
    for (const QByteArray& line : lines)
        m_socket.write(line);
    // Writing at once saves the event loop a round (and the kernel a wake-up) per reply.
    if (!lines.isEmpty())
        m_socket.flush();
    const qint64 wait = m_queue.Wait(now);
    if (wait < 0)
        m_sendTimer.stop();
    else
        m_sendTimer.start(static_cast<int>(std::min<qint64>(wait, 24 * 3600 * 1000)));
}

qsizetype TIrcClient::RelayPrefix() const
{
    return RelayPrefixBytes(m_currentNick, m_selfAddress);
}

QStringList TIrcClient::NicksOn(const QString& channel) const
{
    const auto found = m_channels.Find(channel);
    return found ? found->Nicks() : QStringList();
}

bool TIrcClient::IsOperatorOn(const QString& channel, const QString& nick) const
{
    const auto found = m_channels.Find(channel);
    const qsizetype index = found ? found->IndexOf(nick) : -1;
    return index >= 0 && found->IsOperator(found->Names().at(static_cast<std::size_t>(index)));
}

bool TIrcClient::Say(const QString& target, const QString& text)
{
    return SendMessage(target, QStringLiteral("PRIVMSG ") + target + QStringLiteral(" :"), text);
}

bool TIrcClient::Notice(const QString& target, const QString& text)
{
    return SendMessage(target, QStringLiteral("NOTICE ") + target + QStringLiteral(" :"), text);
}

bool TIrcClient::Action(const QString& target, const QString& text)
{
    return SendMessage(target,
        QStringLiteral("PRIVMSG ") + target + QStringLiteral(" :") + QChar(1) + QStringLiteral("ACTION "),
        text, QString(QChar(1)));
}

bool TIrcClient::CtcpReply(const QString& nick, const QString& command, const QString& text)
{
    if (!CheckConnected())
        return false;
    Enqueue(m_lineOwner.isEmpty() ? nick : m_lineOwner,
        ComposeLine(QStringLiteral("NOTICE ") + nick + QStringLiteral(" :"), CtcpOpening(command, text),
            QString(QChar(1)), RelayPrefix()));
    Pump();
    return true;
}

bool TIrcClient::Join(const QString& channel)
{
    return SendLine(QStringLiteral("JOIN ") + channel);
}

bool TIrcClient::Rejoin(const QString& channel)
{
    if (!CheckConnected())
        return false;
    HoldRepliesFor(channel);
    return SendProtocol(QStringLiteral("JOIN ") + channel);
}

void TIrcClient::RejoinRefused(const QString& channel)
{
    const qsizetype dropped = m_queue.DropHeld(channel);
    if (dropped > 0)
        Q_EMIT OnStatus(QStringLiteral("Could not rejoin %1: dropped %2 line%3 waiting for it.")
                            .arg(channel)
                            .arg(dropped)
                            .arg(dropped == 1 ? QString() : QStringLiteral("s")));
}

bool TIrcClient::Part(const QString& channel)
{
    return SendLine(QStringLiteral("PART ") + channel);
}

bool TIrcClient::Mode(const QString& target, const QString& modes, const QString& parameter)
{
    QString head = QStringLiteral("MODE ") + target + u' ' + modes;
    if (!parameter.isEmpty())
        head += u' ' + parameter;
    return SendLine(head);
}

} // namespace irc
