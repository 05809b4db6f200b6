#pragma once

// The bot's one connection to an IRC server. It connects in the clear or over TLS, registers (logging in
// with SASL when asked), reads the server's lines on the event loop, answers PING and CTCP queries by
// itself, keeps the channels it is on with their names lists, and raises its events as signals, one line
// at a time and in arrival order, so that handlers may call the outgoing operations directly. Every line
// it writes goes through one paced send queue (see sendqueue.h); a connection on which the server has gone
// silent is found and closed. The bot's owner (the headless runner, later the main window) owns one.

#include "common/version.h"
#include "irc/accountlookups.h"
#include "irc/capnegotiation.h"
#include "irc/casemapping.h"
#include "irc/channelroster.h"
#include "irc/clientsettings.h"
#include "irc/ircchannels.h"
#include "irc/ircusers.h"
#include "irc/message.h"
#include "irc/sender.h"
#include "irc/sendqueue.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSslError>
#include <QSslSocket>
#include <QTimer>
#include <optional>

namespace irc {

inline const QString ProgramName = QStringLiteral("Tessarin");
inline const QString ProgramVersion = common::VersionText;

// The automatic answers to CTCP FINGER, VERSION, USERINFO and CLIENTINFO queries.
struct TIrcReplies {
    QString Finger;
    QString Version = ProgramName + u' ' + ProgramVersion;
    QString UserInfo;
    QString ClientInfo = ProgramName + u' ' + ProgramVersion
        + QStringLiteral(", a dice and table bot for role-playing groups. "
                         "CTCP: ACTION CLIENTINFO FINGER PING TIME USERINFO VERSION");
};

// A SHA-256 certificate fingerprint written as "AB:CD:...", and read back: the 32 digest bytes of a
// fingerprint in hex, colons, blanks and case ignored (openssl's "sha256 Fingerprint=AB:..." too); empty
// when the text is no such fingerprint.
QString FingerprintText(const QByteArray& digest);
QByteArray ParseFingerprint(const QString& text);

enum UserModeFlag { umInvisible = 1, umOperator = 2, umServerNotices = 4, umWallops = 8 };

class TIrcClient : public QObject, public Sender, public ChannelRoster {
    Q_OBJECT
public:
    enum class State { Disconnecting, Disconnected, Connecting, Registering, Connected };

    // A server line longer than this (without its line end) ends the connection as an error.
    static constexpr qsizetype MaxLineChars = 16384;
    // How long private lines wait for the server to tell their sender's account before they are dropped.
    static constexpr int AccountAnswerMs = 10000;

    explicit TIrcClient(QObject* parent = nullptr);
    ~TIrcClient() override;

    // Settings, taken at the next Connect.
    QString Host;
    quint16 Port = 6667;
    QString AltNick = QStringLiteral("Tessarin-Secundus");
    QString Username = QStringLiteral("username");
    QString RealName = QStringLiteral("Real name");
    QString Password;
    int UserMode = 0;
    TIrcReplies Replies;
    // TLS, login, time-outs and pace, handed over as a whole.
    ClientSettings Settings;
    // An already connected stream socket (one end of a socketpair, say) for the next Connect to register
    // on in the clear instead of connecting to Host and Port; the client then owns it. Taken once: -1 again
    // afterwards. For running the client without a network, as the session fuzz target does.
    qintptr OpenDescriptor = -1;

    // The nick the server knows the bot by while connected, the configured nick otherwise.
    QString Nick() const;
    // While connected sends a NICK request (the configured nick changes when the server confirms it);
    // otherwise stores the nick for the next Connect.
    void SetNick(const QString& nick) override;

    State CurrentState() const { return m_state; }
    bool IsConnected() const { return m_state == State::Registering || m_state == State::Connected; }
    // The server's name from its welcome replies; empty before the first one.
    const QString& ServerHost() const { return m_serverHost; }
    const TIrcUsers& Users() const { return m_users; }
    const TIrcChannels& Channels() const { return m_channels; }
    QStringList NicksOn(const QString& channel) const override;
    bool IsOperatorOn(const QString& channel, const QString& nick) const override;
    const TIrcUser* FindUser(const QString& nick) const override { return m_users.Find(nick).get(); }
    bool MayBeSecret(const QString& channel) const override
    {
        const ChannelPtr found = m_channels.Find(channel);
        return found && found->MayBeSecret();
    }
    bool TellsAccounts() const override;
    // Lines in the send queue that have not been written yet.
    qsizetype WaitingLines() const { return m_queue.Waiting(); }

