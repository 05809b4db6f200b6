#include "irc/outgoing.h"

#include "irc/message.h"

#include <algorithm>

namespace irc {

namespace {

// Pieces shorter than this are not worth a line of their own.
constexpr qsizetype MinPieceBytes = 64;

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

qsizetype RelayPrefixBytes(const QString& nick, const QString& address)
{
    const qsizetype addressBytes
        = address.isEmpty() ? MaxUserBytes + 1 + MaxHostBytes : address.toUtf8().size();
    return 1 + nick.toUtf8().size() + 1 + addressBytes + 1;
}

QByteArray ComposeLine(const QString& head, const QString& text, const QString& tail, qsizetype reserved)
{
    const qsizetype room = MaxLineBytes - 2 - std::clamp<qsizetype>(reserved, 0, MaxLineBytes / 2);
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

QList<QByteArray> ComposeLines(
    const QString& head, const QString& text, const QString& tail, qsizetype reserved, int maxLines)
{
    const qsizetype room = MaxLineBytes - 2 - std::clamp<qsizetype>(reserved, 0, MaxLineBytes / 2);
    const QByteArray headBytes = CleanPiece(head);
    const QByteArray tailBytes = CleanPiece(tail);
    const QByteArray textBytes = CleanPiece(text);
    const qsizetype textRoom = room - headBytes.size() - tailBytes.size();
    // A head so long that pieces would hardly fit is not worth splitting for: one cut line.
    if (textRoom < MinPieceBytes || textBytes.size() <= textRoom)
        return { ComposeLine(head, text, tail, reserved) };

    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < textBytes.size()) {
        const QByteArray rest = textBytes.mid(start, textRoom + 4);
        QByteArray piece;
        if (textBytes.size() - start <= textRoom) {
            piece = textBytes.mid(start);
        } else if (lines.size() + 1 >= std::max(1, maxLines)) {
            lines.append(headBytes + CutUtf8(rest, textRoom - CutMark.size()) + CutMark + tailBytes + "\r\n");
            break;
        } else {
            piece = CutUtf8(rest, textRoom);
            // A blank in the second half of the piece makes a nicer end; it stays with this piece.
            const qsizetype blank = piece.lastIndexOf(' ');
            if (blank >= textRoom / 2)
                piece.truncate(blank + 1);
        }
        lines.append(headBytes + piece + tailBytes + "\r\n");
        start += piece.size();
    }
    return lines;
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
