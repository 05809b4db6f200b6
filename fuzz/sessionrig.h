#pragma once

// One bot on an in-memory connection for the session fuzz target, wired as the headless runner wires it:
// the IRC client, the bot's connection side and the bot, at a fixed time. The rig plays the server: it
// writes the script's bytes into its end of a socketpair whose other end the client adopts, turns the
// event loop a fixed number of times after each piece (never waiting for a timer), and reads all the bot
// writes into an OutgoingCheck. Made anew for each input, so that an input alone reproduces what it does.

#include "commands/bot.h"
#include "core/connection.h"
#include "irc/ircclient.h"
#include "outgoingcheck.h"
#include "sessionscript.h"
#include "support/fixedclock.h"

#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

namespace fuzzing {

class SessionRig {
public:
    // Loads the bot from filesDir with the script's settings applied, as the command line's are.
    SessionRig(const QString& filesDir, const QList<std::pair<QString, QString>>& settings);
    ~SessionRig();
    SessionRig(const SessionRig&) = delete;
    SessionRig& operator=(const SessionRig&) = delete;

    // Connects, plays the steps, and lets the bot finish what it was writing.
    void Run(const std::vector<ScriptStep>& steps);

private:
    // A new connection for the client, made by start (the operator's connect, or a reconnect); the old one,
    // if any, is read to its end. When start does not connect, the old connection stays.
    void Connect(const std::function<void()>& start);
    void Write(const QByteArray& bytes);
    void Turn();
    void Tick();
    void HangUp();
    void Finish();
    // Reads what the bot wrote; returns how many bytes. The end of the connection closes the rig's end.
    qsizetype Drain();
    void Close();
    // The client handed a server line on.
    void Received(const QString& line);
    void JoinStartChannels();

    testing_support::FixedClock m_clock;
    irc::TIrcClient m_client;
    commands::Bot m_bot;
    core::Connection m_connection;
    // The rig's end of the connection, -1 when there is none.
    int m_server = -1;
    std::optional<OutgoingCheck> m_check;
    // The lines written on this connection that the client has not handed on yet, and the start of the
    // next one.
    std::deque<QByteArray> m_lines;
    QByteArray m_partLine;
};

} // namespace fuzzing
