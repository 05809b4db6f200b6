// Fuzz target for the server-line parser and for what the bot would send back with the pieces: parsing
// never fails, keeps its limits, and no composed line is longer than 512 bytes or holds a line break.

#include "irc/message.h"
#include "irc/outgoing.h"
#include "irc/textcodec.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray line
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const irc::Message message = irc::ParseLine(line);
    Require(message.Params.size() <= irc::MaxParams);
    Require(message.Prefix.size() <= irc::MaxPieceBytes && message.Command.size() <= irc::MaxPieceBytes);
    for (const QByteArray& param : message.Params)
        Require(param.size() <= irc::MaxPieceBytes);

    const irc::PrefixParts prefix = irc::SplitPrefix(message.Prefix);
    Require(prefix.Nick.size() + prefix.Address.size() <= message.Prefix.size());

    const QString text = irc::DecodeText(message.Param(1));
    if (text.startsWith(QChar(1)))
        irc::ParseCtcp(text);
    const QByteArray reply = irc::ComposeLine(
        QStringLiteral("PRIVMSG ") + irc::DecodeText(message.Param(0)) + QStringLiteral(" :"), text,
        QString(QChar(1)));
    Require(reply.size() <= irc::MaxLineBytes && reply.endsWith("\r\n"));
    const QByteArray body = reply.chopped(2);
    Require(!body.contains('\r') && !body.contains('\n') && !body.contains('\0'));
    return 0;
}
