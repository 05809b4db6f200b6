#include "irc/ircclient.h"

#include "irc/outgoing.h"

namespace irc {

TIrcClient::TIrcClient(QObject* parent)
    : QObject(parent)
{
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        if (m_state == State::Connecting)
            FailConnect(QStringLiteral("Connection timed out"));
    });
    connect(&m_socket, &QTcpSocket::connected, this, &TIrcClient::HandleConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &TIrcClient::HandleReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TIrcClient::HandleSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TIrcClient::HandleSocketDisconnected);
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
        Send(QStringLiteral("NICK ") + nick);
    else
        m_nick = nick;
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
    m_buffer.clear();
    m_channels.Clear();
    m_users.Clear();
    m_self = m_users.Add(m_nick);
    m_currentNick = m_nick;
    m_serverHost.clear();
    m_state = State::Connecting;
    m_connectTimer.start(ConnectTimeout);
    m_socket.connectToHost(Host, Port);
}

void TIrcClient::Disconnect()
{
    if (m_state == State::Connecting)
        FailConnect(QStringLiteral("Connection abandoned"));
    else
        ForcedClose();
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

    // The nick may have been set again while the connection was being made.
    m_currentNick = m_nick;
    if (m_self)
        m_self->Nick = m_nick;
    const QString local = m_socket.localAddress().toString();
    if (!Password.isEmpty())
        Send(QStringLiteral("PASS ") + Password);
    Send(QStringLiteral("NICK ") + m_nick);
    Send(QStringLiteral("USER ") + Username + u' ' + local + u' '
            + (m_serverHost.isEmpty() ? local : m_serverHost) + QStringLiteral(" :"),
        RealName);
}

void TIrcClient::HandleReadyRead()
{
    if (!IsConnected())
        return;
    m_buffer += m_socket.readAll();
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
    m_users.Release(m_self);
    m_self.reset();
    m_buffer.clear();
    m_state = State::Disconnected;
    Q_EMIT OnDisconnected();
}

void TIrcClient::FailConnect(const QString& reason)
{
    ++m_generation;
    m_connectTimer.stop();
    m_users.Release(m_self);
    m_self.reset();
    m_socket.abort();
    m_state = State::Disconnected;
    Q_EMIT OnConnectFailed(reason);
}

void TIrcClient::ForcedClose()
{
    if (!IsConnected())
        return;
    ++m_generation;
    m_users.Release(m_self);
    m_self.reset();
    m_state = State::Disconnecting;
    Q_EMIT OnDisconnect();
    m_socket.abort();
    m_buffer.clear();
    m_state = State::Disconnected;
    Q_EMIT OnDisconnected();
}

bool TIrcClient::Send(const QString& head, const QString& text, const QString& tail)
{
    if (!IsConnected()) {
        Q_EMIT OnError(nullptr, QString(), QStringLiteral("Not connected to server."));
        return false;
    }
    const QByteArray line = ComposeLine(head, text, tail);
    return m_socket.write(line) == line.size();
}

QStringList TIrcClient::NicksOn(const QString& channel) const
{
    const auto found = m_channels.Find(channel);
    return found ? found->Nicks() : QStringList();
}

bool TIrcClient::Say(const QString& target, const QString& text)
{
    return Send(QStringLiteral("PRIVMSG ") + target + QStringLiteral(" :"), text);
}

bool TIrcClient::Notice(const QString& target, const QString& text)
{
    return Send(QStringLiteral("NOTICE ") + target + QStringLiteral(" :"), text);
}

bool TIrcClient::Action(const QString& target, const QString& text)
{
    return Send(QStringLiteral("PRIVMSG ") + target + QStringLiteral(" :"),
        CtcpOpening(QStringLiteral("ACTION"), text), QString(QChar(1)));
}

bool TIrcClient::CtcpReply(const QString& nick, const QString& command, const QString& text)
{
    return Send(QStringLiteral("NOTICE ") + nick + QStringLiteral(" :"), CtcpOpening(command, text),
        QString(QChar(1)));
}

bool TIrcClient::Join(const QString& channel)
{
    return Send(QStringLiteral("JOIN ") + channel);
}

bool TIrcClient::Part(const QString& channel)
{
    return Send(QStringLiteral("PART ") + channel);
}

bool TIrcClient::Mode(const QString& target, const QString& modes, const QString& parameter)
{
    QString head = QStringLiteral("MODE ") + target + u' ' + modes;
    if (!parameter.isEmpty())
        head += u' ' + parameter;
    return Send(head);
}

} // namespace irc
