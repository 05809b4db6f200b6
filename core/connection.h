#pragma once

// The bot's side of its server connection: connecting (with the TLS, login, pace and time-out settings of
// tessarin.ini), rejoining its channels after a reconnect, keeping CurrentChannels, reconnecting a bounded
// number of times after a loss, the keep-alive, and what the bot does about kicks, notices, server errors
// and socket errors. Every step the operator should know of is written to the command log. Whoever runs
// the bot owns one beside the IRC client and the bot.
//
// A reconnect attempt succeeds when the server welcomes the bot, not when the connection is merely made:
// a server that accepts connections and never registers the bot uses up the attempts like one that
// refuses them.

#include "core/botstate.h"
#include "core/clock.h"
#include "core/commandlog.h"
#include "irc/ircclient.h"

#include <QObject>
#include <QTimer>

namespace core {

class Connection : public QObject {
    Q_OBJECT
public:
    static constexpr int ChannelConnectDelay = 3000;
    static constexpr int KeepAliveInterval = 5000;

    // Requires: state, log, client and clock outlive the connection.
    Connection(BotState& state, CommandLog& log, irc::TIrcClient& client, const Clock& clock,
        const QString& filesDir, QObject* parent = nullptr);

    // Takes ReconnectInterval for the reconnect timer and resets the attempt counter to
    // ReconnectAttempts. Called once the settings are loaded and whenever either setting changes.
    void ApplyReconnectSettings();

    // Connects on the operator's behalf.
    void Connect();

    // Reconnect attempts left before the bot gives up.
    int AttemptsLeft() const { return m_attemptsLeft; }

    // Repeating; one reconnect attempt per tick while the bot waits to reconnect.
    QTimer ReconnectTimer;
    // One-shot; started at each connect, it rejoins CurrentChannels after two of its intervals.
    QTimer ChannelConenctTimer;
    // Repeating keep-alive, on from the first connect to the end of the run.
    QTimer RedrawTimer;

Q_SIGNALS:
    // The bot is disconnected and nothing will reconnect it: a connect the operator asked for failed,
    // the connection ended while AutoReconnect was off, or the reconnect attempts ran out.
    void Stopped();
    // The bot was kicked off channel and could not rejoin it; nicks were on it.
    void KickedOut(const QString& channel, const QStringList& nicks);

private:
    void RunConnectProcedure(bool reconnect);
    void FinishReconnectAttempt(bool connected);
    void SettleLostAttempt();
    void GiveUp();
    void RunDisconnectedSteps(bool forReconnectTimer);

    void HandleConnected();
    void HandleRegistered();
    void HandleConnectFailed();
    // The place of name in the current channels (the last such, as the server compares names), or -1.
    qsizetype FindCurrentChannel(const QString& name) const;
    void HandleJoined(irc::TIrcChannel* channel);
    void HandleParted(irc::TIrcChannel* channel);
    void HandleKicked(irc::TIrcUser* kicker, irc::TIrcChannel* channel);
    void HandleNotice(irc::TIrcUser* user, irc::TIrcChannel* channel, const QString& text);
    void HandleError(irc::TIrcUser* user, const QString& numeric, const QString& error);
    void HandleSocketError(const QString& message);

    void RejoinChannels();
    void KeepAlive();

    QString ServerText() const;

    BotState& m_state;
    CommandLog& m_log;
    irc::TIrcClient& m_client;
    const Clock& m_clock;
    QString m_filesDir;
    int m_attemptsLeft;
    // A reconnect attempt has started and its outcome (a welcome, or a failure) has not arrived yet.
    bool m_attemptPending = false;
    // A reconnect attempt's connection ended before the welcome and the attempt is yet to be counted.
    bool m_attemptLost = false;
    // A socket error is being handled: its log lines come before the attempt is counted.
    bool m_inSocketError = false;
    // The rejoin timer has run once and now waits its second interval.
    bool m_rejoinWaited = false;
    // The owner's settings are judged once a run, on the first network the bot reaches.
    bool m_ownerWarned = false;
};

} // namespace core