    // Closes a live connection first, then connects to Host and Port and registers. The outcome arrives
    // as OnConnected (then registration goes on) or OnConnectFailed.
    void Connect();
    // Closes the connection at once, without QUIT, and raises OnDisconnected; while connecting it abandons
    // the attempt (OnConnectFailed). Nothing happens when already disconnected.
    void Disconnect() override;

    // Says goodbye with QUIT, ahead of every waiting line; the server answers by closing the connection
    // (OnDisconnected). False when not connected.
    bool Quit(const QString& reason);

    // Outgoing operations. Each queues its line (a long message: its lines) and returns true while
    // connected; otherwise it queues nothing, raises OnError with "Not connected to server." and returns
    // false. Lines queued while the client handles a server line belong to that line's sender, the others
    // to their target: owners take turns in the send queue.
    bool Say(const QString& target, const QString& text) override;
    bool Notice(const QString& target, const QString& text) override;
    bool Action(const QString& target, const QString& text) override;
    bool Join(const QString& channel) override;
    // Joins a channel the bot belongs on again (after a kick or a reconnect): the JOIN goes before every
    // reply, and replies for the channel wait until the bot is on it. When the server refuses the join,
    // those replies are dropped and OnStatus says so.
    bool Rejoin(const QString& channel);
    // Replies for a channel the bot is about to rejoin wait for the rejoin as they do after Rejoin.
    void HoldRepliesFor(const QString& channel) { m_queue.Hold(channel); }
    bool Part(const QString& channel) override;
    bool Mode(const QString& target, const QString& modes, const QString& parameter = QString());
    bool CtcpReply(const QString& nick, const QString& command, const QString& text);

Q_SIGNALS:
    void OnConnected();
    void OnConnect();
    // The connection could not be made: refused, unreachable, timed out or abandoned.
    void OnConnectFailed(const QString& reason);
    // The server accepted the registration (its first welcome reply).
    void OnRegistered();
    void OnDisconnect();
    void OnDisconnected();
    void OnSocketError(const QString& message);
    void OnReceive(const QString& line);
    // Something about the connection the operator should know of: a failed TLS handshake, the outcome of
    // a SASL login, lines the send queue dropped. Never carries a password.
    void OnStatus(const QString& text);

    void OnMessage(TIrcUser* user, TIrcChannel* channel, const QString& content);
    void OnNotice(TIrcUser* user, TIrcChannel* channel, const QString& content);
    void OnJoined(TIrcChannel* channel);
    void OnParted(TIrcChannel* channel);
    void OnKicked(TIrcUser* kicker, TIrcChannel* channel);
    void OnNickChange(TIrcUser* user, const QString& newNick);
    void OnNames(const TIrcUsers* users, TIrcChannel* channel);
    void OnChannelUpdate(TIrcChannel* channel, TIrcChannelUpdateType type, TIrcUser* user, int info);
    void OnError(TIrcUser* user, const QString& numeric, const QString& error);
    void OnUnknownCommand(TIrcUser* user, const QString& command, const QString& content);

