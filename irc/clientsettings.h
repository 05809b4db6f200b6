#pragma once

// How the IRC client connects, logs in, watches its server and paces what it writes: the settings an
// owner hands over as a whole (TIrcClient::Settings) before each Connect. The defaults here are the
// program's defaults; the bot's tessarin.ini writes into these fields directly. Times are milliseconds.

#include "irc/sendqueue.h"

#include <QString>

namespace irc {

struct ClientSettings {
    // Connect over TLS, accepting only a certificate that verifies for the host, or else the one
    // certificate whose SHA-256 fingerprint is TlsFingerprint (hex digits; colons, blanks and case do not
    // matter).
    bool Tls = false;
    QString TlsFingerprint;
    // With both set, the bot logs in with SASL PLAIN while it registers.
    QString SaslAccount;
    QString SaslPassword;
    // Over TLS the bot presents this client certificate (PEM file) with its key (PEM file; empty when the
    // certificate's file holds the key too), and logs in with SASL EXTERNAL instead of PLAIN.
    QString ClientCertificate;
    QString ClientKey;
    // A connection on which the SASL login fails, or cannot be tried, is given up rather than kept.
    bool SaslRequired = false;
    // When set, sent to NickServ with IDENTIFY once the server has welcomed the bot (unless SASL logged it
    // in), for networks without SASL.
    QString NickServPassword;
    // A connect (with its TLS handshake) that neither succeeds nor fails within this time is given up.
    int ConnectTimeoutMs = 10000;
    // A server that has not welcomed the bot this long after the connection was made is given up.
    int RegisterTimeoutMs = 60000;
    // After IdleTimeoutMs without a line from the server the bot pings it; when nothing comes within
    // PingTimeoutMs more, the connection is taken for dead and closed as an error.
    int IdleTimeoutMs = 240000;
    int PingTimeoutMs = 60000;
    // The send queue's pace.
    SendPace Pace;
    // A message too long for one line is sent as at most this many lines, the last marked as cut.
    int MaxLinesPerMessage = 4;
    // Automatic CTCP answers per user and minute; queries beyond it go unanswered, and so do all beyond
    // ten times as many from everybody together.
    int CtcpRepliesPerMinute = 3;
    // Registered under another nick than the configured one (it was taken), the bot takes its nick back
    // as soon as it is free: at once when the server's MONITOR says so, else by asking every this often.
    int NickRetryIntervalMs = 60000;
};

} // namespace irc
