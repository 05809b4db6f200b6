#pragma once

// Composition of the lines the bot writes to the server. Whatever text a user managed to put into a reply,
// exactly one protocol line goes out: a NUL is dropped, a line break ends the text, and the line with its
// CR LF never passes the protocol's 512 bytes (servers drop clients that send longer ones).

#include <QByteArray>
#include <QString>

namespace irc {

inline constexpr qsizetype MaxLineBytes = 512;

// head + text + tail, cleaned and ended with CR LF. head holds the command and its fixed parameters
// ("PRIVMSG #dice :"), text the free text, tail what must close the line ("\001" of a CTCP message). When
// the line is too long the text is cut at a character boundary so that the tail survives.
QByteArray ComposeLine(const QString& head, const QString& text = QString(), const QString& tail = QString());

// The wrapping of a CTCP message: "\001COMMAND text\001" without the closing byte, which ComposeLine adds
// as the tail so that it survives a cut.
QString CtcpOpening(const QString& command, const QString& text);

// A CTCP message taken apart: the command up to the first space or the closing byte, the arguments after
// that space up to the closing byte (to the end when the closing byte is missing).
struct Ctcp {
    QString Command;
    QString Arguments;
};

// Requires: text begins with "\001".
Ctcp ParseCtcp(const QString& text);

} // namespace irc