    void OnJoin(TIrcUser* user, TIrcChannel* channel);
    void OnPart(TIrcUser* user, TIrcChannel* channel);
    void OnKick(TIrcUser* kicker, TIrcUser* victim, TIrcChannel* channel);
    void OnQuit(TIrcUser* user, const QString& reason);
    void OnTopic(TIrcUser* user, TIrcChannel* channel, const QString& topic);
    void OnNickChanged(const QString& oldNick);
    void OnInvite(TIrcUser* user, const QString& channel);
    void OnKill(TIrcUser* user, const QString& target, const QString& reason);
    void OnWallops(TIrcUser* user, const QString& text);
    void OnPingPong();
    void OnAction(TIrcUser* user, TIrcChannel* channel, const QString& text);
    // A handler that answers the query itself sets suppressReply. Needs a direct connection.
    void OnCTCPQuery(TIrcUser* user, const QString& command, const QString& arguments, bool& suppressReply);
    void OnCTCPReply(TIrcUser* user, const QString& command, const QString& arguments);
    void OnSystem(TIrcUser* user, const QString& numeric, const QString& content);
    void OnUserMode(const QString& modes);
    void OnUserModeChanged();
    void OnChannelMode(TIrcUser* user, TIrcChannel* channel, const QString& modes);
    // Both nicks were refused during registration; a handler may offer another one in nick, or the
    // connection is closed. Needs a direct connection.
    void OnNicksInUse(QString& nick);
    // The server said how it compares names (its CASEMAPPING, or ascii when its greeting ended without
    // one): once per connection, and again should it repeat its feature list. The mapping in force
    // (casemapping.h) is already that one; whoever keeps keys made from names folds them again when it
    // changed.
    void OnCaseMapping(irc::CaseMapping mapping);

private:
    void AdoptSocket(qintptr descriptor);
    void HandleConnected();
    void HandleEncrypted();
    void HandleSslErrors(const QList<QSslError>& errors);
    void HandleReadyRead();
    void HandleSocketError(QAbstractSocket::SocketError error);
    void HandleSocketDisconnected();
    void HandleIdle();
    void FailConnect(const QString& reason);
    // FailConnect once control is back in the event loop, for failures found inside Connect.
    void FailConnectLater(const QString& reason);
    // A broken live connection: OnSocketError, then the connection is closed.
    void FailConnection(const QString& message);
    void ForcedClose();
    // Stops what belongs to one connection: its timers and its waiting lines.
    void EndConnection();
    QString ServerText() const;

    // The queueing of lines. Each returns false (and raises OnError) when not connected.
    bool CheckConnected();
    bool SendUrgent(const QString& head, const QString& text = QString());
    bool SendProtocol(const QString& head);
    bool SendLine(const QString& head, const QString& text = QString(), const QString& tail = QString());
    bool SendMessage(
        const QString& target, const QString& head, const QString& text, const QString& tail = QString());
    void Enqueue(const QString& owner, const QByteArray& line, const QString& target = QString());
    // The server refused to let the bot back onto a channel it was rejoining.
    void RejoinRefused(const QString& channel);
    // Writes what the send queue lets go now and sets the timer for the rest.
    void Pump();
    void ReportDrops();
    qsizetype RelayPrefix() const;

    // Carries out what the negotiation answered to a line; true when the line is to be handled as usual
    // as well.
    bool ApplyCap(const CapAction& action);
    // Loads the client certificate and its key into the socket; false (with the reason) when they cannot be.
    bool LoadClientCertificate(QString& problem);
    bool AllowCtcpReply(const QString& nick);

    // One line from the server, parsed and dispatched; the one place from which line events are raised.
    void HandleLine(const QByteArray& line);
    void Dispatch(const Message& message, const UserPtr& sender);
    void HandleNumeric(int numeric, const Message& message, const UserPtr& sender);
    void HandlePrivmsg(const Message& message, const UserPtr& sender);
    void HandleNotice(const Message& message, const UserPtr& sender);
    void HandleJoin(const Message& message, const UserPtr& sender);
    void HandlePart(const Message& message, const UserPtr& sender);
    void HandleKick(const Message& message, const UserPtr& sender);
    void HandleMode(const Message& message, const UserPtr& sender);
    void HandleChannelModes(const Message& message);
    void HandleNick(const Message& message, const UserPtr& sender);
    void HandleQuit(const Message& message, const UserPtr& sender);
    void HandlePing(const Message& message, const UserPtr& sender);
    void HandleTopic(const Message& message, const UserPtr& sender);
    void HandleInvite(const Message& message, const UserPtr& sender);
    void HandleKill(const Message& message, const UserPtr& sender);
    void HandleWallops(const Message& message, const UserPtr& sender);
    void HandleCtcpQuery(const UserPtr& sender, TIrcChannel* channel, const QString& text);
    void HandleNickRefused();

