#include "irc/outgoing.h"

#include "irc/message.h"

namespace irc {

namespace {

// The UTF-8 bytes of one piece up to its first line break, without NUL bytes.
QByteArray CleanPiece(const QString& piece)
{
    QByteArray bytes = piece.toUtf8();
    const qsizetype cr = bytes.indexOf('\r');
    const qsizetype lf = bytes.indexOf('\n');
    qsizetype end = bytes.size();
    if (cr >= 0)
        end = cr;
    if (lf >= 0 && lf < end)
        end = lf;
    bytes.truncate(end);
    bytes.replace(QByteArray(1, '\0'), QByteArray());
    return bytes;
}

} // namespace

QByteArray ComposeLine(const QString& head, const QString& text, const QString& tail)
{
    constexpr qsizetype room = MaxLineBytes - 2;
    const QByteArray headBytes = CleanPiece(head);
    const QByteArray tailBytes = CleanPiece(tail);
    QByteArray line;
    if (headBytes.size() + tailBytes.size() >= room) {
        line = CutUtf8(headBytes + CleanPiece(text) + tailBytes, room);
    } else {
        const qsizetype textRoom = room - headBytes.size() - tailBytes.size();
        line = headBytes + CutUtf8(CleanPiece(text), textRoom) + tailBytes;
    }
    return line + "\r\n";
}

QString CtcpOpening(const QString& command, const QString& text)
{
    return QChar(1) + command + u' ' + text;
}

Ctcp ParseCtcp(const QString& text)
{
    QString body = text.mid(1);
    const qsizetype close = body.indexOf(QChar(1));
    if (close >= 0)
        body.truncate(close);
    const qsizetype space = body.indexOf(u' ');
    if (space < 0)
        return { body, QString() };
    return { body.left(space), body.mid(space + 1) };
}

} // namespace irc
