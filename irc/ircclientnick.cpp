// Taking the configured nick back. A bot that reconnects soon after losing its connection often finds its
// nick still held by the old connection, which the server has not yet noticed is dead, and registers
// under the alternative nick. It then watches for its nick with MONITOR where the server offers it (the
// server says the moment the nick is free) and otherwise asks for it every NickRetryIntervalMs.

#include "irc/ircclient.h"
#include "irc/textcodec.h"

namespace irc {

namespace {

// The nick of a MONITOR list entry, which may be a whole "nick!user@host".
QString NickOfTarget(const QByteArray& target)
{
    const qsizetype bang = target.indexOf('!');
    return DecodeText(bang < 0 ? target : target.left(bang));
}

} // namespace

// At the welcome: only a bot registered under a nick it did not ask for has one to take back.
void TIrcClient::StartNickRecovery()
{
    ForgetNickRecovery();
    if (SameName(m_currentNick, m_nick))
        return;
    m_wantedNick = m_nick;
    Q_EMIT OnStatus(QStringLiteral("The nick %1 is taken; registered as %2 and waiting for %1 to come free.")
                        .arg(m_wantedNick, m_currentNick));
    m_nickTimer.start(std::max(1, Settings.NickRetryIntervalMs));
}

void TIrcClient::StopNickRecovery()
{
    if (m_monitoring && IsConnected())
        SendProtocol(QStringLiteral("MONITOR - ") + m_wantedNick);
    ForgetNickRecovery();
}

void TIrcClient::ForgetNickRecovery()
{
    m_wantedNick.clear();
    m_nickTimer.stop();
    m_monitoring = false;
    m_nickTryPending = false;
}

// The server's feature list (005) names MONITOR when it offers it; from then on the server tells when the
// nick is free, and asking every interval is not needed.
void TIrcClient::HandleIsupport(const Message& message)
{
    if (m_wantedNick.isEmpty() || m_monitoring)
        return;
    for (qsizetype i = 1; i + 1 < message.Params.size(); ++i) {
        const QByteArray& token = message.Params.at(i);
        if (token == "MONITOR" || token.startsWith("MONITOR=")) {
            m_monitoring = true;
            m_nickTimer.stop();
            // The server answers at once with whether the nick is online (730) or not (731).
            SendProtocol(QStringLiteral("MONITOR + ") + m_wantedNick);
            return;
        }
    }
}

void TIrcClient::HandleMonitorOffline(const Message& message)
{
    if (m_wantedNick.isEmpty())
        return;
    for (const QByteArray& target : message.Param(1).split(',')) {
        if (SameName(NickOfTarget(target), m_wantedNick)) {
            TryWantedNick();
            return;
        }
    }
}

void TIrcClient::TryWantedNick()
{
    if (m_wantedNick.isEmpty() || m_state != State::Connected)
        return;
    m_nickTryPending = true;
    SendProtocol(QStringLiteral("NICK ") + m_wantedNick);
}

// Another user got the nick first, or the server still holds it: the bot keeps waiting (MONITOR reports
// the nick free again; otherwise the timer asks again).
bool TIrcClient::AnswersNickTry(int numeric, const Message& message)
{
    const bool refusal = numeric == 432 || numeric == 433 || numeric == 436 || numeric == 437;
    if (!m_nickTryPending || !refusal || !SameName(DecodeText(message.Param(1)), m_wantedNick))
        return false;
    m_nickTryPending = false;
    return true;
}

// Any confirmed nick change of the bot ends the recovery: either it has its nick back, or somebody chose
// another one for it since.
void TIrcClient::NickChangedDuringRecovery(const QString& newNick)
{
    if (m_wantedNick.isEmpty())
        return;
    if (SameName(newNick, m_wantedNick))
        Q_EMIT OnStatus(QStringLiteral("Took back the nick ") + m_wantedNick + u'.');
    StopNickRecovery();
}

} // namespace irc