    // Who is logged in to which services account (ircclientaccounts.cpp).
    void NoteAccountTag(const Message& message, const UserPtr& sender);
    void HandleAccount(const Message& message, const UserPtr& sender);
    void NoteJoinAccount(const Message& message, const UserPtr& sender);
    void NoteWhox(const Message& message);
    void AskAccounts(const QString& channel);
    // A WHOX reply to AskAccounts: true when it was one (and is not to be reported).
    bool HandleWhoxReply(int numeric, const Message& message);
    // Holds a private line while the server is asked for its sender's account; false when the account
    // is known or the network tells none.
    bool HoldForAccount(const UserPtr& sender, const QString& text);
    // A WHOIS reply about a sender whose private lines wait: true when it was one.
    bool HandleWhoisReply(int numeric, const Message& message);
    // Hands the lines on as messages (answered) or drops them, and lets go of their users.
    void ReleaseHeldLines(std::vector<HeldLine> lines, bool answered);
    void ExpireAccountLookups();

    // Following how the server compares names (ircclientcasemapping.cpp).
    void NoteCaseMapping(const Message& message);
    void FollowCaseMapping(CaseMapping mapping);

    // Taking the configured nick back (ircclientnick.cpp).
    void StartNickRecovery();
    void StopNickRecovery();
    // Ends the recovery without a word to the server, whose connection is gone.
    void ForgetNickRecovery();
    void HandleIsupport(const Message& message);
    void HandleMonitorOffline(const Message& message);
    void TryWantedNick();
    // Whether an error numeric answers a try for the wanted nick; such answers are not errors to report.
    bool AnswersNickTry(int numeric, const Message& message);
    void NickChangedDuringRecovery(const QString& newNick);
    std::optional<QString> AutomaticCtcpReply(const QString& command, const QString& arguments) const;

    // Which mode letters the server gives parameters and ranks (its 005 lines).
    void NoteModeSyntax(const Message& message);
    bool IsSelf(const TIrcUser& user) const { return SameName(user.Nick, m_currentNick); }
    ChannelPtr AddChannel(const QString& name);

    QSslSocket m_socket;
    QTimer m_connectTimer;
    QTimer m_registerTimer;
    QTimer m_idleTimer;
    QTimer m_sendTimer;
    QElapsedTimer m_clock;
    QByteArray m_buffer;
    SendQueue m_queue;
    // Lines the queue dropped since the last report, by owner.
    QHash<QString, int> m_drops;
    // The sender of the server line being handled: the owner of the lines queued meanwhile.
    QString m_lineOwner;
    // The connection under way uses TLS; the reason its handshake failed, once known.
    bool m_usingTls = false;
    QString m_tlsProblem;
    // The idle check has pinged the server and waits for any line.
    bool m_pinged = false;
    // The configured nick while the bot is registered under another and wants it back; empty otherwise.
    QString m_wantedNick;
    QTimer m_nickTimer;
    bool m_monitoring = false;
    // A NICK for the wanted nick has gone out and its answer has not come.
    bool m_nickTryPending = false;
    CapNegotiation m_cap;
    // The server answers WHO with the fields asked for (WHOX), and the channels whose accounts were asked
    // and whose list has not ended.
    bool m_whox = false;
    QStringList m_askedAccounts;
    AccountLookups m_accountLookups;
    QTimer m_accountTimer;
    // The bot's own "user@host" as the server shows it to others, once seen; empty until then.
    QString m_selfAddress;
    // The server has said how it compares names on this connection.
    bool m_caseMappingTold = false;
    // When automatic CTCP answers went out, per folded nick and all together.
    QHash<QString, QList<qint64>> m_ctcpTimes;
    QList<qint64> m_ctcpAll;
    // Raised whenever a connection ends or begins, so that code running inside a handler can tell that
    // the connection it was working for is gone.
    quint64 m_generation = 0;
    State m_state = State::Disconnected;
    QString m_nick = QStringLiteral("Nick");
    QString m_currentNick;
    QString m_serverHost;
    // Declared before the channels, whose names lists release their users into it and read the modes by it.
    TIrcUsers m_users;
    ModeSyntax m_modeSyntax;
    TIrcChannels m_channels;
    UserPtr m_self;
};

} // namespace irc
