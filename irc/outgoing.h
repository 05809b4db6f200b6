#pragma once

// Composition of the lines the bot writes to the server. Whatever text a user managed to put into a reply,
// only clean protocol lines go out: a NUL is dropped, a line break ends the text, and a line with its
// CR LF never passes the protocol's 512 bytes (servers drop clients that send longer ones). A message
// whose text is too long for one line is split into several, so that nothing is cut by the server on the
// way to its readers.

#include <QByteArray>
#include <QList>
#include <QString>

namespace irc {

inline constexpr qsizetype MaxLineBytes = 512;

// The longest user name and host name a server puts into the prefix of a line it relays from the bot,
// for as long as the bot has not seen its own prefix.
inline constexpr qsizetype MaxUserBytes = 20;
inline constexpr qsizetype MaxHostBytes = 63;

// What ends the last line of a message whose text did not fit into the lines allowed for it.
inline const QByteArray CutMark = QByteArrayLiteral(" [cut]");

// The bytes a server adds in front of a line when it relays it to others: ":nick!address ". Without the
// address (user@host) the longest one a server gives is assumed.
qsizetype RelayPrefixBytes(const QString& nick, const QString& address = QString());

// head + text + tail, cleaned and ended with CR LF. head holds the command and its fixed parameters
// ("PRIVMSG #dice :"), text the free text, tail what must close the line ("\001" of a CTCP message). When
// the line is too long the text is cut at a character boundary so that the tail survives. reserved bytes
// of the 512 are left for the prefix a server adds when it relays the line.
QByteArray ComposeLine(const QString& head, const QString& text = QString(), const QString& tail = QString(),
    qsizetype reserved = 0);

// As ComposeLine, but a text too long for one line is split over several lines, each head + piece + tail,
// at character boundaries (at a blank when one is near the end of a piece). At most maxLines lines; when
// the text needs more, the last one ends with CutMark.
QList<QByteArray> ComposeLines(
    const QString& head, const QString& text, const QString& tail, qsizetype reserved, int maxLines);

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
